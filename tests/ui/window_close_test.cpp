// Closing the window while the radio is being read: End reaches the radio before the end.

#include "window_sim_support.h"

using namespace r7::ui::test;

class WindowCloseTest : public QObject {
    Q_OBJECT
private slots:
    void closingDuringATransferSendsEnd() {
        QTemporaryDir dir;
        Sim sim({"--fault", "stop-after=3"});
        auto f = LinkedWindow(dir.path(), sim.device);
        f->transfer()->setWatchdogInterval(20000);
        f->mnureadFre_Click();
        QByteArray said;
        const auto radioSays = [&](const char* text) {
            return QTest::qWaitFor([&] { return (said += sim.process.readAll()).contains(text); }, 5000);
        };
        QVERIFY(radioSays("stopped answering"));
        f->close();
        QVERIFY(radioSays("End received"));
    }
};

QTEST_MAIN(WindowCloseTest)
#include "window_close_test.moc"
