#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "files/tools_settings.h"
#include "link/port_naming.h"

namespace r7::link {
namespace {

// Where --port and the COM items lead: $MORVANE_R7_COMn, then tools.ini, then /dev/ttyUSB(n-1);
// a bare name is looked up among the by-id links; anything else is a path as given.
TEST(PortNaming, ArgumentsLeadToTheirDevices) {
    QTemporaryDir dir;
    const QString byId = dir.filePath("by-id");
    ASSERT_TRUE(QDir().mkpath(byId));
    QFile tty(dir.filePath("ttyUSB0"));
    ASSERT_TRUE(tty.open(QIODevice::WriteOnly));
    ASSERT_TRUE(QFile::link("../ttyUSB0", byId + "/usb-FTDI_FT232R_A50285BI-if00-port0"));
    QFile ini(dir.filePath("tools.ini"));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[ports]\nCOM2=/dev/ttyACM0\nCOM3=/dev/ttyACM1\nCOM4=/dev/serial/by-id/usb-X\n");
    ini.close();
    for (int n = 1; n <= kPortCount; ++n) qunsetenv(qPrintable(QStringLiteral("MORVANE_R7_COM%1").arg(n)));
    qputenv("MORVANE_R7_COM3", "/dev/pts/7");
    SetPortDevices(LoadToolsOptions(ini.fileName()).portDevices);

    const struct {
        QString argument, device;
    } cases[] = {
        {"COM1", "/dev/ttyUSB0"},
        {"com2", "/dev/ttyACM0"},
        {"COM3", "/dev/pts/7"},
        {"COM4", "/dev/serial/by-id/usb-X"},
        {"COM9", "COM9"},
        {"/dev/ttyS0", "/dev/ttyS0"},
        {"usb-FTDI_FT232R_A50285BI-if00-port0", byId + "/usb-FTDI_FT232R_A50285BI-if00-port0"},
        {"usb-unplugged-if00-port0", "usb-unplugged-if00-port0"},
    };
    for (const auto& c : cases) EXPECT_EQ(ResolvePortArgument(c.argument, byId), c.device) << qPrintable(c.argument);
    EXPECT_EQ(StableDeviceName(tty.fileName(), byId), byId + "/usb-FTDI_FT232R_A50285BI-if00-port0");
    EXPECT_EQ(StableDeviceName("/dev/null", byId), "/dev/null");
    qunsetenv("MORVANE_R7_COM3");
}

}  // namespace
}  // namespace r7::link
