#pragma once

// GoogleTest checks of what the command line tool did, and data file bytes written by hand.

#include <gtest/gtest.h>

#include <QByteArrayList>

#include "cli_runner.h"
#include "image_builder.h"

namespace r7::test {

// The tool ended with `code` and said every one of `texts` (standard error for a failure,
// standard output otherwise); on a mismatch everything it said is shown.
inline ::testing::AssertionResult Ends(const CliRun& run, int code,
                                       const QByteArrayList& texts = {}) {
    bool said = true;
    for (const QByteArray& text : texts)
        said = said && (code == 0 ? run.out : run.err).contains(text);
    if (run.exitCode == code && said) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "exit " << run.exitCode << "\nout: " << run.out.toStdString()
           << "\nerr: " << run.err.toStdString();
}

// A data file's bytes: its mark, then the image.
inline QByteArray DatBytes(const ImageBytes& image) {
    return "P3207" +
           QByteArray(reinterpret_cast<const char*>(image.data()), static_cast<int>(image.size()));
}

}  // namespace r7::test
