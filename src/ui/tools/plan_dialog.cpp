#include "ui/tools/plan_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "ui/dialogs/dialog_support.h"

namespace r7::ui {

PlanDialog::PlanDialog(Purpose purpose, QWidget* parent)
    : QDialog(parent),
      purpose_(purpose),
      sources_(AvailablePlans()),
      plans_(new QComboBox(this)),
      notes_(new QLabel(this)),
      channels_(new QListWidget(this)),
      count_(new QLabel(this)),
      buttons_(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this)) {
    const bool fill = purpose == Purpose::Fill;
    setObjectName(fill ? QStringLiteral("planFillDialog") : QStringLiteral("planCheckDialog"));
    setWindowTitle(fill ? tr("Fill channels from a plan") : tr("Check against a plan"));
    for (const PlanSource& source : sources_) plans_->addItem(source.title);
    plans_->setAccessibleName(tr("Channel plan"));
    notes_->setWordWrap(true);
    notes_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    channels_->setAccessibleName(tr("Plan channels to fill, in order onto channels 1 to 16"));
    channels_->setVisible(fill);
    count_->setVisible(fill);
    buttons_->button(QDialogButtonBox::Ok)->setText(fill ? tr("Fill") : tr("Check"));

    auto* form = new QFormLayout;
    auto* planLabel = new QLabel(tr("&Plan:"), this);
    planLabel->setBuddy(plans_);
    form->addRow(planLabel, plans_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(notes_);
    auto* listLabel =
        new QLabel(tr("&Channels (ticked ones go to channels 1, 2, ... in order):"), this);
    listLabel->setBuddy(channels_);
    listLabel->setVisible(fill);
    layout->addWidget(listLabel);
    layout->addWidget(channels_, 1);
    layout->addWidget(count_);
    layout->addWidget(buttons_);

    connect(plans_, &QComboBox::currentIndexChanged, this, &PlanDialog::choosePlan);
    connect(channels_, &QListWidget::itemChanged, this, &PlanDialog::updatePicks);
    connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
    choosePlan(0);

    const QSize wanted(460, fill ? 560 : 240);
    const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    resize(screen ? wanted.boundedTo(screen->availableGeometry().size() * 9 / 10) : wanted);
}

std::vector<int> PlanDialog::picks() const {
    std::vector<int> picked;
    for (int row = 0; row < channels_->count(); ++row) {
        const QListWidgetItem* item = channels_->item(row);
        if (item->checkState() == Qt::Checked) picked.push_back(item->data(Qt::UserRole).toInt());
    }
    return picked;
}

void PlanDialog::choosePlan(int index) {
    const QString id = index >= 0 && index < static_cast<int>(sources_.size())
                           ? sources_[static_cast<std::size_t>(index)].id
                           : QString();
    PlanLoad load = LoadPlan(id);
    loadError_ = load ? QString() : load.error();
    plan_ = load ? std::optional(std::move(*load)) : std::nullopt;
    notes_->setText(plan_ ? PlanNotes(id) : loadError_);
    const QSignalBlocker blocker(channels_);
    channels_->clear();
    if (plan_) {
        const std::vector<int> ticked = plan_->defaultPicks();
        for (const PlanChannel& c : plan_->channels) {
            auto* item = new QListWidgetItem(tr("%1 channel %2: %3 MHz")
                                                 .arg(Utf8(plan_->name))
                                                 .arg(c.number)
                                                 .arg(Utf8(c.cells[ColReceive])),
                                             channels_);
            item->setData(Qt::UserRole, c.number);
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
            const bool on = std::find(ticked.begin(), ticked.end(), c.number) != ticked.end();
            item->setCheckState(on ? Qt::Checked : Qt::Unchecked);
        }
        channels_->setCurrentRow(0);
    }
    updatePicks();
}

void PlanDialog::updatePicks() {
    const std::size_t picked = picks().size();
    const bool fits = purpose_ == Purpose::Check ||
                      (picked >= 1 && picked <= static_cast<std::size_t>(kChannelCount));
    count_->setText(picked > static_cast<std::size_t>(kChannelCount)
                        ? tr("%1 channels ticked; the radio holds 16.").arg(picked)
                        : tr("%1 channels ticked.").arg(picked));
    buttons_->button(QDialogButtonBox::Ok)->setEnabled(plan_.has_value() && fits);
}

}  // namespace r7::ui
