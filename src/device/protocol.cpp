#include "device/protocol.h"

#include "app/wqk.h"
#include "platform/port.h"

#include <algorithm>

namespace proto {

void CommandWriteFirst(const InstrumentState& s, int first, int c) {
    const int data = int(s.DataPort), control = int(s.ControlPort);
    vbOut(data, first);
    vbOut(control, 0x04);
    vbOut(data, c);
    vbOut(control, 0x00);
}

void CommandWrite(const InstrumentState& s, int c) {
    CommandWriteFirst(s, s.CmdPrefix, c);
}

void ClockPulse(const InstrumentState& s) {
    const int control = int(s.ControlPort);
    vbOut(control, 0x01);
    vbOut(control, 0x00);
}

void CommandPulse(const InstrumentState& s, int c) {
    CommandWrite(s, c);
    ClockPulse(s);
}

void DataStrobe(const InstrumentState& s, int v) {
    vbOut(int(s.DataPort), v);
    ClockPulse(s);
}

void ReadClock(const InstrumentState& s) {
    const int control = int(s.ControlPort);
    vbOut(control, 0x23);
    vbOut(control, 0x22);
}

int channelConfig(const InstrumentState& s) {
    // (CouplingA + 1)/2 + 2 x [RangeSelA = 1] + 2 x (CouplingB + 1) + 8 x [RangeSelB = 1]
    double v = (double(s.CouplingA) + 1) / 2 + 2 * (double(s.RangeSelA) == 1) +
               2 * (double(s.CouplingB) + 1) + 8 * (double(s.RangeSelB) == 1);
    // Settings from a damaged profile must not count thousands of pulses.
    if (!(v >= 0)) return 0;
    return v > 15 ? 15 : int(v);
}

} // namespace proto

using namespace proto;

void WQK::ClearGeneratorMemory() {
    CommandPulse(s, 0x07);
    CommandWrite(s, 0x0A);
    for (int i = 0; i < 32768; ++i)
        DataStrobe(s, 0x00);
    CommandWrite(s, 0x02);
}

void WQK::SETMAXLOOP() {
    CommandPulse(s, 0x07);
    CommandWrite(s, 0x06);
    // The counter is 15 bits wide: a read count below 0 cannot ask for more than 32768.
    const long pulses = std::min(32768L, 32768L - long(s.ReadCount));
    for (long i = 1; i <= pulses; ++i)
        ClockPulse(s);
    CommandWrite(s, 0x03);
    CommandWrite(s, 0x00);
}

void WQK::SETCHAB() {
    CommandPulse(s, 0x0F);
    CommandWrite(s, 0x06);
    // Before run control has computed it (at start-up) the configuration counts as 0.
    const long n = s.ChanConfig.isEmpty() ? 0 : s.ChanConfig.whole();
    for (long i = 0; i < n; ++i)
        ClockPulse(s);
    CommandWrite(s, 0x0E);
    CommandWrite(s, 0x06);
}

void WQK::reloadloop() {
    CommandPulse(s, 0x00);
    CommandWriteFirst(s, 0x00, 0x02);
}
