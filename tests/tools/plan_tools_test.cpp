// Tools "Fill channels from a plan..." and "Check against a plan..." in the window.

#include <QPlainTextEdit>

#include "ui/tools/plan_dialog.h"
#include "ui/tools/report_window.h"
#include "ui/tools/tools_menu.h"
#include "ui_test_support.h"

class PlanToolsTest : public QObject {
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
};

QTEST_MAIN(PlanToolsTest)
#include "plan_tools_test.moc"
