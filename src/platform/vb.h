#pragma once
// The numeric conventions the program relies on: 16/32-bit integers, the two
// rounding rules, and Variant fields that may be empty.
#include <cmath>
#include <cstdint>
#include <string>

namespace vb {

using Integer = int16_t;
using Long = int32_t;
using Single = float;

// Conversion to a whole number: nearest, halves to the even neighbour (127.5 -> 128, 126.5 -> 126).
inline double Nearest(double x) {
    return std::nearbyint(x);
}
inline long CLng(double x) {
    return static_cast<long>(std::nearbyint(x));
}
inline int CInt(double x) {
    return static_cast<int>(std::nearbyint(x));
}
// The largest whole number not above x.
inline double Int(double x) {
    return std::floor(x);
}

// The program's own value of pi (the record's Pi field). The transform and the wave
// tables take their angles from it, so spectra and waves come out the same everywhere.
constexpr double Pi = 3.1415926;

// VB-style print form of a number: a leading blank for a non-negative value, no zero
// before a decimal point (".5", "-.5"), up to 7 significant digits for Single and 15
// for Double, no trailing zeros.
std::string NumberText(double v, bool single = false);
// Str(): the print form above without the trailing blank that Print adds.
inline std::string Str(double v) {
    return NumberText(v);
}

// A settings field that holds nothing, a whole number, a double or text.
class Variant {
  public:
    enum class Kind { Empty, Whole, Real, Text };

    Variant() = default;
    Variant(int v) : kind_(Kind::Whole), whole_(v) {}
    Variant(long v) : kind_(Kind::Whole), whole_(v) {}
    Variant(long long v) : kind_(Kind::Whole), whole_(v) {}
    Variant(double v) : kind_(Kind::Real), real_(v) {}
    Variant(float v) : kind_(Kind::Real), real_(v) {}
    Variant(const std::string& s) : kind_(Kind::Text), text_(s) {}
    Variant(const char* s) : kind_(Kind::Text), text_(s) {}

    Kind kind() const { return kind_; }
    bool isEmpty() const { return kind_ == Kind::Empty; }
    void clear() { *this = Variant(); }

    // The one arithmetic view: empty is 0, text is its leading number (0 if none).
    // The state record's typed reads are built on it.
    double num() const;
    std::string text() const; // print form for numbers, the text itself for text

    Variant& operator+=(double d) { return *this = Variant(num() + d); }
    Variant& operator-=(double d) { return *this = Variant(num() - d); }

  private:
    Kind kind_ = Kind::Empty;
    long long whole_ = 0;
    double real_ = 0;
    std::string text_;
};

} // namespace vb
