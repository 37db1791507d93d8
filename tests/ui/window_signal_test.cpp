// SIGTERM, SIGHUP and SIGINT to the window: a transfer under way ends with End on the line
// (the watchdog is far off, so only the signal can have sent it), and a question about
// unsaved changes is never asked, so nothing waits for an answer.

#include <signal.h>
#include <unistd.h>

#include "link/interrupt_guard.h"
#include "ui/main/editor_document.h"
#include "ui/main/signal_close.h"
#include "window_sim_support.h"

using test::Sim;

class WindowSignalTest : public QObject {
    Q_OBJECT
private slots:
    void signalClosesTheWindowAsTheCloseBoxDoes_data() {
        test::AddRows("window_signals", {"signal", "reading"});
    }
    void signalClosesTheWindowAsTheCloseBoxDoes() {
        const auto [number, readingText] = test::Fetch({"signal", "reading"});
        const int signal = number.toInt();
        const bool reading = readingText == "1";
        test::ScriptedDesktop desktop;
        Sim sim({"--fault", "stop-after=3"});
        auto f = test::LinkedWindow(desktop, sim.device);
        f->transfer()->setWatchdogInterval(20000);
        EditorState changed = f->document()->state();
        changed.cell(2, ColReceive) = "446.00625";
        f->document()->storeState(changed);
        link::InterruptGuard guard;
        QEventLoop loop;  // the program's: QCoreApplication::exit would end every later loop too
        CloseOnSignals(*f, guard, [&](int status) { loop.exit(status); });
        QByteArray radio;
        if (reading) {
            QCOMPARE(f->transfer()->startRead(), link::StartResult::Started);
            QVERIFY(test::RadioSays(sim, radio, "stopped answering"));
        }
        ::kill(::getpid(), signal);
        QTimer::singleShot(5000, &loop, [&] { loop.exit(-1); });  // the signal went unheard
        QCOMPARE(loop.exec(), 128 + signal);
        QVERIFY(!f->isVisible());
        QCOMPARE(desktop.boxes.texts(), QStringList());
        QCOMPARE(test::RadioSays(sim, radio, "End received", 2000), reading);
    }
};

QTEST_MAIN(WindowSignalTest)
#include "window_signal_test.moc"
