// read, write: the radio over a serial port, through the same transfer as the window.

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <cstdio>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#define R7_ISATTY _isatty
#define R7_FILENO _fileno
#else
#include <termios.h>
#include <unistd.h>
#define R7_ISATTY isatty
#define R7_FILENO fileno
#endif

#include "cli_commands.h"
#include "cli_io.h"
#include "interrupt_guard.h"
#include "files/dat_file.h"
#include "files/tools_settings.h"
#include "image/editor_defaults.h"
#include "image/hex_text.h"
#include "image/image_codec.h"
#include "link/port_naming.h"
#include "link/read_back.h"
#include "link/safe_write.h"
#include "link/transfer_controller.h"

namespace r7::cli {

namespace {

struct TransferOptions {
    QString device;
    int watchdogMs = link::kWatchdogIntervalMs;
};

// Adds --port and --watchdog-ms; reads them after parsing.
struct LinkOptions {
    QCommandLineOption port{"port", "serial port: COM1..COM8, a device path or a /dev/serial/by-id name",
                            "PORT"};
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
        link::SetPortDevices(LoadToolsOptions(DefaultToolsSettingsPath()).portDevices);
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
    int signal = 0;  // the transfer was interrupted by this signal
    QString message;
    QString imageHex;
};

// While the port is open a second signal can still put End on the line.
struct PortForSignals {
    explicit PortForSignals(link::TransferController& controller) {
        InterruptGuard::setPort(controller.link().nativeHandle());
    }
    ~PortForSignals() { InterruptGuard::setPort(-1); }
    PortForSignals(const PortForSignals&) = delete;
    PortForSignals& operator=(const PortForSignals&) = delete;
};

// Opens the port for one radio and gives the controller the image to write.
bool Prepare(link::TransferController& controller, const TransferOptions& options,
             const EditorState& state, Outcome& outcome) {
    controller.setWatchdogInterval(options.watchdogMs);
    if (!controller.link().open(options.device)) {
        outcome.message = controller.link().openErrorText();
        return false;
    }
    controller.setImageSource([&state] { return EncodeImage(state); });
    return true;
}

// Runs one transfer to its end: success (End sent), the watchdog's outcome or an interruption.
Outcome RunTransfer(const TransferOptions& options, char command, const EditorState& state,
                    InterruptGuard& guard) {
    Outcome outcome;
    link::TransferController controller;
    if (!Prepare(controller, options, state, outcome)) return outcome;
    const PortForSignals port(controller);
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
    QObject::connect(&controller, &link::TransferController::transferFailed, [&] {
        outcome.message = controller.failureReason();
        loop.quit();
    });
    QObject::connect(&controller, &link::TransferController::transferInterrupted, [&] {
        outcome.signal = InterruptGuard::signalNumber();
        loop.quit();
    });
    QObject::connect(&guard, &InterruptGuard::interrupted, &controller, &link::TransferController::interrupt);
    if (InterruptGuard::signalNumber() != 0) {
        outcome.signal = InterruptGuard::signalNumber();
        return outcome;
    }
    const link::StartResult started =
        command == 'R' ? controller.startRead() : controller.startWrite(state.ServiceUnlocked);
    if (started != link::StartResult::Started) {
        outcome.message = QStringLiteral("the transfer could not start");
        return outcome;
    }
    loop.exec();
    controller.link().flush();  // End must reach the radio before the port closes
    if (tty && outcome.signal == 0) {  // the interruption notice has ended the line already
        if (outcome.ok) DrawProgress(verb, link::kProgressMaximum);
        std::fputc('\n', stderr);
    }
    if (!outcome.ok && outcome.message.isEmpty()) outcome.message = QStringLiteral("the transfer failed");
    return outcome;
}

const char* StageVerb(link::SafeWriteStage stage) {
    switch (stage) {
    case link::SafeWriteStage::Backup: return "backing up";
    case link::SafeWriteStage::Verify: return "verifying";
    default: return "writing";
    }
}

// One radio: open the port, run backup, write and read-back as asked, close the port.
Outcome RunSafeWrite(const TransferOptions& options, const EditorState& state, const link::SafeWriteOptions& safe,
                     InterruptGuard& guard) {
    Outcome outcome;
    if (InterruptGuard::signalNumber() != 0) {
        outcome.signal = InterruptGuard::signalNumber();
        outcome.message = QStringLiteral("interrupted: nothing was written");
        return outcome;
    }
    link::TransferController controller;
    if (!Prepare(controller, options, state, outcome)) return outcome;
    const PortForSignals port(controller);
    link::SafeWrite sequence(controller);
    const bool tty = R7_ISATTY(R7_FILENO(stderr));
    const char* verb = "writing";
    bool progressDrawn = false;
    QEventLoop loop;
    if (tty) {
        auto draw = [&](int v) {
            DrawProgress(verb, v);
            progressDrawn = true;
        };
        QObject::connect(&controller, &link::TransferController::progressShown, [=](int, int, int v) { draw(v); });
        QObject::connect(&controller, &link::TransferController::progressValueChanged, draw);
        QObject::connect(&controller, &link::TransferController::progressHidden, [&] {
            if (!progressDrawn) return;
            std::fputc('\n', stderr);
            progressDrawn = false;
        });
    }
    QObject::connect(&sequence, &link::SafeWrite::stageStarted, [&](link::SafeWriteStage stage) { verb = StageVerb(stage); });
    QObject::connect(&sequence, &link::SafeWrite::backupSaved, [](const QString& file) {
        std::printf("backup saved as %s\n", QDir::toNativeSeparators(file).toLocal8Bit().constData());
        std::fflush(stdout);
    });
    QObject::connect(&sequence, &link::SafeWrite::verified, [](int compared, int unverifiable) {
        std::printf("verified %d written bytes; %d bytes at 340-34F cannot be read back\n", compared, unverifiable);
        std::fflush(stdout);
    });
    QObject::connect(&sequence, &link::SafeWrite::finished, [&](bool ok, const QString& reason) {
        outcome.ok = ok;
        outcome.message = reason;
        if (sequence.interrupted()) outcome.signal = InterruptGuard::signalNumber();
        loop.quit();
    });
    QObject::connect(&guard, &InterruptGuard::interrupted, &sequence, [&] {
        progressDrawn = false;  // the interruption notice has ended the line
        sequence.interrupt();
    });
    if (!sequence.start(safe)) {
        outcome.message = QStringLiteral("the transfer could not start");
        return outcome;
    }
    if (sequence.running()) loop.exec();
    controller.link().flush();  // End must reach the radio before the port closes
    if (progressDrawn) std::fputc('\n', stderr);
    if (!outcome.ok && outcome.message.isEmpty()) outcome.message = QStringLiteral("the transfer failed");
    return outcome;
}

// Keys pressed while a radio was being written are not the go-ahead for the next one.
void DiscardTypeAhead() {
#ifdef _WIN32
    if (_isatty(_fileno(stdin))) FlushConsoleInputBuffer(GetStdHandle(STD_INPUT_HANDLE));
#else
    if (isatty(STDIN_FILENO)) tcflush(STDIN_FILENO, TCIFLUSH);
#endif
}

// Blocks until a line (Enter) arrives on standard input; false at its end or on a signal.
// Unbuffered, so no line read ahead survives DiscardTypeAhead.
bool WaitForEnter() {
#ifdef _WIN32
    int c;
    while ((c = std::getchar()) != EOF)
        if (c == '\n') return true;
    return false;
#else
    char c = 0;
    while (::read(STDIN_FILENO, &c, 1) == 1)
        if (c == '\n') return true;
    return false;  // end of input, or a signal interrupted the read
#endif
}

int InterruptedExit(int signal) { return 128 + signal; }

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
    InterruptGuard guard;
    const Outcome outcome = RunTransfer(*options, 'R', unused, guard);
    if (outcome.signal != 0) {
        PrintError(QStringLiteral("interrupted: nothing was saved"));
        return InterruptedExit(outcome.signal);
    }
    if (!outcome.ok) {
        PrintError(QStringLiteral("read from %1 failed: %2").arg(options->device, outcome.message));
        return kExitFailure;
    }
    const auto image = link::ImageOfRead(outcome.imageHex.toStdString());
    if (!image) {
        PrintError(QStringLiteral("the radio sent an image that cannot be decoded"));
        return kExitFailure;
    }
    const DatWriteResult written = WriteDatFile(parser.value(out), *image);
    if (!written.ok) {
        PrintError(written.error);
        return kExitFailure;
    }
    return kExitOk;
}

int RunWrite(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Write a data file into the radio.\n\n"
        "--verify reads the radio back after the write and compares every written byte the read\n"
        "returns; a read returns image offsets 000-33F only, so the written bytes at 340-34F cannot\n"
        "be read back and are reported as unverified.\n"
        "--backup DIR first reads the radio and saves it in DIR as R7-backup-YYYYMMDD-HHMMSS.DAT\n"
        "(never replacing a file); when the backup fails nothing is written.\n"
        "--repeat programs one radio after another with the same file: after each radio, connect\n"
        "the next one and press Enter; end of input (Ctrl+D) ends the batch. Nothing is sent to a\n"
        "radio before Enter. The port is opened anew for each radio; backups carry the radio\n"
        "number. --repeat-count N ends the batch by itself after N radios.");
    parser.addPositionalArgument("FILE.DAT", "the data file to write into the radio");
    LinkOptions link;
    link.AddTo(parser);
    const QCommandLineOption service("service", "also write the transmit power calibration");
    const QCommandLineOption verify("verify", "read the radio back and compare what was written");
    const QCommandLineOption backup("backup", "save the radio's configuration in DIR first", "DIR");
    const QCommandLineOption repeat("repeat", "program one radio after another (Enter between radios)");
    const QCommandLineOption repeatCount("repeat-count", "with --repeat: stop after N radios", "N");
    parser.addOptions({service, verify, backup, repeat, repeatCount});
    if (auto stop = ParseArguments(parser, arguments, 1, 1)) return *stop;
    const auto options = link.Read(parser);
    if (!options) return kExitUsage;
    int radios = 0;  // 0: no limit
    if (parser.isSet(repeatCount)) {
        bool ok = false;
        radios = parser.value(repeatCount).toInt(&ok);
        if (!ok || radios < 1) {
            PrintError(QStringLiteral("--repeat-count wants a positive number"));
            return kExitUsage;
        }
    }
    const bool batch = parser.isSet(repeat) || parser.isSet(repeatCount);
    const QString path = parser.positionalArguments().at(0);
    std::optional<EditorState> loaded = ReadConfiguration(path);
    if (!loaded) return kExitInput;
    EditorState state = *loaded;
    state.ServiceUnlocked = parser.isSet(service) ? 1 : 0;
    link::SafeWriteOptions safe;
    safe.verify = parser.isSet(verify);
    safe.serviceUnlocked = state.ServiceUnlocked;
    if (parser.isSet(backup)) {
        safe.backupDir = parser.value(backup);
        if (!QDir().mkpath(safe.backupDir)) {
            PrintError(QStringLiteral("cannot create the backup folder %1").arg(safe.backupDir));
            return kExitFailure;
        }
    }

    InterruptGuard guard;
    int programmed = 0;
    for (int radio = 1;; ++radio) {
        if (batch && radio > 1) {
            if (radios > 0 && programmed >= radios) break;
            DiscardTypeAhead();
            std::printf("connect radio %d and press Enter (Ctrl+D ends the batch)\n", radio);
            std::fflush(stdout);
            if (!WaitForEnter()) {
                if (const int signal = InterruptGuard::signalNumber()) {
                    std::printf("\ninterrupted: batch ended: %d radio%s programmed\n", programmed,
                                programmed == 1 ? "" : "s");
                    return InterruptedExit(signal);
                }
                break;
            }
        }
        safe.radioNumber = batch ? radio : 0;
        const Outcome outcome = RunSafeWrite(*options, state, safe, guard);
        if (outcome.signal != 0) {
            PrintError(batch ? QStringLiteral("radio %1 %2").arg(radio).arg(outcome.message) : outcome.message);
            if (batch)
                std::printf("%d radio%s programmed before the interruption\n", programmed, programmed == 1 ? "" : "s");
            return InterruptedExit(outcome.signal);
        }
        if (!outcome.ok) {
            if (batch) {
                PrintError(QStringLiteral("radio %1 failed: %2").arg(radio).arg(outcome.message));
                std::printf("%d radio%s programmed before the failure\n", programmed, programmed == 1 ? "" : "s");
            } else {
                PrintError(QStringLiteral("write to %1 failed: %2").arg(options->device, outcome.message));
            }
            return kExitFailure;
        }
        ++programmed;
        if (!batch) break;
        std::printf("radio %d programmed (%d in this batch)\n", radio, programmed);
        std::fflush(stdout);
    }
    if (batch) std::printf("batch ended: %d radio%s programmed\n", programmed, programmed == 1 ? "" : "s");
    return kExitOk;
}

}  // namespace r7::cli
