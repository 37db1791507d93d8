#pragma once

// The options every command that talks to the radio takes: the port and the reply time-out.

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QString>
#include <optional>

#include "link/transfer_controller.h"

namespace r7::cli {

struct TransferOptions {
    QString device;
    int watchdogMs = link::kWatchdogIntervalMs;
};

// Adds --port and --watchdog-ms; reads them after parsing.
struct LinkOptions {
    QCommandLineOption port{
        "port", "serial port: COM1..COM8, a device path or a /dev/serial/by-id name", "PORT"};
    QCommandLineOption watchdog{"watchdog-ms", "reply time-out in ms (default 3000; for tests)",
                                "MS"};
    void AddTo(QCommandLineParser& p) {
        p.addOption(port);
        p.addOption(watchdog);
    }
    // Reports a usage error and gives nothing when they are wrong.
    std::optional<TransferOptions> Read(const QCommandLineParser& p) const;
};

}  // namespace r7::cli
