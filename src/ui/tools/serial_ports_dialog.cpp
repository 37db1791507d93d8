#include "ui/tools/serial_ports_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <utility>

namespace r7::ui {

SerialPortsDialog::SerialPortsDialog(const link::PortDevices& devices,
                                     std::vector<link::DetectedPort> detected, QWidget* parent)
    : QDialog(parent), detected_(std::move(detected)) {
    setObjectName(QStringLiteral("serialPortsDialog"));
    setWindowTitle(tr("Serial ports"));

    auto* heading = new QLabel(
        tr("The device each item of \"Communication(V)\" opens. Leave a device empty for the "
           "default; on Linux a /dev/serial/by-id name stays with its cable when it is plugged "
           "into another socket."),
        this);
    heading->setWordWrap(true);
    heading->setTextFormat(Qt::PlainText);

    // One labelled list per item, in a form rather than a table: Tab walks the lists once
    // and goes on to the buttons, and each list is named after its item.
    auto* form = new QGridLayout;
    form->setColumnStretch(1, 1);
    form->setColumnStretch(2, 1);
    for (const auto& [column, title] :
         {std::pair{0, tr("Item")}, {1, tr("Device")}, {2, tr("Port")}})
        form->addWidget(new QLabel(QStringLiteral("<b>%1</b>").arg(title), this), 0, column);
    for (int n = 1; n <= link::kPortCount; ++n) {
        const auto index = static_cast<std::size_t>(n - 1);
        auto* item = new QLabel(QStringLiteral("COM%1").arg(n), this);
        auto* box = new QComboBox(this);
        box->setObjectName(QStringLiteral("serialPortCOM%1").arg(n));
        box->setAccessibleName(tr("COM%1 device").arg(n));
        item->setBuddy(box);
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        box->setMinimumContentsLength(12);
        box->lineEdit()->setPlaceholderText(tr("%1 (default)").arg(link::DefaultDeviceForPort(n)));
        box->addItem(QString());
        for (const link::DetectedPort& port : detected_) {
            box->addItem(port.device);
            box->setItemData(box->count() - 1, link::DescribePort(port), Qt::ToolTipRole);
        }
        box->setCurrentText(devices[index]);
        boxes_[index] = box;

        auto* note = new QLabel(this);
        note->setTextFormat(Qt::PlainText);
        notes_[index] = note;
        form->addWidget(item, n, 0);
        form->addWidget(box, n, 1);
        form->addWidget(note, n, 2);
        connect(box, &QComboBox::currentTextChanged, this, [this, n] { describe(n); });
        describe(n);
    }

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addLayout(form);
    layout->addStretch(1);
    layout->addWidget(buttons);
    resize(720, sizeHint().height());
}

link::PortDevices SerialPortsDialog::devices() const {
    link::PortDevices devices;
    for (std::size_t i = 0; i < devices.size(); ++i)
        devices[i] = boxes_[i]->currentText().trimmed();
    return devices;
}

// What the chosen device is, and whether this run follows the choice at all.
void SerialPortsDialog::describe(int n) {
    const auto index = static_cast<std::size_t>(n - 1);
    const QString chosen = boxes_[index]->currentText().trimmed();
    link::PortDevices choice;
    choice[index] = chosen;
    const link::PortRoute route = link::RouteOfPort(n, choice);
    QString note;
    if (route.source == link::PortSource::Environment) {
        note = tr("this run opens %1 (MORVANE_R7_COM%2)").arg(route.device).arg(n);
    } else if (chosen.isEmpty()) {
        note = tr("default");
    } else {
        note = tr("not connected now");
        for (const link::DetectedPort& port : detected_) {
            if (port.device == chosen || port.systemLocation == chosen) {
                note = link::DescribePort(port);
                if (note.isEmpty()) note = tr("connected");
            }
        }
    }
    notes_[index]->setText(note);
    notes_[index]->setToolTip(note);
    boxes_[index]->setAccessibleDescription(note);
}

}  // namespace r7::ui
