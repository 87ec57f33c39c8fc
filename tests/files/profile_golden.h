#pragma once
// The profile line a freshly started program writes, typed from the start values.
#include <string>
#include <vector>

namespace profilegolden {

// Items 1..78 of a profile written right after start-up, typed from the start values.
inline const std::vector<std::string> startItems = {
    " 0 ",  " 0 ", " 0 ",   " 0 ", " 3 ",    " 3 ",    " 3 ", " 3 ", " 1 ", " 1 ",     // 1-10
    " 1 ",  " 1 ", " 512 ", " 0 ", " 2560 ", " 1 ",    "-1 ", "-1 ", " 1 ", "-1 ",     // 11-20
    "-1 ",  " 1 ", " 1 ",   " 0 ", " 0 ",    " 0 ",    "-1 ", " 1 ", " 0 ", " 0 ",     // 21-30
    " 1 ",  " 1 ", "-1 ",   "-1 ", "-1 ",    " 0 ",    "",    "",    " 0 ", " 0 ",     // 31-40
    " 0 ",  "",    " 0 ",   " 0 ", " 1280 ", " 1280 ", " 0 ", " 0 ", " 0 ", " 160 ",   // 41-50
    " 10 ", " 3 ", " 1 ",   " 0 ", " 1 ",    " 0 ",    " 0 ", " 5 ", "",    " 50000 ", // 51-60
    " 4 ",  " 0 ", " 1 ",   " 0 ", " 0 ",    " 1 ",    " 0 ", " 1 ", " 1 ", " 0 ",     // 61-70
    " 0 ",  " 0 ", " 0 ",   " 0 ", " 1 ",    " 1 ",    " 0 ", " 0 "};                  // 71-78

inline std::string line(const std::vector<std::string>& items, size_t count) {
    std::string s = "DPF,";
    for (size_t i = 0; i < count; ++i)
        s += items[i] + ",";
    return s;
}

} // namespace profilegolden
