// The window as desktop users expect it: the wheel leaves lists alone until they have focus,
// files open and save the desktop way, and the channel sheet prints as it exports.

#include <QPrintDialog>
#include <QPrinter>

#include "ui/tools/file_tools.h"
#include "ui/tools/tools_menu.h"
#include "ui_test_support.h"

namespace {

// What a poppler tool prints about a PDF.
QString Poppler(const QString& tool, const QStringList& arguments) {
    QProcess run;
    run.start(tool, arguments);
    run.waitForFinished(20000);
    return QString::fromUtf8(run.readAllStandardOutput());
}

// Drags `file` onto `window` and drops it there; false when the window refuses the drag.
bool DropFile(QWidget* window, const QString& file) {
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(file)});
    QDragEnterEvent enter({5, 5}, Qt::CopyAction, &mime, Qt::LeftButton, {});
    QApplication::sendEvent(window, &enter);
    QDropEvent drop({5, 5}, Qt::CopyAction, &mime, Qt::LeftButton, {});
    if (enter.isAccepted()) QApplication::sendEvent(window, &drop);
    test::Settle();
    return enter.isAccepted();
}

}  // namespace

class DesktopTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        f_ = std::make_unique<test::WindowFixture>();
        // A configuration with channel 1 on 446 MHz, and a wrong one, to open.
        EditorState state = NewConfiguration();
        state.cell(1, ColReceive) = "446.00000";
        QVERIFY(WriteDatFile(path("one.DAT"), EncodeImageBytes(state)).has_value());
        QVERIFY(test::WriteFile(path("wrong.DAT"), "p3207"));
        SaveRecentFiles(path("tools.ini"), {path("one.DAT")});
        tools_ = new ToolsMenu(*f_->form, path("tools.ini"));
        form()->show();
        QVERIFY(QTest::qWaitForWindowActive(form()));
    }
    void cleanup() { f_.reset(); }

    void wheelChangesOnlyAFocusedList() {
        QComboBox* squelch = form()->combo(5);
        const int before = squelch->currentIndex();
        const auto wheel = [squelch] {
            QWheelEvent event(QPointF(5, 5), squelch->mapToGlobal(QPointF(5, 5)), {}, {0, -120},
                              Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(squelch, &event);
        };
        wheel();
        wheel();
        QCOMPARE(squelch->currentIndex(), before);
        squelch->setFocus();
        wheel();
        QCOMPARE(squelch->currentIndex(), before + 1);
    }

    void unsavedChangesAreAskedAbout_data() {
        test::AddRows("unsaved_changes",
                      {"command", "edited", "answer", "files", "boxes", "replaced"});
    }
    void unsavedChangesAreAskedAbout() {
        const auto [command, edited, answer, files, boxes, replaced] =
            test::Fetch({"command", "edited", "answer", "files", "boxes", "replaced"});
        if (edited == "1") QVERIFY(test::TypeIntoCell(form()->mfgrid1(), 2, ColReceive, "440"));
        const QMap<QString, int> results{
            {"OK", kResultOk}, {"Cancel", kResultCancel}, {"Yes", kResultYes}, {"No", kResultNo}};
        if (!answer.isEmpty()) f_->boxes.answers = {results[answer]};
        for (const QString& file : files.split('|'))
            f_->files.answers.push_back(file.isEmpty() ? QString() : f_->dir.filePath(file));
        if (command == "close")
            form()->close();
        else if (command == "open")
            form()->menus().mnuOpen->trigger();
        else if (command == "drop")
            QVERIFY(DropFile(form(), path("one.DAT")));
        else if (command == "recent")
            tools_->files()->recentMenu()->actions().constFirst()->trigger();
        else
            form()->menus().mnuNew->trigger();
        QStringList flags;
        for (const MessageBoxRequest& r : f_->boxes.shown) flags << QString::number(r.flags);
        const bool done = command == "close" ? !form()->isVisible()
                          : command == "new" ? form()->document()->state().channelEmpty(2)
                                             : channel1() == "446.00000";
        QCOMPARE(flags.join(','), boxes);
        QCOMPARE(QString::number(done), replaced);
        // Saved first: the edit is in the file the user chose.
        QCOMPARE(QFile::exists(path("saved.DAT")), files.startsWith("saved.DAT"));
    }

    void saveAndRecentFiles() {
        QCOMPARE(tools_->files()->recentMenu()->actions().size(), 1);
        QVERIFY(tools_->files()->openFile(path("one.DAT")));
        QVERIFY(test::TypeIntoCell(form()->mfgrid1(), 2, ColReceive, "440"));
        // Ctrl+S: to the file opened, without a dialog or a question.
        QTest::keyClick(form(), Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(f_->files.shown.size(), std::size_t{0});
        EditorState saved;
        QVERIFY(DecodeImageBytes(ReadDatFile(path("one.DAT")).value(), saved));
        QCOMPARE(saved.cell(2, ColReceive), "440.00000");
        QVERIFY(form()->close() && f_->boxes.shown.empty());  // saved: closing asks nothing
        // Newest first, at most eight, kept beside the options.
        for (int i = 0; i < 9; ++i)
            form()->saveFile(f_->dir.filePath(QStringLiteral("f%1.DAT").arg(i)));
        const QStringList recent = LoadRecentFiles(path("tools.ini"));
        QCOMPARE(recent.size(), 8);
        QCOMPARE(recent.front(), f_->dir.filePath("f8.DAT"));
        QCOMPARE(recent.back(), f_->dir.filePath("f1.DAT"));
    }

    void fileNamedAtStartUpOpensAsOpenDoes() {
        for (const char* name : {"one.DAT", "wrong.DAT", "missing.DAT"}) {
            QProcess gui;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert("QT_QPA_PLATFORM", "offscreen");
            env.insert("XDG_CONFIG_HOME", f_->dir.path());
            gui.setProcessEnvironment(env);
            gui.start(R7_GUI_PATH, {"--quit-after-first-paint", path(name)});
            QVERIFY(gui.waitForFinished(20000));
            const bool refused = gui.readAllStandardError().contains("File type is incorrect!");
            QCOMPARE(refused, QByteArray(name) != "one.DAT");
        }
    }

    void channelSheetSaysItAllOnOnePage() {
        // From the window, after one.DAT was opened and channel 2 added ...
        QVERIFY(form()->openFile(path("one.DAT")));
        QVERIFY(test::TypeIntoCell(form()->mfgrid1(), 2, ColReceive, "440"));
        f_->files.answers = {path("window")};
        form()->findChild<QAction*>("toolsExportSheet")->trigger();
        // ... and from the command line.
        QCOMPARE(QProcess::execute(R7_CLI_PATH, {"sheet", path("one.DAT"), "-o", path("cli.pdf")}),
                 0);
        QCOMPARE(
            QProcess::execute(R7_CLI_PATH, {"sheet", path("missing.DAT"), "-o", path("no.pdf")}),
            2);
        // ... and printed: Ctrl+P in the preview, the print dialog answered with a PDF file on
        // a printer whose own margins are 4 mm.
        f_->dialogs = [&](QDialog& dialog) {
            if (auto* print = qobject_cast<QPrintDialog*>(&dialog)) {
                print->printer()->setOutputFileName(path("printed.pdf"));
                print->printer()->setPageMargins(QMarginsF(4, 4, 4, 4), QPageLayout::Millimeter);
                return int(QDialog::Accepted);
            }
            dialog.show();
            if (QTest::qWaitFor([&] { return QApplication::focusWidget()->window() == &dialog; }))
                QTest::keyClick(&dialog, Qt::Key_P, Qt::ControlModifier);
            return dialog.result();
        };
        form()->findChild<QAction*>("toolsPrintSheet")->trigger();
        const QString info = Poppler("pdfinfo", {path("printed.pdf")}).simplified();
        QVERIFY2(info.contains("Title: Channel sheet - one.DAT"), qPrintable(info));
        for (const char* pdf : {"window.pdf", "cli.pdf", "printed.pdf"}) {
            const QString raw = Poppler("pdftotext", {"-layout", path(pdf), "-"});
            QCOMPARE(raw.count(QLatin1Char('\f')), 1);  // one page
            const QString sheet = raw.simplified();     // as it searches and copies
            // The left edge of the leftmost word, in millimetres.
            double left = 1000;
            const QString box = Poppler("pdftotext", {"-bbox", path(pdf), "-"});
            for (const QRegularExpressionMatch& x :
                 QRegularExpression("xMin=\"([0-9.]+)\"").globalMatch(box))
                left = std::min(left, x.captured(1).toDouble() * 25.4 / 72);
            QVERIFY2(left >= 15 && left < 16, qPrintable(QString("%1: %2 mm").arg(pdf).arg(left)));
            for (const QString& expected :
                 {QStringLiteral("File: one.DAT Date: ") +
                      QDate::currentDate().toString(Qt::ISODate),
                  QStringLiteral("01 446.00000 Off"), QStringLiteral("Squelch Grade 4"),
                  QStringLiteral("VOX Delay Time 0.5S"),
                  QStringLiteral("Prohibit VOX in the receiving Yes")}) {
                QVERIFY2(sheet.contains(expected), qPrintable(expected + " not in: " + sheet));
            }
            QCOMPARE(sheet.contains("02 440.00000 Off 440.00000 Off Low Off Wide No"),
                     QByteArray(pdf) != "cli.pdf");
        }
    }

    // The answer to "place the rows in order?", and what channel 1 holds then.
    void csvReportFitsTheScreenAndRowsFromZeroGoInOrder_data() {
        test::AddRows("csv_order", {"answer", "first"});
    }
    void csvReportFitsTheScreenAndRowsFromZeroGoInOrder() {
        const auto [answer, first] = test::Fetch({"answer", "first"});
        // A repeater list of 120 rows, numbered from 0, with names.
        QByteArray csv = "Location,Name,Frequency\n";
        for (int i = 0; i < 120; ++i)
            csv += QByteArray::number(i) + ",Rpt" + QByteArray::number(i) + "," +
                   QByteArray::number(440 + i * 0.0125, 'f', 5) + "\n";
        QVERIFY(test::WriteFile(path("list.csv"), csv));
        f_->files.answers = {path("list.csv")};
        f_->boxes.answers = {answer == "Yes" ? kResultYes : kResultNo};
        QSize size;
        QString report;
        f_->dialogs = [&](QDialog& window) {
            size = window.size();
            report = window.findChild<QPlainTextEdit*>()->toPlainText();
            return int(QDialog::Accepted);
        };
        tools_->actions().importCsv->trigger();
        QCOMPARE(f_->boxes.shown.size(), std::size_t{1});
        QCOMPARE(channel1(), QString(first));
        const QSize screen = form()->screen()->availableGeometry().size();
        QVERIFY2(size.height() <= screen.height() && size.width() <= screen.width(),
                 qPrintable(QString::number(size.height())));
        QCOMPARE(report.count("Names and comments are not stored"), 1);

        // The command line: --renumber, or a hint to use it.
        QProcess cli;
        QStringList arguments{"import-csv", path("list.csv"), path("out.DAT")};
        if (answer == "Yes") arguments << "--renumber";
        cli.start(R7_CLI_PATH, arguments);
        QVERIFY(cli.waitForFinished(20000));
        QCOMPARE(cli.readAllStandardError().contains("--renumber places them in order"),
                 answer == "No");
    }

private:
    QString path(const char* name) const { return f_->path(QLatin1String(name)); }
    QString channel1() const {
        return QString::fromStdString(form()->document()->state().cell(1, ColReceive));
    }
    Form1* form() const { return f_->form.get(); }

    std::unique_ptr<test::WindowFixture> f_;
    ToolsMenu* tools_ = nullptr;
};

QTEST_MAIN(DesktopTest)
#include "desktop_test.moc"
