// copy-rows, paste-rows: channel rows as the tab-separated text the window's clipboard holds.

#include <QCommandLineParser>
#include <cstdio>

#include "cli_commands.h"
#include "cli_io.h"
#include "files/dat_file.h"
#include "image/channel_clipboard.h"
#include "image/editor_defaults.h"
#include "image/image_codec.h"

namespace r7::cli {

namespace {

// "1-3,7" -> 1 2 3 7; nothing when a part is not a channel or a range of channels.
std::optional<std::vector<int>> ParseChannels(const QString& text) {
    std::vector<int> channels;
    for (const QString& part : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QStringList ends = part.split(QLatin1Char('-'));
        bool okFirst = false, okLast = false;
        const int first = ends.value(0).trimmed().toInt(&okFirst);
        const int last = ends.size() == 2 ? ends[1].trimmed().toInt(&okLast) : first;
        if (!okFirst || (ends.size() == 2 && !okLast) || ends.size() > 2 || first < 1 ||
            last > kChannelCount || first > last) {
            return std::nullopt;
        }
        for (int ch = first; ch <= last; ++ch) channels.push_back(ch);
    }
    if (channels.empty()) return std::nullopt;
    return channels;
}

}  // namespace

int RunCopyRows(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Prints channels of a data file as tab-separated rows (Receive, QT/DQT Dec, Transmit,\n"
        "QT/DQT Enc, Power, Busy Lock, Band, Scan; no header, CRLF), the text the window copies\n"
        "to the clipboard and a spreadsheet pastes.");
    parser.addPositionalArgument("FILE.DAT", "The data file.");
    parser.addPositionalArgument("CHANNELS", "Channels such as 1-3,7; all 16 when left out.");
    if (auto stop = ParseArguments(parser, arguments, 1, 2)) return *stop;

    const QStringList args = parser.positionalArguments();
    const auto channels = ParseChannels(args.value(1, QStringLiteral("1-16")));
    if (!channels) {
        PrintError(QStringLiteral("'%1' names no channels 1 to 16").arg(args.value(1)));
        return kExitUsage;
    }
    const auto state = ReadConfiguration(args.at(0));
    if (!state) return kExitInput;
    const std::string text = ChannelRowsText(*state, *channels);
    PrintOut(text);
    return kExitOk;
}

int RunPasteRows(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Pastes tab-separated channel rows into a data file, one channel per line from --at on\n"
        "(8 fields Receive..Scan, or 9 with the channel number first). Every field is checked as\n"
        "if typed into the window: frequencies in the band, moved down onto the 5/6.25 kHz\n"
        "raster, the other columns from their lists. When any field fails, every failure is\n"
        "listed on standard error and nothing is written. FILE.DAT itself changes only with\n"
        "--in-place.\n"
        "Exit status: 0 pasted, 1 refused or the data file could not be written, 2 wrong\n"
        "arguments or an input that cannot be read.");
    const QCommandLineOption at("at", "The first channel to paste into (1 to 16).", "N");
    const QCommandLineOption output(
        {"o", "output"}, "Write the result to OUT.DAT (- for standard output).", "OUT.DAT");
    const QCommandLineOption inPlace("in-place", "Write the result back into FILE.DAT.");
    parser.addOptions({at, output, inPlace});
    parser.addPositionalArgument("FILE.DAT", "The data file.");
    parser.addPositionalArgument("ROWS", "The rows, or - for standard input.");
    if (auto stop = ParseArguments(parser, arguments, 2, 2)) return *stop;

    bool numberOk = false;
    const int first = parser.value(at).toInt(&numberOk);
    if (!parser.isSet(at) || !numberOk || first < 1 || first > kChannelCount) {
        PrintError(QStringLiteral("--at needs a channel 1 to 16"));
        return kExitUsage;
    }
    // A paste changes the input only when asked to, never as a surprise.
    if (parser.isSet(output) == parser.isSet(inPlace)) {
        PrintError(QStringLiteral("paste-rows needs either -o OUT.DAT or --in-place"));
        return kExitUsage;
    }
    const QStringList args = parser.positionalArguments();
    // Read first: a slow standard input must not keep the file locked.
    const std::optional<QByteArray> rows = ReadInput(args.at(1));
    if (!rows) return kExitInput;
    // Another run changing the file meanwhile would lose this paste or have its own lost.
    const auto lock = parser.isSet(inPlace) ? LockForChange(args.at(0)) : nullptr;
    if (parser.isSet(inPlace) && !lock) return kExitFailure;
    auto state = ReadConfiguration(args.at(0));
    if (!state) return kExitInput;
    const std::string_view text(rows->constData(), static_cast<std::size_t>(rows->size()));
    const PasteResult result = PasteChannelRows(*state, {first}, text, BandLimitsOf(*state));
    if (!result.ok()) {
        const std::string text =
            DescribePasteProblems(result.problems, kScreenfulLines) + "nothing pasted\n";
        std::fwrite(text.data(), 1, text.size(), stderr);
        return kExitFailure;
    }
    const QString target = parser.isSet(output) ? OutputPath(parser.value(output)) : args.at(0);
    return WriteConfiguration(target, *state) ? kExitOk : kExitFailure;
}

}  // namespace r7::cli
