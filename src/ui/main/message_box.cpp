#include "ui/main/message_box.h"

#include <QMessageBox>
#include <QPushButton>

#include "image/setting_lists.h"
#include "ui/dialogs/dialog_support.h"

namespace r7::ui {

namespace {

QMessageBox::Icon QtIcon(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Stop:
            return QMessageBox::Critical;
        case MessageIcon::Question:
            return QMessageBox::Question;
        case MessageIcon::Exclamation:
            return QMessageBox::Warning;
        case MessageIcon::Information:
            return QMessageBox::Information;
        case MessageIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::ButtonRole QtRole(MessageButton button) {
    switch (button) {
        case MessageButton::Ok:
            return QMessageBox::AcceptRole;
        case MessageButton::Cancel:
        case MessageButton::Abort:
            return QMessageBox::RejectRole;
        case MessageButton::Retry:
            return QMessageBox::AcceptRole;
        case MessageButton::Ignore:
            return QMessageBox::ActionRole;
        case MessageButton::Yes:
            return QMessageBox::YesRole;
        case MessageButton::No:
            return QMessageBox::NoRole;
    }
    return QMessageBox::AcceptRole;
}

}  // namespace

int ShowQtMessageBox(const MessageBoxRequest& request) {
    QMessageBox box(QtIcon(request.layout.icon), request.title, request.prompt,
                    QMessageBox::NoButton, request.owner);
    std::vector<std::pair<QPushButton*, int>> results;
    for (MessageButton b : request.layout.buttons) {
        results.emplace_back(box.addButton(ButtonCaption(b), QtRole(b)), ButtonResult(b));
    }
    box.setDefaultButton(results.at(static_cast<std::size_t>(request.layout.defaultIndex)).first);
    for (const auto& [button, result] : results) {
        if (result == request.layout.escapeResult) box.setEscapeButton(button);
    }
    box.exec();
    for (const auto& [button, result] : results) {
        if (box.clickedButton() == button) return result;
    }
    return request.layout.escapeResult;
}

MessageBoxLayout DecodeMessageBoxFlags(unsigned flags) {
    using B = MessageButton;
    MessageBoxLayout layout;
    const unsigned buttonSet = flags & kButtonSetMask;
    switch (buttonSet) {
        case OkCancel:
            layout.buttons = {B::Ok, B::Cancel};
            break;
        case AbortRetryIgnore:
            layout.buttons = {B::Abort, B::Retry, B::Ignore};
            break;
        case YesNoCancel:
            layout.buttons = {B::Yes, B::No, B::Cancel};
            break;
        case YesNo:
            layout.buttons = {B::Yes, B::No};
            break;
        case RetryCancel:
            layout.buttons = {B::Retry, B::Cancel};
            break;
        default:
            layout.buttons = {B::Ok};
            break;
    }
    switch (flags & kIconMask) {
        case IconStop:
            layout.icon = MessageIcon::Stop;
            break;
        case IconQuestion:
            layout.icon = MessageIcon::Question;
            break;
        case IconExclamation:
            layout.icon = MessageIcon::Exclamation;
            break;
        case IconInformation:
            layout.icon = MessageIcon::Information;
            break;
        default:
            layout.icon = MessageIcon::None;
            break;
    }
    const int wanted = static_cast<int>((flags & kDefaultButtonMask) / DefaultButton2);
    layout.defaultIndex = wanted < static_cast<int>(layout.buttons.size()) ? wanted : 0;
    // Closing a box counts as its safest answer: Cancel where there is one, else the
    // answer that changes nothing.
    switch (buttonSet) {
        case OkCancel:
        case YesNoCancel:
        case RetryCancel:
            layout.escapeResult = kResultCancel;
            break;
        case AbortRetryIgnore:
            layout.escapeResult = kResultAbort;
            break;
        case YesNo:
            layout.escapeResult = kResultNo;
            break;
        default:
            layout.escapeResult = kResultOk;
            break;
    }
    return layout;
}

QString ButtonCaption(MessageButton button) {
    switch (button) {
        case MessageButton::Ok:
            return QStringLiteral("OK");
        case MessageButton::Cancel:
            return QStringLiteral("Cancel");
        case MessageButton::Abort:
            return QStringLiteral("Abort");
        case MessageButton::Retry:
            return QStringLiteral("Retry");
        case MessageButton::Ignore:
            return QStringLiteral("Ignore");
        case MessageButton::Yes:
            return QStringLiteral("Yes");
        case MessageButton::No:
            return QStringLiteral("No");
    }
    return {};
}

int ButtonResult(MessageButton button) {
    switch (button) {
        case MessageButton::Ok:
            return kResultOk;
        case MessageButton::Cancel:
            return kResultCancel;
        case MessageButton::Abort:
            return kResultAbort;
        case MessageButton::Retry:
            return kResultRetry;
        case MessageButton::Ignore:
            return kResultIgnore;
        case MessageButton::Yes:
            return kResultYes;
        case MessageButton::No:
            return kResultNo;
    }
    return kResultOk;
}

MessageBoxRequest MessageBoxFor(const QString& prompt, unsigned flags, const QString& title,
                                QWidget* owner) {
    MessageBoxRequest request;
    request.prompt = prompt;
    request.title = title.isEmpty() ? Utf8(kApplicationTitle) : title;
    request.flags = flags;
    request.layout = DecodeMessageBoxFlags(flags);
    request.owner = owner;
    return request;
}

}  // namespace r7::ui
