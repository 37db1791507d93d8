#include "files/state_json.h"

#include <gtest/gtest.h>

#include <QJsonDocument>

#include "image/editor_defaults.h"
#include "data_table.h"

namespace r7 {
namespace {

QJsonObject Json(const std::string& text) { return QJsonDocument::fromJson(QByteArray::fromStdString(text)).object(); }

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
    const StateJsonResult back = StateFromJson(StateToJson(s), EditorState{});
    EXPECT_TRUE(back.ok) << back.error.toStdString();
    EXPECT_EQ(back.value, s);
    EditorState expected = NewConfiguration();
    expected.combo(2) = 2;
    EXPECT_EQ(StateFromJson(Json(R"({"Combo2": 2})"), NewConfiguration()).value, expected);
}

TEST(StateJson, RefusesWrongTypesNamingTheKey) {
    for (const test::Fields& c : test::Table("state_json")) {
        SCOPED_TRACE(c[0]);
        const StateJsonResult read = StateFromJson(Json(c[0]), NewConfiguration());
        EXPECT_FALSE(read.ok);
        EXPECT_TRUE(read.error.contains(QString::fromStdString(c[1]))) << read.error.toStdString();
    }
}

}  // namespace
}  // namespace r7
