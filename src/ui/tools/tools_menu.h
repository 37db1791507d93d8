#pragma once

// The "Tools" menu of the main window, after its own menus: undo and redo, copy and paste
// of channel rows, CSV export and import of the channel table, comparing with a data file,
// and the write options. It works on the window's document and grid selection; the rules
// live in the core.

#include <QObject>
#include <QString>
#include <vector>

#include "files/tools_settings.h"

class QAction;
class QMenu;

namespace r7::ui {

class EditorHistory;
class FileTools;
class LogTools;
class Form1;

struct ToolsActions {
    QAction* undo = nullptr;   // Ctrl+Z
    QAction* redo = nullptr;   // Ctrl+Shift+Z, Ctrl+Y
    QAction* copy = nullptr;   // Ctrl+C
    QAction* paste = nullptr;  // Ctrl+V
    QAction* exportCsv = nullptr;
    QAction* importCsv = nullptr;
    QAction* compare = nullptr;
    QAction* verify = nullptr;  // checkable, remembered
    QAction* backup = nullptr;  // checkable, remembered
    QAction* serialPorts = nullptr;
    QAction* writeMany = nullptr;  // "Write many radios..."
};

class ToolsMenu : public QObject {
    Q_OBJECT
public:
    // Adds the menu to `form`'s menu bar; the options are read from and written to
    // `settingsPath`.
    explicit ToolsMenu(Form1& form, const QString& settingsPath = DefaultToolsSettingsPath());

    EditorHistory* history() const { return history_; }
    const ToolsActions& actions() const { return actions_; }
    // The options remembered in the settings file.
    const ToolsOptions& options() const { return options_; }
    // "Save", "Recent files", drops and the question before unsaved changes are replaced.
    FileTools* files() const { return files_; }
    // The programming log: its logger follows every write of the window.
    LogTools* log() const { return logTools_; }

    // Channels of the grid's selection (1..16, ascending); the current row when nothing
    // is selected.
    std::vector<int> selectedChannels() const;

public slots:
    void undo();
    void redo();
    void copyChannels();
    void pasteChannels();
    void exportCsv();
    void importCsv();
    void compareWithFile();
    // "Serial ports...": the device each COM item opens, remembered with the options.
    void chooseSerialPorts();
    // "Write many radios...": one radio after another with the write options.
    void writeManyRadios();

private:
    // What the window's write does around itself, from the options.
    void passWriteOptions();
    void updateActions();
    void storeOption(bool ToolsOptions::*option, bool on);
    // Writes what changed since `before`, over what the file holds now.
    void saveOptions(const ToolsOptions& before, const QString& failurePrompt);

    Form1& form_;
    QString settingsPath_;
    ToolsOptions options_;
    EditorHistory* history_;
    QMenu* menu_;
    ToolsActions actions_;
    FileTools* files_ = nullptr;
    LogTools* logTools_ = nullptr;
};

}  // namespace r7::ui
