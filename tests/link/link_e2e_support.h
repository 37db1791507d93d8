#pragma once

// What the end-to-end link tests share: the command line tool and the simulated radio as
// processes, a data file to write, waiting on the event loop or on what a process says.

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>

#include "cli_checks.h"
#include "files/dat_file.h"
#include "image/editor_defaults.h"
#include "simulated_radio.h"

namespace r7::test {

inline const char kWatchdogText[] = "Make mistakes, please check interphone type";

// A data file to write, different from any radio pattern.
inline QString InputFile(const QTemporaryDir& dir) {
    EditorState state = NewConfiguration();
    state.cell(1, ColReceive) = "446.00625";
    QString path = dir.filePath("in.DAT");
    EXPECT_TRUE(WriteDatFile(path, EncodeImageBytes(state)).has_value());
    return path;
}

inline QStringList Entries(const QString& dir) {
    return QDir(dir).entryList(QDir::Files | QDir::Hidden);
}

// Whether the first `n` bytes of two images agree.
inline bool SameStart(const ImageBytes& a, const ImageBytes& b, std::size_t n) {
    return std::equal(a.begin(), a.begin() + static_cast<long>(n), b.begin());
}

// Runs the event loop until `done` is set or the time is up.
inline void RunUntil(const bool& done, int ms) {
    QElapsedTimer t;
    t.start();
    while (!done && t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
}

// Collects what a process prints on its read channel until it holds `text`.
inline bool Says(QProcess& process, QByteArray& seen, const QByteArray& text) {
    QElapsedTimer t;
    t.start();
    while (!seen.contains(text) && t.elapsed() < 10000 && process.state() != QProcess::NotRunning) {
        process.waitForReadyRead(50);
        seen += process.readAll();
    }
    seen += process.readAll();
    return seen.contains(text);
}

}  // namespace r7::test
