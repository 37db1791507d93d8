// ports: the serial ports this computer has and where COM1..COM8 lead.

#include <QCommandLineParser>
#include <QDir>
#include <cstdio>

#include "cli_commands.h"
#include "cli_io.h"
#include "files/tools_settings.h"
#include "link/port_naming.h"

namespace r7::cli {

namespace {

void PrintLine(const QString& line) { PrintOut(line + QLatin1Char('\n')); }

QString SourceText(const link::PortRoute& route, int n) {
    switch (route.source) {
        case link::PortSource::Environment:
            return QStringLiteral("MORVANE_R7_COM%1").arg(n);
        case link::PortSource::ToolsSettings:
            return QStringLiteral("Serial ports...");
        case link::PortSource::Default:
            break;
    }
    return QStringLiteral("default");
}

}  // namespace

int RunPorts(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Lists the serial ports the system reports (on Linux by their /dev/serial/by-id name when\n"
        "they have one) and the device each of COM1..COM8 opens: $MORVANE_R7_COMn when set, else\n"
        "the device chosen in the window's Tools > Serial ports..., else the default.");
    if (auto stop = ParseArguments(parser, arguments, 0, 0)) return *stop;

    const QString settings = DefaultToolsSettingsPath();
    const link::PortDevices devices = LoadToolsOptions(settings).portDevices;
    const std::vector<link::DetectedPort> detected = link::DetectedPorts();
    PrintLine(QStringLiteral("Serial ports found:"));
    if (detected.empty()) PrintLine(QStringLiteral("  none"));
    for (const link::DetectedPort& port : detected) {
        PrintLine(QStringLiteral("  ") + port.device);
        const QString about = link::DescribePort(port);
        if (!about.isEmpty()) PrintLine(QStringLiteral("      ") + about);
    }
    PrintLine(QStringLiteral("\nCOM1..COM8 (choices kept in %1):")
                  .arg(QDir::toNativeSeparators(settings)));
    for (int n = 1; n <= link::kPortCount; ++n) {
        const link::PortRoute route = link::RouteOfPort(n, devices);
        PrintLine(
            QStringLiteral("  COM%1  %2  (%3)").arg(n).arg(route.device, SourceText(route, n)));
    }
    return kExitOk;
}

}  // namespace r7::cli
