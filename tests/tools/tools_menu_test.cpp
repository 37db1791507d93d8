// The "Tools" menu of the main window: undo and redo, channel rows through the clipboard,
// CSV export and import, comparing with a data file, the remembered write options and serial
// devices.

#include "ui/tools/tools_menu.h"

#include "ui/tools/compare_dialog.h"
#include "ui/tools/editor_history.h"
#include "ui/tools/serial_ports_dialog.h"
#include "ui_test_support.h"

class ToolsMenuTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        w_.reset();
        w_ = std::make_unique<test::WindowFixture>();
        makeWindow();
    }

    void undoAndRedoWalkTheExactStates() {
        std::vector<EditorState> states{doc()->state()};

        QVERIFY(test::TypeIntoCell(form()->mfgrid1(), 2, 1,
                                   QStringLiteral("435.0070")));  // defaults filled
        states.push_back(doc()->state());
        QCOMPARE(QString::fromStdString(doc()->state().cell(2, 3)), QStringLiteral("435.00625"));

        form()->combo(5)->setCurrentIndex(8);  // Squelch Grade 9
        states.push_back(doc()->state());

        store("Optional", [](EditorState& s) {
            s.option(7) = "5";
            s.InfoTexts[0] = "HELLO";
            s.PowerHigh = 230;
        });
        states.push_back(doc()->state());

        QGuiApplication::clipboard()->setText(
            QStringLiteral("446.1\tD023I\t440\tOff\tHigh\tCarrier\tNarrow\tHave\r\n"));
        select({7});
        tools_->actions().paste->trigger();
        QCOMPARE(test::Cells(doc()->state(), 7),
                 std::string("446.10000|D023I|440.00000|Off|High|Carrier|Narrow|Have"));
        states.push_back(doc()->state());

        form()->mfgrid1()->clearSelection();
        for (int i = static_cast<int>(states.size()) - 2; i >= 0; --i) {
            const EditorState& s = states[static_cast<std::size_t>(i)];
            QVERIFY(tools_->actions().undo->isEnabled());
            tools_->actions().undo->trigger();
            QVERIFY2(doc()->state() == s, qPrintable(QString::number(i)));
            QCOMPARE(form()->combo(5)->currentIndex(), s.combo(5));
            QCOMPARE(form()->mfgrid1()->model()->index(1, 1).data().toString(),
                     QString::fromStdString(s.cell(2, 1)));
        }
        QVERIFY(!tools_->actions().undo->isEnabled());
        for (std::size_t i = 1; i < states.size(); ++i) {
            tools_->actions().redo->trigger();
            QVERIFY(doc()->state() == states[i]);
        }
        QVERIFY(!tools_->actions().redo->isEnabled());
        // An edit after undoing drops what could have been redone.
        tools_->actions().undo->trigger();
        form()->combo(7)->setCurrentIndex(0);
        QVERIFY(!tools_->history()->canRedo());
        QVERIFY(w_->boxes.shown.empty());
    }

    void newOpenAndReadClearTheHistory() {
        QVERIFY(test::TypeIntoCell(form()->mfgrid1(), 1, 1, QStringLiteral("446")));
        const QString file = path(QStringLiteral("one.DAT"));
        QVERIFY(WriteDatFile(file, EncodeImageBytes(doc()->state())).has_value());

        // New, answered Cancel: nothing happens, the history stays; answered OK, it goes.
        for (const int answer : {kResultCancel, kResultOk}) {
            w_->boxes.answers = {answer};
            form()->menus().mnuNew->trigger();
            QVERIFY(doc()->state().channelEmpty(1) != tools_->history()->canUndo());
        }

        form()->combo(2)->setCurrentIndex(2);
        w_->boxes.answers = {kResultNo};  // discard the unsaved change
        choose(form()->menus().mnuOpen, file);
        QCOMPARE(QString::fromStdString(doc()->state().cell(1, 1)), QStringLiteral("446.00000"));
        QVERIFY(!tools_->history()->canUndo());

        // A read from the radio ends in decoding the image it received.
        form()->combo(2)->setCurrentIndex(0);
        QVERIFY(doc()->decodeImage(EncodeImageBytes(doc()->state())));
        QVERIFY(!tools_->history()->canUndo() && !tools_->actions().undo->isEnabled());
    }

    void undoLeavesTheServiceModeAlone() {
        store("Debug", [](EditorState& s) {
            s.ServiceUnlocked = 1;
            s.UnlockClick1 = -1;
        });
        QVERIFY(!tools_->history()->canUndo());  // the gesture alone is no edit

        store("Debug", [](EditorState& s) { s.PowerHigh = 240; });
        store("Service mode off", [](EditorState& s) { s.ServiceUnlocked = 0; });

        tools_->actions().undo->trigger();  // undo does not unlock again
        QVERIFY(doc()->state().PowerHigh == 208 && doc()->state().ServiceUnlocked == 0 &&
                !tools_->history()->canUndo());
        tools_->actions().redo->trigger();
        QVERIFY(doc()->state().PowerHigh == 240 && doc()->state().ServiceUnlocked == 0);
    }

    void copyThenPasteMovesRowsThroughTheKeys() {
        QVERIFY(QTest::qWaitForWindowActive(form()));
        QVERIFY(test::TypeIntoCell(form()->mfgrid1(), 3, 1, QStringLiteral("440.0125")));
        QVERIFY(test::TypeIntoCell(form()->mfgrid1(), 4, 1, QStringLiteral("462.5624")));
        QVERIFY(test::TypeIntoCell(form()->mfgrid1(), 4, 5, QStringLiteral("H")));
        select({3, 4});
        form()->mfgrid1()->setFocus();
        QTest::keyClick(form()->mfgrid1(), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(),
                 QStringLiteral("440.01250\tOff\t440.01250\tOff\tLow\tOff\tWide\tNo\r\n"
                                "462.56000\tOff\t462.56000\tOff\tHigh\tOff\tWide\tNo\r\n"));
        select({15});
        QTest::keyClick(form()->mfgrid1(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(test::Cells(doc()->state(), 15) + test::Cells(doc()->state(), 16),
                 test::Cells(doc()->state(), 3) + test::Cells(doc()->state(), 4));
        QCOMPARE(form()->mfgrid1()->model()->index(15, 5).data().toString(),
                 QStringLiteral("High"));
        // One undo takes the whole paste back; redo brings it again.
        QTest::keyClick(form()->mfgrid1(), Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(doc()->state().channelEmpty(15) && doc()->state().channelEmpty(16));
        QTest::keyClick(form()->mfgrid1(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(test::Cells(doc()->state(), 16), test::Cells(doc()->state(), 4));
        QVERIFY(w_->boxes.shown.empty());
        // Locked, neither a paste nor an undo reaches the channels; unlocked, undo works again.
        const EditorState before = doc()->state();
        select({1});
        form()->menus().mnulock->trigger();
        for (const Qt::Key key : {Qt::Key_V, Qt::Key_Z}) {
            QTest::keyClick(form(), key, Qt::ControlModifier);
            QVERIFY(doc()->state() == before);
        }
        form()->menus().mnulock->trigger();
        QTest::keyClick(form(), Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(doc()->state().channelEmpty(15));
    }

    // What makes a field bad is the clipboard tests' table; here a bad second line keeps the
    // good first one out too, and a malformed line is reported.
    void badPasteIsReportedOnceAndStoresNothing() {
        const QString good = "446\tOff\t446\tOff\tLow\tOff\tWide\tNo\r\n";
        const std::pair<QString, QString> rows[] = {
            {good + "470\tOff\t446\tOff\tLow\tOff\tWide\tNo\r\n",
             "Line 2 (channel 02), Receive \"470\": outside the band"},
            {"446\tOff\t446\tOff\tLow\n", "found 5"},
        };
        QVERIFY(test::TypeIntoCell(form()->mfgrid1(), 2, 1, QStringLiteral("450")));
        const EditorState before = doc()->state();
        const int steps = tools_->history()->stack()->count();
        select({1});
        for (const auto& [text, reported] : rows) {
            QGuiApplication::clipboard()->setText(text);
            tools_->actions().paste->trigger();
            QVERIFY2(w_->boxes.shown.back().prompt.contains(reported) &&
                         w_->boxes.shown.back().flags == 16u,
                     qPrintable(w_->boxes.shown.back().prompt));
            QVERIFY(doc()->state() == before && tools_->history()->stack()->count() == steps);
        }
        QCOMPARE(w_->boxes.shown.size(), std::size(rows));  // reported once each
    }

    // The options and the serial devices are stored when chosen and read on the next run.
    void optionsAndDevicesSurviveARestart() {
        const QString ini = path(QStringLiteral("config/tools.ini"));
        qunsetenv("MORVANE_R7_COM1");
        qunsetenv("MORVANE_R7_COM2");
        QVERIFY(!tools_->actions().verify->isChecked() && !tools_->actions().backup->isChecked());
        tools_->actions().verify->trigger();
        QVERIFY(tools_->options().verifyAfterWriting);
        QVERIFY(test::Contents(ini).contains("verifyAfterWriting=true"));
        w_->dialogs = test::Looking([](QDialog& shown) {
            auto& dialog = dynamic_cast<SerialPortsDialog&>(shown);
            dialog.show();
            QVERIFY(QTest::qWaitForWindowExposed(&dialog));
            QTest::keyClicks(dialog.deviceBox(2)->lineEdit(), QStringLiteral("/dev/ttyACM0"));
            QTest::mouseClick(dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok),
                              Qt::LeftButton);
        });
        tools_->actions().serialPorts->trigger();

        makeWindow();  // a new run
        QVERIFY(tools_->actions().verify->isChecked() && !tools_->actions().backup->isChecked());
        tools_->actions().backup->trigger();
        tools_->actions().verify->trigger();

        makeWindow();
        QVERIFY(!tools_->actions().verify->isChecked() && tools_->actions().backup->isChecked());
        QCOMPARE(tools_->options(), LoadToolsOptions(ini));
        emit form()->menus().mnucom->aboutToShow();
        QCOMPARE(
            form()->menus().mnucomPorts[0]->toolTip() + form()->menus().mnucomPorts[1]->toolTip(),
            QStringLiteral("/dev/ttyUSB0/dev/ttyACM0"));
        QVERIFY(w_->boxes.shown.empty());
    }

    void csvExportAndImportThroughTheFileDialog() {
        QVERIFY(test::TypeIntoCell(form()->mfgrid1(), 1, 1, QStringLiteral("446.00625")));
        QVERIFY(test::TypeIntoCell(form()->mfgrid1(), 5, 1, QStringLiteral("440")));
        QVERIFY(test::TypeIntoCell(form()->mfgrid1(), 5, 3, QStringLiteral("445")));
        const EditorState edited = doc()->state();

        choose(tools_->actions().exportCsv,
               path(QStringLiteral("channels")));  // no extension: ".csv" added
        QVERIFY(w_->files.shown.back().filter == "CSV (*.csv)" &&
                w_->files.shown.back().mode == FileDialogMode::Save);
        // The header and two channels; their layout is the CSV tests' part.
        QCOMPARE(test::Contents(path(QStringLiteral("channels.csv"))).count("\r\n"), 3);

        w_->boxes.answers = {kResultOk};
        form()->menus().mnuNew->trigger();

        choose(tools_->actions().importCsv, path(QStringLiteral("channels.csv")));
        QCOMPARE(w_->files.shown.back().mode, FileDialogMode::Open);
        QCOMPARE(test::Cells(doc()->state(), 1) + test::Cells(doc()->state(), 5),
                 test::Cells(edited, 1) + test::Cells(edited, 5));
        QCOMPARE(w_->boxes.shown.size(), std::size_t{1});  // only New's question
        tools_->actions().undo->trigger();                 // the import is one step
        QVERIFY(doc()->state().channelEmpty(1));

        // Overwriting asks; No writes nothing.
        QVERIFY(test::WriteFile(path(QStringLiteral("channels.csv")), {}));
        w_->boxes.answers = {kResultNo};
        choose(tools_->actions().exportCsv, path(QStringLiteral("channels.csv")));
        QCOMPARE(w_->boxes.shown.back().flags, 36u);
        QVERIFY(test::Contents(path(QStringLiteral("channels.csv"))).isEmpty());

        // A file that is no channel table changes nothing and says why.
        QVERIFY(test::WriteFile(path("bad.csv"), "just,some,words\r\n"));
        const EditorState before = doc()->state();
        choose(tools_->actions().importCsv, path("bad.csv"));
        QVERIFY(w_->boxes.shown.back().flags == 16u && doc()->state() == before);
    }

    void compareListsTheDifferences() {
        QVERIFY(test::TypeIntoCell(form()->mfgrid1(), 3, 1, QStringLiteral("446.00625")));
        const QString file = path(QStringLiteral("saved.DAT"));
        QVERIFY(WriteDatFile(file, EncodeImageBytes(doc()->state())).has_value());
        QVERIFY(test::TypeIntoCell(form()->mfgrid1(), 3, 1, QStringLiteral("446.0125")));
        form()->combo(5)->setCurrentIndex(8);

        QStringList lines;  // the title, then the list
        w_->dialogs = test::Looking([&](QDialog& dialog) {
            auto& compare = dynamic_cast<CompareDialog&>(dialog);
            QVERIFY(compare.list()->isReadOnly());
            lines = QStringList{dialog.windowTitle()} +
                    compare.list()->toPlainText().split(QLatin1Char('\n'));
        });
        choose(tools_->actions().compare, file);
        QCOMPARE(lines, (QStringList{QStringLiteral("Compare with saved.DAT"),
                                     QStringLiteral("Channel 03 Receive: 446.01250 -> 446.00625"),
                                     QStringLiteral("Squelch Grade: 9 -> 4")}));

        // A file of the wrong type is refused like Open refuses it.
        QVERIFY(test::WriteFile(path("wrong.DAT"), QByteArray(900, 'x')));
        lines.clear();
        choose(tools_->actions().compare, path("wrong.DAT"));
        QVERIFY(lines.isEmpty());
        QCOMPARE(w_->boxes.shown.back().prompt, QStringLiteral("File type is incorrect!"));
        // One that cannot be read (a folder) is named with its reason, where Open stays quiet.
        choose(tools_->actions().compare, path(""));
        QVERIFY(!w_->boxes.shown.back().prompt.contains("File type"));
    }

private:
    // What a dialog's OK hands over: the editor's state with some changes.
    void store(const QString& label, const std::function<void(EditorState&)>& change) {
        EditorState s = doc()->state();
        change(s);
        doc()->storeState(s, label);
    }

    // Runs `action` with `file` as the file dialog's answer.
    void choose(QAction* action, const QString& file) {
        w_->files.answers = {file};
        action->trigger();
    }

    void select(const std::vector<int>& channels) {
        ChannelGrid* grid = form()->mfgrid1();
        grid->clearSelection();
        grid->setCurrentIndex(grid->model()->index(channels.front() - 1, 1));
        for (int ch : channels)
            grid->selectionModel()->select(grid->model()->index(ch - 1, 1),
                                           QItemSelectionModel::Select);
    }

    void makeWindow() {
        w_->form = w_->window();
        tools_ = new ToolsMenu(*w_->form, path(QStringLiteral("config/tools.ini")));
        form()->show();
        QVERIFY(QTest::qWaitForWindowExposed(form()));
    }

    Form1* form() const { return w_->form.get(); }
    EditorDocument* doc() const { return form()->document(); }
    QString path(const QString& name) const { return w_->path(name); }

    std::unique_ptr<test::WindowFixture> w_;
    ToolsMenu* tools_ = nullptr;
};

QTEST_MAIN(ToolsMenuTest)
#include "tools_menu_test.moc"
