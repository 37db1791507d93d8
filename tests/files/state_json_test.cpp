#include "files/state_json.h"

#include <gtest/gtest.h>

#include <QJsonDocument>

#include "image/editor_defaults.h"
#include "test_data.h"

namespace r7 {
namespace {

QJsonObject Json(const QByteArray& text) { return QJsonDocument::fromJson(text).object(); }

TEST(StateJson, RoundTripsEveryFieldAndMissingKeysKeepTheBase) {
    EditorState s = NewConfiguration();
    s.rows[2] = {"03", "446.00625", "88.5", "446.00625", "D023I", "Low", "Carrier", "Narrow", "Have"};
    s.combo(5) = 8;
    s.KeyPF2 = 11;
    s.UnlockClick2 = -1;
    s.UnlockClickTime = 43200;
    s.option(16) = "12AB";
    s.DtmfMemories[7] = "*#1";
    s.testFrequency(16, 2) = "469.99375";
    s.InfoTexts[0] = "caf\xC3\xA9";
    EXPECT_EQ(StateFromJson(StateToJson(s), EditorState{}, nullptr), s);
    EditorState expected = NewConfiguration();
    expected.combo(2) = 2;
    EXPECT_EQ(StateFromJson(Json(R"({"Combo2": 2})"), NewConfiguration(), nullptr), expected);
}

TEST(StateJson, RefusesWrongTypesNamingTheKey) {
    for (const QByteArrayList& c : test::DataRows("state_json.tsv")) {
        SCOPED_TRACE(c[0].toStdString());
        QString error;
        EXPECT_FALSE(StateFromJson(Json(c[0]), NewConfiguration(), &error).has_value());
        EXPECT_TRUE(error.contains(QLatin1String(c[1]))) << error.toStdString();
    }
}

}  // namespace
}  // namespace r7
