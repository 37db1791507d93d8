// New, Open and Save in the main window, against real files in a temporary folder.

#include "ui_test_support.h"

namespace {

// A data file by hand: the mark, then channel 1 at 440.01250 / 445.00000 and empty
// records elsewhere, padded with FF to `size` bytes.
QByteArray HandMadeFile(const QByteArray& mark, int size) {
    QByteArray bytes = mark;
    bytes.append(QByteArray::fromHex("50120044 00005044 FFFF FFFF E8 EF FFFF"));
    for (int ch = 2; ch <= 16; ++ch)
        bytes.append(QByteArray::fromHex("FFFFFFFFFFFFFFFFFFFFFFFFFFF0FFFF"));
    while (bytes.size() < size) bytes.append(char(0xFF));
    bytes.truncate(size);
    return bytes;
}

// The values New keeps: the ones its defaults do not set.
EditorState WithKeptValues(EditorState s) {
    s.KeyPF1 = 5;
    s.option(16) = "123";
    s.InfoTexts[0] = "HELLO";
    return s;
}

}  // namespace

class FileCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        w_.reset();
        w_ = std::make_unique<test::WindowFixture>();
        // Channels 1 and 9 and two lists edited.
        EditorDocument* doc = w_->form->document();
        const std::tuple<int, int, const char*> edits[] = {
            {1, ColReceive, "440.0125"}, {1, ColTransmit, "445"}, {1, ColBusyLock, "Carrier"},
            {9, ColReceive, "462.5625"}, {9, ColDecode, "D754I"}, {9, ColPower, "High"}};
        for (const auto& [ch, col, text] : edits)
            QCOMPARE(doc->editCell(ch, col, text), EditResult::Stored);
        doc->setCombo(5, 8);
        doc->setCombo(2, 2);
        doc->replaceState(edited_ = doc->state());  // as if opened: Open and Save ask nothing
    }

    void newAsksThenResetsButKeepsWhatTheDefaultsLeave() {
        const EditorState edited = WithKeptValues(edited_);
        doc()->replaceState(edited);
        boxes().answers = {kResultCancel};
        form().menus().mnuNew->trigger();
        QCOMPARE(boxes().texts(),
                 QStringList{"Warn|305|The data of the all channel will be removed! "});
        QCOMPARE(doc()->state(), edited);
        QCOMPARE(form().combo(5)->currentText(), QString("9"));

        form().setWindowTitle("Morvane-R7-/somewhere/old.DAT");
        form().show();
        form().ProgressBar1()->show();
        boxes().answers = {kResultOk};
        form().toolButton("new")->trigger();
        QCOMPARE(doc()->state(), WithKeptValues(NewConfiguration()));
        QCOMPARE(form().combo(5)->currentText(), QString("4"));
        QCOMPARE(form().windowTitle(), QString("Morvane-R7-/somewhere/old.DAT"));
        QVERIFY(!form().ProgressBar1()->isVisible());
        // OK resets even an untouched editor, and asks every time.
        form().menus().mnuNew->trigger();
        QCOMPARE(boxes().shown.size(), std::size_t{3});
        // Every list on screen shows its default again; the band chosen stays.
        form().addBandEntry("430-440MHz");
        boxes().answers = {kResultYes, kResultOk};
        form().combo(1)->setCurrentIndex(1);
        form().combo(2)->setCurrentIndex(2);
        form().combo(9)->setCurrentIndex(1);
        form().toolButton("new")->trigger();
        QStringList lists;
        for (int n = 1; n <= kComboCount; ++n) lists << form().combo(n)->currentText();
        QCOMPARE(lists.join('|'), QString("430-440MHz|English|30 S|关闭|4|On|On|On|Return|On"));
    }

    void saveThenOpenGivesTheSameConfiguration() {
        files().answers = {path("radio")};
        form().menus().mnuAssave->trigger();
        QVERIFY(boxes().shown.empty());
        const QString file = path("radio.DAT");
        QCOMPARE(form().windowTitle(), "Morvane-R7-" + file);
        const QByteArray bytes = test::Contents(file);
        QCOMPARE(bytes.size(), 853);
        QCOMPARE(bytes.left(5),
                 QByteArray("P3207"));  // the image's bytes are the codec tests' part

        boxes().answers = {kResultOk};
        form().menus().mnuNew->trigger();
        QCOMPARE(doc()->state(), NewConfiguration());
        form().setWindowTitle("Morvane R7");
        files().answers = {file};
        form().toolButton("open")->trigger();
        QCOMPARE(doc()->state(), edited_);
        QCOMPARE(form().combo(5)->currentText() + form().combo(2)->currentText() +
                     form().combo(10)->currentText(),
                 QString("9ChineseOn"));  // every list follows, the last one too
        QCOMPARE(form().windowTitle(), "Morvane-R7-" + file);
        QCOMPARE(boxes().shown.size(), std::size_t{1});  // only New's question
        for (const FileDialogRequest& r : files().shown)
            QCOMPARE(r.filter, QString("Morvane-R7(*.DAT)"));

        // Saving the opened configuration gives the same 853 bytes again.
        files().answers = {path("again.dat")};
        form().menus().mnuAssave->trigger();
        QCOMPARE(test::Contents(path("again.dat")), bytes);
    }

    // No goes back to the dialog, where Cancel writes nothing and another name writes that;
    // Yes replaces the longer file whole, no stale tail.
    void overwriteAsksAndNoReturnsToTheDialog() {
        const QString file = path("old.DAT"), other = path("other.DAT");
        const QByteArray old(2000, char(0xAA));
        QVERIFY(test::WriteFile(file, old));
        const struct {
            QStringList chosen;
            int answer;
            QString written;
        } rows[] = {{{file, QString()}, kResultNo, ""},
                    {{file, path("other")}, kResultNo, other},
                    {{file}, kResultYes, file}};
        for (const auto& r : rows) {
            files().expect({r.chosen.begin(), r.chosen.end()});
            boxes().expect({r.answer});
            form().menus().mnuAssave->trigger();
            QCOMPARE(files().shown.size(), std::size_t(r.chosen.size()));
            QCOMPARE(boxes().texts(),
                     QStringList{"Morvane-R7|36|This file has already existed, whether cover? "});
            QCOMPARE(test::Contents(file), r.written == file ? test::Contents(other) : old);
            QCOMPARE(form().windowTitle(),
                     r.written.isEmpty() ? QString("Morvane R7") : "Morvane-R7-" + r.written);
            QCOMPARE(QDir(w_->dir.path()).entryList(QDir::Files).size(),
                     r.written.isEmpty() ? 1 : 2);
        }
    }

    void cancelChangesNothing() {
        form().menus().mnuOpen->trigger();  // no answer queued: Cancel
        form().menus().mnuAssave->trigger();
        files().answers = {QString("")};  // an empty name ends Open as well
        form().menus().mnuOpen->trigger();
        QCOMPARE(files().shown.size(), std::size_t{3});
        QVERIFY(boxes().shown.empty());
        unchanged();
    }

    // Every mark and length of the file is the data file tests' table; one of each ending
    // here: refused in words (a missing file too), refused quietly (a folder: a file error),
    // or opened, a tail ignored.
    void openTakesOnlyAWholeDataFile_data() {
        QTest::addColumn<QByteArray>("contents");  // null: no file at all
        QTest::addColumn<QString>("said");  // "opened": no box, channels 1 and 9 as in the file
        const QString refused = "Mistake|16|File type is incorrect!";
        QTest::newRow("other mark") << HandMadeFile("P2207", 853) << refused;
        QTest::newRow("820 bytes") << HandMadeFile("P3207", 820) << refused;
        QTest::newRow("no file") << QByteArray() << refused;
        QTest::newRow("a folder") << QByteArray("folder") << QString();
        QTest::newRow("821 bytes") << HandMadeFile("P3207", 821) << QString("opened");
        QTest::newRow("853 bytes") << HandMadeFile("P3207", 853) << QString("opened");
        QTest::newRow("4000 bytes") << HandMadeFile("P3207", 4000) << QString("opened");
    }
    void openTakesOnlyAWholeDataFile() {
        QFETCH(QByteArray, contents);
        QFETCH(QString, said);
        const QString file = path("x.DAT");
        if (contents == "folder")
            QVERIFY(QDir().mkdir(file));
        else if (!contents.isNull())
            QVERIFY(test::WriteFile(file, contents));
        files().answers = {file};
        form().menus().mnuOpen->trigger();
        QCOMPARE(QFileInfo::exists(file), !contents.isNull());  // Open never creates a file
        if (said != "opened") {
            QCOMPARE(boxes().texts().join(""), said);
            unchanged();
            return;
        }
        QVERIFY(boxes().shown.empty());
        QStringList cells;
        for (int col : {ColReceive, ColTransmit, ColBusyLock}) cells << doc()->cellText(1, col);
        QCOMPARE(cells.join('|') + doc()->cellText(9, ColReceive),
                 QString("440.01250|445.00000|Carrier"));
        QCOMPARE(form().windowTitle(), "Morvane-R7-" + file);
    }

    void realDialogOffersTheOneFilter() {
        QString seen;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            seen = QString("%1 %2 confirms=%3 caseSensitive=%4")
                       .arg(dialog->objectName(), dialog->nameFilters().join(','))
                       .arg(!dialog->testOption(QFileDialog::DontConfirmOverwrite))
                       .arg(dialog->filter().testFlag(QDir::CaseSensitive));
            dialog->setDirectory(w_->dir.path());
            dialog->selectFile(path("chosen"));
            QMetaObject::invokeMethod(dialog, "accept");
        });
        const std::optional<QString> chosen = WindowEnvironment().chooseFile(FileDialogMode::Save);
        QCOMPARE(seen, QString("CommonDialog1 Morvane-R7(*.DAT) confirms=0 caseSensitive=0"));
        QCOMPARE(WithDatExtension(chosen.value_or("")), path("chosen.DAT"));
        QCOMPARE(WithDatExtension(path("a.dat")), path("a.dat"));
        QCOMPARE(WithDatExtension(path("a.")), path("a.DAT"));
    }

    // Through the real file dialog: a typed name that names no file is refused in the program's
    // own words, and the dialog closes.
    void missingTypedNameIsAWrongFileType() {
        WindowEnvironment desktop = w_->environment();
        desktop.fileDialogPresenter = ShowQtFileDialog;  // the real dialog
        Form1 form({}, desktop);                         // unedited, so Open asks nothing first
        const QString caption = form.windowTitle();
        bool typed = false;
        std::function<void()> type = [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!dialog) return QTimer::singleShot(20, type);
            auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            QTest::keyClicks(name, w_->path(QStringLiteral("nothing-here.DAT")));
            QTest::keyClick(name, Qt::Key_Return);  // closes the completion list, as a user would
            auto* buttons = dialog->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
            QTest::mouseClick(buttons->button(QDialogButtonBox::Open), Qt::LeftButton);
            typed = true;
            // Qt's own "not found" box would keep the dialog open; end the test either way.
            QTimer::singleShot(500, [dialog] {
                if (dialog->isVisible()) dialog->reject();
            });
        };
        QTimer::singleShot(0, type);
        form.menus().mnuOpen->trigger();
        QVERIFY(typed);
        QCOMPARE(w_->boxes.texts(),
                 QStringList{QStringLiteral("Mistake|16|File type is incorrect!")});
        QCOMPARE(form.windowTitle(), caption);
    }

private:
    // Nothing moved: the editor, the caption, and the folder (x.DAT aside).
    void unchanged() {
        QCOMPARE(doc()->state(), edited_);
        QCOMPARE(form().windowTitle(), QString("Morvane R7"));
        QVERIFY(QDir(w_->dir.path()).entryList(QDir::Files).filter("x.DAT").size() ==
                QDir(w_->dir.path()).entryList(QDir::Files).size());
    }

    Form1& form() { return *w_->form; }
    EditorDocument* doc() { return w_->form->document(); }
    test::ScriptedMessageBoxes& boxes() { return w_->boxes; }
    test::ScriptedFileDialogs& files() { return w_->files; }
    QString path(const QString& name) const { return w_->path(name); }

    std::unique_ptr<test::WindowFixture> w_;
    EditorState edited_;
};

QTEST_MAIN(FileCommandsTest)
#include "file_commands_test.moc"
