#include "setting_lists.h"

#include <cstdio>
#include <stdexcept>

#include "editor_state.h"

namespace r7 {

namespace {

const char* const kCtcss[] = {
    "67.0",  "69.3",  "71.9",  "74.4",  "77.0",  "79.7",  "82.5",  "85.4",  "88.5",  "91.5",
    "94.8",  "97.4",  "100.0", "103.5", "107.2", "110.9", "114.8", "118.8", "123.0", "127.3",
    "131.8", "136.5", "141.3", "146.2", "151.4", "156.7", "159.8", "162.2", "165.5", "167.9",
    "171.3", "173.8", "177.3", "179.9", "183.5", "186.2", "189.9", "192.8", "196.6", "199.5",
    "203.5", "206.5", "210.7", "218.1", "225.7", "229.1", "233.6", "241.8", "250.3", "254.1",
};

// Octal digits written as decimal literals of the same digits, to read like the code list.
const int kDcsDigits[] = {
    23,  25,  26,  31,  32,  36,  43,  47,  51,  53,  54,  65,  71,  72,  73,  74,  114, 115,
    116, 122, 125, 131, 132, 134, 143, 145, 152, 155, 156, 162, 165, 172, 174, 205, 212, 223,
    225, 226, 243, 244, 245, 246, 251, 252, 255, 261, 263, 265, 266, 271, 274, 306, 311, 315,
    325, 331, 332, 343, 346, 351, 356, 364, 365, 371, 411, 412, 413, 423, 431, 432, 445, 446,
    452, 454, 455, 462, 464, 465, 466, 503, 506, 516, 523, 526, 532, 546, 565, 606, 612, 624,
    627, 631, 632, 645, 654, 662, 664, 703, 712, 723, 731, 732, 734, 743, 754,
};

std::string DcsTable(char suffix) {
    std::string out;
    for (int d : kDcsDigits) {
        char buf[8];
        std::snprintf(buf, sizeof buf, "D%03d%c|", d, suffix);
        out += buf;
    }
    return out;
}

std::string MakeToneTableA() {
    std::string out = "Off|";
    for (const char* t : kCtcss) {
        out += t;
        out += '|';
    }
    return out + DcsTable('N');
}

std::vector<std::string> Numbered(std::string first, int from, int to, const std::string& suffix,
                                  int factor = 1) {
    std::vector<std::string> out;
    if (!first.empty()) out.push_back(std::move(first));
    for (int i = from; i <= to; ++i) out.push_back(std::to_string(i * factor) + suffix);
    return out;
}

}  // namespace

const std::string ToneTableA = MakeToneTableA();
const std::string ToneTableB = DcsTable('I');

std::vector<std::string> SplitList(std::string_view list) {
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start < list.size()) {
        std::size_t bar = list.find('|', start);
        if (bar == std::string_view::npos) bar = list.size();
        out.emplace_back(list.substr(start, bar - start));
        start = bar + 1;
    }
    return out;
}

const std::vector<std::string>& ToneList() {
    static const std::vector<std::string> list = SplitList(ToneTableA + ToneTableB);
    return list;
}

const std::vector<std::string>& CtcssTones() {
    static const std::vector<std::string> list(std::begin(kCtcss), std::end(kCtcss));
    return list;
}

const std::vector<int>& DcsCodes() {
    static const std::vector<int> list = [] {
        std::vector<int> codes;
        for (int d : kDcsDigits) codes.push_back((d / 100) * 64 + (d / 10 % 10) * 8 + d % 10);
        return codes;
    }();
    return list;
}

const std::vector<std::string>& PowerList() {
    static const std::vector<std::string> list{"Low", "High"};
    return list;
}
const std::vector<std::string>& BusyLockList() {
    static const std::vector<std::string> list{"Off", "Carrier", "QT/DQT"};
    return list;
}
const std::vector<std::string>& BandList() {
    static const std::vector<std::string> list{"Narrow", "Wide"};
    return list;
}
const std::vector<std::string>& ScanList() {
    static const std::vector<std::string> list{"No", "Have"};
    return list;
}

const std::vector<std::string>& ChannelHeaders() {
    static const std::vector<std::string> list{"Channel",   "Receive",    "QT/DQT Dec",
                                               "Transmit",  "QT/DQT Enc", "Power",
                                               "Busy Lock", "Band",       "Scan"};
    return list;
}

const std::vector<std::string>& ComboEntries(int n) {
    static const std::vector<std::string> offOn{"Off", "On"};
    static const std::vector<std::string> lists[kComboCount] = {
        {"400-470MHz"},                                               // Combo1
        {"Off", "English", "Chinese"},                                // Combo2
        Numbered("Off", 1, 6, " S", 30),                              // Combo3
        Numbered("\xE5\x85\xB3\xE9\x97\xAD", 1, 10, "\xE7\xA7\x92"),  // Combo4: 关闭, 1秒 ... 10秒
        Numbered("", 1, 9, ""),                                       // Combo5
        offOn,                                                        // Combo6
        offOn,                                                        // Combo7
        offOn,                                                        // Combo8
        {"Return", "Forbid return"},                                  // Combo9
        offOn,                                                        // Combo10
    };
    if (n < 1 || n > kComboCount) throw std::out_of_range("ComboEntries");
    return lists[n - 1];
}

std::string_view ComboCaption(int n) {
    static constexpr std::string_view captions[kComboCount] = {
        "Frequcy:",     "Language", "LauchTime", "发射超时预警", "Squelch Grade",
        "Battery Save", "Beep",     "Scan",      "Radio Return", "Radio Switch ",
    };
    if (n < 1 || n > kComboCount) throw std::out_of_range("ComboCaption");
    return captions[n - 1];
}

std::string_view ComboName(int n) {
    std::string_view name = ComboCaption(n);
    while (!name.empty() && (name.back() == ' ' || name.back() == ':')) name.remove_suffix(1);
    return name;
}

std::string ChannelNumberText(int channel) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d", channel);
    return buf;
}

}  // namespace r7
