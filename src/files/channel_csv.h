#pragma once

// The channel table as a CSV file in the generic column layout of multi-radio programming
// tools (RFC 4180). The column mapping and the import rules are in image/channel_import.h.

#include <QByteArray>
#include <string>
#include <vector>

#include "image/channel_import.h"
#include "image/expected.h"

namespace r7 {

// Splits CSV bytes into records: quoted fields with commas, quotes and line breaks, LF or
// CRLF, a leading UTF-8 BOM dropped, blank lines skipped. A quoting error, or more than
// 10000 records, ends the reading: the problem gives its line and reason.
using CsvReadResult = Expected<std::vector<CsvLine>, CsvProblem>;
CsvReadResult ReadCsvRecords(const QByteArray& bytes);
// Joins records with CRLF; only fields that need it are quoted.
QByteArray WriteCsvRecords(const std::vector<std::vector<std::string>>& records);

// Replaces the channel table of `state` with the rows of the file; see the import rules.
CsvImportReport ImportChannelsCsv(const QByteArray& bytes, EditorState& state,
                                  bool renumber = false);
// Every channel in use, in channel order, under the header line.
QByteArray ExportChannelsCsv(const EditorState& state,
                             std::vector<std::string>* problems = nullptr);

}  // namespace r7
