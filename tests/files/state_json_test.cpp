#include "files/state_json.h"

#include <gtest/gtest.h>

#include <QJsonDocument>

#include "data_table.h"
#include "image/editor_defaults.h"

namespace r7 {
namespace {

QJsonObject Json(const std::string& text) {
    return QJsonDocument::fromJson(QByteArray::fromStdString(text)).object();
}

TEST(StateJson, RoundTripsEveryFieldAndMissingKeysKeepTheBase) {
    EditorState s = NewConfiguration();
    test::SetCells(s, 3, "446.00625|88.5|446.00625|D023I|Low|Carrier|Narrow|Have");
    test::Apply(s, "k5=8;PF2=11;U2=-1;UT=43200;o16=12AB;m8=*#1;t16.2=469.99375;i1=caf\xC3\xA9");
    const StateJsonResult back = StateFromJson(StateToJson(s), EditorState{});
    ASSERT_TRUE(back) << back.error().toStdString();
    EXPECT_EQ(*back, s);
    EditorState expected = NewConfiguration();
    expected.combo(2) = 2;
    EXPECT_EQ(StateFromJson(Json(R"({"Combo2": 2})"), NewConfiguration()).value(), expected);
}

TEST(StateJson, RefusesWrongTypesNamingTheKey) {
    for (const test::Fields& c : test::Table("state_json")) {
        SCOPED_TRACE(c[0]);
        const StateJsonResult read = StateFromJson(Json(c[0]), NewConfiguration());
        ASSERT_FALSE(read);
        EXPECT_PRED_FORMAT2(testing::IsSubstring, c[1], read.error().toStdString());
    }
}

}  // namespace
}  // namespace r7
