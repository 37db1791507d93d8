// The window program: Form1 for the whole run.

#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>
#include <cstdio>

#include "image/setting_lists.h"
#include "ui/main/form1.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(r7::kApplicationTitle.data(),
                                                       static_cast<qsizetype>(r7::kApplicationTitle.size())));
    QApplication::setApplicationVersion(QStringLiteral(R7_VERSION));

    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption screenshot(QStringLiteral("screenshot"),
                                        QStringLiteral("Save a picture of the main window to FILE and quit."),
                                        QStringLiteral("FILE"));
    parser.addOption(screenshot);
    parser.process(app);

    r7::ui::Form1 window;
    window.show();

    if (parser.isSet(screenshot)) {
        const QString file = parser.value(screenshot);
        // After the first paint: the event loop has shown and laid out the window.
        QTimer::singleShot(300, &window, [&window, file] {
            const bool saved = window.grab().save(file, "PNG");
            if (!saved) std::fprintf(stderr, "morvane-r7: cannot save %s\n", qPrintable(file));
            QApplication::exit(saved ? 0 : 1);
        });
    }
    return QApplication::exec();
}
