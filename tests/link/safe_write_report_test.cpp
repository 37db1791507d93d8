// What a safe write tells: how much of the new configuration an interrupted write left in the
// radio, a failed backup said once, and one progress line that counts the whole sequence up
// to 100%.

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <csignal>
#include <tuple>

#include "cli_checks.h"
#include "image/editor_defaults.h"
#include "link/safe_write.h"
#include "link/transfer_controller.h"
#include "simulated_radio.h"

namespace r7::link {
namespace {

using namespace r7::test;

// A sequence against a simulated radio; `during` may act on each write block as it is sent.
QString Reason(bool verify, const QString& backupDir, std::function<void(SafeWrite&, int)> during) {
    SafeWriteOptions options;
    options.verify = verify;
    options.backupDir = backupDir;
    Sim sim({});
    TransferController controller;
    EXPECT_TRUE(controller.link().open(sim.device));
    controller.setImageSource([] { return EncodeImage(NewConfiguration()); });
    SafeWrite sequence(controller);
    bool done = false;
    QString reason;
    int blocks = 0;
    QObject::connect(&controller, &TransferController::bytesSent, [&](const QByteArray& b) {
        if (b.startsWith('W')) during(sequence, ++blocks);
    });
    QObject::connect(&sequence, &SafeWrite::finished, [&](bool, const QString& why) {
        std::tie(done, reason) = std::tuple(true, why);
    });
    EXPECT_TRUE(sequence.start(options));
    QElapsedTimer t;
    t.start();
    while (!done && t.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    return reason;
}

// Stopped while block N is on its way, the radio holds what it acknowledged.
TEST(SafeWriteReport, AnInterruptedWriteSaysWhatTheRadioHolds) {
    const struct {
        int block;
        bool verify;
        const char* says;
    } cases[] = {
        {45, false, "interrupted: the radio holds 45 of the 46 new blocks; write it again"},
        {46, false, "interrupted: the radio holds the whole new configuration (all 46 blocks)"},
        {46, true,
         "interrupted: the radio holds the whole new configuration (all 46 blocks) but it has not "
         "been verified"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.block);
        EXPECT_EQ(Reason(c.verify, {},
                         [&](SafeWrite& s, int block) {
                             // Once the block is on the line, as a signal would come.
                             if (block == c.block)
                                 QMetaObject::invokeMethod(&s, &SafeWrite::interrupt,
                                                           Qt::QueuedConnection);
                         }),
                  c.says);
    }
}

TEST(SafeWriteReport, AFailedBackupSaysSoOnce) {
    QTemporaryDir dir;
    // The backup cannot be written whole: a file size limit with SIGXFSZ ignored.
    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    rlimit none = saved;
    none.rlim_cur = 512;  // room for the port's lock file, not for 853 bytes
    auto* previous = std::signal(SIGXFSZ, SIG_IGN);
    ::setrlimit(RLIMIT_FSIZE, &none);
    const QString reason = Reason(false, dir.path(), [](SafeWrite&, int) {});
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_TRUE(reason.startsWith("the backup failed: ") && reason.count("backup failed") == 1 &&
                reason.endsWith("; nothing was written"))
        << reason.toStdString();
}

// Backup, write and read-back on one line of a terminal: never backwards, ending at 100%.
TEST(SafeWriteReport, TheProgressLineCountsTheWholeSequence) {
    QTemporaryDir dir;
    Sim sim({});
    const int terminal = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_TRUE(terminal >= 0 && grantpt(terminal) == 0 && unlockpt(terminal) == 0);
    ::fcntl(terminal, F_SETFL, O_NONBLOCK);
    ::fcntl(terminal, F_SETFD, FD_CLOEXEC);
    QProcess cli;
    cli.setStandardErrorFile(QString::fromLocal8Bit(ptsname(terminal)));
    ASSERT_EQ(Cli({"new", dir.filePath("in.DAT")}).exitCode, 0);
    cli.start(R7_CLI_PATH, {"write", "--port", sim.device, dir.filePath("in.DAT"), "--verify",
                            "--backup", dir.filePath("backups")});
    QByteArray line;
    char buffer[4096];
    while (!cli.waitForFinished(20)) {
        for (ssize_t n; (n = ::read(terminal, buffer, sizeof buffer)) > 0;) line.append(buffer, n);
    }
    for (ssize_t n; (n = ::read(terminal, buffer, sizeof buffer)) > 0;) line.append(buffer, n);
    ::close(terminal);
    EXPECT_EQ(cli.exitCode(), 0);
    QList<int> shown;
    for (const auto& m : QRegularExpression("(\\d+)%").globalMatch(QString::fromLatin1(line)))
        shown << m.captured(1).toInt();
    ASSERT_FALSE(shown.isEmpty()) << line.toStdString();
    EXPECT_TRUE(std::is_sorted(shown.begin(), shown.end())) << line.toStdString();
    EXPECT_EQ(shown.last(), 100) << line.toStdString();
    EXPECT_TRUE(line.contains("verifying [")) << line.toStdString();
}

}  // namespace
}  // namespace r7::link
