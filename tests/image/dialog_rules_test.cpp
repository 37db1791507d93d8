// The service-mode gestures on the clock; the auxiliary dialogs' other rules are rows of the
// text-rule table.

#include <gtest/gtest.h>

#include <vector>

#include "image/service_mode.h"

namespace r7 {
namespace {

// Clicks at the given clock seconds; the unlock gesture's hot spot (0: the relock gesture's click)
// and whether the mode is on (the relock fired) after each.
TEST(ServiceMode, GesturesOnTheClock) {
    struct Step {
        double at;
        int spot;
        bool on;
    };
    const struct {
        const char* name;
        std::vector<Step> steps;
    } cases[] = {
        {"in time", {{100.2, 1, false}, {101, 2, false}, {104.9, 3, true}}},
        {"third on the fifth second", {{100.2, 1, false}, {101, 2, false}, {105, 3, true}}},
        {"third just past five seconds", {{100.2, 1, false}, {101, 2, false}, {105.01, 3, false}}},
        {"any order", {{50, 3, false}, {51, 1, false}, {52, 2, true}}},
        {"same spot twice", {{50, 1, false}, {51, 1, false}, {52, 2, false}}},
        {"third at 6 s opens a new window",
         {{10, 1, false}, {12, 2, false}, {16, 3, false}, {17, 1, false}, {18, 2, true}}},
        {"two spots never", {{10, 1, false}, {11, 2, false}, {12, 1, false}, {13, 2, false}}},
        {"repeat after success", {{10, 1, false}, {11, 2, false}, {12, 3, true}, {13, 1, true}}},
        {"relock: quick pair", {{10.4, 0, false}, {10.7, 0, true}}},
        {"relock: just under a second", {{10.6, 0, false}, {11.59, 0, true}}},
        {"relock: a full second", {{10.6, 0, false}, {11.6, 0, false}}},
        {"relock: both at one instant", {{10.6, 0, false}, {10.6, 0, true}}},
        {"relock: the clock stepped back", {{10.6, 0, false}, {10.59, 0, false}}},
        {"relock: slow pair disarms, third arms",
         {{10, 0, false}, {13, 0, false}, {14, 0, false}, {14.5, 0, true}}},
    };
    for (const auto& c : cases) {
        double now = 0;
        UnlockGesture gesture([&] { return now; });
        ServiceRelock relock([&] { return now; });
        EditorState state;
        for (const Step& s : c.steps) {
            now = s.at;
            const bool on = s.spot ? gesture.Click(state, s.spot) : relock.Click();
            EXPECT_EQ(on, s.on) << c.name << " at " << s.at;
            EXPECT_TRUE(!s.spot || state.ServiceUnlocked == (s.on ? 1 : 0)) << c.name;
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
