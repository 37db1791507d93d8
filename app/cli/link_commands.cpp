// read, write: the radio over a serial port, through the same transfer as the window.

#include <QCommandLineParser>
#include <QDir>

#include "batch_command.h"
#include "cli_commands.h"
#include "cli_io.h"
#include "files/dat_file.h"
#include "image/editor_defaults.h"
#include "link/read_back.h"
#include "transfer_options.h"
#include "transfer_run.h"

namespace r7::cli {

namespace {

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
    const FileResult written = WriteDatFile(OutputPath(parser.value(out)), *image);
    if (!written) {
        PrintError(written.error());
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
