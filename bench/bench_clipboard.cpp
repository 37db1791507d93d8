// Copy and paste of the whole channel table as tab-separated rows, and the whole-state
// snapshot each undo step keeps.

#include <benchmark/benchmark.h>

#include "image/channel_clipboard.h"
#include "image/editor_defaults.h"

namespace {

r7::EditorState FullTable() {
    r7::EditorState s = r7::NewConfiguration();
    std::string rows;
    for (int ch = 1; ch <= r7::kChannelCount; ++ch) {
        rows += "44" + std::to_string(ch % 10) +
                ".0070\tD023I\t446\t88.5\tHigh\tCarrier\tNarrow\tHave\r\n";
    }
    r7::PasteChannelRows(s, {1}, rows, {});
    return s;
}

void BM_CopySixteenRows(benchmark::State& state) {
    const r7::EditorState s = FullTable();
    std::vector<int> all;
    for (int ch = 1; ch <= r7::kChannelCount; ++ch) all.push_back(ch);
    for (auto _ : state) benchmark::DoNotOptimize(r7::ChannelRowsText(s, all));
}
BENCHMARK(BM_CopySixteenRows);

void BM_PasteSixteenRows(benchmark::State& state) {
    const r7::EditorState source = FullTable();
    std::vector<int> all;
    for (int ch = 1; ch <= r7::kChannelCount; ++ch) all.push_back(ch);
    const std::string text = r7::ChannelRowsText(source, all);
    r7::EditorState target = r7::NewConfiguration();
    for (auto _ : state) {
        const r7::PasteResult r = r7::PasteChannelRows(target, {1}, text, {});
        benchmark::DoNotOptimize(r.channels.data());
    }
}
BENCHMARK(BM_PasteSixteenRows);

void BM_UndoSnapshot(benchmark::State& state) {
    const r7::EditorState s = FullTable();
    for (auto _ : state) {
        r7::EditorState copy = s;
        benchmark::DoNotOptimize(copy.rows.data());
    }
}
BENCHMARK(BM_UndoSnapshot);

}  // namespace
