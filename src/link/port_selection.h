#pragma once

// The "Communication(&V)" menu without its widgets: which port is open, which item carries
// the check mark, and the message when a port cannot be opened. mnucom1..mnucom8 call
// choosePort(N); start-up calls SelectPort with the saved number.

#include <QObject>
#include <QString>
#include <array>

#include "clone_session.h"
#include "port_naming.h"

namespace r7::link {

class SerialLink;

class PortSelection : public QObject {
    Q_OBJECT
public:
    explicit PortSelection(SerialLink& link, QObject* parent = nullptr);

    // The port last opened successfully in this run, 0 until one has been.
    int PortNumber() const { return PortNumber_; }
    // Check mark of item mnucomN, N = 1..8.
    bool isChecked(int n) const;
    // "N serial port has already been used by ..." for port N.
    static QString OpenFailureMessage(int n);
    // The devices chosen in "Serial ports..." for COM1..COM8, which choosePort opens.
    const PortDevices& devices() const { return devices_; }
    void setDevices(const PortDevices& devices) { devices_ = devices; }
    QString device(int n) const { return RouteOfPort(n, devices_).device; }

public slots:
    // mnucomN_Click: closes the open port and opens COMn.
    void choosePort(int n);
    // 1..8 choose that port, anything else COM1.
    void SelectPort(int port);

signals:
    void checkMarksChanged();
    // Shown by whoever connects, under the application title.
    void messageRequested(const QString& text, r7::link::MessageKind kind);

private:
    SerialLink& link_;
    int PortNumber_ = 0;
    std::array<bool, kPortCount> checked_{};
    PortDevices devices_;
};

}  // namespace r7::link
