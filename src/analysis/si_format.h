#pragma once
// Numbers as the measurement panels and the command line's table print them: SI
// prefixes, a fixed count of significant digits, the unit after a blank. Micro is
// written "u" so that tables on a terminal line up byte for byte.
#include "analysis/measure.h"

#include <string>
#include <string_view>

namespace analysis {

// "1.000 kHz", "707.1 mV", "2.200 us", "-12.35 V": `digits` significant digits (1..9)
// with the prefixes p, n, u, m, k, M, G. Zero prints as "0.000 V"; a value that is not
// finite as "-".
std::string formatSI(double value, std::string_view unit, int digits = 4);
// Fixed decimals and no prefix: "-6.02 dB", "12.3 deg", "50.0 %".
std::string formatFixed(double value, int decimals, std::string_view unit);
// A Reading as above, or "-" when it holds no value (its reason is for a tooltip).
std::string formatSI(const Reading& r, std::string_view unit, int digits = 4);
std::string formatFixed(const Reading& r, int decimals, std::string_view unit);

} // namespace analysis
