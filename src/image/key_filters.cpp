#include "key_filters.h"

namespace r7 {

namespace {

char32_t Upper(char32_t key) { return (key >= U'a' && key <= U'z') ? key - U'a' + U'A' : key; }

bool IsDtmfCharacter(char32_t key) {
    return (key >= U'0' && key <= U'9') || (key >= U'A' && key <= U'D') || key == U'*' ||
           key == U'#';
}

}  // namespace

std::optional<char32_t> FilterCodeKey(char32_t key, std::size_t length, std::size_t maxLength,
                                      bool hasSelection) {
    key = Upper(key);
    if (key == kKeyBackspace) return key;
    if (length >= maxLength && !hasSelection) return std::nullopt;
    if (!IsDtmfCharacter(key)) return std::nullopt;
    return key;
}

std::optional<char32_t> FilterMemoryKey(char32_t key) {
    key = Upper(key);
    if (IsDtmfCharacter(key) || key == kKeyBackspace || key == kKeyEnter) return key;
    return std::nullopt;
}

bool AcceptInfoKey(char32_t key, std::size_t length, bool hasSelection) {
    return key == kKeyBackspace || hasSelection || length < kInfoLineMaxLength;
}

}  // namespace r7
