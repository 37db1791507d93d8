// log: the programming log, every write to a radio, as CSV.

#include <QCommandLineParser>
#include <QDate>

#include "cli_commands.h"
#include "cli_io.h"
#include "files/programming_log.h"
#include "files/safe_file_writer.h"

namespace r7::cli {

namespace {

std::optional<QDate> DateOption(const QCommandLineParser& parser, const QCommandLineOption& o) {
    if (!parser.isSet(o)) return QDate();
    const QDate date = QDate::fromString(parser.value(o), Qt::ISODate);
    if (!date.isValid()) {
        PrintError(QStringLiteral("--%1 wants a date such as 2026-12-07").arg(o.names().first()));
        return std::nullopt;
    }
    return date;
}

}  // namespace

int RunLog(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Print the programming log as CSV: one line for every write to a radio, from the window\n"
        "or the command line. Columns: " +
        LogColumns().join(QStringLiteral(", ")) +
        ".\nOutcomes: written, verified, failed: REASON, interrupted: N of 46 blocks.\n"
        "The log is " +
        DefaultLogPath() + ".");
    const QCommandLineOption since("since", "only writes on or after DATE (YYYY-MM-DD)", "DATE");
    const QCommandLineOption until("until", "only writes on or before DATE (YYYY-MM-DD)", "DATE");
    const QCommandLineOption outcome(
        "outcome", "only writes with this outcome: written, verified, failed or interrupted",
        "OUTCOME");
    const QCommandLineOption out({"o", "output"}, "write the lines to FILE instead", "FILE");
    parser.addOptions({since, until, outcome, out});
    if (auto stop = ParseArguments(parser, arguments, 0, 0)) return *stop;
    LogFilter filter;
    const auto from = DateOption(parser, since);
    const auto to = DateOption(parser, until);
    if (!from || !to) return kExitUsage;
    filter.from = *from;
    filter.to = *to;
    filter.outcome = parser.value(outcome);
    const QStringList outcomes = {"written", "verified", "failed", "interrupted"};
    if (!filter.outcome.isEmpty() && !outcomes.contains(filter.outcome)) {
        PrintError(QStringLiteral("--outcome wants written, verified, failed or interrupted"));
        return kExitUsage;
    }
    const LogRead read = ReadLog(DefaultLogPath());
    if (!read) {
        PrintError(read.error());
        return kExitInput;
    }
    const QByteArray csv = LogCsv(FilterLog(*read, filter));
    if (parser.isSet(out)) {
        const FileResult written = WriteFileSafely(OutputPath(parser.value(out)), csv);
        if (!written) PrintError(written.error());
        return written ? kExitOk : kExitFailure;
    }
    PrintOut(std::string_view(csv.constData(), static_cast<std::size_t>(csv.size())));
    return kExitOk;
}

}  // namespace r7::cli
