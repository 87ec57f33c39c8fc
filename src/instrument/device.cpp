// The device's command sequences: clearing the generator memory, the sample-stop
// counter, the channel configuration, the counter restart, and one capture with its
// wait loops and the clocked read-out of the two sample memories.
#include "acquisition/acquisition.h"
#include "device/commands.h"
#include "instrument/instrument.h"
#include "platform/clock.h"
#include "platform/port.h"

#include <algorithm>
#include <cmath>

using namespace proto;

void Instrument::ClearGeneratorMemory() {
    const Span span(timing_.uploadNs);
    const Link l = link();
    CommandPulse(l, cmd::Reset);
    CommandWrite(l, cmd::GenWrite);
    for (int i = 0; i < cmd::MemorySize; ++i)
        DataStrobe(l, 0); // every byte of the memory to 0 V
    CommandWrite(l, cmd::Start);
}

void Instrument::SETMAXLOOP() {
    const Link l = link();
    CommandPulse(l, cmd::Reset);
    CommandWrite(l, cmd::OpenCount);
    // The counter is 15 bits wide: a read count below 0 cannot ask for more than 32768.
    const long pulses = std::min(long(cmd::MemorySize), cmd::MemorySize - long(s.ReadCount));
    for (long i = 1; i <= pulses; ++i)
        ClockPulse(l);
    CommandWrite(l, cmd::EndLoad);
    CommandWrite(l, cmd::Idle);
}

void Instrument::SETCHAB() {
    const Link l = link();
    CommandPulse(l, cmd::ClearConfig);
    CommandWrite(l, cmd::OpenCount);
    // Before run control has computed it (at start-up) the configuration is empty: 0.
    for (int i = 0; i < s.chanConfig(); ++i)
        ClockPulse(l);
    CommandWrite(l, cmd::LatchConfig);
    CommandWrite(l, cmd::OpenCount);
}

void Instrument::reloadloop() {
    const Link l = link();
    CommandPulse(l, cmd::Idle);
    CommandWriteFirst(l, 0, cmd::Start); // a literal 0 first, whatever the prefix
}

void Instrument::ADCconvert() {
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

void Instrument::autoconvert() {
    const Link l = link();
    const int src = s.trigSourceB() ? cmd::SourceB : 0;
    CommandWriteFirst(l, s.CmdPrefix, cmd::Idle + src);
    Pause(1);
    CommandWriteFirst(l, s.rateCode(), cmd::Start + src);
    const Span span(timing_.captureNs);
    int i = 1;
    for (; i <= capture::InstantPolls; ++i) {
        DoEvents();
        Pause(100);
        if (Done(l)) break;
    }
    DoEvents();
    if (i <= capture::InstantLastGood) s.CaptureStatus = 1;
}

void Instrument::trigconvert() {
    const Span span(timing_.captureNs);
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
    untriggered_ = false;
    const int64_t autoAtNs =
        autoTrigger_ ? plat::clock().nowNs() + int64_t(autoTriggerWaitMs()) * 1000000 : 0;
    while (s.waitingTrigger()) {
        int i = 1;
        for (; i <= capture::TriggerPolls; ++i) {
            Pause(20);
            DoEvents();
            if (Done(l)) break;
            if (autoAtNs && plat::clock().nowNs() >= autoAtNs) {
                untriggered_ = true;
                break;
            }
        }
        // A program that is going away counts as STOP.
        if (!s.running() || view_->ended()) {
            untriggered_ = false;
            view_->hideRunMessage();
            break;
        }
        if (untriggered_) {
            // No trigger in time: the armed capture is dropped and an instant one taken.
            s.WaitingTrigger = 0;
            view_->hideRunMessage();
            CommandWrite(l, cmd::Idle);
            reloadloop();
            // This wait's span already counts the instant capture's time.
            const int64_t counted = timing_.captureNs;
            autoconvert();
            timing_.captureNs = counted;
            break;
        }
        if (i < capture::TriggerPolls) {
            s.WaitingTrigger = 0;
            s.CaptureStatus = 1;
            view_->hideRunMessage();
            break;
        }
        arm();
        view_->showRunMessage("   Waiting For Trigger", "  Press [STOP] to exit");
        DoEvents();
    }
    CommandWrite(l, cmd::Idle);
}

void Instrument::setAutoTrigger(bool on) {
    autoTrigger_ = on;
    if (!on) untriggered_ = false;
    view_->settingsChanged("TMODEBUTTON");
}

long Instrument::autoTriggerWaitMs() const {
    const double rate = acq::rateHz(5 - s.rateCode(), s.RateFactor); // code 5 - index
    const double lengthMs = rate > 0 ? capture::readLength(s.ReadCount) * 1000.0 / rate : 0;
    return std::max(100L, long(std::ceil(2 * lengthMs)));
}

void Instrument::readMemory(int select, long skip, long n, std::vector<int16_t>& buffer) {
    const Span span(timing_.readOutNs);
    const Link l = link();
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

void Instrument::readbufferA() {
    readMemory(cmd::SelectA, capture::skipA(readOut()), capture::readLength(s.ReadCount),
               s.ChanABuffer);
}
void Instrument::readbufferB() {
    readMemory(cmd::SelectB, capture::skipB(readOut()), capture::readLength(s.ReadCount),
               s.ChanBBuffer);
}
