#pragma once

// "Write many radios...": the editor's configuration into one radio after another through
// the open port, with the Tools write options. Nothing is sent before "Next radio" (the
// button or Enter once the user has connected the radio); keys pressed during a transfer
// are not a radio. A failed radio can be tried again or skipped; only radios written (and
// verified when asked) count. Closing the window during a transfer ends the protocol first.

#include <QDateTime>
#include <QDialog>
#include <optional>

#include "files/tools_settings.h"
#include "image/radio_numbering.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QSpinBox;

namespace r7::link {
class RadioWrite;
}

namespace r7::ui {

class Form1;
class LogTools;

class BatchWriteWindow : public QDialog {
    Q_OBJECT
public:
    BatchWriteWindow(Form1& form, link::RadioWrite& radioWrite, LogTools& log,
                     const ToolsOptions& options);
    ~BatchWriteWindow() override;

    QPushButton* nextButton() const { return next_; }
    QPushButton* retryButton() const { return retry_; }
    QPushButton* skipButton() const { return skip_; }
    QPushButton* finishButton() const { return finish_; }
    QListWidget* doneList() const { return done_; }
    QLineEdit* numberPattern() const { return pattern_; }
    QComboBox* numberLine() const { return line_; }
    QSpinBox* firstNumber() const { return first_; }
    QLabel* statusLabel() const { return status_; }
    int programmed() const { return programmed_; }

public slots:
    void nextRadio();
    void tryAgain();
    void skipRadio();
    void reject() override;  // "Finish", Esc and the close box

private:
    void startRadio();
    void radioFinished(bool ok, const QString& reason);
    void updateButtons();
    // The numbering the fields describe; nullopt with the reason shown when it is refused.
    std::optional<std::optional<RadioNumbering>> readNumbering();
    QString radioCaption() const;

    Form1& form_;
    link::RadioWrite& radioWrite_;
    LogTools& log_;
    const ToolsOptions& options_;
    QString batch_;       // the batch's start, for the log
    int radio_ = 1;       // the radio being (or next to be) written
    int programmed_ = 0;  // radios written (and verified when asked)
    bool running_ = false;
    bool failed_ = false;  // the current radio failed: try again or skip
    bool closing_ = false;
    std::optional<RadioNumbering> numbering_;

    QLabel* radioLabel_;
    QLabel* status_;
    QLineEdit* pattern_;
    QComboBox* line_;
    QSpinBox* first_;
    QProgressBar* progress_;
    QListWidget* done_;
    QPushButton* next_;
    QPushButton* retry_;
    QPushButton* skip_;
    QPushButton* finish_;
};

}  // namespace r7::ui
