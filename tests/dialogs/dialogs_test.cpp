// The auxiliary dialogs end to end: what OK stores (compared over the whole editor), that
// Cancel and the close box store nothing of the same changes, the key filters as the user
// types, and the service-mode gesture on an injected clock. Their static texts are
// window_texts_test's part.

#include "ui_test_support.h"

namespace {

template <typename T>
T* Child(QWidget& parent, const char* name) {
    T* child = parent.findChild<T*>(name);
    if (!child) qFatal("no child %s", name);
    return child;
}

QLineEdit* OpenCell(QTableWidget* grid, int row, int column) {
    grid->setCurrentCell(row, column);
    return qobject_cast<QLineEdit*>(grid->indexWidget(grid->model()->index(row, column)));
}

// Types into a grid cell the way a user does: the editor is open once the cell is current.
bool TypeIntoCell(QTableWidget* grid, int row, int column, const QString& keys) {
    QLineEdit* editor = OpenCell(grid, row, column);
    if (!editor) return false;
    editor->selectAll();
    QTest::keyClicks(editor, keys.isEmpty() ? QString("\b") : keys);
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents();
    return true;
}

// Types characters that QTest's ASCII key table does not know (Chinese, accents).
void TypeText(QWidget* widget, const QString& text) {
    for (QChar ch : text) {
        for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
            QKeyEvent key(type, Qt::Key_unknown, Qt::NoModifier, QString(ch));
            QApplication::sendEvent(widget, &key);
        }
    }
}

// Opens a Dialog on `given` three times, lets `drive` make its changes and ends it with OK,
// Cancel (the close box where there is none) and the close box: only OK stores, and exactly
// what `change` makes of `given`.
template <typename Dialog>
void CheckEndings(const EditorState& given, const auto& drive,
                  const std::function<void(EditorState&)>& change = {}) {
    for (const char* end : {"Command1", "Command2", "close box"}) {
        EditorState state = given;
        EditorState expected = given;
        Dialog dialog(state);
        dialog.show();
        drive(dialog);
        auto* button = dialog.template findChild<QPushButton*>(end);
        if (button)
            button->click();
        else
            dialog.close();
        const bool ok = end == std::string_view("Command1");
        if (ok && change) change(expected);
        QVERIFY2(
            dialog.result() == (ok ? QDialog::Accepted : QDialog::Rejected) && state == expected,
            end);
    }
}

}  // namespace

class DialogsTest : public QObject {
    Q_OBJECT

private slots:
    // --- Form5 "Optional" ---
    void optionalOkStoresExactlyTheChanges() {
        CheckEndings<OptionalDialog>(
            NewConfiguration(),
            [](OptionalDialog& dialog) {
                const std::pair<const char*, int> picks[] = {
                    {"Combo6", 0}, {"Combo7", 10}, {"Combo12", 4}, {"Combo22", 2}, {"Combo18", 18}};
                for (const auto& [box, index] : picks)
                    Child<QComboBox>(dialog, box)->setCurrentIndex(index);
                Child<QCheckBox>(dialog, "Check4")->setChecked(false);
                Child<QScrollBar>(dialog, "VScroll1")->setValue(42);
                QTest::keyClicks(Child<QLineEdit>(dialog, "Text1"), "7c");
                dialog.memoryGrid()->show();  // hidden grids open no editor on their own
                QVERIFY(TypeIntoCell(dialog.memoryGrid(), 1, 1, "aE ,1#*d"));  // DTMF keys only
                QVERIFY(!OpenCell(dialog.memoryGrid(), 1, 0));  // the number column stays closed
            },
            [](EditorState& expected) {
                test::Apply(expected,
                            "o6=0;o7=10;o24=0;o12=5;o19=42;o16=7C;d7=#;d3=1000MS;m2=A1#*D");
            });
    }

    // OK on an untouched dialog gives back every value: the hidden ones, and those its
    // lists cannot show.
    void optionalOkKeepsWhatItWasGiven() {
        EditorState hidden = NewConfiguration();  // every hidden value other than its default
        const char* options[24] = {"9",   "9", "9",  "2",   "9",  "0", "10", "5",
                                   "0",   "1", "2",  "16",  "91", "0", "3",  "12AB",
                                   "*#0", "D", "17", "x y", "9",  "9", "0",  "0"};
        for (int p = 1; p <= 24; ++p) hidden.option(p) = options[p - 1];
        hidden.DtmfValues = {"3", "0", "1000MS", "2", "16", "0", "#", "15"};
        hidden.DtmfMemories = {"123", "", "A*#", "", "", "", "", "DDDD"};
        CheckEndings<OptionalDialog>(hidden, [](OptionalDialog& dialog) {
            QStringList shown;
            for (const char* box :
                 {"Combo4", "Combo13", "Combo12", "Combo19", "Combo21", "Combo22"})
                shown << Child<QComboBox>(dialog, box)->currentText();
            shown << Child<QLineEdit>(dialog, "Text6")->text()
                  << dialog.memoryGrid()->item(7, 1)->text();
            QCOMPARE(shown.join('|'), QString("两者|5.00S|16|16秒|15秒|#|x y|DDDD"));
        });
        EditorState odd = NewConfiguration();
        odd.option(6) = "7";    // outside "Off"/"On"
        odd.option(23) = "2";   // neither checked nor unchecked
        odd.option(12) = "17";  // no such channel item; DtmfValues(7) "Off" is no item either
        CheckEndings<OptionalDialog>(odd, [](OptionalDialog& dialog) {
            QVERIFY(Child<QComboBox>(dialog, "Combo6")->currentIndex() == -1 &&
                    !Child<QCheckBox>(dialog, "Check3")->isChecked());
        });
    }

    // Keys typed into a code box: its text before, whether it was all selected, the keys, the
    // text after.
    void optionalCodeKeyFilter_data() {
        test::AddRows("code_boxes", {"box", "start", "selectAll", "keys", "text"});
    }
    void optionalCodeKeyFilter() {
        const auto [box, start, selectAll, keys, text] =
            test::Fetch({"box", "start", "selectAll", "keys", "text"});
        EditorState state = NewConfiguration();
        OptionalDialog dialog(state);
        auto* edit = Child<QLineEdit>(dialog, box.toLatin1().constData());
        edit->setText(start);
        if (selectAll == "1") edit->selectAll();
        QTest::keyClicks(edit, keys);
        QCOMPARE(edit->text(), text);
    }

    // --- Form6 "Key Set" ---
    void keySetStoresPositionsAndShowsOutOfRangeAsOff() {
        EditorState given = NewConfiguration();
        given.KeyPF2 = 8;  // a blank item, shown as itself
        CheckEndings<KeySetDialog>(
            given,
            [](KeySetDialog& dialog) {
                QVERIFY(dialog.keyList(2)->currentIndex() == 8 &&
                        dialog.keyList(2)->currentText().isEmpty());
                dialog.keyList(1)->setCurrentIndex(8);
            },
            [](EditorState& expected) { expected.KeyPF1 = 8; });
        given.KeyPF1 =
            20;  // out of range either way: shown as "OFF", stored as the "OFF" it showed
        given.KeyPF2 = -1;
        CheckEndings<KeySetDialog>(
            given,
            [](KeySetDialog& dialog) {
                QCOMPARE(dialog.keyList(1)->currentText() + dialog.keyList(2)->currentText(),
                         QString("OFFOFF"));
            },
            [](EditorState& expected) { expected.KeyPF1 = expected.KeyPF2 = 1; });
    }

    // --- Form7 "Insert Information" ---
    // What fits is the image's rule; here typing, pasting and replacing a selection.
    void infoKeepsToWhatTheImageHolds() {
        EditorState given = NewConfiguration();
        given.InfoTexts[0] = std::string(31, 'x');
        CheckEndings<InsertInformationDialog>(
            given,
            [](InsertInformationDialog& dialog) {
                FilteredLineEdit* line = dialog.line(1);
                line->end(false);
                TypeText(line,
                         "中Zz");  // a character the image cannot hold is refused; one more fits
                QCOMPARE(line->text(), QString(31, 'x') + "Z");
                QTest::keyClick(line, Qt::Key_Backspace);
                QTest::keyClicks(line, "ab");
                QCOMPARE(line->text(), QString(31, 'x') + "a");
                line->selectAll();
                QTest::keyClicks(line, "AB");
                TypeText(dialog.line(2), "lower é");
                QCOMPARE(dialog.line(2)->text(), QString("lower é"));
                dialog.line(2)->selectAll();
                for (const auto& [text, n] :
                     {std::pair{"中文", 1}, {"0123456789012345678901234567890123456", 2}}) {
                    QGuiApplication::clipboard()->setText(text);
                    QTest::keyClick(dialog.line(n), Qt::Key_V, Qt::ControlModifier);
                }
            },
            [](EditorState& expected) {
                expected.InfoTexts = {"AB", "01234567890123456789012345678901"};
            });
    }

    // --- Form4 "Test Frequcy" ---
    // The snapping and range rules are the core's table; here each way a cell ends.
    // Channel 4 holds 450 / 451; the column typed in, the text, the row afterwards.
    void testFrequencyEdits_data() {
        test::AddRows("test_frequency_cells", {"column", "typed", "receive", "transmit"});
    }
    void testFrequencyEdits() {
        const auto [column, typed, receive, transmit] =
            test::Fetch({"column", "typed", "receive", "transmit"});
        EditorState given = NewConfiguration();
        given.testFrequency(4, 1) = "450.00000";
        given.testFrequency(4, 2) = "451.00000";
        CheckEndings<TestFrequencyDialog>(
            given,
            [&](TestFrequencyDialog& dialog) {
                QVERIFY(TypeIntoCell(dialog.grid(), 3, column.toInt(), typed));
                QCOMPARE(CellText(dialog.grid(), 3, 1) + "|" + CellText(dialog.grid(), 3, 2),
                         receive + "|" + transmit);
            },
            [&](EditorState& expected) {
                expected.testFrequency(4, 1) = receive.toStdString();
                expected.testFrequency(4, 2) = transmit.toStdString();
            });
    }

    void testFrequencyGridCells() {
        EditorState given = NewConfiguration();
        given.testFrequency(2, 1) = "462.01250";
        given.testFrequency(2, 2) = "463.00000";
        CheckEndings<TestFrequencyDialog>(
            given,
            [](TestFrequencyDialog& dialog) {
                QTableWidget* grid = dialog.grid();
                QCOMPARE(CellText(grid, 1, 2), QString("463.00000"));
                QVERIFY(!OpenCell(grid, 2, 2));  // no transmit without receive
                // Passing over cells opens and closes their editors without changing them.
                QVERIFY(OpenCell(grid, 1, 1) && OpenCell(grid, 1, 2) && OpenCell(grid, 0, 1));
                QCOMPARE(CellText(grid, 1, 2), QString("463.00000"));
                QVERIFY(TypeIntoCell(grid, 2, 1, "440"));
                QVERIFY(OpenCell(grid, 2, 2));  // open now that receive has a value
            },
            [](EditorState& expected) {
                expected.testFrequency(3, 1) = expected.testFrequency(3, 2) = "440.00000";
            });
    }

    // --- Form2 "Debug parameter" ---
    void debugUnlockGesture() {
        EditorState state = NewConfiguration();
        double now = 1000;
        int shown = 0;
        DebugParameterDialog dialog(
            state, nullptr, [&shown] { ++shown; }, [&now] { return now; });
        dialog.show();
        // The gesture's timing is the core's table; two spots are not enough, the third unlocks.
        for (int spot : {3, 2}) {
            QTest::mouseClick(dialog.hotSpot(spot), Qt::LeftButton);
            now += 1;
        }
        QVERIFY(!dialog.slider(1)->isEnabled());
        QTest::mouseClick(dialog.hotSpot(1), Qt::LeftButton);
        QVERIFY(state.ServiceUnlocked == 1 && shown == 1);
        QVERIFY(dialog.slider(1)->isEnabled() && dialog.slider(3)->isEnabled());
    }

    void debugSlidersStore() {
        EditorState given = NewConfiguration();
        given.ServiceUnlocked = 1;  // the sliders move
        CheckEndings<DebugParameterDialog>(
            given,
            [](DebugParameterDialog& dialog) {
                dialog.slider(1)->setFocus();
                QTest::keyClick(dialog.slider(1), Qt::Key_End);
                QTest::keyClick(dialog.slider(3), Qt::Key_PageUp);
                QCOMPARE(Child<QLabel>(dialog, "Lblpower1")->text() +
                             Child<QLabel>(dialog, "Lblpower3")->text(),
                         QString("25597"));
            },
            [](EditorState& expected) {
                expected.PowerHigh = 255;
                expected.PowerLow = 97;
            });
    }
};

QTEST_MAIN(DialogsTest)
#include "dialogs_test.moc"
