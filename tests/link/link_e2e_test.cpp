// Reads and writes end to end: the CLI and the transfer controller against morvane-r7-sim on a
// pseudo-terminal.

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>

#include "files/dat_file.h"
#include "image/editor_defaults.h"
#include "link/port_selection.h"
#include "link/transfer_controller.h"
#include "link_test_support.h"

namespace r7::link {
namespace {

using namespace r7::link::testing;
[[maybe_unused]] const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

TEST(LinkEndToEnd, CliReadCopiesTheReadAreaThroughTheMenuNameOfThePort) {
    QTemporaryDir dir;
    const QString radio = dir.filePath("radio.DAT"), out = dir.filePath("out.DAT");
    ASSERT_TRUE(WriteDatFile(radio, Pattern(3)).ok);
    Sim sim({"--load", radio});
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("MORVANE_R7_COM3", sim.device);
    const CliRun run = Cli({"read", "--port", "COM3", "-o", out}, {}, env);
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QByteArray file = Contents(out);
    ASSERT_EQ(file.size(), 853);
    EXPECT_EQ(file.left(5), QByteArray("P3207"));
    EXPECT_TRUE(SameStart(DatImage(file), Pattern(3), 0x340));
}

TEST(LinkEndToEnd, CliWriteStoresTheWriteListAndLeavesTheSkippedAreas) {
    for (bool service : {false, true}) {
        QTemporaryDir dir;
        const QString radio = dir.filePath("radio.DAT"), saved = dir.filePath("saved.DAT"),
                      in = dir.filePath("in.DAT");
        ImageBytes before{};
        before.fill(0x5A);
        // What the tool writes is the encoded editor, so the input is an encoded one.
        EditorState state = NewConfiguration();
        state.cell(1, ColReceive) = "446.00625";
        state.PowerHigh = 0x77;
        const ImageBytes written = EncodeImageBytes(state);
        ASSERT_TRUE(WriteDatFile(radio, before).ok && WriteDatFile(in, written).ok);
        Sim sim({"--load", radio, "--save", saved});
        QStringList args = {"write", "--port", sim.device, in};
        if (service) args << "--service";
        const CliRun run = Cli(args);
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        sim.Stop();
        const ImageBytes after = DatImage(Contents(saved));
        for (std::size_t k = 0; k < after.size(); ++k) {
            // Image offsets the write list covers: 000-16F, 170-17F in service mode, 1A8-1B7, 1F0-34F.
            const bool covered = k < 0x170 || (service && k < 0x180) || (k >= 0x1A8 && k < 0x1B8) ||
                                 k >= 0x1F0;
            EXPECT_EQ(after[k], covered ? written[k] : 0x5A) << "offset " << k << " service " << service;
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
    EXPECT_GE(clock.elapsed(), 3000);
    EXPECT_LT(clock.elapsed(), 4000);
    EXPECT_EQ(order, (QStringList{"50524f4752414d", "message 16", "closed", "45"}));
}

TEST(PortSelectionEndToEnd, MenuItemsOpenTheirPortAndMoveTheCheckMark) {
    Sim sim({});
    qputenv("MORVANE_R7_COM1", sim.device.toLocal8Bit());
    qputenv("MORVANE_R7_COM2", sim.device.toLocal8Bit());
    qputenv("MORVANE_R7_COM5", "/nonexistent/tty5");
    TransferController c;
    PortSelection ports(c.link());
    QStringList messages;
    QObject::connect(&ports, &PortSelection::messageRequested,
                     [&](const QString& text, int flags) { messages << QString::number(flags) + ":" + text; });
    auto marks = [&] {
        QString s;
        for (int n = 1; n <= 8; ++n) s += ports.isChecked(n) ? '1' : '0';
        return s;
    };
    ports.choosePort(2);
    EXPECT_EQ(marks(), "01000000");
    EXPECT_EQ(ports.PortNumber(), 2);
    EXPECT_TRUE(c.link().isOpen());
    ports.choosePort(5);
    EXPECT_EQ(marks(), "00000000");
    EXPECT_EQ(ports.PortNumber(), 2);
    EXPECT_FALSE(c.link().isOpen());
    EXPECT_EQ(messages, (QStringList{"64:5 serial port has already been used by other procedures, please "
                                     "choose other bunches of mouths or turn off its procedure. "}));
    EXPECT_EQ(c.startRead(), StartResult::NoPortOpen);
    for (int saved : {0, 9, -1}) {
        ports.SelectPort(saved);
        EXPECT_EQ(ports.PortNumber(), 1) << saved;
        EXPECT_EQ(marks(), "10000000") << saved;
    }
    qunsetenv("MORVANE_R7_COM4");
    EXPECT_EQ(DeviceForPort(4), "/dev/ttyUSB3");
}

}  // namespace
}  // namespace r7::link
