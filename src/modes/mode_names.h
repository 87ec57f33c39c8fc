#pragma once
// The caption the mode indicator shows for each operating mode, blanks included.
#include <string>

namespace modes {

enum Mode { Scope = 0, Generator = 1, ScopeGen = 2, FFT = 3 };

std::string caption(int mode);

} // namespace modes
