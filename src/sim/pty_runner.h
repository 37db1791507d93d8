#pragma once

// Runs the simulated radio on a pseudo-terminal (POSIX only). The slave device's path is
// printed as the first line of standard output, so a test can open it as the serial port.

#include "simulated_radio.h"

namespace r7::sim {

struct PtyRunOptions {
    bool baudPace = false;   // behave like a 9600-baud line: one byte per 1/960 s both ways
    bool once = false;       // return after the first session has ended
    bool watchStdin = true;  // return when standard input reaches its end
    int delayMs = 0;         // a reply starts this long after the command's last byte
    int delayedReplies = 0;  // how many replies, from the first, come late; 0: all of them
};

// Returns when SIGTERM or SIGINT arrives, stdin ends, (once) a session ended, or the radio hung
// up (the pseudo-terminal is closed then, so the program's port fails).
// 0 after a normal end, 1 when the pseudo-terminal could not be set up.
int RunOnPseudoTerminal(SimulatedRadio& radio, const PtyRunOptions& options);

}  // namespace r7::sim
