#pragma once

// Files the desktop way, in the "Tools" menu: "Save" to the file last opened or saved
// (Ctrl+S), "Recent files" and a ".DAT" dropped on the window.

#include <QObject>
#include <QStringList>

class QAction;
class QMenu;

namespace r7::ui {

class Form1;

class FileTools : public QObject {
    Q_OBJECT
public:
    // Adds its items to `menu`; the recent files live in `settingsPath`.
    FileTools(Form1& form, QMenu* menu, const QString& settingsPath);

    QMenu* recentMenu() const { return recent_; }

    // Opens `path` as Open does, after the question about unsaved changes.
    bool openFile(const QString& path);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void remember(const QString& path);
    void rebuildRecentMenu();

    Form1& form_;
    QString settingsPath_;
    QAction* save_;
    QMenu* recent_;
    QStringList files_;
};

}  // namespace r7::ui
