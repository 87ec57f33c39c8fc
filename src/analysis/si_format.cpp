#include "analysis/si_format.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace analysis {

namespace {

constexpr const char* Prefixes[] = {"p", "n", "u", "m", "", "k", "M", "G"};
constexpr int LowestExp = -12, HighestExp = 9;

// Locale-free: the window's process runs under the user's locale, which may write a
// decimal comma through printf.
std::string fixed(double v, int decimals) {
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, decimals);
    std::string s(buf, r.ptr);
    // A value that rounds to zero prints without a sign.
    if (s[0] == '-' && s.find_first_not_of("-0.") == std::string::npos) s.erase(0, 1);
    return s;
}

std::string withUnit(std::string number, std::string_view prefix, std::string_view unit) {
    number += ' ';
    number += prefix;
    number += unit;
    return number;
}

} // namespace

std::string formatSI(double value, std::string_view unit, int digits) {
    if (!std::isfinite(value)) return "-";
    digits = std::clamp(digits, 1, 9);
    const double mag = std::abs(value);
    int exp = mag > 0 ? int(std::floor(std::log10(mag) / 3)) * 3 : 0;
    exp = std::clamp(exp, LowestExp, HighestExp);
    for (;;) {
        const double mant = value / std::pow(10.0, exp);
        const int intDigits =
            mant == 0 ? 1 : std::max(1, int(std::floor(std::log10(std::abs(mant)))) + 1);
        const std::string text = fixed(mant, std::max(0, digits - intDigits));
        // 999.96 rounds up to 1000.0: one prefix higher reads 1.000.
        double shown = 0;
        std::from_chars(text.data(), text.data() + text.size(), shown);
        if (std::abs(shown) >= 1000 && exp < HighestExp) {
            exp += 3;
            continue;
        }
        return withUnit(text, Prefixes[(exp - LowestExp) / 3], unit);
    }
}

std::string formatFixed(double value, int decimals, std::string_view unit) {
    if (!std::isfinite(value)) return "-";
    return withUnit(fixed(value, std::clamp(decimals, 0, 9)), "", unit);
}

std::string formatSI(const Reading& r, std::string_view unit, int digits) {
    return r.ok() ? formatSI(*r, unit, digits) : "-";
}

std::string formatFixed(const Reading& r, int decimals, std::string_view unit) {
    return r.ok() ? formatFixed(*r, decimals, unit) : "-";
}

} // namespace analysis
