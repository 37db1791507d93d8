// Tools "Fill channels from a plan...", "Check against a plan..." and "Programming log..."
// in the window.

#include <QComboBox>
#include <QDateEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>

#include "files/programming_log.h"
#include "ui/tools/log_window.h"
#include "ui/tools/plan_dialog.h"
#include "ui/tools/report_window.h"
#include "ui/tools/tools_menu.h"
#include "ui_test_support.h"

class DealerToolsTest : public QObject {
    Q_OBJECT
private slots:
    // The default plan (PMR446, its 16 channels ticked) fills in one step that Undo takes back;
    // the check reports a High channel and changes nothing.
    void fillIsOneUndoableStepAndCheckChangesNothing() {
        test::WindowFixture w;
        auto* tools = new ToolsMenu(*w.form, w.path("tools.ini"));
        const EditorState fresh = w.form->document()->state();
        QString report;
        w.dialogs = [&](QDialog& dialog) {
            if (auto* plan = dynamic_cast<PlanDialog*>(&dialog)) {
                dialog.show();
                QTest::keyClick(plan->planList(), Qt::Key_Return);  // OK, the default button
                return dialog.result();
            }
            report = dialog.findChild<QPlainTextEdit*>()->toPlainText();
            return int(QDialog::Accepted);
        };
        w.form->findChild<QAction*>("toolsFillPlan")->trigger();
        const EditorState filled = w.form->document()->state();
        QCOMPARE(QString::fromStdString(filled.cell(16, ColReceive)), QString("446.19375"));
        QCOMPARE(QString::fromStdString(filled.cell(1, ColBand) + filled.cell(1, ColPower)),
                 QString("NarrowLow"));
        QCOMPARE(w.form->document()->editCell(3, ColPower, "High"), EditResult::Stored);
        const EditorState high = w.form->document()->state();
        w.form->findChild<QAction*>("toolsCheckPlan")->trigger();
        QVERIFY(report.startsWith("Channel 03 (PMR446 channel 3, 446.03125 MHz): High power"));
        QVERIFY(w.form->document()->state() == high);
        tools->undo();
        tools->undo();
        QVERIFY(w.form->document()->state() == fresh);
    }

    // The window filters by outcome and date and exports what it shows.
    void logWindowFiltersAndExports() {
        test::WindowFixture w;
        new ToolsMenu(*w.form, w.path("tools.ini"));
        std::vector<LogEntry> entries(3);
        const char* outcomes[] = {"written", "failed: the radio did not answer", "verified"};
        for (int i = 0; i < 3; ++i) {
            entries[i].time = QDateTime(QDate(2026, 12, 5 + i), QTime(9, 0));
            entries[i].outcome = outcomes[i];
            entries[i].radio = i + 1;
            QVERIFY(AppendLogEntry(w.path("programming-log.csv"), entries[i]).has_value());
        }
        w.files.expect({w.path("export.csv")});
        QStringList rows;
        w.dialogs = test::Looking([&](QDialog& dialog) {
            auto& log = dynamic_cast<LogWindow&>(dialog);
            log.show();
            rows << QString::number(log.table()->rowCount());
            log.outcome()->setFocus();
            for (int i = 0; i < 3; ++i) QTest::keyClick(log.outcome(), Qt::Key_Down);  // failed
            rows << QString::number(log.table()->rowCount());
            QTest::keyClick(log.outcome(), Qt::Key_Home);  // all outcomes
            log.fromDate()->setDate(QDate(2026, 12, 6));
            rows << QString::number(log.table()->rowCount());
            QTest::mouseClick(log.exportButton(), Qt::LeftButton);
        });
        w.form->findChild<QAction*>("toolsProgrammingLog")->trigger();
        QCOMPARE(rows.join(' '), QString("3 1 2"));
        QCOMPARE(test::Contents(w.path("export.csv")), LogCsv({entries[1], entries[2]}));
    }
};

QTEST_MAIN(DealerToolsTest)
#include "dealer_tools_test.moc"
