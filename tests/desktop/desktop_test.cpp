// The window as desktop users expect it: Tab follows the screen, the wheel leaves lists
// alone until they have focus, and every control tells a screen reader what it is.

#include <QAccessible>
#include <QAccessibleTableInterface>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>
#include <memory>

#include "image/editor_state.h"
#include "ui/main/form1.h"
#include "ui_test_support.h"

using namespace r7;
using namespace r7::ui;

namespace {

// Object names in the order Tab visits them, starting at the focus.
QStringList TabWalk() {
    QWidget* start = QApplication::focusWidget();
    QStringList names;
    for (QWidget* w = start; w && names.size() < 30;) {
        names << w->objectName();
        QTest::keyClick(w, Qt::Key_Tab);
        w = QApplication::focusWidget();
        if (w == start) break;
    }
    return names;
}

// Focusable controls (and tool bar buttons) that a screen reader could not name: no name
// but their value, and no label pointing at them (a frame's title does not count).
QStringList Unnamed(QWidget* root) {
    QStringList unnamed;
    for (QWidget* w : root->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(root) || (!(w->focusPolicy() & Qt::TabFocus) && !qobject_cast<QToolButton*>(w))) continue;
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
        const QString name = a->text(QAccessible::Name);
        bool labelled = false;
        for (const auto& [other, relation] : a->relations(QAccessible::Label))
            labelled |= qobject_cast<QLabel*>(other->object()) && !other->text(QAccessible::Name).trimmed().isEmpty();
        const auto* list = qobject_cast<QComboBox*>(w);
        const auto* edit = qobject_cast<QLineEdit*>(w);
        const QString shown = list ? list->currentText() : edit ? edit->text() : QString();
        if (!labelled && (name.trimmed().isEmpty() || name == shown)) unnamed << w->objectName();
    }
    return unnamed;
}

}  // namespace

class DesktopTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        boxes_ = std::make_unique<test::ScriptedMessageBoxes>();
        form_ = std::make_unique<Form1>();
        form_->show();
        QVERIFY(QTest::qWaitForWindowActive(form_.get()));
    }
    void cleanup() {
        form_.reset();
        boxes_.reset();
    }

    void tabOrderAndNames_data();
    void tabOrderAndNames();
    void wheelChangesOnlyAFocusedList();

private:
    std::unique_ptr<test::ScriptedMessageBoxes> boxes_;
    std::unique_ptr<Form1> form_;
};

void DesktopTest::tabOrderAndNames_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("tabs");
    QTest::newRow("main window") << "" << "mfgrid1,Combo1,Combo2,Combo3,Combo8,Combo5,Combo6,Combo7,Combo9,Combo10";
    QTest::newRow("Optional") << "mnudtmf" << "Combo6,Combo7,Combo8,Combo9,Check3,Check4,Command1,Command2";
    QTest::newRow("Insert Information") << "mnusetin" << "Text1,Text2,Command1,Command2";
    QTest::newRow("Test Frequcy") << "mnutestfre" << "mfgrid1,Command1,Command2";
    QTest::newRow("Debug parameter") << "mnudebug" << "Command1";
    QTest::newRow("Key Set") << "Key_enactment" << "Combo1,Combo2,Command1,Command2";
}

void DesktopTest::tabOrderAndNames() {
    QFETCH(QString, command);
    QFETCH(QString, tabs);
    QStringList walked;
    QStringList unnamed;
    form_->setDialogRunner([&](QDialog& dialog) {
        dialog.show();
        dialog.activateWindow();
        if (QTest::qWaitFor([&dialog] { return QApplication::activeWindow() == &dialog; })) walked = TabWalk();
        unnamed = Unnamed(&dialog);
        return int(QDialog::Rejected);
    });
    if (command.isEmpty()) {
        ChannelGrid* grid = form_->mfgrid1();
        QCOMPARE(grid->currentIndex(), grid->model()->index(0, ColReceive));
        QTest::keyClick(grid, Qt::Key_Right);
        QCOMPARE(grid->currentIndex().column(), int(ColDecode));
        QAccessibleInterface* table = QAccessible::queryAccessibleInterface(grid);
        QCOMPARE(table->tableInterface()->cellAt(0, 1)->text(QAccessible::Name), "Channel 1, Receive: empty");
        walked = TabWalk();
        unnamed = Unnamed(form_.get());
        form_->combo(1)->setFocus();
        QTest::keyClick(form_->combo(1), Qt::Key_Backtab);
        QCOMPARE(QApplication::focusWidget(), grid);
    } else {
        form_->findChild<QAction*>(command)->trigger();
    }
    QCOMPARE(walked.join(','), tabs);
    QCOMPARE(unnamed.join(QLatin1Char(',')), QString());
}

void DesktopTest::wheelChangesOnlyAFocusedList() {
    QComboBox* squelch = form_->combo(5);
    const int before = squelch->currentIndex();
    const auto wheel = [squelch] {
        QWheelEvent event(QPointF(5, 5), squelch->mapToGlobal(QPointF(5, 5)), {}, {0, -120}, Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(squelch, &event);
    };
    wheel();
    wheel();
    QCOMPARE(squelch->currentIndex(), before);
    squelch->setFocus();
    wheel();
    QCOMPARE(squelch->currentIndex(), before + 1);
}

QTEST_MAIN(DesktopTest)
#include "desktop_test.moc"
