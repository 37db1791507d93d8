#pragma once

// The programming log in the window: the logger that follows every write of the window, the
// "Programming log..." command, and its window (a table filtered by date and outcome, with
// Export).

#include <QDialog>
#include <vector>

#include "files/programming_log.h"
#include "files/tools_settings.h"

class QComboBox;
class QDateEdit;
class QLabel;
class QMenu;
class QPushButton;
class QTableWidget;

namespace r7::link {
class RadioWrite;
class WriteLogger;
}  // namespace r7::link

namespace r7::ui {

class Form1;

class LogWindow : public QDialog {
    Q_OBJECT
public:
    LogWindow(Form1& form, const QString& logPath);

    QTableWidget* table() const { return table_; }
    QDateEdit* fromDate() const { return from_; }
    QDateEdit* toDate() const { return to_; }
    QComboBox* outcome() const { return outcome_; }
    QPushButton* exportButton() const { return export_; }
    // The entries the table shows.
    const std::vector<LogEntry>& shown() const { return shown_; }

public slots:
    void exportShown();

private:
    void refilter();

    Form1& form_;
    std::vector<LogEntry> entries_;
    std::vector<LogEntry> shown_;
    QString loadError_;
    QLabel* summary_;
    QDateEdit* from_;
    QDateEdit* to_;
    QComboBox* outcome_;
    QTableWidget* table_;
    QPushButton* export_;
};

// Where the window's log goes: the user's log, or beside the settings file a test or a
// portable run gives.
QString LogPathFor(const QString& settingsPath);

class LogTools : public QObject {
    Q_OBJECT
public:
    // `options` belong to the Tools menu and outlive this; whether a write verifies is read
    // from them when it begins.
    LogTools(Form1& form, QMenu* menu, const QString& settingsPath, const ToolsOptions& options);
    link::WriteLogger* logger() const { return logger_; }
    // The writes of a batch of the window carry its start, radio number and numbered line.
    void setBatch(const QString& batch, int radio, const QString& infoLine);
    void clearBatch() { batch_ = {}; }

public slots:
    void showLog();

private:
    Form1& form_;
    link::WriteLogger* logger_;
    struct {
        QString batch;
        int radio = 0;
        QString infoLine;
    } batch_;
};

}  // namespace r7::ui
