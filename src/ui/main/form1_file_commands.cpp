// New, Open and Save of ".DAT" configuration files.

#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QTimer>

#include "files/dat_file.h"
#include "files/file_lock.h"
#include "files/safe_file_writer.h"
#include "image/image_codec.h"
#include "image/setting_lists.h"
#include "ui/main/editor_document.h"
#include "ui/main/file_dialog.h"
#include "ui/main/form1.h"
#include "ui/main/message_box.h"
#include "ui/main/unsaved_changes.h"

namespace r7::ui {

namespace {

const QString kWrongType = QStringLiteral("File type is incorrect!");
const QString kMistake = QStringLiteral("Mistake");

QString FileCaption(const QString& path) {
    return QString::fromUtf8(kApplicationTitle.data(),
                             static_cast<qsizetype>(kApplicationTitle.size())) +
           QLatin1Char('-') + path;
}

QString ChangedOnDisk(const QString& path) {
    return QStringLiteral(
               "%1 has been changed by another program since it was opened or saved "
               "here.")
        .arg(QDir::toNativeSeparators(path));
}

}  // namespace

void Form1::mnuNew_Click() {
    if (environment_.showMessage(QStringLiteral("The data of the all channel will be removed! "),
                                 OkCancel | IconExclamation | DefaultButton2,
                                 QStringLiteral("Warn")) == kResultCancel) {
        return;
    }
    document_->clearChannels();
    ResetEditor();
}

void Form1::mnuOpen_Click() {
    if (!unsaved_->settle()) return;
    const std::optional<QString> chosen = environment_.chooseFile(FileDialogMode::Open);
    if (!chosen || chosen->isEmpty()) return;
    openFile(*chosen);
}

bool Form1::openFile(const QString& path) {
    const DatReadResult read = ReadDatFile(path);
    if (!read || !document_->decodeImage(*read)) {
        showUnusableFile(path, read, false);
        return false;
    }
    setWindowTitle(FileCaption(path));
    currentFile_ = path;
    onDisk_ = FingerprintOfFile(path);
    noticed_ = {};
    emit fileOpened(path);
    return true;
}

void Form1::showUnusableFile(const QString& path, const DatReadResult& read, bool sayReadError) {
    // A file too short for the whole image would decode into half a configuration, and a name
    // that names no file is refused like a file of the wrong type.
    const bool unreadable =
        !read && read.error().status == DatStatus::CannotRead && QFileInfo::exists(path);
    if (unreadable && !sayReadError) return;
    environment_.showMessage(unreadable ? read.error().text : kWrongType, IconStop, kMistake);
}

void Form1::mnuAssave_Click() { saveAs(); }

bool Form1::saveAs() {
    for (;;) {
        const std::optional<QString> chosen = environment_.chooseFile(FileDialogMode::Save);
        if (!chosen || chosen->isEmpty()) return false;
        const QString path = WithDatExtension(*chosen);
        if (!environment_.mayReplace(path)) continue;  // back to the dialog
        return saveFile(path);
    }
}

bool Form1::save() { return currentFile_.isEmpty() ? saveAs() : saveFile(currentFile_); }

bool Form1::saveFile(const QString& path) {
    if (!saveTo(path)) return false;
    setWindowTitle(FileCaption(path));
    currentFile_ = path;
    emit fileSaved(path);
    return true;
}

bool Form1::saveTo(const QString& path) {
    const QByteArray contents = DatFileContents(EncodeImageBytes(document_->state()));
    if (!mayOverwriteChanges(path)) return false;
    // A command line run changing the file meanwhile finishes first; this save comes after.
    FileLock lock(path);
    FileResult written = lock.acquire();
    if (written) written = WriteFileSafely(path, contents);
    if (!written) {
        // The caption keeps naming the file that still holds this configuration.
        environment_.showMessage(
            written.error() + QStringLiteral("\nThe configuration has not been saved."), IconStop,
            kMistake);
        return false;
    }
    onDisk_ = FingerprintOf(contents);
    noticed_ = {};
    return true;
}

bool Form1::mayOverwriteChanges(const QString& path) {
    if (path != currentFile_) return true;
    const FileFingerprint now = FingerprintOfFile(path);
    if (!now.exists || now == onDisk_) return true;
    return environment_.showMessage(
               ChangedOnDisk(path) + QStringLiteral("\n\nOK: save over it, and those "
                                                    "changes are lost\nCancel: keep the "
                                                    "file as it is"),
               OkCancel | IconExclamation | DefaultButton2) == kResultOk;
}

void Form1::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::ActivationChange || !isActiveWindow() || currentFile_.isEmpty())
        return;
    // After the activation: a box must not open inside it.
    QTimer::singleShot(0, this, [this] {
        const FileFingerprint now = FingerprintOfFile(currentFile_);
        if (now == onDisk_ || now == noticed_) return;
        noticed_ = now;  // said once for this change
        environment_.showMessage(ChangedOnDisk(currentFile_), IconExclamation);
    });
}

}  // namespace r7::ui
