#include "service_mode.h"

#include <chrono>
#include <cmath>
#include <cstdint>
#include <utility>

namespace r7 {

namespace {
constexpr int kTrue = -1;  // the editor keeps booleans as -1 / 0

int& Flag(EditorState& s, int hotSpot) {
    switch (hotSpot) {
        case 1:
            return s.UnlockClick1;
        case 2:
            return s.UnlockClick2;
        default:
            return s.UnlockClick3;
    }
}

std::int32_t WholeSeconds(double t) { return static_cast<std::int32_t>(std::llround(t)); }
}  // namespace

double SteadySeconds() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

UnlockGesture::UnlockGesture(SecondsClock clock) : clock_(std::move(clock)) {}

bool UnlockGesture::Click(EditorState& s, int hotSpot) const {
    if (hotSpot < 1 || hotSpot > 3) return false;
    double now = clock_();
    if (s.UnlockClick1 == 0 && s.UnlockClick2 == 0 && s.UnlockClick3 == 0) {
        s.UnlockClickTime = WholeSeconds(now);
    }
    double elapsed = now - s.UnlockClickTime;
    // The start is rounded to whole seconds, so the first click may lie up to half a second
    // before it; anything earlier than that is a stale start from another clock.
    if (elapsed >= -0.5 && elapsed <= kUnlockWindowSeconds) {
        Flag(s, hotSpot) = kTrue;
        if (s.UnlockClick1 != 0 && s.UnlockClick2 != 0 && s.UnlockClick3 != 0) {
            s.ServiceUnlocked = 1;
            return true;
        }
        return false;
    }
    s.UnlockClick1 = s.UnlockClick2 = s.UnlockClick3 = 0;
    Flag(s, hotSpot) = kTrue;
    s.UnlockClickTime = WholeSeconds(now);
    return false;
}

ServiceRelock::ServiceRelock(SecondsClock clock) : clock_(std::move(clock)) {}

bool ServiceRelock::Click() {
    double now = clock_();
    if (!armedAt_) {
        armedAt_ = now;
        return false;
    }
    double elapsed = now - *armedAt_;
    armedAt_.reset();
    return elapsed >= 0 && elapsed < kRelockWindowSeconds;
}

}  // namespace r7
