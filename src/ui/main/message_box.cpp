#include "ui/main/message_box.h"

#include <QMessageBox>
#include <QPointer>
#include <QPushButton>

#include "image/setting_lists.h"

namespace r7::ui {

namespace {

MessageBoxPresenter& Presenter() {
    static MessageBoxPresenter presenter;
    return presenter;
}

QPointer<QWidget>& Owner() {
    static QPointer<QWidget> owner;
    return owner;
}

QMessageBox::Icon QtIcon(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Stop: return QMessageBox::Critical;
        case MessageIcon::Question: return QMessageBox::Question;
        case MessageIcon::Exclamation: return QMessageBox::Warning;
        case MessageIcon::Information: return QMessageBox::Information;
        case MessageIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::ButtonRole QtRole(MessageButton button) {
    switch (button) {
        case MessageButton::Ok: return QMessageBox::AcceptRole;
        case MessageButton::Cancel:
        case MessageButton::Abort: return QMessageBox::RejectRole;
        case MessageButton::Retry: return QMessageBox::AcceptRole;
        case MessageButton::Ignore: return QMessageBox::ActionRole;
        case MessageButton::Yes: return QMessageBox::YesRole;
        case MessageButton::No: return QMessageBox::NoRole;
    }
    return QMessageBox::AcceptRole;
}

int ShowQtMessageBox(const MessageBoxRequest& request) {
    QMessageBox box(QtIcon(request.layout.icon), request.title, request.prompt, QMessageBox::NoButton,
                    Owner().data());
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

}  // namespace

MessageBoxLayout DecodeMessageBoxFlags(unsigned flags) {
    using B = MessageButton;
    MessageBoxLayout layout;
    switch (flags & 0xFu) {
        case 1: layout.buttons = {B::Ok, B::Cancel}; break;
        case 2: layout.buttons = {B::Abort, B::Retry, B::Ignore}; break;
        case 3: layout.buttons = {B::Yes, B::No, B::Cancel}; break;
        case 4: layout.buttons = {B::Yes, B::No}; break;
        case 5: layout.buttons = {B::Retry, B::Cancel}; break;
        default: layout.buttons = {B::Ok}; break;
    }
    switch (flags & 0xF0u) {
        case 0x10: layout.icon = MessageIcon::Stop; break;
        case 0x20: layout.icon = MessageIcon::Question; break;
        case 0x30: layout.icon = MessageIcon::Exclamation; break;
        case 0x40: layout.icon = MessageIcon::Information; break;
        default: layout.icon = MessageIcon::None; break;
    }
    const int wanted = static_cast<int>((flags & 0xF00u) >> 8);
    layout.defaultIndex = wanted < static_cast<int>(layout.buttons.size()) ? wanted : 0;
    // Closing a box counts as its safest answer: Cancel where there is one, else the
    // answer that changes nothing.
    switch (flags & 0xFu) {
        case 1:
        case 3:
        case 5: layout.escapeResult = kResultCancel; break;
        case 2: layout.escapeResult = kResultAbort; break;
        case 4: layout.escapeResult = kResultNo; break;
        default: layout.escapeResult = kResultOk; break;
    }
    return layout;
}

QString ButtonCaption(MessageButton button) {
    switch (button) {
        case MessageButton::Ok: return QStringLiteral("OK");
        case MessageButton::Cancel: return QStringLiteral("Cancel");
        case MessageButton::Abort: return QStringLiteral("Abort");
        case MessageButton::Retry: return QStringLiteral("Retry");
        case MessageButton::Ignore: return QStringLiteral("Ignore");
        case MessageButton::Yes: return QStringLiteral("Yes");
        case MessageButton::No: return QStringLiteral("No");
    }
    return {};
}

int ButtonResult(MessageButton button) {
    switch (button) {
        case MessageButton::Ok: return kResultOk;
        case MessageButton::Cancel: return kResultCancel;
        case MessageButton::Abort: return kResultAbort;
        case MessageButton::Retry: return kResultRetry;
        case MessageButton::Ignore: return kResultIgnore;
        case MessageButton::Yes: return kResultYes;
        case MessageButton::No: return kResultNo;
    }
    return kResultOk;
}

MessageBoxPresenter SetMessageBoxPresenter(MessageBoxPresenter presenter) {
    MessageBoxPresenter previous = std::move(Presenter());
    Presenter() = std::move(presenter);
    return previous;
}

void SetMessageBoxOwner(QWidget* owner) { Owner() = owner; }

int ShowMessageBox(const QString& prompt, unsigned buttons, const QString& title) {
    MessageBoxRequest request;
    request.prompt = prompt;
    request.title = title.isEmpty() ? QString::fromUtf8(kApplicationTitle.data(),
                                                        static_cast<qsizetype>(kApplicationTitle.size()))
                                    : title;
    request.flags = buttons;
    request.layout = DecodeMessageBoxFlags(buttons);
    // A copy, so a presenter may replace itself while it answers.
    if (MessageBoxPresenter presenter = Presenter()) return presenter(request);
    return ShowQtMessageBox(request);
}

}  // namespace r7::ui
