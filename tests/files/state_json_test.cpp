#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>

#include "files/state_json.h"
#include "image/editor_defaults.h"

namespace r7 {
namespace {

TEST(StateJson, RoundTripsEveryField) {
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
    auto back = StateFromJson(StateToJson(s), EditorState{}, nullptr);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(*back, s);
}

TEST(StateJson, RefusesWrongTypesNamingTheKey) {
    struct Case {
        const char* json;
        const char* key;
    };
    const Case cases[] = {
        {R"({"PowerHigh": "208"})", "PowerHigh"},
        {R"({"PowerHigh": 256})", "PowerHigh"},
        {R"({"PowerLow": 1.5})", "PowerLow"},
        {R"({"Combo5": 9})", "Combo5"},
        {R"({"Combo1": -1})", "Combo1"},
        {R"({"rows": [[]]})", "rows"},
        {R"({"OptionValues": ["1"]})", "OptionValues"},
        {R"({"InfoTexts": ["a", 2]})", "InfoTexts"},
        {R"({"TestFrequencies": 5})", "TestFrequencies"},
        {R"({"KeyPF1": true})", "KeyPF1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.json);
        QString error;
        auto r = StateFromJson(QJsonDocument::fromJson(c.json).object(), NewConfiguration(), &error);
        EXPECT_FALSE(r.has_value());
        EXPECT_TRUE(error.contains(c.key)) << error.toStdString();
    }
}

TEST(StateJson, MissingKeysKeepTheBase) {
    auto r = StateFromJson(QJsonDocument::fromJson(R"({"Combo2": 2})").object(), NewConfiguration(), nullptr);
    ASSERT_TRUE(r.has_value());
    EditorState expected = NewConfiguration();
    expected.combo(2) = 2;
    EXPECT_EQ(*r, expected);
}

}  // namespace
}  // namespace r7
