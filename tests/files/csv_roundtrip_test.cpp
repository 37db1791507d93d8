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

// Random channels a radio can hold: frequencies in the band on either raster, listed tones.
struct RandomChannels {
    std::mt19937 random{20};
    std::string pick(const std::vector<std::string>& from) { return from[random() % from.size()]; }
    std::string frequency() {
        const long long step = random() % 2 ? 500 : 625;
        return Frequency::FromUnits((40000000 + random() % 7000000) / step * step).text();
    }
    std::string tone() {
        char dcs[8];
        std::snprintf(dcs, sizeof dcs, "D%03o%c", DcsCodes()[random() % DcsCodes().size()],
                      random() % 2 ? 'N' : 'I');
        return pick({"Off", pick(CtcssTones()), dcs});
    }
    // A third of the channels receive only, with or without an encode tone.
    ChannelRow row(int ch) {
        return {ChannelNumberText(ch),
                frequency(),
                tone(),
                random() % 3 ? frequency() : "",
                tone(),
                pick({"High", "Low"}),
                pick({"Off", "Carrier", "QT/DQT"}),
                pick({"Wide", "Narrow"}),
                pick({"Have", "No"})};
    }
};

TEST(CsvRoundTrip, ExportThenImportGivesEveryChannelBack) {
    RandomChannels make;
    for (int round = 0; round < 300; ++round) {
        EditorState edited = NewConfiguration(), radio = NewConfiguration();
        for (int ch = 1; ch <= kChannelCount; ++ch) {
            if (make.random() % 4) edited.rows[ch - 1] = make.row(ch);
        }
        ASSERT_TRUE(DecodeImageBytes(EncodeImageBytes(edited), radio));  // as a read gives it
        std::vector<std::string> problems;
        const QByteArray csv = ExportChannelsCsv(radio, &problems);
        EditorState imported = radio;
        const CsvImportReport report = ImportChannelsCsv(csv, imported);
        ASSERT_TRUE(report.ok() && problems.empty()) << round << ": " << report.text();
        EXPECT_EQ(imported.rows, radio.rows) << "round " << round << "\n" << csv.toStdString();
    }
}

}  // namespace
}  // namespace r7
