#include "files/channel_csv.h"

#include <gtest/gtest.h>

#include "data_table.h"
#include "image/editor_defaults.h"

namespace r7 {
namespace {

using test::Cells;
using test::SetCells;

using test::kCsvHeader;
const std::vector<test::Fields> kCases = test::Table("csv_import");

CsvImportReport Import(const std::string& file, EditorState& s) {
    return ImportChannelsCsv(QByteArray::fromStdString(file), s);
}

// ok / no: one data row under the header, taken into channel 1 or refused naming every
// problem; bad: a whole file that is no channel table and changes nothing.
TEST(ChannelCsvImport, RowsAndFiles) {
    for (const test::Fields& c : kCases) {
        if (c[0] == "export") continue;
        SCOPED_TRACE(test::Join(c, 0, " | "));
        EditorState s = NewConfiguration();
        if (c[0] == "bad") s.cell(7, ColReceive) = "440.00000";
        const EditorState before = s;
        const CsvImportReport report = Import(c[0] == "bad" ? c[1] : kCsvHeader + c[1] + "\r\n", s);
        if (c[0] == "ok") {
            EXPECT_TRUE(report.ok()) << report.text();
            EXPECT_EQ(Cells(s, 1), test::Join(c, 2));
            EXPECT_EQ(s.cell(1, ColChannel), "01");
            continue;
        }
        EXPECT_EQ(s, before);
        EXPECT_EQ(report.fatal, c[0] == "bad");
        // bad: the line and a part of the reason; no: field, value and a part of the reason each.
        const std::size_t each = c[0] == "bad" ? 2 : 3;
        ASSERT_EQ(each * report.problems.size() + 2, c.size()) << report.text();
        EXPECT_EQ(report.refusedRows, c[0] == "bad" ? 0 : 1);
        EXPECT_TRUE(report.stored.empty());
        for (std::size_t k = 0, at = 2; k < report.problems.size(); ++k, at += each) {
            const CsvProblem& p = report.problems[k];
            if (c[0] == "bad") {
                EXPECT_EQ(p.row, std::stoi(c[at]));
            } else {
                EXPECT_EQ(p.row, 2);
                EXPECT_EQ(p.field + "=" + p.value, c[at] + "=" + c[at + 1]);
            }
            EXPECT_NE(p.reason.find(c[at + each - 1]), std::string::npos) << p.reason;
        }
    }
}

// A whole file as exported by other tools: BOM, CRLF and LF mixed, blank lines, quoted
// names with commas, quotes and a line break; good rows stored, bad rows listed by line.
TEST(ChannelCsvImport, RealWorldFile) {
    const std::string file =
        "\xEF\xBB\xBF" + kCsvHeader +
        "1,\"Hill, \"\"North\"\" rep\",446.006250,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,"
        "FM,6.25,,High,\"two\nlines\"\r\n"
        "\r\n"
        "\n"
        "4,PMR2,446.018750,,0.000000,TSQL,88.5,94.8,023,NN,023,Tone->Tone,NFM,12.50,S,0.5W,\n"
        "5,Bad,446.001000,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,FM,5.00,,High,\r\n"
        "4,Dup,446.100000,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,FM,5.00,,High,\r\n"
        "16,Last,469.990000,-,10.000000,DTCS,88.5,88.5,754,RR,023,Tone->Tone,FM,5.00,,Low,";
    EditorState s = NewConfiguration();
    SetCells(s, 5, "440.00000|||||Carrier");  // a refused row leaves its channel as it was
    SetCells(s, 9, "441.00000|||||||Have");   // a channel no row names becomes empty
    s.InfoTexts[0] = "kept";
    const EditorState before = s;
    const CsvImportReport report = Import(file, s);
    EXPECT_FALSE(report.fatal);
    EXPECT_EQ(report.stored, (std::vector<int>{1, 4, 16}));
    EXPECT_EQ(report.refusedRows, 2);
    EXPECT_EQ(report.text(),
              "line 7, Frequency \"446.001000\": not on the 5 kHz or 6.25 kHz channel raster "
              "(nearest below: 446.00000)\n"
              "line 8, Location \"4\": channel already given on line 6\n"
              "Names and comments are not stored: the radio keeps no channel names\n"
              "3 channels stored, 2 rows refused\n");
    EXPECT_EQ(Cells(s, 1), "446.00625|Off|446.00625|Off|High|Off|Wide|Have");
    EXPECT_EQ(Cells(s, 4), "446.01875|94.8|446.01875|94.8|Low|Off|Narrow|No");
    EXPECT_EQ(Cells(s, 16), "469.99000|D754I|459.99000|D754I|Low|Off|Wide|Have");
    EXPECT_EQ(s.rows[4], before.rows[4]);
    EXPECT_EQ(Cells(s, 9), "|||||||");
    EXPECT_EQ(s.cell(9, ColChannel), "09");
    EXPECT_EQ(s.InfoTexts[0], "kept");
}

// Reordered columns, an unknown one, no Power/Mode/Skip: those keep the channel's values.
TEST(ChannelCsvImport, ColumnsByNameAndWhatTheFileLeavesOut) {
    EditorState s = NewConfiguration();
    SetCells(s, 2, "440.00000||||High|QT/DQT|Narrow|Have");
    const CsvImportReport report = Import(
        "frequency,LOCATION, Duplex "
        ",Offset,Tone,rToneFreq,URCALL\n446.1,2,+,0.5,Tone,88.5,CQCQCQ\n446.2,3,,,,,\n",
        s);
    ASSERT_TRUE(report.ok()) << report.text();
    EXPECT_EQ(Cells(s, 2), "446.10000|Off|446.60000|88.5|High|QT/DQT|Narrow|Have");
    EXPECT_EQ(Cells(s, 3), "446.20000|Off|446.20000|Off|Low|Off|Wide|No");
}

TEST(ChannelCsvImport, SixteenChannelsAtMost) {
    std::string file = kCsvHeader;
    for (int i = 1; i <= 17; ++i)
        file += std::to_string(i % 16 + 1) +
                ",,446.000000,,0,,88.5,88.5,023,NN,023,Tone->Tone,FM,5.00,,High,\r\n";
    EditorState s = NewConfiguration();
    const CsvImportReport report = Import(file, s);
    EXPECT_EQ(report.stored.size(), 16u);
    EXPECT_EQ(report.refusedRows, 1);
    ASSERT_EQ(report.problems.size(), 2u) << report.text();
    EXPECT_EQ(report.problems[0].reason,
              "the radio holds only 16 channels; this is row 17 of the table");
    EXPECT_EQ(report.problems[1].field, "Location");
}

// The configuration the export lines describe, and the file they expect.
EditorState Sample(std::string* expected = nullptr) {
    EditorState s = NewConfiguration();
    if (expected) *expected = kCsvHeader;
    for (const test::Fields& c : kCases) {
        if (c[0] != "export") continue;
        SetCells(s, std::stoi(c[1]), test::Join(c, 2));
        if (expected) *expected += c[10] + "\r\n";
    }
    return s;
}

TEST(ChannelCsvExport, WritesTheCommonLayout) {
    std::string expected;
    const EditorState s = Sample(&expected);
    std::vector<std::string> problems;
    EXPECT_EQ(ExportChannelsCsv(s, &problems).toStdString(), expected);
    EXPECT_TRUE(problems.empty());
}

TEST(ChannelCsvExport, ExportImportExportIsStable) {
    EditorState original = Sample();
    for (int ch : {5, 16})
        original.cell(ch, ColTransmit) = original.cell(ch, ColReceive);  // receive-only is refused
    original.cell(16, ColEncode) = "Off";
    const EditorState kept = original;
    const QByteArray first = ExportChannelsCsv(original);
    EditorState imported = NewConfiguration();
    const CsvImportReport report = ImportChannelsCsv(first, imported);
    ASSERT_TRUE(report.ok()) << report.text();
    EXPECT_EQ(ExportChannelsCsv(imported), first);
    // Everything the format carries came back; Busy Lock is not in it.
    for (int ch = 1; ch <= kChannelCount; ++ch)
        original.cell(ch, ColBusyLock) = imported.cell(ch, ColBusyLock);
    EXPECT_EQ(imported, original);
    // Onto its own configuration, even Busy Lock stays.
    EditorState same = kept;
    ASSERT_TRUE(ImportChannelsCsv(first, same).ok());
    EXPECT_EQ(same, kept);
}

TEST(ChannelCsvExport, QuotesOnlyWhatNeedsItAndNamesDamagedTexts) {
    const std::vector<std::string> fields{"a,b", "say \"hi\"", "x\ny", " pad", "plain"};
    const QByteArray line = "\"a,b\",\"say \"\"hi\"\"\",\"x\ny\",\" pad\",plain\r\n";
    EXPECT_EQ(WriteCsvRecords({fields}), line);
    const CsvReadResult back = ReadCsvRecords(line);
    ASSERT_TRUE(back) << back.error().text();
    ASSERT_EQ(back->size(), 1u);
    EXPECT_EQ((*back)[0].fields, fields);

    EditorState s = NewConfiguration();
    SetCells(s, 3, "4A6.00625|Off|446.00625|.0|High|Off|Wide|No");
    std::vector<std::string> problems;
    const QByteArray csv = ExportChannelsCsv(s, &problems);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_NE(problems[0].find("channel 03"), std::string::npos);
    EditorState again = NewConfiguration();
    EXPECT_EQ(ImportChannelsCsv(csv, again).refusedRows, 1);
}

}  // namespace
}  // namespace r7
