// dump, new, encode: the data-file commands.

#include <QCommandLineParser>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <cstdio>

#include "cli_commands.h"
#include "cli_io.h"
#include "files/dat_file.h"
#include "files/state_json.h"
#include "image/dialog_lists.h"
#include "image/editor_defaults.h"
#include "image/image_codec.h"
#include "image/setting_lists.h"

namespace r7::cli {

namespace {

void Print(const std::string& s) { PrintOut(s); }

std::string Padded(const std::string& text, std::size_t width) {
    std::size_t chars = CharacterCount(text);
    return text + std::string(chars < width ? width - chars : 1, ' ');
}

// The window's Chinese caption of Combo4 would not line up in a terminal column.
std::string ComboLabel(int n) { return n == 4 ? "Time-out pre-alert" : std::string(ComboName(n)); }

std::string ComboText(const EditorState& s, int n) {
    const auto& entries = ComboEntries(n);
    int pos = s.combo(n);
    return pos >= 0 && pos < static_cast<int>(entries.size()) ? entries[pos] : "?";
}

// A text column is as wide as its longest entry (header included), two spaces apart.
void PrintChannels(const EditorState& s) {
    std::vector<std::vector<std::string>> rows{ChannelHeaders()};
    for (int ch = 1; ch <= kChannelCount; ++ch) {
        std::vector<std::string> row;
        for (int col = 0; col < kColumnCount; ++col) {
            const std::string& text = s.cell(ch, col);
            row.push_back(text.empty() && col > 0 ? "-" : text);
        }
        rows.push_back(row);
    }
    std::vector<std::size_t> widths(kColumnCount, 0);
    for (const auto& row : rows) {
        for (std::size_t col = 0; col < row.size(); ++col)
            widths[col] = std::max(widths[col], CharacterCount(row[col]));
    }
    for (const auto& row : rows) {
        std::string line;
        for (std::size_t col = 0; col + 1 < row.size(); ++col)
            line += Padded(row[col], widths[col] + 2);
        Print(line + row.back() + "\n");
    }
}

// A VOX list shows its item, as the Optional dialog does; a value outside the list as it is.
std::string OptionText(const EditorState& s, const OptionalList& list) {
    const std::string& stored = s.option(list.position);
    const int index = ListIndexOf(list.form, list.items, stored);
    return index >= 0 ? list.items[static_cast<std::size_t>(index)] : stored + " (not in the list)";
}

void PrintTable(const EditorState& s) {
    PrintChannels(s);
    Print("\n");
    for (int n : kSettingCombos) Print(Padded(ComboLabel(n) + ":", 20) + ComboText(s, n) + "\n");
    for (const OptionalList& list : OptionalLists()) {
        if (list.visible)
            Print(Padded(std::string(list.label) + ":", 20) + OptionText(s, list) + "\n");
    }
    Print(Padded("Cancel operation:", 20) + (CheckedOf(s.option(23)) ? "On" : "Off") + "\n");
    Print(Padded("Prohibit VOX in rx:", 20) + (CheckedOf(s.option(24)) ? "On" : "Off") + "\n");
    Print(Padded("Power High / Low:", 20) + std::to_string(s.PowerHigh) + " / " +
          std::to_string(s.PowerLow) + "\n");
    for (int line2 = 0; line2 < kInfoLineCount; ++line2) {
        Print(Padded("Information " + std::to_string(line2 + 1) + ":", 20) + "\"" +
              s.InfoTexts[line2] + "\"\n");
    }
    bool anyTest = false;
    for (int row = 1; row <= kTestFrequencyRows; ++row) {
        if (s.testFrequency(row, 1).empty() && s.testFrequency(row, 2).empty()) continue;
        if (!anyTest) Print("Test frequencies:\n");
        anyTest = true;
        Print("  " + ChannelNumberText(row) + "  " + Padded(s.testFrequency(row, 1), 11) +
              s.testFrequency(row, 2) + "\n");
    }
}

// What the input of encode is instead of the JSON object that 'dump --json' prints.
QString NotAnObject(const QString& name, const QByteArray& input, const QJsonDocument& doc,
                    const QJsonParseError& error) {
    QString what;
    if (input.trimmed().isEmpty())
        what = QStringLiteral("it is empty");
    else if (doc.isArray())
        what = QStringLiteral("it holds a JSON array");
    else if (error.error != QJsonParseError::NoError)
        what = QStringLiteral("it is not JSON (%1 at byte %2)")
                   .arg(error.errorString())
                   .arg(error.offset);
    else
        what = QStringLiteral("it holds a single JSON value");
    return QStringLiteral("%1 is not a JSON object such as 'dump --json' prints: %2")
        .arg(name, what);
}

}  // namespace

int RunDump(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription("Shows the configuration held in a data file.");
    const QCommandLineOption json("json", "Print the editor state as JSON.");
    parser.addOption(json);
    parser.addPositionalArgument("FILE.DAT", "The data file.");
    if (auto stop = ParseArguments(parser, arguments, 1, 1)) return *stop;

    const std::optional<EditorState> state = ReadConfiguration(parser.positionalArguments().at(0));
    if (!state) return kExitInput;
    if (parser.isSet(json)) {
        Print(QJsonDocument(StateToJson(*state)).toJson(QJsonDocument::Indented).toStdString());
    } else {
        PrintTable(*state);
    }
    return kExitOk;
}

int RunNew(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Writes a new configuration: 16 empty channels and the defaults.");
    parser.addPositionalArgument("OUT.DAT", "The data file to write.");
    if (auto stop = ParseArguments(parser, arguments, 1, 1)) return *stop;
    return WriteConfiguration(parser.positionalArguments().at(0), NewConfiguration())
               ? kExitOk
               : kExitFailure;
}

int RunEncode(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Writes a data file from the JSON that 'dump --json' prints; missing keys take the "
        "defaults.");
    parser.addPositionalArgument("STATE.json", "The JSON file, or - for standard input.");
    parser.addPositionalArgument("OUT.DAT", "The data file to write.");
    if (auto stop = ParseArguments(parser, arguments, 2, 2)) return *stop;

    const QString source = parser.positionalArguments().at(0);
    const std::optional<QByteArray> input = ReadInput(source);
    if (!input) return kExitInput;
    QJsonParseError parseError;
    QJsonDocument doc = QJsonDocument::fromJson(*input, &parseError);
    if (!doc.isObject()) {
        PrintError(NotAnObject(source == "-" ? QStringLiteral("standard input") : source, *input,
                               doc, parseError));
        return kExitInput;
    }
    const StateJsonResult read = StateFromJson(doc.object(), NewConfiguration());
    if (!read) {
        PrintProblems(read.error().split(QLatin1Char('\n')));
        return kExitFailure;
    }
    return WriteConfiguration(parser.positionalArguments().at(1), *read) ? kExitOk : kExitFailure;
}

}  // namespace r7::cli
