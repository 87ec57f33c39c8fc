#pragma once
// Building file contents for the tests.
#include <cstdint>
#include <string>

namespace filebytes {

// Magic, the four header characters and `pairs` pairs: A(i) = i % 256, B(i) = 255 - i % 256.
inline std::string signal(const std::string& magic, const std::string& digits, size_t pairs) {
    std::string f = magic + digits;
    for (size_t i = 0; i < pairs; ++i) {
        f += static_cast<char>(i % 256);
        f += static_cast<char>(255 - i % 256);
    }
    return f;
}

inline uint8_t a(size_t i) {
    return static_cast<uint8_t>(i % 256);
}
inline uint8_t b(size_t i) {
    return static_cast<uint8_t>(255 - i % 256);
}

} // namespace filebytes
