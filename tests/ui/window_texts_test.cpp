// The texts and names the windows are specified with, as they stand before anyone touches them:
// captions, menu items and their keys, tips, list entries, grid titles, which controls are
// hidden or disabled. One row of tests/data/window_texts.tsv a fact: window, control, property,
// value. Controls of the program's own (the Tools menu, the status strip) are not listed.

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

// A grid's column titles, or the pick list the editor of column `column` offers.
QString GridText(QAbstractItemView* view, int column) {
    QAbstractItemModel* m = view->model();
    QStringList titles;
    for (int c = 0; c < m->columnCount(); ++c)
        titles << m->headerData(c, Qt::Horizontal).toString();
    if (column < 0) return titles.join('|');
    const QModelIndex cell = m->index(0, column);
    std::unique_ptr<QWidget> editor(view->itemDelegateForIndex(cell)->createEditor(
        view->viewport(), QStyleOptionViewItem(), cell));
    return Items(qobject_cast<QComboBox*>(editor.get()));
}

// A Qt property of the control, or shown (visible in its window), items, titles, list N.
QString Property(QObject* o, QWidget* window, const QString& property) {
    if (property == "shown")
        return qobject_cast<QWidget*>(o)->isVisibleTo(window) ? "true" : "false";
    if (property == "items") return Items(qobject_cast<QComboBox*>(o));
    if (property == "titles" || property.startsWith("list "))
        return GridText(qobject_cast<QAbstractItemView*>(o),
                        property == "titles" ? -1 : property.mid(5).toInt());
    return o->property(property.toLatin1()).toString();
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
        QTest::addColumn<QString>("property");
        QTest::addColumn<QString>("value");
        for (const test::Fields& row : test::Table("window_texts")) {
            QTestData& data =
                QTest::addRow("%s %s %s", row[0].c_str(), row[1].c_str(), row[2].c_str());
            for (std::size_t i = 0; i < 4; ++i) data << QString::fromStdString(row[i]);
        }
    }
    void controlsShowTheirTexts() {
        const auto [window, name, property, value] =
            test::Fetch({"window", "name", "property", "value"});
        const auto top = std::ranges::find_if(
            windows_, [&](const auto& w) { return w->objectName() == window; });
        QVERIFY2(top != windows_.end(), "no such window");
        QWidget* w = top->get();
        QObject* control = w;  // a menu as its menu bar item
        if (!name.isEmpty() && !(control = w->findChild<QAction*>(name)))
            control = w->findChild<QWidget*>(name);
        QVERIFY2(control, "no such control");
        QCOMPARE(Property(control, w, property), value);
    }

private:
    EditorState state_ = NewConfiguration();
    std::vector<std::unique_ptr<QWidget>> windows_;
};

QTEST_MAIN(WindowTextsTest)
#include "window_texts_test.moc"
