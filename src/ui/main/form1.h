#pragma once

// The main window `Form1`: channel grid, general settings, menus, tool bar, status label
// and progress bar. It binds the widgets to the EditorDocument; the rules live in the core.

#include <QMainWindow>
#include <QPointer>
#include <array>
#include <functional>

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
class TransferController;
}  // namespace r7::link

namespace r7::ui {

class ChannelGrid;
class ChannelTableModel;
class DebugParameterDialog;
class EditorDocument;

// Every item of the menu bar and of the grid's context menu.
struct Form1Menus {
    QMenu* mnuFile = nullptr;
    QAction* mnuNew = nullptr;
    QAction* mnuOpen = nullptr;
    QAction* mnuAssave = nullptr;
    QAction* mnuline = nullptr;
    QAction* mnuQuit = nullptr;

    QMenu* mnupro = nullptr;
    QAction* mnureadFre = nullptr;
    QAction* mnuwriteFre = nullptr;
    QAction* mnuline1 = nullptr;
    QAction* mnudtmf = nullptr;
    QAction* Key_enactment = nullptr;
    QAction* mnusetin = nullptr;
    QAction* mnudebug = nullptr;
    QAction* mnutestfre = nullptr;

    QMenu* mnuset = nullptr;
    QAction* mnulock = nullptr;
    QMenu* mnucom = nullptr;
    std::array<QAction*, 8> mnucomPorts{};  // mnucom1 ... mnucom8

    QMenu* mnuhelp = nullptr;
    QAction* mnumainhelp = nullptr;
    QAction* mnuabout = nullptr;

    QMenu* mnuchannel = nullptr;
    QAction* mnudel_channel = nullptr;
};

// Steps of start-up and shut-down that other parts of the program fill in.
struct Form1Hooks {
    std::function<void(class Form1&)> restoreSettings;  // start-up: lock state and port
    std::function<void(class Form1&)> storeSettings;    // shut-down: the same
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

    // The lock state is the check mark of "Lock(L)".
    bool isLocked() const;
    // The saved lock state at start-up: locked disables only Frame1 and the grid.
    void restoreLock(bool locked);
    // True while a read or write runs (from its start until the window is restored).
    bool isTransferring() const { return transferring_; }

    // A write with safety steps around it: `write` answers true when it took the write
    // command over; while `readsTaken` answers true, images read are not the editor's.
    void setWriteHooks(std::function<bool()> write, std::function<bool()> readsTaken) {
        writeHook_ = std::move(write);
        readsTakenHook_ = std::move(readsTaken);
    }

    // Opens a ".DAT" file by its path with Open's rules and messages (a file named at
    // start-up, a drop, a recent file); true when the editor now holds it.
    bool openFile(const QString& path);
    // Saves to `path` without a question; false, after saying why, when the write failed.
    bool saveFile(const QString& path);
    // The file last opened or saved; empty before either.
    QString currentFile() const { return currentFile_; }
    // Runs one of the program's own windows as a modal dialog with the window habits: Tab
    // follows the screen, the wheel waits for the focus, and the window fits the screen.
    int runDialog(QDialog& dialog);
    // Asked before Open, a radio read or closing the window replace what the editor holds;
    // false leaves everything as it is.
    void setReplaceGuard(std::function<bool()> guard) { replaceGuard_ = std::move(guard); }

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
    void mnudtmf_Click();
    void Key_enactment_Click();
    void mnusetin_Click();
    void mnudebug_Click();
    void mnutestfre_Click();
    void mnulock_Click();
    void mnucom_Click(int port);
    void mnumainhelp_Click();
    void mnuabout_Click();
    void mnudel_channel_Click();
    void TestButton_Click();
    void Combo1_Click(int position);
    void Label2_Click();

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
    std::function<bool()> writeHook_;
    std::function<bool()> readsTakenHook_;
    ServiceRelock relock_;
    QPointer<DebugParameterDialog> openDebug_;  // while "Debug(&D)" is open
    QString currentFile_;
    FileFingerprint onDisk_;   // what currentFile_ held when opened or saved here
    FileFingerprint noticed_;  // the change on disk already told about
    std::function<bool()> replaceGuard_;
};

}  // namespace r7::ui
