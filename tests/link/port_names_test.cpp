// Where port names lead ($MORVANE_R7_COMn, tools.ini, by-id links), the COM items' check marks
// as ports open, fail and go away, and what a busy or forbidden port says.

#include <unistd.h>

#include <QSerialPort>

#include "data_table.h"
#include "files/tools_settings.h"
#include "link/port_naming.h"
#include "link/port_selection.h"
#include "link/transfer_controller.h"
#include "link_e2e_support.h"

namespace r7::link {
namespace {

using namespace r7::test;

TEST(PortSelectionEndToEnd, MenuItemsOpenTheirPortAndMoveTheCheckMark) {
    Sim sim({});
    for (const char* n : {"1", "2"})
        qputenv(QByteArray("MORVANE_R7_COM") + n, sim.device.toLocal8Bit());
    qputenv("MORVANE_R7_COM5", "/nonexistent/tty5");
    TransferController c;
    PortSelection ports(c.link());
    QStringList messages;
    QObject::connect(
        &ports, &PortSelection::messageRequested, [&](const QString& text, MessageKind kind) {
            messages << (kind == MessageKind::Information ? "notice:" : "failure:") + text;
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
              (QStringList{"notice:5 serial port has already been used by other procedures, please "
                           "choose other bunches of mouths or turn off its procedure. "}));
    EXPECT_EQ(c.startRead(), StartResult::NoPortOpen);
    for (int saved : {0, 9, -1}) {
        ports.SelectPort(saved);
        EXPECT_EQ(marks(), "10000000 1 open") << saved;
    }
    qunsetenv("MORVANE_R7_COM4");
    EXPECT_EQ(ports.device(4), "/dev/ttyUSB3");
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
    const PortDevices chosen = LoadToolsOptions(dir.filePath("tools.ini")).portDevices;
    for (const Fields& c : Table("port_arguments")) {
        const QString device = QString::fromStdString(c[1]).replace("$link", link);
        EXPECT_EQ(ResolvePortArgument(QString::fromStdString(c[0]), chosen, byId), device) << c[0];
    }
    EXPECT_EQ(StableDeviceName(dir.filePath("ttyUSB0"), byId), link);
    EXPECT_EQ(StableDeviceName("/dev/null", byId), "/dev/null");
    qunsetenv("MORVANE_R7_COM3");
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

}  // namespace
}  // namespace r7::link
