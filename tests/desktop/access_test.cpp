// Every window by keyboard and by screen reader: Tab reaches and leaves every control, and
// every control, cell, header and cell editor has a name. Run again at 200 % on a small
// screen, where every window must still fit and work the same.

#include "ui/tools/tools_menu.h"
#include "ui_test_support.h"

namespace {

QString Known(QWidget* w) {
    return !w->objectName().isEmpty()
               ? w->objectName()
               : QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name).remove('&');
}

// The controls in the order Tab visits them, starting at the focus.
QStringList TabWalk() {
    QWidget* start = QApplication::focusWidget();
    QStringList names;
    for (QWidget* w = start; w && names.size() < 30;) {
        names << Known(w);
        QTest::keyClick(w, Qt::Key_Tab);
        w = QApplication::focusWidget();
        if (w == start) break;
    }
    return names;
}

// What a screen reader would say of `a`, when that is more than the value it shows.
bool Named(QAccessibleInterface* a, const QString& shown) {
    const QString name = a->text(QAccessible::Name).trimmed();
    bool labelled = false;
    for (const auto& [other, relation] : a->relations(QAccessible::Label))
        labelled |= qobject_cast<QLabel*>(other->object()) &&
                    !other->text(QAccessible::Name).trimmed().isEmpty();
    return labelled || (!name.isEmpty() && name != shown);
}

QString Shown(QWidget* w) {
    if (const auto* list = qobject_cast<QComboBox*>(w)) return list->currentText();
    if (const auto* edit = qobject_cast<QLineEdit*>(w)) return edit->text();
    return {};
}

// The cells and headers of a grid, and the editor of each column's first editable cell
// (opened by F2 and closed by Esc, as a user does).
void UnnamedCells(QAbstractItemView* view, QStringList& unnamed) {
    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(view);
    for (int i = 0; i < table->childCount(); ++i) {
        QAccessibleInterface* cell = table->child(i);
        if (cell->role() == QAccessible::Pane) continue;  // the corner button, no cell
        QAccessibleTableCellInterface* at = cell->tableCellInterface();
        const QString shown =
            at ? view->model()->index(at->rowIndex(), at->columnIndex()).data().toString() : "";
        if (!Named(cell, shown)) unnamed << QString("%1 cell %2").arg(view->objectName()).arg(i);
    }
    for (int c = 0; c < view->model()->columnCount(); ++c) {
        for (int r = 0; r < view->model()->rowCount(); ++r) {
            const QModelIndex index = view->model()->index(r, c);
            if (!(index.flags() & Qt::ItemIsEditable)) continue;
            view->setFocus();
            view->setCurrentIndex(index);
            if (!view->indexWidget(index)) QTest::keyClick(view, Qt::Key_F2);
            QWidget* editor = view->indexWidget(index);
            if (!editor || !Named(QAccessible::queryAccessibleInterface(editor), Shown(editor)))
                unnamed << QString("%1 editor %2").arg(view->objectName()).arg(c);
            if (editor) QTest::keyClick(editor, Qt::Key_Escape);
            break;
        }
    }
}

// Focusable controls (and tool bar buttons) that a screen reader could not name: no name
// but their value, and no label pointing at them (a frame's title does not count).
QStringList Unnamed(QWidget* root) {
    QStringList unnamed;
    for (QWidget* w : root->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(root) || w->focusProxy() ||
            (!(w->focusPolicy() & Qt::TabFocus) && !qobject_cast<QToolButton*>(w)))
            continue;
        if (!Named(QAccessible::queryAccessibleInterface(w), Shown(w))) unnamed << Known(w);
        if (auto* view = qobject_cast<QTableView*>(w)) UnnamedCells(view, unnamed);
    }
    return unnamed;
}

// Whether the window with its frame fits the free area of its screen, scrolling only
// when its contents would not fit.
QString Fits(const QWidget* window) {
    const QSize room = window->screen()->availableGeometry().size();
    const QSize frame = window->frameGeometry().size();
    const auto* scroll = window->findChild<QScrollArea*>("screenFitScrollArea");
    const QWidget* inside = scroll ? scroll->widget() : nullptr;
    if (inside &&
        room.expandedTo(inside->minimumSizeHint().expandedTo(inside->minimumSize())) == room)
        return " scrolls needlessly";
    return room.expandedTo(frame) == room ? "" : " too large";
}

}  // namespace

class AccessTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        f_ = std::make_unique<test::WindowFixture>();
        QVERIFY(WriteDatFile(path("one.DAT"), EncodeImageBytes(NewConfiguration())).has_value());
        QVERIFY(test::WriteFile(path("named.csv"), "Location,Name,Frequency\n1,Rpt,440.00000\n"));
        new ToolsMenu(*f_->form, path("tools.ini"));
        form()->show();
        QVERIFY(QTest::qWaitForWindowActive(form()));
    }
    void cleanup() { f_.reset(); }

    void everyWindowByKeyboardAndByName() {
        for (const test::Fields& row : test::Table("tab_orders")) {  // a window, its Tab order
            const QString command = row[0] == "-" ? "" : QString::fromStdString(row[0]);
            const QString tabs = QString::fromStdString(row[1]);
            init();
            f_->files.answers = {path(command == "toolsCompare" ? "one.DAT" : "named.csv")};
            QStringList walked, unnamed;
            QString fits = "unseen";
            f_->dialogs = [&](QDialog& dialog) {
                dialog.show();
                dialog.activateWindow();
                if (QTest::qWaitFor([&dialog] { return QApplication::activeWindow() == &dialog; }))
                    walked = TabWalk();
                unnamed = Unnamed(&dialog);
                fits = Fits(&dialog);
                return int(QDialog::Rejected);
            };
            if (command.isEmpty()) {
                QVERIFY(test::TypeIntoCell(form()->mfgrid1(), 1, ColReceive, "446"));
                walked = mainWindowJourney();
                unnamed = Unnamed(form());
                fits = Fits(form());
            } else {
                form()->findChild<QAction*>(command)->trigger();
            }
            QCOMPARE(command + ": " + walked.join(',') + " unnamed:" + unnamed.join(',') + fits,
                     command + ": " + tabs + " unnamed:");
        }
    }

private:
    // The Tab walk of the main window, then the keys that reach its menus and what the grid
    // shows and tells while the focus comes and goes.
    QStringList mainWindowJourney() {
        ChannelGrid* grid = form()->mfgrid1();
        grid->setFocus();
        grid->setCurrentIndex(grid->model()->index(0, ColReceive));
        QTest::keyClick(grid, Qt::Key_Right);
        [&] { QCOMPARE(grid->currentIndex().column(), int(ColDecode)); }();
        const QStringList walked = TabWalk();
        form()->combo(1)->setFocus();
        QTest::keyClick(form()->combo(1), Qt::Key_Backtab);
        [&] { QCOMPARE(QApplication::focusWidget(), grid); }();

        // The current cell in the highlight colour with the focus, in grey without.
        const auto current = [grid] {
            const QPoint at = grid->visualRect(grid->currentIndex()).topLeft() + QPoint(3, 3);
            return grid->viewport()->grab().toImage().pixelColor(at * grid->devicePixelRatio());
        };
        const QRgb focused = current().rgb();
        form()->combo(1)->setFocus();
        [&] { QCOMPARE(current().rgb(), grid->palette().mid().color().rgb()); }();
        [&] { QVERIFY(focused != current().rgb()); }();

        QMenu* context = nullptr;
        f_->contextMenu = [&](QMenu* menu) { context = menu; };
        QTest::keyClick(grid, Qt::Key_F10, Qt::ShiftModifier);
        [&] { QCOMPARE(context, form()->menus().mnuchannel); }();
        // Alt+T opens the Tools menu, and its letters reach the items.
        f_->dialogs = [](QDialog&) { return int(QDialog::Rejected); };
        QSignalSpy ports(form()->findChild<QAction*>("toolsSerialPorts"), &QAction::triggered);
        QTest::keyClick(grid, Qt::Key_T, Qt::AltModifier);
        auto* tools = form()->findChild<QMenu*>("toolsMenu");
        [&] { QTRY_COMPARE(QApplication::activePopupWidget(), tools); }();
        QTest::keyClick(tools, Qt::Key_O);  // Serial p&orts...
        [&] { QCOMPARE(ports.count(), 1); }();
        return walked;
    }

    QString path(const char* name) const { return f_->path(QLatin1String(name)); }
    Form1* form() const { return f_->form.get(); }

    std::unique_ptr<test::WindowFixture> f_;
};

QTEST_MAIN(AccessTest)
#include "access_test.moc"
