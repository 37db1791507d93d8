// Tools > "Serial ports...": a device chosen for a COM item is remembered and shown.

#include "ui/tools/serial_ports_dialog.h"
#include "ui/tools/tools_menu.h"
#include "ui_test_support.h"

class SerialPortsTest : public QObject {
    Q_OBJECT
private slots:
    void chosenDeviceIsRememberedAndShown();
};

void SerialPortsTest::chosenDeviceIsRememberedAndShown() {
    qunsetenv("MORVANE_R7_COM1");
    qunsetenv("MORVANE_R7_COM2");
    QTemporaryDir dir;
    const QString ini = dir.filePath("tools.ini");
    Form1 form;
    auto* tools = new ToolsMenu(form, ini);
    tools->setDialogPresenter([](QDialog& shown) {
        auto& dialog = dynamic_cast<SerialPortsDialog&>(shown);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QTest::keyClicks(dialog.deviceBox(2)->lineEdit(), QStringLiteral("/dev/ttyACM0"));
        QTest::mouseClick(dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok), Qt::LeftButton);
    });
    tools->actions().serialPorts->trigger();

    QCOMPARE(LoadToolsOptions(ini).portDevices[1], QStringLiteral("/dev/ttyACM0"));
    emit form.menus().mnucom->aboutToShow();
    QCOMPARE(form.menus().mnucomPorts[1]->toolTip(), QStringLiteral("/dev/ttyACM0"));
    QCOMPARE(form.menus().mnucomPorts[0]->toolTip(), QStringLiteral("/dev/ttyUSB0"));
}

QTEST_MAIN(SerialPortsTest)
#include "serial_ports_test.moc"
