#pragma once

// A read-only list of what differs between the editor and a data file.

#include <QDialog>
#include <QString>
#include <string>
#include <vector>

class QPlainTextEdit;

namespace r7::ui {

class CompareDialog : public QDialog {
    Q_OBJECT
public:
    // `differences` as DiffConfigurations gives them, editor first, file second.
    CompareDialog(const QString& filePath, const std::vector<std::string>& differences,
                  QWidget* parent = nullptr);

    QPlainTextEdit* list() const { return list_; }

private:
    QPlainTextEdit* list_;
};

}  // namespace r7::ui
