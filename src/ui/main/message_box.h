#pragma once

// The program's one message box: Windows-style flag values in, Windows-style result codes
// out, English button captions whatever the system language.

#include <QString>
#include <vector>

class QWidget;

namespace r7::ui {

// The flags a box is asked with: one button set, plus an icon, plus a default button.
enum MessageFlags : unsigned {
    OkOnly = 0x0,
    OkCancel = 0x1,
    AbortRetryIgnore = 0x2,
    YesNoCancel = 0x3,
    YesNo = 0x4,
    RetryCancel = 0x5,
    IconStop = 0x10,
    IconQuestion = 0x20,
    IconExclamation = 0x30,
    IconInformation = 0x40,
    DefaultButton2 = 0x100,
    DefaultButton3 = 0x200,
};
inline constexpr unsigned kButtonSetMask = 0xF;
inline constexpr unsigned kIconMask = 0xF0;
inline constexpr unsigned kDefaultButtonMask = 0xF00;

enum class MessageButton { Ok, Cancel, Abort, Retry, Ignore, Yes, No };
enum class MessageIcon { None, Stop, Question, Exclamation, Information };

// Result codes of the buttons: 1 OK, 2 Cancel, 3 Abort, 4 Retry, 5 Ignore, 6 Yes, 7 No.
inline constexpr int kResultOk = 1;
inline constexpr int kResultCancel = 2;
inline constexpr int kResultAbort = 3;
inline constexpr int kResultRetry = 4;
inline constexpr int kResultIgnore = 5;
inline constexpr int kResultYes = 6;
inline constexpr int kResultNo = 7;

struct MessageBoxLayout {
    std::vector<MessageButton> buttons;  // left to right
    MessageIcon icon = MessageIcon::None;
    int defaultIndex = 0;          // into `buttons`
    int escapeResult = kResultOk;  // what closing the box without a button answers
};

// Flags: button set = flags & 0xF, icon = flags & 0xF0, default button = flags & 0xF00.
// Unknown button sets show OK alone; a default beyond the last button falls back to the first.
MessageBoxLayout DecodeMessageBoxFlags(unsigned flags);
QString ButtonCaption(MessageButton button);
int ButtonResult(MessageButton button);

struct MessageBoxRequest {
    QString prompt;
    QString title;  // already the application title when the caller gave none
    unsigned flags = 0;
    MessageBoxLayout layout;
    QWidget* owner = nullptr;
};

// The request for `prompt` with `flags`; an empty title shows "Morvane-R7".
MessageBoxRequest MessageBoxFor(const QString& prompt, unsigned flags, const QString& title,
                                QWidget* owner);
// The modal QMessageBox: blocks until answered and returns the result code.
int ShowQtMessageBox(const MessageBoxRequest& request);

}  // namespace r7::ui
