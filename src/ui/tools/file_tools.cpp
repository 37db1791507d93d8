#include "ui/tools/file_tools.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMenu>
#include <QMimeData>

#include "files/tools_settings.h"
#include "ui/main/form1.h"
#include "ui/main/message_box.h"
#include "ui/main/unsaved_changes.h"

namespace r7::ui {

namespace {

// The one local ".DAT" file a drag carries, or nothing.
QString DroppedDat(const QMimeData* mime) {
    if (!mime || !mime->hasUrls() || mime->urls().size() != 1) return {};
    const QUrl url = mime->urls().front();
    if (!url.isLocalFile()) return {};
    const QString path = url.toLocalFile();
    return QFileInfo(path).suffix().compare(QLatin1String("DAT"), Qt::CaseInsensitive) == 0
               ? path
               : QString();
}

}  // namespace

FileTools::FileTools(Form1& form, QMenu* menu, const QString& settingsPath)
    : QObject(&form),
      form_(form),
      settingsPath_(settingsPath),
      save_(menu->addAction(tr("&Save"))),
      recent_(menu->addMenu(tr("Recent &files"))),
      files_(LoadRecentFiles(settingsPath)) {
    save_->setObjectName(QStringLiteral("toolsSave"));
    save_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    recent_->setObjectName(QStringLiteral("toolsRecent"));
    recent_->menuAction()->setObjectName(QStringLiteral("toolsRecent"));
    connect(save_, &QAction::triggered, &form, &Form1::save);
    connect(&form, &Form1::fileOpened, this, &FileTools::remember);
    connect(&form, &Form1::fileSaved, this, &FileTools::remember);
    rebuildRecentMenu();
    form.setAcceptDrops(true);
    form.installEventFilter(this);
}

bool FileTools::openFile(const QString& path) {
    // A transfer would replace the editor under the file, as Open is disabled meanwhile.
    if (form_.isTransferring() || !form_.unsavedChanges()->settle()) return false;
    return form_.openFile(path);
}

bool FileTools::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &form_ &&
        (event->type() == QEvent::DragEnter || event->type() == QEvent::Drop)) {
        auto* drop = static_cast<QDropEvent*>(event);
        const QString path = DroppedDat(drop->mimeData());
        if (path.isEmpty()) return false;
        drop->acceptProposedAction();
        // After the drag has ended: a question box must not run inside the drop.
        if (event->type() == QEvent::Drop) {
            QMetaObject::invokeMethod(
                this, [this, path] { openFile(path); }, Qt::QueuedConnection);
        }
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void FileTools::remember(const QString& path) {
    const QString full = QFileInfo(path).absoluteFilePath();
    files_.removeAll(full);
    files_.prepend(full);
    while (files_.size() > kRecentFileCount) files_.removeLast();
    rebuildRecentMenu();
    if (const FileResult saved = SaveRecentFiles(settingsPath_, files_); !saved) {
        form_.environment().showMessage(
            tr("The list of recent files cannot be remembered: %1").arg(saved.error()), IconStop);
    }
}

void FileTools::rebuildRecentMenu() {
    recent_->clear();
    for (int i = 0; i < files_.size(); ++i) {
        const QString path = files_.at(i);
        QAction* item = recent_->addAction(
            QStringLiteral("&%1 %2").arg(i + 1).arg(QDir::toNativeSeparators(path)));
        connect(item, &QAction::triggered, this, [this, path] { openFile(path); });
    }
    recent_->setEnabled(!files_.isEmpty());
}

}  // namespace r7::ui
