#pragma once

// The data-file dialog `CommonDialog1`: one filter entry, Cancel as "no path".

#include <QString>
#include <optional>

class QWidget;

namespace r7::ui {

enum class FileDialogMode { Open, Save };

struct FileDialogRequest {
    FileDialogMode mode = FileDialogMode::Open;
    QString filter;  // "Morvane-R7(*.DAT)"
    QWidget* owner = nullptr;
};

// The filter entry of the data-file dialog: the application title and "(*.DAT)".
QString DatFileFilter();
// A chosen save name without an extension gets ".DAT".
QString WithDatExtension(const QString& path);

// The modal QFileDialog: the full chosen path, or nullopt on Cancel.
std::optional<QString> ShowQtFileDialog(const FileDialogRequest& request);

}  // namespace r7::ui
