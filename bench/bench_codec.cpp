// Decode+encode time of one image.
#include <benchmark/benchmark.h>

#include "image/editor_defaults.h"
#include "image/image_codec.h"
#include "image/setting_lists.h"

namespace {

r7::EditorState FullState() {
    r7::EditorState s = r7::NewConfiguration();
    for (int ch = 1; ch <= r7::kChannelCount; ++ch) {
        s.rows[ch - 1] = {r7::ChannelNumberText(ch),
                          "446.00625",
                          "88.5",
                          "446.10625",
                          "D023N",
                          "High",
                          "Carrier",
                          "Wide",
                          "Have"};
    }
    s.InfoTexts = {"MORVANE R7 DEALER", "CHANNEL PLAN 2026"};
    return s;
}

void BM_EncodeImage(benchmark::State& st) {
    const r7::EditorState s = FullState();
    for (auto _ : st) benchmark::DoNotOptimize(r7::EncodeImageBytes(s));
}
BENCHMARK(BM_EncodeImage);

void BM_DecodeImage(benchmark::State& st) {
    const r7::ImageBytes img = r7::EncodeImageBytes(FullState());
    r7::EditorState s = r7::NewConfiguration();
    for (auto _ : st) {
        r7::DecodeImageBytes(img, s);
        benchmark::DoNotOptimize(s);
    }
}
BENCHMARK(BM_DecodeImage);

void BM_DecodeEncodeHexText(benchmark::State& st) {
    const std::string hex = r7::EncodeImage(FullState());
    r7::EditorState s = r7::NewConfiguration();
    for (auto _ : st) {
        r7::DecodeImage(hex, s);
        benchmark::DoNotOptimize(r7::EncodeImage(s));
    }
}
BENCHMARK(BM_DecodeEncodeHexText);

}  // namespace
