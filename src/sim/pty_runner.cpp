#include "pty_runner.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <vector>
#include <time.h>

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

}  // namespace

int RunOnPseudoTerminal(SimulatedRadio& radio, const PtyRunOptions& options) {
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) {
        std::perror("morvane-r7-sim: pseudo-terminal");
        return 1;
    }
    const char* slaveName = ptsname(master);
    // Holding the slave open keeps the master readable between the program's sessions.
    const int slave = slaveName ? open(slaveName, O_RDWR | O_NOCTTY) : -1;
    if (slave < 0) {
        std::perror("morvane-r7-sim: slave device");
        return 1;
    }
    termios raw{};
    tcgetattr(slave, &raw);
    cfmakeraw(&raw);
    cfsetispeed(&raw, B9600);
    cfsetospeed(&raw, B9600);
    tcsetattr(slave, TCSANOW, &raw);
    fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);

    std::printf("%s\n", slaveName);
    std::fflush(stdout);

    sigset_t blocked, waitMask;
    sigemptyset(&blocked);
    sigaddset(&blocked, SIGTERM);
    sigaddset(&blocked, SIGINT);
    sigprocmask(SIG_BLOCK, &blocked, &waitMask);
    sigdelset(&waitMask, SIGTERM);
    sigdelset(&waitMask, SIGINT);
    struct sigaction sa{};
    sa.sa_handler = OnSignal;
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGINT, &sa, nullptr);

    std::deque<Timed> incoming, outgoing;
    Nanos rxLineFree = 0, txLineFree = 0;
    bool watchStdin = options.watchStdin;
    std::uint8_t buffer[4096];

    const Nanos lateDelay = static_cast<Nanos>(options.delayMs) * 1'000'000LL;
    int lateLeft = options.delayedReplies > 0 ? options.delayedReplies : -1;
    // What happened, one line each, for whoever watches standard output.
    int endsTold = 0;
    bool stopTold = false;
    auto tell = [&] {
        for (; endsTold < radio.SessionsEnded(); ++endsTold) std::printf("End received\n");
        if (radio.Stopped() != stopTold) {
            stopTold = radio.Stopped();
            if (stopTold) std::printf("stopped answering\n");
        }
        std::fflush(stdout);
    };
    auto answer = [&](std::span<const std::uint8_t> bytes, Nanos at) {
        const std::vector<std::uint8_t> reply = radio.Receive(bytes);
        tell();
        if (reply.empty()) return;
        const Nanos delay = lateLeft != 0 ? lateDelay : 0;
        if (lateLeft > 0) --lateLeft;
        for (std::uint8_t b : reply) {
            if (options.baudPace) {
                txLineFree = std::max(at + delay, txLineFree) + kByteTime;
                outgoing.push_back({b, txLineFree});
            } else {
                outgoing.push_back({b, delay > 0 ? at + delay : 0});
            }
        }
    };

    while (!gStop) {
        const Nanos now = Now();
        while (!incoming.empty() && incoming.front().due <= now) {
            const Timed t = incoming.front();
            incoming.pop_front();
            answer({&t.byte, 1}, t.due);
        }
        std::size_t ready = 0;
        while (ready < outgoing.size() && outgoing[ready].due <= now && ready < sizeof buffer)
            buffer[ready] = outgoing[ready].byte, ++ready;
        if (ready > 0) {
            if (!WriteAll(master, buffer, ready)) break;
            outgoing.erase(outgoing.begin(), outgoing.begin() + static_cast<long>(ready));
        }
        if (options.once && radio.SessionsEnded() > 0 && outgoing.empty() && incoming.empty()) break;
        if (radio.HungUp() && outgoing.empty()) break;

        Nanos next = -1;
        if (!incoming.empty()) next = incoming.front().due;
        if (!outgoing.empty() && (next < 0 || outgoing.front().due < next)) next = outgoing.front().due;
        timespec timeout{};
        if (next >= 0) {
            const Nanos wait = std::max<Nanos>(0, next - Now());
            timeout.tv_sec = static_cast<time_t>(wait / 1'000'000'000LL);
            timeout.tv_nsec = static_cast<long>(wait % 1'000'000'000LL);
        }
        pollfd fds[2] = {{master, POLLIN, 0}, {STDIN_FILENO, POLLIN, 0}};
        const int count = ppoll(fds, watchStdin ? 2 : 1, next >= 0 ? &timeout : nullptr, &waitMask);
        if (count < 0) {
            if (errno == EINTR) continue;
            break;
        }
        if (fds[0].revents & POLLIN) {
            const ssize_t n = read(master, buffer, sizeof buffer);
            if (n > 0) {
                const Nanos arrived = Now();
                if (options.baudPace) {
                    for (ssize_t i = 0; i < n; ++i) {
                        rxLineFree = std::max(arrived, rxLineFree) + kByteTime;
                        incoming.push_back({buffer[i], rxLineFree});
                    }
                } else {
                    answer({buffer, static_cast<std::size_t>(n)}, arrived);
                }
            }
        }
        if (watchStdin && (fds[1].revents & (POLLIN | POLLHUP))) {
            const ssize_t n = read(STDIN_FILENO, buffer, sizeof buffer);
            if (n == 0) break;      // end of input: the controlling test is gone
            if (n < 0) watchStdin = false;
        }
    }
    close(slave);
    close(master);
    return 0;
}

}  // namespace r7::sim
