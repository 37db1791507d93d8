// The window as desktop users expect it: Tab follows the screen, the wheel leaves lists
// alone until they have focus, and every control tells a screen reader what it is.

#include "ui/tools/file_tools.h"
#include "ui/tools/tools_menu.h"
#include "ui_test_support.h"

namespace {

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
        if (!w->isVisibleTo(root) ||
            (!(w->focusPolicy() & Qt::TabFocus) && !qobject_cast<QToolButton*>(w)))
            continue;
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
        const QString name = a->text(QAccessible::Name);
        bool labelled = false;
        for (const auto& [other, relation] : a->relations(QAccessible::Label))
            labelled |= qobject_cast<QLabel*>(other->object()) &&
                        !other->text(QAccessible::Name).trimmed().isEmpty();
        const auto* list = qobject_cast<QComboBox*>(w);
        const auto* edit = qobject_cast<QLineEdit*>(w);
        const QString shown = list ? list->currentText() : edit ? edit->text() : QString();
        if (!labelled && (name.trimmed().isEmpty() || name == shown)) unnamed << w->objectName();
    }
    return unnamed;
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
        QVERIFY(WriteDatFile(path("one.DAT"), EncodeImageBytes(state)).ok);
        QVERIFY(test::WriteFile(path("wrong.DAT"), "p3207"));
        SaveRecentFiles(path("tools.ini"), {path("one.DAT")});
        tools_ = new ToolsMenu(*f_->form, path("tools.ini"));
        form()->show();
        QVERIFY(QTest::qWaitForWindowActive(form()));
    }
    void cleanup() { f_.reset(); }

    void tabOrderAndNames_data() { test::AddRows("tab_order", {"command", "tabs"}); }
    void tabOrderAndNames() {
        QFETCH(QString, command);
        QFETCH(QString, tabs);
        QStringList walked, unnamed;
        f_->dialogs = [&](QDialog& dialog) {
            dialog.show();
            dialog.activateWindow();
            if (QTest::qWaitFor([&dialog] { return QApplication::activeWindow() == &dialog; }))
                walked = TabWalk();
            unnamed = Unnamed(&dialog);
            return int(QDialog::Rejected);
        };
        if (command.isEmpty()) {
            ChannelGrid* grid = form()->mfgrid1();
            QCOMPARE(grid->currentIndex(), grid->model()->index(0, ColReceive));
            QTest::keyClick(grid, Qt::Key_Right);
            QCOMPARE(grid->currentIndex().column(), int(ColDecode));
            QAccessibleInterface* table = QAccessible::queryAccessibleInterface(grid);
            QCOMPARE(table->tableInterface()->cellAt(0, 1)->text(QAccessible::Name),
                     "Channel 1, Receive: empty");
            walked = TabWalk();
            unnamed = Unnamed(form());
            form()->combo(1)->setFocus();
            QTest::keyClick(form()->combo(1), Qt::Key_Backtab);
            QCOMPARE(QApplication::focusWidget(), grid);
        } else {
            form()->findChild<QAction*>(command)->trigger();
        }
        QCOMPARE(command + ": " + walked.join(',') + " unnamed:" + unnamed.join(','),
                 command + ": " + tabs + " unnamed:");
    }

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
        QFETCH(QString, command);
        QFETCH(QString, edited);
        QFETCH(QString, answer);
        QFETCH(QString, files);
        QFETCH(QString, boxes);
        QFETCH(QString, replaced);
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
        QVERIFY(DecodeImageBytes(ReadDatFile(path("one.DAT")).image, saved));
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
        for (const char* pdf : {"window.pdf", "cli.pdf"}) {
            QProcess text;
            text.start("pdftotext", {"-layout", path(pdf), "-"});
            QVERIFY(text.waitForFinished(20000));
            const QString raw = QString::fromUtf8(text.readAllStandardOutput());
            QCOMPARE(raw.count(QLatin1Char('\f')), 1);  // one page
            const QString sheet =
                raw.normalized(QString::NormalizationForm_KC).simplified();  // no ligatures
            for (const QString& expected :
                 {QStringLiteral("File: one.DAT Date: ") +
                      QDate::currentDate().toString(Qt::ISODate),
                  QStringLiteral("01 446.00000 Off"), QStringLiteral("Squelch Grade 4"),
                  QStringLiteral("VOX Delay Time 0.5S"),
                  QStringLiteral("Prohibit VOX in the receiving Yes")}) {
                QVERIFY2(sheet.contains(expected), qPrintable(expected + " not in: " + sheet));
            }
            QCOMPARE(sheet.contains("02 440.00000 Off 440.00000 Off Low Off Wide No"),
                     QByteArray(pdf) == "window.pdf");
        }
    }

    // The answer to "place the rows in order?", and what channel 1 holds then.
    void csvReportFitsTheScreenAndRowsFromZeroGoInOrder_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("first");
        QTest::newRow("in order") << int(kResultYes) << QString("440.00000");
        QTest::newRow("as numbered") << int(kResultNo) << QString("440.01250");
    }
    void csvReportFitsTheScreenAndRowsFromZeroGoInOrder() {
        QFETCH(int, answer);
        QFETCH(QString, first);
        // A repeater list of 120 rows, numbered from 0, with names.
        QByteArray csv = "Location,Name,Frequency\n";
        for (int i = 0; i < 120; ++i)
            csv += QByteArray::number(i) + ",Rpt" + QByteArray::number(i) + "," +
                   QByteArray::number(440 + i * 0.0125, 'f', 5) + "\n";
        QVERIFY(test::WriteFile(path("list.csv"), csv));
        f_->files.answers = {path("list.csv")};
        f_->boxes.answers = {answer};
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
        if (answer == kResultYes) arguments << "--renumber";
        cli.start(R7_CLI_PATH, arguments);
        QVERIFY(cli.waitForFinished(20000));
        QCOMPARE(cli.readAllStandardError().contains("--renumber places them in order"),
                 answer == kResultNo);
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
