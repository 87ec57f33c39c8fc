#include "device/protocol.h"

#include "platform/port.h"

namespace proto {

void CommandWriteFirst(const Link& l, int first, int c) {
    vbOut(l.data, first);
    vbOut(l.control, cmd::CtlCommand);
    vbOut(l.data, c);
    vbOut(l.control, cmd::CtlIdle);
}

void CommandWrite(const Link& l, int c) {
    CommandWriteFirst(l, l.prefix, c);
}

void ClockPulse(const Link& l) {
    vbOut(l.control, cmd::CtlStrobe);
    vbOut(l.control, cmd::CtlIdle);
}

void CommandPulse(const Link& l, int c) {
    CommandWrite(l, c);
    ClockPulse(l);
}

void DataStrobe(const Link& l, int v) {
    vbOut(l.data, v);
    ClockPulse(l);
}

void ReadClock(const Link& l) {
    vbOut(l.control, cmd::CtlReadClock);
    vbOut(l.control, cmd::CtlRead);
}

bool Done(const Link& l) {
    return (vbInp(l.status) & cmd::StatusDone) != 0;
}

} // namespace proto
