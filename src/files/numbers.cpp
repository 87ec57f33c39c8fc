// Numbers in the text files: the print form written by profiles and exports, and the
// two ways of reading a number back (a whole field, or the number a field begins with).
#include "files/formats.h"

#include <charconv>
#include <cmath>

namespace files {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Length of the decimal number at the start of t (sign, digits, point, exponent), 0 if
// there is none. D as exponent letter is accepted, as older programs write it.
size_t numberLength(std::string_view t) {
    size_t i = 0;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    size_t digits = 0;
    while (i < t.size() && isDigit(t[i]))
        ++i, ++digits;
    if (i < t.size() && t[i] == '.') {
        ++i;
        while (i < t.size() && isDigit(t[i]))
            ++i, ++digits;
    }
    if (digits == 0) return 0;
    if (i < t.size() && (t[i] == 'E' || t[i] == 'e' || t[i] == 'D' || t[i] == 'd')) {
        size_t j = i + 1;
        if (j < t.size() && (t[j] == '+' || t[j] == '-')) ++j;
        size_t expDigits = 0;
        while (j < t.size() && isDigit(t[j]))
            ++j, ++expDigits;
        if (expDigits > 0) i = j;
    }
    return i;
}

// Converts a text that numberLength accepted in full; locale independent.
double convert(std::string_view t) {
    std::string s(t);
    for (char& c : s)
        if (c == 'D' || c == 'd') c = 'e';
    size_t start = s[0] == '+' ? 1 : 0;
    double v = 0;
    auto res = std::from_chars(s.data() + start, s.data() + s.size(), v);
    if (res.ec == std::errc::result_out_of_range) {
        // Too large or too small for a double: infinity or zero with its sign.
        bool neg = s[start] == '-';
        size_t e = s.find('e');
        bool tiny = e != std::string::npos && s.find('-', e) != std::string::npos;
        v = tiny ? 0.0 : HUGE_VAL;
        if (neg) v = -v;
    }
    return v;
}

} // namespace

std::string printForm(double v) {
    return vb::NumberText(v) + " ";
}

bool parseNumber(std::string_view text, double& v) {
    size_t b = 0, e = text.size();
    while (b < e && isBlank(text[b]))
        ++b;
    while (e > b && isBlank(text[e - 1]))
        --e;
    std::string_view t = text.substr(b, e - b);
    if (t.empty() || numberLength(t) != t.size()) return false;
    v = convert(t);
    return true;
}

double leadingNumber(std::string_view text) {
    size_t b = 0;
    while (b < text.size() && (text[b] == ' ' || text[b] == '\t'))
        ++b;
    std::string_view t = text.substr(b);
    size_t n = numberLength(t);
    return n == 0 ? 0.0 : convert(t.substr(0, n));
}

} // namespace files
