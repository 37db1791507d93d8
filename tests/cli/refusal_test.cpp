// A value the radio cannot hold is refused, never stored as something else; every value a
// radio image gives survives a trip through JSON unchanged.

#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <random>

#include "cli_runner.h"
#include "files/dat_file.h"
#include "files/state_json.h"
#include "image/editor_defaults.h"
#include "image/image_codec.h"

using namespace r7;
using r7::test::Cli;

TEST(Refusal, EncodeRefusesWhatTheImageCannotHoldAndWritesNothing) {
    struct Case {
        const char* key;
        int row, column;  // index in the row (a channel row starts with its number); -1: a list
        const char* value;
        const char* named;  // empty: stored, and the tone word bytes below are checked
    };
    const Case cases[] = {
        {"rows", 1, 5, "low", "\"rows\" row 1, column 5 (Power): \"low\""},
        {"rows", 1, 6, "carrier", "\"rows\" row 1, column 6 (Busy Lock): \"carrier\""},
        {"rows", 1, 2, "88.5Hz", "\"rows\" row 1, column 2 (QT/DQT Dec): \"88.5Hz\""},
        {"rows", 1, 4, "819.2", "\"rows\" row 1, column 4 (QT/DQT Enc): \"819.2\""},
        {"rows", 1, 1, "446.0062", "\"rows\" row 1, column 1 (Receive): \"446.0062\""},
        {"rows", 2, 2, "Off", "\"rows\" row 2, column 2 (QT/DQT Dec): \"Off\""},  // in an empty channel
        {"OptionValues", 7, -1, "10abc", "\"OptionValues\" position 7: \"10abc\""},
        {"OptionValues", 7, -1, "11", "\"OptionValues\" position 7: \"11\""},
        {"TestFrequencies", 2, 0, "4460.0625", "\"TestFrequencies\" row 2, column 1: \"4460.0625\""},
        {"InfoTexts", 1, -1, "\xe4\xb8\xad\xe6\x96\x87", "\"InfoTexts\" position 1"},
        {"InfoTexts", 2, -1, "abcdefghijklmnopqrstuvwxyz0123456", "\"InfoTexts\" position 2"},
        {"rows", 1, 2, "D23N", ""},  // the short word 2013 a radio holds goes back as it was
        {"rows", 1, 4, "D7I", ""},
    };
    QTemporaryDir dir;
    const QString out = dir.filePath("out.DAT");
    for (const Case& c : cases) {
        EditorState s = NewConfiguration();
        s.rows[0] = {"01", "446.00625", "Off", "446.00625", "Off", "High", "Off", "Wide", "Have"};
        QJsonObject json = StateToJson(s);
        QJsonArray list = json[c.key].toArray();
        if (c.column < 0) {
            list[c.row - 1] = c.value;
        } else {
            QJsonArray row = list[c.row - 1].toArray();
            row[c.column] = c.value;
            list[c.row - 1] = row;
        }
        json[c.key] = list;
        const auto run = Cli({"encode", "-", out}, QJsonDocument(json).toJson());
        if (*c.named == 0) {
            EXPECT_EQ(run.exitCode, 0) << c.value << run.err.toStdString();
            const QByteArray file = r7::test::Contents(out);
            const QByteArray words = file.mid(5 + 8, 4);  // channel 1: decode, then encode tone word
            EXPECT_EQ(words.toHex(), c.column == 2 ? QByteArray("1320ffff") : QByteArray("ffff07a0")) << c.value;
            QFile::remove(out);
            continue;
        }
        EXPECT_EQ(run.exitCode, 1) << c.value;
        EXPECT_TRUE(run.err.contains(c.named)) << c.value << ": " << run.err.toStdString();
        EXPECT_FALSE(QFile::exists(out)) << c.value;
    }
}

TEST(Refusal, ImportCsvRefusesAChannelWithoutTransmitFrequency) {
    QTemporaryDir dir;
    const QByteArray csv = "Location,Frequency,Duplex\n1,446.006250,off\n2,446.1,\n";
    const auto run = Cli({"import-csv", "-", dir.filePath("out.DAT")}, csv);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("Duplex")) << run.err.toStdString();
    EditorState back = NewConfiguration();
    ASSERT_TRUE(DecodeImageBytes(ParseDat(r7::test::Contents(dir.filePath("out.DAT"))).image, back));
    EXPECT_TRUE(back.channelEmpty(1));  // the good row 2 is still written
    EXPECT_EQ(back.cell(2, ColTransmit), "446.10000");
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
                const std::uint16_t bases[] = {0x2000, 0xA000, 0x2800, 0xA800, 0x0000, 0x1000, 0xF000};
                const std::uint16_t base = bases[random() % 7];
                std::uint16_t word = static_cast<std::uint16_t>(base + random() % (base % 0x8000 == 0x2000 ? 0x40 : 0x1000));
                if (base == 0x2800 || base == 0xA800) word = static_cast<std::uint16_t>(base + random() % 0x200);
                image[layout::ChannelOffset(ch) + at] = static_cast<std::uint8_t>(word & 0xFF);
                image[layout::ChannelOffset(ch) + at + 1] = static_cast<std::uint8_t>(word >> 8);
            }
        }
        EditorState decoded = NewConfiguration();
        ASSERT_TRUE(DecodeImageBytes(image, decoded));
        QString error;
        const auto state = StateFromJson(StateToJson(decoded), NewConfiguration(), &error);
        ASSERT_TRUE(state) << "round " << round << ": " << error.toStdString();
        const ImageBytes written = EncodeImageBytes(*state);
        EditorState again = NewConfiguration();
        ASSERT_TRUE(DecodeImageBytes(written, again));
        EXPECT_EQ(StateToJson(again), StateToJson(decoded)) << "round " << round;
        for (int ch = 1; ch <= kChannelCount; ++ch) {
            if (decoded.channelEmpty(ch)) continue;
            const std::size_t at = layout::ChannelOffset(ch);
            EXPECT_TRUE(std::equal(image.begin() + at, image.begin() + at + 12, written.begin() + at))
                << "round " << round << ", channel " << ch;
        }
    }
}
