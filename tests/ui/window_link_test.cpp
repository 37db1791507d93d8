// The window against morvane-r7-sim on a pseudo-terminal: what only the window does around a
// read or a write (controls, texts, messages, the editor) and the parameter file it keeps.
// The bytes on the wire and every fault of the radio are the link tests' part, what a write
// leaves in the radio tools_write_test's.

#include "link/clone_session.h"
#include "link/port_selection.h"
#include "window_sim_support.h"

using test::Sim;

namespace {

const QString kWatchdogBox = "Morvane-R7|16|" + QString::fromLatin1(link::kWatchdogMessage);

// Tool bar, "Programme(&P)", read and write (menu items and buttons alike), New, Open and
// the port menu.
QString Controls(const Form1& f) {
    QString s;
    for (bool on : {f.Toolbar1()->isEnabled(), f.menus().mnupro->menuAction()->isEnabled(),
                    f.toolButton("read")->isEnabled(), f.toolButton("write")->isEnabled(),
                    f.menus().mnuNew->isEnabled(), f.menus().mnuOpen->isEnabled(),
                    f.menus().mnucom->menuAction()->isEnabled()})
        s += on ? '1' : '0';
    return s;
}

// The check marks of the items COM1 to COM8.
QString PortMarks(const Form1& f) {
    QString marks;
    for (const QAction* item : f.menus().mnucomPorts) marks += item->isChecked() ? '1' : '0';
    return marks;
}

}  // namespace

class WindowLinkTest : public QObject {
    Q_OBJECT
private slots:
    void init() { d_ = std::make_unique<test::ScriptedDesktop>(); }

    void cleanup() {
        for (int n = 1; n <= 8; ++n)
            qunsetenv(qPrintable(QStringLiteral("MORVANE_R7_COM%1").arg(n)));
    }

    void readShowsTheRadiosImageAndBlocksOtherTransfers() {
        ImageBytes memory = EncodeImageBytes(NewConfiguration());
        // Channel 1 receive and transmit 446.00625 MHz, BCD of 10 Hz units, low byte first.
        for (std::size_t at : {0u, 4u})
            std::ranges::copy(std::array<std::uint8_t, 4>{0x25, 0x06, 0x60, 0x44}, &memory[at]);
        memory[0x1C0] ^= 0x01;  // something past the channels differs too
        const QString radio = d_->path("radio.DAT");
        QVERIFY(WriteDatFile(radio, memory).has_value());
        Sim sim({"--load", radio});
        auto f = window(sim.device);
        QVERIFY(f->ports()->isChecked(1) && f->menus().mnucomPorts[0]->isChecked());
        QCOMPARE(f->menus().mnucomPorts[0]->toolTip(), sim.device);
        f->menus()
            .mnulock->trigger();  // locked: the transfer enables "Model" again, keeps the mark
        EditorState expected = f->document()->state();
        QVERIFY(DecodeImageBytes(memory, expected));

        QList<int> progress;
        connect(f->transfer(), &link::TransferController::progressValueChanged,
                [&](int v) { progress << v; });
        f->toolButton("read")->trigger();
        // The whole tool bar is off, and the buttons with the menu items they share.
        QCOMPARE(Controls(*f), QString("0000000"));
        QVERIFY(f->Frame1()->isEnabled() && f->locked() && !f->Frame2()->isEnabled());
        QCOMPARE(f->statusLabel()->text(), QString("Communicating, please waiting"));
        // Nothing starts a second transfer: menu (and its tool bar button), shortcut handler, port
        // menu.
        f->menus().mnuwriteFre->trigger();
        f->mnuwriteFre_Click();
        f->menus().mnucomPorts[1]->trigger();
        QVERIFY(f->transfer()->state() == link::TransferState::Transferring);
        QCOMPARE(PortMarks(*f), QString("10000000"));  // the item clicked keeps no mark

        QVERIFY(QTest::qWaitFor(
            [&] { return f->statusLabel()->text() == "Reading succeeds frequently!"; }, 5000));
        QVERIFY(f->document()->state() == expected && f->document()->cellText(1, 1) == "446.00625");
        QVERIFY(!f->ProgressBar1()->isVisible() && progress.last() == 448);
        QVERIFY(ended(*f));
        // A second read's bar starts from nothing again.
        QList<int> shownAt;
        connect(f->transfer(), &link::TransferController::progressShown,
                [&] { shownAt << f->ProgressBar1()->value(); });
        f->toolButton("read")->trigger();
        QVERIFY(ended(*f));
        QCOMPARE(shownAt, QList<int>{0});
    }

    void faultsEndInTheWatchdogMessageAndTheWindowStaysUsable() {
        // One fault of each kind: no answer, a bad identity, a bad block, a bad acknowledge and
        // a radio that stops half way (a read then has part of an image, which must not show).
        const std::pair<const char*, const char*> cases[] = {
            {"silent", "write"},    {"wrong-identity", "read"}, {"short-block", "read"},
            {"wrong-ack", "write"}, {"stop-after=3", "read"},
        };
        for (const auto& [fault, command] : cases) {
            const QString name = QString("%1 %2").arg(fault, command);
            Sim sim({"--fault", fault});
            auto f = window(sim.device);
            QVERIFY(QTest::qWaitForWindowActive(f.get()));
            QVERIFY(test::TypeIntoCell(f->mfgrid1(), 2, 1, "450.00000"));
            const EditorState before = f->document()->state();
            f->document()->replaceState(before);  // as if written: the read asks nothing
            // Ctrl+R or Ctrl+W from the grid, which keeps the focus.
            QTest::keyClick(f->mfgrid1(), command == QByteArray("read") ? Qt::Key_R : Qt::Key_W,
                            Qt::ControlModifier);
            QVERIFY2(ended(*f, {kWatchdogBox}, 3000), qPrintable(name));
            QCOMPARE(QApplication::focusWidget(), f->mfgrid1());
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
        QVERIFY(ended(*f, {kWatchdogBox}, 3000) && f->document()->state() == before);
        QVERIFY(sinceKill.isValid() && sinceKill.elapsed() < 1500);
        // A new cable: choose the port again and read.
        sim = std::make_unique<Sim>(QStringList{});
        qputenv("MORVANE_R7_COM1", sim->device.toLocal8Bit());
        f->menus().mnucomPorts[0]->trigger();
        QVERIFY(f->menus().mnucomPorts[0]->isChecked());
        f->menus().mnureadFre->trigger();
        QVERIFY(ended(*f));
        QCOMPARE(f->statusLabel()->text(), QString("Reading succeeds frequently!"));
    }

    void parameterFileAtStartUpAndShutDown() {
        Sim sim({});
        const QString file = d_->path("parameter");
        qputenv("MORVANE_R7_COM3", sim.device.toLocal8Bit());
        qputenv("MORVANE_R7_COM5", "/nonexistent/tty5");
        {
            // First start in an empty folder: the file appears, unlocked, COM1 (absent here).
            auto f = window("/nonexistent/tty1");
            QVERIFY(QFile::exists(file) && !f->locked());
            QCOMPARE(PortMarks(*f), QString("00000000"));
            QVERIFY(d_->boxes.shown.size() == 1 &&
                    d_->boxes.shown[0].prompt == link::PortSelection::OpenFailureMessage(1));
            f->menus().mnucomPorts[4]->trigger();  // COM5 fails with nothing open: no mark
            QCOMPARE(PortMarks(*f), QString("00000000"));
            f->menus().mnucomPorts[2]->trigger();  // COM3
            QCOMPARE(PortMarks(*f), QString("00100000"));
            f->menus().mnucomPorts[4]->trigger();  // COM5 fails: no mark, the number stays 3
            QCOMPARE(f->ports()->PortNumber(), 3);
            QCOMPARE(PortMarks(*f), QString("00000000"));
            f->menus().mnuQuit->trigger();  // Exit(&Q) stores
            QCOMPARE(test::Contents(file), QByteArray::fromHex("0003"));
        }
        // Bytes at start-up -> "locked Frame1 Frame2 grid port", the port open and its item
        // checked without a word, and the bytes it stores again.
        const std::array<const char*, 3> cases[] = {
            {"0003", "0111 3", "0003"},  // as the first start left it
            {"0103", "1010 3", "0103"},
            {"0700", "0111 1", "0001"},  // neither 0 nor 1: left unchecked
            {"0109", "1010 1", "0101"},
            {"", "0111 1", "0001"},
        };
        qputenv("MORVANE_R7_COM1", sim.device.toLocal8Bit());
        for (const auto& [bytes, shown, stored] : cases) {
            QVERIFY(test::WriteFile(file, QByteArray::fromHex(bytes)));
            d_->boxes.shown.clear();
            auto f = d_->window(SavedSettingsHooks(d_->dir.path()));
            QCOMPARE(QString("%1%2%3%4 %5")
                         .arg(f->locked())
                         .arg(f->Frame1()->isEnabled())
                         .arg(f->Frame2()->isEnabled())
                         .arg(f->mfgrid1()->isEnabled())
                         .arg(f->ports()->PortNumber()),
                     QString(shown));
            const int port = f->ports()->PortNumber();
            QVERIFY(d_->boxes.shown.empty() && f->menus().mnucomPorts[port - 1]->isChecked() &&
                    f->transfer()->link().isOpen());
            f->close();  // the close box stores too
            QCOMPARE(test::Contents(file).toHex(), QByteArray(stored));
        }
        // A folder that cannot be written never keeps the window from closing.
        QVERIFY(d_->window(SavedSettingsHooks(d_->path("missing/folder")))->close());
    }

private:
    // The transfer has ended: every control back, progress and status gone, and `said` the
    // boxes shown meanwhile (forgotten then).
    bool ended(Form1& f, const QStringList& said = {}, int ms = 5000) {
        const bool ok = test::WaitRestored(f, ms) && Controls(f) == "1111111" &&
                        !f.ProgressBar1()->isVisible() && f.statusLabel()->isHidden() &&
                        d_->boxes.texts() == said;
        if (!ok) qWarning() << "not ended as expected:" << Controls(f) << d_->boxes.texts();
        d_->boxes.shown.clear();
        return ok;
    }

    std::unique_ptr<Form1> window(const QString& device) { return test::LinkedWindow(*d_, device); }

    std::unique_ptr<test::ScriptedDesktop> d_;
};

QTEST_MAIN(WindowLinkTest)
#include "window_link_test.moc"
