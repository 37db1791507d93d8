// Writing from the window against morvane-r7-sim on a pseudo-terminal: with the "Tools" menu's
// options a backup of the radio before the write and a read-back after it, neither read
// touching the editor; without them the window's own write.

#include "files/programming_log.h"
#include "link/radio_write.h"
#include "ui/main/unsaved_changes.h"
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
        old_.fill(0xFF);  // and channel 2 at 440
        std::ranges::copy(std::array<std::uint8_t, 4>{0x00, 0x00, 0x00, 0x44}, &old_[0x10]);
        const ToolsOptions options{true, true, d_->path("backups"), {}};  // verify, back up, where
        auto f = window(options);
        QVERIFY(tools_->actions().verify->isChecked() && tools_->actions().backup->isChecked());

        QCOMPARE(f->document()->editCell(1, 1, "446.00625"), EditResult::Stored);
        const EditorState editor = f->document()->state();

        QSignalSpy succeeded(f->radioWrite(), &link::RadioWrite::succeeded);
        f->toolButton("write")->trigger();
        QVERIFY(succeeded.wait(15000));
        QVERIFY(test::WaitRestored(*f, 8000) ||
                f->transfer()->state() == link::TransferState::Idle);

        // The editor still holds what the user made, with its history.
        QVERIFY(f->document()->state() == editor && tools_->history()->canUndo());

        // The backup is the radio as it was.
        const QStringList backups =
            QDir(options.backupFolder).entryList({"R7-backup-*.DAT"}, QDir::Files);
        QCOMPARE(backups.size(), 1);
        const DatReadResult backup = ReadDatFile(QDir(options.backupFolder).filePath(backups[0]));
        QVERIFY(backup.has_value());
        QCOMPARE(test::HexText(backup->data(), 0x14), std::string(32, 'F') + "00000044");

        const QString said = d_->boxes.texts().join('\n');  // one box of two lines
        QVERIFY2(QRegularExpression("^Morvane-R7\\|64\\|.* saved in .*\\n.* read back: .*$")
                     .match(said)
                     .hasMatch(),
                 qPrintable(said));
        f->transfer()->link().close();  // no port: the radio's message, then the write's own
        f->toolButton("write")->trigger();
        QVERIFY(
            d_->boxes.texts().last().endsWith("The serial port is not open; nothing was written."));

        sim_->Stop();
        QCOMPARE(test::HexText(test::DatImage(test::Contents(d_->path("after.DAT"))).data(), 4),
                 std::string("25066044"));  // 446.00625
    }

    // Both options off: the window's own write, which sends the editor, and its service values
    // in service mode only.
    void plainWriteSendsTheEditorAndItsServiceMode() {
        for (bool service : {false, true}) {
            old_.fill(0x5A);
            auto f = window(ToolsOptions{});
            QCOMPARE(f->document()->editCell(1, 1, "446.00625"), EditResult::Stored);
            EditorState next = f->document()->state();
            std::tie(next.PowerHigh, next.ServiceUnlocked) = std::tuple(0x77, service ? 1 : 0);
            f->document()->storeState(next);
            f->menus().mnuwriteFre->trigger();
            QVERIFY(f->radioWrite()->stage() == link::RadioWriteStage::Write &&
                    f->transfer()->state() == link::TransferState::Transferring);
            // What was written is held: closing asks nothing.
            QVERIFY(test::WaitRestored(*f, 8000) && d_->boxes.shown.size() == (service ? 1u : 0u) &&
                    !f->unsavedChanges()->hasChanges());
            QVERIFY(f->statusLabel()->text() == "Writing succeeds frequently!" &&
                    f->statusLabel()->isHidden());
            QVERIFY(QDir(d_->dir.path()).entryList({"R7-backup-*"}).isEmpty());
            f->transfer()->link().close();  // no port: the one message, no line in the log
            f->menus().mnuwriteFre->trigger();
            QCOMPARE(ReadLog(d_->path("programming-log.csv")).value().size(),
                     d_->boxes.shown.size());
            sim_->Stop();
            const ImageBytes after = test::DatImage(test::Contents(d_->path("after.DAT")));
            // 446.00625 is 25 06 60 44; PowerHigh only in service mode; 0x180 is outside the write
            // list.
            QCOMPARE(test::HexText(&after[0], 4) + test::HexText(&after[0x173], 1) +
                         test::HexText(&after[0x180], 1),
                     service ? "25066044775A" : "250660445A5A");
        }
    }

private:
    // A window with the Tools menu, its options stored before it starts; the radio holds
    // `old_` and writes its memory to after.DAT when stopped.
    std::unique_ptr<Form1> window(const ToolsOptions& options) {
        const QString radio = d_->path("radio.DAT"), ini = d_->path("tools.ini");
        if (!WriteDatFile(radio, old_).has_value()) qWarning("radio image not written");
        sim_ = std::make_unique<Sim>(QStringList{"--load", radio, "--save", d_->path("after.DAT")});
        SaveToolsOptions(ini, options);
        auto f = test::LinkedWindow(*d_, sim_->device);
        tools_ = new ToolsMenu(*f, ini);
        return f;
    }

    std::unique_ptr<test::ScriptedDesktop> d_;
    ImageBytes old_{};
    std::unique_ptr<Sim> sim_;
    ToolsMenu* tools_ = nullptr;
};

QTEST_MAIN(ToolsWriteTest)
#include "tools_write_test.moc"
