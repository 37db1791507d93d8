#include "backup_file.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

#include "files/dat_file.h"

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

BackupResult SaveBackup(const QString& dir, const ImageBytes& image, const QDateTime& when, int radioNumber) {
    BackupResult result;
    const QDir folder(dir);
    if (!QFileInfo(dir).isDir()) {
        result.error = QStringLiteral("backup folder %1 does not exist").arg(QDir::toNativeSeparators(dir));
        return result;
    }
    QTemporaryFile part(folder.filePath(QStringLiteral("R7-backup-XXXXXX.part")));
    if (!part.open()) {
        result.error = QStringLiteral("cannot create a file in %1: %2").arg(QDir::toNativeSeparators(dir),
                                                                          part.errorString());
        return result;
    }
    const QByteArray contents = DatFileContents(image);
    if (part.write(contents) != contents.size() || !part.flush()) {
        result.error = QStringLiteral("cannot write the backup in %1: %2").arg(QDir::toNativeSeparators(dir),
                                                                             part.errorString());
        return result;  // the temporary file removes itself
    }
    QString base = BackupFileName(when, radioNumber);
    base.chop(4);  // ".DAT"
    for (int attempt = 1; attempt <= kMaxNameTries; ++attempt) {
        const QString path = folder.filePath(Candidate(base, attempt));
        if (QFileInfo::exists(path)) continue;
        // An ordinary data file, not the private mode temporary files get.
        part.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                            QFileDevice::ReadOther);
        // Renaming refuses an existing target, so a file that appears meanwhile is kept too.
        if (part.rename(path)) {
            part.setAutoRemove(false);
            result.ok = true;
            result.path = path;
            return result;
        }
        if (!QFileInfo::exists(path)) {
            result.error = QStringLiteral("cannot save the backup as %1: %2")
                               .arg(QDir::toNativeSeparators(path), part.errorString());
            return result;
        }
    }
    result.error = QStringLiteral("no free backup name left for %1 in %2").arg(base, QDir::toNativeSeparators(dir));
    return result;
}

}  // namespace r7::link
