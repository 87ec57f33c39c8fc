// Generator upload, continuous output (GENERATOR mode) and the combined sweep with
// simultaneous sampling (SCOPE+GEN mode).
#include "device/commands.h"
#include "instrument/instrument.h"
#include "platform/clock.h"
#include "platform/port.h"

#include <algorithm>

using namespace proto;

namespace {

// The last uploaded index; the buffer holds 32768 points.
long lastPoint(const InstrumentState& s) {
    return std::clamp(long(s.GenCount), 0L, long(InstrumentState::LastIndex));
}

// DAC code of a wave point: value / 10, halves to even. Values outside 0..2550 (custom
// waves stretched by x2 or x5) are clipped: the port keeps only 8 bits, and 260 would
// otherwise play as 4.
int dacCode(int value) {
    return std::clamp(vb::CInt(value / 10.0), 0, 255);
}

} // namespace

void Instrument::DACWRITE() {
    const Span span(timing_.uploadNs);
    const Link l = link();
    const long last = lastPoint(s);
    CommandPulse(l, cmd::Reset);
    CommandWrite(l, cmd::GenWrite);
    for (long i = 0; i <= last; ++i)
        DataStrobe(l, dacCode(s.GenWave[i]));
    CommandWrite(l, cmd::Start);
    CommandPulse(l, cmd::Reset);
    CommandWrite(l, cmd::OpenCount);
    vbOut(l.data, 0);
    // The length counter takes 32768 minus the index of the last point.
    for (long k = 1; k <= cmd::MemorySize - last; ++k)
        ClockPulse(l);
    CommandWrite(l, cmd::EndLoad);
    CommandWrite(l, cmd::Idle);
}

void Instrument::DACCONT() {
    const Span span(timing_.uploadNs);
    const Link l = link();
    CommandPulse(l, cmd::GenSelect);
    reloadloop();
    CommandWrite(l, cmd::Continuous);
    CommandWriteFirst(l, s.rateCode(), cmd::Continuous);
}

void Instrument::DACGEN() {
    DACWRITE();
    DACCONT();
    view_->showRunMessage("   Signal Output mode", "  Press [STOP] to exit");
    while (s.running())
        DoEvents();
    view_->hideRunMessage();
    DoEvents();
    // Zeros in the memory bring the output down to 0 V.
    ClearGeneratorMemory();
}

void Instrument::DACADCONCE() {
    const Link l = link();
    CommandPulse(l, cmd::EndLoad);
    CommandPulse(l, cmd::GenSelect);
    reloadloop();
    DataStrobe(l, s.TrigLevelCode);
    CommandWrite(l, cmd::Sweep);
    {
        const Span span(timing_.pauseNs);
        Pause(1000);
    }
    CommandWriteFirst(l, s.rateCode() + cmd::SweepRateOffset, cmd::Sweep);
}

void Instrument::DACADC() {
    ClearGeneratorMemory();
    DACWRITE();
    view_->showRunMessage("Generating & Sampling", "   Press [STOP] to exit");
    DoEvents();
    DACADCONCE();
    const int64_t waitStart = plat::clock().nowNs();
    int i = 1;
    for (; i <= 200; ++i) {
        DoEvents();
        Pause(100);
        if (Done(link())) break;
        DoEvents();
        if (!s.running()) break;
    }
    DoEvents();
    timing_.captureNs += plat::clock().nowNs() - waitStart;
    if (i < 199) s.CaptureStatus = 1;
    if (!s.running()) s.CaptureStatus = 0; // STOP wins

    if (s.CaptureStatus == 1) {
        const long count = lastPoint(s);
        s.ReadCount = int32_t(count);
        const int32_t savedPreTrig = s.PreTrigCount;
        // The sweep's samples sit 4 (fastest step rate) or 1 further on in the memory.
        s.PreTrigCount = s.rateCode() == 1 ? -4 : -1;
        // Both buffers end in zeros from the last sweep point on, so no sample of an
        // older capture is left behind the new ones.
        if (s.chanAOn()) {
            readbufferA();
            s.FFTDoneA = 0;
            std::fill(s.ChanABuffer.begin() + count, s.ChanABuffer.end(), int16_t(0));
        }
        if (s.chanBOn()) {
            readbufferB();
            s.FFTDoneB = 0;
            std::fill(s.ChanBBuffer.begin() + count, s.ChanBBuffer.end(), int16_t(0));
        }
        s.PreTrigCount = savedPreTrig;
    }
    view_->hideRunMessage();
    DoEvents();
}
