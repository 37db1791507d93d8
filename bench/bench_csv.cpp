// CSV export and import of a full channel table (16 channels).
#include <benchmark/benchmark.h>

#include "files/channel_csv.h"
#include "image/editor_defaults.h"
#include "image/setting_lists.h"

namespace {

r7::EditorState FullState() {
    r7::EditorState s = r7::NewConfiguration();
    const char* const decode[] = {"Off", "88.5", "D023N", "D754I"};
    const char* const encode[] = {"67.0", "88.5", "D023N", "Off"};
    for (int ch = 1; ch <= r7::kChannelCount; ++ch) {
        s.rows[ch - 1] = {r7::ChannelNumberText(ch),
                          "446.00625",
                          decode[ch % 4],
                          "446.10625",
                          encode[ch % 4],
                          ch % 2 ? "High" : "Low",
                          "Off",
                          ch % 3 ? "Wide" : "Narrow",
                          ch % 2 ? "Have" : "No"};
    }
    return s;
}

void BM_ExportChannelsCsv(benchmark::State& st) {
    const r7::EditorState s = FullState();
    for (auto _ : st) benchmark::DoNotOptimize(r7::ExportChannelsCsv(s));
}
BENCHMARK(BM_ExportChannelsCsv);

void BM_ImportChannelsCsv(benchmark::State& st) {
    const QByteArray csv = r7::ExportChannelsCsv(FullState());
    r7::EditorState s = r7::NewConfiguration();
    for (auto _ : st) {
        r7::CsvImportReport report = r7::ImportChannelsCsv(csv, s);
        if (!report.ok()) st.SkipWithError("import refused a row");
        benchmark::DoNotOptimize(s);
    }
}
BENCHMARK(BM_ImportChannelsCsv);

}  // namespace
