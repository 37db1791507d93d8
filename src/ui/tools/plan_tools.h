#pragma once

// "Fill channels from a plan..." and "Check against a plan..." in the "Tools" menu.

#include <QObject>

class QAction;
class QMenu;

namespace r7::ui {

class Form1;

class PlanTools : public QObject {
    Q_OBJECT
public:
    PlanTools(Form1& form, QMenu* menu);

public slots:
    void fillFromPlan();
    void checkAgainstPlan();

private:
    Form1& form_;
    QAction* fill_;
    QAction* check_;
};

}  // namespace r7::ui
