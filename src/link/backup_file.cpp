#include "backup_file.h"

#include <QDir>
#include <QFileInfo>

#include "files/dat_file.h"
#include "files/safe_file_writer.h"

namespace r7::link {

namespace {

constexpr int kMaxNameTries = 1000;

QString Candidate(const QString& base, int attempt) {
    if (attempt == 1) return base + QStringLiteral(".DAT");
    return QStringLiteral("%1-%2.DAT").arg(base).arg(attempt);
}

}  // namespace

QString BackupFileName(const QDateTime& when, int radioNumber) {
    QString name = QStringLiteral("R7-backup-") + when.toString(QStringLiteral("yyyyMMdd-HHmmss"));
    if (radioNumber > 0) name += QStringLiteral("-radio%1").arg(radioNumber);
    return name + QStringLiteral(".DAT");
}

BackupResult SaveBackup(const QString& dir, const ImageBytes& image, const QDateTime& when,
                        int radioNumber) {
    if (!QFileInfo(dir).isDir()) {
        return Unexpected(
            QStringLiteral("backup folder %1 does not exist").arg(QDir::toNativeSeparators(dir)));
    }
    const QByteArray contents = DatFileContents(image);
    QString base = BackupFileName(when, radioNumber);
    base.chop(4);  // ".DAT"
    for (int attempt = 1; attempt <= kMaxNameTries; ++attempt) {
        const QString path = QDir(dir).filePath(Candidate(base, attempt));
        const FileReadResult<NewFile> written = WriteNewFileSafely(path, contents);
        if (!written) return Unexpected(written.error());  // the caller says the backup failed
        if (*written == NewFile::Written) return path;
    }
    return Unexpected(QStringLiteral("no free backup name left for %1 in %2")
                          .arg(base, QDir::toNativeSeparators(dir)));
}

}  // namespace r7::link
