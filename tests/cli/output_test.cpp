// Standard output that cannot be written is a failure, said once; a reader that has gone
// away ends the command quietly. Real devices, a real full file system and real pipes.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <QTemporaryDir>

#include "cli_checks.h"
#include "data_table.h"

namespace {

using namespace r7::test;

// A full file system of its own, mounted in a mount namespace of its own (99: not possible).
const char kFullTmpfs[] =
    "mkdir -p \"$0\" && mount -t tmpfs -o size=4k tmpfs \"$0\" || exit 99; "
    "cat /dev/zero > \"$0/fill\" 2>/dev/null; exec \"$@\" > \"$0/out\"";

// Runs the tool with its standard output sent `where` (see the table).
CliRun RunTo(const QString& where, const QStringList& args, const QTemporaryDir& dir) {
    QProcess p;
    int ends[2] = {-1, -1};
    if (where == "full") p.setStandardOutputFile(dir.filePath("full"));
    if (where == "closed" && ::pipe(ends) == 0) {
        ::close(ends[0]);  // the reader has gone
        p.setChildProcessModifier([&] { ::dup2(ends[1], STDOUT_FILENO); });
    }
    if (where == "tmpfs")
        p.start("unshare",
                QStringList{"-m", "sh", "-c", kFullTmpfs, dir.filePath("fs"), R7_CLI_PATH} + args);
    else
        p.start(R7_CLI_PATH, args);
    p.waitForFinished(30000);
    ::close(ends[1]);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : 1000 + p.exitCode(),
            p.readAllStandardOutput(), p.readAllStandardError()};
}

TEST(CliOutput, AFailedWriteIsAFailureAClosedPipeEndsQuietly) {
    QTemporaryDir dir;
    ASSERT_EQ(::mknod(dir.filePath("full").toLocal8Bit(), S_IFCHR | 0666, makedev(1, 7)), 0)
        << "needs root to make a device node like /dev/full";
    const QMap<QString, QString> at{{"$good", dir.filePath("good.DAT")},
                                    {"$other", dir.filePath("other.DAT")},
                                    {"$out", dir.filePath("out.DAT")}};
    ASSERT_EQ(Cli({"new", at["$good"]}).exitCode, 0);
    ASSERT_TRUE(WriteFile(at["$other"], Contents(at["$good"]).replace(5 + 0x11F, 1, "\0", 1)));
    for (const Fields& c : Table("stdout_failures")) {
        SCOPED_TRACE(c[0] + " > " + c[1]);
        QStringList args = QString::fromStdString(c[0]).split(' ', Qt::SkipEmptyParts);
        for (QString& a : args) a = at.value(a, a);
        const CliRun run = RunTo(QString::fromStdString(c[1]), args, dir);
        if (run.exitCode == 99) continue;  // no tmpfs can be mounted here
        EXPECT_EQ(run.exitCode, std::stoi(c[2])) << run.err.toStdString();
        EXPECT_TRUE(c[3].empty() ? run.err.isEmpty() : run.err.contains(c[3]))
            << run.err.toStdString();
        EXPECT_EQ(run.err.count("write error"), c[3].empty() ? 0 : 1);
    }
}

}  // namespace
