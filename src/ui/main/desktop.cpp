#include "ui/main/desktop.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>

#include "files/parameter_file.h"
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
    // A build or an unpacked copy: beside the program; installed: <prefix>/share/morvane-r7,
    // which, unlike share/doc, a system may not leave out.
    const QString beside = folder.filePath(QLatin1String(kUserGuideName));
    const QString installed = QDir::cleanPath(
        folder.filePath(QStringLiteral("../share/morvane-r7/") + QLatin1String(kUserGuideName)));
    const bool useInstalled =
        !QFileInfo::exists(beside) &&
        (QFileInfo::exists(installed) || ParameterFile::IsInstalledFolder(programFolder));
    return QUrl::fromLocalFile(useInstalled ? installed : beside);
}

}  // namespace r7::ui
