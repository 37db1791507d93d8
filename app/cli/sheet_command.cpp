// sheet: the channel sheet of a data file as a one-page PDF.

#include <QCommandLineParser>
#include <QDate>
#include <QFileInfo>
#include <QGuiApplication>
#include <cstring>

#include "cli_commands.h"
#include "cli_io.h"
#include "files/channel_sheet.h"
#include "files/safe_file_writer.h"

namespace r7::cli {

std::unique_ptr<QCoreApplication> MakeApplication(int& argc, char** argv) {
    // Only the sheet lays out text with fonts, which takes QtGui; without a display it
    // renders off screen.
    if (argc < 2 || std::strcmp(argv[1], "sheet") != 0)
        return std::make_unique<QCoreApplication>(argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    return std::make_unique<QGuiApplication>(argc, argv);
}

int RunSheet(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Writes the channel sheet of a data file as a one-page PDF: the file name, today's\n"
        "date, the channels in use and the general settings and VOX options in words.");
    const QCommandLineOption output({"o", "output"},
                                    "The PDF file to write (- for standard output).", "OUT.pdf");
    const QCommandLineOption force("force", "Replace OUT.pdf even when it holds a configuration.");
    parser.addOptions({output, force});
    parser.addPositionalArgument("FILE.DAT", "The data file.");
    if (auto stop = ParseArguments(parser, arguments, 1, 1)) return *stop;
    if (!parser.isSet(output)) {
        PrintError(QStringLiteral("sheet needs -o OUT.pdf; see --help"));
        return kExitUsage;
    }
    const QString input = parser.positionalArguments().at(0);
    const QString target = OutputPath(parser.value(output));
    if (!MayReplaceConfiguration(target, QStringLiteral("PDF file"), parser.isSet(force)))
        return kExitFailure;
    const auto state = ReadConfiguration(input);
    if (!state) return kExitUsage;
    const QByteArray pdf = ChannelSheetPdf(
        ChannelSheetHtml(*state, QFileInfo(input).fileName(), QDate::currentDate()));
    const FileResult written = WriteFileSafely(target, pdf);
    if (!written) {
        PrintError(written.error());
        return kExitFailure;
    }
    return kExitOk;
}

}  // namespace r7::cli
