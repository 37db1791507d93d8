// A value the radio cannot hold is refused, never stored as something else; every value a
// radio image gives survives a trip through JSON unchanged.

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <random>

#include "cli_runner.h"
#include "data_table.h"
#include "files/state_json.h"
#include "image/editor_defaults.h"
#include "image/image_codec.h"

using namespace r7;
using r7::test::Cli;

TEST(Refusal, EncodeRefusesWhatTheImageCannotHoldAndWritesNothing) {
    QTemporaryDir dir;
    const QString out = dir.filePath("out.DAT");
    for (const test::Fields& c : test::Table("encode_refusal")) {
        SCOPED_TRACE(test::Join(c, 0, " | "));
        EditorState s = NewConfiguration();
        s.rows[0] = {"01", "446.00625", "Off", "446.00625", "Off", "High", "Off", "Wide", "Have"};
        QJsonObject json = StateToJson(s);
        const int at = std::stoi(c[1]) - 1, column = std::stoi(c[2]);
        const QString key = QString::fromStdString(c[0]), value = QString::fromStdString(c[3]);
        QJsonArray list = json[key].toArray(), row = list[at].toArray();
        if (column >= 0) row[column] = value;
        list[at] = column < 0 ? QJsonValue(value) : QJsonValue(row);
        json[key] = list;
        const auto run = Cli({"encode", "-", out}, QJsonDocument(json).toJson());
        EXPECT_EQ(run.exitCode, c[4] == "stored" ? 0 : 1);
        EXPECT_TRUE(c[4] == "stored" || run.err.contains(c[4])) << run.err.toStdString();
        EXPECT_EQ(test::Contents(out).mid(5 + 8, 4).toHex().toStdString(),
                  c[5]);  // channel 1's tone words
        QFile::remove(out);
    }
}

// Random images, tone words drawn so that short DCS words and odd CTCSS values are frequent:
// decode, JSON, encode must be accepted and give the same configuration, and every used
// channel's frequencies and tone words come back byte for byte. (DCS words 2040-27FF and
// 2A00-2FFF read as the same text as a word 28xx, so they cannot come back as they were.)
TEST(Refusal, EveryDecodedImageGoesBackThroughJson) {
    std::mt19937 random(13);
    auto byte = [&] { return static_cast<std::uint8_t>(random() & 0xFF); };
    for (int round = 0; round < 300; ++round) {
        std::vector<std::uint8_t> image(layout::kImageSize);
        for (auto& b : image) b = byte();
        for (int ch = 1; ch <= kChannelCount; ++ch) {
            for (std::size_t at : {layout::kRecDecodeTone, layout::kRecEncodeTone}) {
                const std::uint16_t bases[] = {0x2000, 0xA000, 0x2800, 0xA800,
                                               0x0000, 0x1000, 0xF000};
                const std::uint16_t base = bases[random() % 7];
                std::uint16_t word = static_cast<std::uint16_t>(
                    base + random() % (base % 0x8000 == 0x2000 ? 0x40 : 0x1000));
                if (base == 0x2800 || base == 0xA800)
                    word = static_cast<std::uint16_t>(base + random() % 0x200);
                image[layout::ChannelOffset(ch) + at] = static_cast<std::uint8_t>(word & 0xFF);
                image[layout::ChannelOffset(ch) + at + 1] = static_cast<std::uint8_t>(word >> 8);
            }
        }
        EditorState decoded = NewConfiguration();
        ASSERT_TRUE(DecodeImageBytes(image, decoded));
        const StateJsonResult state = StateFromJson(StateToJson(decoded), NewConfiguration());
        ASSERT_TRUE(state) << "round " << round << ": " << state.error().toStdString();
        const ImageBytes written = EncodeImageBytes(*state);
        EditorState again = NewConfiguration();
        ASSERT_TRUE(DecodeImageBytes(written, again));
        EXPECT_EQ(StateToJson(again), StateToJson(decoded)) << "round " << round;
        for (int ch = 1; ch <= kChannelCount; ++ch) {
            if (decoded.channelEmpty(ch)) continue;
            const std::size_t at = layout::ChannelOffset(ch);
            EXPECT_TRUE(
                std::equal(image.begin() + at, image.begin() + at + 12, written.begin() + at))
                << "round " << round << ", channel " << ch;
        }
    }
}
