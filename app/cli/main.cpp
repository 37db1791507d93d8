#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>

#include "cli_commands.h"

namespace r7::cli {

namespace {

const Command kCommands[] = {
    {"dump", "dump [--json] FILE.DAT     show the configuration of a data file", RunDump},
    {"new", "new OUT.DAT                write a new configuration with the defaults", RunNew},
    {"encode", "encode STATE.json OUT.DAT  write a data file from JSON ('-' reads stdin)",
     RunEncode},
    {"export-csv", "export-csv FILE.DAT [-o OUT.csv]  write the channels as CSV", RunExportCsv},
    {"import-csv", "import-csv FILE.csv OUT.DAT [--base IN.DAT]  channels from CSV", RunImportCsv},
    {"diff", "diff A.DAT B.DAT           list what differs (exit 1 when different)", RunDiff},
    {"copy-rows", "copy-rows FILE.DAT [CHANNELS]  print channels as tab-separated rows", RunCopyRows},
    {"paste-rows", "paste-rows FILE.DAT ROWS --at N [-o OUT.DAT]  paste tab-separated rows", RunPasteRows},
    {"read", "read --port COMn|DEVICE -o FILE.DAT  read the radio into a data file", RunRead},
    {"sheet", "sheet FILE.DAT -o OUT.pdf  the channel sheet as a one-page PDF", RunSheet},
    {"write", "write --port COMn|DEVICE FILE.DAT [--service] [--verify] [--backup DIR] [--repeat]  write into the radio", RunWrite},
};

void PrintUsage(FILE* to) {
    std::fprintf(to, "usage: morvane-r7-cli COMMAND [OPTIONS]\n\ncommands:\n");
    for (const Command& c : kCommands) std::fprintf(to, "  %s\n", c.summary);
    std::fprintf(to, "\n'morvane-r7-cli COMMAND --help' tells more.\n");
}

}  // namespace

void PrintError(const QString& message) {
    std::fprintf(stderr, "morvane-r7-cli: %s\n", message.toLocal8Bit().constData());
}

std::optional<int> ParseArguments(QCommandLineParser& parser, const QStringList& arguments,
                                  int minPositional, int maxPositional) {
    const QCommandLineOption help = parser.addHelpOption();
    if (!parser.parse(arguments)) {
        PrintError(parser.errorText());
        return kExitUsage;
    }
    if (parser.isSet(help)) {
        std::fputs(parser.helpText().toLocal8Bit().constData(), stdout);
        return kExitOk;
    }
    const auto count = parser.positionalArguments().size();
    if (count < minPositional || count > maxPositional) {
        PrintError(QStringLiteral("wrong number of arguments for '%1'; see --help").arg(arguments.value(0)));
        return kExitUsage;
    }
    return std::nullopt;
}

}  // namespace r7::cli

int main(int argc, char* argv[]) {
    using namespace r7::cli;
    const auto app = MakeApplication(argc, argv);
    QCoreApplication::setApplicationName("morvane-r7-cli");
    QCoreApplication::setApplicationVersion(QStringLiteral(R7_VERSION));
    QStringList args = QCoreApplication::arguments();
    if (args.size() < 2 || args[1] == "--help" || args[1] == "-h" || args[1] == "help") {
        PrintUsage(args.size() < 2 ? stderr : stdout);
        return args.size() < 2 ? kExitUsage : kExitOk;
    }
    if (args[1] == "--version") {
        std::printf("morvane-r7-cli %s\n", R7_VERSION);
        return kExitOk;
    }
    for (const Command& c : kCommands) {
        if (args[1] == QLatin1String(c.name)) return c.run(args.mid(1));
    }
    PrintError(QStringLiteral("unknown command '%1'").arg(args[1]));
    PrintUsage(stderr);
    return kExitUsage;
}
