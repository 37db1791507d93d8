// New, Open and Save of ".DAT" configuration files.

#include <QFileInfo>

#include "files/dat_file.h"
#include "image/image_codec.h"
#include "image/setting_lists.h"
#include "ui/main/editor_document.h"
#include "ui/main/file_dialog.h"
#include "ui/main/form1.h"
#include "ui/main/message_box.h"

namespace r7::ui {

namespace {

const QString kWrongType = QStringLiteral("File type is incorrect!");
const QString kMistake = QStringLiteral("Mistake");

QString FileCaption(const QString& path) {
    return QString::fromUtf8(kApplicationTitle.data(),
                             static_cast<qsizetype>(kApplicationTitle.size())) +
           QLatin1Char('-') + path;
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
    if (replaceGuard_ && !replaceGuard_()) return;
    const std::optional<QString> chosen = environment_.chooseFile(FileDialogMode::Open);
    if (!chosen || chosen->isEmpty()) return;
    openFile(*chosen);
}

bool Form1::openFile(const QString& path) {
    const DatReadResult read = ReadDatFile(path);
    switch (read.status) {
        case DatStatus::Ok:
            if (!document_->decodeImage(read.image)) {
                environment_.showMessage(kWrongType, IconStop, kMistake);
                return false;
            }
            setWindowTitle(FileCaption(path));
            currentFile_ = path;
            emit fileOpened(path);
            return true;
        case DatStatus::WrongType:
        case DatStatus::TooShort:
            // A file too short for the whole image would decode into half a configuration.
            environment_.showMessage(kWrongType, IconStop, kMistake);
            return false;
        case DatStatus::CannotRead:
            // A name that names no file is refused like a file of the wrong type; a file
            // that exists but cannot be read ends the command quietly, editor untouched.
            if (!QFileInfo::exists(path)) environment_.showMessage(kWrongType, IconStop, kMistake);
            return false;
    }
    return false;
}

void Form1::mnuAssave_Click() {
    for (;;) {
        const std::optional<QString> chosen = environment_.chooseFile(FileDialogMode::Save);
        if (!chosen || chosen->isEmpty()) return;
        const QString path = WithDatExtension(*chosen);
        if (!environment_.mayReplace(path)) continue;  // back to the dialog
        saveFile(path);
        return;
    }
}

bool Form1::saveFile(const QString& path) {
    if (!saveTo(path)) return false;
    setWindowTitle(FileCaption(path));
    currentFile_ = path;
    emit fileSaved(path);
    return true;
}

bool Form1::saveTo(const QString& path) {
    const DatWriteResult written = WriteDatFile(path, EncodeImageBytes(document_->state()));
    if (!written.ok) {
        // The caption keeps naming the file that still holds this configuration.
        environment_.showMessage(
            written.error + QStringLiteral("\nThe configuration has not been saved."), IconStop,
            kMistake);
        return false;
    }
    return true;
}

}  // namespace r7::ui
