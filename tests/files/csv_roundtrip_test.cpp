// What export-csv writes, import-csv gives back: every channel of any configuration a radio
// can hold (receive-only channels, with or without an encode tone, included), cell for cell.

#include <gtest/gtest.h>

#include <cstdio>
#include <random>

#include "files/channel_csv.h"
#include "image/editor_defaults.h"
#include "image/frequency.h"
#include "image/image_codec.h"
#include "image/setting_lists.h"

namespace r7 {
namespace {

// A random value a radio can hold: frequencies in the band on either raster, tones of the lists.
struct RandomChannels {
    std::mt19937 random{20};
    std::string pick(std::vector<std::string> options) {
        return options[random() % options.size()];
    }
    std::string frequency() {
        const long long step = random() % 2 ? 500 : 625;
        return Frequency::FromUnits((40000000 + static_cast<long long>(random() % 7000000)) / step *
                                    step)
            .text();
    }
    std::string tone() {
        char dcs[8];
        std::snprintf(dcs, sizeof dcs, "D%03o%c", DcsCodes()[random() % DcsCodes().size()],
                      random() % 2 ? 'N' : 'I');
        return pick({"Off", CtcssTones()[random() % CtcssTones().size()], dcs});
    }
    void fill(EditorState& s, int ch) {
        s.cell(ch, ColReceive) = frequency();
        s.cell(ch, ColTransmit) = random() % 3 ? frequency() : "";  // a third receive only
        s.cell(ch, ColDecode) = tone();
        s.cell(ch, ColEncode) = tone();
        s.cell(ch, ColPower) = pick({"High", "Low"});
        s.cell(ch, ColBusyLock) = pick({"Off", "Carrier", "QT/DQT"});
        s.cell(ch, ColBand) = pick({"Wide", "Narrow"});
        s.cell(ch, ColScan) = pick({"Have", "No"});
    }
};

TEST(CsvRoundTrip, ExportThenImportGivesEveryChannelBack) {
    RandomChannels make;
    for (int round = 0; round < 300; ++round) {
        EditorState edited = NewConfiguration();
        for (int ch = 1; ch <= kChannelCount; ++ch) {
            if (make.random() % 4) make.fill(edited, ch);
        }
        // What the radio holds, as a read gives it.
        EditorState radio = NewConfiguration();
        ASSERT_TRUE(DecodeImageBytes(EncodeImageBytes(edited), radio));
        std::vector<std::string> problems;
        const QByteArray csv = ExportChannelsCsv(radio, &problems);
        EXPECT_TRUE(problems.empty()) << "round " << round;
        EditorState imported = radio;
        const CsvImportReport report = ImportChannelsCsv(csv, imported);
        ASSERT_TRUE(report.ok()) << "round " << round << ": " << report.text();
        int receiveOnly = 0;
        for (int ch = 1; ch <= kChannelCount; ++ch) {
            receiveOnly += !radio.channelEmpty(ch) && radio.cell(ch, ColTransmit).empty();
            EXPECT_EQ(imported.rows[ch - 1], radio.rows[ch - 1])
                << "round " << round << ", channel " << ch << "\n"
                << csv.toStdString();
        }
        EXPECT_EQ(report.receiveOnly, receiveOnly) << "round " << round;
        EXPECT_EQ(EncodeImageBytes(imported), EncodeImageBytes(radio)) << "round " << round;
    }
}

}  // namespace
}  // namespace r7
