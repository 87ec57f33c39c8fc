#pragma once
// The references R1-R4: a trace kept in volts (or M's unit) to compare captures with,
// taken from the record or read from a signal file or a CSV export, and kept between
// sessions as text.
#include "analysis/math_trace.h"
#include "analysis/record.h"

#include <string>
#include <string_view>

namespace analysis {

// One channel of a signal file (.wqk) or of the CSV export of the signals: "" when
// read, else why the file was refused. A refused file leaves `out` as it was.
std::string readReference(std::string_view bytes, Channel c, Wave& out);

// The wave as text ("rate unit count" then the values as the shortest decimals that
// read back the same floats) and back; decodeWave refuses (false) anything else.
std::string encodeWave(const Wave& w);
bool decodeWave(std::string_view text, Wave& out);

} // namespace analysis
