// Interrupted transfers and the port's problems, for real: signals sent to the command line
// tool while it talks to morvane-r7-sim, type-ahead on a pseudo-terminal, a port another
// program holds, a port that goes away, and stale bytes waiting on the line.

#include <fcntl.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <QFile>
#include <QSerialPort>
#include <QTemporaryDir>

#include "files/dat_file.h"
#include "image/editor_defaults.h"
#include "link/port_selection.h"
#include "link/transfer_controller.h"
#include "link_test_support.h"

namespace r7::link {
namespace {

using namespace r7::link::testing;
[[maybe_unused]] const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

// Collects what a process prints on its read channel until it holds `text`.
bool Says(QProcess& process, QByteArray& seen, const QByteArray& text) {
    QElapsedTimer t;
    t.start();
    while (!seen.contains(text) && t.elapsed() < 10000 && process.state() != QProcess::NotRunning) {
        process.waitForReadyRead(50);
        seen += process.readAll();
    }
    seen += process.readAll();
    return seen.contains(text);
}

QString DataFile(const QTemporaryDir& dir) {
    EditorState state = NewConfiguration();
    state.cell(1, ColReceive) = "446.00625";
    QString path = dir.filePath("in.DAT");
    EXPECT_TRUE(WriteDatFile(path, EncodeImageBytes(state)).ok);
    return path;
}

TEST(InterruptedTransfer, EndGoesOutTheStatusIs128PlusTheSignalAndTheMessageSaysWhatIsLeft) {
    const struct {
        int signal, times;
        const char *command, *fault, *says;
    } cases[] = {
        {SIGINT, 1, "write", "stop-after=16", "interrupted: the radio holds 16 of the 46 new blocks; write it again"},
        {SIGTERM, 1, "write", "stop-after=16", "interrupted: the radio holds 16 of the 46 new blocks; write it again"},
        {SIGHUP, 1, "read", "stop-after=3", "interrupted: nothing was saved"},
        {SIGINT, 2, "write", "stop-after=16", "interrupted again: quitting"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.command) + " " + std::to_string(c.signal) + " x" + std::to_string(c.times));
        QTemporaryDir dir;
        Sim sim({"--fault", c.fault});
        QProcess cli;
        cli.setReadChannel(QProcess::StandardError);
        QStringList args{c.command, "--port", sim.device, "--watchdog-ms", "20000"};
        if (QByteArray(c.command) == "read") args << "-o" << dir.filePath("out.DAT");
        else args << DataFile(dir);
        cli.start(R7_CLI_PATH, args);
        QByteArray radio, err;
        ASSERT_TRUE(Says(sim.process, radio, "stopped answering"));
        ::kill(static_cast<pid_t>(cli.processId()), c.signal);
        if (c.times == 2) {
            ASSERT_TRUE(Says(cli, err, "Ctrl-C again"));
            ::kill(static_cast<pid_t>(cli.processId()), c.signal);
        }
        ASSERT_TRUE(cli.waitForFinished(5000));
        EXPECT_EQ(cli.exitCode(), 128 + c.signal);
        err += cli.readAllStandardError();
        EXPECT_TRUE(err.contains(c.says)) << err.toStdString();
        EXPECT_TRUE(Says(sim.process, radio, "End received"));
        EXPECT_FALSE(QFile::exists(dir.filePath("out.DAT")));
    }
}

TEST(BatchCli, KeysPressedWhileARadioIsWrittenDoNotCountAsTheNextRadio) {
    QTemporaryDir dir;
    Sim sim({});
    const int terminal = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_TRUE(terminal >= 0 && grantpt(terminal) == 0 && unlockpt(terminal) == 0);
    ::fcntl(terminal, F_SETFD, FD_CLOEXEC);  // only this test holds the keyboard's end
    QProcess batch;
    batch.setStandardInputFile(QString::fromLocal8Bit(ptsname(terminal)));
    batch.start(R7_CLI_PATH, {"write", "--port", sim.device, DataFile(dir), "--repeat"});
    ASSERT_TRUE(batch.waitForStarted(5000));
    ASSERT_EQ(::write(terminal, "\n\n", 2), 2);  // typed ahead while radio 1 is written
    QByteArray out;
    ASSERT_TRUE(Says(batch, out, "connect radio 2 and press Enter")) << out.toStdString();
    ASSERT_EQ(::write(terminal, "\n", 1), 1);
    ASSERT_TRUE(Says(batch, out, "connect radio 3 and press Enter")) << out.toStdString();
    ::close(terminal);  // the end of input ends the batch
    ASSERT_TRUE(batch.waitForFinished(5000));
    out += batch.readAllStandardOutput();
    EXPECT_EQ(batch.exitCode(), 0);
    EXPECT_TRUE(out.endsWith("batch ended: 2 radios programmed\n")) << out.toStdString();
}

TEST(PortProblems, BusyPortNamesItsHolderAndAPortThatGoesAwayLosesItsMark) {
    QTemporaryDir dir;
    Sim sim({});
    {
        QSerialPort holder(sim.device);
        ASSERT_TRUE(holder.open(QIODevice::ReadWrite));
        const CliRun run = Cli({"read", "--port", sim.device, "-o", dir.filePath("out.DAT")});
        EXPECT_EQ(run.exitCode, 1);
        const QString busy = QStringLiteral("in use by another program (process %1)").arg(QCoreApplication::applicationPid());
        EXPECT_TRUE(run.err.contains(busy.toUtf8())) << run.err.toStdString();
    }
    if (::geteuid() != 0) {  // root may open anything
        const QString forbidden = dir.filePath("forbidden");
        ASSERT_TRUE(WriteFile(forbidden, "x") && QFile::setPermissions(forbidden, QFileDevice::ReadOwner));
        EXPECT_TRUE(Cli({"read", "--port", forbidden, "-o", dir.filePath("out.DAT")}).err.contains("dialout"));
    }
    qputenv("MORVANE_R7_COM1", sim.device.toLocal8Bit());
    TransferController controller;
    PortSelection ports(controller.link());
    ports.SelectPort(1);
    ASSERT_TRUE(ports.isChecked(1));
    sim.Stop();
    bool unmarked = false;
    QObject::connect(&ports, &PortSelection::checkMarksChanged, [&] { unmarked = !ports.isChecked(1); });
    RunUntil(unmarked, 3000);
    EXPECT_TRUE(unmarked);
    EXPECT_FALSE(controller.link().isOpen());
}

TEST(TransferControllerEndToEnd, BytesWaitingBeforeTheWakeUpAreThrownAway) {
    Sim sim({});
    TransferController controller;
    ASSERT_TRUE(controller.link().open(sim.device));
    const int fd = static_cast<int>(controller.link().nativeHandle());
    ASSERT_EQ(::write(fd, "PROGRAM\x02", 8), 8);  // an earlier program's handshake, answered after it died
    int waiting = 0;  // acknowledgement and identity
    QElapsedTimer clock;
    clock.start();
    while (waiting < 9 && clock.elapsed() < 3000) ::ioctl(fd, FIONREAD, &waiting);
    ASSERT_EQ(waiting, 9);
    bool ended = false, ok = false;
    QObject::connect(&controller, &TransferController::transferSucceeded, [&] { ended = ok = true; });
    QObject::connect(&controller, &TransferController::transferFailed, [&] { ended = true; });
    controller.setWatchdogInterval(1000);
    ASSERT_EQ(controller.startRead(), StartResult::Started);
    RunUntil(ended, 5000);
    EXPECT_TRUE(ok);
}

}  // namespace
}  // namespace r7::link
