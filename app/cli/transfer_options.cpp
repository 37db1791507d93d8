#include "transfer_options.h"

#include "cli_commands.h"
#include "files/tools_settings.h"
#include "link/port_naming.h"

namespace r7::cli {

std::optional<TransferOptions> LinkOptions::Read(const QCommandLineParser& p) const {
    if (!p.isSet(port)) {
        PrintError(QStringLiteral("--port is required"));
        return std::nullopt;
    }
    TransferOptions t;
    t.device = link::ResolvePortArgument(p.value(port),
                                         LoadToolsOptions(DefaultToolsSettingsPath()).portDevices);
    if (p.isSet(watchdog)) {
        bool ok = false;
        t.watchdogMs = p.value(watchdog).toInt(&ok);
        if (!ok || t.watchdogMs < 1) {
            PrintError(QStringLiteral("--watchdog-ms wants a positive number"));
            return std::nullopt;
        }
    }
    return t;
}

}  // namespace r7::cli
