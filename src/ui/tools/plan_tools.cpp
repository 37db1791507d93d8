#include "ui/tools/plan_tools.h"

#include <QMenu>
#include <QToolBar>

#include "ui/dialogs/dialog_support.h"
#include "ui/main/channel_grid.h"
#include "ui/main/editor_document.h"
#include "ui/main/form1.h"
#include "ui/main/message_box.h"
#include "ui/tools/plan_dialog.h"
#include "ui/tools/report_window.h"

namespace r7::ui {

PlanTools::PlanTools(Form1& form, QMenu* menu)
    : QObject(&form),
      form_(form),
      fill_(NewAction(menu, "toolsFillPlan", tr("Fill c&hannels from a plan..."))),
      check_(NewAction(menu, "toolsCheckPlan", tr("Chec&k against a plan..."))) {
    connect(fill_, &QAction::triggered, this, &PlanTools::fillFromPlan);
    connect(check_, &QAction::triggered, this, &PlanTools::checkAgainstPlan);
}

void PlanTools::fillFromPlan() {
    // Like every other change of the table: not while it is locked, busy or being edited.
    if (!form_.mayEdit()) return;
    PlanDialog dialog(PlanDialog::Purpose::Fill, &form_);
    if (form_.environment().dialogRunner(dialog) != QDialog::Accepted || !dialog.plan()) return;
    EditorDocument* document = form_.document();
    EditorState next = document->state();
    const PlanFill fill =
        FillFromPlan(next, *dialog.plan(), dialog.picks(), document->bandLimits());
    if (!fill.ok()) {
        form_.environment().showMessage(
            tr("Nothing has been filled from %1:\n").arg(Utf8(dialog.plan()->name)) +
                Utf8(fill.refusal),
            IconStop);
        return;
    }
    document->storeState(next, tr("Fill from %1").arg(Utf8(dialog.plan()->name)));
}

void PlanTools::checkAgainstPlan() {
    PlanDialog dialog(PlanDialog::Purpose::Check, &form_);
    if (form_.environment().dialogRunner(dialog) != QDialog::Accepted || !dialog.plan()) return;
    const ChannelPlan& plan = *dialog.plan();
    const std::vector<PlanFinding> findings = CheckAgainstPlan(form_.document()->state(), plan);
    if (findings.empty()) {
        form_.environment().showMessage(tr("Every channel keeps to %1.").arg(Utf8(plan.name)),
                                        IconInformation);
        return;
    }
    QString lines;
    for (const PlanFinding& finding : findings) lines += Utf8(finding.text) + QLatin1Char('\n');
    ReportWindow window(
        tr("These channels break %1 (nothing has been changed):").arg(Utf8(plan.name)), lines,
        &form_);
    form_.environment().dialogRunner(window);
}

}  // namespace r7::ui
