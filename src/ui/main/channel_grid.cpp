#include "ui/main/channel_grid.h"

#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <algorithm>

#include "image/channel_editing.h"
#include "image/editor_state.h"
#include "ui/dialogs/dialog_support.h"

namespace r7::ui {

namespace {

// Column widths of the design, in twips.
constexpr int kColumnWidths[kColumnCount] = {795, 1200, 1305, 1200, 1305, 795, 990, 795, 795};
constexpr int kRowHeight = 300;

bool IsPicked(int column) { return !PickList(column).empty(); }

}  // namespace

QWidget* ChannelDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                       const QModelIndex& index) const {
    // Named after its cell: a list's own name would be its value ("Off").
    const QString name = index.data(kCellPlaceRole).toString();
    if (!IsPicked(index.column())) {
        auto* edit = new QLineEdit(parent);
        edit->setAccessibleName(name);
        edit->setAlignment(Qt::AlignCenter);
        edit->setFrame(false);
        return edit;
    }
    auto* box = new QComboBox(parent);
    box->setAccessibleName(name);
    NameByLabel(box, name);
    for (const std::string& entry : PickList(index.column()))
        box->addItem(QString::fromStdString(entry));
    box->setMaxVisibleItems(16);
    (void)option;
    return box;
}

void ChannelDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    const QString text = index.data(Qt::EditRole).toString();
    if (auto* box = qobject_cast<QComboBox*>(editor)) {
        const int at = box->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
        box->setCurrentIndex(at >= 0 ? at : 0);
        return;
    }
    if (auto* edit = qobject_cast<QLineEdit*>(editor)) {
        edit->setText(text);
        edit->selectAll();
    }
}

void ChannelDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                   const QModelIndex& index) const {
    if (auto* box = qobject_cast<QComboBox*>(editor)) {
        model->setData(index, box->currentText(), Qt::EditRole);
    } else if (auto* edit = qobject_cast<QLineEdit*>(editor)) {
        model->setData(index, edit->text(), Qt::EditRole);
    }
}

void ChannelDelegate::initStyleOption(QStyleOptionViewItem* option,
                                      const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    ShowGridFocus(option);
}

bool ChannelDelegate::eventFilter(QObject* object, QEvent* event) {
    return CommitOnEnter(*this, object, event) || QStyledItemDelegate::eventFilter(object, event);
}

ChannelGrid::ChannelGrid(QWidget* parent) : QTableView(parent) {
    setItemDelegate(new ChannelDelegate(this));
    // A click on the current cell edits through clickEdit_: Qt's own delayed edit for it
    // turns keys typed within the double-click time into a keyboard search.
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    clickEdit_.setSingleShot(true);
    connect(&clickEdit_, &QTimer::timeout, this, [this] {
        const QModelIndex current = currentIndex();
        if (current.row() == pressedRow_ && current.column() == pressedColumn_ && !isEditing())
            edit(current);
    });
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    // Tab leaves the grid for the next control; arrows move between cells.
    setTabKeyNavigation(false);
    setWordWrap(false);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(TwipsToPixels(kRowHeight));
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    horizontalHeader()->setMinimumSectionSize(TwipsToPixels(600));
    horizontalHeader()->setStretchLastSection(true);
}

void ChannelGrid::applyDesignSizes() {
    // The design's widths, widened where this desktop's font needs more for a title or
    // the widest entry, so all 16 channels and 9 columns show without scrolling.
    const QFontMetrics header = horizontalHeader()->fontMetrics();
    const QFontMetrics body = fontMetrics();
    int width = 2 * frameWidth();
    for (int column = 0; column < kColumnCount; ++column) {
        int needed =
            header.horizontalAdvance(model()->headerData(column, Qt::Horizontal).toString());
        for (const std::string& entry : PickList(column)) {
            needed = std::max(needed, body.horizontalAdvance(QString::fromStdString(entry)));
        }
        if (column == ColReceive || column == ColTransmit) {
            needed = body.horizontalAdvance(QStringLiteral("469.99375"));
        }
        const int columnWidth = std::max(TwipsToPixels(kColumnWidths[column]), needed + 14);
        setColumnWidth(column, columnWidth);
        width += columnWidth;
    }
    const int rowHeight = std::max(TwipsToPixels(kRowHeight), body.height() + 4);
    verticalHeader()->setDefaultSectionSize(rowHeight);
    horizontalHeader()->setFixedHeight(rowHeight + 2);
    setMinimumSize(width, 2 * frameWidth() + rowHeight + 2 + kChannelCount * rowHeight);
}

void ChannelGrid::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        const QModelIndex at = indexAt(event->position().toPoint());
        if (at.isValid()) {
            setCurrentIndex(at);
            emit channelMenuRequested(at.row() + 1, event->globalPosition().toPoint());
        }
        return;
    }
    clickEdit_.stop();
    const QModelIndex at = indexAt(event->position().toPoint());
    const bool onCurrent = at.isValid() && at == currentIndex() && !isEditing();
    pressedRow_ = onCurrent ? at.row() : -1;
    pressedColumn_ = onCurrent ? at.column() : -1;
    QTableView::mousePressEvent(event);
}

void ChannelGrid::mouseReleaseEvent(QMouseEvent* event) {
    QTableView::mouseReleaseEvent(event);
    const QModelIndex at = indexAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && pressedRow_ >= 0 && at.row() == pressedRow_ &&
        at.column() == pressedColumn_) {
        clickEdit_.start(QApplication::doubleClickInterval());
    }
}

void ChannelGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    clickEdit_.stop();
    QTableView::mouseDoubleClickEvent(event);
}

void ChannelGrid::keyboardSearch(const QString&) {}

void ChannelGrid::keyPressEvent(QKeyEvent* event) {
    clickEdit_.stop();
    const bool plain =
        !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    if (plain && (event->key() == Qt::Key_Delete || event->key() == Qt::Key_Backspace) &&
        !isEditing()) {
        clearCurrentCell();
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier && !isEditing()) {
        // Shift+F10 is the menu key of keyboards without one.
        const QPoint at = visualRect(currentIndex()).center();
        QContextMenuEvent menu(QContextMenuEvent::Keyboard, at, viewport()->mapToGlobal(at));
        contextMenuEvent(&menu);
        return;
    }
    QTableView::keyPressEvent(event);
}

bool ChannelGrid::clearCurrentCell() {
    const QModelIndex current = currentIndex();
    if (!current.isValid() || !(current.flags() & Qt::ItemIsEditable) ||
        !selectionModel()->isSelected(current))
        return false;
    if (current.column() != ColReceive && current.column() != ColTransmit) return false;
    if (model()->index(current.row(), ColReceive).data().toString().isEmpty()) return false;
    return model()->setData(current, QString(), Qt::EditRole);
}

void ChannelGrid::contextMenuEvent(QContextMenuEvent* event) {
    // The menu key (or Shift+F10) offers the same menu for the current channel, so the
    // delete command is within reach of the keyboard too; a right click came by the press.
    const QModelIndex current = currentIndex();
    if (event->reason() == QContextMenuEvent::Keyboard && current.isValid()) {
        emit channelMenuRequested(current.row() + 1,
                                  viewport()->mapToGlobal(visualRect(current).center()));
        event->accept();
        return;
    }
    event->ignore();
}

QModelIndex ChannelGrid::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) {
    const QModelIndex current = currentIndex();
    if (!model() || !current.isValid() ||
        (cursorAction != MoveNext && cursorAction != MovePrevious)) {
        return QTableView::moveCursor(cursorAction, modifiers);
    }
    // Tab runs through the editable columns row by row and skips the number column.
    const int columns = model()->columnCount();
    const int rows = model()->rowCount();
    int row = current.row();
    int column = current.column();
    if (cursorAction == MoveNext) {
        if (++column >= columns) {
            column = ColReceive;
            if (++row >= rows) row = 0;
        }
    } else {
        if (--column < ColReceive) {
            column = columns - 1;
            if (--row < 0) row = rows - 1;
        }
    }
    return model()->index(row, column);
}

void ChannelGrid::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
    QTableView::closeEditor(editor, hint);
    if (hint != QAbstractItemDelegate::SubmitModelCache) return;
    // Enter moves down to the same column of the next channel, ready for typing.
    const QModelIndex current = currentIndex();
    if (current.isValid() && current.row() + 1 < model()->rowCount()) {
        setCurrentIndex(model()->index(current.row() + 1, current.column()));
    }
}

}  // namespace r7::ui
