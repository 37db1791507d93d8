// One full read and one full write between the clone session and the in-process radio, then
// exit: run under LeakSanitizer, anything the link core allocates and loses shows up here.
// Standard C++ only, so Qt's own allocations are not in the picture.

#include <cstdio>
#include <deque>
#include <string>
#include <vector>

#include "image/editor_defaults.h"
#include "image/hex_text.h"
#include "link/clone_session.h"
#include "link/read_back.h"
#include "sim/simulated_radio.h"

namespace {

using namespace r7::link;

struct Result {
    bool succeeded = false;
    std::string image;
    WriteRecord record;
};

Result Run(char command, r7::sim::SimulatedRadio& radio, const std::string& toWrite) {
    Result result;
    std::deque<std::vector<std::uint8_t>> replies;
    CloneSession session(
        [&](const Effect& e) {
            if (e.kind == EffectKind::SendBytes) {
                result.record.AddSentCommand(e.bytes);
                auto reply = radio.Receive(e.bytes);
                if (!reply.empty()) replies.push_back(std::move(reply));
            } else if (e.kind == EffectKind::ReadImageReady) {
                result.image = e.text;
            } else if (e.kind == EffectKind::TransferSucceeded) {
                result.succeeded = true;
            }
        },
        [&] { return toWrite; });
    if (command == 'R') session.StartRead(true);
    else session.StartWrite(true, 1);
    while (!replies.empty()) {
        const auto reply = replies.front();
        replies.pop_front();
        session.OnBytesReceived(reply);
    }
    for (int tick = 0; tick < 6; ++tick) session.OnBlinkTick();
    return result;
}

}  // namespace

int main() {
    r7::EditorState state = r7::NewConfiguration();
    state.cell(1, r7::ColReceive) = "446.00625";
    r7::sim::SimulatedRadio radio(r7::EncodeImageBytes(r7::NewConfiguration()));
    const Result write = Run('W', radio, r7::EncodeImage(state));
    const Result read = Run('R', radio, {});
    const auto image = ImageOfRead(read.image);
    const auto bytes = r7::FromHexText(read.image);
    if (!write.succeeded || !read.succeeded || !image || !bytes || !CompareReadBack(write.record, *bytes).ok()) {
        std::fprintf(stderr, "leak check: the read/write cycle itself failed\n");
        return 1;
    }
    return 0;
}
