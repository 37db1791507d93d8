#pragma once

// SIGTERM, SIGHUP and SIGINT close the window as its close box does: a transfer under way ends
// with End. No question is asked: whoever sent the signal (the session ending, kill, Ctrl-C in
// the terminal) wants the program gone and may be nobody who could answer, so changes that
// are neither saved nor written are lost, as the message on standard error says. Then `quit`
// gets 128 + the signal's number; QCoreApplication::exit ends every event loop, an open
// dialog's too, which then answers as its close box would.

#include <QCoreApplication>
#include <functional>

namespace r7::link {
class InterruptGuard;
}

namespace r7::ui {

class Form1;

void CloseOnSignals(
    Form1& window, link::InterruptGuard& guard,
    std::function<void(int)> quit = [](int status) { QCoreApplication::exit(status); });

}  // namespace r7::ui
