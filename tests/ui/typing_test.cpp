// Keys go into the cell the user sees as current: real clicks on the view and keys at typing
// speed, with no pause between them.

#include <QTableWidget>
#include <QTest>

#include "image/editor_state.h"
#include "ui/dialogs/test_frequency_dialog.h"
#include "ui/main/channel_table_model.h"
#include "ui/main/form1.h"
#include "ui_test_support.h"

using namespace r7;
using namespace r7::ui;
using namespace r7::ui::test;

namespace {

// Clicks the cell twice, the second time on the cell already current, then types at once;
// each key goes where the desktop would send it, to the widget holding the focus.
void ClickAndType(QAbstractItemView* view, const QModelIndex& cell, const QString& keys) {
    const QPoint at = view->visualRect(cell).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
    for (const QChar key : keys) {
        QWidget* focus = QApplication::focusWidget() ? QApplication::focusWidget() : view;
        if (key == u'\n') QTest::keyClick(focus, Qt::Key_Return);
        else if (key == u'\x7f') QTest::keyClick(focus, Qt::Key_Delete);
        else if (key == u'\b') QTest::keyClick(focus, Qt::Key_Backspace);
        else QTest::keyClick(focus, key.toLatin1());
    }
    Settle();
}

}  // namespace

class TypingTest : public QObject {
    Q_OBJECT
private slots:
    void keysReachTheCurrentCell_data();
    void keysReachTheCurrentCell();
    void dialogGridsDoNotSearch();
};

void TypingTest::keysReachTheCurrentCell_data() {
    QTest::addColumn<int>("channel");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QStringList>("expected");  // "channel:column=text", "current=channel:column"
    QTest::newRow("receive") << 2 << int(ColReceive) << "446.5\n" << QStringList{"2:1=446.50000", "5:1=440.00000"};
    QTest::newRow("transmit") << 2 << int(ColTransmit) << "441\n" << QStringList{"2:3=441.00000", "5:3=445.00000"};
    QTest::newRow("Delete on receive") << 5 << int(ColReceive) << "\x7f" << QStringList{"5:1=", "5:3=", "5:5="};
    QTest::newRow("Backspace on transmit") << 5 << int(ColTransmit) << "\b" << QStringList{"5:3=440.00000"};
    QTest::newRow("Delete on a picked cell") << 5 << int(ColPower) << "\x7f" << QStringList{"5:5=Low"};
    QTest::newRow("cell not editable") << 9 << int(ColDecode) << "O" << QStringList{"current=9:2", "5:2=Off"};
}

void TypingTest::keysReachTheCurrentCell() {
    QFETCH(int, channel);
    QFETCH(int, column);
    QFETCH(QString, keys);
    QFETCH(QStringList, expected);
    ScriptedMessageBoxes boxes;
    Form1 f;
    f.show();
    QVERIFY(QTest::qWaitForWindowActive(&f));
    ChannelTableModel* model = f.channelModel();
    for (const auto& [ch, rx, tx] : {std::tuple{2, "435.125", "435.125"}, {5, "440", "445"}}) {
        model->setData(model->index(ch - 1, ColReceive), rx, Qt::EditRole);
        model->setData(model->index(ch - 1, ColTransmit), tx, Qt::EditRole);
    }
    ClickAndType(f.mfgrid1(), model->index(channel - 1, column), keys);
    QVERIFY2(boxes.shown.empty(), qPrintable(boxes.texts().join('\n')));
    for (const QString& e : expected) {
        const QStringList parts = e.split(QRegularExpression("[:=]"));
        if (parts[0] == "current") {
            const QModelIndex current = f.mfgrid1()->currentIndex();
            QCOMPARE(QString("current=%1:%2").arg(current.row() + 1).arg(current.column()), e);
        } else {
            QCOMPARE(model->index(parts[0].toInt() - 1, parts[1].toInt()).data().toString(), parts[2]);
        }
    }
}

void TypingTest::dialogGridsDoNotSearch() {
    EditorState state;
    state.testFrequency(1, 1) = state.testFrequency(1, 2) = "462.10000";
    TestFrequencyDialog dialog(state);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QTableWidget* grid = dialog.grid();
    ClickAndType(grid, grid->model()->index(3, 2), "4");  // Transmit of an empty row: no editor
    QCOMPARE(grid->currentRow(), 3);
    QCOMPARE(grid->item(1, 2)->text(), QString("462.10000"));
}

QTEST_MAIN(TypingTest)
#include "typing_test.moc"
