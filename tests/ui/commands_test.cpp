// The window's commands without a radio: every menu item and tool bar key reaches its
// handler, the lock, the "Test" re-lock, help, about and the maker's page.

#include "link/clone_session.h"
#include "ui/main/desktop.h"
#include "ui_test_support.h"

namespace {

// Everything a command reached on `d`, as one line each: dialogs, pages, boxes, file dialogs.
QStringList Take(test::ScriptedDesktop& d, QStringList& dialogs) {
    QStringList log = std::exchange(dialogs, {});
    for (const QString& url : d.opened) log << "open " + url;
    for (const MessageBoxRequest& r : d.boxes.shown) log << "box " + r.prompt;
    for (const FileDialogRequest& r : d.files.shown)
        log << (r.mode == FileDialogMode::Open ? "file open" : "file save");
    d.boxes.shown.clear();
    d.files.shown.clear();
    d.opened.clear();
    return log;
}

// The three hot spots of the Debug dialog within five seconds.
void Unlock(QDialog& dialog, double& now) {
    for (int k : {1, 2, 3}) {
        now += 0.5;
        QTest::mouseClick(static_cast<DebugParameterDialog&>(dialog).hotSpot(k), Qt::LeftButton);
    }
}

// The button of the tool bar with that key, as the user clicks it.
QWidget* ToolButton(Form1& f, const char* key) {
    QAction* entry = f.Toolbar1()->findChild<QAction*>(key, Qt::FindDirectChildrenOnly);
    return entry ? f.Toolbar1()->widgetForAction(entry) : nullptr;
}

bool SlidersOn(QDialog& dialog) {
    return static_cast<DebugParameterDialog&>(dialog).slider(1)->isEnabled();
}

}  // namespace

class CommandsTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        form_.reset();
        d_ = std::make_unique<test::ScriptedDesktop>();
        d_->dialogs = [this](QDialog& dialog) {  // and every dialog is the window's own
            const bool owned = dialog.parentWidget() == form_.get();
            return dialogs_ << "dialog " + dialog.objectName() + (owned ? "" : " unowned"),
                   int(QDialog::Rejected);
        };
        form_ = d_->window();
    }

    // Menu items, tool bar buttons (clicked) and shortcuts (F1 although its menu is hidden).
    void everyCommandReachesItsHandler() {
        form_->show();
        QVERIFY(QTest::qWaitForWindowActive(form_.get()));
        const QString guidePath = QDir(d_->dir.path()).filePath("user-guide.html");
        QVERIFY(test::WriteFile(guidePath, {}));
        const QString guide = QUrl::fromLocalFile(guidePath).toString();
        const QString noPort = QString::fromLatin1(link::kNoPortMessage);
        const QString clear = "The data of the all channel will be removed! ";
        for (const test::Fields& r : test::Table("commands")) {
            const char* item = r[0].c_str();
            QWidget* button = ToolButton(*form_, item);
            QAction* action = form_->findChild<QAction*>(item);
            d_->boxes.answers = {kResultCancel};  // New: keep the channels
            if (button)
                QTest::mouseClick(button, Qt::LeftButton);
            else if (action)
                action->trigger();
            else
                QTest::keySequence(form_.get(), QKeySequence(item));
            test::Settle();
            QCOMPARE(take(), QStringList{QString::fromStdString(r[1])
                                             .replace("$clear", clear)
                                             .replace("$noPort", noPort)
                                             .replace("$guide", guide)});
        }
    }

    // The start-up path leaves "Optional Set" alone: window_link_test's parameter file rows.
    void lockTogglesExactlyTheFramesAndTheGrid() {
        Form1& f = *form_;
        auto states = [](Form1& w) {
            return QString("%1%2%3%4%5%6")
                .arg(w.locked())
                .arg(w.Frame1()->isEnabled())
                .arg(w.Frame2()->isEnabled())
                .arg(w.mfgrid1()->isEnabled())
                .arg(w.Toolbar1()->isEnabled())
                .arg(w.menus().mnulock->isChecked());
        };
        QCOMPARE(states(f), QString("011110"));
        f.menus().mnulock->trigger();
        QCOMPARE(states(f), QString("100011"));
        // Locked: a right click on a channel opens no menu, and no cell opens an editor.
        int menus = 0;
        d_->contextMenu = [&](QMenu*) { ++menus; };
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        const QRect cell = f.mfgrid1()->visualRect(f.mfgrid1()->model()->index(0, 1));
        QTest::mouseClick(f.mfgrid1()->viewport(), Qt::RightButton, {}, cell.center());
        QVERIFY(!test::TypeIntoCell(f.mfgrid1(), 1, 1, "446.00625"));
        QVERIFY(menus == 0 && f.document()->cellText(1, 1).isEmpty());
        f.mnulock_Click();  // the handler itself toggles too, and unlocks all three
        QCOMPARE(states(f), QString("011110"));
    }

    void serviceModeOnAndTheTestButtonReLocks() {
        Form1& f = *form_;
        QAction* test = f.toolButton("Test");
        f.show();
        const auto clickTest = [&](double at) {
            d_->now = at;
            QTest::mouseClick(ToolButton(f, "Test"), Qt::LeftButton);
        };
        QVERIFY(!test->isVisible());
        bool slidersEnabled = true;
        // Debug(&D), notes whether its sliders open enabled; unlocking: the three hot spots
        // within five seconds, then the close box.
        const auto openDebug = [&](bool unlock) {
            d_->dialogs = [&, unlock](QDialog& dialog) {
                slidersEnabled = SlidersOn(dialog);
                if (unlock) Unlock(dialog, d_->now);
                return int(QDialog::Rejected);
            };
            f.menus().mnudebug->trigger();
        };
        d_->now = 200.2;
        openDebug(true);
        QVERIFY(!slidersEnabled);  // service mode was off when it opened
        QVERIFY(test->isVisible());
        QCOMPARE(f.document()->state().ServiceUnlocked, 1);

        // A quick pair on "Test" re-locks (its timing is the core's table).
        clickTest(310.0);
        QVERIFY(test->isVisible());
        clickTest(310.3);
        QVERIFY(!test->isVisible() && f.document()->state().ServiceUnlocked == 0);
        // The next opening follows ServiceUnlocked: sliders off.
        openDebug(false);
        QVERIFY(!slidersEnabled);

        // A re-lock that arrives while the dialog is open locks its sliders at once, and
        // neither OK nor the close box switches service mode back on.
        for (const int result : {int(QDialog::Accepted), int(QDialog::Rejected)}) {
            bool lockedWhileOpen = false;
            d_->dialogs = [&](QDialog& dialog) -> int {
                auto& debug = static_cast<DebugParameterDialog&>(dialog);
                Unlock(dialog, d_->now);
                if (!SlidersOn(dialog) || !test->isVisible()) return -1;
                clickTest(d_->now + 10);
                clickTest(d_->now + 0.3);
                lockedWhileOpen = !debug.slider(1)->isEnabled() && !debug.slider(3)->isEnabled();
                return result;
            };
            d_->now += 100;
            f.menus().mnudebug->trigger();
            QVERIFY(lockedWhileOpen && !test->isVisible() &&
                    f.document()->state().ServiceUnlocked == 0);
        }
    }

    void dialogsStoreOnOkOnly() {
        Form1& f = *form_;
        EditorState expected = f.document()->state();
        for (bool ok : {false, true}) {
            d_->dialogs = [&](QDialog& dialog) {
                dialog.findChild<QLineEdit*>("Text1")->setText("HELLO");
                if (!ok) return int(QDialog::Rejected);
                dialog.findChild<QPushButton*>("Command1")->click();
                return dialog.result();
            };
            f.menus().mnusetin->trigger();
            if (ok) expected.InfoTexts[0] = "HELLO";
            QVERIFY2(f.document()->state() == expected,
                     ok ? "OK" : "Cancel");  // and nothing else moved
        }
    }

    void aboutBoxLinksToTheMaker() {
        // The box's texts are the dialog tests' part; here the window opens the page.
        d_->dialogs = [&](QDialog& dialog) -> int {
            QTest::mouseClick(static_cast<AboutDialog&>(dialog).description(), Qt::LeftButton);
            return int(QDialog::Accepted);
        };
        form_->menus().mnuabout->trigger();
        // The hidden maker's label of the window leads to the same page.
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton,
                          Qt::LeftButton, {});
        QCoreApplication::sendEvent(form_->Label2(), &press);
        const QString page = "open " + QString::fromLatin1(kMakerWebAddress);
        QCOMPARE(take(), (QStringList{page, page}));
    }

    // Beside the program the .CHM when there is one (else the guide: the first test);
    // installed, the guide under share/morvane-r7 beside bin; a guide that cannot be opened
    // (none there, or no program to open it) is named in a box.
    void helpOpensTheHelpFileOrTheUserGuide() {
        const QDir dir(d_->dir.path());
        const QString chm = dir.filePath("Morvane-R7.CHM"),
                      guide = dir.filePath("share/morvane-r7/user-guide.html");
        QVERIFY(test::WriteFile(chm, {}));
        form_->mnumainhelp_Click();
        QCOMPARE(take(), QStringList{"open " + QUrl::fromLocalFile(chm).toString()});
        QVERIFY(QFile::remove(chm) && dir.mkpath("bin") && dir.mkpath("share/morvane-r7"));
        const QString box =
            "box The user guide cannot be opened: " + guide + "\nOpen it in a web browser.";
        QCOMPARE(HelpLocation(dir.filePath("bin")), QUrl::fromLocalFile(guide));
        QCOMPARE(HelpLocation("/usr/bin"),
                 QUrl::fromLocalFile("/usr/share/morvane-r7/user-guide.html"));
        WindowEnvironment installed = d_->environment();
        installed.programFolder = dir.filePath("bin");
        const auto opener = installed.desktopOpener;
        bool opens = true;
        installed.desktopOpener = [&](const QUrl& url) { return opener(url) && opens; };
        Form1 form({}, installed);
        form.mnumainhelp_Click();
        QCOMPARE(take(), QStringList{box});
        QVERIFY(test::WriteFile(guide, {}));
        opens = false;
        form.mnumainhelp_Click();
        QCOMPARE(take(), (QStringList{"open " + QUrl::fromLocalFile(guide).toString(), box}));
    }

private:
    QStringList take() { return Take(*d_, dialogs_); }

    std::unique_ptr<test::ScriptedDesktop> d_;
    QStringList dialogs_;
    std::unique_ptr<Form1> form_;
};

QTEST_MAIN(CommandsTest)
#include "commands_test.moc"
