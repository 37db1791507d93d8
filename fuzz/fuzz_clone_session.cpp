// The clone session under any order of events decoded from the input: starts, received bytes
// in any batches (arbitrary ones, or the simulated radio's true replies cut anywhere), breaks,
// port errors, watchdog and blink ticks. It must never send while no transfer runs (a start
// aside), keep the progress within 0..460, and deliver a read image only as 1664 hex digits.
#include <cstdint>
#include <cstdlib>
#include <deque>
#include <string>
#include <vector>

#include "image/editor_defaults.h"
#include "link/clone_session.h"
#include "sim/simulated_radio.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

struct Input {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t at = 0;
    bool empty() const { return at >= size; }
    std::uint8_t next() { return at < size ? data[at++] : 0; }
};

bool IsUpperHex(const std::string& text) {
    for (char c : text)
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'))) return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace r7::link;
    Input in{data, size};
    const bool shortImage = in.next() & 1;
    static const std::string kImage = r7::EncodeImage(r7::NewConfiguration());
    static const r7::ImageBytes kMemory = r7::EncodeImageBytes(r7::NewConfiguration());
    r7::sim::SimulatedRadio radio(kMemory);
    std::deque<std::uint8_t> radioReplies;
    int sends = 0, outcomes = 0;
    CloneSession session(
        [&](const Effect& e) {
            if (const auto* send = std::get_if<effect::SendBytes>(&e)) {
                ++sends;
                Check(!send->bytes.empty());
                const auto reply = radio.receive(send->bytes);
                radioReplies.insert(radioReplies.end(), reply.begin(), reply.end());
            } else if (const auto* shown = std::get_if<effect::ProgressShow>(&e)) {
                Check(shown->value >= 0 && shown->value <= kProgressMaximum);
            } else if (const auto* value = std::get_if<effect::ProgressValue>(&e)) {
                Check(value->value >= 0 && value->value <= kProgressMaximum);
            } else if (const auto* read = std::get_if<effect::ReadImageReady>(&e)) {
                Check(read->imageHex.size() == 1664);
                Check(IsUpperHex(read->imageHex));
            } else if (std::holds_alternative<effect::TransferSucceeded>(e) ||
                       std::holds_alternative<effect::TransferFailed>(e)) {
                ++outcomes;
            }
        },
        [&] { return shortImage ? std::string("0A") : kImage; });

    while (!in.empty()) {
        const TransferState stateBefore = session.state();
        const bool quiet =
            stateBefore == TransferState::Idle || stateBefore == TransferState::Finishing;
        const int sendsBefore = sends, outcomesBefore = outcomes;
        const std::uint8_t op = in.next();
        bool started = false;
        switch (op % 8) {
            case 0:
                started = session.startRead(op & 0x80) == StartResult::Started;
                break;
            case 1:
                started = session.startWrite(op & 0x80, in.next() % 3) == StartResult::Started;
                break;
            case 2: {
                std::vector<std::uint8_t> batch;
                for (int n = in.next() % 80; n > 0 && !in.empty(); --n) batch.push_back(in.next());
                session.onBytesReceived(batch);
                break;
            }
            case 3:
                session.onBreak();
                break;
            case 4:
                session.Timer1_Timer();
                break;
            case 5:
                session.Timer2_Timer();
                break;
            case 6:
                session.onPortError();
                break;
            case 7: {
                std::vector<std::uint8_t> batch;
                for (int n = 1 + in.next() % 136; n > 0 && !radioReplies.empty(); --n) {
                    batch.push_back(radioReplies.front());
                    radioReplies.pop_front();
                }
                session.onBytesReceived(batch);
                break;
            }
        }
        if (started) {
            Check(stateBefore == TransferState::Idle);
            Check(sends == sendsBefore + 1);  // the wake-up, nothing else
        } else if (quiet) {
            Check(sends == sendsBefore);
        }
        Check(outcomes <= outcomesBefore + 1);
        Check(session.progressValue() >= 0 && session.progressValue() <= kProgressMaximum);
        Check(session.ReadImage().size() <= 1664);
    }
    return 0;
}
