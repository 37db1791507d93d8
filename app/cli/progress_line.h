#pragma once

#include <cstdio>
#include <tuple>

#include "link/radio_write.h"
#include "link/transfer_controller.h"

namespace r7::cli {

// The progress bar of a transfer as one line of a terminal's standard error, redrawn in place;
// nothing when standard error is not a terminal.
class ProgressLine {
public:
    explicit ProgressLine(link::TransferController& controller);
    bool shown() const { return shown_; }
    void setVerb(const char* verb) { verb_ = verb; }
    // The transfers that follow fill the part [from, from + share) of the line, in thousandths
    // of it (a write with a backup and a read-back is one line of three transfers).
    void setPart(int from, int share) { std::tie(from_, share_) = std::tuple(from, share); }
    void draw(int value);
    // Ends the line when one was drawn.
    void end() {
        if (drawn_) std::fputc('\n', stderr);
        drawn_ = false;
    }
    // Something else (the interruption notice) has ended the line.
    void forget() { drawn_ = false; }

private:
    bool shown_;
    bool drawn_ = false;
    const char* verb_ = "writing";
    int from_ = 0, share_ = 1000;
};

// The line counts the whole sequence: each stage fills its share and ends it full.
void ShowRadioWriteProgress(link::RadioWrite& sequence, link::TransferController& controller,
                            ProgressLine& progress, const link::RadioWriteOptions& safe);

}  // namespace r7::cli
