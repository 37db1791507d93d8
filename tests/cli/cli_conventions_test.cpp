#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "cli_runner.h"

namespace {

using r7::test::Cli;
using r7::test::CliRun;
using r7::test::WriteFile;

// 0 done, 1 the command failed (a write, a transfer, a refused value), 2 a wrong command line
// or an input that cannot be read.
TEST(CliConventions, EveryCommand) {
    QTemporaryDir dir;
    const QString good = dir.filePath("good.DAT"), text = dir.filePath("text.DAT"), out = dir.filePath("out.DAT");
    const QString missing = dir.filePath("missing.DAT"), unwritable = dir.filePath("no/such/folder/out.DAT");
    ASSERT_EQ(Cli({"new", good}).exitCode, 0);
    ASSERT_TRUE(WriteFile(text, "Location,Frequency\r\n1,446\r\n"));
    const QByteArray row = "446\tOff\t446\tOff\tLow\tOff\tWide\tNo\n";
    const struct {
        QStringList args;
        QByteArray input;
        int status;
    } cases[] = {
        {{"dump", good}, {}, 0},
        {{"dump"}, {}, 2},
        {{"dump", missing}, {}, 2},
        {{"dump", text}, {}, 2},
        {{"new", out}, {}, 0},
        {{"new", unwritable}, {}, 1},
        {{"encode", missing, out}, {}, 2},
        {{"encode", "-", out}, "no JSON", 2},
        {{"encode", "-", out}, R"({"PowerLow": "x"})", 1},
        {{"encode", "-", unwritable}, "{}", 1},
        {{"export-csv", missing}, {}, 2},
        {{"export-csv", good, "-o", unwritable}, {}, 1},
        {{"import-csv", missing, out}, {}, 2},
        {{"import-csv", text, out, "--base", missing}, {}, 2},
        {{"import-csv", "-", out}, "no,channel,table\r\n", 2},
        {{"import-csv", text, unwritable}, {}, 1},
        {{"diff", good, good}, {}, 0},
        {{"diff", good, missing}, {}, 2},
        {{"copy-rows", missing}, {}, 2},
        {{"copy-rows", good, "17"}, {}, 2},
        {{"paste-rows", good, "-", "--at", "1"}, row, 2},
        {{"paste-rows", good, "-", "--at", "1", "-o", out, "--in-place"}, row, 2},
        {{"paste-rows", missing, "-", "--at", "1", "--in-place"}, row, 2},
        {{"paste-rows", good, missing, "--at", "1", "-o", out}, {}, 2},
        {{"paste-rows", good, "-", "--at", "1", "-o", unwritable}, row, 1},
        {{"read", "-o", out}, {}, 2},
        {{"read", "--port", "/nonexistent/tty", "-o", out}, {}, 1},
        {{"write", "--port", "/nonexistent/tty", missing}, {}, 2},
        {{"write", "--port", "/nonexistent/tty", good}, {}, 1},
        {{"ports"}, {}, 0},
        {{"ports", "COM1"}, {}, 2},
        {{"help", "write"}, {}, 0},
        {{"help", "frobnicate"}, {}, 2},
        {{"dump", "--help-all"}, {}, 2},
        {{}, {}, 2},
    };
    for (const auto& c : cases) EXPECT_EQ(Cli(c.args, c.input).exitCode, c.status) << qPrintable(c.args.join(' '));
}

// Each command's help names the program and the command, the same through 'help COMMAND'.
TEST(CliConventions, HelpNamesTheCommand) {
    for (const char* command : {"dump", "new", "encode", "export-csv", "import-csv", "diff", "copy-rows",
                                "paste-rows", "read", "write", "ports"}) {
        const CliRun help = Cli({command, "--help"});
        EXPECT_TRUE(help.out.startsWith("Usage: morvane-r7-cli " + QByteArray(command))) << help.out.toStdString();
        EXPECT_FALSE(help.out.contains("help-all")) << command;
        EXPECT_EQ(Cli({"help", command}).out, help.out);
    }
}

// The window keeps the COM choices in $XDG_CONFIG_HOME/Morvane-R7/tools.ini; the tool follows them.
TEST(CliConventions, PortsFollowTheWindowsChoices) {
    QTemporaryDir dir;
    ASSERT_TRUE(QDir().mkpath(dir.filePath("Morvane-R7")));
    ASSERT_TRUE(WriteFile(dir.filePath("Morvane-R7/tools.ini"), "[ports]\nCOM5=/dev/ttyACM4\n"));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CONFIG_HOME", dir.path());
    env.remove("MORVANE_R7_COM5");
    EXPECT_TRUE(Cli({"ports"}, {}, env).out.contains("COM5  /dev/ttyACM4  (Serial ports...)\n"));
    EXPECT_TRUE(Cli({"read", "--port", "com5", "-o", dir.filePath("x.DAT")}, {}, env).err.contains("/dev/ttyACM4"));
}

TEST(CliConventions, DumpLinesUpItsTableAndNamesTheVoxChoices) {
    QTemporaryDir dir;
    ASSERT_EQ(Cli({"new", dir.filePath("a.DAT")}).exitCode, 0);
    const QByteArray dump = Cli({"dump", dir.filePath("a.DAT")}).out;
    EXPECT_TRUE(dump.startsWith("Channel  Receive  QT/DQT Dec  Transmit  QT/DQT Enc  Power  Busy Lock  Band  Scan\n"
                                "01       -        -           -         -           -      -          -     -\n"))
        << dump.toStdString();
    EXPECT_TRUE(dump.contains("VOX Gain Level:     01\nVOX Delay Time:     0.5S\n"));
}

}  // namespace
