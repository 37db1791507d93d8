// Fault injection end to end: every fault of the simulated radio, late answers around the
// watchdog, a line that goes dead mid-block, and the safe write (--verify, --backup) and batch
// programming (--repeat) of the command line tool against morvane-r7-sim.

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>

#include "cli_checks.h"
#include "link/backup_file.h"
#include "link/safe_write.h"
#include "link/transfer_controller.h"
#include "link_test_support.h"

namespace r7::link {
namespace {

using namespace r7::link::testing;
[[maybe_unused]] const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

const char kWatchdogText[] = "Make mistakes, please check interphone type";

// Each fails with its message within its time (the watchdog is 400 ms; a dead line fails before
// it), leaves no file, and the same command works again against a good radio.
TEST(FaultInjection, EveryFaultEndsWithItsMessageNoFileAndTheCommandWorksAgain) {
    const struct { const char* fault; char command; const char* message; int maxMs; } cases[] = {
        {"silent", 'R', kWatchdogText, 1500}, {"wrong-identity", 'R', kWatchdogText, 1500},
        {"short-block", 'R', kWatchdogText, 1500}, {"wrong-ack", 'R', kWatchdogText, 1500},
        {"stop-after=3", 'R', kWatchdogText, 1500}, {"garbage", 'R', kWatchdogText, 1500},
        {"double-reply", 'R', kWatchdogText, 1500}, {"close-after=2", 'R', "went away (is the cable unplugged?)", 350},
        {"silent", 'W', kWatchdogText, 1500}, {"wrong-ack", 'W', kWatchdogText, 1500},
        {"stop-after=3", 'W', kWatchdogText, 1500}, {"double-reply", 'W', kWatchdogText, 1500},
        {"close-after=5", 'W', "the radio holds 5 of the 46 new blocks; its configuration is mixed: write again", 350},
        {"bad-store", 'V', "verify failed: 1 written byte differs on read-back: offset 000 wrote", 4000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.fault) + " " + c.command);
        QTemporaryDir dir;
        const QString out = dir.filePath("out.DAT");
        QStringList args = c.command == 'R' ? QStringList{"read", "-o", out} : QStringList{"write", InputFile(dir)};
        if (c.command == 'V') args << "--verify";
        args << "--watchdog-ms" << "400";
        const QStringList before = Entries(dir.path());
        Sim sim({"--fault", c.fault});
        QElapsedTimer clock;
        clock.start();
        EXPECT_TRUE(Ends(Cli(QStringList(args) << "--port" << sim.device), 1, {c.message}));
        EXPECT_LT(clock.elapsed(), c.maxMs);
        EXPECT_EQ(Entries(dir.path()), before);  // nothing written, nothing half-written
        EXPECT_TRUE(Ends(Cli(QStringList(args) << "--port" << Sim({}).device), 0));
        EXPECT_TRUE(c.command != 'R' || Contents(out).size() == 853);
    }
    // A bad store goes unnoticed without --verify.
    QTemporaryDir dir;
    EXPECT_TRUE(Ends(Cli({"write", InputFile(dir), "--port", Sim({"--fault", "bad-store"}).device}), 0));
}

TEST(FaultInjection, LateAnswersFailOnlyPastTheWatchdog) {
    for (const int delay : {450, 750}) {
        QTemporaryDir dir;
        const QString out = dir.filePath("out.DAT");
        // The wake-up, identify, acknowledge and first block request are all answered late.
        Sim sim({"--delay-ms", QString::number(delay), "--delay-replies", "4"});
        QElapsedTimer clock;
        clock.start();
        const CliRun run = Cli({"read", "--port", sim.device, "-o", out, "--watchdog-ms", "600"});
        const bool late = delay > 600;
        EXPECT_TRUE(late ? Ends(run, 1, {kWatchdogText}) : Ends(run, 0) && !run.err.contains(kWatchdogText)) << delay;
        EXPECT_EQ(QFile::exists(out), !late) << delay;
        EXPECT_TRUE(late ? clock.elapsed() < 750 : clock.elapsed() >= 4 * 450) << delay;
    }
}

TEST(SafeWriteCli, BackupHoldsWhatAReadWouldSaveThenTheWriteFollowsVerified) {
    QTemporaryDir dir;
    const QString radio = dir.filePath("radio.DAT"), saved = dir.filePath("saved.DAT"),
                  reference = dir.filePath("reference.DAT"), backups = dir.filePath("backups"), in = InputFile(dir);
    ASSERT_TRUE(WriteDatFile(radio, Pattern(5)).ok);
    Sim sim({"--load", radio, "--save", saved});
    ASSERT_EQ(Cli({"read", "--port", sim.device, "-o", reference}).exitCode, 0);
    const CliRun run = Cli({"write", "--port", sim.device, in, "--backup", backups, "--verify"});
    // 46 blocks of 16 bytes; the one at radio 0350 (offsets 340-34F) is beyond any read.
    ASSERT_TRUE(Ends(run, 0, {"verified 720 written bytes; 16 bytes at 340-34F cannot be read back"}));
    const QStringList files = Entries(backups);
    ASSERT_EQ(files.size(), 1) << files.join(' ').toStdString();
    EXPECT_TRUE(QRegularExpression("^R7-backup-\\d{8}-\\d{6}\\.DAT$").match(files[0]).hasMatch()) << files[0].toStdString();
    const QString backup = QDir(backups).filePath(files[0]);
    EXPECT_TRUE(run.out.contains(("backup saved as " + QDir::toNativeSeparators(backup)).toLocal8Bit()));
    // Byte for byte the read's file, 340-34F filled as the read command fills them.
    EXPECT_EQ(Contents(backup), Contents(reference));
    sim.Stop();
    EXPECT_TRUE(SameStart(DatImage(Contents(in)), DatImage(Contents(saved)), 0x170));
}

TEST(SafeWriteCli, AFailedBackupWritesNothing) {
    QTemporaryDir dir;
    const QString radio = dir.filePath("radio.DAT"), saved = dir.filePath("saved.DAT"), in = InputFile(dir),
                  backups = dir.filePath("backups"), notAFolder = dir.filePath("plain");
    ASSERT_TRUE(WriteDatFile(radio, Pattern(6)).ok && WriteFile(notAFolder, {}));
    EXPECT_TRUE(Ends(Cli({"write", "--port", Sim({"--fault", "silent"}).device, in, "--backup", backups,
                          "--watchdog-ms", "300"}),
                     1, {"the backup read failed: Make mistakes", "nothing was written"}));
    EXPECT_TRUE(Entries(backups).isEmpty());
    Sim sim({"--load", radio, "--save", saved});
    EXPECT_TRUE(Ends(Cli({"write", "--port", sim.device, in, "--backup", notAFolder}), 1, {"cannot create the backup folder"}));
    sim.Stop();
    EXPECT_EQ(DatImage(Contents(saved)), Pattern(6));
}

TEST(SafeWriteController, ABackupThatCannotBeSavedStopsBeforeTheWrite) {
    QTemporaryDir dir;
    const QString radio = dir.filePath("radio.DAT"), saved = dir.filePath("saved.DAT"), backups = dir.filePath("backups");
    ASSERT_TRUE(WriteDatFile(radio, Pattern(8)).ok && QDir().mkpath(backups));
    Sim sim({"--load", radio, "--save", saved});
    TransferController controller;
    ASSERT_TRUE(controller.link().open(sim.device));
    controller.setImageSource([] { return EncodeImage(NewConfiguration()); });
    SafeWrite sequence(controller);
    bool done = false, ok = true;
    QString reason;
    int writeBlocks = 0;
    QObject::connect(&controller, &TransferController::bytesSent, [&](const QByteArray& b) { writeBlocks += b.startsWith('W'); });
    // The folder vanishes while the radio is read.
    QObject::connect(&sequence, &SafeWrite::stageStarted, [&](SafeWriteStage stage) {
        if (stage == SafeWriteStage::Backup) QDir(backups).removeRecursively();
    });
    QObject::connect(&sequence, &SafeWrite::finished,
                     [&](bool good, const QString& why) { std::tie(done, ok, reason) = std::tuple(true, good, why); });
    ASSERT_TRUE(sequence.start({.verify = true, .backupDir = backups}));
    EXPECT_FALSE(sequence.start({}));  // one sequence at a time
    RunUntil(done, 5000);
    ASSERT_TRUE(done);
    EXPECT_FALSE(ok);
    EXPECT_TRUE(reason.startsWith("the backup failed: backup folder") && reason.endsWith("nothing was written"))
        << reason.toStdString();
    EXPECT_EQ(writeBlocks, 0);
    EXPECT_FALSE(sequence.running());
    sim.Stop();
    EXPECT_EQ(DatImage(Contents(saved)), Pattern(8));
}

TEST(BackupFile, NamesCarryTheTimeAndRadioAndNeverReplaceAFile) {
    QTemporaryDir dir;
    const QDateTime when(QDate(2026, 3, 4), QTime(5, 6, 7));
    EXPECT_EQ(BackupFileName(when), "R7-backup-20260304-050607.DAT");
    EXPECT_EQ(BackupFileName(when, 3), "R7-backup-20260304-050607-radio3.DAT");
    ASSERT_TRUE(WriteFile(dir.filePath("R7-backup-20260304-050607.DAT"), "old"));
    const BackupResult second = SaveBackup(dir.path(), Pattern(2), when);
    ASSERT_TRUE(second.ok) << second.error.toStdString();
    EXPECT_EQ(QFileInfo(second.path).fileName(), "R7-backup-20260304-050607-2.DAT");
    EXPECT_EQ(QFileInfo(SaveBackup(dir.path(), Pattern(2), when).path).fileName(), "R7-backup-20260304-050607-3.DAT");
    EXPECT_EQ(Contents(dir.filePath("R7-backup-20260304-050607.DAT")), QByteArray("old"));
    EXPECT_EQ(Contents(second.path), DatBytes(Pattern(2)));
    EXPECT_EQ(Entries(dir.path()).size(), 3);  // no temporary file left behind
}

TEST(BatchCli, ThreeRadiosTheThirdFailingStopsWithItsNumber) {
    QTemporaryDir dir;
    const QString port = dir.filePath("port"), backups = dir.filePath("backups"), in = InputFile(dir);
    std::vector<QString> loads;
    for (int n = 1; n <= 3; ++n) {
        loads.push_back(dir.filePath(QStringLiteral("radio%1.DAT").arg(n)));
        ASSERT_TRUE(WriteDatFile(loads.back(), Pattern(20 + n)).ok);
    }
    Sim first({"--load", loads[0]}), second({"--load", loads[1]}), third({"--load", loads[2], "--fault", "bad-store"});
    // The port is a link the test points at the next radio, as a cable moved between radios.
    ASSERT_TRUE(QFile::link(first.device, port));
    CliSession batch({"write", "--port", port, in, "--repeat", "--verify", "--backup", backups});
    for (const Sim* next : {&second, &third}) {
        const int n = next == &second ? 1 : 2;
        ASSERT_TRUE(batch.WaitFor(QStringLiteral("radio %1 programmed (%1 in this batch)").arg(n).toUtf8())) << batch.out.toStdString();
        ASSERT_TRUE(batch.WaitFor(QStringLiteral("connect radio %1 and press Enter").arg(n + 1).toUtf8()));
        ASSERT_TRUE(QFile::remove(port) && QFile::link(next->device, port));
        batch.process.write("\n");
    }
    EXPECT_EQ(batch.Finish(), 1);
    const QByteArray err = batch.process.readAllStandardError();
    EXPECT_TRUE(err.contains("radio 3 failed: verify failed: 1 written byte differs")) << err.toStdString();
    EXPECT_TRUE(batch.out.contains("2 radios programmed before the failure")) << batch.out.toStdString();
    const QStringList files = Entries(backups);
    ASSERT_EQ(files.size(), 3) << files.join(' ').toStdString();
    for (int n = 1; n <= 3; ++n) {
        EXPECT_TRUE(files[n - 1].endsWith(QStringLiteral("-radio%1.DAT").arg(n))) << files[n - 1].toStdString();
        EXPECT_TRUE(SameStart(DatImage(Contents(QDir(backups).filePath(files[n - 1]))), Pattern(20 + n), 0x340)) << n;
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
        EXPECT_TRUE(batch.out.contains("batch ended: 1 radio programmed")) << batch.out.toStdString();
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
    for (const char* count : {"0", "x"}) EXPECT_TRUE(Ends(Cli({"write", "--port", sim.device, in, "--repeat-count", count}), 2));
    // A radio that cannot be reached fails the batch with its number.
    EXPECT_TRUE(Ends(Cli({"write", "--port", dir.filePath("no-such-port"), in, "--repeat"}), 1, {"radio 1 failed: cannot open"}));
}

}  // namespace
}  // namespace r7::link
