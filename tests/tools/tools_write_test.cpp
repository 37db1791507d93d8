// The write options of the "Tools" menu against morvane-r7-sim on a pseudo-terminal: a backup
// of the radio before the write, a read-back after it, and neither read touching the editor.

#include "link/safe_write.h"
#include "ui/tools/editor_history.h"
#include "ui/tools/tools_menu.h"
#include "window_sim_support.h"

using test::Sim;

class ToolsWriteTest : public QObject {
    Q_OBJECT
private slots:
    void init() { d_ = std::make_unique<test::ScriptedDesktop>(); }

    void cleanup() {
        sim_.reset();
        qunsetenv("MORVANE_R7_COM1");
    }

    void backupAndReadBackKeepTheEditor() {
        ImageBytes old{};
        old.fill(0xFF);
        std::ranges::copy(std::array<std::uint8_t, 4>{0x00, 0x00, 0x00, 0x44}, &old[0x10]);  // channel 2 at 440
        ToolsOptions options;
        options.verifyAfterWriting = true;
        options.backupBeforeWriting = true;
        options.backupFolder = d_->path("backups");
        auto f = window(options, old);
        QVERIFY(tools_->actions().verify->isChecked() && tools_->actions().backup->isChecked());

        QCOMPARE(f->document()->editCell(1, 1, "446.00625"), EditResult::Stored);
        const EditorState editor = f->document()->state();

        QSignalSpy finished(tools_->safeWrite(), &link::SafeWrite::finished);
        f->toolButton("write")->trigger();
        QVERIFY(finished.wait(15000) && finished[0][0].toBool());
        QVERIFY(test::WaitRestored(*f, 8000) || f->transfer()->state() == link::TransferState::Idle);

        // The editor still holds what the user made, with its history.
        QVERIFY(f->document()->state() == editor && tools_->history()->canUndo());

        // The backup is the radio as it was.
        const QStringList backups = QDir(options.backupFolder).entryList({"R7-backup-*.DAT"}, QDir::Files);
        QCOMPARE(backups.size(), 1);
        const DatReadResult backup = ReadDatFile(QDir(options.backupFolder).filePath(backups[0]));
        QCOMPARE(backup.status, DatStatus::Ok);
        QCOMPARE(test::HexText(backup.image.data(), 0x14), std::string(32, 'F') + "00000044");

        QCOMPARE(d_->boxes.shown.size(), std::size_t{1});
        QVERIFY2(d_->boxes.shown[0].flags == 64u && d_->boxes.shown[0].prompt.contains("saved in") &&
                     d_->boxes.shown[0].prompt.contains("read back"), qPrintable(d_->boxes.shown[0].prompt));

        sim_->Stop();
        QCOMPARE(test::HexText(test::SavedImage(d_->path("after.DAT")).data(), 4), std::string("25066044"));  // 446.00625
    }

    void plainWriteWhenBothOptionsAreOff() {
        ImageBytes old{};
        old.fill(0xFF);
        auto f = window(ToolsOptions{}, old);
        QCOMPARE(f->document()->editCell(1, 1, "446.00625"), EditResult::Stored);
        f->menus().mnuwriteFre->trigger();
        QVERIFY(!tools_->safeWrite()->running() && f->transfer()->state() == link::TransferState::Transferring);
        QVERIFY(test::WaitRestored(*f, 8000) && d_->boxes.shown.empty());
        QVERIFY(QDir(d_->dir.path()).entryList({"R7-backup-*"}).isEmpty());
        sim_->Stop();
        QCOMPARE(int(test::SavedImage(d_->path("after.DAT"))[3]), 0x44);
    }

private:
    // A window with the Tools menu, its options stored before it starts; the radio
    // holds all FF but for `old` and writes its memory to `saved` when stopped.
    std::unique_ptr<Form1> window(const ToolsOptions& options, const ImageBytes& old) {
        const QString radio = d_->path("radio.DAT"), ini = d_->path("tools.ini");
        if (!WriteDatFile(radio, old).ok) qWarning("radio image not written");
        sim_ = std::make_unique<Sim>(QStringList{"--load", radio, "--save", d_->path("after.DAT")});
        SaveToolsOptions(ini, options);
        auto f = test::LinkedWindow(*d_, sim_->device);
        tools_ = new ToolsMenu(*f, ini);
        return f;
    }

    std::unique_ptr<test::ScriptedDesktop> d_;
    std::unique_ptr<Sim> sim_;
    ToolsMenu* tools_ = nullptr;
};

QTEST_MAIN(ToolsWriteTest)
#include "tools_write_test.moc"
