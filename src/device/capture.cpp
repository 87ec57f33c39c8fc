// One capture: the instant and the triggered start with their wait loops, and the
// clocked read-out of the two sample memories into the channel buffers.
#include "device/capture.h"

#include "app/wqk.h"
#include "device/protocol.h"
#include "platform/clock.h"
#include "platform/port.h"

using namespace proto;

void WQK::ADCconvert() {
    SETMAXLOOP();
    if (s.trigMode() == 1)
        trigconvert();
    else
        autoconvert();
    if (s.CaptureStatus == 1) {
        if (s.chanAOn()) {
            readbufferA();
            s.FFTDoneA = 0;
        }
        if (s.chanBOn()) {
            readbufferB();
            s.FFTDoneB = 0;
        }
    }
}

void WQK::autoconvert() {
    const Link l = link();
    const int src = s.trigSourceB() ? cmd::SourceB : 0;
    CommandWriteFirst(l, s.CmdPrefix, cmd::Idle + src);
    Pause(1);
    CommandWriteFirst(l, s.rateCode(), cmd::Start + src);
    int i = 1;
    for (; i <= capture::InstantPolls; ++i) {
        DoEvents();
        Pause(100);
        if (Done(l)) break;
    }
    DoEvents();
    if (i <= capture::InstantLastGood) s.CaptureStatus = 1;
}

void WQK::showRunMessage(const char* line1, const char* line2) {
    // Shown before drawing: a hidden box takes its real size only when shown.
    Trigwait->show();
    Trigwait->raise();
    Trigwait->Cls();
    Trigwait->Print(line1);
    Trigwait->Print(line2);
}

void WQK::trigconvert() {
    const Link l = link();
    const int flags = capture::triggerFlags(s.trigSourceB(), !s.risingSlope());
    const auto arm = [this, &l, flags] { CommandWriteFirst(l, s.rateCode(), cmd::Arm + flags); };
    DoEvents();
    s.WaitingTrigger = 1;
    reloadloop();
    CommandWriteFirst(l, s.CmdPrefix, flags);
    Pause(1);
    DataStrobe(l, s.TrigLevelCode);
    Pause(2);
    arm();
    while (s.waitingTrigger()) {
        int i = 1;
        for (; i <= capture::TriggerPolls; ++i) {
            Pause(20);
            DoEvents();
            if (Done(l)) break;
        }
        // A window that is going away counts as STOP.
        if (!s.running() || ended()) {
            Trigwait->hide();
            break;
        }
        if (i < capture::TriggerPolls) {
            s.WaitingTrigger = 0;
            s.CaptureStatus = 1;
            Trigwait->hide();
            break;
        }
        arm();
        showRunMessage("   Waiting For Trigger", "  Press [STOP] to exit");
        DoEvents();
    }
    CommandWrite(l, cmd::Idle);
}

namespace {
void readInto(const Link& l, long n, std::vector<int16_t>& buffer, int select, long skip) {
    CommandWrite(l, select);
    for (long k = 1; k <= skip; ++k)
        ReadClock(l);
    vbOut(l.control, cmd::CtlRead);
    for (long i = 0; i < n; ++i) {
        buffer[size_t(i)] = int16_t(10 * (vbInp(l.data) & 0xFF));
        ReadClock(l);
    }
    vbOut(l.control, cmd::CtlIdle);
}
} // namespace

capture::ReadOut WQK::readOut() const {
    return capture::ReadOut{s.ReadCount, s.PreTrigCount, s.chanAOn()};
}

void WQK::readbufferA() {
    readInto(link(), capture::readLength(s.ReadCount), s.ChanABuffer, cmd::SelectA,
             capture::skipA(readOut()));
}
void WQK::readbufferB() {
    readInto(link(), capture::readLength(s.ReadCount), s.ChanBBuffer, cmd::SelectB,
             capture::skipB(readOut()));
}
