// The window program: Form1 for the whole run.

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QEvent>
#include <QIcon>
#include <QTimer>
#include <cstdio>
#include <optional>
#include <string_view>

#include "files/safe_file_writer.h"
#include "files/tools_settings.h"
#include "image/setting_lists.h"
#include "link/interrupt_guard.h"
#include "link/port_naming.h"
#include "link/transfer_controller.h"
#include "ui/main/form1.h"
#include "ui/main/message_box.h"
#include "ui/main/saved_settings.h"
#include "ui/main/signal_close.h"
#include "ui/main/window_environment.h"
#include "ui/tools/tools_menu.h"

namespace {

// Ends the event loop right after the window's first paint, for start-up measurements.
class FirstPaintQuitter : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !done_) {
            done_ = true;
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool done_ = false;
};

// --help and --version are answered before QApplication, which needs a display.
std::optional<int> AnswerWithoutWindow(int argc, char* argv[], QCommandLineParser& parser) {
    bool help = false, version = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg(argv[i]);
        help = help || arg == "-h" || arg == "--help";
        version = version || arg == "-v" || arg == "--version";
    }
    if (!help && !version) return std::nullopt;
    const QCoreApplication core(argc, argv);
    if (version) {
        std::printf("morvane-r7 %s\n", R7_VERSION);
    } else {
        // Qt's first line names the program by the path it was started from.
        const QString details = parser.helpText().section(QLatin1Char('\n'), 1);
        std::printf("Usage: morvane-r7 [options] [FILE.DAT]\n%s", qPrintable(details));
    }
    return 0;
}

// The program's own options; --help and --version are declared on the parser too.
struct Options {
    QCommandLineOption screenshot{
        QStringLiteral("screenshot"),
        QStringLiteral("Save a picture of the main window to FILE and quit."),
        QStringLiteral("FILE")};
    QCommandLineOption readOnStart{
        QStringLiteral("read-on-start"),
        QStringLiteral(
            "Demonstration aid: read the radio as soon as the window is up (with --screenshot, "
            "the picture is taken once the read has ended).")};
    QCommandLineOption quitAfterPaint{
        QStringLiteral("quit-after-first-paint"),
        QStringLiteral("Measurement aid: quit as soon as the window has painted its first frame.")};
};

void DeclareOptions(QCommandLineParser& parser, const Options& options) {
    parser.setApplicationDescription(
        QStringLiteral("Reads, edits and writes the configuration of a Morvane R7 radio."));
    // Our own help option: Qt's adds --help-all, which shows Qt's internal options.
    parser.addOption(QCommandLineOption({QStringLiteral("h"), QStringLiteral("help")},
                                        QStringLiteral("Show this help.")));
    parser.addOption(QCommandLineOption({QStringLiteral("v"), QStringLiteral("version")},
                                        QStringLiteral("Show the version.")));
    parser.addOption(options.screenshot);
    parser.addOption(options.readOnStart);
    parser.addOption(options.quitAfterPaint);
    parser.addPositionalArgument(QStringLiteral("FILE.DAT"),
                                 QStringLiteral("A configuration to open, as Open does."));
}

// Nobody is there to answer a box (a missing port at start-up): print it and go on.
r7::ui::WindowEnvironment UnattendedDesktop() {
    r7::ui::WindowEnvironment desktop;
    desktop.messageBoxPresenter = [](const r7::ui::MessageBoxRequest& request) {
        std::fprintf(stderr, "morvane-r7: %s\n", qPrintable(request.prompt));
        return r7::ui::ButtonResult(request.layout.buttons.front());
    };
    return desktop;
}

// Every size built in, so task bars and window lists take the one they need.
QIcon ApplicationIcon() {
    QIcon icon;
    for (const QString& size : QDir(QStringLiteral(":/icons")).entryList()) {
        icon.addFile(QStringLiteral(":/icons/%1/morvane-r7.png").arg(size));
    }
    return icon;
}

// The demonstration and screenshot aids: a read once the window is up, a picture when the
// read has ended (or, without a read, once the window has been laid out).
void ScheduleAids(r7::ui::Form1& window, const QCommandLineParser& parser, const Options& options) {
    const auto takeScreenshot = [&window, file = parser.value(options.screenshot)] {
        const bool saved = window.grab().save(file, "PNG");
        if (!saved) std::fprintf(stderr, "morvane-r7: cannot save %s\n", qPrintable(file));
        QApplication::exit(saved ? 0 : 1);
    };
    const bool takesScreenshot = parser.isSet(options.screenshot);
    if (!parser.isSet(options.readOnStart)) {
        if (takesScreenshot) QTimer::singleShot(300, &window, takeScreenshot);
        return;
    }
    r7::link::TransferController* transfer = window.transfer();
    if (takesScreenshot) {
        QObject::connect(transfer, &r7::link::TransferController::uiRestored, &window,
                         [takeScreenshot] { QTimer::singleShot(100, takeScreenshot); });
        QObject::connect(transfer, &r7::link::TransferController::transferFailed, &window,
                         [takeScreenshot] { QTimer::singleShot(100, takeScreenshot); });
    }
    QTimer::singleShot(300, &window, [&window, takesScreenshot] {
        if (window.transfer()->startRead() != r7::link::StartResult::Started && takesScreenshot) {
            std::fprintf(stderr, "morvane-r7: no port open, nothing read\n");
            QApplication::exit(1);
        }
    });
}

}  // namespace

int main(int argc, char* argv[]) {
    r7::PrepareFileWritingForSignals();
    QCommandLineParser parser;
    const Options options;
    DeclareOptions(parser, options);
    if (const auto answered = AnswerWithoutWindow(argc, argv, parser)) return *answered;

    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(
        r7::kApplicationTitle.data(), static_cast<qsizetype>(r7::kApplicationTitle.size())));
    QApplication::setApplicationVersion(QStringLiteral(R7_VERSION));
    if (!parser.parse(QApplication::arguments())) {
        std::fprintf(stderr, "morvane-r7: %s\n", qPrintable(parser.errorText()));
        return 2;
    }
    const bool unattended =
        parser.isSet(options.screenshot) || parser.isSet(options.quitAfterPaint);
    QApplication::setWindowIcon(ApplicationIcon());
    r7::ui::Form1Hooks startup = r7::ui::SavedSettingsHooks();
    // Before the window reopens the saved port, which may be one chosen in "Serial ports...".
    startup.portDevices = r7::LoadToolsOptions(r7::DefaultToolsSettingsPath()).portDevices;
    r7::ui::Form1 window(std::move(startup),
                         unattended ? UnattendedDesktop() : r7::ui::WindowEnvironment{});
    // The "Tools" menu joins the window, which owns it; the window runs the write and opens
    // the ports with the options and devices chosen there.
    new r7::ui::ToolsMenu(window);
    FirstPaintQuitter quitter;
    if (parser.isSet(options.quitAfterPaint))
        app.installEventFilter(&quitter);  // any widget of the window
    window.show();
    if (!parser.positionalArguments().isEmpty())
        window.openFile(parser.positionalArguments().constFirst());
    ScheduleAids(window, parser, options);
    r7::link::InterruptGuard guard;
    r7::ui::CloseOnSignals(window, guard);

    const int result = QApplication::exec();
    // Ended without the close box (a screenshot run, the session ending): still store the
    // lock and port, as closing the window would.
    if (window.isVisible()) window.closeWithoutAsking();  // nobody is left to answer
    return result;
}
