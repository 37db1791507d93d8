// The texts and names the windows are specified with, as they stand before anyone touches them:
// captions, menu items and their keys, tips, list entries, grid titles, which controls are
// hidden or disabled. One row of tests/data/window_texts.tsv a control: window, name, what it
// shows. Controls of the program's own (the Tools menu, the status strip) are not listed.

#include "data_table.h"
#include "ui_test_support.h"

namespace {

// A list's entries; a long one by its first and last entry and its length.
QString Items(const QComboBox* box) {
    QStringList items;
    for (int i = 0; i < box->count(); ++i) items << box->itemText(i);
    if (items.size() > 30)
        return QString("%1 ... %2 (%3)").arg(items.first(), items.last()).arg(items.size());
    return items.join('|');
}

QString Describe(const QAction* a) {
    QString line = QString("\"%1\"").arg(a->text());
    if (!a->shortcut().isEmpty()) line += " key=" + a->shortcut().toString();
    if (a->toolTip() != QString(a->text()).remove('&')) line += " tip=\"" + a->toolTip() + "\"";
    if (a->isCheckable()) line += a->isChecked() ? " checked" : " checkable";
    if (!a->isVisible()) line += " hidden";
    if (!a->isEnabled()) line += " disabled";
    return line;
}

// A grid's column titles and the pick list each column's editor offers.
QString Describe(QAbstractItemView* view) {
    QAbstractItemModel* m = view->model();
    QStringList titles, lists;
    for (int c = 0; c < m->columnCount(); ++c) {
        titles << m->headerData(c, Qt::Horizontal).toString();
        const QModelIndex cell = m->index(0, c);
        std::unique_ptr<QWidget> editor(view->itemDelegateForIndex(cell)->createEditor(
            view->viewport(), QStyleOptionViewItem(), cell));
        if (auto* box = qobject_cast<QComboBox*>(editor.get()))
            lists << QString(" list %1 %2").arg(c).arg(Items(box));
    }
    return "titles " + titles.join('|') + lists.join("");
}

QString Describe(QWidget* w, QWidget* window) {
    if (auto* menu = qobject_cast<QMenu*>(w)) return "\"" + menu->title() + "\"";
    QString line;
    if (w == window) line = " title=\"" + w->windowTitle() + "\"";
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
    if (auto* v = qobject_cast<QAbstractItemView*>(w); v && v->model()) line += " " + Describe(v);
    if (w != window && !w->isVisibleTo(window)) line += " hidden";
    if (!w->isEnabled()) line += " disabled";
    return line.mid(1);
}

}  // namespace

class WindowTextsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        for (int port = 1; port <= 8; ++port)
            qunsetenv(qPrintable(QString("MORVANE_R7_COM%1").arg(port)));
        windows_.push_back(std::make_unique<Form1>());
        windows_.push_back(std::make_unique<OptionalDialog>(state_));
        windows_.push_back(std::make_unique<KeySetDialog>(state_));
        windows_.push_back(std::make_unique<InsertInformationDialog>(state_));
        windows_.push_back(std::make_unique<TestFrequencyDialog>(state_));
        windows_.push_back(std::make_unique<DebugParameterDialog>(state_));
        windows_.push_back(std::make_unique<AboutDialog>());
        for (const auto& w : windows_) w->show();
    }

    void controlsShowTheirTexts_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("shown");
        for (const test::Fields& row : test::Table("window_texts")) {
            QTest::addRow("%s %s", row[0].c_str(), row[1].c_str())
                << QString::fromStdString(row[0]) << QString::fromStdString(row[1])
                << QString::fromStdString(row[2]);
        }
    }
    void controlsShowTheirTexts() {
        QFETCH(QString, window);
        QFETCH(QString, name);
        QFETCH(QString, shown);
        const auto top = std::ranges::find_if(
            windows_, [&](const auto& w) { return w->objectName() == window; });
        QVERIFY2(top != windows_.end(), "no such window");
        QWidget* w = top->get();
        auto* action = name.isEmpty() ? nullptr : w->findChild<QAction*>(name);
        if (action) {  // a menu as its menu bar item
            QCOMPARE(Describe(action), shown);
            return;
        }
        QWidget* control = name.isEmpty() ? w : w->findChild<QWidget*>(name);
        QVERIFY2(control, "no such control");
        QCOMPARE(Describe(control, w), shown);
    }

private:
    EditorState state_ = NewConfiguration();
    std::vector<std::unique_ptr<QWidget>> windows_;
};

QTEST_MAIN(WindowTextsTest)
#include "window_texts_test.moc"
