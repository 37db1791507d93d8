// export-csv, import-csv, diff: the channel table as CSV and the comparison of two files.

#include <QCommandLineParser>
#include <QFileInfo>
#include <cstdio>

#include "cli_commands.h"
#include "cli_io.h"
#include "files/channel_csv.h"
#include "files/safe_file_writer.h"
#include "image/config_diff.h"
#include "image/editor_defaults.h"

namespace r7::cli {

int RunExportCsv(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Writes the channels in use of a data file as CSV in the common column layout of\n"
        "multi-radio programming tools (Location,Name,Frequency,Duplex,Offset,Tone,...).");
    const QCommandLineOption output(
        {"o", "output"}, "Write to OUT.csv instead of standard output (- is standard output).",
        "OUT.csv");
    const QCommandLineOption force("force", "Replace OUT.csv even when it holds a configuration.");
    parser.addOptions({output, force});
    parser.addPositionalArgument("FILE.DAT", "The data file.");
    if (auto stop = ParseArguments(parser, arguments, 1, 1)) return *stop;

    auto state = ReadConfiguration(parser.positionalArguments().at(0));
    if (!state) return kExitInput;
    std::vector<std::string> problems;
    const QByteArray csv = ExportChannelsCsv(*state, &problems);
    for (const auto& p : problems) PrintError(QString::fromStdString("warning: " + p));
    if (!parser.isSet(output)) {
        PrintOut(std::string_view(csv.constData(), static_cast<std::size_t>(csv.size())));
        return kExitOk;
    }
    const QString target = OutputPath(parser.value(output));
    if (!MayReplaceConfiguration(target, QStringLiteral("CSV file"), parser.isSet(force)))
        return kExitFailure;
    const FileResult written = WriteFileSafely(target, csv);
    if (!written) PrintError(written.error());
    return written ? kExitOk : kExitFailure;
}

int RunImportCsv(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Replaces the channel table with the rows of a CSV file and writes a data file.\n"
        "The settings come from --base, or are the defaults of a new configuration.\n"
        "Rows the radio cannot hold (out of band, off the 5/6.25 kHz raster, unknown tones,\n"
        "bad Location, ...) are refused and listed on standard error; the good rows are\n"
        "still written and a refused row's channel keeps what the base held.\n"
        "Exit status: 0 all rows stored, 1 a row was refused or the data file could not be\n"
        "written, 2 wrong arguments or an input that cannot be read (nothing is written).");
    const QCommandLineOption base("base", "Take everything else from this data file.", "IN.DAT");
    parser.addOption(base);
    const QCommandLineOption renumber(
        "renumber",
        "Place the rows on channels 1, 2, ... in file order, whatever their Location\n"
        "(for files that number their rows from 0).");
    parser.addOption(renumber);
    parser.addPositionalArgument("FILE.csv", "The CSV file, or - for standard input.");
    parser.addPositionalArgument("OUT.DAT", "The data file to write (may be the base).");
    if (auto stop = ParseArguments(parser, arguments, 2, 2)) return *stop;

    // Read first: a slow standard input must not keep the file locked.
    auto csv = ReadInput(parser.positionalArguments().at(0));
    if (!csv) return kExitInput;
    const QString target = parser.positionalArguments().at(1);
    // Written back into its base, the file is changed like paste-rows --in-place changes it.
    const bool inPlace = parser.isSet(base) && QFileInfo(parser.value(base)) == QFileInfo(target);
    const auto lock = inPlace ? LockForChange(target) : nullptr;
    if (inPlace && !lock) return kExitFailure;
    std::optional<EditorState> state = NewConfiguration();
    if (parser.isSet(base)) state = ReadConfiguration(parser.value(base));
    if (!state) return kExitInput;

    CsvImportReport report = ImportChannelsCsv(*csv, *state, parser.isSet(renumber));
    const std::string text = report.text(kScreenfulLines);
    std::fwrite(text.data(), 1, text.size(), stderr);
    if (report.locationZero && !parser.isSet(renumber)) {
        PrintError(QStringLiteral(
            "the file numbers its rows from Location 0; --renumber places them in order"));
    }
    if (report.fatal) return kExitInput;
    if (!WriteConfiguration(target, *state)) return kExitFailure;
    return report.ok() ? kExitOk : kExitFailure;
}

int RunDiff(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Lists what differs between two data files, channel by channel and setting by\n"
        "setting; only what the radio image holds is compared.\n"
        "Exit status: 0 equal, 1 different, 2 wrong arguments or a file that cannot be read.");
    parser.addPositionalArgument("A.DAT", "The first data file.");
    parser.addPositionalArgument("B.DAT", "The second data file.");
    if (auto stop = ParseArguments(parser, arguments, 2, 2)) return *stop;

    auto a = ReadConfiguration(parser.positionalArguments().at(0));
    auto b = a ? ReadConfiguration(parser.positionalArguments().at(1)) : std::nullopt;
    if (!a || !b) return kExitInput;
    const std::vector<std::string> lines = DiffConfigurations(*a, *b);
    for (const auto& line : lines) PrintOut(line + "\n");
    return lines.empty() ? kExitOk : kExitFailure;
}

}  // namespace r7::cli
