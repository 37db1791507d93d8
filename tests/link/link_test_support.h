#pragma once

// What the GoogleTest end-to-end suites add to the shared test support: the application
// object, comparing image starts and running the event loop.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QStringList>

#include "cli_runner.h"
#include "simulated_radio.h"

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

using r7::test::DatImage;
using r7::test::Pattern;
using r7::test::Sim;

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
