#pragma once

#include <QCoreApplication>
#include <QStringList>
#include <memory>
#include <optional>

namespace r7::cli {

// Exit codes shared by every command (a command ended by signal N leaves 128+N to the shell).
enum ExitCode : int {
    kExitOk = 0,
    kExitFailure = 1,  // the command ran and failed: a write or transfer, a refused value or row
    kExitUsage = 2,    // the command line itself was wrong
    kExitInput = 2,    // an input file could not be read: missing, unreadable, not a configuration
};

// Each command gets its own arguments (the command name first) and returns an exit code.
using CommandFunction = int (*)(const QStringList& arguments);

struct Command {
    const char* name;
    const char* synopsis;  // what follows the command on its usage line
    const char* summary;
    CommandFunction run;
};

int RunDump(const QStringList& arguments);
int RunNew(const QStringList& arguments);
int RunEncode(const QStringList& arguments);
int RunExportCsv(const QStringList& arguments);
int RunImportCsv(const QStringList& arguments);
int RunDiff(const QStringList& arguments);
int RunCopyRows(const QStringList& arguments);
int RunPasteRows(const QStringList& arguments);
int RunRead(const QStringList& arguments);
int RunWrite(const QStringList& arguments);
int RunSheet(const QStringList& arguments);

// The application object: a QGuiApplication for the commands that lay out text.
std::unique_ptr<QCoreApplication> MakeApplication(int& argc, char** argv);
int RunPorts(const QStringList& arguments);
// Channel plans and the programming log.
int RunCheck(const QStringList& arguments);
int RunLog(const QStringList& arguments);

// Writes a message to standard error, one line.
void PrintError(const QString& message);

}  // namespace r7::cli

class QCommandLineParser;

namespace r7::cli {

// Parses a command's arguments (adds --help). Returns an exit code when the command must stop
// now (help shown, or a usage error reported), nothing when it should go on.
std::optional<int> ParseArguments(QCommandLineParser& parser, const QStringList& arguments,
                                  int minPositional, int maxPositional);

}  // namespace r7::cli
