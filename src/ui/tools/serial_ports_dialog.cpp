#include "ui/tools/serial_ports_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <utility>

namespace r7::ui {

namespace {

enum Column { kItemColumn, kDeviceColumn, kNoteColumn };

}  // namespace

SerialPortsDialog::SerialPortsDialog(const link::PortDevices& devices,
                                     std::vector<link::DetectedPort> detected, QWidget* parent)
    : QDialog(parent),
      detected_(std::move(detected)),
      table_(new QTableWidget(link::kPortCount, 3, this)) {
    setObjectName(QStringLiteral("serialPortsDialog"));
    setWindowTitle(tr("Serial ports"));

    auto* heading = new QLabel(
        tr("The device each item of \"Communication(&V)\" opens. Leave a device empty for the "
           "default; on Linux a /dev/serial/by-id name stays with its cable when it is plugged "
           "into another socket."),
        this);
    heading->setWordWrap(true);
    heading->setTextFormat(Qt::PlainText);

    table_->setObjectName(QStringLiteral("serialPortsTable"));
    table_->setHorizontalHeaderLabels({tr("Item"), tr("Device"), tr("Port")});
    table_->verticalHeader()->hide();
    table_->setSelectionMode(QAbstractItemView::NoSelection);
    table_->horizontalHeader()->setSectionResizeMode(kDeviceColumn, QHeaderView::Stretch);
    table_->horizontalHeader()->setSectionResizeMode(kNoteColumn, QHeaderView::Stretch);
    for (int n = 1; n <= link::kPortCount; ++n) {
        const auto index = static_cast<std::size_t>(n - 1);
        auto* item = new QTableWidgetItem(QStringLiteral("COM%1").arg(n));
        item->setFlags(Qt::ItemIsEnabled);
        table_->setItem(n - 1, kItemColumn, item);

        auto* box = new QComboBox(table_);
        box->setObjectName(QStringLiteral("serialPortCOM%1").arg(n));
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        box->lineEdit()->setPlaceholderText(tr("%1 (default)").arg(link::DefaultDeviceForPort(n)));
        box->addItem(QString());
        for (const link::DetectedPort& port : detected_) {
            box->addItem(port.device);
            box->setItemData(box->count() - 1, link::DescribePort(port), Qt::ToolTipRole);
        }
        box->setCurrentText(devices[index]);
        table_->setCellWidget(n - 1, kDeviceColumn, box);
        boxes_[index] = box;

        auto* note = new QLabel(table_);
        note->setTextFormat(Qt::PlainText);
        table_->setCellWidget(n - 1, kNoteColumn, note);
        notes_[index] = note;
        connect(box, &QComboBox::currentTextChanged, this, [this, n] { describe(n); });
        describe(n);
    }
    table_->resizeColumnToContents(kItemColumn);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addWidget(table_, 1);
    layout->addWidget(buttons);
    resize(720, 360);
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
}

}  // namespace r7::ui
