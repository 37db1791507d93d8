// The write options of the "Tools" menu against morvane-r7-sim on a pseudo-terminal: a backup
// of the radio before the write, a read-back after it, and neither read touching the editor.

#include <QAction>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "files/dat_file.h"
#include "files/tools_settings.h"
#include "link/safe_write.h"
#include "ui/main/editor_document.h"
#include "ui/tools/editor_history.h"
#include "ui/tools/tools_menu.h"
#include "window_sim_support.h"

using namespace r7;
using namespace r7::ui;
using test::Sim;

class ToolsWriteTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        boxes_ = std::make_unique<test::ScriptedMessageBoxes>();
        dir_ = std::make_unique<QTemporaryDir>();
        saved_ = dir_->filePath("after.DAT");
    }

    void cleanup() {
        sim_.reset();
        boxes_.reset();
        dir_.reset();
        qunsetenv("MORVANE_R7_COM1");
    }

    void backupAndReadBackKeepTheEditor() {
        ImageBytes old{};
        old.fill(0xFF);
        old[0x10] = 0x00;  // channel 2 receive 440.00000 (BCD 00 00 00 44)
        old[0x11] = 0x00;
        old[0x12] = 0x00;
        old[0x13] = 0x44;
        ToolsOptions options;
        options.verifyAfterWriting = true;
        options.backupBeforeWriting = true;
        options.backupFolder = dir_->filePath("backups");
        auto f = window(options, old);
        QVERIFY(tools_->actions().verify->isChecked() && tools_->actions().backup->isChecked());

        QCOMPARE(f->document()->editCell(1, 1, "446.00625"), EditResult::Stored);
        const EditorState editor = f->document()->state();

        bool finished = false, ok = false;
        connect(tools_->safeWrite(), &link::SafeWrite::finished, [&](bool good, const QString&) {
            finished = true;
            ok = good;
        });
        f->toolButton("write")->trigger();
        QVERIFY(QTest::qWaitFor([&] { return finished; }, 15000));
        QVERIFY(ok);
        QVERIFY(test::WaitRestored(*f, 8000) || f->transfer()->state() == link::TransferState::Idle);

        // The editor still holds what the user made, with its history.
        QVERIFY(f->document()->state() == editor);
        QVERIFY(tools_->history()->canUndo());

        // The backup is the radio as it was.
        const QStringList backups = QDir(options.backupFolder).entryList({"R7-backup-*.DAT"}, QDir::Files);
        QCOMPARE(backups.size(), 1);
        const DatReadResult backup = ReadDatFile(QDir(options.backupFolder).filePath(backups[0]));
        QCOMPARE(backup.status, DatStatus::Ok);
        QCOMPARE(int(backup.image[0x10]), 0x00);
        QCOMPARE(int(backup.image[0x13]), 0x44);
        QCOMPARE(int(backup.image[0x00]), 0xFF);

        QCOMPARE(boxes_->shown.size(), std::size_t{1});
        QCOMPARE(boxes_->shown[0].flags, 64u);
        QVERIFY2(boxes_->shown[0].prompt.contains("saved in") && boxes_->shown[0].prompt.contains("read back"),
                 qPrintable(boxes_->shown[0].prompt));

        sim_->Stop();
        const ImageBytes after = test::SavedImage(saved_);
        QCOMPARE(int(after[0]), 0x25);  // 446.00625: 25 06 60 44
        QCOMPARE(int(after[3]), 0x44);
    }

    void plainWriteWhenBothOptionsAreOff() {
        ImageBytes old{};
        old.fill(0xFF);
        auto f = window(ToolsOptions{}, old);
        QCOMPARE(f->document()->editCell(1, 1, "446.00625"), EditResult::Stored);
        f->menus().mnuwriteFre->trigger();
        QVERIFY(!tools_->safeWrite()->running());
        QCOMPARE(f->transfer()->state(), link::TransferState::Transferring);
        QVERIFY(test::WaitRestored(*f, 8000));
        QVERIFY(boxes_->shown.empty());
        QVERIFY(QDir(dir_->path()).entryList({"R7-backup-*"}).isEmpty());
        sim_->Stop();
        QCOMPARE(int(test::SavedImage(saved_)[3]), 0x44);
    }

private:
    // A window with the Tools menu, its options stored before it starts; the radio
    // holds all FF but for `old` and writes its memory to `saved` when stopped.
    std::unique_ptr<Form1> window(const ToolsOptions& options, const ImageBytes& old) {
        const QString radio = dir_->filePath("radio.DAT"), ini = dir_->filePath("tools.ini");
        if (!WriteDatFile(radio, old).ok) qWarning("radio image not written");
        sim_ = std::make_unique<Sim>(QStringList{"--load", radio, "--save", saved_});
        SaveToolsOptions(ini, options);
        auto f = test::LinkedWindow(dir_->path(), sim_->device);
        tools_ = new ToolsMenu(*f, ini);
        return f;
    }

    std::unique_ptr<test::ScriptedMessageBoxes> boxes_;
    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<Sim> sim_;
    QString saved_;
    ToolsMenu* tools_ = nullptr;
};

QTEST_MAIN(ToolsWriteTest)
#include "tools_write_test.moc"
