#pragma once
// The caption the mode indicator shows for each operating mode, blanks included.
#include <string>

namespace modes {

// Any whole number is a valid Mode; the record only ever holds 0..3.
enum Mode : int { Scope = 0, Generator = 1, ScopeGen = 2, FFT = 3 };

std::string caption(int mode);

} // namespace modes
