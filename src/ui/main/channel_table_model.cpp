#include "ui/main/channel_table_model.h"

#include <QGuiApplication>
#include <QPalette>

#include "image/setting_lists.h"
#include "ui/dialogs/dialog_support.h"
#include "ui/main/editor_document.h"

namespace r7::ui {

ChannelTableModel::ChannelTableModel(EditorDocument* document, QObject* parent)
    : QAbstractTableModel(parent), document_(document) {
    connect(document_, &EditorDocument::cellsChanged, this, [this](int first, int last) {
        emit dataChanged(index(first - 1, 0), index(last - 1, kColumnCount - 1));
    });
    connect(document_, &EditorDocument::stateReplaced, this, [this] {
        beginResetModel();
        endResetModel();
    });
}

int ChannelTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kChannelCount;
}

int ChannelTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant ChannelTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            return document_->cellText(channelOf(index), index.column());
        case kCellPlaceRole:
            if (index.column() == ColChannel)
                return QStringLiteral("Channel %1").arg(channelOf(index));
            return QStringLiteral("Channel %1, %2")
                .arg(channelOf(index))
                .arg(headerData(index.column(), Qt::Horizontal, Qt::DisplayRole).toString());
        case Qt::AccessibleTextRole:
            // A screen reader says where it is as well as what the cell holds.
            return CellAccessibleText(index, document_->cellText(channelOf(index), index.column()));
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
        case Qt::BackgroundRole:
            // The number column is fixed: it looks like the header.
            if (index.column() == ColChannel) return QGuiApplication::palette().button();
            return {};
        default:
            return {};
    }
}

QVariant ChannelTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal) {
        if (role == Qt::DisplayRole && section >= 0 && section < kColumnCount) {
            return QString::fromStdString(ChannelHeaders().at(static_cast<std::size_t>(section)));
        }
        if (role == Qt::TextAlignmentRole)
            return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
        return {};
    }
    if (role == Qt::DisplayRole) return section + 1;
    return {};
}

Qt::ItemFlags ChannelTableModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (document_->canEditCell(channelOf(index), index.column())) f |= Qt::ItemIsEditable;
    return f;
}

bool ChannelTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole) return false;
    const EditResult result =
        document_->editCell(channelOf(index), index.column(), value.toString());
    return result != EditResult::Refused;
}

}  // namespace r7::ui
