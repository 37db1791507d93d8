#include "ui/main/editor_document.h"

#include <utility>

#include "image/editor_defaults.h"
#include "image/image_codec.h"
#include "image/setting_lists.h"

namespace r7::ui {

EditorDocument::EditorDocument(QObject* parent) : QObject(parent), state_(NewConfiguration()) {
    for (const std::string& entry : ComboEntries(1)) bandEntries_ << QString::fromStdString(entry);
}

QString EditorDocument::cellText(int channel, int column) const {
    if (channel < 1 || channel > kChannelCount || column < 0 || column >= kColumnCount) return {};
    return QString::fromStdString(state_.cell(channel, column));
}

bool EditorDocument::canEditCell(int channel, int column) const {
    return CanEditCell(state_, channel, column);
}

EditResult EditorDocument::editCell(int channel, int column, const QString& text) {
    if (!CanEditCell(state_, channel, column)) return EditResult::Refused;
    EditorState next = state_;
    const EditResult result =
        ApplyCellEdit(next, channel, column, text.toStdString(), bandLimits());
    commit(next, tr("Edit of channel %1").arg(channel));
    if (result == EditResult::RangeError || result == EditResult::Malformed) {
        emit frequencyRejected(channel, column);
    }
    return result;
}

void EditorDocument::deleteChannel(int channel) {
    if (channel < 1 || channel > kChannelCount) return;
    EditorState next = state_;
    DeleteChannel(next, channel);
    commit(next, tr("Delete channel %1").arg(channel));
}

void EditorDocument::clearChannels() {
    EditorState next = state_;
    ClearChannels(next);
    commit(next, tr("Clear all channels"));
}

void EditorDocument::setCombo(int n, int position) {
    if (n < 1 || n > kComboCount || position < 0) return;
    const int count = n == BandCombo ? static_cast<int>(bandEntries_.size())
                                     : static_cast<int>(ComboEntries(n).size());
    if (position >= count) return;
    EditorState next = state_;
    const bool bandChanged = n == BandCombo && position != state_.combo(BandCombo);
    next.combo(n) = position;
    commit(next, tr("Setting change"));
    // A band change throws the channels away: it begins another configuration.
    if (bandChanged) emit historyCleared();
}

QString EditorDocument::bandText() const { return bandEntries_.value(state_.combo(BandCombo)); }

BandLimits EditorDocument::bandLimits() const { return BandLimitsOf(bandText().toStdString()); }

void EditorDocument::resetEditor() {
    EditorState next = state_;
    ResetEditor(next);
    commit(next, QString());
    // Start-up, New and a band change end here; none of them can be undone.
    emit historyCleared();
}

bool EditorDocument::decodeImage(std::span<const std::uint8_t> image) {
    EditorState next = state_;
    if (!DecodeImageBytes(image, next)) return false;
    replaceState(next);
    return true;
}

void EditorDocument::replaceState(const EditorState& state) {
    state_ = state;
    emit stateReplaced();
    emit historyCleared();
}

void EditorDocument::storeState(const EditorState& next, const QString& what) {
    commit(next, what);
}

void EditorDocument::restoreState(const EditorState& state) {
    restoring_ = true;
    commit(state, QString());
    restoring_ = false;
}

void EditorDocument::commit(const EditorState& next, const QString& what) {
    if (next == state_) return;
    int first = 0;
    int last = 0;
    for (int ch = 1; ch <= kChannelCount; ++ch) {
        if (next.rows[ch - 1] != state_.rows[ch - 1]) {
            if (first == 0) first = ch;
            last = ch;
        }
    }
    const bool settings = next.combos != state_.combos;
    const EditorState before = std::exchange(state_, next);
    if (first != 0) emit cellsChanged(first, last);
    if (settings) emit settingsChanged();
    if (!restoring_) emit changeRecorded(before, state_, what);
}

}  // namespace r7::ui
