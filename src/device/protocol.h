#pragma once
// The write patterns every instrument command is built from. Each is a fixed series
// of single-byte port writes at the addresses held in the state.
#include "app/instrument_state.h"

namespace proto {

// data := first; control := 04H; data := c; control := 00H
void CommandWriteFirst(const InstrumentState& s, int first, int c);
// CommandWrite with CmdPrefix as the first phase.
void CommandWrite(const InstrumentState& s, int c);
// control := 01H; control := 00H
void ClockPulse(const InstrumentState& s);
// CommandWrite(c) followed by a ClockPulse.
void CommandPulse(const InstrumentState& s, int c);
// data := v; control := 01H; control := 00H
void DataStrobe(const InstrumentState& s, int v);
// control := 23H; control := 22H (data lines stay input, bit 0 clocks the memory)
void ReadClock(const InstrumentState& s);

// Pulse count of the channel configuration from the coupling and range settings.
int channelConfig(const InstrumentState& s);

} // namespace proto
