// The main window: start-up and shut-down steps, band change, typing into the channel grid,
// delete. Its static texts are window_texts_test's part.

#include <QAction>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QProgressBar>
#include <QTest>
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

QStringList Row(const Form1& form, int channel) {
    QStringList cells;
    for (int col = 0; col < kColumnCount; ++col) cells << form.document()->cellText(channel, col);
    return cells;
}

}  // namespace

class Form1Test : public QObject {
    Q_OBJECT
private slots:
    void init() {
        boxes_ = std::make_unique<test::ScriptedMessageBoxes>();
        form_ = std::make_unique<Form1>();
        form_->show();
        QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
    }

    void cleanup() {
        form_.reset();
        boxes_.reset();
    }

    void startUpRunsTheRestoreHookBeforeDefaultsAndCloseRunsTheStoreHook() {
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

    void typedFrequencies_data() {
        QTest::addColumn<QString>("rxBefore");  // typed first, through the editor
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("row");  // columns 1 to 8 afterwards
        QTest::addColumn<int>("messages");
        const QStringList fresh{"", "", "", "", "", "", "", ""};
        auto fresh_with = [](const QString& f) { return QStringList{f, "Off", f, "Off", "Low", "Off", "Wide", "No"}; };
        // The editing rules are the core's table; these are the ways a typed cell ends: stored,
        // refused with the message and emptied, refused with the message and kept.
        QTest::newRow("snapped onto the raster") << "" << 1 << "435.0070" << fresh_with("435.00625") << 0;
        QTest::newRow("upper limit refused") << "" << 1 << "470" << fresh << 1;
        QTest::newRow("number with junk keeps old text")
            << "440" << 1 << "435.5abc" << fresh_with("440.00000") << 1;
    }

    void typedFrequencies() {
        QFETCH(QString, rxBefore);
        QFETCH(int, column);
        QFETCH(QString, typed);
        QFETCH(QStringList, row);
        QFETCH(int, messages);
        const int channel = 7;
        if (!rxBefore.isEmpty()) enter(channel, ColReceive, rxBefore);
        QVERIFY(boxes_->shown.empty());
        enter(channel, column, typed);
        QCOMPARE(Row(*form_, channel).mid(1), row);
        QCOMPARE(boxes_->texts(), QStringList(messages, "Morvane-R7|16|" + kRange));
        // The view shows what the document holds.
        QCOMPARE(grid()->model()->index(channel - 1, column).data().toString(), row[column - 1]);
        QVERIFY(!grid()->isEditing());
    }

    void emptyChannelOpensOnlyItsReceiveCell() {
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

    void keyboardFillsAllSixteenChannels() {
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

    void tabWalksTheRowAndPicksFromLists() {
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

    void contextMenuDeletesTheChannelButKeepsScan() {
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

    void menuKeyOpensTheContextMenuOfTheCurrentChannel() {
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

    void blinkingStatusLabelKeepsTheProgressBarStill() {
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

    void bandChangeNoRestoresYesResets_data() {
        QTest::addColumn<bool>("intoTheListItself");
        QTest::newRow("through the window") << false;
        QTest::newRow("added to Combo1 itself") << true;
    }

    void bandChangeNoRestoresYesResets() {
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

    void settingListsWriteTheDocumentAndFollowIt() {
        QCOMPARE(form_->document()->state(), NewConfiguration());
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

private:
    std::unique_ptr<test::ScriptedMessageBoxes> boxes_;
    std::unique_ptr<Form1> form_;
    ChannelGrid* grid() const { return form_->mfgrid1(); }
    void enter(int channel, int column, const QString& text) {
        QVERIFY(test::TypeIntoCell(grid(), channel, column, text));
    }
};

QTEST_MAIN(Form1Test)
#include "form1_test.moc"
