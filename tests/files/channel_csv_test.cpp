#include "files/channel_csv.h"

#include <gtest/gtest.h>

#include "image/editor_defaults.h"
#include "test_data.h"

namespace r7 {
namespace {

const QByteArray kHeader =
    "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,"
    "RxDtcsCode,CrossMode,Mode,TStep,Skip,Power,Comment\r\n";
const QList<QByteArrayList> kCases = test::DataRows("csv_import.tsv");

// A channel's cells from Receive on, joined by tabs.
QByteArray Cells(const EditorState& s, int ch) {
    QByteArrayList cells;
    for (int c = ColReceive; c < kColumnCount; ++c) cells << QByteArray::fromStdString(s.cell(ch, c));
    return cells.join('\t');
}
void SetCells(EditorState& s, int ch, const QByteArray& cells) {
    for (int c = ColReceive; c < kColumnCount; ++c) s.cell(ch, c) = cells.split('\t').value(c - 1).toStdString();
}

// ok / no: one data row under the header, taken into channel 1 or refused naming every
// problem; bad: a whole file that is no channel table and changes nothing.
TEST(ChannelCsvImport, RowsAndFiles) {
    for (const QByteArrayList& c : kCases) {
        if (c[0] == "export") continue;
        SCOPED_TRACE(c.join(" | ").toStdString());
        EditorState s = NewConfiguration();
        if (c[0] == "bad") s.cell(7, ColReceive) = "440.00000";
        const EditorState before = s;
        const CsvImportReport report = ImportChannelsCsv(c[0] == "bad" ? c[1] : kHeader + c[1] + "\r\n", s);
        if (c[0] == "ok") {
            EXPECT_TRUE(report.ok()) << report.text();
            EXPECT_EQ(Cells(s, 1), c.mid(2).join('\t'));
            EXPECT_EQ(s.cell(1, ColChannel), "01");
            continue;
        }
        EXPECT_EQ(s, before);
        EXPECT_EQ(report.fatal, c[0] == "bad");
        if (c[0] == "bad") {
            ASSERT_EQ(report.problems.size(), 1u);
            EXPECT_EQ(report.problems[0].row, c[2].toInt());
            EXPECT_NE(report.problems[0].reason.find(c[3].toStdString()), std::string::npos) << report.text();
            continue;
        }
        EXPECT_EQ(report.refusedRows, 1);
        EXPECT_TRUE(report.stored.empty());
        ASSERT_EQ(3 * report.problems.size() + 2, static_cast<std::size_t>(c.size())) << report.text();
        for (std::size_t k = 0; k < report.problems.size(); ++k) {
            const CsvProblem& p = report.problems[k];
            EXPECT_EQ(p.row, 2);
            EXPECT_EQ(p.field + "=" + p.value, (c[2 + 3 * k] + "=" + c[3 + 3 * k]).toStdString());
            EXPECT_NE(p.reason.find(c[4 + 3 * k].toStdString()), std::string::npos) << p.reason;
        }
    }
}

// A whole file as exported by other tools: BOM, CRLF and LF mixed, blank lines, quoted
// names with commas, quotes and a line break; good rows stored, bad rows listed by line.
TEST(ChannelCsvImport, RealWorldFile) {
    const QByteArray file =
        "\xEF\xBB\xBF" + kHeader +
        "1,\"Hill, \"\"North\"\" rep\",446.006250,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,"
        "FM,6.25,,High,\"two\nlines\"\r\n"
        "\r\n"
        "\n"
        "4,PMR2,446.018750,,0.000000,TSQL,88.5,94.8,023,NN,023,Tone->Tone,NFM,12.50,S,0.5W,\n"
        "5,Bad,446.001000,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,FM,5.00,,High,\r\n"
        "4,Dup,446.100000,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,FM,5.00,,High,\r\n"
        "16,Last,469.990000,-,10.000000,DTCS,88.5,88.5,754,RR,023,Tone->Tone,FM,5.00,,Low,";
    EditorState s = NewConfiguration();
    SetCells(s, 5, "440.00000\t\t\t\t\tCarrier");  // a refused row leaves its channel as it was
    SetCells(s, 9, "441.00000\t\t\t\t\t\t\tHave");  // a channel no row names becomes empty
    s.InfoTexts[0] = "kept";
    const EditorState before = s;
    const CsvImportReport report = ImportChannelsCsv(file, s);
    EXPECT_FALSE(report.fatal);
    EXPECT_EQ(report.stored, (std::vector<int>{1, 4, 16}));
    EXPECT_EQ(report.refusedRows, 2);
    EXPECT_EQ(report.text(),
              "line 7, Frequency \"446.001000\": not on the 5 kHz or 6.25 kHz channel raster "
              "(nearest below: 446.00000)\n"
              "line 8, Location \"4\": channel already given on line 6\n"
              "Names and comments are not stored: the radio keeps no channel names\n"
              "3 channels stored, 2 rows refused\n");
    EXPECT_EQ(Cells(s, 1), "446.00625\tOff\t446.00625\tOff\tHigh\tOff\tWide\tHave");
    EXPECT_EQ(Cells(s, 4), "446.01875\t94.8\t446.01875\t94.8\tLow\tOff\tNarrow\tNo");
    EXPECT_EQ(Cells(s, 16), "469.99000\tD754I\t459.99000\tD754I\tLow\tOff\tWide\tHave");
    EXPECT_EQ(s.rows[4], before.rows[4]);
    EXPECT_EQ(Cells(s, 9), "\t\t\t\t\t\t\t");
    EXPECT_EQ(s.cell(9, ColChannel), "09");
    EXPECT_EQ(s.InfoTexts[0], "kept");
}

// Reordered columns, an unknown one, no Power/Mode/Skip: those keep the channel's values.
TEST(ChannelCsvImport, ColumnsByNameAndWhatTheFileLeavesOut) {
    EditorState s = NewConfiguration();
    SetCells(s, 2, "440.00000\t\t\t\tHigh\tQT/DQT\tNarrow\tHave");
    const CsvImportReport report = ImportChannelsCsv(
        "frequency,LOCATION, Duplex ,Offset,Tone,rToneFreq,URCALL\n446.1,2,+,0.5,Tone,88.5,CQCQCQ\n446.2,3,,,,,\n", s);
    ASSERT_TRUE(report.ok()) << report.text();
    EXPECT_EQ(Cells(s, 2), "446.10000\tOff\t446.60000\t88.5\tHigh\tQT/DQT\tNarrow\tHave");
    EXPECT_EQ(Cells(s, 3), "446.20000\tOff\t446.20000\tOff\tLow\tOff\tWide\tNo");
}

TEST(ChannelCsvImport, SixteenChannelsAtMost) {
    QByteArray file = kHeader;
    for (int i = 1; i <= 17; ++i) file += QByteArray::number(i % 16 + 1) + ",,446.000000,,0,,88.5,88.5,023,NN,023,Tone->Tone,FM,5.00,,High,\r\n";
    EditorState s = NewConfiguration();
    const CsvImportReport report = ImportChannelsCsv(file, s);
    EXPECT_EQ(report.stored.size(), 16u);
    EXPECT_EQ(report.refusedRows, 1);
    ASSERT_EQ(report.problems.size(), 2u) << report.text();
    EXPECT_EQ(report.problems[0].reason, "the radio holds only 16 channels; this is row 17 of the table");
    EXPECT_EQ(report.problems[1].field, "Location");
}

// The configuration the export lines describe, and the file they expect.
EditorState Sample(QByteArray* expected = nullptr) {
    EditorState s = NewConfiguration();
    if (expected) *expected = kHeader;
    for (const QByteArrayList& c : kCases) {
        if (c[0] != "export") continue;
        SetCells(s, c[1].toInt(), c.mid(2, 8).join('\t'));
        if (expected) *expected += c[10] + "\r\n";
    }
    return s;
}

TEST(ChannelCsvExport, WritesTheCommonLayout) {
    QByteArray expected;
    const EditorState s = Sample(&expected);
    std::vector<std::string> problems;
    EXPECT_EQ(ExportChannelsCsv(s, &problems), expected);
    EXPECT_TRUE(problems.empty());
}

TEST(ChannelCsvExport, ExportImportExportIsStable) {
    EditorState original = Sample();
    for (int ch : {5, 16}) original.cell(ch, ColTransmit) = original.cell(ch, ColReceive);  // receive-only is refused
    original.cell(16, ColEncode) = "Off";
    const EditorState kept = original;
    const QByteArray first = ExportChannelsCsv(original);
    EditorState imported = NewConfiguration();
    const CsvImportReport report = ImportChannelsCsv(first, imported);
    ASSERT_TRUE(report.ok()) << report.text();
    EXPECT_EQ(ExportChannelsCsv(imported), first);
    // Everything the format carries came back; Busy Lock is not in it.
    for (int ch = 1; ch <= kChannelCount; ++ch) original.cell(ch, ColBusyLock) = imported.cell(ch, ColBusyLock);
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
    CsvProblem error;
    const auto back = ReadCsvRecords(line, &error);
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(back[0].fields, fields);

    EditorState s = NewConfiguration();
    SetCells(s, 3, "4A6.00625\tOff\t446.00625\t.0\tHigh\tOff\tWide\tNo");
    std::vector<std::string> problems;
    const QByteArray csv = ExportChannelsCsv(s, &problems);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_NE(problems[0].find("channel 03"), std::string::npos);
    EditorState again = NewConfiguration();
    EXPECT_EQ(ImportChannelsCsv(csv, again).refusedRows, 1);
}

}  // namespace
}  // namespace r7
