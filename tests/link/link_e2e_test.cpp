// Reads and writes end to end, the CLI and the transfer controller against morvane-r7-sim on a
// pseudo-terminal, and their problems for real: every fault of the simulated radio, late
// answers around the watchdog, a line that goes dead mid-block, signals sent to the tool
// mid-transfer, stale bytes waiting on the line. Port names, the safe write and batch
// programming have files of their own.

#include <signal.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <QTimer>
#include <memory>

#include "data_table.h"
#include "link/transfer_controller.h"
#include "link_e2e_support.h"

namespace r7::link {
namespace {

using namespace r7::test;

// The application object every test of the binary runs under.
struct QtEnvironment : ::testing::Environment {
    int argc = 1;
    char name[16] = "link_tests", *argv[2] = {name, nullptr};
    std::unique_ptr<QCoreApplication> app;
    void SetUp() override { app = std::make_unique<QCoreApplication>(argc, argv); }
    void TearDown() override { app.reset(); }
};
[[maybe_unused]] const auto* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtEnvironment);

TEST(LinkEndToEnd, CliReadThroughTheMenuNameOfThePortThenWritesTheWriteListOnly) {
    for (bool service : {false, true}) {
        QTemporaryDir dir;
        const QString in = InputFile(dir), out = dir.filePath("out.DAT");
        const ImageBytes written = DatImage(Contents(in)), before = Pattern(3);
        Sim sim(dir.filePath("radio"), before);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("MORVANE_R7_COM3", sim.device);
        ASSERT_TRUE(Ends(Cli({"read", "--port", "COM3", "-o", out}, {}, env), 0));
        EXPECT_EQ(Contents(out).size(), 853);
        EXPECT_EQ(Contents(out).left(5 + 0x340), DatBytes(before).left(5 + 0x340));
        ASSERT_TRUE(Ends(Cli(QStringList{"write", "--port", sim.device, in, "--service"}.mid(
                             0, service ? 5 : 4)),
                         0));
        const ImageBytes after = sim.Saved();
        for (std::size_t k = 0; k < after.size(); ++k) {
            // Image offsets the write list covers: 000-16F, 170-17F in service mode, 1A8-1B7,
            // 1F0-34F.
            const bool covered =
                k < 0x170 || (service && k < 0x180) || (k >= 0x1A8 && k < 0x1B8) || k >= 0x1F0;
            EXPECT_EQ(after[k], covered ? written[k] : before[k])
                << "offset " << k << " service " << service;
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
    QObject::connect(&c, &TransferController::messageRequested,
                     [&](const QString& text, MessageKind kind) {
                         order << (kind == MessageKind::Failure ? "failure" : "notice");
                         EXPECT_EQ(text, QString(kWatchdogMessage));
                         QEventLoop modal;  // stands for the modal box the window shows
                         QTimer::singleShot(100, &modal, &QEventLoop::quit);
                         modal.exec();
                         order << "closed";
                     });
    QObject::connect(&c, &TransferController::bytesSent,
                     [&](const QByteArray& b) { order << b.toHex(); });
    QObject::connect(&c, &TransferController::transferFailed, [&] { failed = true; });
    QElapsedTimer clock;
    clock.start();
    ASSERT_EQ(c.startRead(), StartResult::Started);
    RunUntil(failed, 6000);
    ASSERT_TRUE(failed);
    EXPECT_TRUE(clock.elapsed() >= 3000 && clock.elapsed() < 4000) << clock.elapsed();
    EXPECT_EQ(order, (QStringList{"50524f4752414d", "failure", "closed", "45"}));
}

TEST(TransferControllerEndToEnd, BytesWaitingBeforeTheWakeUpAreThrownAway) {
    Sim sim({});
    TransferController controller;
    ASSERT_TRUE(controller.link().open(sim.device));
    const int fd = static_cast<int>(controller.link().nativeHandle());
    ASSERT_EQ(::write(fd, "PROGRAM\x02", 8),
              8);     // an earlier program's handshake, answered after it died
    int waiting = 0;  // acknowledgement and identity
    QElapsedTimer clock;
    clock.start();
    while (waiting < 9 && clock.elapsed() < 3000) ::ioctl(fd, FIONREAD, &waiting);
    ASSERT_EQ(waiting, 9);
    bool ended = false, ok = false;
    QObject::connect(&controller, &TransferController::transferSucceeded,
                     [&] { ended = ok = true; });
    QObject::connect(&controller, &TransferController::transferFailed, [&] { ended = true; });
    controller.setWatchdogInterval(1000);
    ASSERT_EQ(controller.startRead(), StartResult::Started);
    RunUntil(ended, 5000);
    EXPECT_TRUE(ok);
}

TEST(InterruptedTransfer, EndGoesOutTheStatusIs128PlusTheSignalAndTheMessageSaysWhatIsLeft) {
    for (const Fields& row : Table("interrupts")) {
        const struct {
            int signal, times;
            std::string command, fault, says;
        } c{std::stoi(row[0]), std::stoi(row[1]), row[2], row[3], row[4]};
        SCOPED_TRACE(Join(row, 0, " "));
        QTemporaryDir dir;
        Sim sim({"--fault", QString::fromStdString(c.fault)});
        QProcess cli;
        cli.setReadChannel(QProcess::StandardError);
        QStringList args{QString::fromStdString(c.command), "--port", sim.device, "--watchdog-ms",
                         "20000"};
        args << (c.command == "read" ? QStringList{"-o", dir.filePath("out.DAT")}
                                     : QStringList{InputFile(dir)});
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
        EXPECT_TRUE(err.contains(c.says.c_str())) << err.toStdString();
        EXPECT_TRUE(Says(sim.process, radio, "End received"));
        EXPECT_FALSE(QFile::exists(dir.filePath("out.DAT")));
    }
}

// Each fault of the table link_faults fails with its message within its time, leaves no file,
// and the same command works again against a good radio.
TEST(FaultInjection, EveryFaultEndsWithItsMessageNoFileAndTheCommandWorksAgain) {
    for (const Fields& c : Table("link_faults")) {
        SCOPED_TRACE(c[0] + " " + c[1]);
        QTemporaryDir dir;
        const QString out = dir.filePath("out.DAT");
        QStringList args =
            c[1] == "read" ? QStringList{"read", "-o", out} : QStringList{"write", InputFile(dir)};
        if (c[1] == "verify") args << "--verify";
        args << "--watchdog-ms"
             << "400";
        const QStringList before = Entries(dir.path());
        Sim sim({"--fault", QString::fromStdString(c[0])});
        QElapsedTimer clock;
        clock.start();
        EXPECT_TRUE(Ends(Cli(QStringList(args) << "--port" << sim.device), 1, {c[2].c_str()}));
        EXPECT_LT(clock.elapsed(), std::stoi(c[3]));
        EXPECT_EQ(Entries(dir.path()), before);  // nothing written, nothing half-written
        EXPECT_TRUE(Ends(Cli(QStringList(args) << "--port" << Sim({}).device), 0));
        EXPECT_TRUE(c[1] != "read" || Contents(out).size() == 853);
    }
    // A bad store goes unnoticed without --verify.
    QTemporaryDir dir;
    EXPECT_TRUE(
        Ends(Cli({"write", InputFile(dir), "--port", Sim({"--fault", "bad-store"}).device}), 0));
}

TEST(FaultInjection, LateAnswersFailOnlyPastTheWatchdog) {
    for (const int delay : {450, 750}) {
        QTemporaryDir dir;
        const QString out = dir.filePath("out.DAT");
        // The wake-up, identify, acknowledge and first block request are all answered late.
        Sim sim({"--delay-ms", QString::number(delay), "--delay-replies", "4"});
        QElapsedTimer clock;
        clock.start();
        const CliRun run = Cli({"read", "--port", sim.device, "-o", out, "--watchdog-ms", "600"});
        const bool late = delay > 600;
        EXPECT_TRUE(late ? Ends(run, 1, {kWatchdogText})
                         : Ends(run, 0) && !run.err.contains(kWatchdogText))
            << delay;
        EXPECT_EQ(QFile::exists(out), !late) << delay;
        EXPECT_TRUE(late ? clock.elapsed() < 750 : clock.elapsed() >= 4LL * 450) << delay;
    }
}

}  // namespace
}  // namespace r7::link
