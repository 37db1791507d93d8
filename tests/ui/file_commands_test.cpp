// New, Open and Save in the main window, against real files in a temporary folder.

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>

#include "image/editor_defaults.h"
#include "ui/main/editor_document.h"
#include "ui/main/form1.h"
#include "ui_test_support.h"

using namespace r7;
using namespace r7::ui;

namespace {

// A data file by hand: the mark, then channel 1 at 440.01250 / 445.00000 and empty
// records elsewhere, padded with FF to `size` bytes.
QByteArray HandMadeFile(const QByteArray& mark, int size) {
    QByteArray bytes = mark;
    bytes.append(QByteArray::fromHex("50120044" "00005044" "FFFF" "FFFF" "E8" "EF" "FFFF"));
    for (int ch = 2; ch <= 16; ++ch) bytes.append(QByteArray::fromHex("FFFFFFFFFFFFFFFFFFFFFFFFFFF0FFFF"));
    while (bytes.size() < size) bytes.append(char(0xFF));
    bytes.truncate(size);
    return bytes;
}

}  // namespace

class FileCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        boxes_ = std::make_unique<test::ScriptedMessageBoxes>();
        dialogs_ = std::make_unique<test::ScriptedFileDialogs>();
        form_ = std::make_unique<Form1>();
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
    }

    void cleanup() {
        form_.reset();
        dialogs_.reset();
        boxes_.reset();
        dir_.reset();
    }

    void newAsksThenResetsButKeepsWhatTheDefaultsLeave() {
        fillSomeChannels();
        EditorState edited = form_->document()->state();
        edited.KeyPF1 = 5;
        edited.option(16) = "123";
        edited.InfoTexts[0] = "HELLO";
        form_->document()->replaceState(edited);
        boxes_->answers = {kResultCancel};
        form_->menus().mnuNew->trigger();
        QCOMPARE(boxes_->texts(), QStringList{"Warn|305|The data of the all channel will be removed! "});
        QCOMPARE(form_->document()->state(), edited);
        QCOMPARE(form_->combo(5)->currentText(), QString("9"));

        form_->setWindowTitle("Morvane-R7-/somewhere/old.DAT");
        form_->show();
        form_->ProgressBar1()->show();
        boxes_->answers = {kResultOk};
        form_->toolButton("new")->trigger();
        EditorState expected = NewConfiguration();
        expected.KeyPF1 = 5;
        expected.option(16) = "123";
        expected.InfoTexts[0] = "HELLO";
        QCOMPARE(form_->document()->state(), expected);
        QCOMPARE(form_->combo(5)->currentText(), QString("4"));
        QCOMPARE(form_->windowTitle(), QString("Morvane-R7-/somewhere/old.DAT"));
        QVERIFY(!form_->ProgressBar1()->isVisible());
        // OK resets even an untouched editor, and asks every time.
        form_->menus().mnuNew->trigger();
        QCOMPARE(boxes_->shown.size(), std::size_t{3});
    }

    void saveThenOpenGivesTheSameConfiguration() {
        fillSomeChannels();
        const EditorState saved = form_->document()->state();
        dialogs_->answers = {path("radio")};
        form_->menus().mnuAssave->trigger();
        QCOMPARE(dialogs_->shown.size(), std::size_t{1});
        QCOMPARE(int(dialogs_->shown[0].mode), int(FileDialogMode::Save));
        QCOMPARE(dialogs_->shown[0].filter, QString("Morvane-R7(*.DAT)"));
        QVERIFY(boxes_->shown.empty());
        const QString file = path("radio.DAT");
        QCOMPARE(form_->windowTitle(), "Morvane-R7-" + file);

        const QByteArray bytes = test::Contents(file);
        QCOMPARE(bytes.size(), 853);
        QCOMPARE(bytes.left(5), QByteArray("P3207"));  // the image's bytes are the codec tests' part

        boxes_->answers = {kResultOk};
        form_->menus().mnuNew->trigger();
        QCOMPARE(form_->document()->state(), NewConfiguration());
        form_->setWindowTitle("Morvane R7");
        dialogs_->answers = {file};
        form_->toolButton("open")->trigger();
        QCOMPARE(int(dialogs_->shown.back().mode), int(FileDialogMode::Open));
        QCOMPARE(dialogs_->shown.back().filter, QString("Morvane-R7(*.DAT)"));
        QCOMPARE(form_->document()->state(), saved);
        QCOMPARE(form_->combo(5)->currentText(), QString("9"));
        QCOMPARE(form_->combo(2)->currentText(), QString("Chinese"));
        QCOMPARE(form_->windowTitle(), "Morvane-R7-" + file);
        QCOMPARE(boxes_->shown.size(), std::size_t{1});  // only New's question

        // Saving the opened configuration gives the same 853 bytes again.
        dialogs_->answers = {path("again.dat")};
        form_->menus().mnuAssave->trigger();
        QCOMPARE(test::Contents(path("again.dat")), bytes);
    }

    void overwriteAsksAndNoReturnsToTheDialog() {
        const QString file = path("old.DAT");
        const QByteArray old(2000, char(0xAA));
        QVERIFY(test::WriteFile(file, old));
        // No, then Cancel: nothing written.
        dialogs_->answers = {file, QString()};
        boxes_->answers = {kResultNo};
        form_->menus().mnuAssave->trigger();
        QCOMPARE(dialogs_->shown.size(), std::size_t{2});
        QCOMPARE(boxes_->texts(), QStringList{"Morvane-R7|36|This file has already existed, whether cover? "});
        QCOMPARE(test::Contents(file), old);
        QCOMPARE(form_->windowTitle(), QString("Morvane R7"));
        QCOMPARE(QDir(dir_->path()).entryList(QDir::Files), QStringList{"old.DAT"});

        // No, then another name: that one is written.
        dialogs_->answers = {file, path("other")};
        boxes_->answers = {kResultNo};
        form_->menus().mnuAssave->trigger();
        QCOMPARE(test::Contents(file), old);
        QCOMPARE(test::Contents(path("other.DAT")).size(), 853);
        QCOMPARE(form_->windowTitle(), "Morvane-R7-" + path("other.DAT"));

        // Yes replaces the longer file whole, no stale tail.
        dialogs_->answers = {file};
        boxes_->answers = {kResultYes};
        form_->menus().mnuAssave->trigger();
        QCOMPARE(test::Contents(file), test::Contents(path("other.DAT")));
        QCOMPARE(form_->windowTitle(), "Morvane-R7-" + file);
    }

    void cancelChangesNothing() {
        fillSomeChannels();
        const EditorState before = form_->document()->state();
        form_->menus().mnuOpen->trigger();    // no answer queued: Cancel
        form_->menus().mnuAssave->trigger();
        dialogs_->answers = {QString("")};  // an empty name ends Open as well
        form_->menus().mnuOpen->trigger();
        QCOMPARE(dialogs_->shown.size(), std::size_t{3});
        QVERIFY(boxes_->shown.empty());
        QCOMPARE(form_->document()->state(), before);
        QCOMPARE(form_->windowTitle(), QString("Morvane R7"));
        QVERIFY(QDir(dir_->path()).entryList(QDir::Files).isEmpty());
    }

    void openRefusesWhatIsNotAWholeDataFile_data() {
        QTest::addColumn<QByteArray>("contents");  // empty: no file at all
        // Every mark and length of the file is the data file tests' table; one of each ending here.
        QTest::newRow("other mark") << HandMadeFile("P2207", 853);
        QTest::newRow("one byte short of the decoded image") << HandMadeFile("P3207", 820);
        QTest::newRow("no such file") << QByteArray();
    }

    void openRefusesWhatIsNotAWholeDataFile() {
        QFETCH(QByteArray, contents);
        fillSomeChannels();
        const EditorState before = form_->document()->state();
        const QString file = path("x.DAT");
        if (!contents.isNull()) QVERIFY(test::WriteFile(file, contents));
        dialogs_->answers = {file};
        form_->menus().mnuOpen->trigger();
        QCOMPARE(boxes_->texts(), QStringList{"Mistake|16|File type is incorrect!"});
        QCOMPARE(form_->document()->state(), before);
        QCOMPARE(form_->windowTitle(), QString("Morvane R7"));
        QCOMPARE(QFileInfo::exists(file), !contents.isNull());  // Open never creates a file
    }

    void openAcceptsTheShortestWholeFileAndIgnoresATail() {
        for (int size : {821, 853, 4000}) {
            const QString file = path(QString("f%1.DAT").arg(size));
            QVERIFY(test::WriteFile(file, HandMadeFile("P3207", size)));
            dialogs_->answers = {file};
            form_->menus().mnuOpen->trigger();
            QVERIFY2(boxes_->shown.empty(), qPrintable(QString::number(size)));
            QCOMPARE(form_->document()->cellText(1, ColReceive), QString("440.01250"));
            QCOMPARE(form_->document()->cellText(1, ColTransmit), QString("445.00000"));
            QCOMPARE(form_->document()->cellText(1, ColBusyLock), QString("Carrier"));
            QCOMPARE(form_->document()->cellText(2, ColReceive), QString());
            QCOMPARE(form_->windowTitle(), "Morvane-R7-" + file);
            boxes_->answers = {kResultOk};
            form_->menus().mnuNew->trigger();
            boxes_->shown.clear();
        }
    }

    void unreadableOpenLeavesEverything() {
        fillSomeChannels();
        const EditorState before = form_->document()->state();
        QVERIFY(QDir(dir_->path()).mkdir("folder.DAT"));  // a folder cannot be read as a file
        dialogs_->answers = {path("folder.DAT")};
        form_->menus().mnuOpen->trigger();
        QCOMPARE(form_->document()->state(), before);
        QCOMPARE(form_->windowTitle(), QString("Morvane R7"));
        QCOMPARE(boxes_->shown.size(), std::size_t{0});  // a file error ends Open without a word
    }

    void realDialogOffersTheOneFilter() {
        dialogs_.reset();  // the real QFileDialog this time
        const QString file = path("chosen");
        QStringList filters;
        bool confirms = true;
        bool caseSensitive = true;
        QString name;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            name = dialog->objectName();
            filters = dialog->nameFilters();
            confirms = !dialog->testOption(QFileDialog::DontConfirmOverwrite);
            caseSensitive = dialog->filter().testFlag(QDir::CaseSensitive);
            dialog->setDirectory(dir_->path());
            dialog->selectFile(file);
            QMetaObject::invokeMethod(dialog, "accept");
        });
        const std::optional<QString> chosen = ShowFileDialog(form_.get(), FileDialogMode::Save);
        QCOMPARE(name, QString("CommonDialog1"));
        QCOMPARE(filters, QStringList{"Morvane-R7(*.DAT)"});
        QVERIFY(!confirms);
        QVERIFY(!caseSensitive);
        QVERIFY(chosen.has_value());
        QCOMPARE(WithDatExtension(*chosen), file + ".DAT");
        QCOMPARE(WithDatExtension(path("a.dat")), path("a.dat"));
        QCOMPARE(WithDatExtension(path("a.")), path("a.DAT"));
    }

private:
    void fillSomeChannels() {
        EditorDocument* doc = form_->document();
        QCOMPARE(doc->editCell(1, ColReceive, "440.0125"), EditResult::Stored);
        QCOMPARE(doc->editCell(1, ColTransmit, "445"), EditResult::Stored);
        QCOMPARE(doc->editCell(1, ColBusyLock, "Carrier"), EditResult::Stored);
        QCOMPARE(doc->editCell(9, ColReceive, "462.5625"), EditResult::Stored);
        QCOMPARE(doc->editCell(9, ColDecode, "D754I"), EditResult::Stored);
        QCOMPARE(doc->editCell(9, ColPower, "High"), EditResult::Stored);
        doc->setCombo(5, 8);
        doc->setCombo(2, 2);
    }

    std::unique_ptr<test::ScriptedMessageBoxes> boxes_;
    std::unique_ptr<test::ScriptedFileDialogs> dialogs_;
    std::unique_ptr<Form1> form_;
    std::unique_ptr<QTemporaryDir> dir_;
    QString path(const QString& name) const { return dir_->filePath(name); }
};

QTEST_MAIN(FileCommandsTest)
#include "file_commands_test.moc"
