// Batch programming (--repeat): radio after radio, each on Enter, until the end of input,
// the count or a failure; keys typed ahead while a radio is written do not count.

#include <fcntl.h>
#include <unistd.h>

#include "link_e2e_support.h"

namespace r7::link {
namespace {

using namespace r7::test;

TEST(BatchCli, KeysPressedWhileARadioIsWrittenDoNotCountAsTheNextRadio) {
    QTemporaryDir dir;
    Sim sim({});
    const int terminal = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_TRUE(terminal >= 0 && grantpt(terminal) == 0 && unlockpt(terminal) == 0);
    ::fcntl(terminal, F_SETFD, FD_CLOEXEC);  // only this test holds the keyboard's end
    QProcess batch;
    batch.setStandardInputFile(QString::fromLocal8Bit(ptsname(terminal)));
    batch.start(R7_CLI_PATH, {"write", "--port", sim.device, InputFile(dir), "--repeat"});
    ASSERT_TRUE(batch.waitForStarted(5000));
    ASSERT_EQ(::write(terminal, "\n\n", 2), 2);  // typed ahead while radio 1 is written
    QByteArray out;
    ASSERT_TRUE(Says(batch, out, "connect radio 2 and press Enter")) << out.toStdString();
    ASSERT_EQ(::write(terminal, "\n", 1), 1);
    ASSERT_TRUE(Says(batch, out, "connect radio 3 and press Enter")) << out.toStdString();
    ::close(terminal);  // the end of input ends the batch
    ASSERT_TRUE(batch.waitForFinished(5000));
    out += batch.readAllStandardOutput();
    EXPECT_EQ(batch.exitCode(), 0);
    EXPECT_TRUE(out.endsWith("batch ended: 2 radios programmed\n")) << out.toStdString();
}

TEST(BatchCli, ThreeRadiosTheThirdFailingStopsWithItsNumber) {
    QTemporaryDir dir;
    const QString port = dir.filePath("port"), backups = dir.filePath("backups"),
                  in = InputFile(dir);
    Sim first(dir.filePath("radio1"), Pattern(21)), second(dir.filePath("radio2"), Pattern(22)),
        third(dir.filePath("radio3"), Pattern(23), {"--fault", "bad-store"});
    // The port is a link the test points at the next radio, as a cable moved between radios.
    ASSERT_TRUE(QFile::link(first.device, port));
    CliSession batch({"write", "--port", port, in, "--repeat", "--verify", "--backup", backups});
    for (const Sim* next : {&second, &third}) {
        const int n = next == &second ? 1 : 2;
        ASSERT_TRUE(
            batch.WaitFor(QStringLiteral("radio %1 programmed (%1 in this batch)").arg(n).toUtf8()))
            << batch.out.toStdString();
        ASSERT_TRUE(
            batch.WaitFor(QStringLiteral("connect radio %1 and press Enter").arg(n + 1).toUtf8()));
        ASSERT_TRUE(QFile::remove(port) && QFile::link(next->device, port));
        batch.process.write("\n");
    }
    EXPECT_EQ(batch.Finish(), 1);
    const QByteArray err = batch.process.readAllStandardError();
    EXPECT_TRUE(err.contains("radio 3 failed: verify failed: 1 written byte differs"))
        << err.toStdString();
    EXPECT_TRUE(batch.out.contains("2 radios programmed before the failure"))
        << batch.out.toStdString();
    const QStringList files = Entries(backups);
    ASSERT_EQ(files.size(), 3) << files.join(' ').toStdString();
    for (int n = 1; n <= 3; ++n) {
        EXPECT_TRUE(files[n - 1].endsWith(QStringLiteral("-radio%1.DAT").arg(n)))
            << files[n - 1].toStdString();
        EXPECT_TRUE(SameStart(DatImage(Contents(QDir(backups).filePath(files[n - 1]))),
                              Pattern(20 + n), 0x340))
            << n;
    }
}

TEST(BatchCli, EndOfInputOrTheCountEndsTheBatch) {
    QTemporaryDir dir;
    const QString in = InputFile(dir);
    Sim sim({});
    {
        CliSession batch({"write", "--port", sim.device, in, "--repeat"});
        ASSERT_TRUE(batch.WaitFor("connect radio 2 and press Enter (Ctrl+D ends the batch)"));
        batch.process.closeWriteChannel();
        EXPECT_EQ(batch.Finish(), 0);
        EXPECT_TRUE(batch.out.contains("batch ended: 1 radio programmed"))
            << batch.out.toStdString();
    }
    {
        // Input stays open: the count alone ends the batch.
        CliSession batch({"write", "--port", sim.device, in, "--repeat-count", "2"});
        ASSERT_TRUE(batch.WaitFor("connect radio 2"));
        batch.process.write("\n");
        ASSERT_TRUE(batch.WaitFor("batch ended: 2 radios programmed")) << batch.out.toStdString();
        EXPECT_EQ(batch.Finish(), 0);
        EXPECT_FALSE(batch.out.contains("connect radio 3"));
    }
    for (const char* count : {"0", "x"})
        EXPECT_TRUE(Ends(Cli({"write", "--port", sim.device, in, "--repeat-count", count}), 2));
    // A radio that cannot be reached fails the batch with its number.
    EXPECT_TRUE(Ends(Cli({"write", "--port", dir.filePath("no-such-port"), in, "--repeat"}), 1,
                     {"radio 1 failed: cannot open"}));
}

}  // namespace
}  // namespace r7::link
