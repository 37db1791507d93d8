#pragma once

#include <QDialog>
#include <QUrl>
#include <functional>

class QLabel;

namespace r7::ui {

class ClickableLabel;

// Where a click on the about box's description leads.
inline constexpr const char* kMakerWebAddress = "https://example.com/morvane-r7";

// Opens a web page with the system's default handler; failures are not reported.
using OpenUrlFunction = std::function<void(const QUrl&)>;
void OpenWithDesktop(const QUrl& url);

// frmAbout: title, version line, description (a link to the web page), release date.
class AboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit AboutDialog(QWidget* parent = nullptr, OpenUrlFunction openUrl = OpenWithDesktop);

    ClickableLabel* description() const { return description_; }

private:
    OpenUrlFunction openUrl_;
    ClickableLabel* description_;
};

}  // namespace r7::ui
