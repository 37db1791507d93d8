// read, write: the radio over a serial port, through the same transfer as the window.

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QEventLoop>
#include <cstdio>

#ifdef _WIN32
#include <io.h>
#define R7_ISATTY _isatty
#define R7_FILENO _fileno
#else
#include <unistd.h>
#define R7_ISATTY isatty
#define R7_FILENO fileno
#endif

#include "cli_commands.h"
#include "files/dat_file.h"
#include "image/editor_defaults.h"
#include "image/hex_text.h"
#include "image/image_codec.h"
#include "link/port_naming.h"
#include "link/transfer_controller.h"

namespace r7::cli {

namespace {

struct TransferOptions {
    QString device;
    int watchdogMs = link::kWatchdogIntervalMs;
};

// Adds --port and --watchdog-ms; reads them after parsing.
struct LinkOptions {
    QCommandLineOption port{"port", "serial port: COM1..COM8 or a device path", "PORT"};
    QCommandLineOption watchdog{"watchdog-ms", "reply time-out in ms (default 3000; for tests)", "MS"};
    void AddTo(QCommandLineParser& p) {
        p.addOption(port);
        p.addOption(watchdog);
    }
    std::optional<TransferOptions> Read(const QCommandLineParser& p) {
        if (!p.isSet(port)) {
            PrintError(QStringLiteral("--port is required"));
            return std::nullopt;
        }
        TransferOptions t;
        t.device = link::ResolvePortArgument(p.value(port));
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
};

void DrawProgress(const char* verb, int value) {
    const int width = 40;
    const int filled = value * width / link::kProgressMaximum;
    std::fprintf(stderr, "\r%s [%.*s%*s] %3d%%", verb, filled, "########################################",
                 width - filled, "", value * 100 / link::kProgressMaximum);
    std::fflush(stderr);
}

struct Outcome {
    bool ok = false;
    QString message;
    QString imageHex;
};

// Runs one transfer to its end: success (End sent) or the watchdog's outcome.
Outcome RunTransfer(const TransferOptions& options, char command, const EditorState& state) {
    Outcome outcome;
    link::TransferController controller;
    controller.setWatchdogInterval(options.watchdogMs);
    if (!controller.link().open(options.device)) {
        outcome.message = controller.link().openErrorText();
        return outcome;
    }
    controller.setImageSource([&state] { return EncodeImage(state); });
    const bool tty = R7_ISATTY(R7_FILENO(stderr));
    const char* verb = command == 'R' ? "reading" : "writing";
    QEventLoop loop;
    QObject::connect(&controller, &link::TransferController::messageRequested,
                     [&](const QString& text) { outcome.message = text.trimmed(); });
    QObject::connect(&controller, &link::TransferController::readImageReady,
                     [&](const QString& hex) { outcome.imageHex = hex; });
    if (tty) {
        QObject::connect(&controller, &link::TransferController::progressShown,
                         [&](int, int, int v) { DrawProgress(verb, v); });
        QObject::connect(&controller, &link::TransferController::progressValueChanged,
                         [&](int v) { DrawProgress(verb, v); });
    }
    QObject::connect(&controller, &link::TransferController::transferSucceeded, [&] {
        outcome.ok = true;
        loop.quit();
    });
    QObject::connect(&controller, &link::TransferController::transferFailed, [&] { loop.quit(); });
    const link::StartResult started =
        command == 'R' ? controller.startRead() : controller.startWrite(state.ServiceUnlocked);
    if (started != link::StartResult::Started) {
        outcome.message = QStringLiteral("the transfer could not start");
        return outcome;
    }
    loop.exec();
    controller.link().flush();  // End must reach the radio before the port closes
    if (tty) {
        if (outcome.ok) DrawProgress(verb, link::kProgressMaximum);
        std::fputc('\n', stderr);
    }
    if (!outcome.ok && outcome.message.isEmpty()) outcome.message = QStringLiteral("the transfer failed");
    return outcome;
}

}  // namespace

int RunRead(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription("Read the radio's configuration into a data file.");
    LinkOptions link;
    link.AddTo(parser);
    const QCommandLineOption out({"o", "output"}, "the data file to write", "FILE.DAT");
    parser.addOption(out);
    if (auto stop = ParseArguments(parser, arguments, 0, 0)) return *stop;
    const auto options = link.Read(parser);
    if (!options) return kExitUsage;
    if (!parser.isSet(out)) {
        PrintError(QStringLiteral("-o FILE.DAT is required"));
        return kExitUsage;
    }
    const EditorState unused = NewConfiguration();
    const Outcome outcome = RunTransfer(*options, 'R', unused);
    if (!outcome.ok) {
        PrintError(QStringLiteral("read from %1 failed: %2").arg(options->device, outcome.message));
        return kExitFailure;
    }
    const auto bytes = FromHexText(outcome.imageHex.toStdString());
    EditorState state = NewConfiguration();
    if (!bytes || !DecodeImageBytes(*bytes, state)) {
        PrintError(QStringLiteral("the radio sent an image that cannot be decoded"));
        return kExitFailure;
    }
    // The radio returns offsets 000-33F; the rest of the file is what the editor would save.
    ImageBytes image = EncodeImageBytes(state);
    std::copy(bytes->begin(), bytes->end(), image.begin());
    const DatWriteResult written = WriteDatFile(parser.value(out), image);
    if (!written.ok) {
        PrintError(written.error);
        return kExitFailure;
    }
    return kExitOk;
}

int RunWrite(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription("Write a data file into the radio.");
    parser.addPositionalArgument("FILE.DAT", "the data file to write into the radio");
    LinkOptions link;
    link.AddTo(parser);
    const QCommandLineOption service("service", "also write the transmit power calibration");
    parser.addOption(service);
    if (auto stop = ParseArguments(parser, arguments, 1, 1)) return *stop;
    const auto options = link.Read(parser);
    if (!options) return kExitUsage;
    const QString path = parser.positionalArguments().at(0);
    const DatReadResult dat = ReadDatFile(path);
    EditorState state = NewConfiguration();
    if (dat.status != DatStatus::Ok) {
        PrintError(dat.error);
        return kExitFailure;
    }
    if (!DecodeImageBytes(dat.image, state)) {
        PrintError(QStringLiteral("%1 cannot be decoded").arg(path));
        return kExitFailure;
    }
    state.ServiceUnlocked = parser.isSet(service) ? 1 : 0;
    const Outcome outcome = RunTransfer(*options, 'W', state);
    if (!outcome.ok) {
        PrintError(QStringLiteral("write to %1 failed: %2").arg(options->device, outcome.message));
        return kExitFailure;
    }
    return kExitOk;
}

}  // namespace r7::cli
