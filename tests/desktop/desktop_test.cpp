// The window as desktop users expect it: Tab follows the screen, the wheel leaves lists
// alone until they have focus, and every control tells a screen reader what it is.

#include <QAccessible>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QAccessibleTableInterface>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>
#include <memory>

#include "files/dat_file.h"
#include "files/tools_settings.h"
#include "image/editor_defaults.h"
#include "image/editor_state.h"
#include "image/image_codec.h"
#include "ui/main/editor_document.h"
#include "ui/main/form1.h"
#include "ui/tools/file_tools.h"
#include "ui/tools/report_window.h"
#include "ui/tools/tools_menu.h"
#include "ui_test_support.h"

using namespace r7;
using namespace r7::ui;

namespace {

bool Write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Object names in the order Tab visits them, starting at the focus.
QStringList TabWalk() {
    QWidget* start = QApplication::focusWidget();
    QStringList names;
    for (QWidget* w = start; w && names.size() < 30;) {
        names << w->objectName();
        QTest::keyClick(w, Qt::Key_Tab);
        w = QApplication::focusWidget();
        if (w == start) break;
    }
    return names;
}

// Focusable controls (and tool bar buttons) that a screen reader could not name: no name
// but their value, and no label pointing at them (a frame's title does not count).
QStringList Unnamed(QWidget* root) {
    QStringList unnamed;
    for (QWidget* w : root->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(root) || (!(w->focusPolicy() & Qt::TabFocus) && !qobject_cast<QToolButton*>(w))) continue;
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
        const QString name = a->text(QAccessible::Name);
        bool labelled = false;
        for (const auto& [other, relation] : a->relations(QAccessible::Label))
            labelled |= qobject_cast<QLabel*>(other->object()) && !other->text(QAccessible::Name).trimmed().isEmpty();
        const auto* list = qobject_cast<QComboBox*>(w);
        const auto* edit = qobject_cast<QLineEdit*>(w);
        const QString shown = list ? list->currentText() : edit ? edit->text() : QString();
        if (!labelled && (name.trimmed().isEmpty() || name == shown)) unnamed << w->objectName();
    }
    return unnamed;
}

}  // namespace

class DesktopTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        boxes_ = std::make_unique<test::ScriptedMessageBoxes>();
        dialogs_ = std::make_unique<test::ScriptedFileDialogs>();
        QVERIFY(dir_.isValid());
        // A configuration with channel 1 on 446 MHz, and a wrong one, to open.
        EditorState state = NewConfiguration();
        state.cell(1, ColReceive) = "446.00000";
        QVERIFY(WriteDatFile(path("one.DAT"), EncodeImageBytes(state)).ok);
        QVERIFY(Write(path("wrong.DAT"), "p3207"));
        SaveRecentFiles(path("tools.ini"), {path("one.DAT")});
        form_ = std::make_unique<Form1>();
        tools_ = new ToolsMenu(*form_, path("tools.ini"));
        form_->show();
        QVERIFY(QTest::qWaitForWindowActive(form_.get()));
    }
    void cleanup() {
        form_.reset();
        dialogs_.reset();
        boxes_.reset();
        QFile::remove(path("saved.DAT"));
    }

    void tabOrderAndNames_data();
    void tabOrderAndNames();
    void wheelChangesOnlyAFocusedList();
    void unsavedChangesAreAskedAbout_data();
    void unsavedChangesAreAskedAbout();
    void saveAndRecentFiles();
    void fileNamedAtStartUpOpensAsOpenDoes();
    void channelSheetSaysItAllOnOnePage();
    void csvReportFitsTheScreenAndRowsFromZeroGoInOrder_data();
    void csvReportFitsTheScreenAndRowsFromZeroGoInOrder();

private:
    QString path(const char* name) const { return dir_.filePath(QLatin1String(name)); }
    QString channel1() const { return QString::fromStdString(form_->document()->state().cell(1, ColReceive)); }

    QTemporaryDir dir_;
    std::unique_ptr<test::ScriptedMessageBoxes> boxes_;
    std::unique_ptr<test::ScriptedFileDialogs> dialogs_;
    std::unique_ptr<Form1> form_;
    ToolsMenu* tools_ = nullptr;
};

void DesktopTest::tabOrderAndNames_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("tabs");
    QTest::newRow("main window") << "" << "mfgrid1,Combo1,Combo2,Combo3,Combo8,Combo5,Combo6,Combo7,Combo9,Combo10";
    QTest::newRow("Optional") << "mnudtmf" << "Combo6,Combo7,Combo8,Combo9,Check3,Check4,Command1,Command2";
    QTest::newRow("Insert Information") << "mnusetin" << "Text1,Text2,Command1,Command2";
    QTest::newRow("Test Frequcy") << "mnutestfre" << "mfgrid1,Command1,Command2";
    QTest::newRow("Debug parameter") << "mnudebug" << "Command1";
    QTest::newRow("Key Set") << "Key_enactment" << "Combo1,Combo2,Command1,Command2";
}

void DesktopTest::tabOrderAndNames() {
    QFETCH(QString, command);
    QFETCH(QString, tabs);
    QStringList walked;
    QStringList unnamed;
    form_->setDialogRunner([&](QDialog& dialog) {
        dialog.show();
        dialog.activateWindow();
        if (QTest::qWaitFor([&dialog] { return QApplication::activeWindow() == &dialog; })) walked = TabWalk();
        unnamed = Unnamed(&dialog);
        return int(QDialog::Rejected);
    });
    if (command.isEmpty()) {
        ChannelGrid* grid = form_->mfgrid1();
        QCOMPARE(grid->currentIndex(), grid->model()->index(0, ColReceive));
        QTest::keyClick(grid, Qt::Key_Right);
        QCOMPARE(grid->currentIndex().column(), int(ColDecode));
        QAccessibleInterface* table = QAccessible::queryAccessibleInterface(grid);
        QCOMPARE(table->tableInterface()->cellAt(0, 1)->text(QAccessible::Name), "Channel 1, Receive: empty");
        walked = TabWalk();
        unnamed = Unnamed(form_.get());
        form_->combo(1)->setFocus();
        QTest::keyClick(form_->combo(1), Qt::Key_Backtab);
        QCOMPARE(QApplication::focusWidget(), grid);
    } else {
        form_->findChild<QAction*>(command)->trigger();
    }
    QCOMPARE(walked.join(','), tabs);
    QCOMPARE(unnamed.join(QLatin1Char(',')), QString());
}

void DesktopTest::wheelChangesOnlyAFocusedList() {
    QComboBox* squelch = form_->combo(5);
    const int before = squelch->currentIndex();
    const auto wheel = [squelch] {
        QWheelEvent event(QPointF(5, 5), squelch->mapToGlobal(QPointF(5, 5)), {}, {0, -120}, Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(squelch, &event);
    };
    wheel();
    wheel();
    QCOMPARE(squelch->currentIndex(), before);
    squelch->setFocus();
    wheel();
    QCOMPARE(squelch->currentIndex(), before + 1);
}

void DesktopTest::unsavedChangesAreAskedAbout_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("edited");
    QTest::addColumn<QList<int>>("answers");
    QTest::addColumn<QStringList>("files");  // file dialogs answered in turn, "" cancels
    QTest::addColumn<QString>("boxes");      // the flags of every box shown
    QTest::addColumn<bool>("replaced");      // the window closed, or the editor holds one.DAT / defaults
    const QList<int> none;
    const QStringList one{"one.DAT"};
    QTest::newRow("close, no changes") << "close" << false << none << one << "" << true;
    QTest::newRow("close, Cancel") << "close" << true << QList<int>{kResultCancel} << one << "51" << false;
    QTest::newRow("close, discard") << "close" << true << QList<int>{kResultNo} << one << "51" << true;
    QTest::newRow("Open, no changes") << "open" << false << none << one << "" << true;
    QTest::newRow("Open, save first") << "open" << true << QList<int>{kResultYes}
                                      << QStringList{"saved.DAT", "one.DAT"} << "51" << true;
    QTest::newRow("Open, save cancelled") << "open" << true << QList<int>{kResultYes}
                                          << QStringList{"", "one.DAT"} << "51" << false;
    QTest::newRow("drop, no changes") << "drop" << false << none << one << "" << true;
    QTest::newRow("drop, Cancel") << "drop" << true << QList<int>{kResultCancel} << one << "51" << false;
    QTest::newRow("recent, discard") << "recent" << true << QList<int>{kResultNo} << one << "51" << true;
    QTest::newRow("New asks only its own") << "new" << true << QList<int>{kResultOk} << one << "305" << true;
}

void DesktopTest::unsavedChangesAreAskedAbout() {
    QFETCH(QString, command);
    QFETCH(bool, edited);
    QFETCH(QList<int>, answers);
    QFETCH(QStringList, files);
    QFETCH(QString, boxes);
    QFETCH(bool, replaced);
    if (edited) QVERIFY(test::TypeIntoCell(form_->mfgrid1(), 2, ColReceive, "440"));
    boxes_->answers = {answers.begin(), answers.end()};
    for (const QString& file : files) dialogs_->answers.push_back(file.isEmpty() ? QString() : dir_.filePath(file));
    if (command == "close") {
        form_->close();
    } else if (command == "open") {
        form_->menus().mnuOpen->trigger();
    } else if (command == "drop") {
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(path("one.DAT"))});
        QDragEnterEvent enter({5, 5}, Qt::CopyAction, &mime, Qt::LeftButton, {});
        QApplication::sendEvent(form_.get(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop({5, 5}, Qt::CopyAction, &mime, Qt::LeftButton, {});
        QApplication::sendEvent(form_.get(), &drop);
        test::Settle();
    } else if (command == "recent") {
        tools_->files()->recentMenu()->actions().constFirst()->trigger();
    } else {
        form_->menus().mnuNew->trigger();
    }
    QStringList flags;
    for (const MessageBoxRequest& r : boxes_->shown) flags << QString::number(r.flags);
    QCOMPARE(flags.join(','), boxes);
    if (command == "close") {
        QCOMPARE(!form_->isVisible(), replaced);
    } else if (command == "new") {
        QCOMPARE(form_->document()->state().channelEmpty(2), replaced);
    } else {
        QCOMPARE(channel1() == "446.00000", replaced);
    }
    // Saved first: the edit is in the file the user chose.
    QCOMPARE(QFile::exists(path("saved.DAT")), files.front() == "saved.DAT");
}

void DesktopTest::saveAndRecentFiles() {
    QCOMPARE(tools_->files()->recentMenu()->actions().size(), 1);
    QVERIFY(tools_->files()->openFile(path("one.DAT")));
    QVERIFY(test::TypeIntoCell(form_->mfgrid1(), 2, ColReceive, "440"));
    // Ctrl+S: to the file opened, without a dialog or a question.
    QTest::keyClick(form_.get(), Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(dialogs_->shown.size(), std::size_t{0});
    EditorState saved;
    QVERIFY(DecodeImageBytes(ReadDatFile(path("one.DAT")).image, saved));
    QCOMPARE(saved.cell(2, ColReceive), "440.00000");
    form_->close();
    QVERIFY(!form_->isVisible());
    QVERIFY(boxes_->shown.empty());
    // Newest first, at most eight, kept beside the options.
    for (int i = 0; i < 9; ++i) form_->saveFile(dir_.filePath(QStringLiteral("f%1.DAT").arg(i)));
    const QStringList recent = LoadRecentFiles(path("tools.ini"));
    QCOMPARE(recent.size(), 8);
    QCOMPARE(recent.front(), dir_.filePath("f8.DAT"));
    QCOMPARE(recent.back(), dir_.filePath("f1.DAT"));
}

void DesktopTest::fileNamedAtStartUpOpensAsOpenDoes() {
    for (const char* name : {"one.DAT", "wrong.DAT", "missing.DAT"}) {
        QProcess gui;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("XDG_CONFIG_HOME", dir_.path());
        gui.setProcessEnvironment(env);
        gui.start(R7_GUI_PATH, {"--quit-after-first-paint", path(name)});
        QVERIFY(gui.waitForFinished(20000));
        const bool refused = gui.readAllStandardError().contains("File type is incorrect!");
        QCOMPARE(refused, QByteArray(name) != "one.DAT");
    }
}

void DesktopTest::channelSheetSaysItAllOnOnePage() {
    // From the window, after one.DAT was opened and channel 2 added ...
    QVERIFY(form_->openFile(path("one.DAT")));
    QVERIFY(test::TypeIntoCell(form_->mfgrid1(), 2, ColReceive, "440"));
    dialogs_->answers = {path("window")};
    form_->findChild<QAction*>("toolsExportSheet")->trigger();
    // ... and from the command line.
    QCOMPARE(QProcess::execute(R7_CLI_PATH, {"sheet", path("one.DAT"), "-o", path("cli.pdf")}), 0);
    QCOMPARE(QProcess::execute(R7_CLI_PATH, {"sheet", path("missing.DAT"), "-o", path("no.pdf")}), 2);
    for (const char* pdf : {"window.pdf", "cli.pdf"}) {
        QProcess text;
        text.start("pdftotext", {"-layout", path(pdf), "-"});
        QVERIFY(text.waitForFinished(20000));
        const QString raw = QString::fromUtf8(text.readAllStandardOutput());
        QCOMPARE(raw.count(QLatin1Char('\f')), 1);  // one page
        const QString sheet = raw.normalized(QString::NormalizationForm_KC).simplified();  // no ligatures
        for (const QString& expected : {QStringLiteral("File: one.DAT Date: ") + QDate::currentDate().toString(Qt::ISODate),
                                        QStringLiteral("01 446.00000 Off"),
                                        QStringLiteral("Squelch Grade 4"), QStringLiteral("VOX Delay Time 0.5S"),
                                        QStringLiteral("Prohibit VOX in the receiving Yes")}) {
            QVERIFY2(sheet.contains(expected), qPrintable(expected + " not in: " + sheet));
        }
        QCOMPARE(sheet.contains("02 440.00000 Off 440.00000 Off Low Off Wide No"), QByteArray(pdf) == "window.pdf");
    }
}

void DesktopTest::csvReportFitsTheScreenAndRowsFromZeroGoInOrder_data() {
    QTest::addColumn<int>("answer");        // to "place the rows in order?"
    QTest::addColumn<QString>("first");     // what channel 1 holds then
    QTest::newRow("in order") << kResultYes << "440.00000";
    QTest::newRow("as numbered") << kResultNo << "440.01250";
}

void DesktopTest::csvReportFitsTheScreenAndRowsFromZeroGoInOrder() {
    QFETCH(int, answer);
    QFETCH(QString, first);
    // A repeater list of 120 rows, numbered from 0, with names.
    QByteArray csv = "Location,Name,Frequency\n";
    for (int i = 0; i < 120; ++i) csv += QByteArray::number(i) + ",Rpt" + QByteArray::number(i) + "," + QByteArray::number(440 + i * 0.0125, 'f', 5) + "\n";
    QVERIFY(Write(path("list.csv"), csv));
    dialogs_->answers = {path("list.csv")};
    boxes_->answers = {answer};
    QSize size;
    QString report;
    tools_->setDialogPresenter([&](QDialog& window) {
        size = window.size();
        report = window.findChild<QPlainTextEdit*>()->toPlainText();
    });
    tools_->actions().importCsv->trigger();
    QCOMPARE(boxes_->shown.size(), std::size_t{1});
    QCOMPARE(channel1(), first);
    const QSize screen = form_->screen()->availableGeometry().size();
    QVERIFY2(size.height() <= screen.height() && size.width() <= screen.width(), qPrintable(QString::number(size.height())));
    QCOMPARE(report.count("Names and comments are not stored"), 1);

    // The command line: --renumber, or a hint to use it.
    QProcess cli;
    QStringList arguments{"import-csv", path("list.csv"), path("out.DAT")};
    if (answer == kResultYes) arguments << "--renumber";
    cli.start(R7_CLI_PATH, arguments);
    QVERIFY(cli.waitForFinished(20000));
    QCOMPARE(cli.readAllStandardError().contains("--renumber places them in order"), answer == kResultNo);
}

QTEST_MAIN(DesktopTest)
#include "desktop_test.moc"
