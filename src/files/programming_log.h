#pragma once

// The programming log: one CSV line for every write to a radio, from the window or the
// command line, single or batch, kept in "<per-user data folder>/Morvane-R7/programming-log.csv".
// A line is added by reading the whole log and writing it again through the one file writer,
// so an append that fails (a full disk, a read-only folder) leaves every earlier line as it
// was, and the caller reports it.

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <vector>

#include "files/file_result.h"

namespace r7 {

struct LogEntry {
    QDateTime time;
    QString port;
    QString identity;     // as the radio answered: printable characters, others as \xNN
    QString file;         // the data file's name, or "(not saved)"
    QString fingerprint;  // first 8 hex digits of the SHA-256 of the 848 bytes written
    QString batch;        // the batch's start, "" for a single write
    int radio = 0;        // the radio's number in its batch, 0 for a single write
    QString verify;       // "not asked", "N bytes match", or why it failed
    QString backup;       // the backup file, "" when none
    QString outcome;      // "written", "verified", "failed: reason", "interrupted: N of 46 blocks"
    QString infoLine;     // "line 2: UNIT 07" when the batch numbered the radio

    bool operator==(const LogEntry&) const = default;
};

// The header line's column names, in order.
const QStringList& LogColumns();
// One entry as the fields of its line.
QStringList LogFields(const LogEntry& entry);
// The file name of a write that was never saved.
QString NotSavedName();

QString DefaultLogPath();
QString ImageFingerprint(const QByteArray& image);
// "P3207\x00\x00\x00" for the 8 identity bytes.
QString IdentityText(const QByteArray& identity);

FileResult AppendLogEntry(const QString& path, const LogEntry& entry);

// A missing log is an empty one.
using LogRead = FileReadResult<std::vector<LogEntry>>;
LogRead ReadLog(const QString& path);
// The header line and the entries, as the log file holds them.
QByteArray LogCsv(const std::vector<LogEntry>& entries);

struct LogFilter {
    QDate from;  // null: no lower limit
    QDate to;    // null: no upper limit; inclusive
    QString
        outcome;  // "", "written", "verified", "failed" or "interrupted": the outcome's first word
    bool matches(const LogEntry& entry) const;
};
std::vector<LogEntry> FilterLog(const std::vector<LogEntry>& entries, const LogFilter& filter);

}  // namespace r7
