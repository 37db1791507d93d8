// The window's commands without a radio: every menu item and tool bar key reaches its
// handler, the lock, the "Test" re-lock, help, about and the maker's page.

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <memory>

#include "link/clone_session.h"
#include "ui/dialogs/about_dialog.h"
#include "ui/dialogs/debug_dialog.h"
#include "ui/dialogs/dialog_support.h"
#include "ui/main/desktop.h"
#include "ui/main/editor_document.h"
#include "ui/main/form1.h"
#include "ui_test_support.h"

using namespace r7;
using namespace r7::ui;

namespace {

// Everything a command can reach, as one log line each.
struct Recorder {
    QStringList log;
    test::ScriptedMessageBoxes boxes;
    test::ScriptedFileDialogs files;
    DesktopOpener previousOpener;
    Recorder() {
        previousOpener = SetDesktopOpener([this](const QUrl& url) {
            log << "open " + url.toString();
            return true;
        });
    }
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

}  // namespace

class CommandsTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        rec_ = std::make_unique<Recorder>();
        form_ = std::make_unique<Form1>();
        form_->setProgramFolder(folder_.path());
        form_->setServiceClock([] { return gNow; });
        form_->setDialogRunner([this](QDialog& dialog) {
            rec_->log << "dialog " + dialog.objectName();
            return int(QDialog::Rejected);
        });
    }

    void cleanup() {
        form_.reset();
        rec_.reset();
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
        QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
        form_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form_.get()));
        QTest::keyClick(form_.get(), Qt::Key_F1);  // its menu is hidden, the key still works
        QTest::keyClick(form_.get(), Qt::Key_R, Qt::ControlModifier);
        QTest::keyClick(form_.get(), Qt::Key_W, Qt::ControlModifier);
        test::Settle();
        const QStringList log = rec_->take();
        QCOMPARE(log.size(), 3);
        QVERIFY(log[0].startsWith("open file:"));
        QCOMPARE(log[1], "box " + QString::fromLatin1(link::kNoPortMessage));
        QCOMPARE(log[2], log[1]);
    }

    void lockTogglesExactlyTheFramesAndTheGrid() {
        Form1& f = *form_;
        auto states = [&] {
            return QString("%1%2%3%4%5").arg(f.isLocked()).arg(f.Frame1()->isEnabled()).arg(f.Frame2()->isEnabled())
                .arg(f.mfgrid1()->isEnabled()).arg(f.Toolbar1()->isEnabled());
        };
        QCOMPARE(states(), QString("01111"));
        f.menus().mnulock->trigger();
        QCOMPARE(states(), QString("10001"));
        QVERIFY(f.menus().mnulock->isChecked());
        // Locked: a right click on a channel opens no menu, and no cell opens an editor.
        int menus = 0;
        f.setContextMenuPresenter([&](QMenu*, const QPoint&) { ++menus; });
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        const QRect cell = f.mfgrid1()->visualRect(f.mfgrid1()->model()->index(0, 1));
        QTest::mouseClick(f.mfgrid1()->viewport(), Qt::RightButton, {}, cell.center());
        QVERIFY(!test::TypeIntoCell(f.mfgrid1(), 1, 1, "446.00625"));
        QCOMPARE(menus, 0);
        QCOMPARE(f.document()->cellText(1, 1), QString());
        f.mnulock_Click();  // the handler itself toggles too
        QCOMPARE(states(), QString("01111"));

        // The start-up path leaves "Optional Set" alone (the parameter file tests show it); one
        // Lock(L) then unlocks all three.
        Form1 restored({[](Form1& w) { w.RestoreLock(true); }, {}});
        restored.menus().mnulock->trigger();
        QVERIFY(!restored.isLocked());
        QVERIFY(restored.Frame1()->isEnabled() && restored.Frame2()->isEnabled() && restored.mfgrid1()->isEnabled());
    }

    void serviceModeOnAndTheTestButtonReLocks() {
        Form1& f = *form_;
        QAction* test = f.toolButton("Test");
        QVERIFY(!test->isVisible());
        bool slidersEnabled = true;
        // Debug(&D): the three hot spots within five seconds, then the close box.
        f.setDialogRunner([&](QDialog& dialog) {
            auto& debug = static_cast<DebugParameterDialog&>(dialog);
            slidersEnabled = debug.slider(1)->isEnabled();
            for (int k : {1, 2, 3}) {
                gNow += 0.5;
                QTest::mouseClick(debug.hotSpot(k), Qt::LeftButton);
            }
            return int(QDialog::Rejected);
        });
        gNow = 200.2;
        f.menus().mnudebug->trigger();
        QVERIFY(!slidersEnabled);  // service mode was off when it opened
        QVERIFY(test->isVisible());
        QCOMPARE(f.document()->state().ServiceUnlocked, 1);

        // A quick pair on "Test" re-locks (its timing is the core's table).
        gNow = 310.0;
        test->trigger();
        QVERIFY(test->isVisible());
        gNow = 310.3;
        test->trigger();
        QVERIFY(!test->isVisible());
        QCOMPARE(f.document()->state().ServiceUnlocked, 0);
        // The next opening follows ServiceUnlocked: sliders off.
        f.setDialogRunner([&](QDialog& dialog) {
            slidersEnabled = static_cast<DebugParameterDialog&>(dialog).slider(1)->isEnabled();
            return int(QDialog::Rejected);
        });
        f.menus().mnudebug->trigger();
        QVERIFY(!slidersEnabled);

        // A re-lock that arrives while the dialog is open locks its sliders at once, and
        // neither OK nor the close box switches service mode back on.
        for (const int result : {int(QDialog::Accepted), int(QDialog::Rejected)}) {
            bool lockedWhileOpen = false;
            f.setDialogRunner([&](QDialog& dialog) -> int {
                auto& debug = static_cast<DebugParameterDialog&>(dialog);
                for (int k : {1, 2, 3}) {
                    gNow += 0.5;
                    QTest::mouseClick(debug.hotSpot(k), Qt::LeftButton);
                }
                if (!debug.slider(1)->isEnabled() || !test->isVisible()) return -1;
                gNow += 10;
                test->trigger();
                gNow += 0.3;
                test->trigger();
                lockedWhileOpen = !debug.slider(1)->isEnabled() && !debug.slider(3)->isEnabled();
                return result;
            });
            gNow += 100;
            f.menus().mnudebug->trigger();
            QVERIFY(lockedWhileOpen);
            QVERIFY(!test->isVisible());
            QCOMPARE(f.document()->state().ServiceUnlocked, 0);
        }
    }

    void dialogsStoreOnOkOnly() {
        Form1& f = *form_;
        const EditorState before = f.document()->state();
        for (bool ok : {false, true}) {
            f.setDialogRunner([&](QDialog& dialog) {
                dialog.findChild<QLineEdit*>("Text1")->setText("HELLO");
                if (!ok) return int(QDialog::Rejected);
                dialog.findChild<QPushButton*>("Command1")->click();
                return dialog.result();
            });
            f.menus().mnusetin->trigger();
            QCOMPARE(f.document()->state().InfoTexts[0] == "HELLO", ok);
        }
        EditorState expected = before;
        expected.InfoTexts[0] = "HELLO";
        QVERIFY(f.document()->state() == expected);  // nothing else moved
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

    void helpOpensTheHelpFileOrTheUserGuide() {
        const QDir dir(folder_.path());
        form_->mnumainhelp_Click();
        QCOMPARE(rec_->take(), QStringList{"open " + QUrl::fromLocalFile(dir.filePath("user-guide.html")).toString()});
        QFile chm(dir.filePath("Morvane-R7.CHM"));
        QVERIFY(chm.open(QIODevice::WriteOnly));
        chm.close();
        form_->mnumainhelp_Click();
        QCOMPARE(rec_->take(), QStringList{"open " + QUrl::fromLocalFile(dir.filePath("Morvane-R7.CHM")).toString()});
        QVERIFY(chm.remove());
        // Installed: the guide under share/doc beside bin.
        QVERIFY(dir.mkpath("bin") && dir.mkpath("share/doc/morvane-r7"));
        QFile guide(dir.filePath("share/doc/morvane-r7/user-guide.html"));
        QVERIFY(guide.open(QIODevice::WriteOnly));
        guide.close();
        QCOMPARE(HelpLocation(dir.filePath("bin")), QUrl::fromLocalFile(guide.fileName()));
    }

private:
    std::unique_ptr<Recorder> rec_;
    std::unique_ptr<Form1> form_;
    QTemporaryDir folder_;
};

QTEST_MAIN(CommandsTest)
#include "commands_test.moc"
