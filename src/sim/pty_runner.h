#pragma once

// Runs the simulated radio on a pseudo-terminal (POSIX only). The slave device's path is
// printed as the first line of standard output, so a test can open it as the serial port.

#include "simulated_radio.h"

namespace r7::sim {

struct PtyRunOptions {
    bool baudPace = false;   // behave like a 9600-baud line: one byte per 1/960 s both ways
    bool once = false;       // return after the first session has ended
    bool watchStdin = true;  // return when standard input reaches its end
};

// Returns when SIGTERM or SIGINT arrives, stdin ends, or (once) a session ended.
// 0 after a normal end, 1 when the pseudo-terminal could not be set up.
int RunOnPseudoTerminal(SimulatedRadio& radio, const PtyRunOptions& options);

}  // namespace r7::sim
