#pragma once

// The simulated radio as a process on a pseudo-terminal, and the radio memory images the
// tests give it and read back from its saved data files.

#include <QProcess>
#include <QStringList>
#include <algorithm>

#include "image_builder.h"
#include "test_files.h"

namespace r7::test {

// The image of a data file's contents (mark, then 848 bytes); all zero when it is not one.
inline ImageBytes DatImage(const QByteArray& contents) {
    ImageBytes image{};
    if (contents.size() >= 5 + 848)
        std::copy(contents.begin() + 5, contents.begin() + 5 + 848, image.begin());
    return image;
}

// One simulated radio; Stop() closes its stdin, which makes it save and exit.
struct Sim {
    QProcess process;
    QString device, savePath;
    explicit Sim(const QStringList& args) {
        process.start(R7_SIM_PATH, args);
        process.waitForStarted(5000);
        while (!process.canReadLine() && process.waitForReadyRead(5000)) {
        }
        device = QString::fromLocal8Bit(process.readLine()).trimmed();
    }
    // A radio holding `memory`, loaded from STEM.DAT and saved to STEM-saved.DAT.
    Sim(const QString& stem, const ImageBytes& memory, const QStringList& args = {})
        : Sim(Holding(stem, memory) + args) {
        savePath = stem + "-saved.DAT";
    }
    static QStringList Holding(const QString& stem, const ImageBytes& memory) {
        WriteFile(stem + ".DAT",
                  "P3207" + QByteArray(reinterpret_cast<const char*>(memory.data()), 848));
        return {"--load", stem + ".DAT", "--save", stem + "-saved.DAT"};
    }
    void Stop() {
        process.closeWriteChannel();
        process.waitForFinished(5000);
    }
    // What the radio holds once it has stopped.
    ImageBytes Saved() {
        Stop();
        return DatImage(Contents(savePath));
    }
    ~Sim() {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(5000);
        }
    }
};

}  // namespace r7::test
