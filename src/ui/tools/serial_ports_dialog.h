#pragma once

// "Serial ports...": which device each item COM1..COM8 of "Communication(&V)" opens, chosen
// from the ports the system reports or typed as a path. An empty choice keeps the default.

#include <QDialog>
#include <array>
#include <vector>

#include "link/port_naming.h"

class QComboBox;
class QLabel;

namespace r7::ui {

class SerialPortsDialog : public QDialog {
    Q_OBJECT
public:
    SerialPortsDialog(const link::PortDevices& devices, std::vector<link::DetectedPort> detected,
                      QWidget* parent = nullptr);

    // What the lists hold now (trimmed; empty: the default).
    link::PortDevices devices() const;
    QComboBox* deviceBox(int n) const { return boxes_[static_cast<std::size_t>(n - 1)]; }

private:
    void describe(int n);

    std::vector<link::DetectedPort> detected_;
    std::array<QComboBox*, link::kPortCount> boxes_{};
    std::array<QLabel*, link::kPortCount> notes_{};
};

}  // namespace r7::ui
