// Any CSV bytes: the import never crashes, its report adds up, only channel cells change, the
// state stays encodable, and what it stored exports and imports again unchanged.
#include <QByteArray>
#include <cstdint>
#include <cstdlib>
#include <set>

#include "files/channel_csv.h"
#include "image/editor_defaults.h"
#include "image/image_codec.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    r7::EditorState state = r7::NewConfiguration();
    const r7::EditorState before = state;
    const r7::CsvImportReport report = r7::ImportChannelsCsv(bytes, state);
    (void)report.text();

    if (report.fatal) {
        Check(state == before);
        Check(report.stored.empty());
        Check(!report.problems.empty());
        return 0;
    }
    const r7::CsvReadResult read = r7::ReadCsvRecords(bytes);
    Check(read.has_value());
    const std::vector<r7::CsvLine>& lines = *read;
    Check(!lines.empty());
    Check(report.stored.size() + static_cast<std::size_t>(report.refusedRows) == lines.size() - 1);
    Check(report.refusedRows == 0 || !report.problems.empty());
    std::set<int> seen;
    for (int channel : report.stored) {
        Check(channel >= 1 && channel <= r7::kChannelCount);
        Check(seen.insert(channel).second);
        Check(state.cell(channel, r7::ColChannel) == before.cell(channel, r7::ColChannel));
    }
    r7::EditorState outsideChannels = state;
    outsideChannels.rows = before.rows;
    Check(outsideChannels == before);

    const std::string image = r7::EncodeImage(state);
    Check(image.size() == 2 * r7::layout::kImageSize);
    r7::EditorState decoded = r7::NewConfiguration();
    Check(r7::DecodeImage(image, decoded));

    std::vector<std::string> exportProblems;
    const QByteArray exported = r7::ExportChannelsCsv(state, &exportProblems);
    if (!exportProblems.empty()) return 0;
    r7::EditorState again = before;
    const r7::CsvImportReport second = r7::ImportChannelsCsv(exported, again);
    Check(second.ok());
    Check(again.rows == state.rows);
    return 0;
}
