#include "files/channel_csv.h"

#include <gtest/gtest.h>

#include <QByteArrayList>

#include "image/editor_defaults.h"
#include "image/setting_lists.h"

namespace r7 {
namespace {

const char kHeader[] =
    "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,"
    "RxDtcsCode,CrossMode,Mode,TStep,Skip,Power,Comment\r\n";

ChannelRow Row(const char* rx, const char* dec, const char* tx, const char* enc, const char* power,
               const char* busy, const char* band, const char* scan) {
    return {"", rx, dec, tx, enc, power, busy, band, scan};
}

ChannelRow Cells(const EditorState& s, int ch) {
    ChannelRow r = s.rows[ch - 1];
    r[ColChannel].clear();
    return r;
}

// One data row each, imported into a new configuration as channel 1.
TEST(ChannelCsvImport, RowsTheRadioCanHold) {
    struct Case {
        const char* row;
        ChannelRow expected;
    };
    const Case cases[] = {
        {"1,\"Rep, North\",446.006250,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,FM,6.25,,High,",
         Row("446.00625", "Off", "446.00625", "Off", "High", "Off", "Wide", "Have")},
        {"1,,440.000000,+,5.000000,Tone,88.5,100.0,023,NN,023,Tone->Tone,NFM,5.00,S,Low,",
         Row("440.00000", "Off", "445.00000", "88.5", "Low", "Off", "Narrow", "No")},
        {"1,,445.000000,-,5,TSQL,67.0,254.10,023,NN,023,Tone->Tone,FM,5.00,,5.0W,",
         Row("445.00000", "254.1", "440.00000", "254.1", "High", "Off", "Wide", "Have")},
        {"1,,446.1,split,433.525,DTCS,88.5,88.5,23,NR,754,Tone->Tone,FM,5.00,,1.0W,",
         Row("446.10000", "D023I", "433.52500", "D023N", "Low", "Off", "Wide", "Have")},
        {"1,,430.000000,,0,Cross,100.0,123.0,023,NN,023,Tone->Tone,FM,5.00,,High,",
         Row("430.00000", "123.0", "430.00000", "100.0", "High", "Off", "Wide", "Have")},
        {"1,,430.000000,,0,Cross,100.0,88.5,023,NR,065,Tone->DTCS,FM,5.00,,High,",
         Row("430.00000", "D065I", "430.00000", "100.0", "High", "Off", "Wide", "Have")},
        {"1,,430.000000,,0,Cross,88.5,127.3,754,RN,023,DTCS->Tone,FM,5.00,,High,",
         Row("430.00000", "127.3", "430.00000", "D754I", "High", "Off", "Wide", "Have")},
        {"1,,430.000000,,0,Cross,88.5,85.4,023,NN,023,->Tone,FM,5.00,,High,",
         Row("430.00000", "85.4", "430.00000", "Off", "High", "Off", "Wide", "Have")},
        {"1,,430.000000,,0,Cross,88.5,88.5,023,NR,131,->DTCS,FM,5.00,,High,",
         Row("430.00000", "D131I", "430.00000", "Off", "High", "Off", "Wide", "Have")},
        {"1,,430.000000,,0,Cross,88.5,88.5,311,RR,023,DTCS->,FM,5.00,,High,",
         Row("430.00000", "Off", "430.00000", "D311I", "High", "Off", "Wide", "Have")},
        {"1,,430.000000,,0,Cross,88.5,88.5,411,NR,412,DTCS->DTCS,FM,5.00,,High,",
         Row("430.00000", "D412I", "430.00000", "D411N", "High", "Off", "Wide", "Have")},
        // The lower band edge; the upper one is in the export table.
        {"1,,400.000000,,0,,88.5,88.5,023,NN,023,Tone->Tone,FM,5.00,,High,",
         Row("400.00000", "Off", "400.00000", "Off", "High", "Off", "Wide", "Have")},
        // Upper or lower case values, as tools write them differently.
        {"1,,435.125,,0,tsql,88.5,88.5,023,NN,023,Tone->Tone,nfm,5.00,s,high,",
         Row("435.12500", "88.5", "435.12500", "88.5", "High", "Off", "Narrow", "No")},
    };
    for (const Case& c : cases) {
        EditorState s = NewConfiguration();
        CsvImportReport report = ImportChannelsCsv(QByteArray(kHeader) + c.row + "\r\n", s);
        EXPECT_TRUE(report.ok()) << c.row << "\n" << report.text();
        EXPECT_EQ(Cells(s, 1), c.expected) << c.row;
        EXPECT_EQ(s.cell(1, ColChannel), "01");
    }
}

// The header's fields of a plain row, with some of them replaced.
using FieldValues = std::vector<std::pair<const char*, const char*>>;

QByteArray RowWith(const FieldValues& changes) {
    const QList<QByteArray> names = QByteArray(kHeader).trimmed().split(',');
    QList<QByteArray> fields =
        QByteArray("1,,446.000000,,0,,88.5,88.5,023,NN,023,Tone->Tone,FM,5.00,,High,").split(',');
    for (auto [name, value] : changes) fields[names.indexOf(name)] = value;
    return fields.join(',');
}

// One data row each that must be refused, naming the field and the value.
TEST(ChannelCsvImport, RowsTheRadioCannotHoldAreListed) {
    struct Case {
        const char* field;
        const char* value;
        const char* reason;  // a part of the reason
        FieldValues also = {};  // other fields the case needs
    };
    const Case cases[] = {
        {"Frequency", "470.000000", "out of band"},
        {"Frequency", "399.995000", "out of band"},
        {"Frequency", "446.003000", "nearest below: 446.00000"},
        {"Frequency", "446.006251", "raster (nearest below: 446.00625)"},
        {"Frequency", "446.0MHz", "not a frequency"},
        {"Offset", "5.000000", "transmit frequency 472.00000 out of band", {{"Frequency", "467.000000"}, {"Duplex", "+"}}},
        {"Offset", "446.001", "raster", {{"Duplex", "split"}}},
        {"Duplex", "x", "unknown duplex"},
        {"rToneFreq", "69.4", "50 CTCSS tones", {{"Tone", "Tone"}}},
        {"cToneFreq", "", "not a CTCSS tone", {{"Tone", "TSQL"}}},
        {"DtcsCode", "024", "105 DCS codes", {{"Tone", "DTCS"}}},
        {"DtcsCode", "089", "octal", {{"Tone", "DTCS"}}},
        {"DtcsPolarity", "NX", "NN, NR, RN or RR", {{"Tone", "DTCS"}}},
        {"RxDtcsCode", "999", "DCS code", {{"Tone", "Cross"}, {"CrossMode", "->DTCS"}}},
        {"CrossMode", "Tone=>Tone", "unknown cross mode", {{"Tone", "Cross"}}},
        {"Tone", "DV", "unknown tone mode"},
        {"Mode", "AM", "FM (Wide) and NFM (Narrow)"},
        {"Skip", "P", "priority"},
        {"Power", "Max", "High, Low"},
        {"Location", "0", "1 to 16"},
        {"Location", "17", "1 to 16"},
        {"Location", "one", "1 to 16"},
        {"", "16 fields", "the header has 17"},
    };
    for (const Case& c : cases) {
        FieldValues changes = c.also;
        if (*c.field) changes.emplace_back(c.field, c.value);
        QByteArray row = RowWith(changes);
        if (!*c.field) row.chop(1);  // the last field left out
        SCOPED_TRACE(row.toStdString());
        EditorState s = NewConfiguration();
        const EditorState before = s;
        CsvImportReport report = ImportChannelsCsv(QByteArray(kHeader) + row + "\r\n", s);
        EXPECT_FALSE(report.fatal);
        EXPECT_EQ(report.refusedRows, 1);
        EXPECT_TRUE(report.stored.empty());
        ASSERT_EQ(report.problems.size(), 1u) << report.text();
        const CsvProblem& p = report.problems[0];
        EXPECT_EQ(p.row, 2);
        EXPECT_EQ(p.field, c.field);
        EXPECT_EQ(p.value, c.value);
        EXPECT_NE(p.reason.find(c.reason), std::string::npos) << p.reason;
        EXPECT_EQ(s, before);
    }
}

TEST(ChannelCsvImport, EveryProblemOfARowIsListed) {
    EditorState s = NewConfiguration();
    CsvImportReport report = ImportChannelsCsv(
        QByteArray(kHeader) + "3,,480,x,0,Tone,1.0,88.5,023,NN,023,Tone->Tone,AM,5.00,Q,9,\r\n", s);
    std::vector<std::string> fields;
    for (const auto& p : report.problems) fields.push_back(p.field);
    EXPECT_EQ(fields,
              (std::vector<std::string>{"Frequency", "Duplex", "rToneFreq", "Mode", "Skip"}))
        << report.text();
    // 9 watts is a valid High.
    EXPECT_EQ(report.refusedRows, 1);
}

// A whole file as exported by other tools: BOM, CRLF and LF mixed, blank lines, quoted
// names with commas, quotes and a line break; good rows stored, bad rows listed by line.
TEST(ChannelCsvImport, RealWorldFile) {
    const QByteArray file =
        QByteArray("\xEF\xBB\xBF") + kHeader +
        "1,\"Hill, \"\"North\"\" rep\",446.006250,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,"
        "FM,6.25,,High,\"two\nlines\"\r\n"
        "\r\n"
        "\n"
        "4,PMR2,446.018750,,0.000000,TSQL,88.5,94.8,023,NN,023,Tone->Tone,NFM,12.50,S,0.5W,\n"
        "5,Bad,446.001000,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,FM,5.00,,High,\r\n"
        "4,Dup,446.100000,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,FM,5.00,,High,\r\n"
        "16,Last,469.990000,-,10.000000,DTCS,88.5,88.5,754,RR,023,Tone->Tone,FM,5.00,,Low,";
    EditorState s = NewConfiguration();
    s.cell(5, ColReceive) = "440.00000";  // a refused row leaves its channel as it was
    s.cell(5, ColBusyLock) = "Carrier";
    s.cell(9, ColReceive) = "441.00000";  // a channel no row names becomes empty
    s.cell(9, ColScan) = "Have";
    s.InfoTexts[0] = "kept";
    CsvImportReport report = ImportChannelsCsv(file, s);
    EXPECT_FALSE(report.fatal);
    EXPECT_EQ(report.stored, (std::vector<int>{1, 4, 16}));
    EXPECT_EQ(report.refusedRows, 2);
    ASSERT_EQ(report.problems.size(), 2u) << report.text();
    EXPECT_EQ(report.problems[0].row, 7);
    EXPECT_EQ(report.problems[0].field, "Frequency");
    EXPECT_EQ(report.problems[1].row, 8);
    EXPECT_EQ(report.problems[1].field, "Location");
    EXPECT_EQ(report.problems[1].reason, "channel already given on line 6");
    EXPECT_EQ(report.text(),
              "line 7, Frequency \"446.001000\": not on the 5 kHz or 6.25 kHz channel raster "
              "(nearest below: 446.00000)\n"
              "line 8, Location \"4\": channel already given on line 6\n"
              "Names and comments are not stored: the radio keeps no channel names\n"
              "3 channels stored, 2 rows refused\n");

    EXPECT_EQ(Cells(s, 1),
              Row("446.00625", "Off", "446.00625", "Off", "High", "Off", "Wide", "Have"));
    EXPECT_EQ(Cells(s, 4),
              Row("446.01875", "94.8", "446.01875", "94.8", "Low", "Off", "Narrow", "No"));
    EXPECT_EQ(Cells(s, 16),
              Row("469.99000", "D754I", "459.99000", "D754I", "Low", "Off", "Wide", "Have"));
    EXPECT_EQ(s.cell(5, ColReceive), "440.00000");
    EXPECT_EQ(s.cell(5, ColBusyLock), "Carrier");
    EXPECT_TRUE(Cells(s, 9) == ChannelRow{});
    EXPECT_EQ(s.cell(9, ColChannel), "09");
    EXPECT_EQ(s.InfoTexts[0], "kept");
}

TEST(ChannelCsvImport, ColumnsByNameAndWhatTheFileLeavesOut) {
    // Reordered columns, an unknown one, no Power/Mode/Skip: those keep the channel's values.
    const QByteArray file =
        "frequency,LOCATION, Duplex ,Offset,Tone,rToneFreq,URCALL\n"
        "446.1,2,+,0.5,Tone,88.5,CQCQCQ\n"
        "446.2,3,,,,,\n";
    EditorState s = NewConfiguration();
    s.cell(2, ColReceive) = "440.00000";
    s.cell(2, ColPower) = "High";
    s.cell(2, ColBusyLock) = "QT/DQT";
    s.cell(2, ColBand) = "Narrow";
    s.cell(2, ColScan) = "Have";
    CsvImportReport report = ImportChannelsCsv(file, s);
    ASSERT_TRUE(report.ok()) << report.text();
    EXPECT_EQ(Cells(s, 2),
              Row("446.10000", "Off", "446.60000", "88.5", "High", "QT/DQT", "Narrow", "Have"));
    EXPECT_EQ(Cells(s, 3), Row("446.20000", "Off", "446.20000", "Off", "Low", "Off", "Wide", "No"));
}

TEST(ChannelCsvImport, FilesThatAreNoChannelTableChangeNothing) {
    struct Case {
        QByteArray file;
        const char* reason;
    };
    const Case cases[] = {
        {"", "no header line"},
        {"\r\n\r\n", "no header line"},
        {"1,,446.0\n", "Location and Frequency"},
        {"Location,Name,Frequency,Location\n1,,446,2\n", "appears twice"},
        {QByteArray(kHeader) + "1,\"open,446.0,,0\n", "broken quoting"},
        {QByteArray(kHeader) + "1,12\" dish,446.0,,0\n", "broken quoting"},
    };
    for (const Case& c : cases) {
        EditorState s = NewConfiguration();
        s.cell(7, ColReceive) = "440.00000";
        const EditorState before = s;
        CsvImportReport report = ImportChannelsCsv(c.file, s);
        EXPECT_TRUE(report.fatal) << c.file.toStdString();
        ASSERT_EQ(report.problems.size(), 1u);
        EXPECT_NE(report.problems[0].reason.find(c.reason), std::string::npos) << report.text();
        EXPECT_EQ(s, before);
    }
    EditorState s = NewConfiguration();
    CsvImportReport report = ImportChannelsCsv(QByteArray(kHeader) + "\n1,12\" dish,446.0,,0\n", s);
    EXPECT_EQ(report.problems[0].row, 3);
}

TEST(ChannelCsvImport, SixteenChannelsAtMost) {
    QByteArray file = kHeader;
    for (int i = 1; i <= 17; ++i) {
        file += QByteArray::number(i == 17 ? 1 : i) +
                ",,446.000000,,0,,88.5,88.5,023,NN,023,"
                "Tone->Tone,FM,5.00,,High,\r\n";
    }
    EditorState s = NewConfiguration();
    CsvImportReport report = ImportChannelsCsv(file, s);
    EXPECT_EQ(report.stored.size(), 16u);
    EXPECT_EQ(report.refusedRows, 1);
    ASSERT_EQ(report.problems.size(), 2u) << report.text();
    EXPECT_EQ(report.problems[0].reason,
              "the radio holds only 16 channels; this is row 17 of the table");
    EXPECT_EQ(report.problems[1].field, "Location");
}

EditorState SampleChannels() {
    EditorState s = NewConfiguration();
    s.rows[0] = Row("446.00625", "Off", "446.00625", "Off", "High", "Off", "Wide", "Have");
    s.rows[1] = Row("440.00000", "100.0", "445.00000", "100.0", "Low", "Carrier", "Narrow", "No");
    s.rows[2] = Row("445.00000", "D754I", "440.00000", "D754N", "High", "QT/DQT", "Wide", "Have");
    s.rows[4] = Row("450.00000", "D025N", "", "D023I", "Low", "Off", "Wide", "No");
    s.rows[6] = Row("430.00000", "123.0", "460.00000", "67.0", "High", "Off", "Wide", "Have");
    s.rows[8] = Row("430.01250", "Off", "430.01250", "85.4", "High", "Off", "Wide", "Have");
    s.rows[9] = Row("430.00000", "D131I", "430.00000", "Off", "High", "Off", "Wide", "Have");
    s.rows[15] = Row("469.99375", "Off", "", "", "High", "Off", "Narrow", "No");
    for (int ch = 1; ch <= kChannelCount; ++ch) s.cell(ch, ColChannel) = ChannelNumberText(ch);
    return s;
}

TEST(ChannelCsvExport, WritesTheCommonLayout) {
    const QByteArray expected =
        QByteArray(kHeader) +
        "1,,446.006250,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,FM,6.25,,High,\r\n"
        "2,,440.000000,+,5.000000,TSQL,100.0,100.0,023,NN,023,Tone->Tone,NFM,5.00,S,Low,\r\n"
        "3,,445.000000,-,5.000000,DTCS,88.5,88.5,754,NR,754,Tone->Tone,FM,5.00,,High,\r\n"
        "5,,450.000000,off,0.000000,Cross,88.5,88.5,023,RN,025,DTCS->DTCS,FM,5.00,S,Low,\r\n"
        "7,,430.000000,+,30.000000,Cross,67.0,123.0,023,NN,023,Tone->Tone,FM,5.00,,High,\r\n"
        "9,,430.012500,,0.000000,Tone,85.4,88.5,023,NN,023,Tone->Tone,FM,6.25,,High,\r\n"
        "10,,430.000000,,0.000000,Cross,88.5,88.5,023,NR,131,->DTCS,FM,5.00,,High,\r\n"
        "16,,469.993750,off,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,NFM,6.25,S,High,\r\n";
    std::vector<std::string> problems;
    EXPECT_EQ(ExportChannelsCsv(SampleChannels(), &problems), expected);
    EXPECT_TRUE(problems.empty());
}

TEST(ChannelCsvExport, ExportImportExportIsStable) {
    EditorState original = SampleChannels();
    for (int ch : {5, 16}) original.cell(ch, ColTransmit) = original.cell(ch, ColReceive);  // receive-only is refused
    original.cell(16, ColEncode) = "Off";
    const QByteArray first = ExportChannelsCsv(original);
    EditorState imported = NewConfiguration();
    CsvImportReport report = ImportChannelsCsv(first, imported);
    ASSERT_TRUE(report.ok()) << report.text();
    EXPECT_EQ(ExportChannelsCsv(imported), first);
    // Everything the format carries came back; Busy Lock is not in it.
    for (int ch = 1; ch <= kChannelCount; ++ch) {
        ChannelRow want = Cells(original, ch), got = Cells(imported, ch);
        want[ColBusyLock] = got[ColBusyLock] = "";
        EXPECT_EQ(got, want) << "channel " << ch;
    }
    // Onto its own configuration, even Busy Lock stays.
    EditorState same = original;
    ASSERT_TRUE(ImportChannelsCsv(first, same).ok());
    EXPECT_EQ(same, original);
}

TEST(ChannelCsvExport, QuotesOnlyWhatNeedsIt) {
    EXPECT_EQ(WriteCsvRecords({{"a,b", "say \"hi\"", "x\ny", " pad", "plain"}}),
              "\"a,b\",\"say \"\"hi\"\"\",\"x\ny\",\" pad\",plain\r\n");
    CsvProblem error;
    auto back = ReadCsvRecords("\"a,b\",\"say \"\"hi\"\"\",\"x\ny\",\" pad\",plain\r\n", &error);
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(back[0].fields,
              (std::vector<std::string>{"a,b", "say \"hi\"", "x\ny", " pad", "plain"}));
}

TEST(ChannelCsvExport, DamagedTextsAreNamed) {
    EditorState s = NewConfiguration();
    s.rows[2] = Row("4A6.00625", "Off", "446.00625", ".0", "High", "Off", "Wide", "No");
    std::vector<std::string> problems;
    QByteArray csv = ExportChannelsCsv(s, &problems);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_NE(problems[0].find("channel 03"), std::string::npos);
    EditorState again = NewConfiguration();
    EXPECT_EQ(ImportChannelsCsv(csv, again).refusedRows, 1);
}

}  // namespace
}  // namespace r7
