#pragma once

// "Fill channels from a plan..." and "Check against a plan...": the plan to use and, for a
// fill, which of its channels (at most 16, the first 16 ticked) go to channels 1, 2, ...

#include <QDialog>
#include <vector>

#include "files/plan_files.h"

class QComboBox;
class QDialogButtonBox;
class QLabel;
class QListWidget;

namespace r7::ui {

class PlanDialog : public QDialog {
    Q_OBJECT
public:
    enum class Purpose { Fill, Check };
    PlanDialog(Purpose purpose, QWidget* parent);

    // The chosen plan; nullopt when it cannot be loaded (loadError() says why).
    const std::optional<ChannelPlan>& plan() const { return plan_; }
    QString loadError() const { return loadError_; }
    // Ticked plan channel numbers, in plan order.
    std::vector<int> picks() const;

    QComboBox* planList() const { return plans_; }
    QListWidget* channelList() const { return channels_; }

private:
    void choosePlan(int index);
    void updatePicks();

    Purpose purpose_;
    std::vector<PlanSource> sources_;
    std::optional<ChannelPlan> plan_;
    QString loadError_;
    QComboBox* plans_;
    QLabel* notes_;
    QListWidget* channels_;
    QLabel* count_;
    QDialogButtonBox* buttons_;
};

}  // namespace r7::ui
