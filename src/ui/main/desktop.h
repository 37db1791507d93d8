#pragma once

// Opening files and web pages with the desktop's default handler (the help file, the user
// guide, the maker's page). Tests install their own opener so nothing really opens.

#include <QString>
#include <QUrl>
#include <functional>

namespace r7::ui {

// Returns whether the desktop took the request; callers do not report failures.
using DesktopOpener = std::function<bool(const QUrl&)>;
// Installs `opener` (an empty one restores QDesktopServices) and returns the previous one.
DesktopOpener SetDesktopOpener(DesktopOpener opener);
bool OpenOnDesktop(const QUrl& url);

// Names of the help files beside the program.
QString HelpFileName();                      // "Morvane-R7.CHM"
inline constexpr char kUserGuideName[] = "user-guide.html";

// What the help command shows: the compiled help file when it sits in `programFolder`,
// else our user guide (beside the program, or where it is installed).
QUrl HelpLocation(const QString& programFolder);

}  // namespace r7::ui
