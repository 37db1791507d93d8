#pragma once

// The data-file dialog `CommonDialog1`: one filter entry, Cancel as "no path".

#include <QString>
#include <functional>
#include <optional>

class QWidget;

namespace r7::ui {

enum class FileDialogMode { Open, Save };

struct FileDialogRequest {
    FileDialogMode mode = FileDialogMode::Open;
    QString filter;  // "Morvane-R7(*.DAT)"
};

// The filter entry of the data-file dialog: the application title and "(*.DAT)".
QString DatFileFilter();
// A chosen save name without an extension gets ".DAT".
QString WithDatExtension(const QString& path);

// Answers the dialog instead of the modal QFileDialog; nullopt means Cancel.
using FileDialogPresenter = std::function<std::optional<QString>(const FileDialogRequest&)>;
// Installs `presenter` (an empty one restores the real dialog) and returns the previous one.
FileDialogPresenter SetFileDialogPresenter(FileDialogPresenter presenter);

// Shows the dialog owned by `owner`; the full chosen path, or nullopt on Cancel.
std::optional<QString> ShowFileDialog(QWidget* owner, FileDialogMode mode);
// The same dialog for another kind of file, e.g. filter "CSV (*.csv)".
std::optional<QString> ShowFileDialog(QWidget* owner, FileDialogMode mode, const QString& filter);

}  // namespace r7::ui
