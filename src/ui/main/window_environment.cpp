#include "ui/main/window_environment.h"

#include <QCoreApplication>
#include <QDialog>
#include <QFileInfo>
#include <QMenu>

namespace r7::ui {

int ExecDialog(QDialog& dialog) { return dialog.exec(); }

void ExecMenu(QMenu* menu, const QPoint& globalPos) { menu->exec(globalPos); }

QString ApplicationFolder() { return QCoreApplication::applicationDirPath(); }

int WindowEnvironment::showMessage(const QString& prompt, unsigned flags,
                                   const QString& title) const {
    return messageBoxPresenter(MessageBoxFor(prompt, flags, title, owner));
}

bool WindowEnvironment::mayReplace(const QString& path) const {
    return !QFileInfo::exists(path) ||
           showMessage(QStringLiteral("This file has already existed, whether cover? "),
                       YesNo | IconQuestion) == kResultYes;
}

std::optional<QString> WindowEnvironment::chooseFile(FileDialogMode mode,
                                                     const QString& filter) const {
    FileDialogRequest request;
    request.mode = mode;
    request.filter = filter;
    request.owner = owner;
    return fileDialogPresenter(request);
}

}  // namespace r7::ui
