#pragma once

// The one editor state of the main window. Every change goes through here, so the grid,
// the setting lists and the undo history all see the same thing.

#include <QObject>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <span>

#include "image/channel_editing.h"
#include "image/editor_state.h"

namespace r7::ui {

// The general-setting lists of the main window: the value is N of its name ComboN.
enum ComboId : int {
    BandCombo = 1,
    LanguageCombo = 2,
    LaunchTimeCombo = 3,
    TimeoutAlarmCombo = 4,  // shown nowhere, kept with the rest
    SquelchCombo = 5,
    BatterySaveCombo = 6,
    BeepCombo = 7,
    ScanCombo = 8,
    RadioReturnCombo = 9,
    RadioSwitchCombo = 10,
};

class EditorDocument : public QObject {
    Q_OBJECT
public:
    explicit EditorDocument(QObject* parent = nullptr);

    const EditorState& state() const { return state_; }

    // Channel cells: channel 1..16, column 0..8.
    QString cellText(int channel, int column) const;
    bool canEditCell(int channel, int column) const;
    // Applies the after-edit rules with the limits of the current band. On RangeError and
    // Malformed, frequencyRejected() is emitted after the cell has been dealt with.
    EditResult editCell(int channel, int column, const QString& text);
    void deleteChannel(int channel);
    void clearChannels();

    // General-setting lists: n = 1..10, position from 0.
    int combo(int n) const { return state_.combo(n); }
    void setCombo(int n, int position);

    // The band list (Combo1). Every entry reads as "LLL-UUU...", limits in MHz.
    const QStringList& bandEntries() const { return bandEntries_; }
    void setBandEntries(const QStringList& entries) { bandEntries_ = entries; }
    QString bandText() const;
    BandLimits bandLimits() const;

    void resetEditor();
    // Spreads an image (at least up to offset 32F) over the state; false leaves it alone.
    bool decodeImage(std::span<const std::uint8_t> image);
    // Replaces everything at once (new configuration, file, radio read); the undo history
    // starts afresh.
    void replaceState(const EditorState& state);
    // A change made as a whole elsewhere (a dialog's OK, a paste, an import): stored like an
    // edit, so it can be undone. `what` names it in the Undo menu item.
    void storeState(const EditorState& next, const QString& what = {});
    // Puts back a state the undo history kept; not recorded again.
    void restoreState(const EditorState& state);

signals:
    // Cells of channels first..last changed (1-based, inclusive).
    void cellsChanged(int firstChannel, int lastChannel);
    void settingsChanged();
    void stateReplaced();
    void frequencyRejected(int channel, int column);
    // Every change that can be undone, with the states around it; `what` names it.
    void changeRecorded(const r7::EditorState& before, const r7::EditorState& after,
                        const QString& what);
    // New, a band change, a file or the radio began another configuration: nothing to undo.
    void historyCleared();

private:
    // Stores `next`, tells the views what differs and records the change for undo.
    void commit(const EditorState& next, const QString& what);

    EditorState state_;
    bool restoring_ = false;  // undo and redo put states back without recording them
    QStringList bandEntries_;
};

}  // namespace r7::ui
