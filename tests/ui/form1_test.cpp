// The main window: start-up and shut-down steps, band change, typing into the channel grid,
// delete, keys at typing speed, message boxes. Its static texts are window_texts_test's part.

#include "ui_test_support.h"

namespace {

const QString kRange = " Frequency goes beyond the range! ";

QStringList Row(const Form1& form, int channel) {
    QStringList cells;
    for (int col = 0; col < kColumnCount; ++col) cells << form.document()->cellText(channel, col);
    return cells;
}

QStringList Fresh(const QString& f) { return {f, "Off", f, "Off", "Low", "Off", "Wide", "No"}; }

// Sends each key where the desktop would, to the widget holding the focus, without letting
// anything else run in between: the way type-ahead arrives after a busy moment.
void TypeAhead(QWidget* fallback, const QString& keys) {
    const std::map<QChar, Qt::Key> named{
        {u'\n', Qt::Key_Return}, {u'\x7f', Qt::Key_Delete}, {u'\b', Qt::Key_Backspace}};
    for (const QChar key : keys) {
        QWidget* focus = QApplication::focusWidget() ? QApplication::focusWidget() : fallback;
        if (named.contains(key))
            QTest::keyClick(focus, named.at(key));
        else
            QTest::keyClick(focus, key.toLatin1());
    }
    test::Settle();
}

// Clicks the cell twice, the second time on the cell already current, then types at once.
void ClickAndType(QAbstractItemView* view, const QModelIndex& cell, const QString& keys) {
    const QPoint at = view->visualRect(cell).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
    TypeAhead(view, keys);
}

}  // namespace

class Form1Test : public QObject {
    Q_OBJECT
private slots:
    void init() {
        form_.reset();
        d_ = std::make_unique<test::ScriptedDesktop>();
        form_ = d_->window();
        form_->show();
        QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
    }

    // Exit(&Q) and the close box run the store step: window_link_test's parameter file rows.
    void startUpRunsTheRestoreHookBeforeTheDefaults() {
        int listed = -1;
        form_ = d_->window({[&](Form1& f) { listed = f.combo(3)->count(); }, {}});
        QCOMPARE(listed, 0);  // Combo3 is filled after it
        QCOMPARE(form_->combo(3)->currentText(), QString("30 S"));
    }

    // The editing rules are the core's table; these are the ways a typed cell ends: stored,
    // refused with the message and emptied, refused with the message and kept.
    void typedFrequencies_data() {
        test::AddRows("typed_receive", {"before", "typed", "cells", "messages"});
    }
    void typedFrequencies() {
        const auto [before, typed, cells, messages] =
            test::Fetch({"before", "typed", "cells", "messages"});
        if (!before.isEmpty()) enter(7, ColReceive, before);
        enter(7, ColReceive, typed);
        QCOMPARE(Row(*form_, 7).mid(1).join('|'), cells);
        QCOMPARE(d_->boxes.texts(), QStringList(messages.toInt(), "Morvane-R7|16|" + kRange));
        QCOMPARE(grid()->model()->index(6, ColReceive).data().toString(),
                 cells.section('|', 0, 0));  // the view follows
        QVERIFY(!grid()->isEditing());
    }

    // Every way of opening an editor asks the flags (typing on one is keysReachTheCurrentCell's).
    void emptyChannelOpensOnlyItsReceiveCell() {
        for (int column = 0; column < kColumnCount; ++column)
            QCOMPARE(bool(grid()->model()->index(2, column).flags() & Qt::ItemIsEditable),
                     column == ColReceive);
    }

    void keyboardFillsAllSixteenChannels() {
        // Sixteen frequencies, each ended by Enter, typed in one burst: Enter moves down a
        // channel, and no key may land in the editor it is closing.
        grid()->setFocus();
        grid()->setCurrentIndex(grid()->model()->index(0, ColReceive));
        QString keys;
        for (int ch = 1; ch <= 16; ++ch) keys += QString("44%1.0125\n").arg(ch % 10);
        TypeAhead(grid(), keys);
        for (int ch = 1; ch <= 16; ++ch)
            QCOMPARE(Row(*form_, ch), QStringList{QString("%1").arg(ch, 2, 10, QChar('0'))} +
                                          Fresh(QString("44%1.01250").arg(ch % 10)));
        QVERIFY(d_->boxes.shown.empty());
    }

    void tabWalksTheRowAndPicksFromLists() {
        QVERIFY(test::TypeIntoCell(grid(), 2, ColReceive, "440", Qt::Key_Tab));
        // Tab opened the next cell's editor: decode, transmit, encode, then the lists.
        const std::pair<int, const char*> steps[] = {{ColDecode, ""},
                                                     {ColTransmit, ""},
                                                     {ColEncode, ""},
                                                     {ColPower, "H"},
                                                     {ColBusyLock, "C"}};
        for (const auto& [column, key] : steps) {
            QCOMPARE(grid()->currentIndex().column(), int(column));
            QWidget* editor = test::OpenEditor(grid());
            QVERIFY(editor && (*key == 0 || qobject_cast<QComboBox*>(editor)));
            QTest::keyClicks(editor, key);
            QTest::keyClick(editor, column == ColBusyLock ? Qt::Key_Return : Qt::Key_Tab);
            test::Settle();
        }
        QCOMPARE(Row(*form_, 2), (QStringList{"02", "440.00000", "Off", "440.00000", "Off", "High",
                                              "Carrier", "Wide", "No"}));
        // From the last column Tab goes on to the next channel's receive cell, past the number.
        QVERIFY(test::TypeIntoCell(grid(), 2, ColScan, "H", Qt::Key_Tab));
        QCOMPARE(form_->document()->cellText(2, ColScan), QString("Have"));
        QCOMPARE(grid()->currentIndex(), grid()->model()->index(2, ColReceive));
    }

    // Right click on a cell, the menu key on the current one: delete the channel, keep scan.
    void contextMenuDeletesTheChannelButKeepsScan() {
        enter(5, ColReceive, "440");
        QVERIFY(test::TypeIntoCell(grid(), 5, ColScan, "H"));
        enter(6, ColReceive, "441");
        enter(3, ColReceive, "440");
        QStringList captions;
        d_->contextMenu = [&](QMenu* menu) {
            QCOMPARE(menu, form_->menus().mnuchannel);
            captions << menu->actions().value(0)->text();
            menu->actions().value(0)->trigger();
        };
        const QRect cell = grid()->visualRect(grid()->model()->index(4, ColBand));
        QTest::mouseClick(grid()->viewport(), Qt::RightButton, {}, cell.center());
        QCOMPARE(Row(*form_, 5), (QStringList{"05", "", "", "", "", "", "", "", "Have"}));
        QCOMPARE(Row(*form_, 6)[ColReceive], QString("441.00000"));
        QVERIFY(d_->boxes.shown.empty());
        // The emptied channel takes a new frequency and fresh defaults, scan included.
        enter(5, ColReceive, "442");
        QCOMPARE(Row(*form_, 5).last(), QString("No"));
        grid()->setCurrentIndex(grid()->model()->index(2, ColPower));
        QContextMenuEvent key(QContextMenuEvent::Keyboard, QPoint(5, 5),
                              grid()->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(grid(), &key);
        QCOMPARE(Row(*form_, 3).mid(1, 7), QStringList(7, QString()));
        // Neither the header nor a context event of the mouse opens it: the right press does that.
        QHeaderView* header = grid()->horizontalHeader();
        QTest::mouseClick(header->viewport(), Qt::RightButton, {},
                          QPoint(header->sectionViewportPosition(2) + 5, 5));
        QContextMenuEvent mouse(QContextMenuEvent::Mouse, QPoint(5, 5),
                                grid()->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(grid(), &mouse);
        QCOMPARE(captions,
                 (QStringList{"Delete the data of 5channel", "Delete the data of 3channel"}));
    }

    void blinkingStatusLabelKeepsTheProgressBarStill() {
        QLabel* label = form_->statusLabel();
        label->setText("Communicating, please waiting");
        form_->ProgressBar1()->show();
        QList<int> widths;
        for (bool shown : {true, false, true, false}) {
            label->setVisible(shown);
            QApplication::processEvents();
            form_->findChild<QWidget*>("centralWidget")->layout()->activate();
            widths << form_->ProgressBar1()->width();
        }
        QCOMPARE(widths, QList<int>(4, widths.first()));
        // Both laid out along the bottom of the window's contents, below the grid (the contents
        // scroll when the screen is smaller than the window).
        QWidget* contents = form_->findChild<QWidget*>("centralWidget");
        const int gridBottom = grid()->mapTo(contents, QPoint(0, grid()->height())).y();
        label->show();
        for (QWidget* w : std::initializer_list<QWidget*>{label, form_->ProgressBar1()}) {
            const QRect at(w->mapTo(contents, QPoint()), w->size());
            QVERIFY(w->isVisible() && at.top() >= gridBottom && contents->rect().contains(at));
        }
    }

    // A band added through the window, or to Combo1 itself. The setting lists write the document
    // and follow it; a file opened is file_commands_test's.
    void bandChangeNoRestoresYesResets_data() {
        test::AddRows("band_entries", {"intoTheListItself"});
    }
    void bandChangeNoRestoresYesResets() {
        if (test::Fetch({"intoTheListItself"})[0] == "1")
            form_->combo(1)->addItem("430-440MHz");
        else
            form_->addBandEntry("430-440MHz");
        QCOMPARE(form_->combo(1)->count(), 2);
        enter(1, ColReceive, "445");
        form_->combo(1)->setCurrentIndex(0);  // the band it shows already: no question
        QVERIFY(d_->boxes.shown.empty());
        form_->combo(2)->setCurrentIndex(2);
        form_->combo(5)->setCurrentIndex(8);
        const EditorState edited = form_->document()->state();
        QVERIFY(edited.combo(2) == 2 && edited.combo(5) == 8);  // the lists write the document
        d_->boxes.answers = {7, 6};                             // No, then Yes
        form_->combo(1)->setCurrentIndex(1);
        QCOMPARE(d_->boxes.texts(),
                 QStringList{"Morvane-R7|36|Select the data that different types or different "
                             "frequency bands will delete the all -channel for use, continue? "});
        QVERIFY(form_->combo(1)->currentIndex() == 0 && form_->BandIndex() == 0);
        QCOMPARE(form_->document()->state(), edited);

        form_->combo(1)->setCurrentIndex(1);
        QVERIFY(form_->combo(1)->currentIndex() == 1 && form_->BandIndex() == 1);
        EditorState expected = NewConfiguration();
        expected.combo(1) = 1;
        QCOMPARE(form_->document()->state(), expected);
        QCOMPARE(form_->combo(2)->currentText() + form_->combo(5)->currentText(),
                 QString("English4"));
        // The check now uses the new band's limits.
        enter(2, ColReceive, "445");
        enter(2, ColReceive, "435");
        QCOMPARE(form_->document()->cellText(2, ColReceive), QString("435.00000"));
        QCOMPARE(d_->boxes.texts().mid(2), QStringList{"Morvane-R7|16|" + kRange});
    }

    // Keys go into the cell the user sees as current: real clicks on the view and keys at
    // typing speed, with no pause between them. Channels 2 (435.125) and 5 (440 / 445) filled;
    // afterwards "channel:column=text" of the cells named, or "current=channel:column".
    void keysReachTheCurrentCell_data() {
        test::AddRows("keys_to_current_cell", {"channel", "column", "keys", "expected"});
    }
    void keysReachTheCurrentCell() {
        const auto [channel, column, keys, expected] =
            test::Fetch({"channel", "column", "keys", "expected"});
        QVERIFY(QTest::qWaitForWindowActive(form_.get()));
        ChannelTableModel* model = form_->channelModel();
        for (const auto& [ch, rx, tx] : {std::tuple{2, "435.125", "435.125"}, {5, "440", "445"}}) {
            model->setData(model->index(ch - 1, ColReceive), rx, Qt::EditRole);
            model->setData(model->index(ch - 1, ColTransmit), tx, Qt::EditRole);
        }
        ClickAndType(grid(), model->index(channel.toInt() - 1, column.toInt()), keys);
        QVERIFY2(d_->boxes.shown.empty(), qPrintable(d_->boxes.texts().join('\n')));
        const QModelIndex current = grid()->currentIndex();
        QStringList seen;
        for (const QString& e : expected.split(' ')) {
            const QStringList p = e.split(QRegularExpression("[:=]"));
            seen << (p[0] == "current"
                         ? QString("current=%1:%2").arg(current.row() + 1).arg(current.column())
                         : e.section('=', 0, 0) + "=" +
                               model->index(p[0].toInt() - 1, p[1].toInt()).data().toString());
        }
        QCOMPARE(seen.join(' '), expected);
    }

    void dialogGridsDoNotSearch() {
        EditorState state;
        state.testFrequency(1, 1) = state.testFrequency(1, 2) = "462.10000";
        TestFrequencyDialog dialog(state);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        ClickAndType(dialog.grid(), dialog.grid()->model()->index(3, 2),
                     "4");  // empty row's Transmit: no editor
        QCOMPARE(dialog.grid()->currentRow(), 3);
        QCOMPARE(dialog.grid()->item(0, 2)->text(), QString("462.10000"));
    }
    // Message boxes: flag decoding, English captions, result codes, and the real box.
    void messageBoxDecodesFlags_data() {
        test::AddRows("message_box_flags", {"flags", "layout", "click", "seen"});
    }
    void messageBoxDecodesFlags() {
        const auto [flags, layout, click, seen] = test::Fetch({"flags", "layout", "click", "seen"});
        const MessageBoxLayout decoded = DecodeMessageBoxFlags(flags.toUInt(nullptr, 0));
        QStringList buttons;
        for (MessageButton b : decoded.buttons)
            buttons << ButtonCaption(b) + "=" + QString::number(ButtonResult(b));
        QCOMPARE(QString("%1|%2|%3|%4")
                     .arg(buttons.join(','))
                     .arg(int(decoded.icon))
                     .arg(decoded.defaultIndex)
                     .arg(decoded.escapeResult),
                 layout);
        if (click == "-") return;
        QString shown;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QStringList captions;
            for (QAbstractButton* b : box->buttons()) captions << b->text();
            captions.sort();
            shown = QString("%1|%2|%3|%4|")
                        .arg(box->windowTitle(), captions.join(','), box->defaultButton()->text())
                        .arg(box->icon());
            if (click.isEmpty()) QTest::keyClick(box, Qt::Key_Return);
            for (QAbstractButton* b : box->buttons()) {
                if (b->text() == click) b->click();
            }
        });
        const int answer = WindowEnvironment().showMessage("Prompt", flags.toUInt(nullptr, 0));
        QCOMPARE(shown + QString::number(answer), seen);
    }

private:
    std::unique_ptr<test::ScriptedDesktop> d_;
    std::unique_ptr<Form1> form_;
    ChannelGrid* grid() const { return form_->mfgrid1(); }
    void enter(int channel, int column, const QString& text) {
        QVERIFY(test::TypeIntoCell(grid(), channel, column, text));
    }
};

QTEST_MAIN(Form1Test)
#include "form1_test.moc"
