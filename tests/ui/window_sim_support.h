#pragma once

// The window against morvane-r7-sim on a pseudo-terminal: the radio as a process, a window
// whose COM1 leads to it, and waiting for a transfer to end.

#include <QProcess>
#include <QTest>
#include <algorithm>
#include <memory>

#include "image/image_codec.h"
#include "link/transfer_controller.h"
#include "ui/main/form1.h"
#include "ui/main/saved_settings.h"
#include "ui_test_support.h"

namespace r7::ui::test {

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

// The image of a saved .DAT (mark, then 848 bytes); all zero when the file is not one.
inline ImageBytes SavedImage(const QString& datPath) {
    const QByteArray file = Contents(datPath);
    ImageBytes image{};
    if (file.size() == 5 + 848) std::copy(file.begin() + 5, file.end(), image.begin());
    return image;
}

// A shown window whose saved settings live in `folder` and whose COM1 is `device`; the
// watchdog is short so that faults end quickly.
inline std::unique_ptr<Form1> LinkedWindow(const QString& folder, const QString& device) {
    qputenv("MORVANE_R7_COM1", device.toLocal8Bit());
    auto f = std::make_unique<Form1>(SavedSettingsHooks(folder));
    f->transfer()->setWatchdogInterval(300);
    f->show();
    if (!QTest::qWaitForWindowExposed(f.get())) qWarning("window not exposed");
    return f;
}

// Waits until the transfer has ended: restored after success, or failed.
inline bool WaitRestored(Form1& f, int ms = 5000) {
    bool ended = false;
    const auto c1 = QObject::connect(f.transfer(), &link::TransferController::uiRestored, [&] { ended = true; });
    const auto c2 = QObject::connect(f.transfer(), &link::TransferController::transferFailed, [&] { ended = true; });
    const bool ok = QTest::qWaitFor([&] { return ended; }, ms);
    QObject::disconnect(c1);
    QObject::disconnect(c2);
    return ok;
}

}  // namespace r7::ui::test
