#pragma once

// Undo and redo for the editor document. Each recorded change is kept as the whole state
// before and after it, so undoing returns to exactly what was there; New, a band change,
// opening a file and reading the radio empty the history. The service mode (unlocked or
// not, and the unlock gesture) is not part of what undo gives back.

#include <QObject>

class QUndoStack;

namespace r7::ui {

class EditorDocument;

class EditorHistory : public QObject {
    Q_OBJECT
public:
    explicit EditorHistory(EditorDocument* document, QObject* parent = nullptr);

    QUndoStack* stack() const { return stack_; }
    bool canUndo() const;
    bool canRedo() const;
    void undo();
    void redo();

private:
    EditorDocument* document_;
    QUndoStack* stack_;
};

}  // namespace r7::ui
