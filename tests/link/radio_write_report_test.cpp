// What a safe write tells: how much of the new configuration a stopped write left in the
// radio, a failed backup said once, and one progress line for the whole sequence.

#include <fcntl.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <optional>
#include <tuple>

#include "data_table.h"
#include "image/editor_defaults.h"
#include "link/radio_write.h"
#include "link/transfer_controller.h"
#include "link_e2e_support.h"

namespace r7::link {
namespace {

using namespace r7::test;

// What a sequence that stops says: a backup that cannot be saved whole or whose folder vanishes
// while the radio is read (nothing written), and a write stopped while block N is on the line,
// as a signal stops it (what the radio holds).
TEST(RadioWriteController, AStoppedSequenceSaysWhatTheRadioHolds) {
    for (const Fields& row : Table("stopped_writes")) {
        const struct {
            std::string act;
            int block;
            bool verify;
            std::string says;
        } c{row[0], std::stoi(row[1]), row[2] == "1", row[3]};
        SCOPED_TRACE(Join(row, 0, " "));
        QTemporaryDir dir;
        const QString backups = dir.filePath("backups");
        ASSERT_TRUE(QDir().mkpath(backups));
        Sim sim(dir.filePath("radio"), Pattern(8));
        TransferController controller;
        ASSERT_TRUE(controller.link().open(sim.device));
        controller.setImageSource([] { return EncodeImage(NewConfiguration()); });
        RadioWrite sequence(controller);
        bool done = false, ok = true;
        QString reason;
        int writeBlocks = 0;
        QObject::connect(&controller, &TransferController::bytesSent, [&](const QByteArray& b) {
            if (b.startsWith('W') && ++writeBlocks == c.block)  // once the block is on the line
                QMetaObject::invokeMethod(&sequence, &RadioWrite::interrupt, Qt::QueuedConnection);
        });
        // While the radio is backed up, files may grow no more, or the folder goes.
        std::optional<FileSizeLimit> limit;
        QObject::connect(&sequence, &RadioWrite::stageStarted, [&](RadioWriteStage stage) {
            if (stage != RadioWriteStage::Backup) return;
            if (c.act == "vanish") QDir(backups).removeRecursively();
            if (c.act == "size limit") limit.emplace(0);
        });
        QObject::connect(&sequence, &RadioWrite::failed, [&](const QString& why) {
            std::tie(done, ok, reason) = std::tuple(true, false, why);
        });
        ASSERT_TRUE(sequence.start({c.verify, c.block ? QString() : backups, 0, 0}));
        EXPECT_FALSE(sequence.start({}));  // one sequence at a time
        RunUntil(done, 5000);
        limit.reset();
        ASSERT_TRUE(done);
        EXPECT_FALSE(ok);
        EXPECT_TRUE(reason.startsWith(c.says.c_str()) &&
                    (c.block || reason.endsWith("; nothing was written")))
            << reason.toStdString();
        EXPECT_EQ(writeBlocks, c.block);
        EXPECT_FALSE(sequence.running());
        EXPECT_TRUE(c.block || sim.Saved() == Pattern(8));
    }
}

// Backup, write and read-back on one line of a terminal: never backwards, ending at 100%.
TEST(RadioWriteCli, TheProgressLineCountsTheWholeSequenceTo100) {
    QTemporaryDir dir;
    Sim sim({});
    const int terminal = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_TRUE(terminal >= 0 && grantpt(terminal) == 0 && unlockpt(terminal) == 0);
    ::fcntl(terminal, F_SETFD, FD_CLOEXEC);
    QProcess cli;
    cli.setStandardErrorFile(QString::fromLocal8Bit(ptsname(terminal)));
    ASSERT_EQ(Cli({"new", dir.filePath("in.DAT")}).exitCode, 0);
    cli.start(R7_CLI_PATH, {"write", "--port", sim.device, dir.filePath("in.DAT"), "--verify",
                            "--backup", dir.filePath("backups")});
    QByteArray line(4096, '\0'), all;
    for (bool running = true; running;) {
        running = !cli.waitForFinished(20);
        for (ssize_t n; (n = ::read(terminal, line.data(), line.size())) > 0;) all += line.left(n);
    }
    ::close(terminal);
    QList<int> shown;
    for (const auto& m : QRegularExpression("(\\d+)%").globalMatch(QString::fromLatin1(all)))
        shown << m.captured(1).toInt();
    EXPECT_EQ(cli.exitCode(), 0);
    EXPECT_TRUE(std::is_sorted(shown.begin(), shown.end()) && all.contains("verifying [") &&
                !shown.isEmpty() && shown.last() == 100)
        << all.toStdString();
}

}  // namespace
}  // namespace r7::link
