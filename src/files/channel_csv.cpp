#include "channel_csv.h"

#include <csv.h>

#include <algorithm>
#include <string_view>

#include "image/channel_export.h"

namespace r7 {

namespace {

// Far more rows than any channel table has; a longer file is refused before its rows fill
// the memory (each refused row would be listed, too).
constexpr std::size_t kMaxCsvRecords = 10000;

struct Collector {
    std::vector<CsvLine> records;
    CsvLine current;
    int line = 1;  // line being fed to the parser
};

void OnField(void* data, std::size_t size, void* context) {
    auto* c = static_cast<Collector*>(context);
    std::string field(data ? static_cast<const char*>(data) : "", data ? size : 0);
    if (c->current.fields.empty()) {
        // The parser hands a field over on the line where it ends.
        c->current.row = c->line - static_cast<int>(std::count(field.begin(), field.end(), '\n'));
    }
    c->current.fields.push_back(std::move(field));
}

void OnRecord(int, void* context) {
    auto* c = static_cast<Collector*>(context);
    bool blank = std::all_of(c->current.fields.begin(), c->current.fields.end(),
                             [](const std::string& f) { return f.empty(); });
    if (!blank) c->records.push_back(std::move(c->current));
    c->current = CsvLine{};
}

Unexpected<CsvProblem> Unreadable(CsvProblem problem) { return Unexpected(std::move(problem)); }

bool NeedsQuotes(const std::string& field) {
    return field.find_first_of(",\"\r\n") != std::string::npos ||
           (!field.empty() && (field.front() == ' ' || field.front() == '\t' ||
                               field.back() == ' ' || field.back() == '\t'));
}

}  // namespace

CsvReadResult ReadCsvRecords(const QByteArray& bytes) {
    std::string_view text(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);

    csv_parser parser;
    if (csv_init(&parser, CSV_STRICT | CSV_STRICT_FINI) != 0)
        return Unreadable({0, "", "", "out of memory"});
    Collector c;
    bool failed = false;
    // Fed one line at a time so that a fault can be placed on its line.
    while (!text.empty() && !failed && c.records.size() <= kMaxCsvRecords + 1) {
        std::size_t end = text.find('\n');
        std::size_t size = end == std::string_view::npos ? text.size() : end + 1;
        if (csv_parse(&parser, text.data(), size, OnField, OnRecord, &c) != size) failed = true;
        text.remove_prefix(size);
        if (!failed && end != std::string_view::npos) ++c.line;
    }
    if (!failed && csv_fini(&parser, OnField, OnRecord, &c) != 0) failed = true;
    csv_free(&parser);
    if (c.records.size() > kMaxCsvRecords + 1) {  // the header is no row of the table
        return Unreadable({c.records.back().row, "", "",
                           "more than " + std::to_string(kMaxCsvRecords) +
                               " rows, far more than any channel table (the radio holds 16)"});
    }
    if (failed) {
        return Unreadable({c.line, "", "",
                           "broken quoting (a quote inside an unquoted field, text after a closing "
                           "quote, or a quote never closed)"});
    }
    return std::move(c.records);
}

QByteArray WriteCsvRecords(const std::vector<std::vector<std::string>>& records) {
    QByteArray out;
    std::string quoted;
    for (const auto& record : records) {
        for (std::size_t i = 0; i < record.size(); ++i) {
            if (i > 0) out += ',';
            const std::string& field = record[i];
            if (!NeedsQuotes(field)) {
                out.append(field.data(), static_cast<qsizetype>(field.size()));
                continue;
            }
            quoted.resize(field.size() * 2 + 2);
            std::size_t n = csv_write(quoted.data(), quoted.size(), field.data(), field.size());
            out.append(quoted.data(), static_cast<qsizetype>(n));
        }
        out += "\r\n";
    }
    return out;
}

CsvImportReport ImportChannelsCsv(const QByteArray& bytes, EditorState& state, bool renumber) {
    const CsvReadResult read = ReadCsvRecords(bytes);
    if (!read) {
        CsvImportReport report;
        report.fatal = true;
        report.problems.push_back(read.error());
        return report;
    }
    return ImportCsvRecords(*read, state, renumber);
}

QByteArray ExportChannelsCsv(const EditorState& state, std::vector<std::string>* problems) {
    return WriteCsvRecords(CsvRecordsOfChannels(state, problems));
}

}  // namespace r7
