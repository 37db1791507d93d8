#include "dialog_lists.h"

#include <cstdio>
#include <utility>

namespace r7 {

namespace {

std::vector<std::string> Numbered(std::string_view first, int from, int to,
                                  std::string_view suffix) {
    std::vector<std::string> items;
    if (!first.empty()) items.emplace_back(first);
    for (int i = from; i <= to; ++i) items.push_back(std::to_string(i) + std::string(suffix));
    return items;
}

std::vector<std::string> FirstDigitDelays() {
    std::vector<std::string> items;
    for (int ms = 100; ms <= 1000; ms += 50) items.push_back(std::to_string(ms) + "MS");
    return items;
}

}  // namespace

const std::vector<OptionalList>& OptionalLists() {
    using enum ValueForm;
    using enum ValueList;
    static const std::vector<OptionalList> lists = {
        {"Combo4", "PTT ID", Option, 4, ListPosition, {"发射开始", "发射结束", "两者"}, false},
        {"Combo6", "VOX Function", Option, 6, ListPosition, {"Off", "On"}, true},
        {"Combo7",
         "VOX Gain Level",
         Option,
         7,
         ListPosition,
         {"Off", "01", "02", "03", "04", "05", "06", "07", "08", "09", "10"},
         true},
        {"Combo8",
         "VOX Delay Time",
         Option,
         8,
         ListPosition,
         {"0.3S", "0.5S", "1S", "1.5S", "2S", "3S"},
         true},
        {"Combo9", "VOX Carry Tone", Option, 9, ListPosition, {"Off", "On"}, true},
        {"Combo10", "收音机功能", Option, 10, ListPosition, {"禁止", "使能"}, false},
        {"Combo11", "优先", Option, 11, ListPosition, {"无", "固定", "选定"}, false},
        {"Combo12", "优先信道", Option, 12, ItemText, Numbered("", 1, 16, ""), false},
        {"Combo13", "回扫时间A", Option, 13, ListPosition, ScanReturnTimeItems(), false},
        {"Combo14", "回扫时间B", Option, 14, ListPosition, ScanReturnTimeItems(), false},
        {"Combo15",
         "返回信道",
         Option,
         15,
         ListPosition,
         {"选定", "选定+当前通话", "优先", "优先+当前通话"},
         false},
        {"Combo0", "DTMF 速率", Dtmf, 1, ListPosition, {"6位", "8位", "10位", "15位"}, false},
        {"Combo16",
         "首位数码时间",
         Dtmf,
         2,
         ListPosition,
         {"OFF", "100MS", "500MS", "1000MS"},
         false},
        {"Combo18", "首位数码延迟", Dtmf, 3, ItemText, FirstDigitDelays(), false},
        {"Combo17", "*和#音", Dtmf, 4, ListPosition, {"OFF", "100MS", "500MS", "1000MS"}, false},
        {"Combo19", "D键设定", Dtmf, 5, ListPosition, Numbered("D码", 1, 16, "秒"), false},
        {"Combo20", "DTMF 侧音", Dtmf, 6, ListPosition, {"禁止", "使能"}, false},
        {"Combo21", "自动复位定时器", Dtmf, 8, ListPosition, Numbered("关闭", 1, 15, "秒"), false},
        {"Combo22", "组呼码", Dtmf, 7, ItemText, {"关闭", "*", "#", "A", "B", "C", "D"}, false},
    };
    return lists;
}

const std::vector<OptionalText>& OptionalTexts() {
    static const std::vector<OptionalText> texts = {
        {"Text1", "ID码", 16, 10},
        {"Text3", "发射开始(16位)", 17, 16},
        {"Text4", "发射结束(16位)", 18, 16},
        {"Text5", "扫描接收恢复延时时间(秒)", 19, 0},
        {"Text6", "扫描发射恢复延时时间(秒)", 20, 0},
    };
    return texts;
}

const std::vector<OptionalCheck>& OptionalChecks() {
    static const std::vector<OptionalCheck> checks = {
        {"Check3", "Cancel operation", 23},
        {"Check4", "Prohibit VOX in the receiving", 24},
    };
    return checks;
}

std::vector<std::string> ScanReturnTimeItems() {
    std::vector<std::string> items{"Off"};
    for (int i = 1; i <= 91; ++i) {
        // Hundredths of a second, so no binary fraction of 0.05 accumulates.
        int hundredths = (i - 1) * 5 + 50;
        char buf[16];
        std::snprintf(buf, sizeof buf, "%d.%02dS", hundredths / 100, hundredths % 100);
        items.emplace_back(buf);
    }
    return items;
}

const std::vector<std::string>& KeyFunctionItems() {
    static const std::vector<std::string> items = {
        "自动拨号", "OFF",           "", "",         "监听",         "监听瞬时",
        "扫描",     "扫描+暂时删除", "", "取消静噪", "瞬时取消静噪", "暂时删除",
    };
    return items;
}

std::string& ValueOf(EditorState& s, ValueList list, int position) {
    return list == ValueList::Option ? s.option(position) : s.DtmfValues.at(position - 1);
}

const std::string& ValueOf(const EditorState& s, ValueList list, int position) {
    return list == ValueList::Option ? s.option(position) : s.DtmfValues.at(position - 1);
}

int ListIndexOf(ValueForm form, const std::vector<std::string>& items, std::string_view stored) {
    if (form == ValueForm::ItemText) {
        for (std::size_t i = 0; i < items.size(); ++i) {
            if (items[i] == stored) return static_cast<int>(i);
        }
        return -1;
    }
    if (stored.empty() || stored.size() > 6) return -1;
    int value = 0;
    for (char c : stored) {
        if (c < '0' || c > '9') return -1;
        value = value * 10 + (c - '0');
    }
    return value < static_cast<int>(items.size()) ? value : -1;
}

std::string ListValueOf(ValueForm form, const std::vector<std::string>& items, int index) {
    if (index < 0 || index >= static_cast<int>(items.size())) return {};
    return form == ValueForm::ItemText ? items[index] : std::to_string(index);
}

bool CheckedOf(std::string_view stored) { return stored == "1"; }
std::string CheckValueOf(bool checked) { return checked ? "1" : "0"; }

std::string ValueToStore(const std::string& loaded, bool untouched, std::string current) {
    if (untouched) return loaded;
    return current;
}

}  // namespace r7
