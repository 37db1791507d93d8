#include "ui/tools/editor_history.h"

#include <QUndoCommand>
#include <QUndoStack>

#include "ui/main/editor_document.h"

namespace r7::ui {

namespace {

// Two whole states per step, a few kilobytes; plenty of steps for an editing session.
constexpr int kUndoLimit = 500;

// The service mode and its unlock gesture belong to the run, not to the configuration:
// undo must neither unlock the calibration nor lock it behind the "Test" button's back.
EditorState WithServiceOf(EditorState target, const EditorState& current) {
    target.ServiceUnlocked = current.ServiceUnlocked;
    target.UnlockClick1 = current.UnlockClick1;
    target.UnlockClick2 = current.UnlockClick2;
    target.UnlockClick3 = current.UnlockClick3;
    target.UnlockClickTime = current.UnlockClickTime;
    return target;
}

class SnapshotCommand : public QUndoCommand {
public:
    SnapshotCommand(EditorDocument* document, EditorState before, EditorState after,
                    const QString& text)
        : QUndoCommand(text),
          document_(document),
          before_(std::move(before)),
          after_(std::move(after)) {}

    void undo() override { document_->restoreState(WithServiceOf(before_, document_->state())); }
    void redo() override {
        // The change has happened already when it is pushed.
        if (pushed_) {
            pushed_ = false;
            return;
        }
        document_->restoreState(WithServiceOf(after_, document_->state()));
    }

private:
    EditorDocument* document_;
    EditorState before_;
    EditorState after_;
    bool pushed_ = true;
};

}  // namespace

EditorHistory::EditorHistory(EditorDocument* document, QObject* parent)
    : QObject(parent), document_(document), stack_(new QUndoStack(this)) {
    stack_->setUndoLimit(kUndoLimit);
    connect(document_, &EditorDocument::changeRecorded, this,
            [this](const EditorState& before, const EditorState& after, const QString& what) {
                if (WithServiceOf(before, after) == after) return;  // nothing undo would give back
                stack_->push(new SnapshotCommand(document_, before, after, what));
            });
    connect(document_, &EditorDocument::historyCleared, stack_, &QUndoStack::clear);
}

bool EditorHistory::canUndo() const { return stack_->canUndo(); }
bool EditorHistory::canRedo() const { return stack_->canRedo(); }
void EditorHistory::undo() { stack_->undo(); }
void EditorHistory::redo() { stack_->redo(); }

}  // namespace r7::ui
