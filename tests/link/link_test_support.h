#pragma once

// What the GoogleTest end-to-end suites add to the shared test support: the application
// object, comparing image starts and running the event loop.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QStringList>

#include <QDir>
#include <QTemporaryDir>

#include "cli_runner.h"
#include "files/dat_file.h"
#include "image/editor_defaults.h"
#include "simulated_radio.h"

namespace r7::link::testing {

using namespace r7::test;

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

// A data file to write, different from any radio pattern.
inline QString InputFile(const QTemporaryDir& dir) {
    EditorState state = NewConfiguration();
    state.cell(1, ColReceive) = "446.00625";
    const QString path = dir.filePath("in.DAT");
    EXPECT_TRUE(WriteDatFile(path, EncodeImageBytes(state)).ok);
    return path;
}

inline QStringList Entries(const QString& dir) { return QDir(dir).entryList(QDir::Files | QDir::Hidden); }

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
