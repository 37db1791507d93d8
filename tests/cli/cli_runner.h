#pragma once

// Runs the built command line tool and collects what it says.

#include <QFile>
#include <QProcess>
#include <QStringList>

namespace r7::test {

struct CliRun {
    int exitCode;
    QByteArray out, err;
};

inline CliRun Cli(const QStringList& args, const QByteArray& input = {}) {
    QProcess p;
    p.start(R7_CLI_PATH, args);
    p.waitForStarted();
    if (!input.isEmpty()) p.write(input);
    p.closeWriteChannel();
    p.waitForFinished(20000);
    return {p.exitCode(), p.readAllStandardOutput(), p.readAllStandardError()};
}

inline QByteArray Contents(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace r7::test
