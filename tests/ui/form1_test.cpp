// The main window: start-up state, band change, typing into the channel grid, delete.

#include <QAction>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QTest>
#include <QToolBar>
#include <memory>

#include "image/editor_defaults.h"
#include "ui/main/channel_table_model.h"
#include "ui/main/editor_document.h"
#include "ui/main/form1.h"
#include "ui_test_support.h"

using namespace r7;
using namespace r7::ui;

namespace {

const QString kRange = " Frequency goes beyond the range! ";

QStringList Items(QComboBox* box) {
    QStringList items;
    for (int i = 0; i < box->count(); ++i) items << box->itemText(i);
    return items;
}

QStringList Row(const Form1& form, int channel) {
    QStringList cells;
    for (int col = 0; col < kColumnCount; ++col) cells << form.document()->cellText(channel, col);
    return cells;
}

}  // namespace

class Form1Test : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void startUpShowsDefaultsAndHidesWhatTheDesignHides();
    void startUpRunsTheRestoreHookBeforeDefaultsAndCloseRunsTheStoreHook();
    void menusCarryTheirCaptionsNamesAndShortcuts();
    void toolBarButtonsByKeyAndPosition();
    void tonePickListRunsFromOffToD754I();

    void typedFrequencies_data();
    void typedFrequencies();
    void emptyChannelOpensOnlyItsReceiveCell();
    void keyboardFillsAllSixteenChannels();
    void tabWalksTheRowAndPicksFromLists();

    void contextMenuDeletesTheChannelButKeepsScan();
    void menuKeyOpensTheContextMenuOfTheCurrentChannel();
    void blinkingStatusLabelKeepsTheProgressBarStill();

    void bandChangeNoRestoresYesResets_data();
    void bandChangeNoRestoresYesResets();

    void settingListsWriteTheDocumentAndFollowIt();

private:
    std::unique_ptr<test::ScriptedMessageBoxes> boxes_;
    std::unique_ptr<Form1> form_;
    ChannelGrid* grid() const { return form_->mfgrid1(); }
    void enter(int channel, int column, const QString& text) {
        QVERIFY(test::TypeIntoCell(grid(), channel, column, text));
    }
};

void Form1Test::init() {
    boxes_ = std::make_unique<test::ScriptedMessageBoxes>();
    form_ = std::make_unique<Form1>();
    form_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
}

void Form1Test::cleanup() {
    form_.reset();
    boxes_.reset();
}

void Form1Test::startUpShowsDefaultsAndHidesWhatTheDesignHides() {
    Form1& f = *form_;
    QCOMPARE(f.objectName(), QString("Form1"));
    QCOMPARE(f.windowTitle(), QString("Morvane R7"));
    QVERIFY(boxes_->shown.empty());

    QCOMPARE(Items(f.combo(1)), QStringList{"400-470MHz"});
    QCOMPARE(Items(f.combo(2)), (QStringList{"Off", "English", "Chinese"}));
    QCOMPARE(Items(f.combo(3)), (QStringList{"Off", "30 S", "60 S", "90 S", "120 S", "150 S", "180 S"}));
    QCOMPARE(Items(f.combo(4)), (QStringList{"关闭", "1秒", "2秒", "3秒", "4秒", "5秒", "6秒", "7秒", "8秒",
                                             "9秒", "10秒"}));
    QCOMPARE(Items(f.combo(5)), (QStringList{"1", "2", "3", "4", "5", "6", "7", "8", "9"}));
    for (int n : {6, 7, 8, 10}) QCOMPARE(Items(f.combo(n)), (QStringList{"Off", "On"}));
    QCOMPARE(Items(f.combo(9)), (QStringList{"Return", "Forbid return"}));
    const QStringList shown{"400-470MHz", "English", "30 S", "关闭", "4", "On", "On", "On", "Return", "On"};
    for (int n = 1; n <= 10; ++n) {
        QCOMPARE(f.combo(n)->objectName(), QString("Combo%1").arg(n));
        QCOMPARE(f.combo(n)->currentText(), shown[n - 1]);
    }
    QCOMPARE(f.document()->state(), NewConfiguration());

    QCOMPARE(f.Frame1()->title(), QString("Model"));
    QCOMPARE(f.Frame2()->title(), QString("Optional Set"));
    QCOMPARE(f.Label3()->text(), QString("Frequcy:"));
    QCOMPARE(f.Label1()->text(), QString("发射超时预警"));
    QVERIFY(f.statusLabel()->isVisible() && f.statusLabel()->text().isEmpty());  // the first caption shows at once
    for (QWidget* hidden : std::initializer_list<QWidget*>{f.Label1(), f.combo(4), f.Label2(), f.ProgressBar1()}) {
        QVERIFY2(!hidden->isVisible(), qPrintable(hidden->objectName()));
    }
    for (int n : {1, 2, 3, 5, 6, 7, 8, 9, 10}) QVERIFY(f.combo(n)->isVisible());
    QCOMPARE(f.statusLabel()->objectName(), QString("Label"));
    QCOMPARE(f.ProgressBar1()->minimum(), 0);
    QCOMPARE(f.ProgressBar1()->maximum(), 460);
    QVERIFY(!f.toolButton("Test")->isVisible());

    // Grid: titles in the header, numbers in column 0, nothing else.
    QCOMPARE(grid()->objectName(), QString("mfgrid1"));
    const QStringList titles{"Channel", "Receive", "QT/DQT Dec", "Transmit", "QT/DQT Enc",
                             "Power", "Busy Lock", "Band", "Scan"};
    for (int col = 0; col < 9; ++col) {
        QCOMPARE(grid()->model()->headerData(col, Qt::Horizontal).toString(), titles[col]);
    }
    for (int ch = 1; ch <= 16; ++ch) {
        QStringList expected(9, QString());
        expected[0] = QString("%1").arg(ch, 2, 10, QChar('0'));
        QCOMPARE(Row(f, ch), expected);
        QCOMPARE(grid()->model()->index(ch - 1, 0).data().toString(), expected[0]);
        QCOMPARE(grid()->rowHeight(ch - 1) >= 20, true);
    }
    const auto centre = grid()->model()->index(3, 4).data(Qt::TextAlignmentRole).value<Qt::Alignment>();
    QCOMPARE(centre, Qt::Alignment(Qt::AlignCenter));
    QCOMPARE(grid()->model()->rowCount(), 16);
    QCOMPARE(grid()->model()->columnCount(), 9);
}

void Form1Test::startUpRunsTheRestoreHookBeforeDefaultsAndCloseRunsTheStoreHook() {
    form_.reset();
    QStringList calls;
    Form1Hooks hooks;
    hooks.restoreSettings = [&](Form1& f) {
        calls << "restore";
        // Settings restored here must not be overwritten... except the defaults that follow.
        QCOMPARE(f.combo(3)->count(), 0);  // Combo3 is filled after the restore step
        f.menus().mnulock->setChecked(true);
    };
    hooks.storeSettings = [&](Form1& f) { calls << (f.menus().mnulock->isChecked() ? "store locked" : "store"); };
    form_ = std::make_unique<Form1>(hooks);
    QCOMPARE(calls, QStringList{"restore"});
    QCOMPARE(form_->combo(3)->currentText(), QString("30 S"));
    form_->show();
    form_->menus().mnuQuit->trigger();
    QCOMPARE(calls, (QStringList{"restore", "store locked"}));
    QVERIFY(!form_->isVisible());
}

void Form1Test::menusCarryTheirCaptionsNamesAndShortcuts() {
    const Form1Menus& m = form_->menus();
    struct Item {
        QAction* action;
        const char* name;
        const char* caption;
        QKeySequence shortcut;
    };
    const Item items[] = {
        {m.mnuFile->menuAction(), "mnuFile", "File(&F)", {}},
        {m.mnuNew, "mnuNew", "New(&N)", {}},
        {m.mnuOpen, "mnuOpen", "Open(&O)", {}},
        {m.mnuAssave, "mnuAssave", "Save(&A)", {}},
        {m.mnuQuit, "mnuQuit", "Exit(&Q)", {}},
        {m.mnupro->menuAction(), "mnupro", "Programme(&P)", {}},
        {m.mnureadFre, "mnureadFre", "Read data from radio(R)", QKeySequence("Ctrl+R")},
        {m.mnuwriteFre, "mnuwriteFre", "Write data into Radio(W)", QKeySequence("Ctrl+W")},
        {m.mnudtmf, "mnudtmf", "Optional", {}},
        {m.Key_enactment, "Key_enactment", "Key Set", {}},
        {m.mnusetin, "mnusetin", "Inset Information", {}},
        {m.mnudebug, "mnudebug", "Debug(&D)", {}},
        {m.mnutestfre, "mnutestfre", "Test Frequcy", {}},
        {m.mnuset->menuAction(), "mnuset", "Seting(&S)", {}},
        {m.mnulock, "mnulock", "Lock(L)", {}},
        {m.mnucom->menuAction(), "mnucom", "Communication(&V)", {}},
        {m.mnuhelp->menuAction(), "mnuhelp", "Help(&H)", {}},
        {m.mnumainhelp, "mnumainhelp", "Help Theme", QKeySequence("F1")},
        {m.mnuabout, "mnuabout", "About    Morvane-R7...", {}},
    };
    for (const Item& item : items) {
        QVERIFY2(item.action, item.name);
        QCOMPARE(item.action->objectName(), QString(item.name));
        QCOMPARE(item.action->text(), QString(item.caption));
        QCOMPARE(item.action->shortcut(), item.shortcut);
    }
    // Order of the menu bar and of each menu, separators included.
    QStringList bar;
    for (QAction* a : form_->menuBar()->actions()) bar << a->objectName();
    QCOMPARE(bar, (QStringList{"mnuFile", "mnupro", "mnuset", "mnuhelp"}));
    auto names = [](QMenu* menu) {
        QStringList out;
        for (QAction* a : menu->actions()) out << a->objectName();
        return out;
    };
    QCOMPARE(names(m.mnuFile), (QStringList{"mnuNew", "mnuOpen", "mnuAssave", "mnuline", "mnuQuit"}));
    QCOMPARE(names(m.mnupro), (QStringList{"mnureadFre", "mnuwriteFre", "mnuline1", "mnudtmf", "Key_enactment",
                                           "mnusetin", "mnudebug", "mnutestfre"}));
    QCOMPARE(names(m.mnuset), (QStringList{"mnulock", "mnucom"}));
    QCOMPARE(names(m.mnuhelp), (QStringList{"mnumainhelp", "mnuabout"}));
    QVERIFY(m.mnuline->isSeparator());
    QVERIFY(m.mnuline1->isSeparator());
    QVERIFY(m.mnulock->isCheckable());
    for (int port = 1; port <= 8; ++port) {
        QAction* a = m.mnucomPorts[static_cast<std::size_t>(port - 1)];
        QCOMPARE(a->objectName(), QString("mnucom%1").arg(port));
        QCOMPARE(a->text(), QString("COM%1(&%1)").arg(port));
        QVERIFY(a->isCheckable());
        QCOMPARE(m.mnucom->actions().at(port - 1), a);
    }
    // Hidden at creation: the Help menu, "Key Set" and the grid's own menu.
    QVERIFY(!m.mnuhelp->menuAction()->isVisible());
    QVERIFY(!m.Key_enactment->isVisible());
    QVERIFY(!form_->menuBar()->actions().contains(m.mnuchannel->menuAction()));
    QCOMPARE(m.mnuchannel->objectName(), QString("mnuchannel"));
    QCOMPARE(m.mnuchannel->actions(), QList<QAction*>{m.mnudel_channel});
    QCOMPARE(m.mnudel_channel->objectName(), QString("mnudel_channel"));
}

void Form1Test::toolBarButtonsByKeyAndPosition() {
    QCOMPARE(form_->Toolbar1()->objectName(), QString("Toolbar1"));
    const QStringList keys{"new", "open", "save", "", "read", "write", "Test"};
    const QStringList tips{"New", "Open", "Save", "", "Read frequcy", "Write frequcy", ""};
    QCOMPARE(form_->Toolbar1()->actions().size(), 7);
    for (int pos = 1; pos <= 7; ++pos) {
        QAction* a = form_->toolButtonAt(pos);
        QVERIFY(a);
        QCOMPARE(form_->Toolbar1()->actions().at(pos - 1), a);
        if (pos == 4) {
            QVERIFY(a->isSeparator());
            continue;
        }
        QCOMPARE(a->objectName(), keys[pos - 1]);
        QCOMPARE(form_->toolButton(keys[pos - 1]), a);
        QCOMPARE(a->toolTip(), tips[pos - 1]);
        QVERIFY(!a->icon().isNull());
        QCOMPARE(a->isVisible(), pos != 7);
    }
    QVERIFY(!form_->toolButtonAt(0));
    QVERIFY(!form_->toolButtonAt(8));
    QVERIFY(!form_->toolButton("nothing"));
}

void Form1Test::tonePickListRunsFromOffToD754I() {
    enter(1, ColReceive, "440");
    grid()->setCurrentIndex(grid()->model()->index(0, ColDecode));
    QTest::keyClick(grid(), Qt::Key_F2);
    auto* box = qobject_cast<QComboBox*>(test::OpenEditor(grid()));
    QVERIFY(box);
    QCOMPARE(box->count(), 261);
    QCOMPARE(box->itemText(0), QString("Off"));
    QCOMPARE(box->itemText(1), QString("67.0"));
    QCOMPARE(box->itemText(50), QString("254.1"));
    QCOMPARE(box->itemText(51), QString("D023N"));
    QCOMPARE(box->itemText(156), QString("D023I"));
    QCOMPARE(box->itemText(260), QString("D754I"));
    QCOMPARE(box->currentText(), QString("Off"));
    QTest::keyClick(box, Qt::Key_Escape);
    // The other picked columns offer exactly their entries.
    const std::pair<int, QStringList> lists[] = {
        {ColPower, {"Low", "High"}}, {ColBusyLock, {"Off", "Carrier", "QT/DQT"}},
        {ColBand, {"Narrow", "Wide"}}, {ColScan, {"No", "Have"}}};
    for (const auto& [column, entries] : lists) {
        grid()->setCurrentIndex(grid()->model()->index(0, column));
        QTest::keyClick(grid(), Qt::Key_F2);
        auto* picked = qobject_cast<QComboBox*>(test::OpenEditor(grid()));
        QVERIFY(picked);
        QCOMPARE(Items(picked), entries);
        QVERIFY(!picked->isEditable());
        QTest::keyClick(picked, Qt::Key_Escape);
        test::Settle();
    }
}

void Form1Test::typedFrequencies_data() {
    QTest::addColumn<QString>("rxBefore");  // typed first, through the editor
    QTest::addColumn<QString>("txBefore");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("row");  // columns 1 to 8 afterwards
    QTest::addColumn<int>("messages");
    const QStringList fresh{"", "", "", "", "", "", "", ""};
    auto fresh_with = [](const QString& f) { return QStringList{f, "Off", f, "Off", "Low", "Off", "Wide", "No"}; };
    // The editing rules are the core's table; these are the ways a typed cell ends.
    QTest::newRow("snapped onto the raster") << "" << "" << 1 << "435.0070" << fresh_with("435.00625") << 0;
    QTest::newRow("comma as decimal point") << "" << "" << 1 << "435,125" << fresh_with("435.12500") << 0;
    QTest::newRow("upper limit refused") << "" << "" << 1 << "470" << fresh << 1;
    QTest::newRow("number with junk keeps old text")
        << "440" << "" << 1 << "435.5abc" << fresh_with("440.00000") << 1;
    QTest::newRow("transmit out of range emptied")
        << "440" << "" << 3 << "470.00000"
        << QStringList{"440.00000", "Off", "", "Off", "Low", "Off", "Wide", "No"} << 1;
    QTest::newRow("emptied transmit falls back to receive")
        << "440" << "450" << 3 << "" << fresh_with("440.00000") << 0;
    QTest::newRow("emptied receive empties the row") << "440" << "450" << 1 << "" << fresh << 0;
}

void Form1Test::typedFrequencies() {
    QFETCH(QString, rxBefore);
    QFETCH(QString, txBefore);
    QFETCH(int, column);
    QFETCH(QString, typed);
    QFETCH(QStringList, row);
    QFETCH(int, messages);
    const int channel = 7;
    if (!rxBefore.isEmpty()) enter(channel, ColReceive, rxBefore);
    if (!txBefore.isEmpty()) enter(channel, ColTransmit, txBefore);
    QVERIFY(boxes_->shown.empty());
    enter(channel, column, typed);
    QCOMPARE(Row(*form_, channel).mid(1), row);
    QCOMPARE(boxes_->texts(), QStringList(messages, "Morvane-R7|16|" + kRange));
    // The view shows what the document holds.
    QCOMPARE(grid()->model()->index(channel - 1, column).data().toString(), row[column - 1]);
    QVERIFY(!grid()->isEditing());
}

void Form1Test::emptyChannelOpensOnlyItsReceiveCell() {
    for (int column = 2; column <= 8; ++column) {
        const QModelIndex cell = grid()->model()->index(2, column);
        QVERIFY(!(cell.flags() & Qt::ItemIsEditable));
        grid()->setCurrentIndex(cell);
        QTest::mouseDClick(grid()->viewport(), Qt::LeftButton, {}, grid()->visualRect(cell).center());
        QTest::keyClick(grid(), Qt::Key_H);
        QVERIFY(!test::OpenEditor(grid()));
    }
    QVERIFY(!(grid()->model()->index(2, 0).flags() & Qt::ItemIsEditable));
    QVERIFY(grid()->model()->index(2, 1).flags() & Qt::ItemIsEditable);
    QCOMPARE(Row(*form_, 3).mid(1), QStringList(8, QString()));
}

void Form1Test::keyboardFillsAllSixteenChannels() {
    // Type a frequency and press Enter, sixteen times: Enter moves down a channel.
    grid()->setFocus();
    grid()->setCurrentIndex(grid()->model()->index(0, ColReceive));
    for (int ch = 1; ch <= 16; ++ch) {
        QCOMPARE(grid()->currentIndex().row(), ch - 1);
        const QString typed = QString("44%1.0125").arg(ch % 10);
        QTest::keyClicks(grid(), typed.left(1));
        QWidget* editor = test::OpenEditor(grid());
        QVERIFY(editor);
        QTest::keyClicks(editor, typed.mid(1));
        QTest::keyClick(editor, Qt::Key_Return);
        test::Settle();
    }
    for (int ch = 1; ch <= 16; ++ch) {
        const QString f = QString("44%1.01250").arg(ch % 10);
        QCOMPARE(Row(*form_, ch), (QStringList{QString("%1").arg(ch, 2, 10, QChar('0')), f, "Off", f, "Off", "Low",
                                               "Off", "Wide", "No"}));
    }
    QVERIFY(boxes_->shown.empty());
}

void Form1Test::tabWalksTheRowAndPicksFromLists() {
    QVERIFY(test::TypeIntoCell(grid(), 2, ColReceive, "440", Qt::Key_Tab));
    // Tab opened the next cell's editor: decode, then transmit, encode, power.
    for (int column : {ColDecode, ColTransmit, ColEncode}) {
        QCOMPARE(grid()->currentIndex().column(), column);
        QWidget* editor = test::OpenEditor(grid());
        QVERIFY(editor);
        QTest::keyClick(editor, Qt::Key_Tab);
        test::Settle();
    }
    QCOMPARE(grid()->currentIndex().column(), int(ColPower));
    auto* power = qobject_cast<QComboBox*>(test::OpenEditor(grid()));
    QVERIFY(power);
    QTest::keyClicks(power, "H");
    QTest::keyClick(power, Qt::Key_Tab);
    test::Settle();
    auto* busy = qobject_cast<QComboBox*>(test::OpenEditor(grid()));
    QVERIFY(busy);
    QTest::keyClicks(busy, "C");
    QTest::keyClick(busy, Qt::Key_Return);
    test::Settle();
    QCOMPARE(Row(*form_, 2), (QStringList{"02", "440.00000", "Off", "440.00000", "Off", "High", "Carrier", "Wide", "No"}));
    // From the last column Tab goes on to the next channel's receive cell, past the number.
    QVERIFY(test::TypeIntoCell(grid(), 2, ColScan, "H", Qt::Key_Tab));
    QCOMPARE(form_->document()->cellText(2, ColScan), QString("Have"));
    QCOMPARE(grid()->currentIndex(), grid()->model()->index(2, ColReceive));
}

void Form1Test::contextMenuDeletesTheChannelButKeepsScan() {
    enter(5, ColReceive, "440");
    QVERIFY(test::TypeIntoCell(grid(), 5, ColScan, "H"));
    enter(6, ColReceive, "441");
    QStringList captions;
    form_->setContextMenuPresenter([&](QMenu* menu, const QPoint&) {
        QCOMPARE(menu, form_->menus().mnuchannel);
        captions << menu->actions().value(0)->text();
        menu->actions().value(0)->trigger();
    });
    const QRect cell = grid()->visualRect(grid()->model()->index(4, ColBand));
    QTest::mouseClick(grid()->viewport(), Qt::RightButton, {}, cell.center());
    QCOMPARE(captions, QStringList{"Delete the data of 5channel"});
    QCOMPARE(Row(*form_, 5), (QStringList{"05", "", "", "", "", "", "", "", "Have"}));
    QCOMPARE(Row(*form_, 6)[ColReceive], QString("441.00000"));
    QVERIFY(boxes_->shown.empty());
    // The emptied channel takes a new frequency and fresh defaults, scan included.
    enter(5, ColReceive, "442");
    QCOMPARE(Row(*form_, 5).last(), QString("No"));
    // The header has no such menu.
    QHeaderView* header = grid()->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::RightButton, {}, QPoint(header->sectionViewportPosition(2) + 5, 5));
    QCOMPARE(captions.size(), 1);
}

void Form1Test::menuKeyOpensTheContextMenuOfTheCurrentChannel() {
    enter(3, ColReceive, "440");
    QStringList captions;
    form_->setContextMenuPresenter([&](QMenu* menu, const QPoint&) {
        captions << menu->actions().value(0)->text();
        menu->actions().value(0)->trigger();
    });
    grid()->setCurrentIndex(grid()->model()->index(2, ColPower));
    QContextMenuEvent key(QContextMenuEvent::Keyboard, QPoint(5, 5), grid()->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(grid(), &key);
    QCOMPARE(captions, QStringList{"Delete the data of 3channel"});
    QCOMPARE(Row(*form_, 3).mid(1, 7), QStringList(7, QString()));
    // A context event of the mouse opens nothing by itself: the right press does that.
    QContextMenuEvent mouse(QContextMenuEvent::Mouse, QPoint(5, 5), grid()->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(grid(), &mouse);
    QCOMPARE(captions.size(), 1);
}

void Form1Test::blinkingStatusLabelKeepsTheProgressBarStill() {
    QProgressBar* bar = form_->ProgressBar1();
    QLabel* label = form_->statusLabel();
    label->setText("Communicating, please waiting");
    bar->show();
    QList<int> widths;
    for (bool shown : {true, false, true, false}) {
        label->setVisible(shown);
        QApplication::processEvents();
        form_->centralWidget()->layout()->activate();
        widths << bar->width();
    }
    QCOMPARE(widths, QList<int>(4, widths.first()));
}

void Form1Test::bandChangeNoRestoresYesResets_data() {
    QTest::addColumn<bool>("intoTheListItself");
    QTest::newRow("through the window") << false;
    QTest::newRow("added to Combo1 itself") << true;
}

void Form1Test::bandChangeNoRestoresYesResets() {
    QFETCH(bool, intoTheListItself);
    if (intoTheListItself) {
        form_->combo(1)->addItem("430-440MHz");
    } else {
        form_->addBandEntry("430-440MHz");
    }
    QCOMPARE(form_->combo(1)->count(), 2);
    enter(1, ColReceive, "445");
    form_->combo(1)->setCurrentIndex(0);  // the band it shows already: no question
    QVERIFY(boxes_->shown.empty());
    form_->combo(2)->setCurrentIndex(2);
    form_->combo(5)->setCurrentIndex(8);
    const EditorState edited = form_->document()->state();
    const QString question =
        "Select the data that different types or different frequency bands will delete the all -channel for use, "
        "continue? ";

    boxes_->answers = {7};  // No
    form_->combo(1)->setCurrentIndex(1);
    QCOMPARE(boxes_->texts(), QStringList{"Morvane-R7|36|" + question});
    QCOMPARE(form_->combo(1)->currentIndex(), 0);
    QCOMPARE(form_->BandIndex(), 0);
    QCOMPARE(form_->document()->state(), edited);

    boxes_->answers = {6};  // Yes
    form_->combo(1)->setCurrentIndex(1);
    QCOMPARE(boxes_->shown.size(), std::size_t{2});
    QCOMPARE(form_->combo(1)->currentIndex(), 1);
    QCOMPARE(form_->BandIndex(), 1);
    EditorState expected = NewConfiguration();
    expected.combo(1) = 1;
    QCOMPARE(form_->document()->state(), expected);
    QCOMPARE(form_->combo(2)->currentText(), QString("English"));
    QCOMPARE(form_->combo(5)->currentText(), QString("4"));

    // The check now uses the new band's limits.
    enter(2, ColReceive, "445");
    QCOMPARE(boxes_->shown.size(), std::size_t{3});
    QCOMPARE(boxes_->shown[2].prompt, kRange);
    enter(2, ColReceive, "435");
    QCOMPARE(form_->document()->cellText(2, ColReceive), QString("435.00000"));
    QCOMPARE(boxes_->shown.size(), std::size_t{3});
}

void Form1Test::settingListsWriteTheDocumentAndFollowIt() {
    form_->combo(7)->setCurrentIndex(0);
    QCOMPARE(form_->document()->combo(7), 0);
    EditorState other = form_->document()->state();
    other.combo(3) = 6;
    other.combo(10) = 0;
    form_->document()->replaceState(other);
    QCOMPARE(form_->combo(3)->currentText(), QString("180 S"));
    QCOMPARE(form_->combo(10)->currentText(), QString("Off"));
    QCOMPARE(form_->combo(7)->currentText(), QString("Off"));
    QVERIFY(boxes_->shown.empty());
}

QTEST_MAIN(Form1Test)
#include "form1_test.moc"
