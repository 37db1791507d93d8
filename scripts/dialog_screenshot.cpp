// Renders one dialog, filled from a new configuration, into a PNG:
//   dialog_screenshot --dialog Form5 --screenshot docs/screenshots/Form5.png

#include <QApplication>
#include <QComboBox>
#include <QCommandLineParser>
#include <QDialog>
#include <QLineEdit>
#include <QPixmap>
#include <QSpinBox>
#include <QTemporaryDir>
#include <cstdio>
#include <memory>

#include "files/channel_csv.h"
#include "files/programming_log.h"
#include "image/editor_defaults.h"
#include "ui/dialogs/about_dialog.h"
#include "ui/dialogs/debug_dialog.h"
#include "ui/dialogs/info_dialog.h"
#include "ui/dialogs/key_set_dialog.h"
#include "ui/dialogs/optional_dialog.h"
#include "ui/dialogs/test_frequency_dialog.h"
#include "ui/main/form1.h"
#include "ui/tools/batch_write_window.h"
#include "ui/tools/log_window.h"
#include "ui/tools/plan_dialog.h"
#include "ui/tools/report_window.h"
#include "ui/tools/serial_ports_dialog.h"
#include "ui/tools/tools_menu.h"

namespace {

// The Tools windows of a dealer's day: a log of three radios of a numbered batch.
std::unique_ptr<QDialog> ToolsWindow(const QString& name, r7::ui::Form1& form,
                                     const QString& folder) {
    using namespace r7::ui;
    const QString ini = folder + "/tools.ini";
    auto* tools = new ToolsMenu(form, ini);
    const QString log = LogPathFor(ini);
    const char* outcomes[] = {"verified",
                              "failed: the backup read failed: the radio did not answer; nothing "
                              "was written",
                              "verified"};
    for (int radio = 1; radio <= 3; ++radio) {
        r7::LogEntry e;
        e.time = QDateTime(QDate(2026, 12, 7), QTime(10, 2 * radio, 5));
        e.port = "/dev/ttyUSB0";
        e.identity = "P3207\\x00\\x00\\x00";
        e.file = "fleet.DAT";
        e.fingerprint = "5AEE6019";
        e.batch = "2026-12-07 10:00:00";
        e.radio = radio;
        e.verify = radio == 2 ? "not done" : "720 bytes match, 16 cannot be read back";
        e.outcome = outcomes[radio - 1];
        e.infoLine = QString("line 2: UNIT %1").arg(radio == 3 ? 8 : 7, 2, 10, QChar('0'));
        r7::AppendLogEntry(log, e);
    }
    if (name == "logWindow") return std::make_unique<LogWindow>(form, log);
    auto batch = std::make_unique<BatchWriteWindow>(form, *form.radioWrite(), *tools->log(),
                                                    tools->options());
    batch->numberPattern()->setText("UNIT {n:02}");
    batch->numberLine()->setCurrentIndex(1);
    batch->firstNumber()->setValue(7);
    return batch;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addOption({"dialog",
                      "Form2, Form4, Form5, Form6, Form7, frmAbout, reportWindow, serialPorts, "
                      "planFillDialog, logWindow or batchWriteWindow.",
                      "name"});
    parser.addOption({"screenshot", "PNG file to write.", "file"});
    parser.process(app);

    r7::EditorState state = r7::NewConfiguration();
    state.testFrequency(1, 1) = "462.01250";
    state.testFrequency(1, 2) = "462.01250";
    state.InfoTexts = {"MORVANE R7", "Line two"};

    const QString name = parser.value("dialog");
    std::unique_ptr<QDialog> dialog;
    if (name == "Form2") dialog = std::make_unique<r7::ui::DebugParameterDialog>(state);
    if (name == "Form4") dialog = std::make_unique<r7::ui::TestFrequencyDialog>(state);
    if (name == "Form5") dialog = std::make_unique<r7::ui::OptionalDialog>(state);
    if (name == "Form6") dialog = std::make_unique<r7::ui::KeySetDialog>(state);
    if (name == "Form7") dialog = std::make_unique<r7::ui::InsertInformationDialog>(state);
    if (name == "frmAbout") dialog = std::make_unique<r7::ui::AboutDialog>();
    if (name == "reportWindow") {  // the import of a 120-row repeater list numbered from 0
        QByteArray csv = "Location,Name,Frequency\n";
        for (int i = 0; i < 120; ++i)
            csv +=
                QByteArray::number(i) + ",Rpt," + QByteArray::number(430 + i * 0.3, 'f', 4) + "\n";
        const r7::CsvImportReport report = r7::ImportChannelsCsv(csv, state);
        dialog = std::make_unique<r7::ui::ReportWindow>(
            "Some rows of repeaters.csv have not been imported:",
            QString::fromStdString(report.text()), nullptr);
    }
    if (name == "serialPorts") {  // one USB cable plugged in, chosen for COM1
        r7::link::DetectedPort cable;
        cable.device = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0";
        cable.systemLocation = "/dev/ttyUSB0";
        cable.description = "FT232R USB UART";
        cable.manufacturer = "FTDI";
        cable.serialNumber = "A50285BI";
        cable.vendorId = 0x0403;
        cable.productId = 0x6001;
        r7::link::PortDevices devices;
        devices[0] = cable.device;
        devices[1] = "/dev/ttyACM0";
        dialog = std::make_unique<r7::ui::SerialPortsDialog>(
            devices, std::vector<r7::link::DetectedPort>{cable}, nullptr);
    }
    if (name == "planFillDialog")
        dialog = std::make_unique<r7::ui::PlanDialog>(r7::ui::PlanDialog::Purpose::Fill, nullptr);
    QTemporaryDir folder;
    std::unique_ptr<r7::ui::Form1> form;
    if (name == "logWindow" || name == "batchWriteWindow") {
        form = std::make_unique<r7::ui::Form1>();
        dialog = ToolsWindow(name, *form, folder.path());
    }
    if (!dialog) {
        std::fprintf(stderr, "unknown dialog '%s'\n", qPrintable(name));
        return 2;
    }
    dialog->show();
    QApplication::processEvents();
    const QString file = parser.value("screenshot");
    if (!dialog->grab().save(file)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
        return 1;
    }
    dialog.reset();  // before the window that owns it
    return 0;
}
