#pragma once

// Opening files and web pages with the desktop's default handler (the help file, the user
// guide, the maker's page).

#include <QString>
#include <QUrl>

namespace r7::ui {

// QDesktopServices: whether the desktop took the request; callers do not report failures.
bool OpenOnDesktop(const QUrl& url);

// Names of the help files beside the program.
QString HelpFileName();  // "Morvane-R7.CHM"
inline constexpr char kUserGuideName[] = "user-guide.html";

// What the help command shows: the compiled help file when it sits in `programFolder`,
// else our user guide: beside the program, or where it is installed (also when missing, so
// the help command can name where it should be).
QUrl HelpLocation(const QString& programFolder);

}  // namespace r7::ui
