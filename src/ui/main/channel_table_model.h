#pragma once

// The channel table as Qt sees it: 16 rows, 9 columns, column 0 the channel numbers.
// The horizontal header carries the titles of the table's header row.

#include <QAbstractTableModel>

namespace r7::ui {

class EditorDocument;

class ChannelTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ChannelTableModel(EditorDocument* document, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Runs the after-edit rules; false when the document refused the text.
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    static int channelOf(const QModelIndex& index) { return index.row() + 1; }

private:
    EditorDocument* document_;
};

}  // namespace r7::ui
