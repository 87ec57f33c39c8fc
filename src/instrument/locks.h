#pragma once
// Which controls take a click in a given state, by their names ("SRATEN", "Command3",
// ...): the window's own controls say it where there is a window; without one this rule
// does, from the mode, the run and the channels, as the window's panels lock them.
#include "app/instrument_state.h"

#include <string_view>

namespace instrument {

bool enabledWithoutWindow(std::string_view control, const InstrumentState& s);

} // namespace instrument
