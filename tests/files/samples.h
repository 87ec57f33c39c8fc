#pragma once
// File contents for the tests: signal files and the start-up profile line.
#include <cstdint>
#include <string>
#include <vector>

namespace filebytes {

// Magic, the four header characters and `pairs` pairs: A(i) = i % 256, B(i) = 255 - i % 256.
inline uint8_t a(size_t i) {
    return static_cast<uint8_t>(i % 256);
}
inline uint8_t b(size_t i) {
    return static_cast<uint8_t>(255 - i % 256);
}
inline std::string signal(const std::string& magic, const std::string& digits, size_t pairs) {
    std::string f = magic + digits;
    for (size_t i = 0; i < pairs; ++i)
        f += {static_cast<char>(a(i)), static_cast<char>(b(i))};
    return f;
}

} // namespace filebytes

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
