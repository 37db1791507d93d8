// The auxiliary dialogs end to end: what OK stores (compared over the whole editor), that
// Cancel and the close box store nothing, the key filters as the user types, and the
// service-mode gesture on an injected clock. Their static texts are window_texts_test's part.

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
    QTest::keyClicks(editor, keys);
    if (keys.isEmpty()) QTest::keyClick(editor, Qt::Key_Backspace);
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

// Every hidden value of the Optional dialog set to something other than its default.
EditorState HiddenValuesState() {
    EditorState s = NewConfiguration();
    const char* options[24] = {"9", "9", "9", "2", "9", "0", "10", "5", "0", "1", "2", "16",
                               "91", "0", "3", "12AB", "*#0", "D", "17", "x y", "9", "9",
                               "0", "0"};
    for (int p = 1; p <= 24; ++p) s.option(p) = options[p - 1];
    s.DtmfValues = {"3", "0", "1000MS", "2", "16", "0", "#", "15"};
    s.DtmfMemories = {"123", "", "A*#", "", "", "", "", "DDDD"};
    return s;
}

}  // namespace

class DialogsTest : public QObject {
    Q_OBJECT

private slots:
    // --- Form5 "Optional" ---
    void optionalOkStoresExactlyTheChanges() {
        EditorState state = NewConfiguration();
        EditorState expected = state;
        OptionalDialog dialog(state);
        for (const auto& [box, index] : {std::pair{"Combo6", 0}, {"Combo7", 10}, {"Combo12", 4}, {"Combo22", 2},
                                         {"Combo18", 18}})
            Child<QComboBox>(dialog, box)->setCurrentIndex(index);
        Child<QCheckBox>(dialog, "Check4")->setChecked(false);
        Child<QScrollBar>(dialog, "VScroll1")->setValue(42);
        QTest::keyClicks(Child<QLineEdit>(dialog, "Text1"), "7c");
        dialog.show();
        dialog.memoryGrid()->show();  // hidden grids open no editor on their own
        QVERIFY(TypeIntoCell(dialog.memoryGrid(), 2, 1, "1a#"));
        Child<QPushButton>(dialog, "Command1")->click();

        for (const auto& [p, value] : {std::pair{6, "0"}, {7, "10"}, {24, "0"}, {12, "5"}, {19, "42"}, {16, "7C"}})
            expected.option(p) = value;
        expected.DtmfValues[6] = "#";
        expected.DtmfValues[2] = "1000MS";
        expected.DtmfMemories[1] = "1A#";
        QVERIFY(dialog.result() == QDialog::Accepted && state == expected);
    }

    // OK on an untouched dialog gives back every value: the hidden ones, and those its
    // lists cannot show.
    void optionalOkKeepsWhatItWasGiven() {
        EditorState state = HiddenValuesState();
        EditorState before = state;
        {
            OptionalDialog dialog(state);
            QStringList shown;
            for (const char* box : {"Combo4", "Combo13", "Combo12", "Combo19", "Combo21", "Combo22"})
                shown << Child<QComboBox>(dialog, box)->currentText();
            shown << Child<QLineEdit>(dialog, "Text6")->text() << dialog.memoryGrid()->item(8, 1)->text();
            QCOMPARE(shown.join('|'), QString("两者|5.00S|16|16秒|15秒|#|x y|DDDD"));
            Child<QPushButton>(dialog, "Command1")->click();
            QVERIFY(state == before);
        }
        state = NewConfiguration();
        state.option(6) = "7";     // outside "Off"/"On"
        state.option(23) = "2";    // neither checked nor unchecked
        state.option(12) = "17";   // no such channel item
        before = state;            // DtmfValues(7) "Off" is no item either
        OptionalDialog dialog(state);
        QVERIFY(Child<QComboBox>(dialog, "Combo6")->currentIndex() == -1 && !Child<QCheckBox>(dialog, "Check3")->isChecked());
        Child<QPushButton>(dialog, "Command1")->click();
        QVERIFY(state == before);
    }

    void optionalCodeKeyFilter() {
        const struct {
            const char* box;
            QString start;
            bool selectAll;
            QString keys, text;
        } rows[] = {
            {"Text1", "", false, "12ab*#", "12AB*#"},                                // digits, letters, star, hash
            {"Text1", "0123456789", false, "5", "0123456789"},                      // full ID code
            {"Text1", "0123456789", true, "d", "D"},                                // full, over a selection
            {"Text1", "0123456789", false, "\bab", "012345678A"},                   // backspace at the limit
            {"Text3", "0123456789ABCD", false, "*##", "0123456789ABCD*#"},          // 16 for PTT codes
            {"Text4", "", false, "abcdef", "ABCD"},
        };
        for (const auto& r : rows) {
            EditorState state = NewConfiguration();
            OptionalDialog dialog(state);
            auto* edit = Child<QLineEdit>(dialog, r.box);
            edit->setText(r.start);
            if (r.selectAll) edit->selectAll();
            QTest::keyClicks(edit, r.keys);
            QCOMPARE(edit->text(), r.text);
        }
    }

    void optionalMemoryCellFilter() {
        EditorState state = NewConfiguration();
        OptionalDialog dialog(state);
        dialog.show();
        dialog.memoryGrid()->show();
        QLineEdit* editor = OpenCell(dialog.memoryGrid(), 1, 1);
        QVERIFY(editor);  // entering the cell opened its editor
        QTest::keyClicks(editor, "aE ,1#*d");
        QCOMPARE(editor->text(), QString("A1#*D"));
        QTest::keyClick(editor, Qt::Key_Return);
        QCoreApplication::processEvents();
        QCOMPARE(dialog.memoryGrid()->item(1, 1)->text(), QString("A1#*D"));
        QVERIFY(!OpenCell(dialog.memoryGrid(), 1, 0));  // the number column stays closed
    }

    // --- Form6 "Key Set" ---
    void keySetStoresPositions() {
        EditorState state = NewConfiguration();
        KeySetDialog dialog(state);
        dialog.keyList(1)->setCurrentIndex(8);  // a blank item
        Child<QPushButton>(dialog, "Command1")->click();
        EditorState expected = NewConfiguration();
        expected.KeyPF1 = 8;
        QVERIFY(state == expected);
        KeySetDialog again(state);
        QVERIFY(again.keyList(1)->currentIndex() == 8 && again.keyList(1)->currentText().isEmpty());
    }

    void keySetOutOfRangeShowsOff() {
        EditorState state = NewConfiguration();
        state.KeyPF1 = 20;
        state.KeyPF2 = -1;
        KeySetDialog dialog(state);
        QCOMPARE(dialog.keyList(1)->currentText() + dialog.keyList(2)->currentText(), QString("OFFOFF"));
        Child<QPushButton>(dialog, "Command1")->click();
        QVERIFY(state.KeyPF1 == 1 && state.KeyPF2 == 1);  // stored as the "OFF" it showed
    }

    // --- Form7 "Insert Information" ---
    void infoLengthFilter() {
        EditorState state = NewConfiguration();
        state.InfoTexts[0] = std::string(31, 'x');
        InsertInformationDialog dialog(state);
        FilteredLineEdit* line = dialog.line(1);
        line->end(false);
        TypeText(line, "中Zz");  // a character the image cannot hold is refused; one more fits
        QCOMPARE(line->text(), QString(31, 'x') + "Z");
        QTest::keyClick(line, Qt::Key_Backspace);
        QTest::keyClicks(line, "ab");
        QCOMPARE(line->text(), QString(31, 'x') + "a");
        line->selectAll();
        QTest::keyClicks(line, "q");
        QCOMPARE(line->text(), QString("q"));
        TypeText(dialog.line(2), "lower é");
        QCOMPARE(dialog.line(2)->text(), QString("lower é"));
    }

    void infoPasteKeepsToWhatTheImageHolds() {
        EditorState state = NewConfiguration();
        InsertInformationDialog dialog(state);
        QTest::keyClicks(dialog.line(1), "AB");
        const QString pasted = "0123456789012345678901234567890123456";
        for (const auto& [text, line] : {std::pair{QString("中文"), 1}, std::pair{pasted, 2}}) {
            QGuiApplication::clipboard()->setText(text);
            QTest::keyClick(dialog.line(line), Qt::Key_V, Qt::ControlModifier);
        }
        Child<QPushButton>(dialog, "Command1")->click();
        QCOMPARE(state.InfoTexts[0], std::string("AB"));
        QCOMPARE(state.InfoTexts[1], pasted.left(32).toStdString());
    }

    // --- Form4 "Test Frequcy" ---
    // The snapping and range rules are the core's table; here each way a cell ends.
    void testFrequencyEdits() {
        const struct {
            int column;
            QString typed, receive, transmit;
        } rows[] = {
            {1, "462.013", "462.01250", "462.01250"},  // to 6.25 kHz
            {2, "462.013", "450.00000", "462.01000"},
            {1, "", "", ""},                            // receive emptied
            {2, "", "450.00000", "450.00000"},          // transmit emptied
            {1, "abc", "450.00000", "451.00000"},       // refused
            {1, "1234.5", "450.00000", "451.00000"},    // refused
        };
        for (const auto& r : rows) {
            EditorState state = NewConfiguration();
            state.testFrequency(4, 1) = "450.00000";
            state.testFrequency(4, 2) = "451.00000";
            TestFrequencyDialog dialog(state);
            dialog.show();
            QVERIFY(TypeIntoCell(dialog.grid(), 4, r.column, r.typed));
            QCOMPARE(CellText(dialog.grid(), 4, 1) + "|" + CellText(dialog.grid(), 4, 2), r.receive + "|" + r.transmit);
            Child<QPushButton>(dialog, "Command1")->click();
            EditorState expected = NewConfiguration();
            expected.testFrequency(4, 1) = r.receive.toStdString();
            expected.testFrequency(4, 2) = r.transmit.toStdString();
            QVERIFY(state == expected);
        }
    }

    void testFrequencyGridAndButtons() {
        EditorState state = NewConfiguration();
        state.testFrequency(2, 1) = "462.01250";
        state.testFrequency(2, 2) = "463.00000";
        const EditorState before = state;
        TestFrequencyDialog dialog(state);
        dialog.show();
        QTableWidget* grid = dialog.grid();
        QCOMPARE(CellText(grid, 2, 2), QString("463.00000"));
        QVERIFY(!OpenCell(grid, 3, 2));  // no transmit without receive
        // Passing over cells opens and closes their editors without changing them.
        QVERIFY(OpenCell(grid, 2, 1));
        QVERIFY(OpenCell(grid, 2, 2));
        QVERIFY(OpenCell(grid, 1, 1));
        QCOMPARE(CellText(grid, 2, 2), QString("463.00000"));
        QVERIFY(TypeIntoCell(grid, 3, 1, "440"));
        QVERIFY(OpenCell(grid, 3, 2));  // open now that receive has a value
        Child<QPushButton>(dialog, "Command2")->click();
        QVERIFY(state == before);

        TestFrequencyDialog third(state);
        Child<QPushButton>(third, "Command1")->click();
        QVERIFY(state == before);
    }

    // --- Form2 "Debug parameter" ---
    void debugUnlockGestureAndStore() {
        EditorState state = NewConfiguration();
        double now = 1000;
        int shown = 0;
        DebugParameterDialog dialog(state, nullptr, [&shown] { ++shown; }, [&now] { return now; });
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
        dialog.slider(1)->setFocus();
        QTest::keyClick(dialog.slider(1), Qt::Key_End);
        QTest::keyClick(dialog.slider(3), Qt::Key_PageUp);
        QCOMPARE(Child<QLabel>(dialog, "Lblpower1")->text() + Child<QLabel>(dialog, "Lblpower3")->text(), QString("25597"));
        Child<QPushButton>(dialog, "Command1")->click();
        QVERIFY(state.PowerHigh == 255 && state.PowerLow == 97);
    }

    // --- every dialog with a Cancel or a close box ---
    // One change made, and neither Cancel nor the close box stores it.
    void cancelAndCloseBoxStoreNothing() {
        for (bool closeBox : {false, true}) {
            EditorState state = NewConfiguration();
            state.ServiceUnlocked = 1;  // the sliders move
            state.InfoTexts = {"one", "two"};
            const EditorState before = state;
            OptionalDialog optional(state);
            Child<QComboBox>(optional, "Combo8")->setCurrentIndex(5);
            Child<QCheckBox>(optional, "Check3")->setChecked(false);
            Child<QComboBox>(optional, "Combo0")->setCurrentIndex(3);
            KeySetDialog keys(state);
            keys.keyList(2)->setCurrentIndex(6);
            InsertInformationDialog info(state);
            QTest::keyClicks(info.line(1), "xx");
            QTest::keyClicks(info.line(2), "yy");
            TestFrequencyDialog testFrequency(state);
            testFrequency.show();
            QVERIFY(TypeIntoCell(testFrequency.grid(), 1, 1, "440"));
            DebugParameterDialog debug(state);
            debug.slider(1)->setValue(255);
            for (QDialog* d : std::initializer_list<QDialog*>{&optional, &keys, &info, &testFrequency, &debug}) {
                d->show();
                auto* cancel = d->findChild<QPushButton*>("Command2");
                if (closeBox || !cancel) d->close();
                else cancel->click();
                QVERIFY2(d->result() == QDialog::Rejected && state == before, qPrintable(d->objectName()));
            }
        }
    }
};

QTEST_MAIN(DialogsTest)
#include "dialogs_test.moc"
