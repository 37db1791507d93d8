// The window's commands without a radio: every menu item and tool bar key reaches its
// handler, the lock, the "Test" re-lock, help, about and the maker's page.

#include "link/clone_session.h"
#include "ui/main/desktop.h"
#include "ui_test_support.h"

namespace {

// Everything a command can reach, as one log line each.
struct Recorder {
    QStringList log;
    test::ScriptedMessageBoxes boxes;
    test::ScriptedFileDialogs files;
    DesktopOpener previousOpener = SetDesktopOpener([this](const QUrl& url) { return log << "open " + url.toString(), true; });
    ~Recorder() { SetDesktopOpener(std::move(previousOpener)); }
    QStringList take() {
        for (const MessageBoxRequest& r : boxes.shown) log << "box " + r.prompt;
        for (const FileDialogRequest& r : files.shown)
            log << (r.mode == FileDialogMode::Open ? "file open" : "file save");
        boxes.shown.clear();
        files.shown.clear();
        return std::exchange(log, {});
    }
};

double gNow = 100.0;

// The three hot spots of the Debug dialog within five seconds.
void Unlock(QDialog& dialog) {
    for (int k : {1, 2, 3}) {
        gNow += 0.5;
        QTest::mouseClick(static_cast<DebugParameterDialog&>(dialog).hotSpot(k), Qt::LeftButton);
    }
}

bool SlidersOn(QDialog& dialog) { return static_cast<DebugParameterDialog&>(dialog).slider(1)->isEnabled(); }

}  // namespace

class CommandsTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        form_.reset();
        rec_.reset();  // before the next one: each puts back the presenters it found
        rec_ = std::make_unique<Recorder>();
        form_ = std::make_unique<Form1>();
        form_->setProgramFolder(folder_.path());
        form_->setServiceClock([] { return gNow; });
        form_->setDialogRunner([this](QDialog& dialog) {
            rec_->log << "dialog " + dialog.objectName();
            return int(QDialog::Rejected);
        });
    }

    void everyCommandReachesItsHandler() {
        const QString guide = QUrl::fromLocalFile(QDir(folder_.path()).filePath("user-guide.html")).toString();
        const QString noPort = QString::fromLatin1(link::kNoPortMessage);
        const QString clear = "box The data of the all channel will be removed! ";
        const struct {
            const char* item;  // a menu item's objectName, or a tool bar key
            QStringList expected;
        } rows[] = {
            {"mnuNew", {clear}}, {"new", {clear}}, {"mnuOpen", {"file open"}}, {"open", {"file open"}},
            {"mnuAssave", {"file save"}}, {"save", {"file save"}}, {"mnureadFre", {"box " + noPort}},
            {"read", {"box " + noPort}}, {"mnuwriteFre", {"box " + noPort}}, {"write", {"box " + noPort}},
            {"mnudtmf", {"dialog Form5"}}, {"Key_enactment", {"dialog Form6"}}, {"mnusetin", {"dialog Form7"}},
            {"mnudebug", {"dialog Form2"}}, {"mnutestfre", {"dialog Form4"}}, {"mnuabout", {"dialog frmAbout"}},
            {"mnumainhelp", {"open " + guide}},
        };
        for (const auto& r : rows) {
            QAction* action = form_->toolButton(r.item) ? form_->toolButton(r.item)
                                                        : form_->findChild<QAction*>(r.item);
            QVERIFY2(action, r.item);
            rec_->boxes.answers = {kResultCancel};  // New: keep the channels
            action->trigger();
            test::Settle();
            QCOMPARE(rec_->take(), r.expected);
        }
    }

    void shortcutsReachTheirCommands() {
        form_->show();
        form_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form_.get()));
        for (const QKeySequence& key : {QKeySequence(Qt::Key_F1), QKeySequence("Ctrl+R"), QKeySequence("Ctrl+W")})
            QTest::keySequence(form_.get(), key);  // F1: its menu is hidden, the key still works
        test::Settle();
        const QString noPort = "box " + QString::fromLatin1(link::kNoPortMessage);
        QCOMPARE(rec_->take().replaceInStrings(QRegularExpression("^open file:.*"), "help"),
                 (QStringList{"help", noPort, noPort}));
    }

    void lockTogglesExactlyTheFramesAndTheGrid() {
        Form1& f = *form_;
        auto states = [](Form1& w) {
            return QString("%1%2%3%4%5%6").arg(w.isLocked()).arg(w.Frame1()->isEnabled()).arg(w.Frame2()->isEnabled())
                .arg(w.mfgrid1()->isEnabled()).arg(w.Toolbar1()->isEnabled()).arg(w.menus().mnulock->isChecked());
        };
        QCOMPARE(states(f), QString("011110"));
        f.menus().mnulock->trigger();
        QCOMPARE(states(f), QString("100011"));
        // Locked: a right click on a channel opens no menu, and no cell opens an editor.
        int menus = 0;
        f.setContextMenuPresenter([&](QMenu*, const QPoint&) { ++menus; });
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        const QRect cell = f.mfgrid1()->visualRect(f.mfgrid1()->model()->index(0, 1));
        QTest::mouseClick(f.mfgrid1()->viewport(), Qt::RightButton, {}, cell.center());
        QVERIFY(!test::TypeIntoCell(f.mfgrid1(), 1, 1, "446.00625"));
        QVERIFY(menus == 0 && f.document()->cellText(1, 1).isEmpty());
        f.mnulock_Click();  // the handler itself toggles too
        QCOMPARE(states(f), QString("011110"));

        // The start-up path leaves "Optional Set" alone (the parameter file tests show it); one
        // Lock(L) then unlocks all three.
        Form1 restored({[](Form1& w) { w.restoreLock(true); }, {}});
        restored.menus().mnulock->trigger();
        QCOMPARE(states(restored).left(4), QString("0111"));
    }

    void serviceModeOnAndTheTestButtonReLocks() {
        Form1& f = *form_;
        QAction* test = f.toolButton("Test");
        QVERIFY(!test->isVisible());
        bool slidersEnabled = true;
        // Debug(&D), notes whether its sliders open enabled; unlocking: the three hot spots
        // within five seconds, then the close box.
        const auto openDebug = [&](bool unlock) {
            f.setDialogRunner([&, unlock](QDialog& dialog) {
                slidersEnabled = SlidersOn(dialog);
                if (unlock) Unlock(dialog);
                return int(QDialog::Rejected);
            });
            f.menus().mnudebug->trigger();
        };
        gNow = 200.2;
        openDebug(true);
        QVERIFY(!slidersEnabled);  // service mode was off when it opened
        QVERIFY(test->isVisible());
        QCOMPARE(f.document()->state().ServiceUnlocked, 1);

        // A quick pair on "Test" re-locks (its timing is the core's table).
        gNow = 310.0;
        test->trigger();
        QVERIFY(test->isVisible());
        gNow = 310.3;
        test->trigger();
        QVERIFY(!test->isVisible() && f.document()->state().ServiceUnlocked == 0);
        // The next opening follows ServiceUnlocked: sliders off.
        openDebug(false);
        QVERIFY(!slidersEnabled);

        // A re-lock that arrives while the dialog is open locks its sliders at once, and
        // neither OK nor the close box switches service mode back on.
        for (const int result : {int(QDialog::Accepted), int(QDialog::Rejected)}) {
            bool lockedWhileOpen = false;
            f.setDialogRunner([&](QDialog& dialog) -> int {
                auto& debug = static_cast<DebugParameterDialog&>(dialog);
                Unlock(dialog);
                if (!SlidersOn(dialog) || !test->isVisible()) return -1;
                gNow += 10;
                test->trigger();
                gNow += 0.3;
                test->trigger();
                lockedWhileOpen = !debug.slider(1)->isEnabled() && !debug.slider(3)->isEnabled();
                return result;
            });
            gNow += 100;
            f.menus().mnudebug->trigger();
            QVERIFY(lockedWhileOpen && !test->isVisible() && f.document()->state().ServiceUnlocked == 0);
        }
    }

    void dialogsStoreOnOkOnly() {
        Form1& f = *form_;
        EditorState expected = f.document()->state();
        for (bool ok : {false, true}) {
            f.setDialogRunner([&](QDialog& dialog) {
                dialog.findChild<QLineEdit*>("Text1")->setText("HELLO");
                if (!ok) return int(QDialog::Rejected);
                dialog.findChild<QPushButton*>("Command1")->click();
                return dialog.result();
            });
            f.menus().mnusetin->trigger();
            if (ok) expected.InfoTexts[0] = "HELLO";
            QVERIFY2(f.document()->state() == expected, ok ? "OK" : "Cancel");  // and nothing else moved
        }
    }

    void aboutBoxLinksToTheMaker() {
        // The box's texts are the dialog tests' part; here the window owns it and opens the page.
        bool owned = false;
        form_->setDialogRunner([&](QDialog& dialog) -> int {
            owned = dialog.parentWidget() == form_.get();
            QTest::mouseClick(static_cast<AboutDialog&>(dialog).description(), Qt::LeftButton);
            return int(QDialog::Accepted);
        });
        form_->menus().mnuabout->trigger();
        QVERIFY(owned);
        // The hidden maker's label of the window leads to the same page.
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton, Qt::LeftButton, {});
        QCoreApplication::sendEvent(form_->Label2(), &press);
        const QString page = "open " + QString::fromLatin1(kMakerWebAddress);
        QCOMPARE(rec_->take(), (QStringList{page, page}));
    }

    // Beside the program: the .CHM when there is one, else the guide; installed, the guide
    // under share/doc beside bin.
    void helpOpensTheHelpFileOrTheUserGuide() {
        const QDir dir(folder_.path());
        const QString chm = dir.filePath("Morvane-R7.CHM"), guide = dir.filePath("share/doc/morvane-r7/user-guide.html");
        for (const QString& file : {QString(), chm}) {
            if (!file.isEmpty()) QVERIFY(test::WriteFile(file, {}));
            form_->mnumainhelp_Click();
            QCOMPARE(rec_->take(), QStringList{"open " + QUrl::fromLocalFile(file.isEmpty() ? dir.filePath("user-guide.html")
                                                                                                : file).toString()});
        }
        QVERIFY(QFile::remove(chm) && dir.mkpath("bin") && dir.mkpath("share/doc/morvane-r7"));
        QVERIFY(test::WriteFile(guide, {}));
        QCOMPARE(HelpLocation(dir.filePath("bin")), QUrl::fromLocalFile(guide));
    }

private:
    std::unique_ptr<Recorder> rec_;
    std::unique_ptr<Form1> form_;
    QTemporaryDir folder_;
};

QTEST_MAIN(CommandsTest)
#include "commands_test.moc"
