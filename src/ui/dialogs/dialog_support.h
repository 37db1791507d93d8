#pragma once

// Small pieces the windows share: twips geometry, text from the core, named menu items,
// filtered text boxes, clickable labels and the fixed-header grids.

#include <QAction>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRect>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <cstddef>
#include <functional>
#include <optional>
#include <string_view>

namespace r7::ui {

// Window layouts are drawn in twips; 15 twips make one pixel.
QRect Twips(int x, int y, int width, int height);
int TwipsToPixels(int twips);

// The core's UTF-8 text as a QString.
QString Utf8(std::string_view text);

// A menu item with an object name, so tests and accessibility tools can find it.
QAction* NewAction(QMenu* menu, const char* name, const QString& caption);

// A fixed-size modal dialog as designed: object name, caption and size in twips.
void SetUpDialog(QDialog* dialog, const QString& name, const QString& title, QSize twips);
// The Command1 / Command2 pair: the first stores and closes the dialog with OK, the second
// closes it with nothing stored.
void AddOkCancel(QDialog* dialog, const QString& okText, QRect okTwips, const QString& cancelText,
                 QRect cancelTwips, const std::function<void()>& store);

// The dialogs were laid out for a 12-pixel font; a larger one would clip their labels.
void UseLayoutFont(QWidget* dialog);

// Widens a caption that the platform font makes longer than its design width.
void FitCaption(QWidget* widget);

// A push button at a twips position. Enter in a text box must not press OK behind the
// user's back, so no button of these dialogs is a default button.
QPushButton* MakeButton(QWidget* parent, const QString& name, const QString& text, QRect twips);
// A widget's name, caption and twips geometry in one go.
void Place(QWidget* widget, const QString& name, QRect twips);

// A one-line text box whose typed characters pass a filter first. The filter gets the key
// (Backspace as 0x08), the current length in characters and whether text is selected, and
// returns the character to type or nothing to drop the key. Keys that type nothing
// (arrows, Delete, Home ...) are not filtered; pasting through the context menu is not a key.
class FilteredLineEdit : public QLineEdit {
    Q_OBJECT
public:
    using Filter =
        std::function<std::optional<char32_t>(char32_t key, std::size_t length, bool selection)>;
    explicit FilteredLineEdit(Filter filter, QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    Filter filter_;
};

// Filters for the dialogs' boxes, built on the core rules.
FilteredLineEdit::Filter CodeKeyFilter(std::size_t maxLength);
FilteredLineEdit::Filter MemoryKeyFilter();
FilteredLineEdit::Filter InfoLineFilter();

// A label that reports a left mouse press.
class ClickableLabel : public QLabel {
    Q_OBJECT
public:
    explicit ClickableLabel(const QString& text, QWidget* parent = nullptr);
signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
};

// Enter commits and closes a cell editor at once. Qt does that on a queued call, so keys
// already waiting behind Enter (type-ahead, a remote desktop's burst, a typing tool) would
// still land in the closing editor and be lost with it. True when `event` was that key.
bool CommitOnEnter(QAbstractItemDelegate& delegate, QObject* object, QEvent* event);

// The grid editor: a filtered line edit, and optionally our own handling of the committed
// text instead of writing it straight into the cell.
class GridEditorDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using Commit = std::function<void(const QModelIndex& index, const QString& text)>;
    GridEditorDelegate(FilteredLineEdit::Filter filter, Commit commit, QObject* parent);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
    // The editor opens with every cell, so Tab ends the edit and leaves the grid.
    bool eventFilter(QObject* object, QEvent* event) override;

private:
    FilteredLineEdit::Filter filter_;
    Commit commit_;
};

// Where a grid cell is, for a screen reader: "Channel 3, Receive" (the number column: just
// "Channel 3"). Its accessible text adds what it holds: "Channel 3, Receive: 446.00625".
constexpr int kCellPlaceRole = Qt::UserRole + 21;
QString CellAccessibleText(const QModelIndex& index, const QString& text);

// Names `control` for screen readers on every desktop: on Linux a list is read by the label
// whose buddy it is, whatever its own accessible name, so an invisible label gets the name.
void NameByLabel(QWidget* control, const QString& name);

// The grids' habits for assistive technology and the eye: a cell whose value changes says
// so, and the current cell is drawn in the highlight colour only while the grid (or its cell
// editor) has the keyboard focus, in grey otherwise.
void AnnounceCellChanges(QAbstractItemView* view);
void ShowGridFocus(QStyleOptionViewItem* option);

// A grid whose titles head the columns and whose column 0 is fixed, as the radio software's
// grids show them; `widths` in twips, every row 300 twips high. Row r (from 0) is named
// "`rowNoun` r+1" to a screen reader. The editor opens as soon as a cell becomes current.
QTableWidget* MakeFixedGrid(QWidget* parent, const QString& name, const QString& rowNoun, int rows,
                            const QStringList& titles, const QList<int>& widths);
// Cell text as it stands, empty for a missing item.
QString CellText(const QTableWidget* grid, int row, int column);
void SetCellEditable(QTableWidget* grid, int row, int column, bool editable);

}  // namespace r7::ui
