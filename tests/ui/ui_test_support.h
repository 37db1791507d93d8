#pragma once

// Everything the window suites share: Qt, the windows and dialogs, message boxes and file
// dialogs answered from a script, typing into grid cells the way a user does.

#include <QtTest>
#include <QtWidgets>
#include <deque>
#include <functional>
#include <memory>
#include <optional>

#include "files/dat_file.h"
#include "files/tools_settings.h"
#include "image/editor_defaults.h"
#include "image/image_codec.h"
#include "ui/dialogs/about_dialog.h"
#include "ui/dialogs/debug_dialog.h"
#include "ui/dialogs/dialog_support.h"
#include "ui/dialogs/info_dialog.h"
#include "ui/dialogs/key_set_dialog.h"
#include "ui/dialogs/optional_dialog.h"
#include "ui/dialogs/test_frequency_dialog.h"
#include "ui/main/channel_grid.h"
#include "ui/main/channel_table_model.h"
#include "ui/main/editor_document.h"
#include "ui/main/file_dialog.h"
#include "ui/main/form1.h"
#include "ui/main/message_box.h"
#include "test_files.h"

namespace r7::test {

using namespace r7::ui;

// Records every message box; answers with the queued results, else the first button.
class ScriptedMessageBoxes {
public:
    ScriptedMessageBoxes() {
        previous_ = SetMessageBoxPresenter([this](const MessageBoxRequest& request) {
            shown.push_back(request);
            if (!answers.empty()) {
                const int answer = answers.front();
                answers.pop_front();
                return answer;
            }
            return ButtonResult(request.layout.buttons.front());
        });
    }
    ~ScriptedMessageBoxes() { SetMessageBoxPresenter(std::move(previous_)); }
    ScriptedMessageBoxes(const ScriptedMessageBoxes&) = delete;
    ScriptedMessageBoxes& operator=(const ScriptedMessageBoxes&) = delete;

    std::deque<int> answers;
    std::vector<MessageBoxRequest> shown;

    // Every box shown so far as "title|flags|prompt".
    QStringList texts() const {
        QStringList out;
        for (const MessageBoxRequest& r : shown) out << QStringLiteral("%1|%2|%3").arg(r.title).arg(r.flags).arg(r.prompt);
        return out;
    }

private:
    MessageBoxPresenter previous_;
};

// Answers file dialogs with the queued paths; a null QString (or none left) is Cancel.
class ScriptedFileDialogs {
public:
    ScriptedFileDialogs() {
        previous_ = SetFileDialogPresenter([this](const FileDialogRequest& request) -> std::optional<QString> {
            shown.push_back(request);
            if (answers.empty()) return std::nullopt;
            const QString answer = answers.front();
            answers.pop_front();
            if (answer.isNull()) return std::nullopt;
            return answer;
        });
    }
    ~ScriptedFileDialogs() { SetFileDialogPresenter(std::move(previous_)); }
    ScriptedFileDialogs(const ScriptedFileDialogs&) = delete;
    ScriptedFileDialogs& operator=(const ScriptedFileDialogs&) = delete;

    std::deque<QString> answers;
    std::vector<FileDialogRequest> shown;

private:
    FileDialogPresenter previous_;
};

// A window, not yet shown, with scripted boxes and file dialogs and a temporary folder.
struct WindowFixture {
    ScriptedMessageBoxes boxes;
    ScriptedFileDialogs files;
    QTemporaryDir dir;
    std::unique_ptr<Form1> form = std::make_unique<Form1>();
    QString path(const QString& name) const { return dir.filePath(name); }
};

// The open cell editor of the grid, if any.
inline QWidget* OpenEditor(ChannelGrid* grid) {
    if (!grid->isEditing()) return nullptr;
    for (QWidget* w : grid->viewport()->findChildren<QWidget*>()) {
        if (w->isVisible() && (qobject_cast<QLineEdit*>(w) || qobject_cast<QComboBox*>(w))) return w;
    }
    return nullptr;
}

// Lets the delegate's queued commit and the window's queued messages run.
inline void Settle() {
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
}

// Types `text` on cell (channel, column) and presses `finish`: the first key opens the
// editor as on a desktop, an empty text clears the cell through F2.
inline bool TypeIntoCell(ChannelGrid* grid, int channel, int column, const QString& text,
                         Qt::Key finish = Qt::Key_Return) {
    grid->setCurrentIndex(grid->model()->index(channel - 1, column));
    if (text.isEmpty()) QTest::keyClick(grid, Qt::Key_F2);
    else QTest::keyClicks(grid, text.left(1));
    QWidget* editor = OpenEditor(grid);
    if (!editor) return false;
    if (auto* edit = qobject_cast<QLineEdit*>(editor)) {
        if (text.isEmpty()) edit->selectAll();
        QTest::keyClicks(edit, text.isEmpty() ? QString("\b") : text.mid(1));
    }
    QTest::keyClick(editor, finish);
    Settle();
    return true;
}

}  // namespace r7::test

// The window suites name these helpers as ui::test.
namespace r7::ui {
namespace test = r7::test;
}  // namespace r7::ui

using namespace r7;      // NOLINT(google-global-names-in-headers): the suites' common prelude
using namespace r7::ui;  // NOLINT(google-global-names-in-headers)
