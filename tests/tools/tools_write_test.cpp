// The write options of the "Tools" menu against morvane-r7-sim on a pseudo-terminal: a backup
// of the radio before the write, a read-back after it, and neither read touching the editor.

#include <QAction>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QUndoStack>
#include <memory>

#include "files/dat_file.h"
#include "files/tools_settings.h"
#include "image/image_codec.h"
#include "link/safe_write.h"
#include "link/transfer_controller.h"
#include "ui/main/editor_document.h"
#include "ui/main/form1.h"
#include "ui/main/saved_settings.h"
#include "ui/tools/editor_history.h"
#include "ui/tools/tools_menu.h"
#include "ui_test_support.h"

using namespace r7;
using namespace r7::ui;

namespace {

struct Sim {
    QProcess process;
    QString device;
    explicit Sim(const QStringList& args) {
        process.start(R7_SIM_PATH, args);
        process.waitForStarted(5000);
        while (!process.canReadLine() && process.waitForReadyRead(5000)) {
        }
        device = QString::fromLocal8Bit(process.readLine()).trimmed();
    }
    void Stop() {
        process.closeWriteChannel();
        process.waitForFinished(5000);
    }
    ~Sim() {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(5000);
        }
    }
};

QByteArray Contents(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

class ToolsWriteTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void backupAndReadBackKeepTheEditor();
    void plainWriteWhenBothOptionsAreOff();

private:
    std::unique_ptr<Form1> window(const QString& device, const ToolsOptions& options);
    bool waitRestored(Form1& f);

    std::unique_ptr<test::ScriptedMessageBoxes> boxes_;
    std::unique_ptr<QTemporaryDir> dir_;
    ToolsMenu* tools_ = nullptr;
};

void ToolsWriteTest::init() {
    boxes_ = std::make_unique<test::ScriptedMessageBoxes>();
    dir_ = std::make_unique<QTemporaryDir>();
}

void ToolsWriteTest::cleanup() {
    boxes_.reset();
    dir_.reset();
    qunsetenv("MORVANE_R7_COM1");
}

std::unique_ptr<Form1> ToolsWriteTest::window(const QString& device, const ToolsOptions& options) {
    const QString ini = dir_->filePath("tools.ini");
    SaveToolsOptions(ini, options);
    qputenv("MORVANE_R7_COM1", device.toLocal8Bit());
    auto f = std::make_unique<Form1>(SavedSettingsHooks(dir_->path()));
    f->transfer()->setWatchdogInterval(300);
    tools_ = new ToolsMenu(*f, ini);
    return f;
}

bool ToolsWriteTest::waitRestored(Form1& f) {
    bool restored = false;
    const auto c = connect(f.transfer(), &link::TransferController::uiRestored, [&] { restored = true; });
    const bool ok = QTest::qWaitFor([&] { return restored; }, 8000);
    disconnect(c);
    return ok;
}

void ToolsWriteTest::backupAndReadBackKeepTheEditor() {
    const QString radio = dir_->filePath("radio.DAT"), saved = dir_->filePath("after.DAT");
    ImageBytes old{};
    old.fill(0xFF);
    old[0x10] = 0x00;  // channel 2 receive 440.00000 (BCD 00 00 00 44)
    old[0x11] = 0x00;
    old[0x12] = 0x00;
    old[0x13] = 0x44;
    QVERIFY(WriteDatFile(radio, old).ok);
    Sim sim({"--load", radio, "--save", saved});
    ToolsOptions options;
    options.verifyAfterWriting = true;
    options.backupBeforeWriting = true;
    options.backupFolder = dir_->filePath("backups");
    auto f = window(sim.device, options);
    QVERIFY(tools_->actions().verify->isChecked() && tools_->actions().backup->isChecked());

    QCOMPARE(f->document()->editCell(1, 1, "446.00625"), EditResult::Stored);
    const EditorState editor = f->document()->state();
    const ImageBytes written = EncodeImageBytes(editor);

    bool finished = false, ok = false;
    connect(tools_->safeWrite(), &link::SafeWrite::finished, [&](bool good, const QString&) {
        finished = true;
        ok = good;
    });
    f->toolButton("write")->trigger();
    QVERIFY(QTest::qWaitFor([&] { return finished; }, 15000));
    QVERIFY(ok);
    QVERIFY(waitRestored(*f) || f->transfer()->state() == link::TransferState::Idle);

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

    sim.Stop();
    const QByteArray after = Contents(saved);
    QCOMPARE(after.size(), 5 + 848);
    QCOMPARE(int(static_cast<unsigned char>(after[5 + 0])), int(written[0]));  // 446.00625: 25 06 60 44
    QCOMPARE(int(static_cast<unsigned char>(after[5 + 3])), 0x44);
}

void ToolsWriteTest::plainWriteWhenBothOptionsAreOff() {
    const QString radio = dir_->filePath("radio.DAT"), saved = dir_->filePath("after.DAT");
    ImageBytes old{};
    old.fill(0xFF);
    QVERIFY(WriteDatFile(radio, old).ok);
    Sim sim({"--load", radio, "--save", saved});
    auto f = window(sim.device, ToolsOptions{});
    QCOMPARE(f->document()->editCell(1, 1, "446.00625"), EditResult::Stored);
    f->menus().mnuwriteFre->trigger();
    QVERIFY(!tools_->safeWrite()->running());
    QCOMPARE(f->transfer()->state(), link::TransferState::Transferring);
    QVERIFY(waitRestored(*f));
    QVERIFY(boxes_->shown.empty());
    QVERIFY(QDir(dir_->path()).entryList({"R7-backup-*"}).isEmpty());
    sim.Stop();
    QCOMPARE(int(static_cast<unsigned char>(Contents(saved)[5 + 3])), 0x44);
}

QTEST_MAIN(ToolsWriteTest)
#include "tools_write_test.moc"
