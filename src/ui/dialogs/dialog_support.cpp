#include "dialog_support.h"

#include <QAccessible>
#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <utility>

#include "image/key_filters.h"

namespace r7::ui {

namespace {
constexpr int kTwipsPerPixel = 15;
constexpr int kGridRowTwips = 300;
}  // namespace

int TwipsToPixels(int twips) { return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel; }

QString Utf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QAction* NewAction(QMenu* menu, const char* name, const QString& caption) {
    auto* action = menu->addAction(caption);
    action->setObjectName(QLatin1String(name));
    return action;
}

QRect Twips(int x, int y, int width, int height) {
    return {TwipsToPixels(x), TwipsToPixels(y), TwipsToPixels(width), TwipsToPixels(height)};
}

void SetUpDialog(QDialog* dialog, const QString& name, const QString& title, QSize twips) {
    dialog->setObjectName(name);
    dialog->setWindowTitle(title);
    dialog->setModal(true);
    UseLayoutFont(dialog);
    dialog->setFixedSize(TwipsToPixels(twips.width()), TwipsToPixels(twips.height()));
}

void AddOkCancel(QDialog* dialog, const QString& okText, QRect okTwips, const QString& cancelText,
                 QRect cancelTwips, const std::function<void()>& store) {
    auto* ok = MakeButton(dialog, QStringLiteral("Command1"), okText, okTwips);
    auto* cancel = MakeButton(dialog, QStringLiteral("Command2"), cancelText, cancelTwips);
    QObject::connect(ok, &QPushButton::clicked, dialog, [dialog, store] {
        store();
        dialog->accept();
    });
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
}

void UseLayoutFont(QWidget* dialog) {
    QFont font = dialog->font();
    font.setPixelSize(12);
    dialog->setFont(font);
}

void FitCaption(QWidget* widget) {
    const int wanted = widget->sizeHint().width();
    if (wanted > widget->width()) widget->resize(wanted, widget->height());
}

void Place(QWidget* widget, const QString& name, QRect twips) {
    widget->setObjectName(name);
    widget->setGeometry(Twips(twips.x(), twips.y(), twips.width(), twips.height()));
}

QPushButton* MakeButton(QWidget* parent, const QString& name, const QString& text, QRect twips) {
    auto* button = new QPushButton(text, parent);
    button->setAutoDefault(false);
    button->setDefault(false);
    Place(button, name, twips);
    return button;
}

FilteredLineEdit::FilteredLineEdit(Filter filter, QWidget* parent)
    : QLineEdit(parent), filter_(std::move(filter)) {}

void FilteredLineEdit::keyPressEvent(QKeyEvent* event) {
    char32_t key = 0;
    if (!filter_) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    if (event->key() == Qt::Key_Backspace) {
        key = kKeyBackspace;
    } else if (event->key() == Qt::Key_Delete || event->text().isEmpty()) {
        QLineEdit::keyPressEvent(event);
        return;
    } else {
        key = static_cast<char32_t>(event->text().toUcs4().value(0));
    }
    const auto length = static_cast<std::size_t>(text().toUcs4().size());
    auto typed = filter_(key, length, hasSelectedText());
    if (!typed) {
        event->accept();  // dropped without a word, as the radio software does
        return;
    }
    if (*typed == key) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    const char32_t ch = *typed;
    QKeyEvent changed(event->type(), event->key(), event->modifiers(), QString::fromUcs4(&ch, 1),
                      event->isAutoRepeat(), static_cast<quint16>(event->count()));
    QLineEdit::keyPressEvent(&changed);
}

FilteredLineEdit::Filter CodeKeyFilter(std::size_t maxLength) {
    return [maxLength](char32_t key, std::size_t length, bool selection) {
        return FilterCodeKey(key, length, maxLength, selection);
    };
}

FilteredLineEdit::Filter MemoryKeyFilter() {
    return [](char32_t key, std::size_t, bool) { return FilterMemoryKey(key); };
}

FilteredLineEdit::Filter InfoLineFilter() {
    return [](char32_t key, std::size_t length, bool selection) -> std::optional<char32_t> {
        if (AcceptInfoKey(key, length, selection)) return key;
        return std::nullopt;
    };
}

ClickableLabel::ClickableLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {}

void ClickableLabel::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) emit clicked();
    QLabel::mousePressEvent(event);
}

GridEditorDelegate::GridEditorDelegate(FilteredLineEdit::Filter filter, Commit commit,
                                       QObject* parent)
    : QStyledItemDelegate(parent), filter_(std::move(filter)), commit_(std::move(commit)) {}

QWidget* GridEditorDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                          const QModelIndex& index) const {
    auto* editor = new FilteredLineEdit(filter_, parent);
    editor->setAccessibleName(index.data(kCellPlaceRole).toString());
    editor->setFrame(false);
    editor->setAlignment(Qt::AlignCenter);
    return editor;
}

void GridEditorDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                      const QModelIndex& index) const {
    auto* line = qobject_cast<QLineEdit*>(editor);
    if (commit_ && line) {
        commit_(index, line->text());
        return;
    }
    QStyledItemDelegate::setModelData(editor, model, index);
}

void GridEditorDelegate::initStyleOption(QStyleOptionViewItem* option,
                                         const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    ShowGridFocus(option);
}

QString CellAccessibleText(const QModelIndex& index, const QString& text) {
    QString place = index.data(kCellPlaceRole).toString();
    if (index.column() == 0) return place;
    return QStringLiteral("%1: %2").arg(place, text.isEmpty() ? QStringLiteral("empty") : text);
}

void NameByLabel(QWidget* control, const QString& name) {
    auto* label = new QLabel(name, control->parentWidget());
    label->setBuddy(control);
    label->setFixedSize(0, 0);
    label->show();
    // Gone with the control, as a cell editor goes when its edit ends.
    QObject::connect(control, &QObject::destroyed, label, &QObject::deleteLater);
}

void AnnounceCellChanges(QAbstractItemView* view) {
    QObject::connect(
        view->model(), &QAbstractItemModel::dataChanged, view,
        [view](const QModelIndex& topLeft, const QModelIndex& bottomRight) {
            // A client that keeps the tree would go on reading the old value. Qt passes no
            // event on while no assistive technology listens.
            if (!QAccessible::isActive()) return;
            QAccessibleInterface* table = QAccessible::queryAccessibleInterface(view);
            QAccessibleTableInterface* cells = table ? table->tableInterface() : nullptr;
            if (!cells) return;
            for (int row = topLeft.row(); row <= bottomRight.row(); ++row) {
                for (int column = topLeft.column(); column <= bottomRight.column(); ++column) {
                    if (QAccessibleInterface* cell = cells->cellAt(row, column)) {
                        QAccessibleEvent event(cell, QAccessible::NameChanged);
                        QAccessible::updateAccessibility(&event);
                    }
                }
            }
        });
}

void ShowGridFocus(QStyleOptionViewItem* option) {
    const QWidget* view = option->widget;
    if (!view || !(option->state & QStyle::State_Selected)) return;
    const QWidget* focus = QApplication::focusWidget();
    if (focus && (focus == view || view->isAncestorOf(focus))) return;
    option->palette.setBrush(QPalette::Highlight, option->palette.mid());
    option->palette.setBrush(QPalette::HighlightedText, option->palette.text());
}

namespace {

// Typing goes into the current cell or nowhere: the view's keyboard search would jump to
// another row whose text starts with the key and let the following keys edit that row.
class FixedGrid : public QTableWidget {
public:
    using QTableWidget::QTableWidget;
    void keyboardSearch(const QString&) override {}
};

// A cell that tells a screen reader where it is: "Pair 3, Receive: 462.01250".
class FixedGridItem : public QTableWidgetItem {
public:
    explicit FixedGridItem(const QString& rowNoun) : rowNoun_(rowNoun) {}

    QVariant data(int role) const override {
        const QTableWidget* grid = tableWidget();
        if (role == kCellPlaceRole && grid) {
            const QString place = QStringLiteral("%1 %2").arg(rowNoun_).arg(row() + 1);
            if (column() == 0) return place;
            const QTableWidgetItem* title = grid->horizontalHeaderItem(column());
            return QStringLiteral("%1, %2").arg(place, title ? title->text() : QString());
        }
        if (role == Qt::AccessibleTextRole && grid)
            return CellAccessibleText(grid->model()->index(row(), column()), text());
        return QTableWidgetItem::data(role);
    }

private:
    QString rowNoun_;
};

}  // namespace

QTableWidget* MakeFixedGrid(QWidget* parent, const QString& name, const QString& rowNoun, int rows,
                            const QStringList& titles, const QList<int>& widths) {
    auto* grid = new FixedGrid(rows, static_cast<int>(titles.size()), parent);
    grid->setObjectName(name);
    // The titles are the column headers, drawn like the fixed cells they used to be, so a
    // screen reader announces them as headings rather than as a row of data.
    grid->setHorizontalHeaderLabels(titles);
    QHeaderView* header = grid->horizontalHeader();
    header->setSectionsClickable(false);
    header->setHighlightSections(false);
    header->setSectionResizeMode(QHeaderView::Fixed);
    header->setDefaultAlignment(Qt::AlignCenter);
    header->setFixedHeight(TwipsToPixels(kGridRowTwips));
    grid->verticalHeader()->hide();
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setTabKeyNavigation(false);  // arrows move between cells, Tab to the buttons
    grid->setEditTriggers(QAbstractItemView::CurrentChanged | QAbstractItemView::DoubleClicked |
                          QAbstractItemView::AnyKeyPressed | QAbstractItemView::EditKeyPressed);
    const QBrush fixed = grid->palette().button();
    for (int c = 0; c < titles.size(); ++c) {
        grid->setColumnWidth(c, TwipsToPixels(widths.value(c, 1000)));
        for (int r = 0; r < rows; ++r) {
            auto* item = new FixedGridItem(rowNoun);
            item->setTextAlignment(Qt::AlignCenter);
            if (c == 0) {
                item->setFlags(Qt::ItemIsEnabled);
                item->setBackground(fixed);
            } else {
                item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable);
            }
            grid->setItem(r, c, item);
        }
    }
    for (int r = 0; r < rows; ++r) grid->setRowHeight(r, TwipsToPixels(kGridRowTwips));
    AnnounceCellChanges(grid);
    return grid;
}

bool CommitOnEnter(QAbstractItemDelegate& delegate, QObject* object, QEvent* event) {
    auto* editor = qobject_cast<QWidget*>(object);
    if (!editor || event->type() != QEvent::KeyPress) return false;
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
    emit delegate.commitData(editor);
    emit delegate.closeEditor(editor, QAbstractItemDelegate::SubmitModelCache);
    return true;
}

bool GridEditorDelegate::eventFilter(QObject* object, QEvent* event) {
    if (CommitOnEnter(*this, object, event)) return true;
    auto* editor = qobject_cast<QWidget*>(object);
    if (editor && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
            emit commitData(editor);
            emit closeEditor(editor, QAbstractItemDelegate::NoHint);
            // The grid does not walk its cells with Tab: the key moves the focus on.
            QWidget* viewport = editor->parentWidget();
            if (QWidget* grid = viewport ? viewport->parentWidget() : nullptr) {
                QKeyEvent tab(QEvent::KeyPress, key->key(), key->modifiers());
                QCoreApplication::sendEvent(grid, &tab);
            }
            return true;
        }
    }
    return QStyledItemDelegate::eventFilter(object, event);
}

QString CellText(const QTableWidget* grid, int row, int column) {
    const QTableWidgetItem* item = grid->item(row, column);
    return item ? item->text() : QString();
}

void SetCellEditable(QTableWidget* grid, int row, int column, bool editable) {
    QTableWidgetItem* item = grid->item(row, column);
    if (!item) return;
    Qt::ItemFlags flags = item->flags();
    flags.setFlag(Qt::ItemIsEditable, editable);
    item->setFlags(flags);
}

}  // namespace r7::ui
