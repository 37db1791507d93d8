#pragma once

// What the file layer gives back: done (or what was read), or the reason in English, naming
// the file, for the one place that shows it.

#include <QString>

#include "image/expected.h"

namespace r7 {

using FileResult = Expected<void, QString>;

template <typename T>
using FileReadResult = Expected<T, QString>;

}  // namespace r7
