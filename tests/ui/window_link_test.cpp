// The window against morvane-r7-sim on a pseudo-terminal: what only the window does around a
// read or a write (controls, texts, messages, the editor) and the parameter file it keeps.
// The bytes on the wire and every fault of the radio are the link tests' part.

#include <QAction>
#include <QElapsedTimer>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <memory>

#include "files/dat_file.h"
#include "image/editor_defaults.h"
#include "link/clone_session.h"
#include "link/port_selection.h"
#include "ui/main/editor_document.h"
#include "window_sim_support.h"

using namespace r7;
using namespace r7::ui;
using test::Sim;

namespace {

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
    void init() {
        boxes_ = std::make_unique<test::ScriptedMessageBoxes>();
        dir_ = std::make_unique<QTemporaryDir>();
    }

    void cleanup() {
        boxes_.reset();
        dir_.reset();
        for (int n = 1; n <= 8; ++n) qunsetenv(qPrintable(QStringLiteral("MORVANE_R7_COM%1").arg(n)));
    }

    void readShowsTheRadiosImageAndBlocksOtherTransfers() {
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
        QCOMPARE(progress.last(), 448);
        QVERIFY(test::WaitRestored(*f));
        QCOMPARE(Controls(*f), QString("11111111"));
        QVERIFY(f->statusLabel()->isHidden());
        QVERIFY(boxes_->shown.empty());
    }

    void writeSendsTheEditorAndItsServiceMode() {
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
            next.ServiceUnlocked = service ? 1 : 0;
            f->document()->storeState(next);
            f->menus().mnuwriteFre->trigger();
            QVERIFY(test::WaitRestored(*f));
            QCOMPARE(f->statusLabel()->text(), QString("Writing succeeds frequently!"));
            QVERIFY(f->statusLabel()->isHidden());
            QVERIFY(boxes_->shown.empty());
            sim.Stop();
            const ImageBytes after = test::SavedImage(saved);
            QCOMPARE(int(after[0x00]), 0x25);  // 446.00625: 25 06 60 44
            QCOMPARE(int(after[0x03]), 0x44);
            QCOMPARE(int(after[0x173]), service ? 0x77 : 0x5A);  // PowerHigh only in service mode
            QCOMPARE(int(after[0x180]), 0x5A);                   // outside the write list
        }
    }

    void faultsEndInTheWatchdogMessageAndTheWindowStaysUsable() {
        // One fault of each kind: no answer, a bad identity, a bad block, a bad acknowledge and
        // a radio that stops half way (a read then has part of an image, which must not show).
        const std::pair<const char*, const char*> cases[] = {
            {"silent", "write"}, {"wrong-identity", "read"}, {"short-block", "read"},
            {"wrong-ack", "write"}, {"stop-after=3", "read"},
        };
        for (const auto& [fault, command] : cases) {
            const QString name = QString("%1 %2").arg(fault, command);
            Sim sim({"--fault", fault});
            auto f = window(sim.device);
            QVERIFY(test::TypeIntoCell(f->mfgrid1(), 2, 1, "450.00000"));
            const EditorState before = f->document()->state();
            boxes_->shown.clear();
            f->toolButton(command)->trigger();
            QVERIFY2(test::WaitRestored(*f, 3000), qPrintable(name));
            QVERIFY2(boxes_->texts() == QStringList{"Morvane-R7|16|" + QString::fromLatin1(link::kWatchdogMessage)},
                     qPrintable(name));
            QCOMPARE(Controls(*f), QString("11111111"));
            QVERIFY(!f->ProgressBar1()->isVisible());
            QVERIFY(f->statusLabel()->isHidden());
            QVERIFY2(f->document()->state() == before, qPrintable(name));
        }
    }

    void vanishingPortEndsTheTransferAndALaterReadWorks() {
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
        QVERIFY(test::WaitRestored(*f, 3000));
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
        QVERIFY(test::WaitRestored(*f));
        QCOMPARE(f->statusLabel()->text(), QString("Reading succeeds frequently!"));
        QVERIFY(boxes_->shown.empty());
    }

    void parameterFileAtStartUpAndShutDown() {
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
            QCOMPARE(test::Contents(file), QByteArray::fromHex("0003"));
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
            {"0700", false, true, true, true, 1, "0001"},  // neither 0 nor 1: left unchecked
            {"0109", true, false, true, false, 1, "0101"},
            {"01030a0b0c0d0e0f1011", true, false, true, false, 3, "01030a0b0c0d0e0f1011"},  // bytes 3-10 kept
            {"", false, true, true, true, 1, "0001"},
        };
        qputenv("MORVANE_R7_COM1", sim.device.toLocal8Bit());
        for (const Case& c : cases) {
            QVERIFY(test::WriteFile(file, QByteArray::fromHex(c.bytes)));
            Form1 f(SavedSettingsHooks(dir_->path()));
            QCOMPARE(f.isLocked(), c.locked);
            QCOMPARE(f.Frame1()->isEnabled(), c.frame1);
            QCOMPARE(f.Frame2()->isEnabled(), c.frame2);
            QCOMPARE(f.mfgrid1()->isEnabled(), c.grid);
            QCOMPARE(f.ports()->PortNumber(), c.port);
            f.close();  // the close box stores too
            QCOMPARE(test::Contents(file).toHex(), QByteArray(c.stored));
        }
        // A folder that cannot be written never keeps the window from closing.
        Form1 f(SavedSettingsHooks(dir_->filePath("missing/folder")));
        QVERIFY(f.close());
    }

private:
    std::unique_ptr<Form1> window(const QString& device) { return test::LinkedWindow(dir_->path(), device); }

    std::unique_ptr<test::ScriptedMessageBoxes> boxes_;
    std::unique_ptr<QTemporaryDir> dir_;
};

QTEST_MAIN(WindowLinkTest)
#include "window_link_test.moc"
