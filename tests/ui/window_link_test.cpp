// The window against morvane-r7-sim on a pseudo-terminal: reads, writes, faults, a port that
// vanishes, the parameter file at start-up and shut-down, and the dialogs' values through
// a file and through the radio.

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QElapsedTimer>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <memory>

#include "files/dat_file.h"
#include "image/editor_defaults.h"
#include "image/image_codec.h"
#include "link/clone_session.h"
#include "link/port_selection.h"
#include "link/transfer_controller.h"
#include "ui/dialogs/debug_dialog.h"
#include "ui/dialogs/dialog_support.h"
#include "ui/dialogs/key_set_dialog.h"
#include "ui/dialogs/test_frequency_dialog.h"
#include "ui/main/editor_document.h"
#include "ui/main/form1.h"
#include "ui/main/saved_settings.h"
#include "ui_test_support.h"

using namespace r7;
using namespace r7::ui;

namespace {

// One simulated radio; Stop() closes its stdin, which makes it save and exit.
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

bool WriteContents(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

ImageBytes SavedImage(const QString& datPath) {
    const QByteArray file = Contents(datPath);
    ImageBytes image{};
    if (file.size() == 5 + 848) std::copy(file.begin() + 5, file.end(), image.begin());
    return image;
}

QString WatchdogMessage() { return QString::fromLatin1(link::kWatchdogMessage); }

// Tool bar, "Programme(&P)", buttons 5 and 6, New, Open and the port menu.
QString Controls(const Form1& f) {
    QString s;
    for (bool on : {f.Toolbar1()->isEnabled(), f.menus().mnupro->menuAction()->isEnabled(),
                    f.menus().mnureadFre->isEnabled(), f.toolButtonAt(5)->isEnabled(),
                    f.toolButtonAt(6)->isEnabled(), f.menus().mnuNew->isEnabled(),
                    f.menus().mnuOpen->isEnabled(), f.menus().mnucom->menuAction()->isEnabled()})
        s += on ? '1' : '0';
    return s;
}

}  // namespace

class WindowLinkTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void readShowsTheRadiosImageAndBlocksOtherTransfers();
    void writeSendsTheWriteListInNormalAndServiceMode();
    void faultsEndInTheWatchdogMessageAndTheWindowStaysUsable();
    void realWatchdogEndsASilentRead();
    void vanishingPortEndsTheTransferAndALaterReadWorks();
    void parameterFileAtStartUpAndShutDown();
    void dialogValuesSurviveAFileAndTheRadio();

private:
    // A window whose saved settings live in the test folder; COM1 is `device`.
    std::unique_ptr<Form1> window(const QString& device);
    bool waitRestored(Form1& f, int ms = 5000);

    std::unique_ptr<test::ScriptedMessageBoxes> boxes_;
    std::unique_ptr<QTemporaryDir> dir_;
};

void WindowLinkTest::init() {
    boxes_ = std::make_unique<test::ScriptedMessageBoxes>();
    dir_ = std::make_unique<QTemporaryDir>();
}

void WindowLinkTest::cleanup() {
    boxes_.reset();
    dir_.reset();
    for (int n = 1; n <= 8; ++n) qunsetenv(qPrintable(QStringLiteral("MORVANE_R7_COM%1").arg(n)));
}

std::unique_ptr<Form1> WindowLinkTest::window(const QString& device) {
    qputenv("MORVANE_R7_COM1", device.toLocal8Bit());
    auto f = std::make_unique<Form1>(SavedSettingsHooks(dir_->path()));
    f->transfer()->setWatchdogInterval(300);
    f->show();
    if (!QTest::qWaitForWindowExposed(f.get())) qWarning("window not exposed");
    return f;
}

bool WindowLinkTest::waitRestored(Form1& f, int ms) {
    bool restored = false;
    const auto c1 = connect(f.transfer(), &link::TransferController::uiRestored, [&] { restored = true; });
    const auto c2 = connect(f.transfer(), &link::TransferController::transferFailed, [&] { restored = true; });
    const bool ok = QTest::qWaitFor([&] { return restored; }, ms);
    disconnect(c1);
    disconnect(c2);
    return ok;
}

void WindowLinkTest::readShowsTheRadiosImageAndBlocksOtherTransfers() {
    ImageBytes memory = EncodeImageBytes(NewConfiguration());
    // Channel 1 receive and transmit 446.00625 MHz, BCD of 10 Hz units, low byte first.
    for (std::size_t at : {0u, 4u}) {
        memory[at + 0] = 0x25;
        memory[at + 1] = 0x06;
        memory[at + 2] = 0x60;
        memory[at + 3] = 0x44;
    }
    memory[0x1C0] ^= 0x01;  // something past the channels differs too
    const QString radio = dir_->filePath("radio.DAT");
    QVERIFY(WriteDatFile(radio, memory).ok);
    Sim sim({"--load", radio});
    auto f = window(sim.device);
    QVERIFY(f->ports()->isChecked(1));
    QVERIFY(f->menus().mnucomPorts[0]->isChecked());
    QCOMPARE(f->menus().mnucomPorts[0]->toolTip(), sim.device);
    f->menus().mnulock->trigger();  // locked: the transfer enables "Model" again, keeps the mark
    EditorState expected = f->document()->state();
    QVERIFY(DecodeImageBytes(memory, expected));

    QList<int> progress;
    connect(f->transfer(), &link::TransferController::progressValueChanged, [&](int v) { progress << v; });
    f->toolButton("read")->trigger();
    // The whole tool bar is off; of the two buttons only the read one itself.
    QCOMPARE(Controls(*f), QString("00001000"));
    QVERIFY(f->Frame1()->isEnabled());
    QVERIFY(f->isLocked() && !f->Frame2()->isEnabled());
    QCOMPARE(f->statusLabel()->text(), QString("Communicating, please waiting"));
    // Nothing starts a second transfer: menu, shortcut handler, tool bar, port menu.
    f->menus().mnuwriteFre->trigger();
    f->mnuwriteFre_Click();
    f->toolButton("write")->trigger();
    f->menus().mnucomPorts[1]->trigger();
    QCOMPARE(f->transfer()->state(), link::TransferState::Transferring);
    QVERIFY(f->ports()->isChecked(1));

    QVERIFY(QTest::qWaitFor([&] { return f->statusLabel()->text() == "Reading succeeds frequently!"; }, 5000));
    QVERIFY(f->document()->state() == expected);
    QCOMPARE(f->document()->cellText(1, 1), QString("446.00625"));
    QVERIFY(!f->ProgressBar1()->isVisible());
    QCOMPARE(f->ProgressBar1()->maximum(), 460);
    QCOMPARE(progress.last(), 448);
    QVERIFY(waitRestored(*f));
    QCOMPARE(Controls(*f), QString("11111111"));
    QVERIFY(f->statusLabel()->isHidden());
    QVERIFY(boxes_->shown.empty());
}

void WindowLinkTest::writeSendsTheWriteListInNormalAndServiceMode() {
    for (bool service : {false, true}) {
        const QString radio = dir_->filePath("before.DAT"), saved = dir_->filePath("after.DAT");
        ImageBytes before{};
        before.fill(0x5A);
        QVERIFY(WriteDatFile(radio, before).ok);
        Sim sim({"--load", radio, "--save", saved});
        auto f = window(sim.device);
        QVERIFY(test::TypeIntoCell(f->mfgrid1(), 1, 1, "446.00625"));
        EditorState next = f->document()->state();
        next.PowerHigh = 0x77;
        next.PowerLow = 0x22;
        next.ServiceUnlocked = service ? 1 : 0;
        f->document()->storeState(next);
        const ImageBytes written = EncodeImageBytes(f->document()->state());
        f->menus().mnuwriteFre->trigger();
        QVERIFY(waitRestored(*f));
        QCOMPARE(f->statusLabel()->isHidden(), true);
        QVERIFY(boxes_->shown.empty());
        sim.Stop();
        const ImageBytes after = SavedImage(saved);
        for (std::size_t k = 0; k < after.size(); ++k) {
            // Written: image 000-16F, 170-17F in service mode only, 1A8-1B7 and 1F0-34F.
            const bool covered =
                k < 0x170 || (service && k < 0x180) || (k >= 0x1A8 && k < 0x1B8) || k >= 0x1F0;
            if (after[k] != (covered ? written[k] : 0x5A))
                QFAIL(qPrintable(QString("offset %1 service %2").arg(k, 3, 16).arg(service)));
        }
        QCOMPARE(int(after[0]), 0x25);  // 446.00625, low BCD byte
        QCOMPARE(int(after[0x173]), service ? 0x77 : 0x5A);  // PowerHigh
    }
}

void WindowLinkTest::faultsEndInTheWatchdogMessageAndTheWindowStaysUsable() {
    const char* faults[] = {"silent", "wrong-identity", "short-block", "wrong-ack", "stop-after=3", "garbage"};
    for (const char* fault : faults) {
        for (const char* command : {"read", "write"}) {
            if (QByteArray(fault) == "short-block" && QByteArray(command) == "write") continue;  // read blocks only
            Sim sim({"--fault", fault});
            auto f = window(sim.device);
            QVERIFY(test::TypeIntoCell(f->mfgrid1(), 2, 1, "450.00000"));
            const EditorState before = f->document()->state();
            boxes_->shown.clear();
            f->toolButton(command)->trigger();
            QVERIFY2(waitRestored(*f, 3000), fault);
            QVERIFY2(boxes_->shown.size() == 1, qPrintable(QString("%1 %2").arg(fault, command)));
            QCOMPARE(boxes_->shown[0].prompt, WatchdogMessage());
            QCOMPARE(boxes_->shown[0].flags, 16u);
            QCOMPARE(boxes_->shown[0].title, QString("Morvane-R7"));
            QCOMPARE(Controls(*f), QString("11111111"));
            QVERIFY(!f->ProgressBar1()->isVisible());
            QVERIFY(f->statusLabel()->isHidden());
            QVERIFY2(f->document()->state() == before, fault);  // a failed read changes nothing
        }
    }
}

void WindowLinkTest::realWatchdogEndsASilentRead() {
    Sim sim({"--fault", "silent"});
    qputenv("MORVANE_R7_COM1", sim.device.toLocal8Bit());
    Form1 f(SavedSettingsHooks(dir_->path()));
    QElapsedTimer clock;
    clock.start();
    f.menus().mnureadFre->trigger();
    QVERIFY(waitRestored(f, 6000));
    QVERIFY(clock.elapsed() >= 2900 && clock.elapsed() < 4500);
    QCOMPARE(boxes_->shown.size(), std::size_t(1));
    QCOMPARE(boxes_->shown[0].prompt, WatchdogMessage());
}

void WindowLinkTest::vanishingPortEndsTheTransferAndALaterReadWorks() {
    auto sim = std::make_unique<Sim>(QStringList{"--fault", "stop-after=2"});
    auto f = window(sim->device);
    int acks = 0;
    QElapsedTimer sinceKill;
    connect(f->transfer(), &link::TransferController::bytesSent, [&](const QByteArray& b) {
        if (b == QByteArray::fromHex("06") && ++acks == 3) {
            sim->process.kill();
            sinceKill.start();
        }
    });
    const EditorState before = f->document()->state();
    f->menus().mnureadFre->trigger();
    QVERIFY(waitRestored(*f, 3000));
    QVERIFY(sinceKill.isValid() && sinceKill.elapsed() < 1500);
    QCOMPARE(Controls(*f), QString("11111111"));
    QVERIFY(f->document()->state() == before);
    // A new cable: choose the port again and read.
    sim = std::make_unique<Sim>(QStringList{});
    qputenv("MORVANE_R7_COM1", sim->device.toLocal8Bit());
    boxes_->shown.clear();
    f->menus().mnucomPorts[0]->trigger();
    QVERIFY(f->menus().mnucomPorts[0]->isChecked());
    f->menus().mnureadFre->trigger();
    QVERIFY(waitRestored(*f));
    QCOMPARE(f->statusLabel()->text(), QString("Reading succeeds frequently!"));
    QVERIFY(boxes_->shown.empty());
}

void WindowLinkTest::parameterFileAtStartUpAndShutDown() {
    Sim sim({});
    const QString file = dir_->filePath("parameter");
    qputenv("MORVANE_R7_COM3", sim.device.toLocal8Bit());
    qputenv("MORVANE_R7_COM5", "/nonexistent/tty5");
    {
        // First start in an empty folder: the file appears, unlocked, COM1 (absent here).
        auto f = window("/nonexistent/tty1");
        QVERIFY(QFile::exists(file));
        QVERIFY(!f->isLocked());
        QCOMPARE(boxes_->shown.size(), std::size_t(1));
        QCOMPARE(boxes_->shown[0].prompt, link::PortSelection::OpenFailureMessage(1));
        f->menus().mnucomPorts[2]->trigger();  // COM3
        f->menus().mnucomPorts[4]->trigger();  // COM5 fails: no mark, the number stays 3
        QCOMPARE(f->ports()->PortNumber(), 3);
        QVERIFY(!f->menus().mnucomPorts[4]->isChecked() && !f->menus().mnucomPorts[2]->isChecked());
        f->menus().mnuQuit->trigger();  // Exit(&Q) stores
        QCOMPARE(Contents(file), QByteArray::fromHex("0003"));
    }
    {
        boxes_->shown.clear();
        auto f = window("/nonexistent/tty1");
        QVERIFY(boxes_->shown.empty());
        QVERIFY(f->menus().mnucomPorts[2]->isChecked());
        QVERIFY(f->transfer()->link().isOpen());
    }
    struct Case {
        const char* bytes;
        bool locked, frame1, frame2, grid;
        int port;
        const char* stored;
    };
    const Case cases[] = {
        {"0103", true, false, true, false, 3, "0103"},
        {"0003", false, true, true, true, 3, "0003"},
        {"0700", false, true, true, true, 1, "0001"},  // neither 0 nor 1: left unchecked
        {"0109", true, false, true, false, 1, "0101"},
        {"01030a0b0c0d0e0f1011", true, false, true, false, 3, "01030a0b0c0d0e0f1011"},  // bytes 3-10 kept
        {"", false, true, true, true, 1, "0001"},
    };
    qputenv("MORVANE_R7_COM1", sim.device.toLocal8Bit());
    for (const Case& c : cases) {
        QVERIFY(WriteContents(file, QByteArray::fromHex(c.bytes)));
        Form1 f(SavedSettingsHooks(dir_->path()));
        QCOMPARE(f.isLocked(), c.locked);
        QCOMPARE(f.Frame1()->isEnabled(), c.frame1);
        QCOMPARE(f.Frame2()->isEnabled(), c.frame2);
        QCOMPARE(f.mfgrid1()->isEnabled(), c.grid);
        QCOMPARE(f.ports()->PortNumber(), c.port);
        f.close();  // the close box stores too
        QCOMPARE(Contents(file).toHex(), QByteArray(c.stored));
    }
    // A folder that cannot be written never keeps the window from closing.
    Form1 f(SavedSettingsHooks(dir_->filePath("missing/folder")));
    QVERIFY(f.close());
}

void WindowLinkTest::dialogValuesSurviveAFileAndTheRadio() {
    Sim sim({});
    auto f = window(sim.device);
    double now = 50.0;
    f->setServiceClock([&] { return now; });
    QString voxName;
    int voxPosition = -1;
    f->setDialogRunner([&](QDialog& d) -> int {
        const QString name = d.objectName();
        if (name == "Form5") {
            auto* vox = d.findChild<QGroupBox*>("Frame1")->findChildren<QComboBox*>().first();
            voxName = vox->objectName();
            voxPosition = vox->count() - 1;
            vox->setCurrentIndex(voxPosition);
            for (QCheckBox* box : d.findChildren<QCheckBox*>()) box->setChecked(!box->isChecked());
        } else if (name == "Form6") {
            static_cast<KeySetDialog&>(d).keyList(1)->setCurrentIndex(3);
        } else if (name == "Form7") {
            d.findChild<QLineEdit*>("Text1")->setText("HELLO R7");
            d.findChild<QLineEdit*>("Text2")->setText("CH 2");
        } else if (name == "Form4") {
            auto* grid = static_cast<TestFrequencyDialog&>(d).grid();
            grid->item(1, 1)->setText("450.12500");
            grid->item(16, 2)->setText("469.99375");
        } else if (name == "Form2") {
            auto& debug = static_cast<DebugParameterDialog&>(d);
            for (int k : {1, 2, 3}) QTest::mouseClick(debug.hotSpot(k), Qt::LeftButton);
            debug.slider(1)->setValue(255);
            debug.slider(3)->setValue(17);
        }
        d.findChild<QPushButton*>("Command1")->click();
        return d.result();
    });
    for (QAction* item : {f->menus().mnudtmf, f->menus().Key_enactment, f->menus().mnusetin,
                          f->menus().mnutestfre, f->menus().mnudebug})
        item->trigger();
    const EditorState edited = f->document()->state();
    QCOMPARE(edited.InfoTexts[0], std::string("HELLO R7"));
    QCOMPARE(edited.testFrequency(1, 1), std::string("450.12500"));
    QCOMPARE(edited.testFrequency(16, 2), std::string("469.99375"));
    QCOMPARE(edited.PowerHigh, 255);
    QCOMPARE(edited.PowerLow, 17);
    QCOMPARE(edited.ServiceUnlocked, 1);
    QVERIFY(f->toolButton("Test")->isVisible());
    QVERIFY(edited.KeyPF1 != NewConfiguration().KeyPF1);
    QVERIFY(!voxName.isEmpty());
    const EditorState fresh = NewConfiguration();
    QVERIFY(edited.OptionValues != fresh.OptionValues);

    // What the image carries, compared field by field.
    auto same = [](const EditorState& a, const EditorState& b) {
        return a.OptionValues == b.OptionValues && a.InfoTexts == b.InfoTexts &&
               a.TestFrequencies == b.TestFrequencies && a.PowerHigh == b.PowerHigh &&
               a.PowerLow == b.PowerLow && a.rows == b.rows && a.combos == b.combos;
    };
    auto optionsInImage = [](EditorState s) {
        // The run-only values never reach an image; compare what does.
        s.DtmfValues = NewConfiguration().DtmfValues;
        return s;
    };

    // Save, then Open in a fresh window.
    test::ScriptedFileDialogs files;
    const QString dat = dir_->filePath("dialogs.DAT");
    files.answers = {dat};
    f->menus().mnuAssave->trigger();
    QVERIFY(QFile::exists(dat));
    {
        Form1 other;
        files.answers = {dat};
        other.menus().mnuOpen->trigger();
        QVERIFY(same(optionsInImage(other.document()->state()), optionsInImage(edited)));
    }

    // Write (service mode on, so the calibration goes too), then read into a fresh window.
    f->menus().mnuwriteFre->trigger();
    QVERIFY(waitRestored(*f));
    QCOMPARE(f->statusLabel()->text(), QString("Writing succeeds frequently!"));
    f.reset();
    auto reader = window(sim.device);
    reader->toolButton("read")->trigger();
    QVERIFY(waitRestored(*reader));
    QVERIFY(boxes_->shown.empty());
    const EditorState read = reader->document()->state();
    QVERIFY(same(optionsInImage(read), optionsInImage(edited)));
    QCOMPARE(read.ServiceUnlocked, 0);  // a read ends service mode
}

QTEST_MAIN(WindowLinkTest)
#include "window_link_test.moc"
