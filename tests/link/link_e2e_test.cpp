// Reads and writes end to end, the CLI and the transfer controller against morvane-r7-sim on a
// pseudo-terminal; and their problems for real: signals sent to the tool mid-transfer,
// type-ahead on a pseudo-terminal, a port another program holds, a port that goes away, stale
// bytes waiting on the line; and where port names lead.

#include <fcntl.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <QEventLoop>
#include <QFile>
#include <QSerialPort>
#include <QTimer>

#include "cli_checks.h"
#include "files/tools_settings.h"
#include "link/port_naming.h"
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

TEST(LinkEndToEnd, CliReadThroughTheMenuNameOfThePortThenWritesTheWriteListOnly) {
    for (bool service : {false, true}) {
        QTemporaryDir dir;
        const QString radio = dir.filePath("radio.DAT"), saved = dir.filePath("saved.DAT"), in = dir.filePath("in.DAT"),
                      out = dir.filePath("out.DAT");
        // What the tool writes is the encoded editor, so the input is an encoded one.
        EditorState state = NewConfiguration();
        state.cell(1, ColReceive) = "446.00625";
        state.PowerHigh = 0x77;
        const ImageBytes written = EncodeImageBytes(state), before = Pattern(3);
        ASSERT_TRUE(WriteDatFile(radio, before).ok && WriteDatFile(in, written).ok);
        Sim sim({"--load", radio, "--save", saved});
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("MORVANE_R7_COM3", sim.device);
        ASSERT_TRUE(Ends(Cli({"read", "--port", "COM3", "-o", out}, {}, env), 0));
        EXPECT_EQ(Contents(out).size(), 853);
        EXPECT_EQ(Contents(out).left(5 + 0x340), DatBytes(before).left(5 + 0x340));
        ASSERT_TRUE(Ends(Cli(QStringList{"write", "--port", sim.device, in, "--service"}.mid(0, service ? 5 : 4)), 0));
        sim.Stop();
        const ImageBytes after = DatImage(Contents(saved));
        for (std::size_t k = 0; k < after.size(); ++k) {
            // Image offsets the write list covers: 000-16F, 170-17F in service mode, 1A8-1B7, 1F0-34F.
            const bool covered = k < 0x170 || (service && k < 0x180) || (k >= 0x1A8 && k < 0x1B8) || k >= 0x1F0;
            EXPECT_EQ(after[k], covered ? written[k] : before[k]) << "offset " << k << " service " << service;
        }
    }
}

// The controller's own part: the real watchdog timer, and End only after the message closed
// (the window tests show the rest of each transfer end to end).
TEST(TransferControllerEndToEnd, SilentRadioMeetsTheRealWatchdogAndEndFollowsTheMessage) {
    Sim sim({"--fault", "silent"});
    TransferController c;
    ASSERT_TRUE(c.link().open(sim.device));
    QStringList order;
    bool failed = false;
    QObject::connect(&c, &TransferController::messageRequested, [&](const QString& text, int flags) {
        order << QStringLiteral("message %1").arg(flags);
        EXPECT_EQ(text, QString(kWatchdogMessage));
        QEventLoop modal;  // stands for the modal box the window shows
        QTimer::singleShot(100, &modal, &QEventLoop::quit);
        modal.exec();
        order << "closed";
    });
    QObject::connect(&c, &TransferController::bytesSent, [&](const QByteArray& b) { order << b.toHex(); });
    QObject::connect(&c, &TransferController::transferFailed, [&] { failed = true; });
    QElapsedTimer clock;
    clock.start();
    ASSERT_EQ(c.startRead(), StartResult::Started);
    RunUntil(failed, 6000);
    ASSERT_TRUE(failed);
    EXPECT_TRUE(clock.elapsed() >= 3000 && clock.elapsed() < 4000) << clock.elapsed();
    EXPECT_EQ(order, (QStringList{"50524f4752414d", "message 16", "closed", "45"}));
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

TEST(PortSelectionEndToEnd, MenuItemsOpenTheirPortAndMoveTheCheckMark) {
    Sim sim({});
    for (const char* n : {"1", "2"}) qputenv(QByteArray("MORVANE_R7_COM") + n, sim.device.toLocal8Bit());
    qputenv("MORVANE_R7_COM5", "/nonexistent/tty5");
    TransferController c;
    PortSelection ports(c.link());
    QStringList messages;
    QObject::connect(&ports, &PortSelection::messageRequested,
                     [&](const QString& text, int flags) { messages << QString::number(flags) + ":" + text; });
    auto marks = [&] {
        QString s;
        for (int n = 1; n <= 8; ++n) s += ports.isChecked(n) ? '1' : '0';
        return s + " " + QString::number(ports.PortNumber()) + (c.link().isOpen() ? " open" : "");
    };
    ports.choosePort(2);
    EXPECT_EQ(marks(), "01000000 2 open");
    ports.choosePort(5);
    EXPECT_EQ(marks(), "00000000 2");
    EXPECT_EQ(messages, (QStringList{"64:5 serial port has already been used by other procedures, please "
                                     "choose other bunches of mouths or turn off its procedure. "}));
    EXPECT_EQ(c.startRead(), StartResult::NoPortOpen);
    for (int saved : {0, 9, -1}) {
        ports.SelectPort(saved);
        EXPECT_EQ(marks(), "10000000 1 open") << saved;
    }
    qunsetenv("MORVANE_R7_COM4");
    EXPECT_EQ(DeviceForPort(4), "/dev/ttyUSB3");
    // A port that goes away loses its mark.
    sim.Stop();
    bool unmarked = false;
    QObject::connect(&ports, &PortSelection::checkMarksChanged, [&] { unmarked = !ports.isChecked(1); });
    RunUntil(unmarked, 3000);
    EXPECT_TRUE(unmarked);
    EXPECT_FALSE(c.link().isOpen());
}

// Where --port and the COM items lead: $MORVANE_R7_COMn, then tools.ini, then /dev/ttyUSB(n-1);
// a bare name is looked up among the by-id links; anything else is a path as given.
TEST(PortNaming, ArgumentsLeadToTheirDevices) {
    QTemporaryDir dir;
    const QString byId = dir.filePath("by-id"), link = byId + "/usb-FTDI_FT232R_A50285BI-if00-port0";
    ASSERT_TRUE(QDir().mkpath(byId) && WriteFile(dir.filePath("ttyUSB0"), {}) && QFile::link("../ttyUSB0", link));
    ASSERT_TRUE(WriteFile(dir.filePath("tools.ini"), "[ports]\nCOM2=/dev/ttyACM0\nCOM3=/dev/ttyACM1\nCOM4=/dev/serial/by-id/usb-X\n"));
    for (int n = 1; n <= kPortCount; ++n) qunsetenv(qPrintable(QStringLiteral("MORVANE_R7_COM%1").arg(n)));
    qputenv("MORVANE_R7_COM3", "/dev/pts/7");
    SetPortDevices(LoadToolsOptions(dir.filePath("tools.ini")).portDevices);
    const struct { QString argument, device; } cases[] = {
        {"COM1", "/dev/ttyUSB0"}, {"com2", "/dev/ttyACM0"}, {"COM3", "/dev/pts/7"},
        {"COM4", "/dev/serial/by-id/usb-X"}, {"COM9", "COM9"}, {"/dev/ttyS0", "/dev/ttyS0"},
        {"usb-FTDI_FT232R_A50285BI-if00-port0", link}, {"usb-unplugged-if00-port0", "usb-unplugged-if00-port0"},
    };
    for (const auto& c : cases) EXPECT_EQ(ResolvePortArgument(c.argument, byId), c.device) << qPrintable(c.argument);
    EXPECT_EQ(StableDeviceName(dir.filePath("ttyUSB0"), byId), link);
    EXPECT_EQ(StableDeviceName("/dev/null", byId), "/dev/null");
    qunsetenv("MORVANE_R7_COM3");
    SetPortDevices({});
}

TEST(PortProblems, BusyPortNamesItsHolderAndAForbiddenOneTheGroup) {
    QTemporaryDir dir;
    Sim sim({});
    QSerialPort holder(sim.device);
    ASSERT_TRUE(holder.open(QIODevice::ReadWrite));
    const QString busy = QStringLiteral("in use by another program (process %1)").arg(QCoreApplication::applicationPid());
    EXPECT_TRUE(Ends(Cli({"read", "--port", sim.device, "-o", dir.filePath("out.DAT")}), 1, {busy.toUtf8()}));
    if (::geteuid() != 0) {  // root may open anything
        const QString forbidden = dir.filePath("forbidden");
        ASSERT_TRUE(WriteFile(forbidden, "x") && QFile::setPermissions(forbidden, QFileDevice::ReadOwner));
        EXPECT_TRUE(Cli({"read", "--port", forbidden, "-o", dir.filePath("out.DAT")}).err.contains("dialout"));
    }
}

TEST(InterruptedTransfer, EndGoesOutTheStatusIs128PlusTheSignalAndTheMessageSaysWhatIsLeft) {
    const char* const kWriteLeft = "interrupted: the radio holds 16 of the 46 new blocks; write it again";
    const struct { int signal, times; const char *command, *fault, *says; } cases[] = {
        {SIGINT, 1, "write", "stop-after=16", kWriteLeft},
        {SIGTERM, 1, "write", "stop-after=16", kWriteLeft},
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
        args << (QByteArray(c.command) == "read" ? QStringList{"-o", dir.filePath("out.DAT")} : QStringList{InputFile(dir)});
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
    batch.start(R7_CLI_PATH, {"write", "--port", sim.device, InputFile(dir), "--repeat"});
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

}  // namespace
}  // namespace r7::link
