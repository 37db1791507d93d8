// Every text the windows show before anyone touches them (captions, menu items and their
// order, keys, tips, list entries, grid titles, which controls are hidden or disabled),
// walked from the widgets and compared whole with window_texts.txt. On a difference the
// new dump is written beside it as window_texts.txt.new and the difference printed.

#include "ui/tools/tools_menu.h"
#include "ui_test_support.h"

namespace {

QString Items(const QComboBox* box) {
    QStringList items;
    for (int i = 0; i < box->count(); ++i) items << box->itemText(i);
    return items.join('|');
}

QString ActionLine(const QAction* a) {
    if (a->isSeparator()) return "-" + a->objectName();
    QString line = QString("%1 \"%2\"").arg(a->objectName(), a->text());
    if (!a->shortcut().isEmpty()) line += " key=" + a->shortcut().toString();
    if (a->toolTip() != QString(a->text()).remove('&')) line += " tip=\"" + a->toolTip() + "\"";
    if (a->isCheckable()) line += a->isChecked() ? " checked" : " checkable";
    if (!a->isVisible()) line += " hidden";
    if (!a->isEnabled()) line += " disabled";
    return line;
}

// Headers and cells of a table, and the pick list each column's editor offers.
void DumpView(QAbstractItemView* view, QStringList& out) {
    QAbstractItemModel* m = view->model();
    QStringList titles, column0;
    for (int c = 0; c < m->columnCount(); ++c)
        titles << m->headerData(c, Qt::Horizontal).toString();
    for (int r = 0; r < m->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < m->columnCount(); ++c) cells << m->index(r, c).data().toString();
        column0 << cells.join('|');
    }
    out << "  titles " + titles.join('|') << "  rows " + column0.join(" / ");
    for (int c = 0; c < m->columnCount(); ++c) {
        std::unique_ptr<QWidget> editor(
            view->itemDelegateForIndex(m->index(0, c))
                ->createEditor(view->viewport(), QStyleOptionViewItem(), m->index(0, c)));
        if (auto* box = qobject_cast<QComboBox*>(editor.get()))
            out << QString("  list %1 %2").arg(c).arg(Items(box));
    }
}

// One line per named widget or action, children indented under their parents.
void Dump(QObject* o, QWidget* top, qsizetype depth, QStringList& out) {
    const QString name = o->objectName();
    if (!name.isEmpty() && !name.startsWith("qt_")) {
        QString line = QString(depth * 2, ' ') + o->metaObject()->className() + " " + name;
        if (auto* w = qobject_cast<QWidget*>(o)) {
            if (!w->windowTitle().isEmpty() && w->isWindow())
                line += " title=\"" + w->windowTitle() + "\"";
            if (auto* l = qobject_cast<QLabel*>(w)) line += " \"" + l->text() + "\"";
            if (auto* b = qobject_cast<QAbstractButton*>(w)) line += " \"" + b->text() + "\"";
            if (auto* g = qobject_cast<QGroupBox*>(w)) line += " \"" + g->title() + "\"";
            if (auto* e = qobject_cast<QLineEdit*>(w))
                line += QString(" \"%1\" max=%2").arg(e->text()).arg(e->maxLength());
            if (auto* s = qobject_cast<QAbstractSlider*>(w))
                line += QString(" %1..%2=%3 page=%4")
                            .arg(s->minimum())
                            .arg(s->maximum())
                            .arg(s->value())
                            .arg(s->pageStep());
            if (auto* p = qobject_cast<QProgressBar*>(w))
                line += QString(" %1..%2").arg(p->minimum()).arg(p->maximum());
            if (auto* c = qobject_cast<QComboBox*>(w))
                line += QString(" [%1] current=\"%2\"").arg(Items(c), c->currentText());
            QList<QAction*> listed;
            if (auto* m = qobject_cast<QMenu*>(w)) {
                line += " \"" + m->title() + "\"";
                listed = m->actions();
            }
            if (auto* t = qobject_cast<QToolBar*>(w)) listed = t->actions();
            if (auto* mw = qobject_cast<QMainWindow*>(w)) listed = mw->menuBar()->actions();
            if (w != top && !w->isVisibleTo(top) && !qobject_cast<QMenu*>(w)) line += " hidden";
            if (!w->isEnabled()) line += " disabled";
            out << line;
            for (QAction* a : listed) out << QString(depth * 2 + 4, ' ') + "> " + ActionLine(a);
            if (auto* v = qobject_cast<QAbstractItemView*>(w); v && v->model()) DumpView(v, out);
        }
    }
    for (QObject* child : o->children()) Dump(child, top, depth + 1, out);
}

}  // namespace

class WindowTextsTest : public QObject {
    Q_OBJECT
private slots:
    void windowsShowTheirTexts() {
        for (int port = 1; port <= 8; ++port)
            qunsetenv(qPrintable(QString("MORVANE_R7_COM%1").arg(port)));
        auto form = std::make_unique<Form1>();
        new ToolsMenu(*form, QDir::temp().filePath("r7-window-texts/tools.ini"));
        EditorState state = NewConfiguration();
        const std::unique_ptr<QWidget> windows[] = {
            std::move(form),
            std::make_unique<OptionalDialog>(state),
            std::make_unique<KeySetDialog>(state),
            std::make_unique<InsertInformationDialog>(state),
            std::make_unique<TestFrequencyDialog>(state),
            std::make_unique<DebugParameterDialog>(state),
            std::make_unique<AboutDialog>()};
        QStringList dump;
        for (const auto& w : windows) {
            w->show();
            Dump(w.get(), w.get(), 0, dump << "");
            w->hide();
        }
        const QString text = dump.mid(1).join('\n') + '\n';
        const QString expected = QString::fromUtf8(test::Contents(R7_TEXTS_PATH));
        if (text != expected && test::WriteFile(QString(R7_TEXTS_PATH) + ".new", text.toUtf8()))
            QProcess::execute("diff", {"-u", R7_TEXTS_PATH, QString(R7_TEXTS_PATH) + ".new"});
        QVERIFY2(text == expected,
                 "window texts differ from window_texts.txt, see window_texts.txt.new");
    }
};

QTEST_MAIN(WindowTextsTest)
#include "window_texts_test.moc"
