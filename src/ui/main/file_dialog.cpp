#include "ui/main/file_dialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

#include "image/setting_lists.h"
#include "ui/main/keyboard_focus.h"
#include "ui/main/screen_fit.h"

namespace r7::ui {

std::optional<QString> ShowQtFileDialog(const FileDialogRequest& request) {
    QFileDialog dialog(request.owner);
    dialog.setObjectName(QStringLiteral("CommonDialog1"));
    // Qt's own dialog, so the filter matches "*.dat" as well as "*.DAT" everywhere.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setNameFilter(request.filter);
    dialog.setFilter(dialog.filter() & ~QDir::CaseSensitive);
    if (request.mode == FileDialogMode::Open) {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        // A typed name that names no file comes back to Open, which refuses it in its own words.
        dialog.setFileMode(QFileDialog::AnyFile);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        // The program asks its own overwrite question.
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    }
    GuardWheel(&dialog);
    KeepOnScreen(&dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

QString DatFileFilter() {
    return QString::fromUtf8(kApplicationTitle.data(),
                             static_cast<qsizetype>(kApplicationTitle.size())) +
           QStringLiteral("(*.DAT)");
}

QString WithDatExtension(const QString& path) {
    if (path.isEmpty() || !QFileInfo(path).suffix().isEmpty()) return path;
    // "name." has an empty suffix too; do not make it "name..DAT".
    return path.endsWith(QLatin1Char('.')) ? path + QStringLiteral("DAT")
                                           : path + QStringLiteral(".DAT");
}

}  // namespace r7::ui
