#include "pty_runner.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <optional>
#include <span>
#include <vector>

namespace r7::sim {

namespace {

using Nanos = long long;
constexpr Nanos kByteTime = 1'000'000'000LL / 960;  // 10 bits at 9600 baud

volatile sig_atomic_t gStop = 0;
void OnSignal(int) { gStop = 1; }

Nanos Now() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<Nanos>(ts.tv_sec) * 1'000'000'000LL + ts.tv_nsec;
}

struct Timed {
    std::uint8_t byte;
    Nanos due;
};

bool WriteAll(int fd, const std::uint8_t* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            if (errno == EAGAIN) {
                pollfd p{fd, POLLOUT, 0};
                poll(&p, 1, 100);
                continue;
            }
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

struct Terminal {
    int master = -1;
    int slave = -1;
    const char* slaveName = nullptr;
};

// A raw 9600-baud pseudo-terminal. Holding the slave open keeps the master readable between
// the program's sessions.
std::optional<Terminal> OpenTerminal() {
    Terminal t;
    t.master = posix_openpt(O_RDWR | O_NOCTTY);
    if (t.master < 0 || grantpt(t.master) != 0 || unlockpt(t.master) != 0) {
        std::perror("morvane-r7-sim: pseudo-terminal");
        return std::nullopt;
    }
    t.slaveName = ptsname(t.master);
    t.slave = t.slaveName ? open(t.slaveName, O_RDWR | O_NOCTTY) : -1;
    if (t.slave < 0) {
        std::perror("morvane-r7-sim: slave device");
        return std::nullopt;
    }
    termios raw{};
    tcgetattr(t.slave, &raw);
    cfmakeraw(&raw);
    cfsetispeed(&raw, B9600);
    cfsetospeed(&raw, B9600);
    tcsetattr(t.slave, TCSANOW, &raw);
    fcntl(t.master, F_SETFL, fcntl(t.master, F_GETFL) | O_NONBLOCK);
    return t;
}

// SIGTERM and SIGINT are blocked except while waiting, so a stop ends the loop between two
// steps. Returns the mask to wait with.
sigset_t CatchStopSignalsWhileWaiting() {
    sigset_t blocked, waitMask;
    sigemptyset(&blocked);
    sigaddset(&blocked, SIGTERM);
    sigaddset(&blocked, SIGINT);
    sigprocmask(SIG_BLOCK, &blocked, &waitMask);
    sigdelset(&waitMask, SIGTERM);
    sigdelset(&waitMask, SIGINT);
    struct sigaction sa {};
    sa.sa_handler = OnSignal;
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGINT, &sa, nullptr);
    return waitMask;
}

// The radio's end of the line: what the program sent, paced to the baud rate when asked, and
// the radio's replies, delayed or paced, until they are due on the wire.
class Line {
public:
    Line(SimulatedRadio& radio, const PtyRunOptions& options)
        : radio_(radio),
          options_(options),
          lateDelay_(static_cast<Nanos>(options.delayMs) * 1'000'000LL),
          lateLeft_(options.delayedReplies > 0 ? options.delayedReplies : -1) {}

    bool idle() const { return incoming_.empty() && outgoing_.empty(); }
    bool sent() const { return outgoing_.empty(); }

    // Hands the radio every byte due by now.
    void deliverDue(Nanos now) {
        while (!incoming_.empty() && incoming_.front().due <= now) {
            const Timed t = incoming_.front();
            incoming_.pop_front();
            answer({&t.byte, 1}, t.due);
        }
    }

    // Writes every reply byte due by now; false when the terminal refuses them.
    bool writeDue(int fd, Nanos now) {
        std::uint8_t buffer[4096];
        std::size_t ready = 0;
        while (ready < outgoing_.size() && outgoing_[ready].due <= now && ready < sizeof buffer)
            buffer[ready] = outgoing_[ready].byte, ++ready;
        if (ready == 0) return true;
        if (!WriteAll(fd, buffer, ready)) return false;
        outgoing_.erase(outgoing_.begin(), outgoing_.begin() + static_cast<long>(ready));
        return true;
    }

    // When the next byte is due either way; -1 when none waits.
    Nanos nextDue() const {
        Nanos next = -1;
        if (!incoming_.empty()) next = incoming_.front().due;
        if (!outgoing_.empty() && (next < 0 || outgoing_.front().due < next))
            next = outgoing_.front().due;
        return next;
    }

    void received(const std::uint8_t* bytes, std::size_t count, Nanos arrived) {
        if (!options_.baudPace) {
            answer({bytes, count}, arrived);
            return;
        }
        for (std::size_t i = 0; i < count; ++i) {
            rxLineFree_ = std::max(arrived, rxLineFree_) + kByteTime;
            incoming_.push_back({bytes[i], rxLineFree_});
        }
    }

private:
    void answer(std::span<const std::uint8_t> bytes, Nanos at) {
        const std::vector<std::uint8_t> reply = radio_.receive(bytes);
        tell();
        if (reply.empty()) return;
        const Nanos delay = lateLeft_ != 0 ? lateDelay_ : 0;
        if (lateLeft_ > 0) --lateLeft_;
        for (std::uint8_t b : reply) {
            if (options_.baudPace) {
                txLineFree_ = std::max(at + delay, txLineFree_) + kByteTime;
                outgoing_.push_back({b, txLineFree_});
            } else {
                outgoing_.push_back({b, delay > 0 ? at + delay : 0});
            }
        }
    }

    // What happened, one line each, for whoever watches standard output.
    void tell() {
        for (; endsTold_ < radio_.sessionsEnded(); ++endsTold_) std::printf("End received\n");
        if (radio_.stopped() != stopTold_) {
            stopTold_ = radio_.stopped();
            if (stopTold_) std::printf("stopped answering\n");
        }
        std::fflush(stdout);
    }

    SimulatedRadio& radio_;
    const PtyRunOptions& options_;
    std::deque<Timed> incoming_, outgoing_;
    Nanos rxLineFree_ = 0, txLineFree_ = 0;
    const Nanos lateDelay_;
    int lateLeft_;
    int endsTold_ = 0;
    bool stopTold_ = false;
};

// Waits for the terminal (and standard input when watched) until `next`, -1 for no limit.
int Wait(pollfd (&fds)[2], bool watchStdin, Nanos next, const sigset_t& waitMask) {
    timespec timeout{};
    if (next >= 0) {
        const Nanos wait = std::max<Nanos>(0, next - Now());
        timeout.tv_sec = static_cast<time_t>(wait / 1'000'000'000LL);
        timeout.tv_nsec = static_cast<long>(wait % 1'000'000'000LL);
    }
    return ppoll(fds, watchStdin ? 2 : 1, next >= 0 ? &timeout : nullptr, &waitMask);
}

// Takes what the wait found ready; false when the run should end.
bool TakeInput(const pollfd (&fds)[2], int master, Line& line, bool& watchStdin) {
    std::uint8_t buffer[4096];
    if (fds[0].revents & POLLIN) {
        const ssize_t n = read(master, buffer, sizeof buffer);
        if (n > 0) line.received(buffer, static_cast<std::size_t>(n), Now());
    }
    if (watchStdin && (fds[1].revents & (POLLIN | POLLHUP))) {
        const ssize_t n = read(STDIN_FILENO, buffer, sizeof buffer);
        if (n == 0) return false;  // end of input: the controlling test is gone
        if (n < 0) watchStdin = false;
    }
    return true;
}

bool Finished(const SimulatedRadio& radio, const PtyRunOptions& options, const Line& line) {
    if (options.once && radio.sessionsEnded() > 0 && line.idle()) return true;
    return radio.hungUp() && line.sent();
}

}  // namespace

int RunOnPseudoTerminal(SimulatedRadio& radio, const PtyRunOptions& options) {
    const std::optional<Terminal> terminal = OpenTerminal();
    if (!terminal) return 1;
    std::printf("%s\n", terminal->slaveName);
    std::fflush(stdout);
    const sigset_t waitMask = CatchStopSignalsWhileWaiting();
    Line line(radio, options);
    bool watchStdin = options.watchStdin;
    while (!gStop) {
        const Nanos now = Now();
        line.deliverDue(now);
        if (!line.writeDue(terminal->master, now) || Finished(radio, options, line)) break;
        pollfd fds[2] = {{terminal->master, POLLIN, 0}, {STDIN_FILENO, POLLIN, 0}};
        if (Wait(fds, watchStdin, line.nextDue(), waitMask) < 0) {
            if (errno == EINTR) continue;
            break;
        }
        if (!TakeInput(fds, terminal->master, line, watchStdin)) break;
    }
    close(terminal->slave);
    close(terminal->master);
    return 0;
}

}  // namespace r7::sim
