#pragma once

// Everything the window suites share: Qt, the windows and dialogs, a scripted desktop for
// them, typing into grid cells the way a user does.

#include <QtTest>
#include <QtWidgets>
#include <array>
#include <deque>
#include <functional>
#include <memory>
#include <optional>

#include "data_table.h"
#include "files/dat_file.h"
#include "files/tools_settings.h"
#include "image/editor_defaults.h"
#include "image/image_codec.h"
#include "test_files.h"
#include "ui/dialogs/about_dialog.h"
#include "ui/dialogs/debug_dialog.h"
#include "ui/dialogs/dialog_support.h"
#include "ui/dialogs/info_dialog.h"
#include "ui/dialogs/key_set_dialog.h"
#include "ui/dialogs/optional_dialog.h"
#include "ui/dialogs/test_frequency_dialog.h"
#include "ui/main/channel_grid.h"
#include "ui/main/channel_table_model.h"
#include "ui/main/form1.h"  // with the document and the window's environment

namespace r7::test {

using namespace r7::ui;

// Answers one kind of request from a queue (nullopt once it is empty) and records every request.
template <typename Request, typename Answer>
struct Scripted {
    std::deque<Answer> answers;
    std::vector<Request> shown;
    // Forgets what was shown and queues `next`.
    void expect(std::deque<Answer> next) {
        answers = std::move(next);
        shown.clear();
    }
    std::optional<Answer> answer(const Request& request) {
        shown.push_back(request);
        if (answers.empty()) return std::nullopt;
        const Answer next = answers.front();
        answers.pop_front();
        return next;
    }
};

using ScriptedFileDialogs = Scripted<FileDialogRequest, QString>;

struct ScriptedMessageBoxes : Scripted<MessageBoxRequest, int> {
    // Every box shown so far as "title|flags|prompt"; a box no window owns is marked, since
    // the desktop may put it behind the window or on another screen.
    QStringList texts() const {
        QStringList out;
        for (const MessageBoxRequest& r : shown)
            out << QStringLiteral("%1%2|%3|%4")
                       .arg(r.owner ? "" : "(unowned) ", r.title)
                       .arg(r.flags)
                       .arg(r.prompt);
        return out;
    }
};

// The desktop of the windows a test makes: boxes and file dialogs answered from queues (else
// the first button, or Cancel; a null path is Cancel too), dialogs run by `dialogs` (exec while
// empty), the context menu handed to `contextMenu`, pages "opened" into `opened`, the service
// clock at `now`, and a temporary folder that is also the program's.
struct ScriptedDesktop {
    ScriptedMessageBoxes boxes;
    ScriptedFileDialogs files;
    std::function<int(QDialog&)> dialogs;
    std::function<void(QMenu*)> contextMenu = [](QMenu*) {};
    QStringList opened;
    double now = 100.0;
    QTemporaryDir dir;

    WindowEnvironment environment() {
        WindowEnvironment e;
        e.messageBoxPresenter = [this](const MessageBoxRequest& r) {
            return boxes.answer(r).value_or(ButtonResult(r.layout.buttons.front()));
        };
        e.fileDialogPresenter = [this](const FileDialogRequest& r) {
            const std::optional<QString> path = files.answer(r);
            return path && !path->isNull() ? path : std::nullopt;
        };
        e.dialogRunner = [this](QDialog& d) { return dialogs ? dialogs(d) : d.exec(); };
        e.contextMenuPresenter = [this](QMenu* menu, const QPoint&) { contextMenu(menu); };
        e.desktopOpener = [this](const QUrl& url) { return opened << url.toString(), true; };
        e.serviceClock = [this] { return now; };
        e.programFolder = dir.path();
        return e;
    }
    std::unique_ptr<Form1> window(Form1Hooks hooks = {}) {
        return std::make_unique<Form1>(std::move(hooks), environment());
    }
    QString path(const QString& name) const { return dir.filePath(name); }
};

// The rows of tests/data/TABLE.tsv as Qt Test data: one text column per name (the names must
// outlive the test: literals), a row per line, named by its first field.
inline void AddRows(const std::string& table, std::initializer_list<const char*> columns) {
    for (const char* column : columns) QTest::addColumn<QString>(column);
    for (const Fields& f : Table(table)) {
        QTestData& row = QTest::newRow(f[0].c_str());
        for (std::size_t i = 1; i <= columns.size(); ++i) row << QString::fromStdString(f[i]);
    }
}

// The current row's text columns `names`, as AddRows made them.
template <std::size_t N>
std::array<QString, N> Fetch(const char* const (&names)[N]) {
    std::array<QString, N> row;
    for (std::size_t i = 0; i < N; ++i)
        row[i] = *static_cast<QString*>(QTest::qData(names[i], qMetaTypeId<QString>()));
    return row;
}

// A dialog runner that looks at the dialog (a QVERIFY may end the look) and answers its result.
inline std::function<int(QDialog&)> Looking(std::function<void(QDialog&)> look) {
    return [look = std::move(look)](QDialog& dialog) { return look(dialog), dialog.result(); };
}

// A window, not yet shown, on a scripted desktop.
struct WindowFixture : ScriptedDesktop {
    std::unique_ptr<Form1> form = window();
};

// The open cell editor of the grid, if any.
inline QWidget* OpenEditor(ChannelGrid* grid) {
    if (!grid->isEditing()) return nullptr;
    for (QWidget* w : grid->viewport()->findChildren<QWidget*>()) {
        if (w->isVisible() && (qobject_cast<QLineEdit*>(w) || qobject_cast<QComboBox*>(w)))
            return w;
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
    if (text.isEmpty())
        QTest::keyClick(grid, Qt::Key_F2);
    else
        QTest::keyClicks(grid, text.left(1));
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
