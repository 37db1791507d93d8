// "Write many radios..." against the simulated radio: three radios, the first failing on
// purpose (its replies come after the watchdog), then skipped; the list shown and the log.

#include "files/programming_log.h"
#include "link/radio_write.h"
#include "ui/tools/batch_write_window.h"
#include "ui/tools/tools_menu.h"
#include "window_sim_support.h"

using test::Sim;

class BatchWriteTest : public QObject {
    Q_OBJECT
private slots:
    void threeRadiosOneFailingShowAndLogWhatHappened() {
        test::ScriptedDesktop d;
        const QString ini = d.path("tools.ini");
        SaveToolsOptions(ini, ToolsOptions{});
        // Radio 1's first reply comes after the 300 ms watchdog; the others answer at once.
        Sim sim({"--save", d.path("after.DAT"), "--delay-ms", "700", "--delay-replies", "1"});
        auto f = test::LinkedWindow(d, sim.device);
        auto* tools = new ToolsMenu(*f, ini);
        QStringList shown;
        d.dialogs = test::Looking([&](QDialog& dialog) {
            auto& w = dynamic_cast<BatchWriteWindow&>(dialog);
            w.show();
            w.numberPattern()->setText("UNIT {n:02}");
            w.numberLine()->setCurrentIndex(1);
            w.firstNumber()->setValue(7);
            QVERIFY(f->transfer()->state() == link::TransferState::Idle);  // nothing sent yet
            const auto radioEnded = [&](int count) {
                const auto waiting = [&] {
                    return w.nextButton()->isEnabled() || w.retryButton()->isEnabled();
                };
                return QTest::qWaitFor([&] { return w.doneList()->count() == count && waiting(); },
                                       16000);
            };
            QTest::keyClick(&w, Qt::Key_Return);  // Enter is "Next radio"
            QVERIFY(f->radioWrite()->running());
            QTest::keyClick(&w, Qt::Key_Return);  // typed during the transfer: not a radio
            QVERIFY(radioEnded(1) && w.skipButton()->isEnabled() && !w.nextButton()->isEnabled());
            QTest::qWait(500);  // radio 1's late reply arrives before radio 2 is connected
            QTest::mouseClick(w.skipButton(), Qt::LeftButton);
            for (int radio = 2; radio <= 3; ++radio) {
                QTest::mouseClick(w.nextButton(), Qt::LeftButton);
                QTest::keyClick(&w, Qt::Key_Return);
                QVERIFY2(radioEnded(radio + 1), qPrintable(w.statusLabel()->text()));
            }
            QCOMPARE(w.programmed(), 2);
            for (int row = 0; row < w.doneList()->count(); ++row)
                shown << w.doneList()->item(row)->text().section(':', 0, 1);
            QTest::mouseClick(w.finishButton(), Qt::LeftButton);
        });
        tools->actions().writeMany->trigger();
        QCOMPARE(shown, QStringList({"Radio 1: failed", "Radio 1: skipped", "Radio 2: written",
                                     "Radio 3: written"}));
        QCOMPARE(d.boxes.shown.size(), std::size_t{1});  // the watchdog's message, once

        const LogRead log = ReadLog(d.path("programming-log.csv"));
        QVERIFY(log.has_value());
        QStringList lines;
        for (const LogEntry& e : *log) {
            QVERIFY(!e.batch.isEmpty() && e.batch == (*log)[0].batch && e.port == sim.device);
            lines << QStringLiteral("%1|%2|%3|%4")
                         .arg(e.radio)
                         .arg(e.outcome.section(':', 0, 0), e.infoLine, e.file);
        }
        QCOMPARE(lines, QStringList({"1|failed|line 2: UNIT 07|(not saved)",
                                     "2|written|line 2: UNIT 07|(not saved)",
                                     "3|written|line 2: UNIT 08|(not saved)"}));
        QVERIFY((*log)[1].fingerprint != (*log)[2].fingerprint);
        sim.Stop();
        const ImageBytes after = test::DatImage(test::Contents(d.path("after.DAT")));
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(&after[0x310]), 7),
                 QByteArray("UNIT 08"));
        QVERIFY(f->document()->state().InfoTexts[1].empty());  // the editor is left as it was
    }

    // Finish during a transfer: End reaches the radio before the window closes, and the radio
    // does not count.
    void finishDuringATransferEndsTheProtocol() {
        test::ScriptedDesktop d;
        SaveToolsOptions(d.path("tools.ini"), ToolsOptions{});
        Sim sim({"--fault", "stop-after=3"});
        auto f = test::LinkedWindow(d, sim.device);
        f->transfer()->setWatchdogInterval(20000);
        auto* tools = new ToolsMenu(*f, d.path("tools.ini"));
        QByteArray said;
        d.dialogs = [&](QDialog& dialog) {
            auto& w = dynamic_cast<BatchWriteWindow&>(dialog);
            w.show();
            QTest::mouseClick(w.nextButton(), Qt::LeftButton);
            if (!test::RadioSays(sim, said, "stopped answering")) return -1;
            QTest::mouseClick(w.finishButton(), Qt::LeftButton);
            const bool ended = test::RadioSays(sim, said, "End received") &&
                               QTest::qWaitFor([&] { return w.isHidden(); }, 5000);
            return ended && w.programmed() == 0 ? w.result() : -1;
        };
        tools->actions().writeMany->trigger();
        QVERIFY(!f->radioWrite()->running());
        QCOMPARE(ReadLog(d.path("programming-log.csv")).value().at(0).outcome,
                 QStringLiteral("interrupted: 3 of 46 blocks"));  // the radio took 3
    }
};

QTEST_MAIN(BatchWriteTest)
#include "batch_write_test.moc"
