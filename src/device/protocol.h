#pragma once
// The write patterns every instrument command is built from. Each is a fixed series
// of single-byte port writes at the port's register addresses.
#include "device/commands.h"

namespace proto {

// What a command write needs: the register addresses and the first-phase byte.
struct Link {
    int data = cmd::Lpt1Base + cmd::DataOffset;
    int status = cmd::Lpt1Base + cmd::StatusOffset;
    int control = cmd::Lpt1Base + cmd::ControlOffset;
    int prefix = 0; // CmdPrefix
};

// data := first; control := 04H; data := c; control := 00H
void CommandWriteFirst(const Link& l, int first, int c);
// CommandWrite with CmdPrefix as the first phase.
void CommandWrite(const Link& l, int c);
// control := 01H; control := 00H
void ClockPulse(const Link& l);
// CommandWrite(c) followed by a ClockPulse.
void CommandPulse(const Link& l, int c);
// data := v; control := 01H; control := 00H
void DataStrobe(const Link& l, int v);
// control := 23H; control := 22H (data lines stay input, bit 0 clocks the memory)
void ReadClock(const Link& l);
// Whether the done line (status bit 3) is up.
bool Done(const Link& l);

// The four channel settings the configuration is counted from.
struct ChannelSettings {
    bool dcA = false, highA = true, dcB = false, highB = true;
};
// Pulse count of the channel configuration: bit 0 A DC, bit 1 A on the 12 V range,
// bit 2 B DC, bit 3 B on the 12 V range (10 with the start-up settings).
inline int channelConfig(const ChannelSettings& c) {
    return int(c.dcA) + 2 * int(c.highA) + 4 * int(c.dcB) + 8 * int(c.highB);
}

} // namespace proto
