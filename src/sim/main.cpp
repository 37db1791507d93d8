// morvane-r7-sim: a radio on a pseudo-terminal for the program to talk to.

#include <cstdio>
#include <cstdlib>
#include <cstring>
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

}  // namespace

int main(int argc, char* argv[]) {
    std::string loadPath, savePath;
    r7::sim::FaultSetting fault;
    r7::sim::PtyRunOptions options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--help" || arg == "-h") return Usage(nullptr);
        if (arg == "--baud-pace") options.baudPace = true;
        else if (arg == "--once") options.once = true;
        else if (arg == "--no-stdin") options.watchStdin = false;
        else if (arg == "--load" && hasValue) loadPath = argv[++i];
        else if (arg == "--save" && hasValue) savePath = argv[++i];
        else if (arg == "--delay-ms" && hasValue) {
            char* end = nullptr;
            const long ms = std::strtol(argv[++i], &end, 10);
            if (*end != '\0' || end == argv[i] || ms < 0 || ms > 60000) return Usage("--delay-ms wants 0 to 60000");
            options.delayMs = static_cast<int>(ms);
        } else if (arg == "--delay-replies" && hasValue) {
            char* end = nullptr;
            const long n = std::strtol(argv[++i], &end, 10);
            if (*end != '\0' || end == argv[i] || n < 0 || n > 1000000) return Usage("--delay-replies wants a count");
            options.delayedReplies = static_cast<int>(n);
        }
        else if (arg == "--fault" && hasValue) {
            auto parsed = r7::sim::ParseFault(argv[++i]);
            if (!parsed) return Usage("unknown fault");
            fault = *parsed;
        } else {
            return Usage(("cannot use argument '" + arg + "'").c_str());
        }
    }

    r7::ImageBytes memory = r7::EncodeImageBytes(r7::NewConfiguration());
    if (!loadPath.empty()) {
        const r7::DatReadResult dat = r7::ReadDatFile(QString::fromStdString(loadPath));
        if (dat.status != r7::DatStatus::Ok) {
            std::fprintf(stderr, "morvane-r7-sim: %s\n", dat.error.toLocal8Bit().constData());
            return 1;
        }
        std::copy_n(dat.image.begin(), std::min(dat.image.size(), memory.size()), memory.begin());
    }

    r7::sim::SimulatedRadio radio(memory, fault);
    const int result = r7::sim::RunOnPseudoTerminal(radio, options);
    if (!savePath.empty()) {
        const r7::DatWriteResult written = r7::WriteDatFile(QString::fromStdString(savePath), radio.Memory());
        if (!written.ok) {
            std::fprintf(stderr, "morvane-r7-sim: %s\n", written.error.toLocal8Bit().constData());
            return 1;
        }
    }
    return result;
}
