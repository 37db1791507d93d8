#include "image/config_diff.h"

#include <gtest/gtest.h>

#include "data_table.h"
#include "image/editor_defaults.h"

namespace r7 {
namespace {

TEST(ConfigDiff, OneLinePerChangedFieldInTheOrderOfTheConfiguration) {
    EditorState base = NewConfiguration();
    test::Apply(base, "c3.1=446.00625;c3.3=446.00625;c3.4=88.5");
    for (const test::Fields& c : test::Table("config_diffs")) {
        EditorState changed = base;
        test::Apply(changed, c[0]);
        const auto lines = c[1].empty() ? std::vector<std::string>{} : test::Split(c[1]);
        EXPECT_EQ(DiffConfigurations(base, changed), lines) << c[0];
    }
    // Not in the radio image: never reported.
    EditorState changed = base;
    changed.option(16) = "123";
    changed.DtmfValues[0] = "5";
    changed.DtmfMemories[3] = "911";
    changed.KeyPF1 = 4;
    changed.ServiceUnlocked = 1;
    changed.combo(1) = 1;
    EXPECT_TRUE(DiffConfigurations(base, changed).empty());
}

}  // namespace
}  // namespace r7
