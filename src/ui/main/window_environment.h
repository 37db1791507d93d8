#pragma once

// What the main window reaches outside itself: modal dialogs, message boxes, the file dialog,
// the desktop's handler for files and pages, the grid's context menu, the clock of the
// service gestures and the program's folder. The defaults are the real desktop; scripted
// runs and tests pass their own. The Tools menu and the dialogs reach it through the window.

#include <QString>
#include <functional>
#include <optional>

#include "image/service_mode.h"
#include "ui/main/desktop.h"
#include "ui/main/file_dialog.h"
#include "ui/main/message_box.h"

class QDialog;
class QMenu;
class QPoint;
class QUrl;
class QWidget;

namespace r7::ui {

// The real desktop's parts, the defaults below.
int ExecDialog(QDialog& dialog);
void ExecMenu(QMenu* menu, const QPoint& globalPos);
QString ApplicationFolder();

struct WindowEnvironment {
    // Runs a modal dialog and returns its result.
    std::function<int(QDialog&)> dialogRunner = ExecDialog;
    std::function<int(const MessageBoxRequest&)> messageBoxPresenter = ShowQtMessageBox;
    // The chosen path, or nullopt for Cancel.
    std::function<std::optional<QString>(const FileDialogRequest&)> fileDialogPresenter =
        ShowQtFileDialog;
    std::function<bool(const QUrl&)> desktopOpener = OpenOnDesktop;
    std::function<void(QMenu*, const QPoint&)> contextMenuPresenter = ExecMenu;
    SecondsClock serviceClock = SteadySeconds;
    // Where the help command looks for its files.
    QString programFolder = ApplicationFolder();
    // The window that owns the boxes and file dialogs; the main window sets itself.
    QWidget* owner = nullptr;

    // Shows `prompt` and blocks until answered; an empty title shows "Morvane-R7".
    int showMessage(const QString& prompt, unsigned flags, const QString& title = {}) const;
    std::optional<QString> chooseFile(FileDialogMode mode,
                                      const QString& filter = DatFileFilter()) const;
    // True when `path` is free, or when it exists and the user answers Yes to replacing it.
    bool mayReplace(const QString& path) const;
};

}  // namespace r7::ui
