// The "Tools" menu of the main window: undo and redo, channel rows through the clipboard,
// CSV export and import, comparing with a data file, and the remembered write options.

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QUndoStack>
#include <memory>

#include "files/dat_file.h"
#include "image/image_codec.h"
#include "ui/main/channel_grid.h"
#include "ui/main/editor_document.h"
#include "ui/main/form1.h"
#include "ui/tools/compare_dialog.h"
#include "ui/tools/editor_history.h"
#include "ui/tools/tools_menu.h"
#include "ui_test_support.h"

using namespace r7;
using namespace r7::ui;

namespace {

QString RowText(const EditorState& s, int channel) {
    QStringList cells;
    for (int col = 1; col <= 8; ++col) cells << QString::fromStdString(s.cell(channel, col));
    return cells.join(QLatin1Char('|'));
}

}  // namespace

class ToolsMenuTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        boxes_ = std::make_unique<test::ScriptedMessageBoxes>();
        dialogs_ = std::make_unique<test::ScriptedFileDialogs>();
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        makeWindow();
    }

    void cleanup() {
        form_.reset();
        dialogs_.reset();
        boxes_.reset();
        dir_.reset();
    }

    void undoAndRedoWalkTheExactStates() {
        std::vector<EditorState> states{doc()->state()};
        QVERIFY(!tools_->history()->canUndo());

        QVERIFY(test::TypeIntoCell(form_->mfgrid1(), 2, 1, QStringLiteral("435.0070")));  // defaults filled
        states.push_back(doc()->state());
        QCOMPARE(QString::fromStdString(doc()->state().cell(2, 3)), QStringLiteral("435.00625"));

        form_->combo(5)->setCurrentIndex(8);  // Squelch Grade 9
        states.push_back(doc()->state());

        EditorState dialogOk = doc()->state();  // what a dialog's OK hands over
        dialogOk.option(7) = "5";
        dialogOk.InfoTexts[0] = "HELLO";
        dialogOk.PowerHigh = 230;
        doc()->storeState(dialogOk, QStringLiteral("Optional"));
        states.push_back(doc()->state());

        QGuiApplication::clipboard()->setText(QStringLiteral("446.1\tD023I\t440\tOff\tHigh\tCarrier\tNarrow\tHave\r\n"));
        select({7});
        tools_->actions().paste->trigger();
        QCOMPARE(RowText(doc()->state(), 7),
                 QStringLiteral("446.10000|D023I|440.00000|Off|High|Carrier|Narrow|Have"));
        states.push_back(doc()->state());

        form_->mfgrid1()->clearSelection();
        for (int i = static_cast<int>(states.size()) - 2; i >= 0; --i) {
            QVERIFY(tools_->actions().undo->isEnabled());
            tools_->actions().undo->trigger();
            QVERIFY2(doc()->state() == states[static_cast<std::size_t>(i)], qPrintable(QString::number(i)));
            QCOMPARE(form_->combo(5)->currentIndex(), states[static_cast<std::size_t>(i)].combo(5));
            QCOMPARE(form_->mfgrid1()->model()->index(1, 1).data().toString(),
                     QString::fromStdString(states[static_cast<std::size_t>(i)].cell(2, 1)));
        }
        QVERIFY(!tools_->actions().undo->isEnabled());
        for (std::size_t i = 1; i < states.size(); ++i) {
            tools_->actions().redo->trigger();
            QVERIFY(doc()->state() == states[i]);
        }
        QVERIFY(!tools_->actions().redo->isEnabled());
        // An edit after undoing drops what could have been redone.
        tools_->actions().undo->trigger();
        form_->combo(7)->setCurrentIndex(0);
        QVERIFY(!tools_->history()->canRedo());
        QVERIFY(boxes_->shown.empty());
    }

    void newOpenAndReadClearTheHistory() {
        QVERIFY(test::TypeIntoCell(form_->mfgrid1(), 1, 1, QStringLiteral("446")));
        const QString file = path(QStringLiteral("one.DAT"));
        QVERIFY(WriteDatFile(file, EncodeImageBytes(doc()->state())).ok);

        // New, answered Cancel: nothing happens, the history stays.
        boxes_->answers = {kResultCancel};
        form_->menus().mnuNew->trigger();
        QVERIFY(tools_->history()->canUndo());
        boxes_->answers = {kResultOk};
        form_->menus().mnuNew->trigger();
        QVERIFY(doc()->state().channelEmpty(1));
        QVERIFY(!tools_->history()->canUndo());

        form_->combo(2)->setCurrentIndex(2);
        QVERIFY(tools_->history()->canUndo());
        dialogs_->answers = {file};
        boxes_->answers = {kResultNo};  // discard the unsaved change
        form_->menus().mnuOpen->trigger();
        QCOMPARE(QString::fromStdString(doc()->state().cell(1, 1)), QStringLiteral("446.00000"));
        QVERIFY(!tools_->history()->canUndo());

        // A read from the radio ends in decoding the image it received.
        form_->combo(2)->setCurrentIndex(0);
        QVERIFY(tools_->history()->canUndo());
        QVERIFY(doc()->decodeImage(EncodeImageBytes(doc()->state())));
        QVERIFY(!tools_->history()->canUndo());
        QVERIFY(!tools_->actions().undo->isEnabled());
    }

    void undoLeavesTheServiceModeAlone() {
        EditorState unlocked = doc()->state();
        unlocked.ServiceUnlocked = 1;
        unlocked.UnlockClick1 = -1;
        doc()->storeState(unlocked, QStringLiteral("Debug"));
        QVERIFY(!tools_->history()->canUndo());  // the gesture alone is no edit

        EditorState calibrated = doc()->state();
        calibrated.PowerHigh = 240;
        doc()->storeState(calibrated, QStringLiteral("Debug"));
        EditorState relocked = doc()->state();
        relocked.ServiceUnlocked = 0;
        doc()->storeState(relocked, QStringLiteral("Service mode off"));

        tools_->actions().undo->trigger();
        QCOMPARE(doc()->state().PowerHigh, 208);
        QCOMPARE(doc()->state().ServiceUnlocked, 0);  // undo does not unlock again
        QVERIFY(!tools_->history()->canUndo());
        tools_->actions().redo->trigger();
        QCOMPARE(doc()->state().PowerHigh, 240);
        QCOMPARE(doc()->state().ServiceUnlocked, 0);
    }

    void copyThenPasteMovesRowsThroughTheKeys() {
        QVERIFY(QTest::qWaitForWindowActive(form_.get()));
        QVERIFY(test::TypeIntoCell(form_->mfgrid1(), 3, 1, QStringLiteral("440.0125")));
        QVERIFY(test::TypeIntoCell(form_->mfgrid1(), 4, 1, QStringLiteral("462.5624")));
        QVERIFY(test::TypeIntoCell(form_->mfgrid1(), 4, 5, QStringLiteral("H")));
        select({3, 4});
        QCOMPARE(tools_->selectedChannels(), (std::vector<int>{3, 4}));
        form_->mfgrid1()->setFocus();
        QTest::keyClick(form_->mfgrid1(), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(),
                 QStringLiteral("440.01250\tOff\t440.01250\tOff\tLow\tOff\tWide\tNo\r\n"
                                "462.56000\tOff\t462.56000\tOff\tHigh\tOff\tWide\tNo\r\n"));
        select({15});
        QTest::keyClick(form_->mfgrid1(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(RowText(doc()->state(), 15), RowText(doc()->state(), 3));
        QCOMPARE(RowText(doc()->state(), 16), RowText(doc()->state(), 4));
        QCOMPARE(form_->mfgrid1()->model()->index(15, 5).data().toString(), QStringLiteral("High"));
        // One undo takes the whole paste back; redo brings it again.
        QTest::keyClick(form_->mfgrid1(), Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(doc()->state().channelEmpty(15) && doc()->state().channelEmpty(16));
        QTest::keyClick(form_->mfgrid1(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(RowText(doc()->state(), 16), RowText(doc()->state(), 4));
        QVERIFY(boxes_->shown.empty());
    }

    void badPasteIsReportedOnceAndStoresNothing_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("reported");
        // What makes a field bad is the clipboard tests' table; here a bad second line keeps the
        // good first one out too, and a malformed line is reported.
        const QString good = QStringLiteral("446\tOff\t446\tOff\tLow\tOff\tWide\tNo\r\n");
        QTest::newRow("out of band") << good + QStringLiteral("470\tOff\t446\tOff\tLow\tOff\tWide\tNo\r\n")
                                     << QStringLiteral("Line 2 (channel 02), Receive \"470\": outside the band");
        QTest::newRow("wrong field count") << QStringLiteral("446\tOff\t446\tOff\tLow\n")
                                           << QStringLiteral("found 5");
    }

    void badPasteIsReportedOnceAndStoresNothing() {
        QFETCH(QString, text);
        QFETCH(QString, reported);
        QVERIFY(test::TypeIntoCell(form_->mfgrid1(), 2, 1, QStringLiteral("450")));
        const EditorState before = doc()->state();
        const int steps = tools_->history()->stack()->count();
        QGuiApplication::clipboard()->setText(text);
        select({1});
        tools_->actions().paste->trigger();
        QCOMPARE(boxes_->shown.size(), std::size_t{1});
        QVERIFY2(boxes_->shown[0].prompt.contains(reported), qPrintable(boxes_->shown[0].prompt));
        QCOMPARE(boxes_->shown[0].flags, 16u);
        QVERIFY(doc()->state() == before);
        QCOMPARE(tools_->history()->stack()->count(), steps);
    }

    void lockedEditorTakesNoPasteOrUndo() {
        QVERIFY(test::TypeIntoCell(form_->mfgrid1(), 1, 1, QStringLiteral("433.5")));
        const EditorState before = doc()->state();
        form_->mfgrid1()->setEnabled(false);  // what the lock does to the grid
        QGuiApplication::clipboard()->setText(QStringLiteral("446\tOff\t446\tOff\tLow\tOff\tWide\tNo\r\n"));
        select({2});
        tools_->actions().paste->trigger();
        tools_->actions().undo->trigger();
        QVERIFY(doc()->state() == before);
        form_->mfgrid1()->setEnabled(true);
        tools_->actions().undo->trigger();
        QVERIFY(doc()->state().channelEmpty(1));
    }

    void optionsSurviveARestart() {
        const QString ini = path(QStringLiteral("config/tools.ini"));
        QVERIFY(!tools_->actions().verify->isChecked());
        QVERIFY(!tools_->actions().backup->isChecked());
        tools_->actions().verify->trigger();
        QVERIFY(tools_->options().verifyAfterWriting);
        QVERIFY(test::Contents(ini).contains("verifyAfterWriting=true"));

        makeWindow();  // a new run
        QVERIFY(tools_->actions().verify->isChecked());
        QVERIFY(!tools_->actions().backup->isChecked());
        tools_->actions().backup->trigger();
        tools_->actions().verify->trigger();

        makeWindow();
        QVERIFY(!tools_->actions().verify->isChecked());
        QVERIFY(tools_->actions().backup->isChecked());
        QCOMPARE(tools_->options(), LoadToolsOptions(ini));
        QVERIFY(boxes_->shown.empty());
    }

    void csvExportAndImportThroughTheFileDialog() {
        QVERIFY(test::TypeIntoCell(form_->mfgrid1(), 1, 1, QStringLiteral("446.00625")));
        QVERIFY(test::TypeIntoCell(form_->mfgrid1(), 5, 1, QStringLiteral("440")));
        QVERIFY(test::TypeIntoCell(form_->mfgrid1(), 5, 3, QStringLiteral("445")));
        const EditorState edited = doc()->state();

        dialogs_->answers = {path(QStringLiteral("channels"))};  // no extension: ".csv" added
        tools_->actions().exportCsv->trigger();
        QCOMPARE(dialogs_->shown.back().filter, QStringLiteral("CSV (*.csv)"));
        QCOMPARE(dialogs_->shown.back().mode, FileDialogMode::Save);
        const QByteArray csv = test::Contents(path(QStringLiteral("channels.csv")));
        QCOMPARE(csv.count("\r\n"), 3);  // header and two channels; their layout is the CSV tests' part

        boxes_->answers = {kResultOk};
        form_->menus().mnuNew->trigger();
        QVERIFY(doc()->state().channelEmpty(1));

        dialogs_->answers = {path(QStringLiteral("channels.csv"))};
        tools_->actions().importCsv->trigger();
        QCOMPARE(dialogs_->shown.back().mode, FileDialogMode::Open);
        QCOMPARE(RowText(doc()->state(), 1), RowText(edited, 1));
        QCOMPARE(RowText(doc()->state(), 5), RowText(edited, 5));
        QCOMPARE(boxes_->shown.size(), std::size_t{1});  // only New's question
        tools_->actions().undo->trigger();  // the import is one step
        QVERIFY(doc()->state().channelEmpty(1));

        // Overwriting asks; No writes nothing.
        QFile::remove(path(QStringLiteral("channels.csv")));
        QVERIFY(QFile(path(QStringLiteral("channels.csv"))).open(QIODevice::WriteOnly));
        boxes_->answers = {kResultNo};
        dialogs_->answers = {path(QStringLiteral("channels.csv"))};
        tools_->actions().exportCsv->trigger();
        QCOMPARE(boxes_->shown.back().flags, 36u);
        QVERIFY(test::Contents(path(QStringLiteral("channels.csv"))).isEmpty());

        // A file that is no channel table changes nothing and says why.
        QFile bad(path(QStringLiteral("bad.csv")));
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write("just,some,words\r\n");
        bad.close();
        const EditorState before = doc()->state();
        dialogs_->answers = {bad.fileName()};
        tools_->actions().importCsv->trigger();
        QCOMPARE(boxes_->shown.back().flags, 16u);
        QVERIFY(doc()->state() == before);
    }

    void compareListsTheDifferences() {
        QVERIFY(test::TypeIntoCell(form_->mfgrid1(), 3, 1, QStringLiteral("446.00625")));
        const QString file = path(QStringLiteral("saved.DAT"));
        QVERIFY(WriteDatFile(file, EncodeImageBytes(doc()->state())).ok);
        QVERIFY(test::TypeIntoCell(form_->mfgrid1(), 3, 1, QStringLiteral("446.0125")));
        form_->combo(5)->setCurrentIndex(8);

        QStringList lines;
        QString title;
        tools_->setDialogPresenter([&](QDialog& dialog) {
            title = dialog.windowTitle();
            auto* compare = qobject_cast<CompareDialog*>(&dialog);
            QVERIFY(compare);
            QVERIFY(compare->list()->isReadOnly());
            lines = compare->list()->toPlainText().split(QLatin1Char('\n'));
        });
        dialogs_->answers = {file};
        tools_->actions().compare->trigger();
        QCOMPARE(title, QStringLiteral("Compare with saved.DAT"));
        QCOMPARE(lines, (QStringList{QStringLiteral("Channel 03 Receive: 446.01250 -> 446.00625"),
                                     QStringLiteral("Squelch Grade: 9 -> 4")}));

        // A file of the wrong type is refused like Open refuses it.
        QFile wrong(path(QStringLiteral("wrong.DAT")));
        QVERIFY(wrong.open(QIODevice::WriteOnly));
        wrong.write(QByteArray(900, 'x'));
        wrong.close();
        lines.clear();
        dialogs_->answers = {wrong.fileName()};
        tools_->actions().compare->trigger();
        QVERIFY(lines.isEmpty());
        QCOMPARE(boxes_->shown.back().prompt, QStringLiteral("File type is incorrect!"));
    }

private:
    void select(const std::vector<int>& channels) {
        ChannelGrid* grid = form_->mfgrid1();
        grid->clearSelection();
        grid->setCurrentIndex(grid->model()->index(channels.front() - 1, 1));
        for (int ch : channels) {
            grid->selectionModel()->select(grid->model()->index(ch - 1, 1), QItemSelectionModel::Select);
        }
    }

    void makeWindow() {
        form_ = std::make_unique<Form1>();
        tools_ = new ToolsMenu(*form_, path(QStringLiteral("config/tools.ini")));
        form_->show();
        QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
    }

    EditorDocument* doc() const { return form_->document(); }
    QString path(const QString& name) const { return dir_->filePath(name); }

    std::unique_ptr<test::ScriptedMessageBoxes> boxes_;
    std::unique_ptr<test::ScriptedFileDialogs> dialogs_;
    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<Form1> form_;
    ToolsMenu* tools_ = nullptr;
};

QTEST_MAIN(ToolsMenuTest)
#include "tools_menu_test.moc"
