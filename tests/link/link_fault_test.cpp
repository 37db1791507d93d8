// Fault injection end to end: every fault of the simulated radio, late answers around the
// watchdog, a line that goes dead mid-block, and the safe write (--verify, --backup) and batch
// programming (--repeat) of the command line tool against morvane-r7-sim.

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "files/dat_file.h"
#include "image/editor_defaults.h"
#include "link/backup_file.h"
#include "link/safe_write.h"
#include "link/transfer_controller.h"
#include "link_test_support.h"

namespace r7::link {
namespace {

using namespace r7::link::testing;
[[maybe_unused]] const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

const char kWatchdogText[] = "Make mistakes, please check interphone type";

// A data file to write, different from any radio pattern.
QString WriteInput(const QTemporaryDir& dir) {
    EditorState state = NewConfiguration();
    state.cell(1, ColReceive) = "446.00625";
    const QString path = dir.filePath("in.DAT");
    EXPECT_TRUE(WriteDatFile(path, EncodeImageBytes(state)).ok);
    return path;
}

QStringList Entries(const QString& dir) { return QDir(dir).entryList(QDir::Files | QDir::Hidden); }

TEST(FaultInjection, EveryFaultEndsWithItsMessageNoFileAndTheCommandWorksAgain) {
    const struct {
        const char* fault;
        char command;
        const char* message;
        int maxMs;  // the watchdog is 400 ms; a dead line must fail before it
    } cases[] = {
        {"silent", 'R', kWatchdogText, 1500},
        {"wrong-identity", 'R', kWatchdogText, 1500},
        {"short-block", 'R', kWatchdogText, 1500},
        {"wrong-ack", 'R', kWatchdogText, 1500},
        {"stop-after=3", 'R', kWatchdogText, 1500},
        {"garbage", 'R', kWatchdogText, 1500},
        {"double-reply", 'R', kWatchdogText, 1500},
        {"close-after=2", 'R', "went away (is the cable unplugged?)", 350},
        {"silent", 'W', kWatchdogText, 1500},
        {"wrong-ack", 'W', kWatchdogText, 1500},
        {"stop-after=3", 'W', kWatchdogText, 1500},
        {"double-reply", 'W', kWatchdogText, 1500},
        {"close-after=5", 'W', "the radio holds 5 of the 46 new blocks; its configuration is mixed: write again", 350},
        {"bad-store", 'V', "verify failed: 1 written byte differs on read-back: offset 000 wrote", 4000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.fault) + " " + c.command);
        QTemporaryDir dir;
        const QString out = dir.filePath("out.DAT"), in = WriteInput(dir);
        QStringList args;
        if (c.command == 'R') args = {"read", "-o", out};
        else args = {"write", in};
        if (c.command == 'V') args << "--verify";
        args << "--watchdog-ms" << "400";
        const QStringList before = Entries(dir.path());
        {
            Sim sim({"--fault", c.fault});
            QElapsedTimer clock;
            clock.start();
            const CliRun run = Cli(QStringList(args) << "--port" << sim.device);
            EXPECT_EQ(run.exitCode, 1);
            EXPECT_TRUE(run.err.contains(c.message)) << run.err.toStdString();
            EXPECT_LT(clock.elapsed(), c.maxMs);
        }
        EXPECT_EQ(Entries(dir.path()), before);  // nothing written, nothing half-written
        Sim good({});
        const CliRun again = Cli(QStringList(args) << "--port" << good.device);
        EXPECT_EQ(again.exitCode, 0) << again.err.toStdString();
        if (c.command == 'R') {
            EXPECT_EQ(Contents(out).size(), 853);
        }
    }
    // A bad store goes unnoticed without --verify.
    QTemporaryDir dir;
    Sim sim({"--fault", "bad-store"});
    EXPECT_EQ(Cli({"write", WriteInput(dir), "--port", sim.device}).exitCode, 0);
}

TEST(FaultInjection, LateAnswersFailOnlyPastTheWatchdog) {
    const struct {
        const char* delay;
        int exitCode;
    } cases[] = {{"450", 0}, {"750", 1}};
    for (const auto& c : cases) {
        QTemporaryDir dir;
        const QString out = dir.filePath("out.DAT");
        // The wake-up, identify, acknowledge and first block request are all answered late.
        Sim sim({"--delay-ms", c.delay, "--delay-replies", "4"});
        QElapsedTimer clock;
        clock.start();
        const CliRun run = Cli({"read", "--port", sim.device, "-o", out, "--watchdog-ms", "600"});
        EXPECT_EQ(run.exitCode, c.exitCode) << c.delay << run.err.toStdString();
        EXPECT_EQ(QFile::exists(out), c.exitCode == 0) << c.delay;
        if (c.exitCode == 0) {
            EXPECT_GE(clock.elapsed(), 4 * 450) << c.delay;
        } else {
            EXPECT_LT(clock.elapsed(), 750) << c.delay;
            EXPECT_TRUE(run.err.contains(kWatchdogText)) << c.delay;
        }
    }
}

TEST(SafeWriteCli, VerifyReportsTheBytesAReadCannotReturn) {
    QTemporaryDir dir;
    Sim sim({});
    const CliRun run = Cli({"write", "--port", sim.device, WriteInput(dir), "--verify"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    // 46 blocks of 16 bytes; the one at radio 0350 (offsets 340-34F) is beyond any read.
    EXPECT_TRUE(run.out.contains("verified 720 written bytes; 16 bytes at 340-34F cannot be read back"))
        << run.out.toStdString();
}

TEST(SafeWriteCli, BackupHoldsWhatAReadWouldSaveThenTheWriteFollows) {
    QTemporaryDir dir;
    const QString radio = dir.filePath("radio.DAT"), saved = dir.filePath("saved.DAT"),
                  reference = dir.filePath("reference.DAT"), backups = dir.filePath("backups"),
                  in = WriteInput(dir);
    ASSERT_TRUE(WriteDatFile(radio, Pattern(5)).ok);
    Sim sim({"--load", radio, "--save", saved});
    ASSERT_EQ(Cli({"read", "--port", sim.device, "-o", reference}).exitCode, 0);
    const CliRun run = Cli({"write", "--port", sim.device, in, "--backup", backups, "--verify"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QStringList files = Entries(backups);
    ASSERT_EQ(files.size(), 1) << files.join(' ').toStdString();
    EXPECT_TRUE(QRegularExpression("^R7-backup-\\d{8}-\\d{6}\\.DAT$").match(files[0]).hasMatch())
        << files[0].toStdString();
    EXPECT_TRUE(run.out.contains(("backup saved as " + QDir::toNativeSeparators(QDir(backups).filePath(files[0])))
                                     .toLocal8Bit()));
    // Byte for byte the read's file, 340-34F filled as the read command fills them.
    EXPECT_EQ(Contents(QDir(backups).filePath(files[0])), Contents(reference));
    sim.Stop();
    EXPECT_TRUE(SameStart(DatImage(Contents(in)), DatImage(Contents(saved)), 0x170));
}

TEST(SafeWriteCli, AFailedBackupWritesNothing) {
    QTemporaryDir dir;
    const QString radio = dir.filePath("radio.DAT"), saved = dir.filePath("saved.DAT"), in = WriteInput(dir),
                  backups = dir.filePath("backups"), notAFolder = dir.filePath("plain");
    ASSERT_TRUE(WriteDatFile(radio, Pattern(6)).ok);
    ASSERT_TRUE(WriteFile(notAFolder, {}));
    {
        Sim silent({"--fault", "silent"});
        const CliRun run = Cli({"write", "--port", silent.device, in, "--backup", backups, "--watchdog-ms", "300"});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_TRUE(run.err.contains("the backup read failed: Make mistakes")) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains("nothing was written"));
        EXPECT_TRUE(Entries(backups).isEmpty());
    }
    Sim sim({"--load", radio, "--save", saved});
    const CliRun run = Cli({"write", "--port", sim.device, in, "--backup", notAFolder});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("cannot create the backup folder")) << run.err.toStdString();
    sim.Stop();
    EXPECT_EQ(DatImage(Contents(saved)), Pattern(6));
}

TEST(SafeWriteController, ABackupThatCannotBeSavedStopsBeforeTheWrite) {
    QTemporaryDir dir;
    const QString radio = dir.filePath("radio.DAT"), saved = dir.filePath("saved.DAT"),
                  backups = dir.filePath("backups");
    ASSERT_TRUE(WriteDatFile(radio, Pattern(8)).ok);
    ASSERT_TRUE(QDir().mkpath(backups));
    Sim sim({"--load", radio, "--save", saved});
    TransferController controller;
    ASSERT_TRUE(controller.link().open(sim.device));
    const EditorState state = NewConfiguration();
    controller.setImageSource([&] { return EncodeImage(state); });
    SafeWrite sequence(controller);
    bool done = false, ok = true;
    QString reason;
    int writeBlocks = 0;
    QObject::connect(&controller, &TransferController::bytesSent, [&](const QByteArray& b) {
        if (b.startsWith('W')) ++writeBlocks;
    });
    // The folder vanishes while the radio is read.
    QObject::connect(&sequence, &SafeWrite::stageStarted, [&](SafeWriteStage stage) {
        if (stage == SafeWriteStage::Backup) QDir(backups).removeRecursively();
    });
    QObject::connect(&sequence, &SafeWrite::finished, [&](bool good, const QString& why) {
        done = true;
        ok = good;
        reason = why;
    });
    ASSERT_TRUE(sequence.start({.verify = true, .backupDir = backups}));
    EXPECT_FALSE(sequence.start({}));  // one sequence at a time
    RunUntil(done, 5000);
    ASSERT_TRUE(done);
    EXPECT_FALSE(ok);
    EXPECT_TRUE(reason.startsWith("the backup failed: backup folder")) << reason.toStdString();
    EXPECT_TRUE(reason.endsWith("nothing was written")) << reason.toStdString();
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
    const ImageBytes image = Pattern(2);
    const BackupResult second = SaveBackup(dir.path(), image, when);
    ASSERT_TRUE(second.ok) << second.error.toStdString();
    EXPECT_EQ(QFileInfo(second.path).fileName(), "R7-backup-20260304-050607-2.DAT");
    const BackupResult third = SaveBackup(dir.path(), image, when);
    EXPECT_EQ(QFileInfo(third.path).fileName(), "R7-backup-20260304-050607-3.DAT");
    EXPECT_EQ(Contents(dir.filePath("R7-backup-20260304-050607.DAT")), QByteArray("old"));
    QByteArray expected("P3207");
    expected.append(reinterpret_cast<const char*>(image.data()), 848);
    EXPECT_EQ(Contents(second.path), expected);
    EXPECT_EQ(Entries(dir.path()).size(), 3);  // no temporary file left behind
}

// The port is a link that the test points at the next radio, as a cable moved between radios.
void PointAt(const QString& link, const QString& device) {
    QFile::remove(link);
    ASSERT_TRUE(QFile::link(device, link));
}

TEST(BatchCli, ThreeRadiosTheThirdFailingStopsWithItsNumber) {
    QTemporaryDir dir;
    const QString port = dir.filePath("port"), backups = dir.filePath("backups"), in = WriteInput(dir);
    std::vector<QString> loads;
    for (int n = 1; n <= 3; ++n) {
        loads.push_back(dir.filePath(QStringLiteral("radio%1.DAT").arg(n)));
        ASSERT_TRUE(WriteDatFile(loads.back(), Pattern(20 + n)).ok);
    }
    Sim first({"--load", loads[0]}), second({"--load", loads[1]}), third({"--load", loads[2], "--fault", "bad-store"});
    PointAt(port, first.device);
    CliSession batch({"write", "--port", port, in, "--repeat", "--verify", "--backup", backups});
    ASSERT_TRUE(batch.WaitFor("radio 1 programmed (1 in this batch)")) << batch.out.toStdString();
    ASSERT_TRUE(batch.WaitFor("connect radio 2 and press Enter"));
    PointAt(port, second.device);
    batch.process.write("\n");
    ASSERT_TRUE(batch.WaitFor("radio 2 programmed (2 in this batch)")) << batch.out.toStdString();
    ASSERT_TRUE(batch.WaitFor("connect radio 3 and press Enter"));
    PointAt(port, third.device);
    batch.process.write("\n");
    EXPECT_EQ(batch.Finish(), 1);
    const QByteArray err = batch.process.readAllStandardError();
    EXPECT_TRUE(err.contains("radio 3 failed: verify failed: 1 written byte differs")) << err.toStdString();
    EXPECT_TRUE(batch.out.contains("2 radios programmed before the failure")) << batch.out.toStdString();
    QStringList files = Entries(backups);
    ASSERT_EQ(files.size(), 3) << files.join(' ').toStdString();
    for (int n = 1; n <= 3; ++n) {
        const QString name = files[n - 1];
        EXPECT_TRUE(name.endsWith(QStringLiteral("-radio%1.DAT").arg(n))) << name.toStdString();
        EXPECT_TRUE(SameStart(DatImage(Contents(QDir(backups).filePath(name))), Pattern(20 + n), 0x340)) << n;
    }
}

TEST(BatchCli, EndOfInputOrTheCountEndsTheBatch) {
    QTemporaryDir dir;
    const QString in = WriteInput(dir);
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
    EXPECT_EQ(Cli({"write", "--port", sim.device, in, "--repeat-count", "0"}).exitCode, 2);
    EXPECT_EQ(Cli({"write", "--port", sim.device, in, "--repeat-count", "x"}).exitCode, 2);
    // A radio that cannot be reached fails the batch with its number.
    const CliRun gone = Cli({"write", "--port", dir.filePath("no-such-port"), in, "--repeat"});
    EXPECT_EQ(gone.exitCode, 1);
    EXPECT_TRUE(gone.err.contains("radio 1 failed: cannot open")) << gone.err.toStdString();
}

}  // namespace
}  // namespace r7::link
