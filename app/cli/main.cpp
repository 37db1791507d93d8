#include <QCommandLineParser>
#include <QCoreApplication>
#include <csignal>
#include <cstdio>

#include "cli_commands.h"
#include "cli_io.h"
#include "files/safe_file_writer.h"

namespace r7::cli {

namespace {

const Command kCommands[] = {
    {"dump", "[--json] FILE.DAT", "show the configuration of a data file", RunDump},
    {"new", "OUT.DAT", "write a new configuration with the defaults", RunNew},
    {"encode", "STATE.json OUT.DAT", "write a data file from JSON ('-' reads stdin)", RunEncode},
    {"export-csv", "FILE.DAT [-o OUT.csv]", "write the channels as CSV", RunExportCsv},
    {"import-csv", "FILE.csv OUT.DAT [--base IN.DAT]", "replace the channels with CSV rows",
     RunImportCsv},
    {"diff", "A.DAT B.DAT", "list what differs (exit 1 when different)", RunDiff},
    {"copy-rows", "FILE.DAT [CHANNELS]", "print channels as tab-separated rows", RunCopyRows},
    {"paste-rows", "FILE.DAT ROWS --at N (-o OUT.DAT | --in-place)", "paste tab-separated rows",
     RunPasteRows},
    {"read", "--port PORT -o FILE.DAT", "read the radio into a data file", RunRead},
    {"write",
     "--port PORT FILE.DAT [--service] [--verify] [--backup DIR] [--repeat [--info-line 1|2 "
     "--number PATTERN [--first N]]]",
     "write a data file into the radio", RunWrite},
    {"sheet", "FILE.DAT -o OUT.pdf", "the channel sheet as a one-page PDF", RunSheet},
    {"ports", "", "list the serial ports and where COM1..COM8 lead", RunPorts},
    // Channel plans and the programming log.
    {"check", "FILE.DAT --plan pmr446|frs|PLAN.csv",
     "list channels that break a channel plan (exit 1 when any)", RunCheck},
    {"log", "[--since DATE] [--until DATE] [--outcome OUTCOME] [-o OUT.csv]",
     "print the programming log of writes to radios", RunLog},
};

const Command* FindCommand(const QString& name) {
    for (const Command& c : kCommands) {
        if (name == QLatin1String(c.name)) return &c;
    }
    return nullptr;
}

void PrintUsage(bool toStdout) {
    QString text =
        QStringLiteral("Usage: morvane-r7-cli COMMAND [OPTIONS] [ARGUMENTS]\n\nCommands:\n");
    for (const Command& c : kCommands)
        text += QStringLiteral("  %1 %2\n")
                    .arg(QLatin1String(c.name), -11)
                    .arg(QLatin1String(c.summary));
    text += QStringLiteral(
        "\n'morvane-r7-cli help COMMAND' or 'morvane-r7-cli COMMAND --help' tells more.\n"
        "PORT: COM1..COM8 (as chosen in the window's Tools > Serial ports...), a device path,\n"
        "or a name in /dev/serial/by-id.\n"
        "Exit status: 0 done (diff: no differences); 1 the command failed (a write or transfer\n"
        "failed, a value or row was refused, diff found differences); 2 the command line was\n"
        "wrong or an input file could not be read.\n"
        "Output that cannot be written (a full disk) ends in 'write error' and status 1.\n");
    if (toStdout)
        PrintOut(text);
    else
        std::fputs(text.toLocal8Bit().constData(), stderr);
}

int Dispatch(QStringList args) {
    if (args.size() < 2) {
        PrintUsage(false);
        return kExitUsage;
    }
    if (args[1] == "help" && args.size() > 2)
        args = QStringList{args[0], args[2], QStringLiteral("--help")};
    if (args[1] == "--help" || args[1] == "-h" || args[1] == "help") {
        PrintUsage(true);
        return kExitOk;
    }
    if (args[1] == "--version") {
        PrintOut(QStringLiteral("morvane-r7-cli %1\n").arg(QStringLiteral(R7_VERSION)));
        return kExitOk;
    }
    if (const Command* command = FindCommand(args[1])) return command->run(args.mid(1));
    PrintError(QStringLiteral("unknown command '%1'").arg(args[1]));
    PrintUsage(false);
    return kExitUsage;
}

}  // namespace

void PrintError(const QString& message) {
    std::fprintf(stderr, "morvane-r7-cli: %s\n", message.toLocal8Bit().constData());
}

std::optional<int> ParseArguments(QCommandLineParser& parser, const QStringList& arguments,
                                  int minPositional, int maxPositional) {
    // Our own help option: Qt's adds --help-all, which shows Qt's internal options.
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help."));
    parser.addOption(help);
    if (!parser.parse(arguments)) {
        PrintError(parser.errorText());
        std::fprintf(stderr, "Try 'morvane-r7-cli help %s'.\n",
                     arguments.value(0).toLocal8Bit().constData());
        return kExitUsage;
    }
    if (parser.isSet(help)) {
        // Qt's first line names the program by the path it was started from.
        const QString details = parser.helpText().section(QLatin1Char('\n'), 1);
        const Command* command = FindCommand(arguments.value(0));
        const QString synopsis = command ? QString::fromLatin1(command->synopsis) : QString();
        const QString usage =
            QStringLiteral("Usage: morvane-r7-cli %1 %2").arg(arguments.value(0), synopsis);
        PrintOut(usage.trimmed() + QLatin1Char('\n') + details);
        return kExitOk;
    }
    const auto count = parser.positionalArguments().size();
    if (count < minPositional || count > maxPositional) {
        PrintError(QStringLiteral("wrong number of arguments for '%1'").arg(arguments.value(0)));
        std::fprintf(stderr, "Try 'morvane-r7-cli help %s'.\n",
                     arguments.value(0).toLocal8Bit().constData());
        return kExitUsage;
    }
    return std::nullopt;
}

}  // namespace r7::cli

int main(int argc, char* argv[]) {
    using namespace r7::cli;
    r7::PrepareFileWritingForSignals();
#ifdef SIGPIPE
    // A reader that goes away (| head) must not end a transfer halfway; the write fails
    // instead and CloseOutput ends quietly.
    std::signal(SIGPIPE, SIG_IGN);
#endif
    const auto app = MakeApplication(argc, argv);
    QCoreApplication::setApplicationName("morvane-r7-cli");
    QCoreApplication::setApplicationVersion(QStringLiteral(R7_VERSION));
    return CloseOutput(Dispatch(QCoreApplication::arguments()));
}
