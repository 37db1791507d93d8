#pragma once

// The channel grid `mfgrid1`: typing on a cell opens its editor, Tab and Enter move on,
// picked columns edit through a drop-down of their pick list.

#include <QStyledItemDelegate>
#include <QTableView>
#include <QTimer>

namespace r7::ui {

// A drop-down of the column's pick list for the picked columns, a plain line edit for the
// typed frequency columns.
class ChannelDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
    bool eventFilter(QObject* object, QEvent* event) override;
};

class ChannelGrid : public QTableView {
    Q_OBJECT
public:
    explicit ChannelGrid(QWidget* parent = nullptr);

    // True while a cell editor is open.
    bool isEditing() const { return state() == EditingState; }

    // Column widths and row heights of the design; call after setModel().
    void applyDesignSizes();

    // Keys belong to the current cell: no jumping to a row whose text starts with them.
    void keyboardSearch(const QString& search) override;

signals:
    // A right click on a channel row (1-based), at `globalPos`.
    void channelMenuRequested(int row, const QPoint& globalPos);

protected:
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    // Delete or Backspace on a typed cell of a used channel: the same as typing it empty.
    bool clearCurrentCell();

    // A click on the current cell opens its editor once a double click can no longer follow;
    // our own timer, because a key typed meanwhile must open the editor at once instead.
    QTimer clickEdit_;
    int pressedRow_ = -1;  // the current cell the left button went down on, -1 for none
    int pressedColumn_ = -1;
};

}  // namespace r7::ui
