// Numbered radios: the pattern's rules, and a batch that refuses a line the radio cannot hold
// before that radio is written.

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "cli_runner.h"
#include "data_table.h"
#include "files/programming_log.h"
#include "image/editor_defaults.h"
#include "image/radio_numbering.h"
#include "simulated_radio.h"

namespace r7 {
namespace {

const std::string k31 = "ACME RADIO HIRE, SHOP COUNTER U";  // 31 characters

// The table radio_numbers: each pattern's first line, or its refusal.
TEST(RadioNumbering, PatternsAndTheLineTheRadioHolds) {
    for (const test::Fields& c : test::Table("radio_numbers")) {
        SCOPED_TRACE(c[0] + " first " + c[2]);
        std::string error;
        const int line = std::stoi(c[1]), first = std::stoi(c[2]);
        const auto numbering = ParseRadioNumbering(c[0], line, first, &error);
        EditorState state = NewConfiguration();
        const std::string refusal =
            numbering ? NumberingRefusal(*numbering, state, std::stoi(c[3])) : error;
        EXPECT_EQ(refusal.empty(), !c[4].empty()) << refusal;
        if (refusal.empty()) {
            EXPECT_TRUE(numbering->apply(state, first));
            EXPECT_EQ(state.InfoTexts[line - 1], c[4]);
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
    ASSERT_EQ(log->size(), 2u);
    EXPECT_EQ((*log)[1].infoLine, QString::fromStdString("line 1: " + k31 + "9"));
    EXPECT_EQ((*log)[1].radio, 2);
    EXPECT_EQ((*log)[1].outcome, QStringLiteral("written"));
}

}  // namespace
}  // namespace r7
