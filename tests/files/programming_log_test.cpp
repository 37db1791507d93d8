// The programming log keeps every earlier line whatever happens to an append.

#include "files/programming_log.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QTemporaryDir>
#include <optional>

#include "test_files.h"

namespace r7 {
namespace {

LogEntry Entry(int radio) {
    LogEntry e;
    e.time = QDateTime(QDate(2026, 12, 7), QTime(17, 30, radio % 60));
    e.port = QStringLiteral("/dev/ttyUSB0");
    e.identity = IdentityText(QByteArray("P3207\x00\xF8\xFF", 8));
    e.file = QStringLiteral("shop, \"blue\".DAT");  // quoted in the file
    e.fingerprint = ImageFingerprint(QByteArray(848, '\xFF'));
    e.batch = QStringLiteral("2026-12-07 17:30:00");
    e.radio = radio;
    e.verify = QStringLiteral("not asked");
    e.outcome =
        radio % 2 ? QStringLiteral("written") : QStringLiteral("interrupted: 16 of 46 blocks");
    e.infoLine = QStringLiteral("line 2: UNIT %1").arg(radio, 2, 10, QLatin1Char('0'));
    return e;
}

TEST(ProgrammingLog, AppendKeepsEveryEarlierLine) {
    // The size limit below the log with the new line (-1: none), whether the line is appended.
    for (const auto& [shortBy, appended] : {std::pair{-1, true}, {0, true}, {1, false}}) {
        SCOPED_TRACE(shortBy);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("data/programming-log.csv"));
        ASSERT_TRUE(AppendLogEntry(path, Entry(1)).has_value());
        ASSERT_TRUE(AppendLogEntry(path, Entry(2)).has_value());
        const QByteArray before = test::Contents(path);
        const QByteArray line = LogCsv({Entry(3)}).mid(LogCsv({}).size());
        const rlim_t limit = shortBy < 0 ? 0 : before.size() + line.size() - shortBy;
        std::optional<test::FileSizeLimit> cut;
        if (limit) cut.emplace(limit);
        EXPECT_EQ(AppendLogEntry(path, Entry(3)).has_value(), appended);
        cut.reset();
        const LogRead read = ReadLog(path);
        ASSERT_TRUE(read);
        std::vector<LogEntry> expected = {Entry(1), Entry(2)};
        if (appended) expected.push_back(Entry(3));
        EXPECT_EQ(*read, expected);
        if (!appended) {
            EXPECT_EQ(test::Contents(path), before);
        }
    }
    EXPECT_EQ(Entry(1).fingerprint, QStringLiteral("85198C91"));  // sha256sum of 848 FF bytes
    EXPECT_EQ(Entry(1).identity, QStringLiteral("P3207\\x00\\xF8\\xFF"));
}

// A program killed in the middle of appending leaves a log whose lines are all whole.
TEST(ProgrammingLog, SurvivesAKill) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("programming-log.csv"));
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        for (int radio = 1;; ++radio) AppendLogEntry(path, Entry(radio));
    }
    while (ReadLog(path).value().size() < 20) usleep(1000);
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status));
    const LogRead read = ReadLog(path);
    ASSERT_TRUE(read);
    ASSERT_GE(read->size(), 20u);
    for (std::size_t i = 0; i < read->size(); ++i)
        EXPECT_EQ((*read)[i], Entry(static_cast<int>(i) + 1));
}

}  // namespace
}  // namespace r7
