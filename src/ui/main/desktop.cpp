#include "ui/main/desktop.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>

#include "image/setting_lists.h"

namespace r7::ui {

bool OpenOnDesktop(const QUrl& url) { return QDesktopServices::openUrl(url); }

QString HelpFileName() {
    return QString::fromUtf8(kApplicationTitle.data(),
                             static_cast<qsizetype>(kApplicationTitle.size())) +
           QStringLiteral(".CHM");
}

QUrl HelpLocation(const QString& programFolder) {
    const QDir folder(programFolder);
    const QString chm = folder.filePath(HelpFileName());
    if (QFileInfo::exists(chm)) return QUrl::fromLocalFile(chm);
    // Built: beside the program; installed: bin/../share/doc/morvane-r7.
    const QString beside = folder.filePath(QLatin1String(kUserGuideName));
    const QString installed =
        folder.filePath(QStringLiteral("../share/doc/morvane-r7/") + QLatin1String(kUserGuideName));
    if (!QFileInfo::exists(beside) && QFileInfo::exists(installed))
        return QUrl::fromLocalFile(QDir::cleanPath(installed));
    return QUrl::fromLocalFile(beside);
}

}  // namespace r7::ui
