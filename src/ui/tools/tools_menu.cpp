#include "ui/tools/tools_menu.h"

#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QUndoStack>
#include <algorithm>

#include "files/channel_csv.h"
#include "files/dat_file.h"
#include "files/input_file.h"
#include "files/safe_file_writer.h"
#include "image/channel_clipboard.h"
#include "image/config_diff.h"
#include "image/image_codec.h"
#include "link/port_naming.h"
#include "link/port_selection.h"
#include "link/radio_write.h"
#include "ui/dialogs/dialog_support.h"
#include "ui/main/channel_grid.h"
#include "ui/main/editor_document.h"
#include "ui/main/file_dialog.h"
#include "ui/main/form1.h"
#include "ui/main/message_box.h"
#include "ui/tools/batch_write_window.h"
#include "ui/tools/compare_dialog.h"
#include "ui/tools/editor_history.h"
#include "ui/tools/file_tools.h"
#include "ui/tools/log_window.h"
#include "ui/tools/plan_tools.h"
#include "ui/tools/report_window.h"
#include "ui/tools/serial_ports_dialog.h"
#include "ui/tools/sheet_tools.h"

namespace r7::ui {

namespace {

const QString kCsvFilter = QStringLiteral("CSV (*.csv)");

QString WithCsvExtension(const QString& path) {
    if (!QFileInfo(path).suffix().isEmpty()) return path;
    return path.endsWith(QLatin1Char('.')) ? path + QStringLiteral("csv")
                                           : path + QStringLiteral(".csv");
}

}  // namespace

ToolsMenu::ToolsMenu(Form1& form, const QString& settingsPath)
    : QObject(&form),
      form_(form),
      settingsPath_(settingsPath),
      options_(LoadToolsOptions(settingsPath)),
      history_(new EditorHistory(form.document(), this)),
      menu_(new QMenu(QStringLiteral("&Tools"), &form)) {
    menu_->setObjectName(QStringLiteral("toolsMenu"));
    menu_->menuAction()->setObjectName(QStringLiteral("toolsMenu"));

    ToolsActions& a = actions_;
    a.undo = NewAction(menu_, "toolsUndo", tr("&Undo"));
    a.undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    a.redo = NewAction(menu_, "toolsRedo", tr("&Redo"));
    a.redo->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    menu_->addSeparator();
    a.copy = NewAction(menu_, "toolsCopy", tr("&Copy channels"));
    a.copy->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    a.paste = NewAction(menu_, "toolsPaste", tr("&Paste channels"));
    a.paste->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_V));
    menu_->addSeparator();
    a.exportCsv = NewAction(menu_, "toolsExportCsv", tr("&Export channels to CSV..."));
    a.importCsv = NewAction(menu_, "toolsImportCsv", tr("&Import channels from CSV..."));
    a.compare = NewAction(menu_, "toolsCompare", tr("Co&mpare with a data file..."));
    menu_->addSeparator();
    a.verify = NewAction(menu_, "toolsVerify", tr("&Verify after writing"));
    a.verify->setCheckable(true);
    a.verify->setChecked(options_.verifyAfterWriting);
    a.backup = NewAction(menu_, "toolsBackup", tr("&Back up the radio before writing"));
    a.backup->setCheckable(true);
    a.backup->setChecked(options_.backupBeforeWriting);
    a.writeMany = NewAction(menu_, "toolsWriteMany", tr("&Write many radios..."));
    menu_->addSeparator();
    a.serialPorts = NewAction(menu_, "toolsSerialPorts", tr("Serial p&orts..."));
    form.ports()->setDevices(options_.portDevices);
    passWriteOptions();
    menu_->addSeparator();
    files_ = new FileTools(form, menu_, settingsPath);
    menu_->addSeparator();
    new SheetTools(form, menu_);
    menu_->addSeparator();
    new PlanTools(form, menu_);
    logTools_ = new LogTools(form, menu_, settingsPath, options_);

    // After the window's own menus, which stay as they are.
    form.menuBar()->addMenu(menu_);
    // The shortcuts work while the menu is closed, from anywhere in the window.
    for (QAction* action : menu_->actions()) {
        if (!action->isSeparator()) form.addAction(action);
    }

    connect(a.undo, &QAction::triggered, this, &ToolsMenu::undo);
    connect(a.redo, &QAction::triggered, this, &ToolsMenu::redo);
    connect(a.copy, &QAction::triggered, this, &ToolsMenu::copyChannels);
    connect(a.paste, &QAction::triggered, this, &ToolsMenu::pasteChannels);
    connect(a.exportCsv, &QAction::triggered, this, &ToolsMenu::exportCsv);
    connect(a.importCsv, &QAction::triggered, this, &ToolsMenu::importCsv);
    connect(a.compare, &QAction::triggered, this, &ToolsMenu::compareWithFile);
    connect(a.serialPorts, &QAction::triggered, this, &ToolsMenu::chooseSerialPorts);
    connect(a.writeMany, &QAction::triggered, this, &ToolsMenu::writeManyRadios);
    connect(a.verify, &QAction::toggled, this,
            [this](bool on) { storeOption(&ToolsOptions::verifyAfterWriting, on); });
    connect(a.backup, &QAction::toggled, this,
            [this](bool on) { storeOption(&ToolsOptions::backupBeforeWriting, on); });

    QUndoStack* stack = history_->stack();
    connect(stack, &QUndoStack::indexChanged, this, &ToolsMenu::updateActions);
    connect(stack, &QUndoStack::cleanChanged, this, &ToolsMenu::updateActions);
    connect(menu_, &QMenu::aboutToShow, this, &ToolsMenu::updateActions);
    updateActions();
}

void ToolsMenu::updateActions() {
    const QUndoStack* stack = history_->stack();
    actions_.undo->setText(stack->canUndo() && !stack->undoText().isEmpty()
                               ? tr("&Undo %1").arg(stack->undoText())
                               : tr("&Undo"));
    actions_.redo->setText(stack->canRedo() && !stack->redoText().isEmpty()
                               ? tr("&Redo %1").arg(stack->redoText())
                               : tr("&Redo"));
    // Shortcuts keep working when the state changed behind the menu's back (the lock):
    // the commands check again when they run.
    actions_.undo->setEnabled(stack->canUndo());
    actions_.redo->setEnabled(stack->canRedo());
    actions_.serialPorts->setEnabled(!form_.isTransferring());
}

std::vector<int> ToolsMenu::selectedChannels() const {
    std::vector<int> channels;
    const ChannelGrid* grid = form_.mfgrid1();
    if (const QItemSelectionModel* selection = grid->selectionModel()) {
        for (const QModelIndex& index : selection->selectedIndexes())
            channels.push_back(index.row() + 1);
    }
    if (channels.empty() && grid->currentIndex().isValid())
        channels.push_back(grid->currentIndex().row() + 1);
    std::sort(channels.begin(), channels.end());
    channels.erase(std::unique(channels.begin(), channels.end()), channels.end());
    return channels;
}

void ToolsMenu::undo() {
    if (form_.mayEdit()) history_->undo();
}

void ToolsMenu::redo() {
    if (form_.mayEdit()) history_->redo();
}

void ToolsMenu::copyChannels() {
    const std::vector<int> channels = selectedChannels();
    if (channels.empty()) return;
    QGuiApplication::clipboard()->setText(
        Utf8(ChannelRowsText(form_.document()->state(), channels)));
}

void ToolsMenu::pasteChannels() {
    if (!form_.mayEdit()) return;
    EditorDocument* document = form_.document();
    EditorState next = document->state();
    const std::string text = QGuiApplication::clipboard()->text().toStdString();
    const PasteResult result =
        PasteChannelRows(next, selectedChannels(), text, document->bandLimits());
    if (!result.ok()) {
        form_.environment().showMessage(
            tr("Nothing has been pasted:\n") + Utf8(DescribePasteProblems(result.problems)),
            IconStop);
        return;
    }
    document->storeState(next, result.channels.size() == 1
                                   ? tr("Paste into channel %1").arg(result.channels[0])
                                   : tr("Paste of %1 channels").arg(result.channels.size()));
}

void ToolsMenu::exportCsv() {
    const std::optional<QString> chosen =
        form_.environment().chooseFile(FileDialogMode::Save, kCsvFilter);
    if (!chosen || chosen->isEmpty()) return;
    const QString path = WithCsvExtension(*chosen);
    if (!form_.environment().mayReplace(path)) return;
    std::vector<std::string> problems;
    const QByteArray csv = ExportChannelsCsv(form_.document()->state(), &problems);
    const FileResult written = WriteFileSafely(path, csv);
    if (!written) {
        form_.environment().showMessage(
            written.error() + tr("\nThe channels have not been exported."), IconStop);
        return;
    }
    if (!problems.empty()) {
        QString lines;
        for (const std::string& problem : problems) lines += Utf8(problem) + QLatin1Char('\n');
        form_.environment().showMessage(
            tr("The channels have been exported to %1, but these cannot be read back:\n")
                    .arg(path) +
                lines,
            IconInformation);
    }
}

void ToolsMenu::importCsv() {
    if (!form_.mayEdit()) return;
    const std::optional<QString> chosen =
        form_.environment().chooseFile(FileDialogMode::Open, kCsvFilter);
    if (!chosen || chosen->isEmpty()) return;
    const InputReadResult read = ReadInputFile(*chosen);
    if (!read) {
        QString text = read.error();
        text[0] = text[0].toUpper();
        form_.environment().showMessage(text, IconStop);
        return;
    }
    EditorDocument* document = form_.document();
    const QByteArray& csv = *read;
    EditorState next = document->state();
    CsvImportReport report = ImportChannelsCsv(csv, next);
    if (report.locationZero &&
        form_.environment().showMessage(
            tr("The rows of %1 are numbered from Location 0, but the radio's channels run from 1 "
               "to "
               "16.\nPlace the rows in order on channels 1, 2, 3 ... instead?")
                .arg(*chosen),
            YesNo | IconQuestion) == kResultYes) {
        next = document->state();
        report = ImportChannelsCsv(csv, next, true);
    }
    if (report.fatal) {
        form_.environment().showMessage(
            tr("%1 cannot be imported:\n").arg(*chosen) + Utf8(report.text()), IconStop);
        return;
    }
    document->storeState(next, tr("Import of %1").arg(QFileInfo(*chosen).fileName()));
    if (!report.problems.empty() || report.namesDropped || report.receiveOnly > 0) {
        const QString summary = report.problems.empty()
                                    ? tr("%1 has been imported.").arg(*chosen)
                                    : tr("Some rows of %1 have not been imported:").arg(*chosen);
        ReportWindow window(summary, Utf8(report.text()), &form_);
        form_.runDialog(window);
    }
}

void ToolsMenu::compareWithFile() {
    const std::optional<QString> chosen = form_.environment().chooseFile(FileDialogMode::Open);
    if (!chosen || chosen->isEmpty()) return;
    const DatReadResult read = ReadDatFile(*chosen);
    const EditorState& editor = form_.document()->state();
    EditorState other = editor;
    if (!read || !DecodeImageBytes(*read, other)) {
        form_.showUnusableFile(*chosen, read, true);
        return;
    }
    CompareDialog dialog(*chosen, DiffConfigurations(editor, other), &form_);
    form_.runDialog(dialog);
}

void ToolsMenu::chooseSerialPorts() {
    // Like the "Communication(&V)" menu: a new device must not cut the line under a transfer.
    if (form_.isTransferring()) return;
    SerialPortsDialog dialog(options_.portDevices, link::DetectedPorts(), &form_);
    form_.runDialog(dialog);
    if (dialog.result() != QDialog::Accepted || dialog.devices() == options_.portDevices) return;
    link::PortSelection* ports = form_.ports();
    const int open = ports->isChecked(ports->PortNumber()) ? ports->PortNumber() : 0;
    const QString openDevice = open != 0 ? ports->device(open) : QString();
    const ToolsOptions before = options_;
    options_.portDevices = dialog.devices();
    ports->setDevices(options_.portDevices);
    saveOptions(before,
                tr("The serial ports are in force for this run but cannot be remembered: %1"));
    // The checked item goes on naming the open device: a new choice for it is opened now.
    if (open != 0 && ports->device(open) != openDevice) form_.mnucom_Click(open);
}

void ToolsMenu::writeManyRadios() {
    if (form_.isTransferring() || form_.radioWrite()->running()) return;
    BatchWriteWindow window(form_, *form_.radioWrite(), *logTools_, options_);
    form_.environment().dialogRunner(window);
}

void ToolsMenu::passWriteOptions() {
    WriteOptions write;
    write.verify = options_.verifyAfterWriting;
    if (options_.backupBeforeWriting)
        write.backupFolder =
            options_.backupFolder.isEmpty() ? DefaultBackupFolder() : options_.backupFolder;
    form_.setWriteOptions(write);
}

void ToolsMenu::storeOption(bool ToolsOptions::*option, bool on) {
    if (options_.*option == on) return;
    const ToolsOptions before = options_;
    options_.*option = on;
    passWriteOptions();
    saveOptions(before, tr("The option is in force for this run but cannot be remembered: %1"));
}

void ToolsMenu::saveOptions(const ToolsOptions& before, const QString& failurePrompt) {
    if (const FileResult saved = SaveToolsOptions(settingsPath_, options_, before); !saved)
        form_.environment().showMessage(failurePrompt.arg(saved.error()), IconStop);
}

}  // namespace r7::ui
