// check: a data file against a channel plan.

#include <QCommandLineParser>

#include "cli_commands.h"
#include "cli_io.h"
#include "files/plan_files.h"
#include "image/channel_plans.h"

namespace r7::cli {

int RunCheck(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "List every channel on a frequency of the plan whose settings break it (band, power,\n"
        "a split transmit frequency). Nothing is changed. Exit status 0 when every channel\n"
        "keeps to the plan, 1 when something was found.\n"
        "PLAN: pmr446 (ECC Decision (15)05), frs (47 CFR 95.563), or a plan CSV file.");
    parser.addPositionalArgument("FILE.DAT", "the data file to check");
    const QCommandLineOption plan("plan", "the channel plan: pmr446, frs or a CSV file", "PLAN");
    parser.addOption(plan);
    if (auto stop = ParseArguments(parser, arguments, 1, 1)) return *stop;
    if (!parser.isSet(plan)) {
        PrintError(QStringLiteral("--plan is required"));
        return kExitUsage;
    }
    const PlanLoad loaded = LoadPlan(parser.value(plan));
    if (!loaded) {
        PrintError(loaded.error());
        return kExitInput;
    }
    const std::optional<EditorState> state = ReadConfiguration(parser.positionalArguments().at(0));
    if (!state) return kExitInput;
    const std::vector<PlanFinding> findings = CheckAgainstPlan(*state, *loaded);
    for (const PlanFinding& finding : findings) PrintOut(finding.text + "\n");
    if (findings.empty()) PrintOut("every channel keeps to " + loaded->name + "\n");
    return findings.empty() ? kExitOk : kExitFailure;
}

}  // namespace r7::cli
