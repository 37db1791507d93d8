#pragma once

// A long report (a CSV import of many rows) in a window of its own: resizable, scrolling,
// never larger than the screen, so its OK button always stays within reach.

#include <QDialog>

class QPlainTextEdit;

namespace r7::ui {

class ReportWindow : public QDialog {
    Q_OBJECT
public:
    ReportWindow(const QString& summary, const QString& report, QWidget* parent);

private:
    QPlainTextEdit* text_;
};

}  // namespace r7::ui
