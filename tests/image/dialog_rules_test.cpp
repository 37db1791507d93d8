// The service-mode gestures on the clock; the auxiliary dialogs' other rules are rows of the
// text-rule table.

#include <gtest/gtest.h>

#include <vector>

#include "data_table.h"
#include "image/service_mode.h"

namespace r7 {
namespace {

// Clicks at the given clock seconds: the table service_gestures.
TEST(ServiceMode, GesturesOnTheClock) {
    for (const test::Fields& c : test::Table("service_gestures")) {
        double now = 0;
        UnlockGesture gesture([&] { return now; });
        ServiceRelock relock([&] { return now; });
        EditorState state;
        for (const std::string& step : test::Split(c[1], ' ')) {
            const auto s = test::Split(step, ':');
            now = std::stod(s[0]);
            const int spot = std::stoi(s[1]);
            const bool expected = s[2] == "1";
            const bool on = spot ? gesture.Click(state, spot) : relock.Click();
            EXPECT_EQ(on, expected) << c[0] << " at " << s[0];
            EXPECT_TRUE(!spot || state.ServiceUnlocked == (expected ? 1 : 0)) << c[0];
        }
    }
    // The start is kept in whole clock seconds, across what would be midnight on a time of day.
    double now = 86399.7;
    UnlockGesture gesture([&] { return now; });
    EditorState state;
    gesture.Click(state, 2);
    EXPECT_EQ(state.UnlockClickTime, 86400);
    EXPECT_EQ(state.UnlockClick2, -1);
    now = 86401.0;
    gesture.Click(state, 1);
    now = 86402.0;
    EXPECT_TRUE(gesture.Click(state, 3));
    EXPECT_EQ(state.UnlockClick1, -1);
    EXPECT_EQ(state.UnlockClick3, -1);
}

}  // namespace
}  // namespace r7
