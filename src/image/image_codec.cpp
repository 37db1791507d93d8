#include "image_codec.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "conversions.h"
#include "hex_text.h"

namespace r7 {

namespace {

using namespace layout;

std::uint8_t ClampByte(long long v) { return static_cast<std::uint8_t>(std::clamp(v, 0LL, 255LL)); }

// The number an OptionValues text holds ("10" -> 10); banker's rounding like a list value.
long long OptionNumber(const std::string& text) {
    double v = LeadingNumber(text);
    if (v > 1e6) return 1000000;
    if (v < -1e6) return -1000000;
    return static_cast<long long>(std::nearbyint(v));
}

void PutFrequency(ImageBytes& img, std::size_t at, const std::string& text) {
    // Text outside the nine-character form cannot be stored as BCD digits: it becomes
    // "no frequency" rather than garbled bytes.
    auto bytes = EncodeFrequency(text);
    for (int k = 0; k < 4; ++k) img[at + k] = bytes ? (*bytes)[k] : 0xFF;
}

void PutTone(ImageBytes& img, std::size_t at, const std::string& text) {
    std::uint16_t word = EncodeTone(text).value_or(kToneOff);
    img[at] = static_cast<std::uint8_t>(word & 0xFF);
    img[at + 1] = static_cast<std::uint8_t>(word >> 8);
}

void PutChannel(ImageBytes& img, const EditorState& s, int channel) {
    std::size_t r = ChannelOffset(channel);
    // An empty channel is stored as one, whatever its other cells still hold.
    if (s.channelEmpty(channel)) {
        std::copy(kEmptyChannelRecord.begin(), kEmptyChannelRecord.end(), img.begin() + r);
        return;
    }
    PutFrequency(img, r + kRecReceive, s.cell(channel, ColReceive));
    PutFrequency(img, r + kRecTransmit, s.cell(channel, ColTransmit));
    PutTone(img, r + kRecDecodeTone, s.cell(channel, ColDecode));
    PutTone(img, r + kRecEncodeTone, s.cell(channel, ColEncode));
    img[r + kRecBusyLock] = EncodeBusyLock(s.cell(channel, ColBusyLock));
    img[r + kRecPowerBand] = EncodePowerBand(s.cell(channel, ColPower), s.cell(channel, ColBand));
}

std::uint8_t SettingByte(const EditorState& s, const SettingField& f) {
    if (f.target == SettingTarget::Option) return ClampByte(OptionNumber(s.option(f.index)));
    int pos = s.combo(f.index);
    switch (f.rule) {
        case SettingRule::Switch:
            return pos == 0 ? 0x00 : 0xFF;
        case SettingRule::Direct:
            return ClampByte(pos);
        case SettingRule::Doubled:
            return ClampByte(2LL * pos);
        case SettingRule::Squelch:
            // The entry's text "1" ... "9"; no entry selected reads as 0.
            return (pos >= 0 && pos < f.maxAccepted) ? static_cast<std::uint8_t>(pos + 1) : 0;
    }
    return 0xFF;
}

void TakeSetting(EditorState& s, const SettingField& f, std::uint8_t value) {
    int v = value;
    switch (f.rule) {
        case SettingRule::Switch:
            s.combo(f.index) = v < 2 ? 0 : 1;
            return;
        case SettingRule::Direct:
            if (v > f.maxAccepted) return;
            if (f.target == SettingTarget::Option) {
                s.option(f.index) = std::to_string(v);
            } else {
                s.combo(f.index) = v;
            }
            return;
        case SettingRule::Doubled:
            if (v <= f.maxAccepted) s.combo(f.index) = v / 2;
            return;
        case SettingRule::Squelch:
            if (v >= 1 && v <= f.maxAccepted) s.combo(f.index) = v - 1;
            return;
    }
}

// Cells 1-7 of a channel; its Scan cell is set with the scan list.
void TakeChannel(EditorState& s, int ch, const std::uint8_t* rec) {
    if (IsNoFrequency(rec + kRecReceive)) {
        for (int col = ColReceive; col <= ColScan; ++col) s.cell(ch, col).clear();
        return;
    }
    s.cell(ch, ColReceive) = DecodeFrequency(rec + kRecReceive);
    s.cell(ch, ColTransmit) =
        IsNoFrequency(rec + kRecTransmit) ? "" : DecodeFrequency(rec + kRecTransmit);
    auto tone = [&](std::size_t at, int frequencyColumn) -> std::string {
        auto word = static_cast<std::uint16_t>(rec[at] | (rec[at + 1] << 8));
        if (word == kToneOff) return s.cell(ch, frequencyColumn).empty() ? "" : "Off";
        return DecodeTone(word);
    };
    s.cell(ch, ColDecode) = tone(kRecDecodeTone, ColReceive);
    s.cell(ch, ColEncode) = tone(kRecEncodeTone, ColTransmit);
    s.cell(ch, ColBusyLock) = DecodeBusyLock(rec[kRecBusyLock]);
    s.cell(ch, ColBand) = DecodeBand(rec[kRecPowerBand]);
    s.cell(ch, ColPower) = DecodePower(rec[kRecPowerBand]);
}

bool InScanList(const EditorState& s, int channel) {
    if (s.channelEmpty(channel)) return false;
    const std::string& scan = s.cell(channel, ColScan);
    return !scan.empty() && scan != "No";
}

std::uint8_t ScanByte(const EditorState& s, int firstChannel) {
    std::uint8_t v = 0;
    for (int k = 0; k < 8; ++k) {
        if (InScanList(s, firstChannel + k)) v |= static_cast<std::uint8_t>(1u << k);
    }
    return v;
}

// --- UTF-8 <-> code points, only as much as the information lines need ---

std::vector<char32_t> CodePoints(std::string_view s) {
    std::vector<char32_t> out;
    std::size_t i = 0;
    while (i < s.size()) {
        auto c = static_cast<unsigned char>(s[i]);
        int extra = 0;
        char32_t cp = c;
        if (c >= 0x80) {
            if ((c & 0xE0) == 0xC0) {
                extra = 1, cp = c & 0x1F;
            } else if ((c & 0xF0) == 0xE0) {
                extra = 2, cp = c & 0x0F;
            } else if ((c & 0xF8) == 0xF0) {
                extra = 3, cp = c & 0x07;
            } else {
                extra = -1;
            }
        }
        bool ok = extra >= 0 && i + extra < s.size();
        for (int k = 1; ok && k <= extra; ++k) {
            auto cc = static_cast<unsigned char>(s[i + k]);
            ok = (cc & 0xC0) == 0x80;
            cp = (cp << 6) | (cc & 0x3F);
        }
        if (!ok) {
            out.push_back(0xFFFD);  // a broken sequence counts one replacement per byte
            ++i;
            continue;
        }
        out.push_back(cp);
        i += static_cast<std::size_t>(extra) + 1;
    }
    return out;
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

std::array<std::uint8_t, kInfoLineLength> EncodeInfoLine(std::string_view utf8) {
    std::array<std::uint8_t, kInfoLineLength> out;
    out.fill(0xFF);
    auto cps = CodePoints(utf8);
    for (std::size_t k = 0; k < cps.size() && k < kInfoLineLength; ++k) {
        out[k] = cps[k] < 0xFF ? static_cast<std::uint8_t>(cps[k]) : static_cast<std::uint8_t>('?');
    }
    return out;
}

std::string DecodeInfoLine(std::span<const std::uint8_t> bytes) {
    std::string text;
    for (std::uint8_t b : bytes) {
        if (b != 0xFF) AppendUtf8(text, b);
    }
    return text;
}

}  // namespace

std::size_t CharacterCount(std::string_view utf8) { return CodePoints(utf8).size(); }

ImageBytes EncodeImageBytes(const EditorState& s) {
    ImageBytes img;
    img.fill(0xFF);  // every filler byte
    for (const FixedRun& run : kFixedRuns) {
        std::copy_n(run.bytes.begin(), run.length, img.begin() + run.offset);
    }
    for (int ch = 1; ch <= kChannelCount; ++ch) PutChannel(img, s, ch);
    for (const SettingField& f : kSettings) img[f.offset] = SettingByte(s, f);
    img[kScanLow] = ScanByte(s, 1);
    img[kScanHigh] = ScanByte(s, 9);
    img[kPowerHigh] = ClampByte(s.PowerHigh);
    img[kPowerLow] = ClampByte(s.PowerLow);
    for (int row = 1; row <= kTestFrequencyRows; ++row) {
        for (int col = 1; col <= 2; ++col) {
            PutFrequency(img, TestFrequencyOffset(row, col), s.testFrequency(row, col));
        }
    }
    for (int line = 0; line < kInfoLineCount; ++line) {
        auto bytes = EncodeInfoLine(s.InfoTexts[line]);
        std::copy(bytes.begin(), bytes.end(), img.begin() + kInfoLineOffset[line]);
    }
    return img;
}

std::string EncodeImage(const EditorState& state) { return ToHexText(EncodeImageBytes(state)); }

bool DecodeImageBytes(std::span<const std::uint8_t> img, EditorState& s) {
    if (img.size() < kDecodedSize) return false;
    s.ServiceUnlocked = 0;
    for (int ch = 1; ch <= kChannelCount; ++ch) TakeChannel(s, ch, img.data() + ChannelOffset(ch));
    for (const SettingField& f : kSettings) TakeSetting(s, f, img[f.offset]);
    for (int ch = 1; ch <= kChannelCount; ++ch) {
        if (s.channelEmpty(ch)) {
            s.cell(ch, ColScan).clear();
            continue;
        }
        std::uint8_t bits = img[ch <= 8 ? kScanLow : kScanHigh];
        s.cell(ch, ColScan) = ((bits >> ((ch - 1) % 8)) & 1) ? "Have" : "No";
    }
    s.PowerHigh = img[kPowerHigh];
    s.PowerLow = img[kPowerLow];
    for (int row = 1; row <= kTestFrequencyRows; ++row) {
        for (int col = 1; col <= 2; ++col) {
            const std::uint8_t* b = img.data() + TestFrequencyOffset(row, col);
            s.testFrequency(row, col) = IsNoFrequency(b) ? "" : DecodeFrequency(b);
        }
    }
    for (int line = 0; line < kInfoLineCount; ++line) {
        s.InfoTexts[line] = DecodeInfoLine(img.subspan(kInfoLineOffset[line], kInfoLineLength));
    }
    return true;
}

bool DecodeImage(std::string_view imageHex, EditorState& state) {
    if (imageHex.size() < 2 * kDecodedSize) return false;
    // Only the part the decoder reads has to be hex; whatever follows is ignored.
    auto bytes = FromHexText(imageHex.substr(0, 2 * kDecodedSize));
    if (!bytes) return false;
    return DecodeImageBytes(*bytes, state);
}

}  // namespace r7
