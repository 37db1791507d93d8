#include "progress_line.h"

#include <algorithm>
#include <cstdio>
#include <tuple>
#include <vector>

#ifdef _WIN32
#include <io.h>
#define R7_ISATTY _isatty
#define R7_FILENO _fileno
#else
#include <unistd.h>
#define R7_ISATTY isatty
#define R7_FILENO fileno
#endif

#include "link/read_back.h"

namespace r7::cli {

ProgressLine::ProgressLine(link::TransferController& controller)
    : shown_(R7_ISATTY(R7_FILENO(stderr)) != 0) {
    if (!shown_) return;
    QObject::connect(&controller, &link::TransferController::progressShown,
                     [this](int, int, int v) { draw(v); });
    QObject::connect(&controller, &link::TransferController::progressValueChanged,
                     [this](int v) { draw(v); });
}

void ProgressLine::draw(int value) {
    if (!shown_) return;
    const int width = 40;
    const int done = from_ + share_ * std::min(value, link::kProgressMaximum) /
                                 link::kProgressMaximum;  // thousandths
    const int filled = done * width / 1000;
    std::fprintf(stderr, "\r%s [%.*s%*s] %3d%%", verb_, filled,
                 "########################################", width - filled, "", done / 10);
    std::fflush(stderr);
    drawn_ = true;
}
namespace {

const char* StageVerb(link::RadioWriteStage stage) {
    switch (stage) {
        case link::RadioWriteStage::Backup:
            return "backing up";
        case link::RadioWriteStage::Verify:
            return "verifying";
        default:
            return "writing";
    }
}

// A stage's share of the progress line, in blocks moved: 13 read, 46 or 47 written.
int StageBlocks(link::RadioWriteStage stage, const link::RadioWriteOptions& safe) {
    constexpr int kReadBlocks =
        (link::kLastReadAddress - link::kFirstBlockAddress) / link::kReadLength + 1;
    return stage == link::RadioWriteStage::Write ? link::WriteBlockCount(safe.serviceUnlocked != 0)
                                                 : kReadBlocks;
}

}  // namespace

void ShowRadioWriteProgress(link::RadioWrite& sequence, link::TransferController& controller,
                            ProgressLine& progress, const link::RadioWriteOptions& safe) {
    using link::RadioWriteStage;
    std::vector<RadioWriteStage> stages{RadioWriteStage::Write};
    if (!safe.backupDir.isEmpty()) stages.insert(stages.begin(), RadioWriteStage::Backup);
    if (safe.verify) stages.push_back(RadioWriteStage::Verify);
    int total = 0;
    for (RadioWriteStage s : stages) total += StageBlocks(s, safe);
    QObject::connect(&sequence, &link::RadioWrite::stageStarted,
                     [&progress, stages, total, safe](RadioWriteStage stage) {
                         int before = 0;
                         for (std::size_t i = 0; stages[i] != stage; ++i)
                             before += StageBlocks(stages[i], safe);
                         progress.setVerb(StageVerb(stage));
                         const int after = before + StageBlocks(stage, safe);
                         progress.setPart(before * 1000 / total,
                                          after * 1000 / total - before * 1000 / total);
                     });
    QObject::connect(&controller, &link::TransferController::transferSucceeded,
                     [&progress] { progress.draw(link::kProgressMaximum); });
}

}  // namespace r7::cli
