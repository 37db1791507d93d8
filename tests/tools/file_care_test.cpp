// Files handled as careful editors handle them: streams are appended to, a replaced file
// keeps its owner, mode and links, a read-only file is refused, a signal leaves no temporary
// file, and two writers never lose each other's work. Real users, processes and signals.

#include <sys/inotify.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include "cli_runner.h"
#include "files/file_lock.h"
#include "ui/tools/tools_menu.h"
#include "ui_test_support.h"

namespace {

// Runs `script` in `folder` with $CLI set, as root or as nobody (in group dialout).
test::CliRun Shell(const QString& folder, const QString& script, bool asNobody = false) {
    QProcess p;
    p.setWorkingDirectory(folder);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("CLI", R7_CLI_PATH);
    p.setProcessEnvironment(env);
    const QStringList sh{"sh", "-c", script};
    if (asNobody)
        p.start("setpriv", QStringList{"--reuid=65534", "--regid=65534", "--groups=20"} + sh);
    else
        p.start(sh.front(), sh.mid(1));
    p.waitForFinished(30000);
    return {p.exitCode(), p.readAllStandardOutput(), p.readAllStandardError()};
}

QByteArray Dat(int channel5Tweak = 0) {
    QByteArray bytes = DatFileContents(EncodeImageBytes(NewConfiguration()));
    bytes[kDatMarkSize + 0x50] = static_cast<char>(bytes[kDatMarkSize + 0x50] + channel5Tweak);
    return bytes;
}

}  // namespace

class FileCareTest : public QObject {
    Q_OBJECT
private slots:
    void streamIsWrittenWhereItStands_data();
    void streamIsWrittenWhereItStands();
    void replacedFileKeepsWhatItWas_data();
    void replacedFileKeepsWhatItWas();
    void signalDuringWriteLeavesNoPart_data();
    void signalDuringWriteLeavesNoPart();
    void twoWritersKeepBothChanges_data();
    void twoWritersKeepBothChanges();
};

void FileCareTest::streamIsWrittenWhereItStands_data() {
    QTest::addColumn<QString>("script");  // writes "OUT" after "line1" into out.txt
    QTest::addRow("/dev/stdout >>") << "$CLI export-csv a.DAT -o /dev/stdout >> out.txt";
    QTest::addRow("/dev/stdout in braces")
        << "{ $CLI export-csv a.DAT -o /dev/stdout; echo FOOTER; } >> out.txt";
    QTest::addRow("/dev/fd/3") << "$CLI new /dev/fd/3 3>> out.txt";
    QTest::addRow("/proc/self/fd/1 >") << "{ echo line1; $CLI new /proc/self/fd/1; } > out.txt";
    QTest::addRow("- >>") << "$CLI export-csv a.DAT -o - >> out.txt";
    QTest::addRow("/dev/stderr 2>>") << "$CLI new /dev/stderr 2>> out.txt";
}

void FileCareTest::streamIsWrittenWhereItStands() {
    QFETCH(QString, script);
    QTemporaryDir dir;
    QVERIFY(test::WriteFile(dir.filePath("a.DAT"), Dat(5)));
    QVERIFY(test::WriteFile(dir.filePath("out.txt"), "line1\n"));
    const bool csv = script.contains("export-csv");
    const QByteArray written = csv ? test::Cli({"export-csv", dir.filePath("a.DAT")}).out : Dat();
    const test::CliRun run = Shell(dir.path(), script);
    QCOMPARE(run.exitCode, 0);
    const QByteArray footer = script.contains("FOOTER") ? "FOOTER\n" : "";
    QCOMPARE(test::Contents(dir.filePath("out.txt")), "line1\n" + written + footer);
}

void FileCareTest::replacedFileKeepsWhatItWas_data() {
    QTest::addColumn<QString>("setup");   // as root in an empty folder d
    QTest::addColumn<QString>("script");  // the write, in d
    QTest::addColumn<bool>("asNobody");
    QTest::addColumn<QString>("error");  // empty: exit 0
    QTest::addColumn<QString>("check");  // its output is compared with `expected`
    QTest::addColumn<QString>("expected");
    const QString stat = "stat -c '%U:%G %a %h' f.DAT; head -c5 f.DAT; ls | grep -c part; ";
    QTest::addRow("root saves nobody:dialout 2664")
        << "echo old > f.DAT; chown nobody:dialout f.DAT; chmod 2664 f.DAT"
        << "$CLI new f.DAT" << false << "" << stat << "nobody:dialout 2664 1\nP32070\n";
    QTest::addRow("nobody saves root:dialout 0660 in a setgid folder: in place")
        << "chgrp dialout .; chmod 2775 .; echo old > f.DAT; chgrp dialout f.DAT; chmod 660 "
           "f.DAT"
        << "$CLI new f.DAT" << true << "" << stat << "root:dialout 660 1\nP32070\n";
    QTest::addRow("two hard links: in place")
        << "echo old > f.DAT; ln f.DAT g.DAT"
        << "$CLI new f.DAT" << false << "" << stat + "cmp f.DAT g.DAT && echo same"
        << "root:root 644 2\nP32070\nsame\n";
    QTest::addRow("0444 refused even for root")
        << "echo old > f.DAT; chmod 444 f.DAT"
        << "$CLI new f.DAT" << false << "f.DAT is read-only" << stat << "root:root 444 1\nold\n0\n";
    QTest::addRow("root's 0644 refused to nobody in a folder all may write")
        << "chmod 777 .; echo old > f.DAT"
        << "$CLI new f.DAT" << true << "f.DAT is read-only" << stat << "root:root 644 1\nold\n0\n";
    QTest::addRow("0200: one write bit is enough")
        << "echo old > f.DAT; chmod 200 f.DAT"
        << "$CLI new f.DAT" << false << "" << stat << "root:root 200 1\nP32070\n";
    QTest::addRow("dangling link: the target is made, the link stays")
        << "ln -s sub/real.DAT f.DAT; mkdir sub"
        << "$CLI new f.DAT" << false << ""
        << "readlink f.DAT; head -c5 sub/real.DAT; stat -c %a sub/real.DAT"
        << "sub/real.DAT\nP3207644\n";
    QTest::addRow("link to a file: it is replaced, the link stays")
        << "mkdir sub; echo old > sub/real.DAT; chmod 604 sub/real.DAT; ln -s sub/real.DAT f.DAT"
        << "$CLI new f.DAT" << false << ""
        << "readlink f.DAT; head -c5 sub/real.DAT; stat -c %a sub/real.DAT"
        << "sub/real.DAT\nP3207604\n";
    QTest::addRow("umask 077: a new file is 0600")
        << ""
        << "umask 077; $CLI new f.DAT" << false << "" << stat << "root:root 600 1\nP32070\n";
    QTest::addRow("size limit with SIGXFSZ left to end the program")
        << "echo old > f.DAT"
        << "ulimit -f 0; $CLI new f.DAT" << false << "File too large" << stat
        << "root:root 644 1\nold\n0\n";
    QTest::addRow("read-only bind mount: the copy is named")
        << "echo old > f.DAT; mount --bind f.DAT f.DAT; mount -o remount,ro,bind f.DAT"
        << "$CLI new f.DAT" << false << "; the complete new contents are in "
        << "head -c5 f.DAT; head -c5 f.DAT.*.part"
        << "old\nP3207";
}

void FileCareTest::replacedFileKeepsWhatItWas() {
    QFETCH(QString, setup);
    QFETCH(QString, script);
    QFETCH(bool, asNobody);
    QFETCH(QString, error);
    QFETCH(QString, check);
    QFETCH(QString, expected);
    if (::geteuid() != 0) QSKIP("needs root, to be other users and to own files for them");
    QTemporaryDir dir;
    QFile::setPermissions(dir.path(), QFile::permissions(dir.path()) | QFileDevice::ExeOther);
    const QString d = dir.filePath("d");
    QVERIFY(QDir().mkdir(d));
    const auto unmount = qScopeGuard([&d] { Shell(d, "umount f.DAT 2>/dev/null"); });
    QCOMPARE(Shell(d, "umask 022; " + setup).exitCode, 0);
    const test::CliRun run = Shell(d, "umask 022; " + script, asNobody);
    QCOMPARE(run.exitCode, error.isEmpty() ? 0 : 1);
    QVERIFY2(run.err.contains(error.toUtf8()), run.err.constData());
    QCOMPARE(QString(Shell(d, check).out), expected);
}

void FileCareTest::signalDuringWriteLeavesNoPart_data() {
    QTest::addColumn<int>("signal");
    QTest::addRow("SIGTERM") << SIGTERM;
    QTest::addRow("SIGINT") << SIGINT;
    QTest::addRow("SIGHUP") << SIGHUP;
}

void FileCareTest::signalDuringWriteLeavesNoPart() {
    QFETCH(int, signal);
    QTemporaryDir dir;
    const QString target = dir.filePath("big.DAT");
    QVERIFY(test::WriteFile(target, "old"));
    // The signal comes as soon as the temporary file appears, while 256 MiB are being written.
    const int watch = ::inotify_init1(IN_CLOEXEC);
    QVERIFY(::inotify_add_watch(watch, dir.path().toLocal8Bit(), IN_CREATE) >= 0);
    const pid_t child = ::fork();
    if (child == 0) {
        for (const int s : {SIGINT, SIGTERM, SIGHUP}) std::signal(s, SIG_DFL);  // a fresh program
        PrepareFileWritingForSignals();
        WriteFileSafely(target, QByteArray(256 << 20, 'x'));
        ::_exit(0);
    }
    alignas(inotify_event) char event[sizeof(inotify_event) + 256];
    QVERIFY(::read(watch, event, sizeof event) > 0);
    ::kill(child, signal);
    int status = 0;
    ::waitpid(child, &status, 0);
    ::close(watch);
    QVERIFY(WIFSIGNALED(status) && WTERMSIG(status) == signal);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"big.DAT"});
    QCOMPARE(test::Contents(target), QByteArray("old"));
}

void FileCareTest::twoWritersKeepBothChanges_data() {
    QTest::addColumn<QString>("writers");
    for (const char* w :
         {"two paste-rows --in-place, 30 times", "paste-rows while locked", "Save while locked",
          "Save over a change: Cancel", "Save over a change: OK",
          "brought to the front after a change", "two windows' options"}) {
        QTest::addRow("%s", w) << w;
    }
}

void FileCareTest::twoWritersKeepBothChanges() {
    QFETCH(QString, writers);
    test::WindowFixture w;
    const QString f = w.path("x.DAT");
    QVERIFY(test::WriteFile(f, Dat()));
    const QString pid = QString::number(QCoreApplication::applicationPid());
    const auto paste = [&f](const char* channel) {
        auto p = std::make_unique<QProcess>();
        p->start(R7_CLI_PATH, {"paste-rows", f, "-", "--at", channel, "--in-place"});
        return p;
    };
    const auto feed = [](QProcess& p, const char* frequency) {
        p.write(QByteArray(frequency) + "\tOff\t" + frequency + "\tOff\tHigh\tOff\tWide\tNo\r\n");
        p.waitForBytesWritten();
        p.closeWriteChannel();
    };
    // Waiting in read(0, ...) for its rows: both runs then go on from the same moment.
    const auto waiting = [](QProcess& p) {
        return test::Contents(QString("/proc/%1/syscall").arg(p.processId())).startsWith("0 0x0 ");
    };
    if (writers.startsWith("two paste")) {
        for (int round = 0; round < 30; ++round) {
            QVERIFY(test::WriteFile(f, Dat()));
            const auto a = paste("2"), b = paste("3");
            QVERIFY(QTest::qWaitFor([&] { return waiting(*a) && waiting(*b); }, 10000));
            feed(*a, "446.00625");
            feed(*b, "446.01875");
            QVERIFY(a->waitForFinished(20000) && b->waitForFinished(20000));
            QVERIFY2(a->exitCode() + b->exitCode() == 0,
                     (a->readAllStandardError() + b->readAllStandardError()).constData());
            const QByteArray rows = test::Cli({"copy-rows", f, "2-3"}).out;
            QVERIFY2(rows.contains("446.00625") && rows.contains("446.01875"), rows.constData());
        }
        return;
    }
    FileLock held(f);
    if (writers.endsWith("locked")) QVERIFY(held.acquire().ok);
    if (writers.startsWith("paste-rows")) {
        const auto p = paste("2");
        feed(*p, "446.00625");
        QVERIFY(p->waitForFinished(20000));
        QCOMPARE(p->exitCode(), 1);
        QVERIFY(p->readAllStandardError().contains("process " + pid.toUtf8() + " is changing it"));
    } else if (writers.startsWith("Save")) {
        QVERIFY(w.form->openFile(f));
        if (writers.contains("change")) QVERIFY(test::WriteFile(f, Dat(5)));
        w.boxes.expect({writers.endsWith("OK") ? kResultOk : kResultCancel});
        const bool saved = w.form->saveFile(f);
        QCOMPARE(w.boxes.shown.size(), std::size_t{1});
        const QString said = w.boxes.shown.back().prompt;
        QVERIFY2(said.contains(writers.endsWith("locked") ? "process " + pid
                                                          : f + " has been changed by another"),
                 qPrintable(said));
        QCOMPARE(saved, writers.endsWith("OK"));
        QCOMPARE(test::Contents(f), saved ? Dat() : writers.contains("change") ? Dat(5) : Dat());
    } else if (writers.startsWith("brought")) {
        w.form->show();
        QVERIFY(w.form->openFile(f));
        QVERIFY(test::WriteFile(f, Dat(5)));
        for (int i = 0; i < 2; ++i) {
            QApplication::setActiveWindow(nullptr);
            QApplication::setActiveWindow(w.form.get());
            test::Settle();
        }
        QCOMPARE(w.boxes.texts(), QStringList{"Morvane-R7|48|" + f +
                                              " has been changed by another program "
                                              "since it was opened or saved here."});
    } else {
        test::WindowFixture other;
        const QString ini = w.path("tools.ini");
        auto* a = new ToolsMenu(*w.form, ini);
        auto* b = new ToolsMenu(*other.form, ini);
        a->actions().verify->setChecked(true);
        b->actions().backup->setChecked(true);
        const ToolsOptions saved = LoadToolsOptions(ini);
        QVERIFY(saved.verifyAfterWriting && saved.backupBeforeWriting);
    }
}

QTEST_MAIN(FileCareTest)
#include "file_care_test.moc"
