#pragma once

// What the auxiliary dialogs offer and how their controls keep values in the editor:
// the Optional dialog's lists, text boxes and check boxes, and the side-key functions.

#include <string>
#include <string_view>
#include <vector>

#include "editor_state.h"

namespace r7 {

// How a control keeps its value as text.
enum class ValueForm {
    ListPosition,  // zero-based position of the chosen item, "0", "1", ...
    ItemText,      // the chosen item's own text
    CheckState,    // "0" or "1"
    FreeText,      // as typed
};

// Which list of the editor a value lives in.
enum class ValueList { Option, Dtmf };

struct OptionalList {
    std::string_view name;  // the control, e.g. "Combo6"
    std::string_view label;
    ValueList list;
    int position;    // 1-based in `list`
    ValueForm form;  // ListPosition or ItemText
    std::vector<std::string> items;
    bool visible;  // only the VOX group shows
};
struct OptionalText {
    std::string_view name;  // "Text1", ...
    std::string_view label;
    int position;            // in OptionValues
    std::size_t codeLength;  // DTMF code filter limit; 0 = no filter
};
struct OptionalCheck {
    std::string_view name;
    std::string_view caption;
    int position;  // in OptionValues
};

// In loading order: Combo4, Combo6 ... Combo15, then the DTMF lists (Combo22 last).
const std::vector<OptionalList>& OptionalLists();
const std::vector<OptionalText>& OptionalTexts();    // Text1, Text3, Text4, Text5, Text6
const std::vector<OptionalCheck>& OptionalChecks();  // Check3, Check4

// "Off", then 0.50S ... 5.00S in steps of 0.05 s: 92 items.
std::vector<std::string> ScanReturnTimeItems();

// The twelve side-key functions; positions 2, 3 and 8 are blank.
const std::vector<std::string>& KeyFunctionItems();
inline constexpr int kKeyFunctionOff = 1;  // shown for a value outside the list

std::string& ValueOf(EditorState& state, ValueList list, int position);
const std::string& ValueOf(const EditorState& state, ValueList list, int position);

// The item a stored value selects, or -1 when it names none (not a whole number, out of
// range, or no item with that text).
int ListIndexOf(ValueForm form, const std::vector<std::string>& items, std::string_view stored);
// The text a selected item is stored as; empty for -1.
std::string ListValueOf(ValueForm form, const std::vector<std::string>& items, int index);

// A check box is checked for "1" only.
bool CheckedOf(std::string_view stored);
std::string CheckValueOf(bool checked);

// What OK stores for a control: the text it was loaded from while the control still shows
// what loading put there (so a value outside the list survives), else its new value.
std::string ValueToStore(const std::string& loaded, bool untouched, std::string current);

}  // namespace r7
