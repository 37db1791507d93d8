#include <gtest/gtest.h>

#include <QDir>
#include <QMap>
#include <QTemporaryDir>

#include "cli_runner.h"
#include "data_table.h"

namespace {

using namespace r7::test;

const QByteArray kHeader = QByteArray::fromStdString(kCsvHeader);

// Every command's exit status and the message of its failure, from the data rows.
TEST(CliConventions, EveryCommand) {
    QTemporaryDir dir;
    QMap<QString, QString> at;
    for (const char* name : {"good", "short", "text", "out", "missing", "copy", "16MiB", "16MiB+1",
                             "10000rows", "10001rows"})
        at[QString("$") + name] = dir.filePath(name + QString(".DAT"));
    at["$unwritable"] = dir.filePath("no/such/folder/out.DAT");
    ASSERT_EQ(Cli({"new", at["$good"]}).exitCode, 0);
    ASSERT_EQ(Cli({"new", at["$copy"]}).exitCode, 0);
    for (int rows : {10000, 10001})  // a channel table of far too many rows, and one more
        ASSERT_TRUE(WriteFile(at[QString("$%1rows").arg(rows)],
                              "Location,Frequency\n" + QByteArray("1,446\n").repeated(rows)));
    for (int extra : {0, 1})  // an empty JSON object padded to the limit, and one byte past it
        ASSERT_TRUE(WriteFile(at[extra ? "$16MiB+1" : "$16MiB"],
                              "{}" + QByteArray(16 * 1024 * 1024 - 2 + extra, ' ')));
    ASSERT_TRUE(WriteFile(at["$text"], "Location,Frequency\r\n1,446\r\n"));
    ASSERT_TRUE(WriteFile(at["$short"], "P3207" + QByteArray(100, '\xFF')));
    const QByteArray good = Contents(at["$good"]);
    for (const Fields& c : Table("cli_status")) {
        SCOPED_TRACE(c[0]);
        QStringList args = QString::fromStdString(c[0]).split(' ', Qt::SkipEmptyParts);
        for (QString& a : args) a = at.value(a, a);
        const CliRun run = Cli(args, QByteArray::fromStdString(c[1]));
        EXPECT_EQ(run.exitCode, std::stoi(c[2])) << run.err.toStdString();
        for (std::size_t k = 3; k < c.size(); ++k)
            EXPECT_TRUE(run.err.contains(c[k])) << run.err.toStdString();
        EXPECT_EQ(Contents(at["$good"]), good);
        EXPECT_TRUE(run.exitCode == 0 || !QFile::exists(at["$out"]));
        QFile::remove(at["$out"]);
    }
}

// Each command's help names the program and the command, the same through 'help COMMAND'.
TEST(CliConventions, HelpNamesTheCommand) {
    for (const char* command : {"dump", "new", "encode", "export-csv", "import-csv", "diff",
                                "copy-rows", "paste-rows", "read", "write", "ports"}) {
        const CliRun help = Cli({command, "--help"});
        EXPECT_TRUE(help.out.startsWith("Usage: morvane-r7-cli " + QByteArray(command)))
            << help.out.toStdString();
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
    EXPECT_TRUE(Cli({"read", "--port", "com5", "-o", dir.filePath("x.DAT")}, {}, env)
                    .err.contains("/dev/ttyACM4"));
}

// new, dump --json, encode give the same file; an edit in the JSON reaches the file and the table.
TEST(Cli, NewDumpEncodeRoundTripsThroughFiles) {
    QTemporaryDir dir;
    const QString a = dir.filePath("a.DAT"), b = dir.filePath("b.DAT"),
                  json = dir.filePath("s.json");
    ASSERT_EQ(Cli({"new", a}).exitCode, 0);
    EXPECT_EQ(Contents(a).size(), 853);
    const CliRun dump = Cli({"dump", "--json", a});
    ASSERT_EQ(dump.exitCode, 0) << dump.err.toStdString();
    ASSERT_EQ(Cli({"encode", "-", b}, dump.out).exitCode, 0);
    EXPECT_EQ(Contents(a), Contents(b));
    ASSERT_TRUE(WriteFile(json, QByteArray(dump.out).replace("\"Combo5\": 3", "\"Combo5\": 8")));
    ASSERT_EQ(Cli({"encode", json, b}).exitCode, 0);
    EXPECT_EQ(static_cast<unsigned char>(Contents(b).at(5 + 0x124)), 9);
    const QByteArray table = Cli({"dump", b}).out;
    EXPECT_TRUE(table.startsWith(
        "Channel  Receive  QT/DQT Dec  Transmit  QT/DQT Enc  Power  Busy Lock  Band  Scan\n"
        "01       -        -           -         -           -      -          -     -\n"))
        << table.toStdString();
    EXPECT_TRUE(table.contains("Squelch Grade:      9"));
    EXPECT_TRUE(table.contains("VOX Gain Level:     01\nVOX Delay Time:     0.5S\n"));
}

TEST(CsvCli, ImportWritesTheChannelsExportAndDiffGiveThemBack) {
    QTemporaryDir dir;
    const QString csv = dir.filePath("in.csv"), dat = dir.filePath("out.DAT"),
                  out = dir.filePath("out.csv");
    const QByteArray file =
        kHeader +
        "3,,446.006250,+,1.000000,DTCS,88.5,88.5,023,NR,023,Tone->Tone,NFM,6.25,S,Low,\r\n";
    ASSERT_TRUE(WriteFile(csv, file));
    const CliRun import = Cli({"import-csv", csv, dat});
    ASSERT_EQ(import.exitCode, 0) << import.err.toStdString();
    EXPECT_EQ(import.err, "1 channel stored, 0 rows refused\n");
    ASSERT_EQ(Contents(dat).size(), 853);
    // Channel 3: 446.00625 / 447.00625, D023I decode, D023N encode, busy lock Off, Low + Narrow.
    EXPECT_EQ(Contents(dat).mid(5 + 0x20, 16).toHex(' '),
              "25 06 60 44 25 06 70 44 13 a8 13 28 e0 c0 ff ff");
    EXPECT_EQ(Cli({"export-csv", dat}).out, file);
    EXPECT_EQ(Cli({"export-csv", dat, "-o", out}).exitCode, 0);
    EXPECT_EQ(Contents(out), file);

    ASSERT_EQ(Cli({"new", csv}).exitCode, 0);
    const CliRun same = Cli({"diff", dat, dat}), differ = Cli({"diff", csv, dat});
    EXPECT_TRUE(same.out.isEmpty());
    EXPECT_EQ(differ.exitCode, 1);
    EXPECT_TRUE(differ.out.startsWith("Channel 03 Receive: (empty) -> 446.00625\n"))
        << differ.out.toStdString();
    EXPECT_EQ(differ.out.count('\n'), 8);
}

// Refused rows are listed, the good ones (a receive-only one among them) still written.
TEST(CsvCli, RefusedRowsAreReportedAndTheGoodOnesWritten) {
    QTemporaryDir dir;
    const QString base = dir.filePath("base.DAT"), out = dir.filePath("out.DAT");
    ASSERT_EQ(Cli({"new", base}).exitCode, 0);
    const CliRun run = Cli({"import-csv", "-", out, "--base", base},
                           "Location,Frequency,Duplex\n1,446.006250,off\n2,446.1,\n3,471,\n");
    EXPECT_EQ(run.exitCode, 1);
    for (const char* part :
         {"line 4, Frequency \"471\": out of band",
          "2 channels stored, of them 1 receive-only (Duplex off), 1 row refused"})
        EXPECT_TRUE(run.err.contains(part)) << run.err.toStdString();
    // Duplex "off" comes back as it went: a channel without transmit frequency.
    EXPECT_EQ(Cli({"export-csv", out}).out,
              kHeader +
                  "1,,446.006250,off,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,FM,6.25,S,Low,\r\n" +
                  "2,,446.100000,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,FM,5.00,S,Low,\r\n");
}

TEST(RowsCli, PastedRowsLandInTheImageAndCopyGivesThemBack) {
    QTemporaryDir dir;
    const QString dat = dir.filePath("a.DAT"), out = dir.filePath("b.DAT");
    ASSERT_EQ(Cli({"new", dat}).exitCode, 0);
    // 435.0070 moves down to 435.00625; an empty transmit field takes the receive one.
    const QByteArray rows =
        "435.0070\tOff\t\tD023I\tLow\tOff\tNarrow\tNo\r\n"
        "03\t446.00625\t88.5\t447.00625\tOff\tHigh\tCarrier\tWide\tHave\n";
    const CliRun paste = Cli({"paste-rows", dat, "-", "--at", "2", "-o", out}, rows);
    ASSERT_EQ(paste.exitCode, 0) << paste.err.toStdString();
    ASSERT_EQ(Contents(out).size(), 853);
    // Channel 2: 435.00625 both ways, decode Off, encode D023I (0xA813 LE); channel 3: 446.00625 /
    // 447.00625.
    EXPECT_EQ(Contents(out).mid(5 + 0x10, 12).toHex(' '), "25 06 50 43 25 06 50 43 ff ff 13 a8");
    EXPECT_EQ(Contents(out).mid(5 + 0x20, 8).toHex(' '), "25 06 60 44 25 06 70 44");
    const CliRun copy = Cli({"copy-rows", out, "2-3"});
    ASSERT_EQ(copy.exitCode, 0) << copy.err.toStdString();
    EXPECT_EQ(copy.out,
              "435.00625\tOff\t435.00625\tD023I\tLow\tOff\tNarrow\tNo\r\n"
              "446.00625\t88.5\t447.00625\tOff\tHigh\tCarrier\tWide\tHave\r\n");
}

}  // namespace
