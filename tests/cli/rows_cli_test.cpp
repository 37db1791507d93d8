#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "cli_runner.h"

namespace {

using r7::test::Cli;
using r7::test::CliRun;
using r7::test::Contents;

TEST(RowsCli, PastedRowsLandInTheImageAndCopyGivesThemBack) {
    QTemporaryDir dir;
    const QString dat = dir.filePath("a.DAT"), out = dir.filePath("b.DAT");
    ASSERT_EQ(Cli({"new", dat}).exitCode, 0);
    // 435.0070 moves down to 435.00625; an empty transmit field takes the receive one.
    const QByteArray rows = "435.0070\tOff\t\tD023I\tLow\tOff\tNarrow\tNo\r\n"
                            "03\t446.00625\t88.5\t447.00625\tOff\tHigh\tCarrier\tWide\tHave\n";
    CliRun paste = Cli({"paste-rows", dat, "-", "--at", "2", "-o", out}, rows);
    ASSERT_EQ(paste.exitCode, 0) << paste.err.toStdString();
    const QByteArray file = Contents(out);
    ASSERT_EQ(file.size(), 853);
    // Channel 2 at 5 + 0x10: 435.00625 both ways, decode Off, encode D023I (0xA813 LE).
    EXPECT_EQ(file.mid(5 + 0x10, 12).toHex(' '), "25 06 50 43 25 06 50 43 ff ff 13 a8");
    // Channel 3 at 5 + 0x20: 446.00625 / 447.00625.
    EXPECT_EQ(file.mid(5 + 0x20, 8).toHex(' '), "25 06 60 44 25 06 70 44");

    CliRun copy = Cli({"copy-rows", out, "2-3"});
    ASSERT_EQ(copy.exitCode, 0) << copy.err.toStdString();
    EXPECT_EQ(copy.out, "435.00625\tOff\t435.00625\tD023I\tLow\tOff\tNarrow\tNo\r\n"
                        "446.00625\t88.5\t447.00625\tOff\tHigh\tCarrier\tWide\tHave\r\n");
}

TEST(RowsCli, ABadFieldWritesNothing) {
    QTemporaryDir dir;
    const QString dat = dir.filePath("a.DAT");
    ASSERT_EQ(Cli({"new", dat}).exitCode, 0);
    const QByteArray before = Contents(dat);
    CliRun paste = Cli({"paste-rows", dat, "-", "--at", "16", "--in-place"},
                       "446\tOff\t446\tOff\tLow\tOff\tWide\tNo\n470\tOff\t446\tOff\tLow\tOff\tWide\tNo\n");
    EXPECT_EQ(paste.exitCode, 1);
    EXPECT_TRUE(paste.err.contains("Line 2: there is no channel 17")) << paste.err.toStdString();
    EXPECT_TRUE(paste.err.contains("nothing pasted"));
    EXPECT_EQ(Contents(dat), before);

    EXPECT_EQ(Cli({"paste-rows", dat, "-", "--at", "0"}, "446\n").exitCode, 2);
    EXPECT_EQ(Cli({"copy-rows", dat, "5-17"}).exitCode, 2);
}

}  // namespace
