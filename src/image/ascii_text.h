#pragma once

// Small helpers for the plain ASCII texts of files and cells, whatever the locale says.

#include <string_view>

namespace r7 {

// Without the blanks and tabs around it.
inline std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace r7
