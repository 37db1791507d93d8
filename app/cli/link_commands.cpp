// read, write: the radio over a serial port, through the same transfer as the window.

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
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
#include "files/dat_file.h"
#include "files/tools_settings.h"
#include "image/editor_defaults.h"
#include "image/hex_text.h"
#include "image/image_codec.h"
#include "image/radio_numbering.h"
#include "link/interrupt_guard.h"
#include "link/port_naming.h"
#include "link/radio_write.h"
#include "link/read_back.h"
#include "link/transfer_controller.h"
#include "link/write_logger.h"

namespace r7::cli {

namespace {

using link::InterruptGuard;

// The guard of a transfer from the terminal, which says what the first signal does.
struct AnnouncedGuard : InterruptGuard {
    AnnouncedGuard() {
        connect(this, &InterruptGuard::interrupted, [] {
            std::fputs(
                "\ninterrupted: ending the transfer with the radio (Ctrl-C again quits at once)\n",
                stderr);
            std::fflush(stderr);
        });
    }
};

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
    std::optional<TransferOptions> Read(const QCommandLineParser& p) {
        if (!p.isSet(port)) {
            PrintError(QStringLiteral("--port is required"));
            return std::nullopt;
        }
        TransferOptions t;
        t.device = link::ResolvePortArgument(
            p.value(port), LoadToolsOptions(DefaultToolsSettingsPath()).portDevices);
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

struct Outcome {
    bool ok = false;
    int signal = 0;  // the transfer was interrupted by this signal
    QString message;
    QString imageHex;
};

// The progress bar of a transfer as one line of a terminal's standard error, redrawn in place;
// nothing when standard error is not a terminal.
class ProgressLine {
public:
    explicit ProgressLine(link::TransferController& controller)
        : shown_(R7_ISATTY(R7_FILENO(stderr)) != 0) {
        if (!shown_) return;
        QObject::connect(&controller, &link::TransferController::progressShown,
                         [this](int, int, int v) { draw(v); });
        QObject::connect(&controller, &link::TransferController::progressValueChanged,
                         [this](int v) { draw(v); });
    }
    bool shown() const { return shown_; }
    void setVerb(const char* verb) { verb_ = verb; }
    // The transfers that follow fill the part [from, from + share) of the line, in thousandths
    // of it (a write with a backup and a read-back is one line of three transfers).
    void setPart(int from, int share) { std::tie(from_, share_) = std::tuple(from, share); }
    void draw(int value) {
        if (!shown_) return;
        const int width = 40;
        const int done = from_ + share_ * std::min(value, link::kProgressMaximum) /
                                     link::kProgressMaximum;  // thousandths
        const int filled = done * width / 1000;
        std::fprintf(stderr, "\r%s [%.*s%*s] %3d%%", verb_, filled,
                     "########################################", width - filled, "", done / 10);
        std::fflush(stderr);
        drawn_ = true;
    }
    // Ends the line when one was drawn.
    void end() {
        if (drawn_) std::fputc('\n', stderr);
        drawn_ = false;
    }
    // Something else (the interruption notice) has ended the line.
    void forget() { drawn_ = false; }

private:
    bool shown_;
    bool drawn_ = false;
    const char* verb_ = "writing";
    int from_ = 0, share_ = 1000;
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

// One radio on its own port: the controller with the image to write, the progress line, and
// the event loop a transfer runs in.
class PortSession {
public:
    PortSession(const TransferOptions& options, const EditorState& state) : state_(state) {
        controller_.setWatchdogInterval(options.watchdogMs);
        if (!controller_.link().open(options.device)) return;
        controller_.setImageSource([this] { return EncodeImage(state_); });
        port_.emplace(controller_);
    }
    bool open(Outcome& outcome) {
        if (!port_) outcome.message = controller_.link().openErrorText();
        return port_.has_value();
    }
    link::TransferController& controller() { return controller_; }
    ProgressLine& progress() { return progress_; }
    void quit() { loop_.quit(); }
    // Runs until quit(); End must reach the radio before the port closes.
    void exec() {
        loop_.exec();
        controller_.link().flush();
    }

private:
    const EditorState& state_;
    link::TransferController controller_;
    ProgressLine progress_{controller_};
    std::optional<PortForSignals> port_;
    QEventLoop loop_;
};

Outcome Finished(Outcome outcome) {
    if (!outcome.ok && outcome.message.isEmpty())
        outcome.message = QStringLiteral("the transfer failed");
    return outcome;
}

Outcome NotStarted() {
    Outcome outcome;
    outcome.message = QStringLiteral("the transfer could not start");
    return outcome;
}

// Runs one transfer to its end: success (End sent), the watchdog's outcome or an interruption.
Outcome RunTransfer(const TransferOptions& options, char command, const EditorState& state,
                    InterruptGuard& guard) {
    Outcome outcome;
    PortSession session(options, state);
    if (!session.open(outcome)) return outcome;
    link::TransferController& controller = session.controller();
    session.progress().setVerb(command == 'R' ? "reading" : "writing");
    QObject::connect(&controller, &link::TransferController::messageRequested,
                     [&](const QString& text) { outcome.message = text.trimmed(); });
    QObject::connect(&controller, &link::TransferController::readImageReady,
                     [&](const QString& hex) { outcome.imageHex = hex; });
    QObject::connect(&controller, &link::TransferController::transferSucceeded, [&] {
        outcome.ok = true;
        session.quit();
    });
    QObject::connect(&controller, &link::TransferController::transferFailed, [&] {
        outcome.message = controller.failureReason();
        session.quit();
    });
    QObject::connect(&controller, &link::TransferController::transferInterrupted, [&] {
        outcome.signal = InterruptGuard::signalNumber();
        session.quit();
    });
    QObject::connect(&guard, &InterruptGuard::interrupted, &controller,
                     &link::TransferController::interrupt);
    if (InterruptGuard::signalNumber() != 0) {
        outcome.signal = InterruptGuard::signalNumber();
        return outcome;
    }
    if ((command == 'R' ? controller.startRead() : controller.startWrite(state.ServiceUnlocked)) !=
        link::StartResult::Started)
        return NotStarted();
    session.exec();
    if (session.progress().shown() &&
        outcome.signal == 0) {  // the interruption notice has ended the line already
        if (outcome.ok) session.progress().draw(link::kProgressMaximum);
        std::fputc('\n', stderr);
    }
    return Finished(outcome);
}

const char* StageVerb(link::RadioWriteStage stage) {
    switch (stage) {
        case link::RadioWriteStage::Backup:
            return "backing up";
        case link::RadioWriteStage::Verify:
            return "verifying";
        default:
            return "writing";
    }
}

// A stage's share of the progress line, in blocks moved: 13 read, 46 or 47 written.
int StageBlocks(link::RadioWriteStage stage, const link::RadioWriteOptions& safe) {
    constexpr int kReadBlocks =
        (link::kLastReadAddress - link::kFirstBlockAddress) / link::kReadLength + 1;
    return stage == link::RadioWriteStage::Write ? link::WriteBlockCount(safe.serviceUnlocked != 0)
                                                 : kReadBlocks;
}

// The line counts the whole sequence: each stage fills its share and ends it full.
void ShowRadioWriteProgress(link::RadioWrite& sequence, link::TransferController& controller,
                            ProgressLine& progress, const link::RadioWriteOptions& safe) {
    using link::RadioWriteStage;
    std::vector<RadioWriteStage> stages{RadioWriteStage::Write};
    if (!safe.backupDir.isEmpty()) stages.insert(stages.begin(), RadioWriteStage::Backup);
    if (safe.verify) stages.push_back(RadioWriteStage::Verify);
    int total = 0;
    for (RadioWriteStage s : stages) total += StageBlocks(s, safe);
    QObject::connect(&sequence, &link::RadioWrite::stageStarted,
                     [&progress, stages, total, safe](RadioWriteStage stage) {
                         int before = 0;
                         for (std::size_t i = 0; stages[i] != stage; ++i)
                             before += StageBlocks(stages[i], safe);
                         progress.setVerb(StageVerb(stage));
                         const int after = before + StageBlocks(stage, safe);
                         progress.setPart(before * 1000 / total,
                                          after * 1000 / total - before * 1000 / total);
                     });
    QObject::connect(&controller, &link::TransferController::transferSucceeded,
                     [&progress] { progress.draw(link::kProgressMaximum); });
}

void ReportRadioWriteSteps(link::RadioWrite& sequence, ProgressLine& progress) {
    QObject::connect(&sequence, &link::RadioWrite::backupSaved, [&progress](const QString& file) {
        progress.end();
        PrintOut(QStringLiteral("backup saved as %1\n").arg(QDir::toNativeSeparators(file)));
        FlushOut();
    });
    QObject::connect(
        &sequence, &link::RadioWrite::verified, [&progress](int compared, int unverifiable) {
            progress.end();
            PrintOut(QStringLiteral(
                         "verified %1 written bytes; %2 bytes at 340-34F cannot be read back\n")
                         .arg(compared)
                         .arg(unverifiable));
            FlushOut();
        });
}

// One radio: open the port, run backup, write and read-back as asked, close the port.
Outcome RunRadioWrite(const TransferOptions& options, const EditorState& state,
                      const link::RadioWriteOptions& safe, InterruptGuard& guard,
                      const link::WriteContext& logContext) {
    Outcome outcome;
    if (InterruptGuard::signalNumber() != 0) {
        outcome.signal = InterruptGuard::signalNumber();
        outcome.message = QStringLiteral("interrupted: nothing was written");
        return outcome;
    }
    PortSession session(options, state);
    if (!session.open(outcome)) return outcome;
    link::RadioWrite sequence(session.controller());
    // The programming log: the radio's line, or a warning that leaves the outcome as it is.
    link::WriteLogger logger(session.controller(), DefaultLogPath());
    logger.follow(&sequence);
    logger.setContextSource([&logContext] { return logContext; });
    QObject::connect(&logger, &link::WriteLogger::appendFailed, [](const QString& reason) {
        PrintError(QStringLiteral("warning: this write is missing from the programming log: %1")
                       .arg(reason));
    });
    ProgressLine& progress = session.progress();
    ShowRadioWriteProgress(sequence, session.controller(), progress, safe);
    ReportRadioWriteSteps(sequence, progress);
    const auto ended = [&](bool ok, const QString& reason) {
        outcome.ok = ok;
        outcome.message = reason;
        if (sequence.interrupted()) outcome.signal = InterruptGuard::signalNumber();
        session.quit();
    };
    QObject::connect(&sequence, &link::RadioWrite::succeeded, [&] { ended(true, {}); });
    QObject::connect(&sequence, &link::RadioWrite::failed,
                     [&](const QString& reason) { ended(false, reason); });
    QObject::connect(&guard, &InterruptGuard::interrupted, &sequence, [&] {
        progress.forget();  // the interruption notice has ended the line
        sequence.interrupt();
    });
    if (!sequence.start(safe)) return NotStarted();
    if (sequence.running())
        session.exec();
    else
        session.controller().link().flush();
    progress.end();
    return Finished(outcome);
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

// "1 radio", "2 radios".
QString Radios(int count) {
    return QStringLiteral("%1 radio%2").arg(count).arg(QLatin1String(count == 1 ? "" : "s"));
}

// One data file into one radio, or into one radio after another.
struct WriteJob {
    TransferOptions options;
    EditorState state;
    link::RadioWriteOptions safe;
    bool batch = false;
    int radios = 0;          // 0: no limit
    link::WriteContext log;  // what the programming log says of each radio
    std::optional<RadioNumbering> numbering;
};

// --info-line, --number and --first: each radio of a batch numbered in an information line.
struct NumberingOptions {
    QCommandLineOption line{"info-line", "with --number: the information line, 1 or 2", "1|2"};
    QCommandLineOption pattern{
        "number", "with --repeat: number each radio in the information line, e.g. \"UNIT {n:02}\"",
        "PATTERN"};
    QCommandLineOption first{"first", "with --number: the first radio's number (default 1)", "N"};
    void AddTo(QCommandLineParser& p) { p.addOptions({line, pattern, first}); }
    // False after reporting a usage error.
    bool Read(const QCommandLineParser& p, WriteJob& job) {
        if (!p.isSet(pattern)) {
            if (!p.isSet(line) && !p.isSet(first)) return true;
            PrintError(QStringLiteral("--info-line and --first go with --number"));
            return false;
        }
        if (!job.batch || !p.isSet(line)) {
            PrintError(QStringLiteral("--number needs --repeat and --info-line 1|2"));
            return false;
        }
        bool ok = true;
        const int from = p.isSet(first) ? p.value(first).toInt(&ok) : 1;
        std::string error = "--first wants a number";
        if (ok) {
            job.numbering = ParseRadioNumbering(p.value(pattern).toStdString(),
                                                p.value(line).toInt(), from, &error);
        }
        if (!job.numbering) PrintError(QString::fromStdString(error));
        return job.numbering.has_value();
    }
};

// The write command's line read into `job`; nullopt to go on, otherwise the exit status.
std::optional<int> ReadWriteJob(const QStringList& arguments, WriteJob& job) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Write a data file into the radio.\n\n"
        "--verify reads the radio back after the write and compares every written byte the read\n"
        "returns; a read returns image offsets 000-33F only, so the written bytes at 340-34F "
        "cannot\n"
        "be read back and are reported as unverified.\n"
        "--backup DIR first reads the radio and saves it in DIR as R7-backup-YYYYMMDD-HHMMSS.DAT\n"
        "(never replacing a file); when the backup fails nothing is written.\n"
        "--repeat programs one radio after another with the same file: after each radio, connect\n"
        "the next one and press Enter; end of input (Ctrl+D) ends the batch. Nothing is sent to a\n"
        "radio before Enter. The port is opened anew for each radio; backups carry the radio\n"
        "number. --repeat-count N ends the batch by itself after N radios.\n"
        "--number PATTERN writes each radio's number into information line --info-line 1|2:\n"
        "{n} is the number, {n:0W} the number with zeros to W digits (\"UNIT {n:02}\" gives\n"
        "UNIT 07); numbers start at --first N (default 1) and go up with every radio programmed.\n"
        "A line the radio cannot hold (over 32 characters, or characters outside ISO-8859-1)\n"
        "refuses the batch before its first radio (and before a radio whose number no longer\n"
        "fits). Every write is added to the programming log ('morvane-r7-cli log').");
    parser.addPositionalArgument("FILE.DAT", "the data file to write into the radio");
    LinkOptions link;
    link.AddTo(parser);
    const QCommandLineOption service("service", "also write the transmit power calibration");
    const QCommandLineOption verify("verify", "read the radio back and compare what was written");
    const QCommandLineOption backup("backup", "save the radio's configuration in DIR first", "DIR");
    const QCommandLineOption repeat("repeat",
                                    "program one radio after another (Enter between radios)");
    const QCommandLineOption repeatCount("repeat-count", "with --repeat: stop after N radios", "N");
    parser.addOptions({service, verify, backup, repeat, repeatCount});
    NumberingOptions numbering;
    numbering.AddTo(parser);
    if (auto stop = ParseArguments(parser, arguments, 1, 1)) return stop;
    const auto options = link.Read(parser);
    if (!options) return kExitUsage;
    job.options = *options;
    if (parser.isSet(repeatCount)) {
        bool ok = false;
        job.radios = parser.value(repeatCount).toInt(&ok);
        if (!ok || job.radios < 1) {
            PrintError(QStringLiteral("--repeat-count wants a positive number"));
            return kExitUsage;
        }
    }
    job.batch = parser.isSet(repeat) || parser.isSet(repeatCount);
    if (!numbering.Read(parser, job)) return kExitUsage;
    std::optional<EditorState> loaded = ReadConfiguration(parser.positionalArguments().at(0));
    if (!loaded) return kExitInput;
    job.state = *loaded;
    job.state.ServiceUnlocked = parser.isSet(service) ? 1 : 0;
    // Refused before any radio is written.
    if (job.numbering) {
        const std::string refusal = NumberingRefusal(*job.numbering, job.state, job.radios);
        if (!refusal.empty()) {
            PrintError(QStringLiteral("nothing written: ") + QString::fromStdString(refusal));
            return kExitFailure;
        }
    }
    job.safe.verify = parser.isSet(verify);
    job.log.file = parser.positionalArguments().at(0);
    job.log.verifyAsked = job.safe.verify;
    job.safe.serviceUnlocked = job.state.ServiceUnlocked;
    if (parser.isSet(backup)) {
        job.safe.backupDir = parser.value(backup);
        if (!QDir().mkpath(job.safe.backupDir)) {
            PrintError(
                QStringLiteral("cannot create the backup folder %1").arg(job.safe.backupDir));
            return kExitFailure;
        }
    }
    return std::nullopt;
}

int WriteOneRadio(const WriteJob& job, InterruptGuard& guard) {
    const Outcome outcome = RunRadioWrite(job.options, job.state, job.safe, guard, job.log);
    if (outcome.signal != 0) {
        PrintError(outcome.message);
        return InterruptedExit(outcome.signal);
    }
    if (!outcome.ok) {
        PrintError(
            QStringLiteral("write to %1 failed: %2").arg(job.options.device, outcome.message));
        return kExitFailure;
    }
    return kExitOk;
}

int BatchEnded(int programmed) {
    PrintOut(QStringLiteral("batch ended: %1 programmed\n").arg(Radios(programmed)));
    return kExitOk;
}

// Asks for the next radio: nullopt once Enter came, otherwise the exit status of the batch.
std::optional<int> AwaitNextRadio(int radio, int programmed) {
    DiscardTypeAhead();
    PrintOut(
        QStringLiteral("connect radio %1 and press Enter (Ctrl+D ends the batch)\n").arg(radio));
    FlushOut();
    if (WaitForEnter()) return std::nullopt;
    if (const int signal = InterruptGuard::signalNumber()) {
        PrintOut(
            QStringLiteral("\ninterrupted: batch ended: %1 programmed\n").arg(Radios(programmed)));
        return InterruptedExit(signal);
    }
    return BatchEnded(programmed);
}

// Puts the next number into the configuration and says so; false (reported) when the line
// cannot hold it, before the radio is written. The number goes to the next radio programmed.
bool NumberNextRadio(WriteJob& job, int radio, int programmed) {
    if (!job.numbering) return true;
    const int number = job.numbering->first + programmed;
    if (!job.numbering->apply(job.state, number)) {
        PrintError(QStringLiteral("radio %1 not written: %2")
                       .arg(radio)
                       .arg(QString::fromStdString(job.numbering->problem(job.state, number))));
        BatchEnded(programmed);
        return false;
    }
    job.log.infoLine = QString::fromStdString(job.numbering->logText(number));
    PrintOut(QStringLiteral("radio %1 gets information line %2 \"%3\"\n")
                 .arg(radio)
                 .arg(job.numbering->line)
                 .arg(QString::fromStdString(job.numbering->text(number))));
    FlushOut();
    return true;
}

int WriteBatch(WriteJob& job, InterruptGuard& guard) {
    int programmed = 0;
    job.log.batch = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    for (int radio = 1; job.radios == 0 || programmed < job.radios; ++radio) {
        if (radio > 1) {
            if (const auto end = AwaitNextRadio(radio, programmed)) return *end;
        }
        job.safe.radioNumber = radio;
        job.log.radio = radio;
        if (!NumberNextRadio(job, radio, programmed)) return kExitFailure;
        const Outcome outcome = RunRadioWrite(job.options, job.state, job.safe, guard, job.log);
        if (outcome.signal != 0) {
            PrintError(QStringLiteral("radio %1 %2").arg(radio).arg(outcome.message));
            PrintOut(
                QStringLiteral("%1 programmed before the interruption\n").arg(Radios(programmed)));
            return InterruptedExit(outcome.signal);
        }
        if (!outcome.ok) {
            PrintError(QStringLiteral("radio %1 failed: %2").arg(radio).arg(outcome.message));
            PrintOut(QStringLiteral("%1 programmed before the failure\n").arg(Radios(programmed)));
            return kExitFailure;
        }
        ++programmed;
        PrintOut(
            QStringLiteral("radio %1 programmed (%2 in this batch)\n").arg(radio).arg(programmed));
        FlushOut();
    }
    return BatchEnded(programmed);
}

}  // namespace

int RunRead(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription("Read the radio's configuration into a data file.");
    LinkOptions link;
    link.AddTo(parser);
    const QCommandLineOption out({"o", "output"}, "the data file to write (- for standard output)",
                                 "FILE.DAT");
    parser.addOption(out);
    if (auto stop = ParseArguments(parser, arguments, 0, 0)) return *stop;
    const auto options = link.Read(parser);
    if (!options) return kExitUsage;
    if (!parser.isSet(out)) {
        PrintError(QStringLiteral("-o FILE.DAT is required"));
        return kExitUsage;
    }
    const EditorState unused = NewConfiguration();
    AnnouncedGuard guard;
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
    const DatWriteResult written = WriteDatFile(OutputPath(parser.value(out)), *image);
    if (!written.ok) {
        PrintError(written.error);
        return kExitFailure;
    }
    return kExitOk;
}

int RunWrite(const QStringList& arguments) {
    WriteJob job{{}, NewConfiguration(), {}, false, 0, {}, {}};
    if (const auto stop = ReadWriteJob(arguments, job)) return *stop;
    AnnouncedGuard guard;
    return job.batch ? WriteBatch(job, guard) : WriteOneRadio(job, guard);
}

}  // namespace r7::cli
