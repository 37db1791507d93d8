#pragma once

// The main window `Form1`: channel grid, general settings, menus, tool bar, status label
// and progress bar. It binds the widgets to the EditorDocument; the rules live in the core.

#include <QMainWindow>
#include <QPointer>
#include <array>
#include <functional>

#include "files/dat_file.h"
#include "files/file_fingerprint.h"
#include "image/service_mode.h"
#include "ui/main/editor_document.h"
#include "ui/main/window_environment.h"

class QAction;
class QComboBox;
class QDialog;
class QGroupBox;
class QLabel;
class QMenu;
class QPoint;
class QProgressBar;
class QToolBar;

namespace r7::link {
enum class Command;
class PortSelection;
class RadioWrite;
class TransferController;
}  // namespace r7::link

namespace r7::ui {

class ChannelGrid;
class ChannelTableModel;
class DebugParameterDialog;
class EditorDocument;
class UnsavedChanges;

// Every item of the menu bar and of the grid's context menu.
struct Form1Menus {
    QMenu* mnuFile = nullptr;
    QAction* mnuNew = nullptr;
    QAction* mnuOpen = nullptr;
    QAction* mnuAssave = nullptr;
    QAction* mnuline = nullptr;
    QAction* mnuQuit = nullptr;

    QMenu* mnupro = nullptr;  // "Programme(&P)": the radio and its dialogs
    QAction* mnureadFre = nullptr;
    QAction* mnuwriteFre = nullptr;
    QAction* mnuline1 = nullptr;
    QAction* mnudtmf = nullptr;        // "Optional": DTMF and optional settings (Form5)
    QAction* Key_enactment = nullptr;  // "Key Set", hidden
    QAction* mnusetin = nullptr;       // "Inset Information": the two information lines
    QAction* mnudebug = nullptr;       // "Debug(&D)": service adjustments
    QAction* mnutestfre = nullptr;     // "Test Frequcy"

    QMenu* mnuset = nullptr;                // "Seting(&S)"
    QAction* mnulock = nullptr;             // "Lock(L)": its check mark shows Form1::locked()
    QMenu* mnucom = nullptr;                // "Communication(&V)": the serial port
    std::array<QAction*, 8> mnucomPorts{};  // mnucom1 ... mnucom8

    QMenu* mnuhelp = nullptr;
    QAction* mnumainhelp = nullptr;
    QAction* mnuabout = nullptr;

    QMenu* mnuchannel = nullptr;
    QAction* mnudel_channel = nullptr;  // deletes the row the grid's menu was opened on
};

// Steps of start-up and shut-down that other parts of the program fill in.
struct Form1Hooks {
    std::function<void(class Form1&)> restoreSettings;  // start-up: lock state and port
    std::function<void(class Form1&)> storeSettings;    // shut-down: the same
    std::array<QString, 8> portDevices{};  // the device each COM item opens, before it opens
};

// What the radio write does around itself besides the write (the Tools menu's options).
struct WriteOptions {
    bool verify = false;   // read the radio back and compare
    QString backupFolder;  // empty: no backup read first
};

class Form1 : public QMainWindow {
    Q_OBJECT
public:
    explicit Form1(Form1Hooks hooks = {}, WindowEnvironment environment = {},
                   QWidget* parent = nullptr);
    ~Form1() override;

    EditorDocument* document() const { return document_; }
    ChannelGrid* mfgrid1() const { return mfgrid1_; }
    ChannelTableModel* channelModel() const { return model_; }
    const Form1Menus& menus() const { return menus_; }
    // Dialogs, boxes and the desktop as this window reaches them.
    const WindowEnvironment& environment() const { return environment_; }

    QToolBar* Toolbar1() const { return Toolbar1_; }
    // The action of a tool bar button by key ("new", "open", "save", "read", "write",
    // "Test"): the menu item's own action where the button runs a menu command.
    QAction* toolButton(const QString& key) const;

    QGroupBox* Frame1() const { return Frame1_; }
    QGroupBox* Frame2() const { return Frame2_; }
    // The list ComboN, n = 1..10.
    QComboBox* combo(int n) const;
    QLabel* statusLabel() const { return Label_; }  // `Label`
    QLabel* Label2() const { return Label2_; }
    QProgressBar* ProgressBar1() const { return ProgressBar1_; }

    // The list position of the band last accepted.
    int BandIndex() const;
    // Adds an entry to the band list `Combo1` ("LLL-UUU..." shape).
    void addBandEntry(const QString& entry);

    // Refreshes every setting list from the document.
    void refreshSettings();

    // The radio link: the read/write transfer and the "Communication(&V)" menu.
    link::TransferController* transfer() const { return transfer_; }
    link::PortSelection* ports() const { return ports_; }

    // The radio write of "Write data into Radio(W)" and of the batch, with its options.
    link::RadioWrite* radioWrite() const { return radioWrite_; }
    const WriteOptions& writeOptions() const { return writeOptions_; }
    void setWriteOptions(const WriteOptions& options) { writeOptions_ = options; }
    // The question before Open, a read or closing replace changes neither saved nor written.
    UnsavedChanges* unsavedChanges() const { return unsaved_; }

    // "Lock(L)": the editor is locked; the item's check mark shows it.
    bool locked() const { return locked_; }
    // The saved lock state at start-up: locked disables only Frame1 and the grid.
    void restoreLock(bool locked);
    // True while a read or write runs (from its start until the window is restored).
    bool isTransferring() const { return transferring_; }
    // A command may change the editor: not locked, no transfer, no cell editor open.
    bool mayEdit() const;

    // Opens a ".DAT" file by its path with Open's rules and messages (a file named at
    // start-up, a drop, a recent file); true when the editor now holds it.
    bool openFile(const QString& path);
    // Saves to `path` without a question; false, after saying why, when the write failed.
    bool saveFile(const QString& path);
    // "Save(&A)": asks for a file; true when the configuration is now in it.
    bool saveAs();
    // Saves to the file last opened or saved, else as saveAs(); true when saved.
    bool save();
    // Shows why a ".DAT" file gave no configuration: "File type is incorrect!" under "Mistake",
    // or, for a file that exists but cannot be read, its reason when `sayReadError` (Open
    // then stays quiet).
    void showUnusableFile(const QString& path, const DatReadResult& read, bool sayReadError);
    // The file last opened or saved; empty before either.
    QString currentFile() const { return currentFile_; }
    // Runs one of the program's own windows as a modal dialog with the window habits: Tab
    // follows the screen, the wheel waits for the focus, and the window fits the screen.
    int runDialog(QDialog& dialog);
    // Closes without the question about unsaved changes: nobody is left to answer it (a
    // signal, the session ending).
    void closeWithoutAsking();

signals:
    void fileOpened(const QString& path);
    void fileSaved(const QString& path);

public slots:
    void mnuNew_Click();
    void mnuOpen_Click();
    void mnuAssave_Click();
    void mnuQuit_Click();
    void mnureadFre_Click();
    void mnuwriteFre_Click();
    void mnudtmf_Click();        // the DTMF / optional dialog (Form5)
    void Key_enactment_Click();  // the key set dialog
    void mnusetin_Click();       // the information lines dialog
    void mnudebug_Click();       // the service dialog
    void mnutestfre_Click();     // the test frequencies dialog
    void mnulock_Click();
    void mnucom_Click(int port);
    void mnumainhelp_Click();
    void mnuabout_Click();
    void mnudel_channel_Click();
    void TestButton_Click();          // leaves service mode
    void Combo1_Click(int position);  // a band chosen in the band list
    void Label2_Click();              // the maker's web page

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Coming back to the front, says once that another program has changed the file.
    void changeEvent(QEvent* event) override;

private:
    void buildMenus();
    void buildToolbar();
    void buildWidgets();
    void buildModelFrame(QWidget* central);
    void buildSettingsFrame(QWidget* central);
    QWidget* buildStatusStrip(QWidget* central);
    QComboBox* newCombo(ComboId n, QWidget* frame);
    void fillCombo(ComboId n);
    void chainTabOrder();
    void Form_Load();
    void Form_Unload();
    // The defaults of a new configuration; also hides the progress bar.
    void ResetEditor();
    void showRangeMessage();
    void mfgrid1_MouseDown(int row, const QPoint& globalPos);
    // The old file is never destroyed; returns false when the write failed.
    bool saveTo(const QString& path);
    // Asks before saving over changes another program made to the file since it was opened or
    // saved here; true to go on.
    bool mayOverwriteChanges(const QString& path);
    void buildLink();
    void refreshPortMenu();
    void applyLock(bool locked);
    // What a transfer's start and end mean for the window's controls.
    void showTransferBusy(link::Command command);
    void showTransferReady();
    void setProgrammeMenuEnabled(bool enabled);
    // Disables what must not run while the radio is being read or written.
    void setTransferring(bool transferring);
    void readImageArrived(const QString& imageHex);
    // What a write with an option on ended with, in one box.
    void reportWrite(bool ok, const QString& reason);
    // Opens a dialog on a copy of the editor state and commits the copy on OK.
    template <typename Dialog, typename... Args>
    void editInDialog(Args&&... args);

    Form1Hooks hooks_;
    WindowEnvironment environment_;
    EditorDocument* document_ = nullptr;
    ChannelTableModel* model_ = nullptr;
    ChannelGrid* mfgrid1_ = nullptr;
    QToolBar* Toolbar1_ = nullptr;
    std::array<QAction*, 6> toolButtons_{};  // new, open, save, read, write, Test
    QGroupBox* Frame1_ = nullptr;
    QGroupBox* Frame2_ = nullptr;
    QLabel* Label3_ = nullptr;
    QLabel* Label1_ = nullptr;
    QLabel* Label_ = nullptr;
    QLabel* Label2_ = nullptr;
    QProgressBar* ProgressBar1_ = nullptr;
    std::array<QComboBox*, 10> combos_{};
    Form1Menus menus_;
    int deleteRow_ = 0;  // the row the delete item names

    link::TransferController* transfer_ = nullptr;
    link::PortSelection* ports_ = nullptr;
    bool transferring_ = false;
    bool locked_ = false;
    link::RadioWrite* radioWrite_ = nullptr;
    WriteOptions writeOptions_;
    bool reportsWrite_ = false;  // the running write is this window's, with an option on
    UnsavedChanges* unsaved_ = nullptr;
    bool askBeforeClosing_ = true;
    ServiceRelock relock_;
    QPointer<DebugParameterDialog> openDebug_;  // while "Debug(&D)" is open
    QString currentFile_;
    FileFingerprint onDisk_;   // what currentFile_ held when opened or saved here
    FileFingerprint noticed_;  // the change on disk already told about
};

}  // namespace r7::ui
