#include "files/programming_log.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "files/channel_csv.h"
#include "files/plan_files.h"
#include "files/safe_file_writer.h"

namespace r7 {

namespace {

const QString kTimeFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");

std::vector<std::string> Fields(const LogEntry& e) {
    std::vector<std::string> out;
    for (const QString& f : LogFields(e)) out.push_back(f.toStdString());
    return out;
}

LogEntry EntryOf(const std::vector<std::string>& f) {
    auto at = [&f](std::size_t i) {
        return i < f.size() ? QString::fromStdString(f[i]) : QString();
    };
    LogEntry e;
    e.time = QDateTime::fromString(at(0), kTimeFormat);
    e.port = at(1);
    e.identity = at(2);
    e.file = at(3);
    e.fingerprint = at(4);
    e.batch = at(5);
    e.radio = at(6).toInt();
    e.verify = at(7);
    e.backup = at(8);
    e.outcome = at(9);
    e.infoLine = at(10);
    return e;
}

std::vector<std::string> Header() {
    std::vector<std::string> header;
    for (const QString& name : LogColumns()) header.push_back(name.toStdString());
    return header;
}

}  // namespace

const QStringList& LogColumns() {
    static const QStringList columns = {
        QStringLiteral("Date and time"),   QStringLiteral("Port"),
        QStringLiteral("Radio identity"),  QStringLiteral("File"),
        QStringLiteral("Fingerprint"),     QStringLiteral("Batch"),
        QStringLiteral("Radio"),           QStringLiteral("Verify"),
        QStringLiteral("Backup"),          QStringLiteral("Outcome"),
        QStringLiteral("Information line")};
    return columns;
}

QStringList LogFields(const LogEntry& e) {
    return {e.time.toString(kTimeFormat),
            e.port,
            e.identity,
            e.file,
            e.fingerprint,
            e.batch,
            e.radio > 0 ? QString::number(e.radio) : QString(),
            e.verify,
            e.backup,
            e.outcome,
            e.infoLine};
}

QString NotSavedName() { return QStringLiteral("(not saved)"); }

QString DefaultLogPath() { return UserDataFolder() + QStringLiteral("/programming-log.csv"); }

QString ImageFingerprint(const QByteArray& image) {
    return QString::fromLatin1(
        QCryptographicHash::hash(image, QCryptographicHash::Sha256).toHex().left(8).toUpper());
}

QString IdentityText(const QByteArray& identity) {
    QString text;
    for (const char c : identity) {
        const auto b = static_cast<unsigned char>(c);
        text += b >= 0x20 && b < 0x7F && b != '\\'
                    ? QString(QLatin1Char(c))
                    : QStringLiteral("\\x") +
                          QString::number(b, 16).rightJustified(2, QLatin1Char('0')).toUpper();
    }
    return text;
}

FileResult AppendLogEntry(const QString& path, const LogEntry& entry) {
    QByteArray log;
    QFile file(path);
    if (file.exists()) {
        // An unreadable log is never replaced by a shorter one.
        if (!file.open(QIODevice::ReadOnly))
            return Unexpected(QStringLiteral("cannot read the programming log %1: %2")
                                  .arg(path, file.errorString()));
        log = file.readAll();
        if (file.error() != QFileDevice::NoError)
            return Unexpected(QStringLiteral("cannot read the programming log %1: %2")
                                  .arg(path, file.errorString()));
        file.close();
    }
    if (log.trimmed().isEmpty()) {
        log = WriteCsvRecords({Header()});
    } else if (!log.endsWith('\n')) {
        log += "\r\n";
    }
    log += WriteCsvRecords({Fields(entry)});
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return Unexpected(
            QStringLiteral("cannot create the folder of the programming log %1").arg(path));
    return WriteFileSafely(path, log);
}

LogRead ReadLog(const QString& path) {
    QFile file(path);
    if (!file.exists()) return std::vector<LogEntry>{};
    if (!file.open(QIODevice::ReadOnly))
        return Unexpected(QStringLiteral("cannot read %1: %2").arg(path, file.errorString()));
    const CsvReadResult records = ReadCsvRecords(file.readAll());
    if (!records) {
        return Unexpected(
            QStringLiteral("%1: %2").arg(path, QString::fromStdString(records.error().text())));
    }
    std::vector<LogEntry> entries;
    for (std::size_t i = 1; i < records->size(); ++i)
        entries.push_back(EntryOf((*records)[i].fields));
    return entries;
}

QByteArray LogCsv(const std::vector<LogEntry>& entries) {
    std::vector<std::vector<std::string>> records{Header()};
    for (const LogEntry& e : entries) records.push_back(Fields(e));
    return WriteCsvRecords(records);
}

bool LogFilter::matches(const LogEntry& entry) const {
    const QDate day = entry.time.date();
    if (from.isValid() && day < from) return false;
    if (to.isValid() && day > to) return false;
    return outcome.isEmpty() || entry.outcome.section(QLatin1Char(':'), 0, 0) == outcome;
}

std::vector<LogEntry> FilterLog(const std::vector<LogEntry>& entries, const LogFilter& filter) {
    std::vector<LogEntry> out;
    for (const LogEntry& e : entries) {
        if (filter.matches(e)) out.push_back(e);
    }
    return out;
}

}  // namespace r7
