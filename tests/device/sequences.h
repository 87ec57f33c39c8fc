#pragma once
// Expected port write sequences, written out from the command table's patterns.
#include <initializer_list>
#include <utility>
#include <vector>

namespace seq {

using Writes = std::vector<std::pair<int, int>>;
constexpr int D = 0x378, C = 0x37A;

// data := first; control := 04H; data := c; control := 00H
inline Writes cw(int c, int first = 0) {
    return {{D, first}, {C, 0x04}, {D, c}, {C, 0x00}};
}
// control := 01H; control := 00H
inline Writes pulse() {
    return {{C, 0x01}, {C, 0x00}};
}
inline Writes strobe(int v) {
    return {{D, v}, {C, 0x01}, {C, 0x00}};
}
inline Writes readClock() {
    return {{C, 0x23}, {C, 0x22}};
}
inline Writes times(long n, const Writes& w) {
    Writes out;
    for (long i = 0; i < n; ++i)
        out.insert(out.end(), w.begin(), w.end());
    return out;
}
inline Writes cat(std::initializer_list<Writes> parts) {
    Writes out;
    for (const Writes& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

} // namespace seq
