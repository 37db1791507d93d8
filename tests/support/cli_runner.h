#pragma once

// Runs the built command line tool and collects what it says.

#include <QElapsedTimer>
#include <QProcess>
#include <QStringList>

#include "test_files.h"

namespace r7::test {

struct CliRun {
    int exitCode;
    QByteArray out, err;
};

inline CliRun Cli(const QStringList& args, const QByteArray& input = {},
                  const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment()) {
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(R7_CLI_PATH, args);
    p.waitForStarted();
    if (!input.isEmpty()) p.write(input);
    p.closeWriteChannel();
    p.waitForFinished(30000);
    return {p.exitCode(), p.readAllStandardOutput(), p.readAllStandardError()};
}

// The tool with its stdin kept open, for the batch mode's Enter.
struct CliSession {
    QProcess process;
    QByteArray out;
    explicit CliSession(const QStringList& args) {
        process.start(R7_CLI_PATH, args);
        process.waitForStarted(5000);
    }
    // Waits until standard output holds `text`.
    bool WaitFor(const QByteArray& text, int ms = 15000) {
        QElapsedTimer t;
        t.start();
        while (!out.contains(text) && t.elapsed() < ms && process.state() != QProcess::NotRunning) {
            process.waitForReadyRead(100);
            out += process.readAllStandardOutput();
        }
        out += process.readAllStandardOutput();
        return out.contains(text);
    }
    int Finish() {
        process.waitForFinished(15000);
        out += process.readAllStandardOutput();
        return process.exitCode();
    }
};

}  // namespace r7::test
