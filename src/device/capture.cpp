// One capture: the instant and the triggered start with their wait loops, and the
// clocked read-out of the two sample memories into the channel buffers.
#include "device/capture.h"

#include "app/wqk.h"
#include "device/protocol.h"
#include "platform/clock.h"
#include "platform/port.h"

namespace capture {

int sourceBit(const InstrumentState& s) {
    return double(s.TrigSource) > 0 ? 0x40 : 0x00;
}

int triggerFlags(const InstrumentState& s) {
    return sourceBit(s) | (double(s.TrigSlope) < 0 ? 0x80 : 0x00);
}

long skipA(const InstrumentState& s) {
    return 32768L - s.ReadCount - s.PreTrigCount;
}

long skipB(const InstrumentState& s) {
    // The memories share one read address: with A read first, B's skip wraps round to
    // the positions A read.
    return 32768L - s.ReadCount + (long(double(s.ChanAOn)) - 1) * s.PreTrigCount;
}

long readLength(const InstrumentState& s) {
    if (s.ReadCount < 0) return 0;
    return s.ReadCount > InstrumentState::BufferSize ? InstrumentState::BufferSize : s.ReadCount;
}

} // namespace capture

using namespace proto;

void WQK::ADCconvert() {
    SETMAXLOOP();
    if (double(s.TrigMode) == 1)
        trigconvert();
    else
        autoconvert();
    if (s.CaptureStatus == 1) {
        if (double(s.ChanAOn) == 1) {
            readbufferA();
            s.FFTDoneA = 0;
        }
        if (s.ChanBOn == 1) {
            readbufferB();
            s.FFTDoneB = 0;
        }
    }
}

void WQK::autoconvert() {
    const int src = capture::sourceBit(s);
    const int status = int(s.StatusPort);
    CommandWriteFirst(s, s.CmdPrefix, 0x00 + src);
    Pause(1);
    CommandWriteFirst(s, int(double(s.RateCode)), 0x02 + src);
    int i = 1;
    for (; i <= capture::InstantPolls; ++i) {
        DoEvents();
        Pause(100);
        if (vbInp(status) & 0x08) break;
    }
    DoEvents();
    if (i <= capture::InstantLastGood) s.CaptureStatus = 1;
}

namespace {
void arm(const InstrumentState& s, int flags) {
    CommandWriteFirst(s, int(double(s.RateCode)), 0x10 + flags);
}
} // namespace

void WQK::trigconvert() {
    const int flags = capture::triggerFlags(s);
    const int status = int(s.StatusPort);
    DoEvents();
    s.WaitingTrigger = 1;
    reloadloop();
    CommandWriteFirst(s, s.CmdPrefix, flags);
    Pause(1);
    DataStrobe(s, s.TrigLevelCode);
    Pause(2);
    arm(s, flags);
    while (double(s.WaitingTrigger) == 1) {
        int i = 1;
        for (; i <= capture::TriggerPolls; ++i) {
            Pause(20);
            DoEvents();
            if (vbInp(status) & 0x08) break;
        }
        // A window that is going away counts as STOP.
        if (double(s.RunState) == 0 || ended()) {
            Trigwait->hide();
            break;
        }
        if (i < capture::TriggerPolls) {
            s.WaitingTrigger = 0;
            s.CaptureStatus = 1;
            Trigwait->hide();
            break;
        }
        arm(s, flags);
        // Shown before drawing: a hidden box takes its real size only when shown.
        Trigwait->show();
        Trigwait->raise();
        Trigwait->Cls();
        Trigwait->Print("   Waiting For Trigger");
        Trigwait->Print("  Press [STOP] to exit");
        DoEvents();
    }
    CommandWrite(s, 0x00);
}

namespace {
void readInto(InstrumentState& s, std::vector<int16_t>& buffer, int select, long skip) {
    const int control = int(s.ControlPort), data = int(s.DataPort);
    CommandWrite(s, select);
    for (long k = 1; k <= skip; ++k)
        ReadClock(s);
    vbOut(control, 0x22);
    const long n = capture::readLength(s);
    for (long i = 0; i < n; ++i) {
        buffer[size_t(i)] = int16_t(10 * (vbInp(data) & 0xFF));
        ReadClock(s);
    }
    vbOut(control, 0x00);
}
} // namespace

void WQK::readbufferA() {
    readInto(s, s.ChanABuffer, 0x04, capture::skipA(s));
}
void WQK::readbufferB() {
    readInto(s, s.ChanBBuffer, 0x44, capture::skipB(s));
}
