#pragma once

// One transfer, or one safe write, run to its end from the command line: the port opened,
// the transfer's signals followed, and a signal from the terminal ending it properly.

#include <QString>
#include <cstdio>

#include "image/editor_state.h"
#include "link/interrupt_guard.h"
#include "link/radio_write.h"
#include "link/write_logger.h"
#include "transfer_options.h"

namespace r7::cli {

// The guard of a transfer from the terminal, which says what the first signal does.
struct AnnouncedGuard : link::InterruptGuard {
    AnnouncedGuard() {
        connect(this, &link::InterruptGuard::interrupted, [] {
            std::fputs(
                "\ninterrupted: ending the transfer with the radio (Ctrl-C again quits at once)\n",
                stderr);
            std::fflush(stderr);
        });
    }
};

// What one transfer or safe write came to.
struct Outcome {
    bool ok = false;
    int signal = 0;  // the transfer was interrupted by this signal
    QString message;
    QString imageHex;
};

// Runs one transfer to its end: success (End sent), the watchdog's outcome or an interruption.
Outcome RunTransfer(const TransferOptions& options, char command, const EditorState& state,
                    link::InterruptGuard& guard);

// One radio: open the port, run backup, write and read-back as asked, close the port.
Outcome RunRadioWrite(const TransferOptions& options, const EditorState& state,
                      const link::RadioWriteOptions& safe, link::InterruptGuard& guard,
                      const link::WriteContext& logContext);

// The exit status of a command that a signal ended.
inline int InterruptedExit(int signal) { return 128 + signal; }

}  // namespace r7::cli
