#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "cli_runner.h"

namespace {

using r7::test::Cli;
using r7::test::CliRun;
using r7::test::Contents;
using r7::test::WriteFile;

const QByteArray kHeader =
    "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,"
    "RxDtcsCode,CrossMode,Mode,TStep,Skip,Power,Comment\r\n";

TEST(CsvCli, ImportWritesTheChannelsAndExportGivesThemBack) {
    QTemporaryDir dir;
    const QString csv = dir.filePath("in.csv"), dat = dir.filePath("out.DAT");
    const QByteArray rows =
        "3,,446.006250,+,1.000000,DTCS,88.5,88.5,023,NR,023,Tone->Tone,NFM,6.25,S,Low,\r\n";
    ASSERT_TRUE(WriteFile(csv, kHeader + rows));
    CliRun import = Cli({"import-csv", csv, dat});
    ASSERT_EQ(import.exitCode, 0) << import.err.toStdString();
    EXPECT_EQ(import.err, "1 channel stored, 0 rows refused\n");
    const QByteArray file = Contents(dat);
    ASSERT_EQ(file.size(), 853);
    // Channel 3 record at 5 + 0x20: 446.00625 / 447.00625, D023I decode, D023N encode,
    // busy lock Off, Low + Narrow.
    EXPECT_EQ(file.mid(5 + 0x20, 16).toHex(' '), "25 06 60 44 25 06 70 44 13 a8 13 28 e0 c0 ff ff");

    CliRun exported = Cli({"export-csv", dat});
    EXPECT_EQ(exported.exitCode, 0);
    EXPECT_EQ(exported.out, kHeader + rows);
    const QString out = dir.filePath("out.csv");
    EXPECT_EQ(Cli({"export-csv", dat, "-o", out}).exitCode, 0);
    EXPECT_EQ(Contents(out), kHeader + rows);
}

TEST(CsvCli, RefusedRowsAreReportedAndTheGoodOnesWritten) {
    QTemporaryDir dir;
    const QString base = dir.filePath("base.DAT"), out = dir.filePath("out.DAT");
    ASSERT_EQ(Cli({"new", base}).exitCode, 0);
    const QByteArray csv = kHeader +
                           "1,,446.000000,,0,,88.5,88.5,023,NN,023,Tone->Tone,FM,5.00,,High,\r\n"
                           "2,,471.000000,,0,,88.5,88.5,023,NN,023,Tone->Tone,FM,5.00,,High,\r\n";
    CliRun run = Cli({"import-csv", "-", out, "--base", base}, csv);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("line 3, Frequency \"471.000000\": out of band"))
        << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("1 channel stored, 1 row refused"));
    EXPECT_EQ(
        Cli({"export-csv", out}).out,
        kHeader + "1,,446.000000,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,FM,5.00,,High,\r\n");

    // A file that is no channel table writes nothing.
    const QString untouched = dir.filePath("none.DAT");
    CliRun broken = Cli({"import-csv", "-", untouched}, "Name,Frequency\r\nx,446\r\n");
    EXPECT_EQ(broken.exitCode, 2);
    EXPECT_TRUE(broken.err.contains("nothing imported"));
    EXPECT_FALSE(QFile::exists(untouched));
}

TEST(CsvCli, DiffExitCodes) {
    QTemporaryDir dir;
    const QString a = dir.filePath("a.DAT"), b = dir.filePath("b.DAT"), csv = dir.filePath("c.csv");
    ASSERT_EQ(Cli({"new", a}).exitCode, 0);
    ASSERT_TRUE(WriteFile(csv, kHeader + "3,,446.012500,,0,,88.5,88.5,023,NN,023,Tone->Tone,FM,6.25,,Low,\r\n"));
    ASSERT_EQ(Cli({"import-csv", csv, b, "--base", a}).exitCode, 0);

    CliRun same = Cli({"diff", a, a});
    EXPECT_EQ(same.exitCode, 0);
    EXPECT_TRUE(same.out.isEmpty());
    CliRun differ = Cli({"diff", a, b});
    EXPECT_EQ(differ.exitCode, 1);
    EXPECT_TRUE(differ.out.startsWith("Channel 03 Receive: (empty) -> 446.01250\n"))
        << differ.out.toStdString();
    EXPECT_EQ(differ.out.count('\n'), 8);

    ASSERT_TRUE(WriteFile(csv, "not a data file"));
    EXPECT_EQ(Cli({"diff", csv, a}).exitCode, 2);
}

}  // namespace
