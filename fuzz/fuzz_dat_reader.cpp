// Any file contents must be refused or loaded cleanly.
#include <QByteArray>
#include <cstdint>
#include <cstdlib>

#include "files/dat_file.h"
#include "image/editor_defaults.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QByteArray contents(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    r7::DatReadResult file = r7::ParseDat(contents);
    if (!file) return 0;
    if (file->size() < r7::layout::kDecodedSize || file->size() > 864) std::abort();
    r7::EditorState state = r7::NewConfiguration();
    if (!r7::DecodeImageBytes(*file, state)) std::abort();
    if (r7::DatFileContents(r7::EncodeImageBytes(state)).size() != r7::kDatFileSize) std::abort();
    return 0;
}
