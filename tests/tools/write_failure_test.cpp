// Every writer of the program against real failures of the file system: a failed write is
// reported with the file and the reason, and the old file stays byte for byte as it was.

#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <csignal>

#include "link/backup_file.h"
#include "ui/tools/tools_menu.h"
#include "window_sim_support.h"

namespace {

// Each writer's outcome as the file layer reports it: done, or what the user was told.
using Outcome = FileResult;
Outcome Told(bool ok, const QString& told) { return ok ? Outcome{} : Unexpected(told); }

// The command line tool's writers; "T" in the arguments is the target, "I/" the folder of
// inputs, "S" the simulated radio.
const std::map<QString, QStringList> kCliWriters = {
    {"new", {"new", "T"}},
    {"encode", {"encode", "I/state.json", "T"}},
    {"read -o", {"read", "--port", "S", "-o", "T"}},
    {"paste-rows", {"paste-rows", "I/base.DAT", "I/rows.txt", "--at", "1", "-o", "T"}},
    {"import-csv", {"import-csv", "I/channels.csv", "T"}},
    {"export-csv -o", {"export-csv", "I/base.DAT", "-o", "T"}},
};

Outcome Cli(QStringList args, const QString& target, const QString& inputs, const QString& radio) {
    args.replaceInStrings(QRegularExpression("^T$"), target)
        .replaceInStrings(QRegularExpression("^I/"), inputs);
    args.replaceInStrings(QRegularExpression("^S$"), radio);
    QProcess p;
    p.start(QStringLiteral(R7_CLI_PATH), args);
    p.waitForFinished(30000);
    return Told(p.exitCode() != 1, QString::fromLocal8Bit(p.readAllStandardError()));
}

// The window's Save or the Tools CSV export, answered with `target`.
Outcome Window(const QString& target, const QString& toolsIni) {
    test::WindowFixture w;
    w.files.answers = {target};
    const QString caption = w.form->windowTitle();
    if (toolsIni.isEmpty())
        w.form->menus().mnuAssave->trigger();
    else
        (new ToolsMenu(*w.form, toolsIni))->actions().exportCsv->trigger();
    const bool said = !w.boxes.shown.empty();
    return Told(!said || (toolsIni.isEmpty() &&
                          (w.boxes.shown.back().flags != 16 || w.form->windowTitle() != caption)),
                said ? w.boxes.shown.back().prompt : QString());
}

QStringList Listing(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::System | QDir::Hidden);
}

}  // namespace

class WriteFailureTest : public QObject {
    Q_OBJECT
private slots:

    void failedWriteKeepsTheOldFileAndSaysWhy_data() {
        QTest::addColumn<QString>("writer");
        QTest::addColumn<QString>("failure");
        QStringList writers{"Save", "Tools CSV export", "tools.ini", "backup"};
        for (const auto& cli : kCliWriters) writers << cli.first;
        for (const QString& writer : writers) {
            for (const char* failure : {"size limit", "/dev/full", "read-only folder",
                                        "missing folder", "full 4k tmpfs"}) {
                QTest::addRow("%s, %s", qPrintable(writer), failure) << writer << failure;
            }
        }
    }

    void failedWriteKeepsTheOldFileAndSaysWhy() {
        QFETCH(QString, writer);
        QFETCH(QString, failure);
        const bool root = ::geteuid() == 0;
        const bool window = writer == "Save" || writer == "Tools CSV export";
        if ((failure == "/dev/full" || failure == "full 4k tmpfs") && !root) QSKIP("needs root");
        // The window adds its extension to a name without one, and a backup names its own file.
        if (failure == "/dev/full" && (window || writer == "backup"))
            QSKIP("no device target here");
        if (failure == "missing folder" && writer == "tools.ini")
            QSKIP("tools.ini makes its folder");

        QTemporaryDir inputs, place;
        const QString in = inputs.path() + QLatin1Char('/');
        QVERIFY(WriteDatFile(in + "base.DAT", EncodeImageBytes(NewConfiguration())).has_value());
        QVERIFY(test::WriteFile(in + "state.json", "{}"));
        QVERIFY(test::WriteFile(in + "rows.txt",
                                "446.00625\tOff\t446.00625\tOff\tHigh\tOff\tWide\tNo\r\n"));
        QVERIFY(test::WriteFile(in + "channels.csv", "Location,Frequency\n1,446.00625\n"));
        std::unique_ptr<test::Sim> sim;
        if (writer == "read -o")
            sim =
                std::make_unique<test::Sim>(QStringList{QStringLiteral("--load"), in + "base.DAT"});

        const QString folder = place.path() + "/fs";
        QVERIFY(QDir().mkpath(folder));
        const bool mounted = root && (failure == "read-only folder" || failure == "full 4k tmpfs");
        if (mounted) QVERIFY(::mount("tmpfs", folder.toLocal8Bit(), "tmpfs", 0, "size=4k") == 0);
        const auto unmount = qScopeGuard([&] {
            if (mounted) ::umount(folder.toLocal8Bit());
        });
        QString target = folder + (writer == "tools.ini"          ? "/tools.ini"
                                   : writer == "Tools CSV export" ? "/old.csv"
                                                                  : "/old.DAT");
        const QByteArray old =
            "[write]\nverifyAfterWriting=true\n";  // the old contents every case keeps
        QVERIFY(test::WriteFile(target, old));
        if (failure == "full 4k tmpfs") test::WriteFile(folder + "/filler", QByteArray(8192, 'x'));
        if (failure == "missing folder") target = folder + "/missing/new.DAT";
        if (failure == "/dev/full") {  // a node of its own, so that a faulty writer cannot replace
                                       // the system's
            target = place.filePath("full");
            QVERIFY(::mknod(target.toLocal8Bit(), S_IFCHR | 0666, makedev(1, 7)) == 0);
        }
        if (failure == "read-only folder") {
            if (root)
                QVERIFY(::mount(nullptr, folder.toLocal8Bit(), nullptr, MS_REMOUNT | MS_RDONLY,
                                "size=4k") == 0);
            QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        }
        const QStringList before = Listing(folder);

        const auto write = [&](const QString& t) {
            if (window)
                return Window(t, writer == "Save" ? QString() : place.filePath("tools.ini"));
            if (writer == "tools.ini") return SaveToolsOptions(t, ToolsOptions{});
            if (writer == "backup") {
                const link::BackupResult r = link::SaveBackup(QFileInfo(t).path(), ImageBytes{},
                                                              QDateTime::currentDateTime());
                return r ? Outcome{} : Unexpected(r.error());
            }
            return Cli(kCliWriters.at(writer), t, in, sim ? sim->device : QString());
        };

        Outcome outcome{};
        {
            // Room for the port's lock file, not for 853 bytes; children inherit the limit.
            std::optional<test::FileSizeLimit> limit;
            if (failure == "size limit") limit.emplace(writer == "read -o" ? 512 : 0);
            outcome = write(target);
        }
        QFile::setPermissions(
            folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

        QVERIFY2(!outcome, qPrintable(outcome.error()));
        const QString named = writer == "backup" ? QFileInfo(target).path() : target;
        QVERIFY2(outcome.error().contains(named), qPrintable(outcome.error()));
        const QString reason = failure == "size limit"       ? "File too large"
                               : failure == "missing folder" ? "does not exist"
                               : failure == "read-only folder"
                                   ? (root ? "Read-only file system" : "Permission denied")
                                   : "No space left on device";
        if (writer != "tools.ini" || failure != "size limit")
            QVERIFY2(outcome.error().contains(reason), qPrintable(outcome.error()));
        QCOMPARE(Listing(folder), before);  // nothing new, nothing left behind
        if (failure == "/dev/full") {
            struct stat node {};
            QVERIFY(::stat(target.toLocal8Bit(), &node) == 0 && S_ISCHR(node.st_mode));
        } else if (failure != "missing folder") {
            QCOMPARE(test::Contents(target), old);
        }
    }
};

QTEST_MAIN(WriteFailureTest)
#include "write_failure_test.moc"
