// The radio link in the window, the dialogs of "Programme(&P)", the lock, the service
// re-lock button, help and about.

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QProgressBar>
#include <QToolBar>
#include <utility>
#include <vector>

#include "image/hex_text.h"
#include "image/image_codec.h"
#include "link/port_naming.h"
#include "link/port_selection.h"
#include "link/radio_write.h"
#include "link/serial_link.h"
#include "link/transfer_controller.h"
#include "ui/dialogs/about_dialog.h"
#include "ui/dialogs/debug_dialog.h"
#include "ui/dialogs/info_dialog.h"
#include "ui/dialogs/key_set_dialog.h"
#include "ui/dialogs/optional_dialog.h"
#include "ui/dialogs/test_frequency_dialog.h"
#include "ui/main/channel_grid.h"
#include "ui/main/desktop.h"
#include "ui/main/editor_document.h"
#include "ui/main/form1.h"
#include "ui/main/keyboard_focus.h"
#include "ui/main/message_box.h"
#include "ui/main/screen_fit.h"
#include "ui/main/unsaved_changes.h"

namespace r7::ui {

void Form1::buildLink() {
    transfer_ = new link::TransferController(this);
    ports_ = new link::PortSelection(transfer_->link(), this);
    ports_->setDevices(hooks_.portDevices);
    radioWrite_ = new link::RadioWrite(*transfer_, this);
    transfer_->setImageSource([this] { return EncodeImage(document_->state()); });

    using link::TransferController;
    connect(transfer_, &TransferController::busy, this, &Form1::showTransferBusy);
    connect(transfer_, &TransferController::ready, this, &Form1::showTransferReady);
    connect(transfer_, &TransferController::progressShown, this,
            [this](int minimum, int maximum, int value) {
                ProgressBar1_->setRange(minimum, maximum);
                ProgressBar1_->setValue(value);
                ProgressBar1_->show();
            });
    connect(transfer_, &TransferController::progressValueChanged, ProgressBar1_,
            &QProgressBar::setValue);
    connect(transfer_, &TransferController::progressHidden, ProgressBar1_, &QProgressBar::hide);
    connect(transfer_, &TransferController::statusCaptionChanged, Label_, &QLabel::setText);
    connect(transfer_, &TransferController::statusVisibleChanged, Label_, &QLabel::setVisible);
    const auto showMessage = [this](const QString& text, link::MessageKind kind) {
        environment_.showMessage(text,
                                 kind == link::MessageKind::Failure ? IconStop : IconInformation);
    };
    connect(transfer_, &TransferController::messageRequested, this, showMessage);
    connect(transfer_, &TransferController::readImageReady, this, &Form1::readImageArrived);
    connect(radioWrite_, &link::RadioWrite::succeeded, this, [this] { reportWrite(true, {}); });
    connect(radioWrite_, &link::RadioWrite::failed, this,
            [this](const QString& reason) { reportWrite(false, reason); });

    connect(ports_, &link::PortSelection::checkMarksChanged, this, &Form1::refreshPortMenu);
    connect(ports_, &link::PortSelection::messageRequested, this, showMessage);
    menus_.mnucom->setToolTipsVisible(true);
    connect(menus_.mnucom, &QMenu::aboutToShow, this, &Form1::refreshPortMenu);
    refreshPortMenu();

    // F1 reaches the help command although its menu is hidden: the item also belongs to
    // the window, whose shortcuts stay live.
    addAction(menus_.mnumainhelp);
}

// What a transfer means for the controls, in this order: the tool bar, the programme menu
// and the command's own button go off, then Frame1 comes on.
void Form1::showTransferBusy(link::Command command) {
    Toolbar1_->setEnabled(false);
    setTransferring(true);
    setProgrammeMenuEnabled(false);
    (command == link::Command::Read ? menus_.mnureadFre : menus_.mnuwriteFre)->setEnabled(false);
    Frame1_->setEnabled(true);
    // The transfer starts from the control the user is in, and the keys go on reaching it
    // (the grid's arrows and typing above all); only a focus outside the window moves to
    // the band list.
    const QWidget* focus = QApplication::focusWidget();
    if (!focus || focus->window() != this || focus == menuBar()) combo(BandCombo)->setFocus();
}

void Form1::showTransferReady() {
    Toolbar1_->setEnabled(true);
    setTransferring(false);
    setProgrammeMenuEnabled(true);
    // The tool bar buttons share these actions.
    menus_.mnureadFre->setEnabled(true);
    menus_.mnuwriteFre->setEnabled(true);
}

void Form1::setProgrammeMenuEnabled(bool enabled) {
    // The items too: their shortcuts (Ctrl+R, Ctrl+W) must not slip past a disabled menu.
    menus_.mnupro->menuAction()->setEnabled(enabled);
    for (QAction* item : menus_.mnupro->actions()) item->setEnabled(enabled);
}

void Form1::refreshPortMenu() {
    const link::SerialLink& serial = transfer_->link();
    for (int n = 1; n <= link::kPortCount; ++n) {
        QAction* item = menus_.mnucomPorts[static_cast<std::size_t>(n - 1)];
        item->setChecked(ports_->isChecked(n));
        QString tip = ports_->device(n);
        // Only the port tried last can tell why it failed: busy and forbidden want different cures.
        const link::PortProblem problem = serial.openProblem();
        if (!serial.isOpen() && serial.device() == tip &&
            (problem == link::PortProblem::Busy || problem == link::PortProblem::Permission))
            tip += QStringLiteral(": ") + link::PortProblemText(problem, tip, {});
        item->setToolTip(tip);
        item->setStatusTip(tip);
    }
}

void Form1::mnucom_Click(int port) {
    if (!transferring_) ports_->choosePort(port);
    refreshPortMenu();  // the item's own toggle must not outlive a failed open
}

void Form1::mnureadFre_Click() {
    // Without an open port the read ends at once and replaces nothing: no question.
    if (transfer_->link().isOpen() && !unsaved_->settle()) return;
    transfer_->startRead();
}

void Form1::mnuwriteFre_Click() {
    if (radioWrite_->running()) return;  // between the steps of a write
    link::RadioWriteOptions options;
    options.verify = writeOptions_.verify;
    options.backupDir = writeOptions_.backupFolder;
    options.serviceUnlocked = document_->state().ServiceUnlocked;
    if (!options.backupDir.isEmpty() && !QDir().mkpath(options.backupDir)) {
        environment_.showMessage(
            tr("Cannot create the backup folder %1; nothing was written.").arg(options.backupDir),
            IconStop);
        return;
    }
    // A port that is not open fails at once, inside start(): the report must know it first.
    reportsWrite_ = options.verify || !options.backupDir.isEmpty();
    // Refused only while another transfer runs, which the command ignores.
    if (!radioWrite_->start(options)) reportsWrite_ = false;
}

void Form1::readImageArrived(const QString& imageHex) {
    // The backup and the read-back are reads of the write: they must not replace the editor.
    if (radioWrite_->running()) return;
    if (const auto bytes = FromHexText(imageHex.toStdString())) document_->decodeImage(*bytes);
}

void Form1::reportWrite(bool ok, const QString& reason) {
    // Without an option the write is the transfer alone, which has said everything.
    if (!std::exchange(reportsWrite_, false)) return;
    if (!ok && radioWrite_->interrupted()) return;  // the window is closing
    if (!ok) {
        QString text = reason;
        if (!text.isEmpty()) text[0] = text[0].toUpper();
        environment_.showMessage(text + QLatin1Char('.'), IconStop);
        return;
    }
    QStringList lines;
    if (!radioWrite_->backupPath().isEmpty()) {
        lines << tr("The radio's previous configuration is saved in %1.")
                     .arg(QDir::toNativeSeparators(radioWrite_->backupPath()));
    }
    if (writeOptions_.verify) {
        const auto& comparison = radioWrite_->comparison();
        lines << tr("The radio has been read back: %1 written bytes match, %2 cannot be read back.")
                     .arg(comparison.compared)
                     .arg(comparison.unverifiable);
    }
    environment_.showMessage(lines.join(QLatin1Char('\n')), IconInformation);
}

void Form1::setTransferring(bool transferring) {
    transferring_ = transferring;
    // A read ends by replacing the editor and a write sends what the editor held at its
    // start, so loading another configuration meanwhile would be lost or misleading; and
    // choosing a port would cut the line under the transfer.
    menus_.mnuNew->setEnabled(!transferring);
    menus_.mnuOpen->setEnabled(!transferring);
    menus_.mnucom->menuAction()->setEnabled(!transferring);
    for (QAction* item : menus_.mnucomPorts) item->setEnabled(!transferring);
}

bool Form1::mayEdit() const { return !locked_ && !transferring_ && !mfgrid1_->isEditing(); }

void Form1::restoreLock(bool locked) {
    locked_ = locked;
    menus_.mnulock->setChecked(locked);
    if (locked) {
        Frame1_->setEnabled(false);
        mfgrid1_->setEnabled(false);
    }
}

void Form1::mnulock_Click() { menus_.mnulock->trigger(); }

void Form1::applyLock(bool locked) {
    locked_ = locked;
    menus_.mnulock->setChecked(locked);
    Frame1_->setEnabled(!locked);
    Frame2_->setEnabled(!locked);
    mfgrid1_->setEnabled(!locked);
}

int Form1::runDialog(QDialog& dialog) {
    OrderTabsByPosition(&dialog);
    GuardWheel(&dialog);
    KeepOnScreen(&dialog);
    return environment_.dialogRunner(dialog);
}

template <typename Dialog, typename... Args>
void Form1::editInDialog(Args&&... args) {
    EditorState copy = document_->state();
    Dialog dialog(copy, this, std::forward<Args>(args)...);
    if (runDialog(dialog) == QDialog::Accepted) document_->storeState(copy, dialog.windowTitle());
}

void Form1::mnudtmf_Click() { editInDialog<OptionalDialog>(); }

void Form1::Key_enactment_Click() { editInDialog<KeySetDialog>(); }

void Form1::mnusetin_Click() { editInDialog<InsertInformationDialog>(); }

void Form1::mnutestfre_Click() { editInDialog<TestFrequencyDialog>(); }

void Form1::mnudebug_Click() {
    EditorState copy = document_->state();
    DebugParameterDialog dialog(
        copy, this, [this] { toolButton(QStringLiteral("Test"))->setVisible(true); },
        environment_.serviceClock);
    openDebug_ = &dialog;
    const bool accepted = runDialog(dialog) == QDialog::Accepted;
    openDebug_ = nullptr;
    // The unlock gesture acts at once, not on OK: service mode and the gesture's progress
    // stay even when the dialog is closed by its close box.
    EditorState next = accepted ? copy : document_->state();
    next.ServiceUnlocked = copy.ServiceUnlocked;
    next.UnlockClick1 = copy.UnlockClick1;
    next.UnlockClick2 = copy.UnlockClick2;
    next.UnlockClick3 = copy.UnlockClick3;
    next.UnlockClickTime = copy.UnlockClickTime;
    document_->storeState(next, dialog.windowTitle());
}

void Form1::TestButton_Click() {
    if (!relock_.Click()) return;
    EditorState next = document_->state();
    next.ServiceUnlocked = 0;
    document_->storeState(next, QStringLiteral("Service mode off"));
    // A click can still arrive while the Debug dialog is open (a shortcut, a script): lock
    // its sliders and its copy too, or closing it would switch service mode on again. Its
    // next opening follows ServiceUnlocked and shows the sliders disabled.
    if (openDebug_) openDebug_->lockService();
    toolButton(QStringLiteral("Test"))->setVisible(false);
}

void Form1::mnumainhelp_Click() {
    const QUrl help = HelpLocation(environment_.programFolder);
    if (QFileInfo::exists(help.toLocalFile()) && environment_.desktopOpener(help)) return;
    // No guide, or nothing on the desktop to open it with (no xdg-utils): say where it is.
    environment_.showMessage(
        QStringLiteral("The user guide cannot be opened: %1\nOpen it in a web browser.")
            .arg(QDir::toNativeSeparators(help.toLocalFile())),
        OkOnly | IconExclamation);
}

void Form1::mnuabout_Click() {
    AboutDialog dialog(this, [this](const QUrl& url) { environment_.desktopOpener(url); });
    runDialog(dialog);
}

void Form1::Label2_Click() {
    environment_.desktopOpener(QUrl(QString::fromLatin1(kMakerWebAddress)));
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Label2_ && event->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        Label2_Click();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

}  // namespace r7::ui
