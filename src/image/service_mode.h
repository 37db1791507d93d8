#pragma once

// Service mode: the hidden three-label gesture that switches it on and the quick double
// click of the "Test" button that switches it off again. Both run on a monotonic clock so
// that midnight or a change of the system time cannot shorten or stretch a gesture.

#include <functional>
#include <optional>

#include "editor_state.h"

namespace r7 {

// Seconds, with fractions, of a clock that never goes back.
using SecondsClock = std::function<double()>;
double SteadySeconds();

inline constexpr double kUnlockWindowSeconds = 5.0;
inline constexpr double kRelockWindowSeconds = 1.0;

// The unlock gesture: three hot spots clicked in any order within five seconds. Its
// progress lives in the editor (UnlockClick1-3, UnlockClickTime in whole clock seconds), so
// a gesture may go on across openings of the dialog.
class UnlockGesture {
public:
    explicit UnlockGesture(SecondsClock clock = SteadySeconds);
    // One click on hot spot 1, 2 or 3. True when the click completes the gesture (or repeats
    // a completed one inside its window); ServiceUnlocked is then 1.
    bool Click(EditorState& state, int hotSpot) const;

private:
    SecondsClock clock_;
};

// The "Test" button: a first click arms it, a second one less than a second later asks
// for the re-lock, a later one only disarms, and the next click arms again.
class ServiceRelock {
public:
    explicit ServiceRelock(SecondsClock clock = SteadySeconds);
    // True when this click re-locks; the caller then switches service mode off.
    bool Click();

private:
    SecondsClock clock_;
    std::optional<double> armedAt_;
};

}  // namespace r7
