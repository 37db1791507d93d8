// Reads and writes end to end, the CLI and the transfer controller against morvane-r7-sim on a
// pseudo-terminal, and their problems for real: every fault of the simulated radio, late
// answers around the watchdog, a line that goes dead mid-block, signals sent to the tool
// mid-transfer, type-ahead on a pseudo-terminal, a port another program holds or that goes
// away, stale bytes waiting on the line; the safe write (--verify, --backup), batch programming
// (--repeat) and where port names lead.

#include <fcntl.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QRegularExpression>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QTimer>
#include <memory>

#include "cli_checks.h"
#include "files/dat_file.h"
#include "files/tools_settings.h"
#include "image/editor_defaults.h"
#include "link/backup_file.h"
#include "link/port_naming.h"
#include "link/port_selection.h"
#include "link/safe_write.h"
#include "link/transfer_controller.h"
#include "simulated_radio.h"

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

// A data file to write, different from any radio pattern.
QString InputFile(const QTemporaryDir& dir) {
    EditorState state = NewConfiguration();
    state.cell(1, ColReceive) = "446.00625";
    QString path = dir.filePath("in.DAT");
    EXPECT_TRUE(WriteDatFile(path, EncodeImageBytes(state)).ok);
    return path;
}

QStringList Entries(const QString& dir) { return QDir(dir).entryList(QDir::Files | QDir::Hidden); }

// Whether the first `n` bytes of two images agree.
bool SameStart(const ImageBytes& a, const ImageBytes& b, std::size_t n) {
    return std::equal(a.begin(), a.begin() + static_cast<long>(n), b.begin());
}

// Runs the event loop until `done` is set or the time is up.
void RunUntil(const bool& done, int ms) {
    QElapsedTimer t;
    t.start();
    while (!done && t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
}

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
                     [&](const QString& text, int flags) {
                         order << QStringLiteral("message %1").arg(flags);
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
    EXPECT_EQ(order, (QStringList{"50524f4752414d", "message 16", "closed", "45"}));
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

TEST(PortSelectionEndToEnd, MenuItemsOpenTheirPortAndMoveTheCheckMark) {
    Sim sim({});
    for (const char* n : {"1", "2"})
        qputenv(QByteArray("MORVANE_R7_COM") + n, sim.device.toLocal8Bit());
    qputenv("MORVANE_R7_COM5", "/nonexistent/tty5");
    TransferController c;
    PortSelection ports(c.link());
    QStringList messages;
    QObject::connect(&ports, &PortSelection::messageRequested, [&](const QString& text, int flags) {
        messages << QString::number(flags) + ":" + text;
    });
    auto marks = [&] {
        QString s;
        for (int n = 1; n <= 8; ++n) s += ports.isChecked(n) ? '1' : '0';
        return s + " " + QString::number(ports.PortNumber()) + (c.link().isOpen() ? " open" : "");
    };
    ports.choosePort(2);
    EXPECT_EQ(marks(), "01000000 2 open");
    ports.choosePort(5);
    EXPECT_EQ(marks(), "00000000 2");
    EXPECT_EQ(messages,
              (QStringList{"64:5 serial port has already been used by other procedures, please "
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
    QObject::connect(&ports, &PortSelection::checkMarksChanged,
                     [&] { unmarked = !ports.isChecked(1); });
    RunUntil(unmarked, 3000);
    EXPECT_TRUE(unmarked);
    EXPECT_FALSE(c.link().isOpen());
}

// Where --port and the COM items lead: $MORVANE_R7_COMn, then tools.ini, then /dev/ttyUSB(n-1);
// a bare name is looked up among the by-id links; anything else is a path as given.
TEST(PortNaming, ArgumentsLeadToTheirDevices) {
    QTemporaryDir dir;
    const QString byId = dir.filePath("by-id"),
                  link = byId + "/usb-FTDI_FT232R_A50285BI-if00-port0";
    ASSERT_TRUE(QDir().mkpath(byId) && WriteFile(dir.filePath("ttyUSB0"), {}) &&
                QFile::link("../ttyUSB0", link));
    ASSERT_TRUE(
        WriteFile(dir.filePath("tools.ini"),
                  "[ports]\nCOM2=/dev/ttyACM0\nCOM3=/dev/ttyACM1\nCOM4=/dev/serial/by-id/usb-X\n"));
    for (int n = 1; n <= kPortCount; ++n)
        qunsetenv(qPrintable(QStringLiteral("MORVANE_R7_COM%1").arg(n)));
    qputenv("MORVANE_R7_COM3", "/dev/pts/7");
    SetPortDevices(LoadToolsOptions(dir.filePath("tools.ini")).portDevices);
    const struct {
        QString argument, device;
    } cases[] = {
        {"COM1", "/dev/ttyUSB0"},
        {"com2", "/dev/ttyACM0"},
        {"COM3", "/dev/pts/7"},
        {"COM4", "/dev/serial/by-id/usb-X"},
        {"COM9", "COM9"},
        {"/dev/ttyS0", "/dev/ttyS0"},
        {"usb-FTDI_FT232R_A50285BI-if00-port0", link},
        {"usb-unplugged-if00-port0", "usb-unplugged-if00-port0"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ResolvePortArgument(c.argument, byId), c.device) << qPrintable(c.argument);
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
    const QString busy = QStringLiteral("in use by another program (process %1)")
                             .arg(QCoreApplication::applicationPid());
    EXPECT_TRUE(Ends(Cli({"read", "--port", sim.device, "-o", dir.filePath("out.DAT")}), 1,
                     {busy.toUtf8()}));
    if (::geteuid() != 0) {  // root may open anything
        const QString forbidden = dir.filePath("forbidden");
        ASSERT_TRUE(WriteFile(forbidden, "x") &&
                    QFile::setPermissions(forbidden, QFileDevice::ReadOwner));
        EXPECT_TRUE(Cli({"read", "--port", forbidden, "-o", dir.filePath("out.DAT")})
                        .err.contains("dialout"));
    }
}

TEST(InterruptedTransfer, EndGoesOutTheStatusIs128PlusTheSignalAndTheMessageSaysWhatIsLeft) {
    const char* const kWriteLeft =
        "interrupted: the radio holds 16 of the 46 new blocks; write it again";
    const struct {
        int signal, times;
        const char *command, *fault, *says;
    } cases[] = {
        {SIGINT, 1, "write", "stop-after=16", kWriteLeft},
        {SIGTERM, 1, "write", "stop-after=16", kWriteLeft},
        {SIGHUP, 1, "read", "stop-after=3", "interrupted: nothing was saved"},
        {SIGINT, 2, "write", "stop-after=16", "interrupted again: quitting"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.command) + " " + std::to_string(c.signal) + " x" +
                     std::to_string(c.times));
        QTemporaryDir dir;
        Sim sim({"--fault", c.fault});
        QProcess cli;
        cli.setReadChannel(QProcess::StandardError);
        QStringList args{c.command, "--port", sim.device, "--watchdog-ms", "20000"};
        args << (QByteArray(c.command) == "read" ? QStringList{"-o", dir.filePath("out.DAT")}
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

const char kWatchdogText[] = "Make mistakes, please check interphone type";

// Each fails with its message within its time (the watchdog is 400 ms; a dead line fails before
// it), leaves no file, and the same command works again against a good radio.
TEST(FaultInjection, EveryFaultEndsWithItsMessageNoFileAndTheCommandWorksAgain) {
    const struct {
        const char* fault;
        char command;
        const char* message;
        int maxMs;
    } cases[] = {
        {"silent", 'R', kWatchdogText, 1500},
        {"wrong-identity", 'R', kWatchdogText, 1500},
        {"short-block", 'R', kWatchdogText, 1500},
        {"wrong-ack", 'R', kWatchdogText, 1500},
        {"stop-after=3", 'R', kWatchdogText, 1500},
        {"garbage", 'R', kWatchdogText, 1500},
        {"double-reply", 'R', kWatchdogText, 1500},
        {"close-after=2", 'R', "went away (is the cable unplugged?)", 350},
        {"silent", 'W', kWatchdogText, 1500},
        {"wrong-ack", 'W', kWatchdogText, 1500},
        {"stop-after=3", 'W', kWatchdogText, 1500},
        {"double-reply", 'W', kWatchdogText, 1500},
        {"close-after=5", 'W',
         "the radio holds 5 of the 46 new blocks; its configuration is mixed: write again", 350},
        {"bad-store", 'V', "verify failed: 1 written byte differs on read-back: offset 000 wrote",
         4000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.fault) + " " + c.command);
        QTemporaryDir dir;
        const QString out = dir.filePath("out.DAT");
        QStringList args = c.command == 'R' ? QStringList{"read", "-o", out}
                                            : QStringList{"write", InputFile(dir)};
        if (c.command == 'V') args << "--verify";
        args << "--watchdog-ms"
             << "400";
        const QStringList before = Entries(dir.path());
        Sim sim({"--fault", c.fault});
        QElapsedTimer clock;
        clock.start();
        EXPECT_TRUE(Ends(Cli(QStringList(args) << "--port" << sim.device), 1, {c.message}));
        EXPECT_LT(clock.elapsed(), c.maxMs);
        EXPECT_EQ(Entries(dir.path()), before);  // nothing written, nothing half-written
        EXPECT_TRUE(Ends(Cli(QStringList(args) << "--port" << Sim({}).device), 0));
        EXPECT_TRUE(c.command != 'R' || Contents(out).size() == 853);
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

TEST(SafeWriteCli, BackupHoldsWhatAReadWouldSaveThenTheWriteFollowsVerified) {
    QTemporaryDir dir;
    const QString reference = dir.filePath("reference.DAT"), backups = dir.filePath("backups"),
                  in = InputFile(dir);
    Sim sim(dir.filePath("radio"), Pattern(5));
    ASSERT_EQ(Cli({"read", "--port", sim.device, "-o", reference}).exitCode, 0);
    const CliRun run = Cli({"write", "--port", sim.device, in, "--backup", backups, "--verify"});
    // 46 blocks of 16 bytes; the one at radio 0350 (offsets 340-34F) is beyond any read.
    ASSERT_TRUE(
        Ends(run, 0, {"verified 720 written bytes; 16 bytes at 340-34F cannot be read back"}));
    const QStringList files = Entries(backups);
    ASSERT_EQ(files.size(), 1) << files.join(' ').toStdString();
    EXPECT_TRUE(QRegularExpression("^R7-backup-\\d{8}-\\d{6}\\.DAT$").match(files[0]).hasMatch())
        << files[0].toStdString();
    const QString backup = QDir(backups).filePath(files[0]);
    EXPECT_TRUE(
        run.out.contains(("backup saved as " + QDir::toNativeSeparators(backup)).toLocal8Bit()));
    // Byte for byte the read's file, 340-34F filled as the read command fills them.
    EXPECT_EQ(Contents(backup), Contents(reference));
    EXPECT_TRUE(SameStart(DatImage(Contents(in)), sim.Saved(), 0x170));
}

TEST(SafeWriteCli, AFailedBackupWritesNothing) {
    QTemporaryDir dir;
    const QString in = InputFile(dir), backups = dir.filePath("backups"),
                  notAFolder = dir.filePath("plain");
    ASSERT_TRUE(WriteFile(notAFolder, {}));
    EXPECT_TRUE(Ends(Cli({"write", "--port", Sim({"--fault", "silent"}).device, in, "--backup",
                          backups, "--watchdog-ms", "300"}),
                     1, {"the backup read failed: Make mistakes", "nothing was written"}));
    EXPECT_TRUE(Entries(backups).isEmpty());
    Sim sim(dir.filePath("radio"), Pattern(6));
    EXPECT_TRUE(Ends(Cli({"write", "--port", sim.device, in, "--backup", notAFolder}), 1,
                     {"cannot create the backup folder"}));
    EXPECT_EQ(sim.Saved(), Pattern(6));
}

TEST(SafeWriteController, ABackupThatCannotBeSavedStopsBeforeTheWrite) {
    QTemporaryDir dir;
    const QString backups = dir.filePath("backups");
    ASSERT_TRUE(QDir().mkpath(backups));
    Sim sim(dir.filePath("radio"), Pattern(8));
    TransferController controller;
    ASSERT_TRUE(controller.link().open(sim.device));
    controller.setImageSource([] { return EncodeImage(NewConfiguration()); });
    SafeWrite sequence(controller);
    bool done = false, ok = true;
    QString reason;
    int writeBlocks = 0;
    QObject::connect(&controller, &TransferController::bytesSent,
                     [&](const QByteArray& b) { writeBlocks += b.startsWith('W'); });
    // The folder vanishes while the radio is read.
    QObject::connect(&sequence, &SafeWrite::stageStarted, [&](SafeWriteStage stage) {
        if (stage == SafeWriteStage::Backup) QDir(backups).removeRecursively();
    });
    QObject::connect(&sequence, &SafeWrite::finished, [&](bool good, const QString& why) {
        std::tie(done, ok, reason) = std::tuple(true, good, why);
    });
    ASSERT_TRUE(sequence.start({.verify = true, .backupDir = backups}));
    EXPECT_FALSE(sequence.start({}));  // one sequence at a time
    RunUntil(done, 5000);
    ASSERT_TRUE(done);
    EXPECT_FALSE(ok);
    EXPECT_TRUE(reason.startsWith("the backup failed: backup folder") &&
                reason.endsWith("nothing was written"))
        << reason.toStdString();
    EXPECT_EQ(writeBlocks, 0);
    EXPECT_FALSE(sequence.running());
    EXPECT_EQ(sim.Saved(), Pattern(8));
}

TEST(BackupFile, NamesCarryTheTimeAndRadioAndNeverReplaceAFile) {
    QTemporaryDir dir;
    const QDateTime when(QDate(2026, 3, 4), QTime(5, 6, 7));
    EXPECT_EQ(BackupFileName(when), "R7-backup-20260304-050607.DAT");
    EXPECT_EQ(BackupFileName(when, 3), "R7-backup-20260304-050607-radio3.DAT");
    ASSERT_TRUE(WriteFile(dir.filePath("R7-backup-20260304-050607.DAT"), "old"));
    const BackupResult second = SaveBackup(dir.path(), Pattern(2), when);
    ASSERT_TRUE(second.ok) << second.error.toStdString();
    EXPECT_EQ(QFileInfo(second.path).fileName(), "R7-backup-20260304-050607-2.DAT");
    EXPECT_EQ(QFileInfo(SaveBackup(dir.path(), Pattern(2), when).path).fileName(),
              "R7-backup-20260304-050607-3.DAT");
    EXPECT_EQ(Contents(dir.filePath("R7-backup-20260304-050607.DAT")), QByteArray("old"));
    EXPECT_EQ(Contents(second.path), DatBytes(Pattern(2)));
    EXPECT_EQ(Entries(dir.path()).size(), 3);  // no temporary file left behind
}

TEST(BatchCli, ThreeRadiosTheThirdFailingStopsWithItsNumber) {
    QTemporaryDir dir;
    const QString port = dir.filePath("port"), backups = dir.filePath("backups"),
                  in = InputFile(dir);
    Sim first(dir.filePath("radio1"), Pattern(21)), second(dir.filePath("radio2"), Pattern(22)),
        third(dir.filePath("radio3"), Pattern(23), {"--fault", "bad-store"});
    // The port is a link the test points at the next radio, as a cable moved between radios.
    ASSERT_TRUE(QFile::link(first.device, port));
    CliSession batch({"write", "--port", port, in, "--repeat", "--verify", "--backup", backups});
    for (const Sim* next : {&second, &third}) {
        const int n = next == &second ? 1 : 2;
        ASSERT_TRUE(
            batch.WaitFor(QStringLiteral("radio %1 programmed (%1 in this batch)").arg(n).toUtf8()))
            << batch.out.toStdString();
        ASSERT_TRUE(
            batch.WaitFor(QStringLiteral("connect radio %1 and press Enter").arg(n + 1).toUtf8()));
        ASSERT_TRUE(QFile::remove(port) && QFile::link(next->device, port));
        batch.process.write("\n");
    }
    EXPECT_EQ(batch.Finish(), 1);
    const QByteArray err = batch.process.readAllStandardError();
    EXPECT_TRUE(err.contains("radio 3 failed: verify failed: 1 written byte differs"))
        << err.toStdString();
    EXPECT_TRUE(batch.out.contains("2 radios programmed before the failure"))
        << batch.out.toStdString();
    const QStringList files = Entries(backups);
    ASSERT_EQ(files.size(), 3) << files.join(' ').toStdString();
    for (int n = 1; n <= 3; ++n) {
        EXPECT_TRUE(files[n - 1].endsWith(QStringLiteral("-radio%1.DAT").arg(n)))
            << files[n - 1].toStdString();
        EXPECT_TRUE(SameStart(DatImage(Contents(QDir(backups).filePath(files[n - 1]))),
                              Pattern(20 + n), 0x340))
            << n;
    }
}

TEST(BatchCli, EndOfInputOrTheCountEndsTheBatch) {
    QTemporaryDir dir;
    const QString in = InputFile(dir);
    Sim sim({});
    {
        CliSession batch({"write", "--port", sim.device, in, "--repeat"});
        ASSERT_TRUE(batch.WaitFor("connect radio 2 and press Enter (Ctrl+D ends the batch)"));
        batch.process.closeWriteChannel();
        EXPECT_EQ(batch.Finish(), 0);
        EXPECT_TRUE(batch.out.contains("batch ended: 1 radio programmed"))
            << batch.out.toStdString();
    }
    {
        // Input stays open: the count alone ends the batch.
        CliSession batch({"write", "--port", sim.device, in, "--repeat-count", "2"});
        ASSERT_TRUE(batch.WaitFor("connect radio 2"));
        batch.process.write("\n");
        ASSERT_TRUE(batch.WaitFor("batch ended: 2 radios programmed")) << batch.out.toStdString();
        EXPECT_EQ(batch.Finish(), 0);
        EXPECT_FALSE(batch.out.contains("connect radio 3"));
    }
    for (const char* count : {"0", "x"})
        EXPECT_TRUE(Ends(Cli({"write", "--port", sim.device, in, "--repeat-count", count}), 2));
    // A radio that cannot be reached fails the batch with its number.
    EXPECT_TRUE(Ends(Cli({"write", "--port", dir.filePath("no-such-port"), in, "--repeat"}), 1,
                     {"radio 1 failed: cannot open"}));
}

}  // namespace
}  // namespace r7::link
