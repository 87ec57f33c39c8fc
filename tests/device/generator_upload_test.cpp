#include "platform/port.h"
#include "support/fixture.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace cmd;

using testing_support::Harness;

namespace {

constexpr int D = 0x378, S = 0x379, C = 0x37A;

// Expected port writes, built from the write patterns of the command table.
struct Seq {
    std::vector<std::pair<int, int>> v;
    void cmd(int c, int first = 0) {
        v.insert(v.end(), {{D, first}, {C, CtlCommand}, {D, c}, {C, CtlIdle}});
    }
    void pulse() { v.insert(v.end(), {{C, CtlStrobe}, {C, CtlIdle}}); }
    void cmdPulse(int c) {
        cmd(c);
        pulse();
    }
    void strobe(int x) {
        v.push_back({D, x});
        pulse();
    }
    void reloadloop() {
        cmdPulse(Idle);
        cmd(Start, 0);
    }
};

// Passes everything to the simulated instrument but decides status bit 3 itself: set
// from virtual time `doneAtMs` on (never when negative). It also notes the pretrigger
// count in force when the first read clock of a read-out is given.
class StatusControl : public plat::PortBackend {
  public:
    explicit StatusControl(Harness& h) : h_(h) { plat::setPortBackend(this); }
    ~StatusControl() override { plat::setPortBackend(&h_.sim()); }
    bool initialize() override { return true; }
    void shutdown() override {}
    std::string name() const override { return "status control"; }
    void out(uint16_t a, uint8_t v) override {
        if (a == C && v == CtlReadClock && onReadClock) onReadClock();
        h_.sim().out(a, v);
    }
    uint8_t in(uint16_t a) override {
        uint8_t v = h_.sim().in(a);
        if (a == S) {
            v &= uint8_t(~StatusDone);
            if (doneAtMs >= 0 && h_.clock().nowMs() >= doneAtMs) v |= StatusDone;
            ++polls;
        }
        return v;
    }
    int64_t doneAtMs = -1;
    int polls = 0;
    std::function<void()> onReadClock;

  private:
    Harness& h_;
};

void fillWave(InstrumentState& s, std::initializer_list<int> values) {
    std::copy(values.begin(), values.end(), s.GenWave.begin());
}

} // namespace

TEST(DacWrite, ShortestCustomWaveUploadsTenBytesAndLengthPulses) {
    Harness h;
    WQK& w = h.window();
    InstrumentState& s = w.state();
    fillWave(s, {1275, 1265, 0, 2550, 5, 15, 25, 2600, -30, 1280});
    s.GenWave[10] = 2000; // beyond GenCount: not sent
    s.GenCount = 9;
    h.sim().setLogging(true);
    h.sim().clearLog();
    h.sim().clearMisuse();
    w.DACWRITE();

    Seq e;
    e.cmdPulse(Reset);
    e.cmd(GenWrite);
    // 1275 -> 128 and 1265 -> 126 (halves to even); 2600 and -30 are clipped to the DAC.
    const int codes[10] = {128, 126, 0, 255, 0, 2, 2, 255, 0, 128};
    for (int c : codes)
        e.strobe(c);
    e.cmd(Start);
    e.cmdPulse(Reset);
    e.cmd(OpenCount);
    e.v.push_back({D, 0});
    for (int k = 0; k < 32759; ++k)
        e.pulse();
    e.cmd(EndLoad);
    e.cmd(Idle);
    EXPECT_EQ(h.sim().writes(), e.v);
    EXPECT_EQ(h.sim().generatorWritePos(), 10);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(h.sim().generatorMemory()[i], codes[i]) << i;
    EXPECT_EQ(h.sim().stopCounter(), 32759);
    EXPECT_TRUE(h.sim().misuse().empty());
}

TEST(DacWrite, FullTableAndAnOutOfRangeCount) {
    Harness h;
    WQK& w = h.window();
    InstrumentState& s = w.state();
    for (int i = 0; i < 32768; ++i)
        s.GenWave[i] = int16_t((i % 256) * 10);
    s.GenCount = 32767;
    h.sim().clearMisuse();
    w.DACWRITE();
    EXPECT_EQ(h.sim().generatorWritePos(), 32768);
    EXPECT_EQ(h.sim().stopCounter(), 1);
    EXPECT_EQ(h.sim().generatorMemory()[32767], 255);
    // A count past the buffer (a damaged setting) uploads the whole buffer, no more.
    s.GenCount = 40000;
    w.DACWRITE();
    EXPECT_EQ(h.sim().generatorWritePos(), 32768);
    EXPECT_TRUE(h.sim().misuse().empty());
}

TEST(DacCont, StartsContinuousOutputAtTheRateCode) {
    Harness h;
    WQK& w = h.window();
    w.state().RateCode = 3;
    h.sim().setLogging(true);
    h.sim().clearLog();
    w.DACCONT();
    Seq e;
    e.cmdPulse(GenSelect);
    e.reloadloop();
    e.cmd(Continuous);
    e.cmd(Continuous, 3);
    EXPECT_EQ(h.sim().writes(), e.v);
}

TEST(DacAdcOnce, PausesOneSecondBeforeTheSweepStarts) {
    Harness h;
    WQK& w = h.window();
    w.state().RateCode = 1;
    w.state().TrigLevelCode = 77;
    h.sim().setLogging(true);
    h.sim().clearLog();
    Seq e;
    e.cmdPulse(EndLoad);
    e.cmdPulse(GenSelect);
    e.reloadloop();
    e.strobe(77);
    e.cmd(Sweep);
    const size_t beforeStart = e.v.size();
    e.cmd(Sweep, 9);
    size_t writtenAt999 = 0;
    const int64_t t0 = h.clock().nowMs();
    h.clock().at(t0 + 999, [&] { writtenAt999 = h.sim().writes().size(); });
    w.DACADCONCE();
    EXPECT_EQ(h.clock().nowMs() - t0, 1000);
    EXPECT_EQ(writtenAt999, beforeStart);
    EXPECT_EQ(h.sim().writes(), e.v);
}

TEST(DacGen, OutputsUntilStopThenClearsTheMemory) {
    Harness h;
    WQK& w = h.window();
    InstrumentState& s = w.state();
    for (int i = 0; i <= 99; ++i)
        s.GenWave[i] = int16_t(i * 20);
    s.GenCount = 99;
    s.RateCode = 2;
    s.RunState = 1;
    bool visible = false;
    std::vector<uint8_t> during;
    h.clock().atDoEvents(50, [&] {
        visible = w.Trigwait->isVisibleTo(&w);
        during.assign(h.sim().generatorMemory().begin(), h.sim().generatorMemory().begin() + 100);
        s.RunState = 0; // STOP
    });
    const int64_t t0 = h.clock().nowMs();
    w.DACGEN();
    EXPECT_TRUE(visible);
    ASSERT_EQ(during.size(), 100u);
    EXPECT_EQ(during[99], 198);
    EXPECT_EQ(h.sim().commandCount(Continuous), 2);
    EXPECT_FALSE(w.Trigwait->isVisibleTo(&w));
    const auto& mem = h.sim().generatorMemory();
    EXPECT_TRUE(std::all_of(mem.begin(), mem.end(), [](uint8_t b) { return b == 0; }));
    EXPECT_EQ(h.clock().nowMs(), t0); // no pause in the output loop
}

TEST(DacAdc, ReadsWithTheSweepOffsetAndZeroesTheTails) {
    Harness h;
    WQK& w = h.window();
    InstrumentState& s = w.state();
    StatusControl port(h);
    std::vector<int32_t> preTrig;
    port.onReadClock = [&] {
        if (preTrig.empty() || preTrig.back() != s.PreTrigCount) preTrig.push_back(s.PreTrigCount);
    };
    s.GenCount = 1000;
    s.RunState = 1;
    s.PreTrigCount = 10;
    std::fill(s.ChanABuffer.begin(), s.ChanABuffer.end(), int16_t(1111));
    std::fill(s.ChanBBuffer.begin(), s.ChanBBuffer.end(), int16_t(2222));
    for (int rateCode : {1, 3}) {
        s.RateCode = rateCode;
        s.CaptureStatus = 0;
        s.FFTDoneA = 1;
        s.FFTDoneB = 1;
        port.doneAtMs = h.clock().nowMs() + 1000 + 300;
        preTrig.clear();
        w.DACADC();
        EXPECT_EQ(s.CaptureStatus, 1);
        EXPECT_EQ(s.ReadCount, 1000);
        EXPECT_EQ(s.PreTrigCount, 10); // restored
        ASSERT_FALSE(preTrig.empty());
        EXPECT_EQ(preTrig[0], rateCode == 1 ? -4 : -1);
        EXPECT_EQ(s.FFTDoneA.num(), 0);
        EXPECT_EQ(s.FFTDoneB, 0);
        for (int i = 1000; i < 32768; ++i) {
            ASSERT_EQ(s.ChanABuffer[i], 0) << i;
            ASSERT_EQ(s.ChanBBuffer[i], 0) << i;
        }
        EXPECT_FALSE(w.Trigwait->isVisibleTo(&w));
    }
}

TEST(DacAdc, ChannelAOffLeavesItsBufferUntouched) {
    Harness h;
    WQK& w = h.window();
    InstrumentState& s = w.state();
    StatusControl port(h);
    s.GenCount = 500;
    s.RateCode = 2;
    s.RunState = 1;
    s.ChanAOn = 0;
    for (int i = 0; i < 32768; ++i)
        s.ChanABuffer[i] = int16_t(i % 2000);
    const auto a = s.ChanABuffer;
    s.FFTDoneA = 1;
    port.doneAtMs = h.clock().nowMs() + 1000 + 500;
    w.DACADC();
    EXPECT_EQ(s.CaptureStatus, 1);
    EXPECT_EQ(s.ChanABuffer, a);
    EXPECT_EQ(s.FFTDoneA.num(), 1);
    EXPECT_EQ(s.ChanBBuffer[500], 0);
}

TEST(DacAdc, NoDataOnTimeOutLateEndOrStop) {
    Harness h;
    WQK& w = h.window();
    InstrumentState& s = w.state();
    StatusControl port(h);
    s.GenCount = 300;
    s.RateCode = 5;
    std::fill(s.ChanABuffer.begin(), s.ChanABuffer.end(), int16_t(1234));
    const auto a = s.ChanABuffer;
    auto run = [&](int64_t doneAfterMs, int64_t stopAfterMs) {
        s.RunState = 1;
        s.CaptureStatus = 0;
        const int64_t t0 = h.clock().nowMs();
        port.doneAtMs = doneAfterMs < 0 ? -1 : t0 + 1000 + doneAfterMs;
        if (stopAfterMs >= 0) h.clock().at(t0 + 1000 + stopAfterMs, [&] { s.RunState = 0; });
        w.DACADC();
        return h.clock().nowMs() - t0;
    };
    // Never reported: 200 polls of 100 ms after the 1 s pause.
    EXPECT_EQ(run(-1, -1), 1000 + 200 * 100);
    EXPECT_EQ(s.CaptureStatus, 0);
    // Reported at the 199th poll: too late. At the 198th: data.
    run(19900, -1);
    EXPECT_EQ(s.CaptureStatus, 0);
    EXPECT_EQ(s.ChanABuffer, a);
    run(19800, -1);
    EXPECT_EQ(s.CaptureStatus, 1);
    std::fill(s.ChanABuffer.begin(), s.ChanABuffer.end(), int16_t(1234));
    // STOP pressed while the end is reported in the same poll: STOP wins.
    run(300, 250);
    EXPECT_EQ(s.CaptureStatus, 0);
    EXPECT_EQ(s.ChanABuffer, a);
    // STOP alone ends the wait at the next poll.
    EXPECT_EQ(run(-1, 450), 1000 + 500);
    EXPECT_EQ(s.CaptureStatus, 0);
}
