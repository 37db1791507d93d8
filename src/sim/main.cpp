// morvane-r7-sim: a radio on a pseudo-terminal for the program to talk to.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "files/dat_file.h"
#include "image/editor_defaults.h"
#include "image/image_codec.h"
#include "pty_runner.h"
#include "simulated_radio.h"

namespace {

const char kUsage[] =
    "usage: morvane-r7-sim [--load FILE.DAT] [--save FILE.DAT] [--fault NAME] [--baud-pace]\n"
    "                      [--once] [--no-stdin] [--delay-ms N [--delay-replies K]]\n"
    "Prints the serial device to open on its first line, then answers the clone protocol;\n"
    "later lines tell \"End received\" and \"stopped answering\" (stop-after) as they happen.\n"
    "  --load FILE.DAT  radio memory from a data file (default: a new configuration)\n"
    "  --save FILE.DAT  write the radio memory as a data file on exit\n"
    "  --fault NAME     silent, wrong-identity, short-block, wrong-ack, stop-after=N,\n"
    "                   garbage, bad-store, double-reply, close-after=N (half the reply to\n"
    "                   block N+1 of a session, then the device is closed)\n"
    "  --delay-ms N     answer every command N ms late\n"
    "  --delay-replies K  only the first K replies come late\n"
    "  --baud-pace      take the time a 9600-baud line takes, both ways\n"
    "  --once           exit after one session (after its End command)\n"
    "  --no-stdin       keep running when standard input ends\n"
    "Exits on SIGTERM, SIGINT or the end of standard input.\n";

int Usage(const char* problem) {
    if (problem) std::fprintf(stderr, "morvane-r7-sim: %s\n", problem);
    std::fputs(kUsage, problem ? stderr : stdout);
    return problem ? 2 : 0;
}

struct Arguments {
    std::string loadPath, savePath;
    r7::sim::FaultSetting fault;
    r7::sim::PtyRunOptions options;
};

const char kNotAnOption[] = "";

bool SetFlag(const std::string& arg, r7::sim::PtyRunOptions& options) {
    if (arg == "--baud-pace")
        options.baudPace = true;
    else if (arg == "--once")
        options.once = true;
    else if (arg == "--no-stdin")
        options.watchStdin = false;
    else
        return false;
    return true;
}

// A whole number from 0 to `most`.
std::optional<int> Number(const char* text, long most) {
    char* end = nullptr;
    const long n = std::strtol(text, &end, 10);
    if (*end != '\0' || end == text || n < 0 || n > most) return std::nullopt;
    return static_cast<int>(n);
}

// Takes an option with its value: nullptr when taken, otherwise what is wrong (kNotAnOption
// when `arg` names no option with a value).
const char* SetValue(const std::string& arg, const char* value, Arguments& a) {
    if (arg == "--load") {
        a.loadPath = value;
    } else if (arg == "--save") {
        a.savePath = value;
    } else if (arg == "--delay-ms") {
        const auto ms = Number(value, 60000);
        if (!ms) return "--delay-ms wants 0 to 60000";
        a.options.delayMs = *ms;
    } else if (arg == "--delay-replies") {
        const auto n = Number(value, 1000000);
        if (!n) return "--delay-replies wants a count";
        a.options.delayedReplies = *n;
    } else if (arg == "--fault") {
        const auto parsed = r7::sim::ParseFault(value);
        if (!parsed) return "unknown fault";
        a.fault = *parsed;
    } else {
        return kNotAnOption;
    }
    return nullptr;
}

// The command line into `a`; nullopt to go on, otherwise the exit status.
std::optional<int> ReadArguments(int argc, char* argv[], Arguments& a) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") return Usage(nullptr);
        if (SetFlag(arg, a.options)) continue;
        const char* problem = i + 1 < argc ? SetValue(arg, argv[i + 1], a) : kNotAnOption;
        if (problem == nullptr) {
            ++i;
        } else if (problem != kNotAnOption) {
            return Usage(problem);
        } else {
            return Usage(("cannot use argument '" + arg + "'").c_str());
        }
    }
    return std::nullopt;
}

}  // namespace

int main(int argc, char* argv[]) {
    Arguments arguments;
    if (const auto stop = ReadArguments(argc, argv, arguments)) return *stop;
    r7::ImageBytes memory = r7::EncodeImageBytes(r7::NewConfiguration());
    if (!arguments.loadPath.empty()) {
        const r7::DatReadResult dat = r7::ReadDatFile(QString::fromStdString(arguments.loadPath));
        if (!dat) {
            std::fprintf(stderr, "morvane-r7-sim: %s\n",
                         dat.error().text.toLocal8Bit().constData());
            return 1;
        }
        std::copy_n(dat->begin(), std::min(dat->size(), memory.size()), memory.begin());
    }

    r7::sim::SimulatedRadio radio(memory, arguments.fault);
    const int result = r7::sim::RunOnPseudoTerminal(radio, arguments.options);
    if (!arguments.savePath.empty()) {
        const r7::FileResult written =
            r7::WriteDatFile(QString::fromStdString(arguments.savePath), radio.memory());
        if (!written) {
            std::fprintf(stderr, "morvane-r7-sim: %s\n", written.error().toLocal8Bit().constData());
            return 1;
        }
    }
    return result;
}
