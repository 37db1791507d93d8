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
    // Not in the radio image, never reported: option 16, DTMF value 1, DTMF memory 4, side key
    // PF1, service mode, the band list (keys as tests/data/README.md lists them).
    EditorState changed = base;
    test::Apply(changed, "o16=123;d1=5;m4=911;PF1=4;SU=1;k1=1");
    EXPECT_TRUE(DiffConfigurations(base, changed).empty());
}

}  // namespace
}  // namespace r7
