#include "port_selection.h"

#include "clone_session.h"
#include "serial_link.h"

namespace r7::link {

PortSelection::PortSelection(SerialLink& link, QObject* parent) : QObject(parent), link_(link) {
    // A port that went away is closed: no item may claim it is in use.
    connect(&link_, &SerialLink::portLost, this, [this] {
        checked_.fill(false);
        emit checkMarksChanged();
    });
}

bool PortSelection::isChecked(int n) const {
    return n >= 1 && n <= kPortCount && checked_[static_cast<std::size_t>(n - 1)];
}

QString PortSelection::OpenFailureMessage(int n) {
    return QString::number(n) +
           QStringLiteral(
               " serial port has already been used by other procedures, please choose "
               "other bunches of mouths or turn off its procedure. ");
}

void PortSelection::choosePort(int n) {
    if (n < 1 || n > kPortCount) return;
    const auto index = static_cast<std::size_t>(n - 1);
    if (!checked_[index]) {
        for (std::size_t i = 0; i < checked_.size(); ++i)
            if (i != index) checked_[i] = false;
    }
    if (link_.open(device(n))) {
        checked_[index] = true;
        PortNumber_ = n;
        emit checkMarksChanged();
    } else {
        emit checkMarksChanged();
        emit messageRequested(OpenFailureMessage(n), MessageKind::Information);
    }
}

void PortSelection::SelectPort(int port) { choosePort(port >= 1 && port <= kPortCount ? port : 1); }

}  // namespace r7::link
