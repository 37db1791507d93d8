// Files handled as careful editors handle them: streams are appended to, a replaced file
// keeps its owner, mode and links, a read-only file is refused, a signal leaves no temporary
// file, and two writers never lose each other's work. Real users, processes and signals.

#include <sys/inotify.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include "cli_runner.h"
#include "files/file_lock.h"
#include "files/safe_file_writer.h"
#include "ui/tools/tools_menu.h"
#include "ui_test_support.h"

namespace {

// Runs `script` as root with sh in a new folder that nobody may enter too, with $CLI the
// tool and $AS_NOBODY a prefix running a command as nobody in group dialout; its output.
QString Shell(const QString& script) {
    QTemporaryDir dir;
    QFile::setPermissions(dir.path(), QFile::permissions(dir.path()) | QFileDevice::ExeOther);
    QProcess p;
    p.setWorkingDirectory(dir.path());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("CLI", R7_CLI_PATH);
    env.insert("AS_NOBODY", "setpriv --reuid=65534 --regid=65534 --groups=20");
    p.setProcessEnvironment(env);
    p.start("sh", {"-c", "umask 022; exec 2>e; " + script + "; umount f 2>/dev/null"});
    p.waitForFinished(30000);
    return p.readAllStandardOutput();
}

QByteArray Dat(int tweak = 0) {
    QByteArray bytes = DatFileContents(EncodeImageBytes(NewConfiguration()));
    bytes[kDatMarkSize + 0x50] = static_cast<char>(bytes[kDatMarkSize + 0x50] + tweak);
    return bytes;
}

}  // namespace

class FileCareTest : public QObject {
    Q_OBJECT
private slots:

    void streamIsWrittenWhereItStands_data() {
        QTest::addColumn<QString>("script");  // r is a data file, csv its export; out holds line1
        QTest::addRow(">> /dev/stdout")
            << "{ echo line1; cat r; } > want; $CLI new /dev/stdout >> out";
        QTest::addRow("/dev/stdout in braces")
            << "{ echo line1; cat csv; echo END; } > want; "
               "{ $CLI export-csv r -o /dev/stdout && echo END; } >> out";
        QTest::addRow("/dev/fd/3") << "{ echo line1; cat r; } > want; $CLI new /dev/fd/3 3>> out";
        QTest::addRow("/proc/self/fd/1")
            << "{ echo line1; cat r; } > want; { echo line1; $CLI new /proc/self/fd/1; } > out";
        QTest::addRow("/dev/stderr")
            << "{ echo line1; cat r; } > want; $CLI new /dev/stderr 2>> out";
        QTest::addRow("-o -") << "{ echo line1; cat csv; } > want; $CLI export-csv r -o - >> out";
    }

    void streamIsWrittenWhereItStands() {
        QFETCH(QString, script);
        QCOMPARE(Shell("echo line1 > out; $CLI new r; $CLI export-csv r > csv; " + script +
                       "; echo \"exit $?\"; cmp out want && echo same"),
                 QString("exit 0\nsame\n"));
    }

    void replacedFileKeepsWhatItWas_data() {
        QTest::addColumn<QString>("script");  // writes f
        QTest::addColumn<QString>(
            "expected");  // exit status, link, owner, mode, links, contents...
        QTest::addRow("root saves nobody:dialout 2664")
            << "echo old > f; chown nobody:dialout f; chmod 2664 f; $CLI new f"
            << "exit 0\nnobody:dialout 2664 1\nP32\n0\n";
        QTest::addRow("nobody saves root:dialout 0660 in a setgid folder: in place")
            << "chgrp dialout .; chmod 2775 .; echo old > f; chgrp dialout f; chmod 660 f; "
               "$AS_NOBODY $CLI new f"
            << "exit 0\nroot:dialout 660 1\nP32\n0\n";
        QTest::addRow("two hard links: in place") << "echo old > f; ln f g; $CLI new f && cmp f g"
                                                  << "exit 0\nroot:root 644 2\nP32\n0\n";
        QTest::addRow("0444 refused even to root")
            << "echo old > f; chmod 444 f; $CLI new f"
            << "exit 1\nroot:root 444 1\nold\n0\nis read-only\n";
        QTest::addRow("root's 0644 refused to nobody in a folder all may write")
            << "chmod 777 .; echo old > f; $AS_NOBODY $CLI new f"
            << "exit 1\nroot:root 644 1\nold\n0\nis read-only\n";
        QTest::addRow("0200: one write bit is enough") << "echo old > f; chmod 200 f; $CLI new f"
                                                       << "exit 0\nroot:root 200 1\nP32\n0\n";
        QTest::addRow("dangling link: the target is made, the link stays")
            << "mkdir s; ln -s s/r f; $CLI new f"
            << "exit 0\ns/r\nroot:root 644 1\nP32\n0\n";
        QTest::addRow("link to a file: it is replaced, the link stays")
            << "mkdir s; echo old > s/r; chmod 604 s/r; ln -s s/r f; $CLI new f"
            << "exit 0\ns/r\nroot:root 604 1\nP32\n0\n";
        QTest::addRow("umask 077: a new file is 0600") << "umask 077; $CLI new f"
                                                       << "exit 0\nroot:root 600 1\nP32\n0\n";
        QTest::addRow("size limit of 512 bytes, SIGXFSZ not ignored by the shell")
            << "echo old > f; (ulimit -f 1; exec $CLI new f)"
            << "exit 1\nroot:root 644 1\nold\n0\nFile too large\n";
        QTest::addRow("read-only bind mount: written in place, fails, names the copy")
            << "echo old > f; mount --bind f f; mount -o remount,ro,bind f; $CLI new f"
            << "exit 1\nroot:root 644 1\nold\n1\ncontents are in\n";
    }

    void replacedFileKeepsWhatItWas() {
        QFETCH(QString, script);
        QFETCH(QString, expected);
        if (::geteuid() != 0) QSKIP("needs root, to be other users and to own files for them");
        QCOMPARE(Shell(script + "; echo \"exit $?\"; readlink f; stat -Lc '%U:%G %a %h' f; "
                                "head -c3 f; echo; ls | grep -c 'part\\|lock'; "
                                "grep -o 'is read-only\\|File too large\\|contents are in' e"),
                 expected);
    }

    void twoCliWritersKeepBothChanges_data() {
        QTest::addColumn<QString>("script");  // pastes into f; then copy-rows and what e says
        QTest::addColumn<QString>("expected");
        const QString paste =
            "printf '%1\\tOff\\t%1\\tOff\\tHigh\\tOff\\tWide\\tNo' | "
            "$CLI paste-rows f - --at %2 --in-place";
        const QString run = "{ flock -s gate true; %1 & %2=$!; ";
        // Both runs wait in read(0, ...) for their rows; the shared lock on gate lets both go on at
        // the same moment.
        QTest::addRow("two at once, 30 times")
            << "exec 9>gate; for i in $(seq 30); do $CLI new f; flock 9; " +
                   run.arg(paste.arg("446.00625").arg(2).replace("| $CLI", "; } | $CLI"), "a") +
                   run.arg(paste.arg("446.01875").arg(3).replace("| $CLI", "; } | $CLI"), "b") +
                   "until grep -qs '^0 0x0 ' /proc/$a/syscall && grep -qs '^0 0x0 ' "
                   "/proc/$b/syscall; do sleep 0.01; done; flock -u 9; wait $a $b; "
                   "$CLI copy-rows f 2-3 | grep -c 446.0; done | grep -cx 2"
            << "30\nexit 0\n1\n";
        QTest::addRow("locked by a running process")
            << "$CLI new f; sleep 9 & printf '%s\\nsleep\\n\\n' $! > f.lock; " +
                   paste.arg("446.00625").arg(2) + "; r=$?; kill $!; (exit $r)"
            << "exit 1\n0\nis changing it\n";
        QTest::addRow("locked by a process that has ended")
            << "$CLI new f; printf '999999999\\n\\n\\n' > f.lock; " + paste.arg("446.00625").arg(2)
            << "exit 0\n1\n";
    }

    void twoCliWritersKeepBothChanges() {
        QFETCH(QString, script);
        QFETCH(QString, expected);
        QCOMPARE(Shell(script + "; echo \"exit $?\"; $CLI copy-rows f | grep -c 446.00625; "
                                "grep -o 'is changing it' e"),
                 expected);
    }

    void signalDuringWriteLeavesNoPart_data() {
        QTest::addColumn<int>("signal");
        QTest::addRow("SIGTERM") << SIGTERM;
        QTest::addRow("SIGINT") << SIGINT;
        QTest::addRow("SIGHUP") << SIGHUP;
    }

    void signalDuringWriteLeavesNoPart() {
        QFETCH(int, signal);
        QTemporaryDir dir;
        const QString target = dir.filePath("big.DAT");
        QVERIFY(test::WriteFile(target, "old"));
        // The signal comes as soon as the temporary file appears, while 256 MiB are being written.
        const int watch = ::inotify_init1(IN_CLOEXEC);
        QVERIFY(::inotify_add_watch(watch, dir.path().toLocal8Bit(), IN_CREATE) >= 0);
        const pid_t child = ::fork();
        if (child == 0) {
            for (const int s : {SIGINT, SIGTERM, SIGHUP})
                std::signal(s, SIG_DFL);  // a fresh program
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

    void windowSeesOtherWriters_data() { test::AddRows("other_writers", {"writers"}); }

    void windowSeesOtherWriters() {
        QFETCH(QString, writers);
        test::WindowFixture w;
        const QString f = w.path("x.DAT");
        QVERIFY(test::WriteFile(f, Dat()));
        const QString changed = f +
                                " has been changed by another program since it was opened or "
                                "saved here.";
        if (writers.startsWith("Save")) {
            QVERIFY(w.form->openFile(f));
            FileLock held(f);
            if (writers.contains("locked")) QVERIFY(held.acquire().has_value());
            if (writers.contains("change")) QVERIFY(test::WriteFile(f, Dat(5)));
            if (writers.contains("read-only")) QFile::setPermissions(f, QFileDevice::ReadOwner);
            w.boxes.expect({writers.endsWith("OK") ? kResultOk : kResultCancel});
            const bool saved = w.form->saveFile(f);
            QCOMPARE(w.boxes.shown.size(), std::size_t{1});
            const QString said = w.boxes.shown.back().prompt;
            const QString pid = QString::number(QCoreApplication::applicationPid());
            QVERIFY2(said.contains(writers.contains("locked")      ? "process " + pid
                                   : writers.contains("read-only") ? f + " is read-only"
                                                                   : changed),
                     qPrintable(said));
            // Refusals are mistakes, like every failed save; the question is not.
            QCOMPARE(w.boxes.shown.back().flags, writers.contains("change") ? 0x131u : 16u);
            QCOMPARE(saved, writers.endsWith("OK"));
            QCOMPARE(test::Contents(f), writers.endsWith("Cancel") ? Dat(5) : Dat());
        } else if (writers.startsWith("brought")) {
            w.form->show();
            QVERIFY(w.form->openFile(f));
            QVERIFY(test::WriteFile(f, Dat(5)));
            for (int i = 0; i < 2; ++i) {
                QApplication::setActiveWindow(nullptr);
                QApplication::setActiveWindow(w.form.get());
                test::Settle();
            }
            QCOMPARE(w.boxes.texts(), QStringList{"Morvane-R7|48|" + changed});
        } else {
            test::WindowFixture other;
            const QString ini = w.path("tools.ini");
            auto* a = new ToolsMenu(*w.form, ini);
            auto* b = new ToolsMenu(*other.form, ini);  // both opened before either changes
            a->actions().verify->setChecked(true);
            b->actions().backup->setChecked(true);
            const ToolsOptions saved = LoadToolsOptions(ini);
            QVERIFY(saved.verifyAfterWriting && saved.backupBeforeWriting);
        }
    }
};

QTEST_MAIN(FileCareTest)
#include "file_care_test.moc"
