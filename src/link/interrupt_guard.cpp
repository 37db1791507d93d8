#include "interrupt_guard.h"

#include <QSocketNotifier>
#include <QTimer>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <iterator>

#include "clone_protocol.h"
#include "files/safe_file_writer.h"

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

namespace r7::link {

namespace {

volatile std::sig_atomic_t gSignal = 0;
volatile std::sig_atomic_t gPort = -1;

#ifdef Q_OS_UNIX
int gPipe[2] = {-1, -1};
constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};
// What each signal did before, given back afterwards (e.g. removing a file being written).
struct sigaction gBefore[std::size(kSignals)];

// Only async-signal-safe calls in here.
void OnSignal(int number) {
    if (gSignal != 0) {
        const char end = static_cast<char>(kEnd);
        if (gPort >= 0) (void)!::write(gPort, &end, 1);
        (void)!::write(STDERR_FILENO, "\ninterrupted again: quitting\n", 29);
        RemoveUnfinishedFiles();
        ::_exit(128 + number);
    }
    gSignal = number;
    const char byte = 1;
    (void)!::write(gPipe[1], &byte, 1);
}
#else
constexpr int kSignals[] = {SIGINT, SIGTERM};

void OnSignal(int number) {
    if (gSignal != 0) std::_Exit(128 + number);
    gSignal = number;
    std::signal(number, OnSignal);
}
#endif

}  // namespace

InterruptGuard::InterruptGuard() {
    gSignal = 0;
#ifdef Q_OS_UNIX
    if (gPipe[0] < 0 && ::pipe(gPipe) == 0) {
        for (int fd : gPipe) ::fcntl(fd, F_SETFD, FD_CLOEXEC);
        ::fcntl(gPipe[1], F_SETFL, O_NONBLOCK);
    }
    notifier_ = new QSocketNotifier(gPipe[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] {
        char byte = 0;
        (void)!::read(gPipe[0], &byte, 1);
        deliver();
    });
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;  // no SA_RESTART: a prompt blocked in a read returns to look at the signal
    for (std::size_t i = 0; i < std::size(kSignals); ++i)
        ::sigaction(kSignals[i], &action, &gBefore[i]);
#else
    for (int number : kSignals) std::signal(number, OnSignal);
    poll_ = new QTimer(this);
    connect(poll_, &QTimer::timeout, this, &InterruptGuard::deliver);
    poll_->start(50);
#endif
}

InterruptGuard::~InterruptGuard() {
#ifdef Q_OS_UNIX
    for (std::size_t i = 0; i < std::size(kSignals); ++i)
        ::sigaction(kSignals[i], &gBefore[i], nullptr);
#else
    for (int number : kSignals) std::signal(number, SIG_DFL);
#endif
    gPort = -1;
}

int InterruptGuard::signalNumber() { return gSignal; }

void InterruptGuard::setPort(qintptr handle) {
    gPort = handle >= 0 && handle <= 0x7fffffff ? static_cast<std::sig_atomic_t>(handle) : -1;
}

void InterruptGuard::deliver() {
    if (delivered_ || gSignal == 0) return;
    delivered_ = true;
    emit interrupted(gSignal);
}

}  // namespace r7::link
