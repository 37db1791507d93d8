#pragma once

// Helpers of the end-to-end tests: the simulated radio as a process on a pseudo-terminal,
// radio memory patterns and data file images. The command line tool runs through cli_runner.h.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QStringList>

#include "../cli/cli_runner.h"
#include "image/image_codec.h"

namespace r7::link::testing {

using r7::test::Cli;
using r7::test::CliRun;
using r7::test::CliSession;
using r7::test::Contents;
using r7::test::WriteFile;

// The application object every test of the binary runs under.
class QtEnvironment : public ::testing::Environment {
public:
    void SetUp() override { app_ = new QCoreApplication(argc_, argv_); }
    void TearDown() override { delete app_; }

private:
    int argc_ = 1;
    char name_[16] = "link_tests";
    char* argv_[2] = {name_, nullptr};
    QCoreApplication* app_ = nullptr;
};

// One simulated radio; stopping it closes its stdin, which makes it save and exit.
struct Sim {
    QProcess process;
    QString device;
    explicit Sim(const QStringList& args) {
        process.start(R7_SIM_PATH, args);
        process.waitForStarted(5000);
        while (!process.canReadLine() && process.waitForReadyRead(5000)) {
        }
        device = QString::fromLocal8Bit(process.readLine()).trimmed();
    }
    void Stop() {
        process.closeWriteChannel();
        process.waitForFinished(5000);
    }
    ~Sim() {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(5000);
        }
    }
};

inline ImageBytes Pattern(int seed) {
    ImageBytes image{};
    for (std::size_t k = 0; k < image.size(); ++k) image[k] = static_cast<std::uint8_t>(k * 7 + seed);
    return image;
}

inline ImageBytes Image(const QByteArray& datContents) {
    ImageBytes image{};
    if (datContents.size() >= 5 + 848) std::copy(datContents.begin() + 5, datContents.begin() + 5 + 848, image.begin());
    return image;
}

// Whether the first `n` bytes of two images agree.
inline bool SameStart(const ImageBytes& a, const ImageBytes& b, std::size_t n) {
    return std::equal(a.begin(), a.begin() + static_cast<long>(n), b.begin());
}

// Runs the event loop until `done` is set or the time is up.
inline void RunUntil(const bool& done, int ms) {
    QElapsedTimer t;
    t.start();
    while (!done && t.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
}

}  // namespace r7::link::testing
