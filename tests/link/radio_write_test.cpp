// The radio write: the radio backed up first (the backup file's name and contents), written,
// read back; a backup that fails writes nothing.

#include "link/radio_write.h"

#include <QRegularExpression>

#include "link/backup_file.h"
#include "link_e2e_support.h"

namespace r7::link {
namespace {

using namespace r7::test;

TEST(RadioWriteCli, BackupHoldsWhatAReadWouldSaveThenTheWriteFollowsVerified) {
    QTemporaryDir dir;
    const QString reference = dir.filePath("reference.DAT"), backups = dir.filePath("backups"),
                  in = InputFile(dir);
    Sim sim(dir.filePath("radio"), Pattern(5));
    ASSERT_EQ(Cli({"read", "--port", sim.device, "-o", reference}).exitCode, 0);
    const CliRun run = Cli({"write", "--port", sim.device, in, "--backup", backups, "--verify"});
    // 46 blocks of 16 bytes; the one at radio 0350 (offsets 340-34F) is beyond any read.
    ASSERT_TRUE(
        Ends(run, 0, {"verified 720 written bytes; 16 bytes at 340-34F cannot be read back"}));
    const QStringList files = Entries(backups);
    ASSERT_EQ(files.size(), 1) << files.join(' ').toStdString();
    EXPECT_TRUE(QRegularExpression("^R7-backup-\\d{8}-\\d{6}\\.DAT$").match(files[0]).hasMatch())
        << files[0].toStdString();
    const QString backup = QDir(backups).filePath(files[0]);
    EXPECT_TRUE(
        run.out.contains(("backup saved as " + QDir::toNativeSeparators(backup)).toLocal8Bit()));
    // Byte for byte the read's file, 340-34F filled as the read command fills them.
    EXPECT_EQ(Contents(backup), Contents(reference));
    EXPECT_TRUE(SameStart(DatImage(Contents(in)), sim.Saved(), 0x170));
}

TEST(RadioWriteCli, AFailedBackupWritesNothing) {
    QTemporaryDir dir;
    const QString in = InputFile(dir), backups = dir.filePath("backups"),
                  notAFolder = dir.filePath("plain");
    ASSERT_TRUE(WriteFile(notAFolder, {}));
    EXPECT_TRUE(Ends(Cli({"write", "--port", Sim({"--fault", "silent"}).device, in, "--backup",
                          backups, "--watchdog-ms", "300"}),
                     1, {"the backup read failed: Make mistakes", "nothing was written"}));
    EXPECT_TRUE(Entries(backups).isEmpty());
    Sim sim(dir.filePath("radio"), Pattern(6));
    EXPECT_TRUE(Ends(Cli({"write", "--port", sim.device, in, "--backup", notAFolder}), 1,
                     {"cannot create the backup folder"}));
    EXPECT_EQ(sim.Saved(), Pattern(6));
}

TEST(BackupFile, NamesCarryTheTimeAndRadioAndNeverReplaceAFile) {
    QTemporaryDir dir;
    const QDateTime when(QDate(2026, 3, 4), QTime(5, 6, 7));
    EXPECT_EQ(BackupFileName(when), "R7-backup-20260304-050607.DAT");
    EXPECT_EQ(BackupFileName(when, 3), "R7-backup-20260304-050607-radio3.DAT");
    ASSERT_TRUE(WriteFile(dir.filePath("R7-backup-20260304-050607.DAT"), "old"));
    const BackupResult second = SaveBackup(dir.path(), Pattern(2), when);
    ASSERT_TRUE(second) << second.error().toStdString();
    EXPECT_EQ(QFileInfo(*second).fileName(), "R7-backup-20260304-050607-2.DAT");
    EXPECT_EQ(QFileInfo(SaveBackup(dir.path(), Pattern(2), when).value()).fileName(),
              "R7-backup-20260304-050607-3.DAT");
    EXPECT_EQ(Contents(dir.filePath("R7-backup-20260304-050607.DAT")), QByteArray("old"));
    EXPECT_EQ(Contents(*second), DatBytes(Pattern(2)));
    EXPECT_EQ(Entries(dir.path()).size(), 3);  // no temporary file left behind
}

}  // namespace
}  // namespace r7::link
