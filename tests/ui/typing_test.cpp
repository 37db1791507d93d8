// Keys go into the cell the user sees as current: real clicks on the view and keys at typing
// speed, with no pause between them.

#include "ui_test_support.h"

namespace {

// Clicks the cell twice, the second time on the cell already current, then types at once;
// each key goes where the desktop would send it, to the widget holding the focus.
void ClickAndType(QAbstractItemView* view, const QModelIndex& cell, const QString& keys) {
    const QPoint at = view->visualRect(cell).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
    for (const QChar key : keys) {
        QWidget* focus = QApplication::focusWidget() ? QApplication::focusWidget() : view;
        const std::map<QChar, Qt::Key> named{{u'\n', Qt::Key_Return}, {u'\x7f', Qt::Key_Delete},
                                             {u'\b', Qt::Key_Backspace}};
        if (named.contains(key)) QTest::keyClick(focus, named.at(key));
        else QTest::keyClick(focus, key.toLatin1());
    }
    test::Settle();
}

}  // namespace

class TypingTest : public QObject {
    Q_OBJECT
private slots:
    // Channels 2 (435.125) and 5 (440 / 445) filled; "channel:column=text" or "current=channel:column".
    void keysReachTheCurrentCell() {
        const struct {
            int channel, column;
            QString keys;
            QStringList expected;
        } rows[] = {
            {2, ColReceive, "446.5\n", {"2:1=446.50000", "5:1=440.00000"}},
            {2, ColTransmit, "441\n", {"2:3=441.00000", "5:3=445.00000"}},
            {5, ColReceive, "\x7f", {"5:1=", "5:3=", "5:5="}},  // Delete on receive
            {5, ColTransmit, "\b", {"5:3=440.00000"}},          // Backspace on transmit
            {5, ColPower, "\x7f", {"5:5=Low"}},                 // Delete on a picked cell
            {9, ColDecode, "O", {"current=9:2", "5:2=Off"}},     // cell not editable
        };
        for (const auto& r : rows) {
            test::ScriptedMessageBoxes boxes;
            Form1 f;
            f.show();
            QVERIFY(QTest::qWaitForWindowActive(&f));
            ChannelTableModel* model = f.channelModel();
            for (const auto& [ch, rx, tx] : {std::tuple{2, "435.125", "435.125"}, {5, "440", "445"}}) {
                model->setData(model->index(ch - 1, ColReceive), rx, Qt::EditRole);
                model->setData(model->index(ch - 1, ColTransmit), tx, Qt::EditRole);
            }
            ClickAndType(f.mfgrid1(), model->index(r.channel - 1, r.column), r.keys);
            QVERIFY2(boxes.shown.empty(), qPrintable(boxes.texts().join('\n')));
            const QModelIndex current = f.mfgrid1()->currentIndex();
            for (const QString& e : r.expected) {
                const QStringList p = e.split(QRegularExpression("[:=]"));
                QCOMPARE(p[0] == "current" ? QString("current=%1:%2").arg(current.row() + 1).arg(current.column())
                                           : QString("%1:%2=%3").arg(p[0], p[1], model->index(p[0].toInt() - 1,
                                                                      p[1].toInt()).data().toString()),
                         e);
            }
        }
    }

    void dialogGridsDoNotSearch() {
        EditorState state;
        state.testFrequency(1, 1) = state.testFrequency(1, 2) = "462.10000";
        TestFrequencyDialog dialog(state);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        ClickAndType(dialog.grid(), dialog.grid()->model()->index(3, 2), "4");  // empty row's Transmit: no editor
        QCOMPARE(dialog.grid()->currentRow(), 3);
        QCOMPARE(dialog.grid()->item(1, 2)->text(), QString("462.10000"));
    }
};

QTEST_MAIN(TypingTest)
#include "typing_test.moc"
