#pragma once

// The simulated radio as a process on a pseudo-terminal, and the radio memory images the
// tests give it and read back from its saved data files.

#include <QProcess>
#include <QStringList>
#include <algorithm>

#include "image_builder.h"
#include "test_files.h"

namespace r7::test {

// One simulated radio; Stop() closes its stdin, which makes it save and exit.
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

// The image of a data file's contents (mark, then 848 bytes); all zero when it is not one.
inline ImageBytes DatImage(const QByteArray& contents) {
    ImageBytes image{};
    if (contents.size() >= 5 + 848) std::copy(contents.begin() + 5, contents.begin() + 5 + 848, image.begin());
    return image;
}

}  // namespace r7::test
