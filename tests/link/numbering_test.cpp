// Numbered radios: the pattern's rules, and a batch that refuses a line the radio cannot hold
// before that radio is written.

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "cli_runner.h"
#include "files/programming_log.h"
#include "image/editor_defaults.h"
#include "image/radio_numbering.h"
#include "simulated_radio.h"

namespace r7 {
namespace {

const std::string k31 = "ACME RADIO HIRE, SHOP COUNTER U";  // 31 characters

// pattern, line, first, radios in the batch (0 open-ended), the first line or "" when refused.
TEST(RadioNumbering, PatternsAndTheLineTheRadioHolds) {
    struct Case {
        std::string pattern;
        int line, first, radios;
        std::string firstLine;
    };
    const Case cases[] = {
        {"UNIT {n}", 2, 7, 0, "UNIT 7"},
        {"ACME {n:02}", 1, 7, 3, "ACME 07"},
        {"{n:03}-B", 1, 1000, 0, "1000-B"},
        {k31 + "{n}", 1, 9, 1, k31 + "9"},  // 32 characters
        {k31 + "{n}", 1, 9, 0, k31 + "9"},  // open-ended: radio 2 is refused when it comes
        {k31 + "{n}", 1, 9, 2, ""},         // the last radio's line has 33
        {k31 + "{n}", 1, 10, 0, ""},
        {"\xC3\xBF{n}", 1, 1, 0, ""},      // ÿ ends a line in the radio
        {"\xE2\x82\xAC{n}", 1, 1, 0, ""},  // € is no single-byte character
        {"\xC3\xA9{n}", 1, 1, 0,
         "\xC3\xA9"
         "1"},
        {"UNIT", 1, 1, 0, ""},
        {"{n}{n}", 1, 1, 0, ""},
        {"{n:0}", 1, 1, 0, ""},
        {"{n:2}", 1, 1, 0, ""},
        {"UNIT {n}", 3, 1, 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pattern + " first " + std::to_string(c.first));
        std::string error;
        const auto numbering = ParseRadioNumbering(c.pattern, c.line, c.first, &error);
        EditorState state = NewConfiguration();
        const std::string refusal =
            numbering ? NumberingRefusal(*numbering, state, c.radios) : error;
        EXPECT_EQ(refusal.empty(), !c.firstLine.empty()) << refusal;
        if (refusal.empty()) {
            EXPECT_TRUE(numbering->apply(state, c.first));
            EXPECT_EQ(state.InfoTexts[c.line - 1], c.firstLine);
        }
    }
}

// An open-ended batch writes radios 8 and 9 and stops before radio 10, whose line would have 33
// characters; a batch of three is refused before its first radio. The log keeps each line.
TEST(RadioNumbering, BatchStopsBeforeTheRadioWhoseLineDoesNotFit) {
    QTemporaryDir dir;
    qputenv("XDG_DATA_HOME", dir.filePath("data").toLocal8Bit());
    const QString in = dir.filePath("in.DAT");
    ASSERT_EQ(test::Cli({"new", in}).exitCode, 0);
    ImageBytes memory{};
    memory.fill(0xFF);
    test::Sim sim(dir.filePath("radio"), memory);
    const QStringList numbered = {
        "write",       "--port", sim.device, in,
        "--info-line", "1",      "--number", QString::fromStdString(k31 + "{n}"),
        "--first",     "8"};
    const test::CliRun refused = test::Cli(numbered + QStringList{"--repeat-count", "3"});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(refused.err.contains("nothing written: information line 1"))
        << refused.err.toStdString();

    test::CliSession batch(numbered + QStringList{"--repeat"});
    ASSERT_TRUE(batch.WaitFor("connect radio 2")) << batch.out.toStdString();
    batch.process.write("\n");
    ASSERT_TRUE(batch.WaitFor("connect radio 3")) << batch.out.toStdString();
    batch.process.write("\n");
    EXPECT_EQ(batch.Finish(), 1);
    EXPECT_TRUE(batch.out.endsWith("batch ended: 2 radios programmed\n"))
        << batch.out.toStdString();
    const ImageBytes held = sim.Saved();
    EXPECT_EQ(std::string(held.begin() + 0x2F0, held.begin() + 0x310), k31 + "9");

    const LogRead log = ReadLog(DefaultLogPath());
    ASSERT_EQ(log.entries.size(), 2u);
    EXPECT_EQ(log.entries[1].infoLine, QString::fromStdString("line 1: " + k31 + "9"));
    EXPECT_EQ(log.entries[1].radio, 2);
    EXPECT_EQ(log.entries[1].outcome, QStringLiteral("written"));
}

}  // namespace
}  // namespace r7
