#pragma once

// The window against morvane-r7-sim on a pseudo-terminal: the radio as a process, a window
// whose COM1 leads to it, and waiting for a transfer to end.

#include <QTest>
#include <memory>

#include "link/transfer_controller.h"
#include "simulated_radio.h"
#include "ui/main/form1.h"
#include "ui/main/saved_settings.h"
#include "ui_test_support.h"

namespace r7::test {

using namespace r7::ui;

// A shown window on `desktop`, its saved settings in the desktop's folder and its COM1
// `device`; the watchdog is short so that faults end quickly.
inline std::unique_ptr<Form1> LinkedWindow(ScriptedDesktop& desktop, const QString& device) {
    qputenv("MORVANE_R7_COM1", device.toLocal8Bit());
    auto f = desktop.window(SavedSettingsHooks(desktop.dir.path()));
    f->transfer()->setWatchdogInterval(300);
    f->show();
    if (!QTest::qWaitForWindowExposed(f.get())) qWarning("window not exposed");
    return f;
}

// Waits until what the radio has said (collected in `said`) holds `text`, the window running.
inline bool RadioSays(Sim& sim, QByteArray& said, const char* text, int ms = 5000) {
    return QTest::qWaitFor([&] { return (said += sim.process.readAll()).contains(text); }, ms);
}

// Waits until the transfer has ended: restored after success, or failed.
inline bool WaitRestored(Form1& f, int ms = 5000) {
    bool ended = false;
    const auto c1 = QObject::connect(f.transfer(), &link::TransferController::uiRestored,
                                     [&] { ended = true; });
    const auto c2 = QObject::connect(f.transfer(), &link::TransferController::transferFailed,
                                     [&] { ended = true; });
    const bool ok = QTest::qWaitFor([&] { return ended; }, ms);
    QObject::disconnect(c1);
    QObject::disconnect(c2);
    return ok;
}

}  // namespace r7::test
