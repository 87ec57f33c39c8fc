// The generator playing without end while SCOPE captures are taken beside it: the
// frequency response's sequence, without the combined run's fixed pauses.
#include "acquisition/acquisition.h"
#include "device/commands.h"
#include "instrument/instrument.h"
#include "platform/clock.h"
#include "platform/port.h"

#include <algorithm>
#include <cmath>

using namespace proto;

namespace {
// The capture's end is looked for this often once its own length has passed; a STOP is
// seen at least this often while it lasts.
constexpr int PollMs = 1;
constexpr int EventsMs = 10;
} // namespace

std::string Instrument::beginOutputRun() {
    if (s.running()) return "a run is in progress";
    if (s.mode() != modes::Scope) return "the captures beside the output are SCOPE captures";
    if (!s.genFitted()) return "this instrument has no generator";
    if (!s.chanAOn() && !s.chanBOn()) return "both channels are off";
    initport();
    if (s.ModelCode == 0) return "no instrument answers on the port";
    Testpower();
    if (s.PowerFault != 0) return "the instrument has no power";
    s.RunState = 1;
    s.ChanConfig = proto::channelConfig(channelSettings());
    view_->runStarted();
    SETCHAB();
    outputRun_ = true;
    playing_.clear();
    playingRate_ = besideRate_ = -1;
    return "";
}

std::string Instrument::playWave(const std::vector<int16_t>& wave, int rateIndex) {
    if (!outputRun_) return "no output run has begun";
    if (wave.size() < 2 || wave.size() > size_t(InstrumentState::BufferSize))
        return "a wave holds 2 to 32768 points";
    if (rateIndex < 0 || rateIndex > acq::MaxIndex) return "the step-rate index must be 0 to 4";
    if (!s.running()) return "the run was stopped";
    const bool upload = wave != playing_;
    if (upload) {
        std::copy(wave.begin(), wave.end(), s.GenWave.begin());
        std::fill(s.GenWave.begin() + long(wave.size()), s.GenWave.end(), int16_t(0));
        s.GenLast = float(wave.size() - 1);
        s.GenCount = int32_t(wave.size() - 1);
        // The upload's reset ends the output; until the new one starts nothing plays.
        playing_.clear();
        DACWRITE();
        playing_ = wave;
    }
    if (upload || rateIndex != playingRate_) {
        s.RateCode = acq::rateCode(rateIndex);
        DACCONT();
        playingRate_ = rateIndex;
    }
    return "";
}

Instrument::RunResult Instrument::captureBeside(int rateIndex, long count, double timeoutS) {
    if (!outputRun_ || playingRate_ < 0) return {RunEnd::Refused, "nothing plays"};
    if (rateIndex < 0 || rateIndex > acq::MaxIndex)
        return {RunEnd::Refused, "the rate index must be 0 to 4"};
    if (!s.running() || view_->ended()) return {RunEnd::Stopped, "the run was stopped"};
    if (!s.chanAOn() && !s.chanBOn()) return {RunEnd::Refused, "both channels are off"};
    // A channel button pressed during the run is sent before the capture, as the run
    // loop does; the stop count stays the generator's.
    s.ChanConfigPrev = s.ChanConfig;
    s.ChanConfig = proto::channelConfig(channelSettings());
    if (s.chanConfig() != s.chanConfigPrev()) SETCHAB();
    const Link l = link();
    s.RateCode = acq::rateCode(rateIndex);
    s.CaptureStatus = 0;
    reloadloop();
    CommandWriteFirst(l, s.CmdPrefix, cmd::Idle);
    Pause(1);
    CommandWriteFirst(l, s.rateCode(), cmd::Start);
    const Span span(timing_.captureNs);
    const double samples = double(playing_.size() - 1);
    const int64_t t0 = plat::clock().nowNs();
    const int64_t end =
        t0 + int64_t(std::ceil(samples / acq::rateHz(rateIndex, s.RateFactor) * 1e9));
    const int64_t late = end + int64_t(timeoutS * 1e9);
    while (true) {
        DoEvents();
        // A program that is going away counts as STOP.
        if (!s.running() || view_->ended()) return {RunEnd::Stopped, "the run was stopped"};
        const int64_t now = plat::clock().nowNs();
        if (now >= end && Done(l)) break;
        if (now > late) return {RunEnd::TimedOut, "no end of capture"};
        const int64_t leftMs = (end - now) / 1000000;
        Pause(int(std::clamp<int64_t>(leftMs, PollMs, EventsMs)));
    }
    besideRate_ = rateIndex;
    readBesideCapture(count, true);
    return {};
}

void Instrument::readBesideCapture(long count, bool fresh) {
    if (besideRate_ < 0 || playing_.empty()) return;
    // The capture ends at the memory's end: its first sample sits after the positions
    // the stop count leaves out.
    const long samples = long(playing_.size()) - 1;
    const long n = std::clamp(count, 1L, samples);
    const long skip = cmd::MemorySize - samples;
    if (s.chanAOn()) {
        readMemory(cmd::SelectA, skip, n, s.ChanABuffer);
        s.FFTDoneA = 0;
    }
    if (s.chanBOn()) {
        readMemory(cmd::SelectB, skip, n, s.ChanBBuffer);
        s.FFTDoneB = 0;
    }
    recordBeside(besideRate_, n, fresh);
}

void Instrument::recordBeside(int rateIndex, long count, bool fresh) {
    s.CaptureStatus = 1;
    s.ReadCount = int32_t(count);
    s.PreTrigCount = 0; // both channels read from the same sample on
    s.DataRangeA = s.RangeA;
    s.DataRangeB = s.RangeB;
    s.DataRateA = rateIndex;
    s.DataRateB = int16_t(rateIndex);
    s.DataSizeA = s.SizeA;
    s.DataSizeB = s.SizeB;
    if (s.DelayMode == 0) s.ScrollPos = 0;
    view_->captureRecorded();
    if (fresh) ++captures_;
    emit captured();
    view_->redraw();
}

void Instrument::endOutputRun() {
    if (!outputRun_) return;
    // Zeros in the memory bring the output down to 0 V, as at the end of GENERATOR mode.
    if (playingRate_ >= 0 || !playing_.empty()) ClearGeneratorMemory();
    outputRun_ = false;
    playing_.clear();
    playingRate_ = besideRate_ = -1;
    s.RunState = 0;
    view_->runEnded();
}
