#pragma once

// The write command's radios: one, or one after another with Enter between them.

#include <optional>

#include "image/editor_state.h"
#include "image/radio_numbering.h"
#include "link/interrupt_guard.h"
#include "link/radio_write.h"
#include "link/write_logger.h"
#include "transfer_options.h"

namespace r7::cli {

// One data file into one radio, or into one radio after another.
struct WriteJob {
    TransferOptions options;
    EditorState state;
    link::RadioWriteOptions safe;
    bool batch = false;
    int radios = 0;          // 0: no limit
    link::WriteContext log;  // what the programming log says of each radio
    std::optional<RadioNumbering> numbering;
};

int WriteOneRadio(const WriteJob& job, link::InterruptGuard& guard);
int WriteBatch(WriteJob& job, link::InterruptGuard& guard);

}  // namespace r7::cli
