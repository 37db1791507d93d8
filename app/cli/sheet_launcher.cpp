// sheet, as the command line tool runs it: by the program that renders the sheet, the only
// one that needs QtGui (fonts, page layout, the PDF writer), so that every other command
// starts with QtCore and QtSerialPort alone and a machine without a display stack can run it.

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include "cli_commands.h"

#ifdef Q_OS_UNIX
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>
#else
#include <QProcess>
#endif

namespace r7::cli {

namespace {

// Beside this program in a build or an unpacked copy; under libexec when installed.
QString SheetProgram() {
    const QDir own(QCoreApplication::applicationDirPath());
    return QStandardPaths::findExecutable(
        QStringLiteral("morvane-r7-sheet"),
        {own.path(), QDir::cleanPath(own.filePath(QStringLiteral(R7_SHEET_FROM_BIN)))});
}

}  // namespace

std::unique_ptr<QCoreApplication> MakeApplication(int& argc, char** argv) {
    return std::make_unique<QCoreApplication>(argc, argv);
}

int RunSheet(const QStringList& arguments) {
    const QString program = SheetProgram();
    if (program.isEmpty()) {
        PrintError(QStringLiteral("sheet needs morvane-r7-sheet, which is not installed"));
        return kExitFailure;
    }
#ifdef Q_OS_UNIX
    // The same arguments, output and exit status, as if this program had drawn the sheet.
    std::vector<QByteArray> bytes{QFile::encodeName(program)};
    for (const QString& argument : arguments) bytes.push_back(QFile::encodeName(argument));
    std::vector<char*> argv;
    argv.reserve(bytes.size() + 1);
    for (QByteArray& b : bytes) argv.push_back(b.data());
    argv.push_back(nullptr);
    ::execv(argv[0], argv.data());
    PrintError(QStringLiteral("cannot run %1: %2")
                   .arg(program, QString::fromLocal8Bit(std::strerror(errno))));
    return kExitFailure;
#else
    const int status = QProcess::execute(program, arguments);
    return status < 0 ? kExitFailure : status;
#endif
}

}  // namespace r7::cli
