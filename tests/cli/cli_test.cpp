#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "cli_runner.h"

namespace {

using r7::test::Cli;
using r7::test::CliRun;
using r7::test::Contents;
using r7::test::WriteFile;

TEST(Cli, NewDumpEncodeRoundTripsThroughFiles) {
    QTemporaryDir dir;
    const QString a = dir.filePath("a.DAT"), b = dir.filePath("b.DAT");
    ASSERT_EQ(Cli({"new", a}).exitCode, 0);
    EXPECT_EQ(Contents(a).size(), 853);
    CliRun json = Cli({"dump", "--json", a});
    ASSERT_EQ(json.exitCode, 0) << json.err.toStdString();
    ASSERT_EQ(Cli({"encode", "-", b}, json.out).exitCode, 0);
    EXPECT_EQ(Contents(a), Contents(b));

    // An edit made in the JSON reaches the file and comes back in the table.
    QByteArray edited = json.out;
    edited.replace("\"Combo5\": 3", "\"Combo5\": 8");
    const QString jsonPath = dir.filePath("s.json");
    ASSERT_TRUE(WriteFile(jsonPath, edited));
    ASSERT_EQ(Cli({"encode", jsonPath, b}).exitCode, 0);
    EXPECT_EQ(static_cast<unsigned char>(Contents(b).at(5 + 0x124)), 9);
    CliRun table = Cli({"dump", b});
    EXPECT_EQ(table.exitCode, 0);
    EXPECT_TRUE(table.out.contains("Squelch Grade:      9"));
}

// Which files are no configuration is the data file's rule; here the exit codes and messages.
TEST(Cli, RefusesWhatIsNotAConfiguration) {
    QTemporaryDir dir;
    const QString bad = dir.filePath("bad.DAT");
    ASSERT_TRUE(WriteFile(bad, QByteArray("P3207") + QByteArray(100, '\xFF')));
    CliRun r = Cli({"dump", bad});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.contains("bad.DAT")) << r.err.toStdString();
    CliRun wrongType = Cli({"encode", "-", dir.filePath("c.DAT")}, R"({"PowerLow": "x"})");
    EXPECT_EQ(wrongType.exitCode, 1);
    EXPECT_TRUE(wrongType.err.contains("PowerLow"));
    EXPECT_FALSE(QFile::exists(dir.filePath("c.DAT")));
}

}  // namespace
