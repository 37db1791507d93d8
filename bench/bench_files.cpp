// Open and save of a ".DAT" configuration, as the window and the command line do them.
#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include "files/dat_file.h"
#include "image/editor_defaults.h"
#include "image/image_codec.h"

namespace {

void BM_SaveDat(benchmark::State& st) {
    QTemporaryDir dir;
    const QString path = dir.filePath("bench.DAT");
    const r7::EditorState state = r7::NewConfiguration();
    for (auto _ : st) {
        if (!r7::WriteDatFile(path, r7::EncodeImageBytes(state))) st.SkipWithError("save failed");
    }
}
BENCHMARK(BM_SaveDat)->Unit(benchmark::kMicrosecond);

void BM_OpenDat(benchmark::State& st) {
    QTemporaryDir dir;
    const QString path = dir.filePath("bench.DAT");
    r7::WriteDatFile(path, r7::EncodeImageBytes(r7::NewConfiguration()));
    r7::EditorState state = r7::NewConfiguration();
    for (auto _ : st) {
        r7::DatReadResult file = r7::ReadDatFile(path);
        if (!file || !r7::DecodeImageBytes(*file, state)) {
            st.SkipWithError("open failed");
        }
        benchmark::DoNotOptimize(state);
    }
}
BENCHMARK(BM_OpenDat)->Unit(benchmark::kMicrosecond);

}  // namespace
