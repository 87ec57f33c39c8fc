#include "platform/vb.h"

#include <charconv>
#include <cstdlib>

namespace vb {

std::string NumberText(double v, bool single) {
    if (v == 0) return " 0";
    // to_chars, unlike printf, ignores the C locale: the decimal point is always a full
    // stop, whatever the desktop's number format (profiles and exports rely on it).
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, single ? 7 : 15);
    std::string s(buf, res.ptr);
    // Exponent form as VB prints it: 1E+20, 1.5E-07.
    auto e = s.find('e');
    std::string mant = e == std::string::npos ? s : s.substr(0, e);
    std::string exp = e == std::string::npos ? "" : s.substr(e);
    if (!exp.empty()) {
        char sign = exp[1];
        std::string digits = exp.substr(2);
        while (digits.size() > 2 && digits[0] == '0')
            digits.erase(0, 1);
        exp = std::string("E") + sign + digits;
    }
    bool neg = !mant.empty() && mant[0] == '-';
    if (neg) mant.erase(0, 1);
    if (mant.size() > 1 && mant[0] == '0' && mant[1] == '.') mant.erase(0, 1);
    return (neg ? "-" : " ") + mant + exp;
}

double Variant::num() const {
    switch (kind_) {
    case Kind::Whole:
        return static_cast<double>(whole_);
    case Kind::Real:
        return real_;
    case Kind::Text:
        return std::strtod(text_.c_str(), nullptr);
    case Kind::Empty:
        break;
    }
    return 0;
}

std::string Variant::text() const {
    switch (kind_) {
    case Kind::Whole:
        return NumberText(static_cast<double>(whole_));
    case Kind::Real:
        return NumberText(real_);
    case Kind::Text:
        return text_;
    case Kind::Empty:
        break;
    }
    return "";
}

} // namespace vb
