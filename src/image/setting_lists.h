#pragma once

// The fixed texts of the editor: tone tables, pick lists, list entries, titles.

#include <string>
#include <string_view>
#include <vector>

namespace r7 {

inline constexpr std::string_view kApplicationTitle = "Morvane-R7";
inline constexpr std::string_view kWindowCaption = "Morvane R7";

// Every entry followed by "|": "Off", the 50 CTCSS tones, the 105 DCS codes with "N".
extern const std::string ToneTableA;
// The same 105 DCS codes with "I".
extern const std::string ToneTableB;

// Splits a "|"-separated list; a trailing separator gives no empty last entry.
std::vector<std::string> SplitList(std::string_view list);

// The tone pick list: ToneTableA then ToneTableB, 261 entries, "Off" first.
const std::vector<std::string>& ToneList();
const std::vector<std::string>& CtcssTones();  // "67.0" ... "254.1"
const std::vector<int>& DcsCodes();            // octal codes as numbers, 023 ... 754

// Pick lists of the channel columns 5 to 8.
const std::vector<std::string>& PowerList();     // "Low", "High"
const std::vector<std::string>& BusyLockList();  // "Off", "Carrier", "QT/DQT"
const std::vector<std::string>& BandList();      // "Narrow", "Wide"
const std::vector<std::string>& ScanList();      // "No", "Have"

// Header titles of the channel table, column 0 to 8.
const std::vector<std::string>& ChannelHeaders();

// Entries of the main window's list ComboN (n = 1..10), in position order.
const std::vector<std::string>& ComboEntries(int n);
// The caption of ComboN's label as the main window shows it: "Frequcy:" for the band
// list, "Radio Switch " with its trailing blank.
std::string_view ComboCaption(int n);
// The same caption as a name in running text, without a trailing colon or blank.
std::string_view ComboName(int n);
// The general-setting lists top to bottom in the main window; Combo4 last, hidden there.
inline constexpr int kSettingCombos[] = {2, 3, 8, 5, 6, 7, 9, 10, 4};

// Two-digit channel number text, "01" ... "16".
std::string ChannelNumberText(int channel);

}  // namespace r7
