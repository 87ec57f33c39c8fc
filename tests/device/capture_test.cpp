// The wait loops of a capture (how long each polls, when it gives up, what STOP does)
// and what is read after them.
#include "device/rig.h"
#include "instrument/instrument.h"
#include "platform/port.h"

#include <gtest/gtest.h>

using namespace seq;
using rig::Rig;

namespace {

// Passes everything to the simulated instrument but sets status bit 3 itself: high
// from virtual time doneAtMs on, never while that is negative.
struct DoneAt : plat::PortBackend {
    Rig& r;
    int64_t doneAtMs = -1;
    explicit DoneAt(Rig& rig) : r(rig) { plat::setPortBackend(this); }
    ~DoneAt() override { plat::setPortBackend(&r.sim); }
    bool initialize() override { return true; }
    void shutdown() override {}
    std::string name() const override { return "done at"; }
    void out(uint16_t a, uint8_t v) override { r.sim.out(a, v); }
    uint8_t in(uint16_t a) override {
        const uint8_t v = r.sim.in(a);
        if (a != Lpt1Base + StatusOffset) return v;
        const bool done = doneAtMs >= 0 && r.now() >= doneAtMs;
        return uint8_t((v & ~StatusDone) | (done ? StatusDone : 0));
    }
};

} // namespace

TEST(WaitLoops, PollLimitsTimesStopAndTheReadOut) {
    enum Proc { OnInstant, OnTrigger, OnSweep };
    // doneAtMs, stopAtMs: -1 for never
    // clang-format off
    const struct { const char* name; Proc proc; int64_t doneAtMs, stopAtMs; int status; int64_t ms;
                   size_t arms; const char* on = "AB"; } rows[] = {
        // Instant: 1 ms, then polls 100 ms apart; an end first seen after poll 198 is late.
        {"instant, done at the first poll, A only", OnInstant, 50, -1, 1, 101, 0, "A"},
        {"instant, done at poll 198, B only", OnInstant, 19750, -1, 1, 19801, 0, "B"},
        {"instant, done at poll 199", OnInstant, 19850, -1, 0, 19901, 0},
        // Trigger: 3 ms, then polls 20 ms apart; after 100 polls it is armed again.
        {"trigger at poll 99", OnTrigger, 1980, -1, 1, 1983, 1},
        {"trigger first seen at poll 100 counts after a re-arm", OnTrigger, 1990, -1, 1, 2023, 2},
        {"STOP takes effect at the end of a round", OnTrigger, -1, 5100, 0, 6003, 3},
        // Combined sweep: a 1 s pause, then polls 100 ms apart; STOP wins over data.
        {"sweep done at poll 198, B only", OnSweep, 20750, -1, 1, 20800, 0, "B"},
        {"sweep done at poll 199", OnSweep, 20850, -1, 0, 20900, 0},
        {"STOP with the end in the same poll", OnSweep, 1300, 1250, 0, 1300, 0},
        {"STOP alone ends the next poll", OnSweep, -1, 1450, 0, 1500, 0},
    };
    // clang-format on
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Rig r;
        DoneAt port(r);
        const std::string on = row.on;
        r.s.ChanAOn = on.find('A') != std::string::npos;
        r.s.ChanBOn = on.find('B') != std::string::npos;
        r.s.RunState = r.s.FFTDoneA = r.s.FFTDoneB = 1;
        r.s.CaptureStatus = 0, r.s.TrigMode = row.proc == OnTrigger;
        r.s.RateCode = 2, r.s.TrigLevelCode = 128, r.s.GenCount = 300;
        r.mark(false);
        port.doneAtMs = row.doneAtMs < 0 ? -1 : r.t0 + row.doneAtMs;
        if (row.stopAtMs >= 0) r.after(row.stopAtMs, [&] { r.s.RunState = 0; });
        const int a = r.sim.commandCount(SelectA), b = r.sim.commandCount(SelectB);
        row.proc == OnSweep ? r.w.DACADC() : r.w.ADCconvert();
        EXPECT_TRUE(r.s.CaptureStatus == row.status && r.elapsed() == row.ms &&
                    r.arms.size() == row.arms);
        const std::string read = std::string(r.sim.commandCount(SelectA) > a ? "A" : "") +
                                 (r.sim.commandCount(SelectB) > b ? "B" : "");
        EXPECT_EQ(read, row.status ? on : "");
        EXPECT_TRUE(r.s.FFTDoneA.num() == (read.find('A') == std::string::npos) &&
                    r.s.FFTDoneB == (read.find('B') == std::string::npos));
    }
}

// Zeros from the last point on, so nothing of an older capture stays behind the new one.
TEST(GenerateAndSample, BuffersEndInZerosAndThePretriggerIsRestored) {
    Rig r;
    DoneAt port(r);
    r.s.GenCount = 1000, r.s.PreTrigCount = 10, r.s.RateCode = 3;
    r.s.RunState = r.s.FFTDoneA = r.s.FFTDoneB = 1;
    r.s.CaptureStatus = 0;
    std::fill(r.s.ChanABuffer.begin(), r.s.ChanABuffer.end(), int16_t(1111));
    std::fill(r.s.ChanBBuffer.begin(), r.s.ChanBBuffer.end(), int16_t(2222));
    port.doneAtMs = r.now() + 1300;
    r.w.DACADC();
    EXPECT_TRUE(r.s.CaptureStatus == 1 && r.s.ReadCount == 1000 && r.s.PreTrigCount == 10);
    EXPECT_EQ(r.s.FFTDoneA.num() + r.s.FFTDoneB, 0);
    for (int i = 1000; i < 32768; ++i)
        ASSERT_TRUE(r.s.ChanABuffer[i] == 0 && r.s.ChanBBuffer[i] == 0) << i;
    EXPECT_TRUE(r.w.control<PictureBox>("Trigwait")->isHidden());
}

// Auto trigger: with no trigger within max(100 ms, twice the capture), the armed capture
// is dropped and an instant one taken; the trigger panel says AUTO, red for such a
// capture. Off, a missing trigger is waited for until STOP, as ever.
TEST(AutoTrigger, TakesTheCaptureWithoutATriggerOnTime) {
    using Kind = sim::InputSpec::Kind;
    // rate code, samples read, input on A, auto on; then: arms, instant starts, ms.
    // clang-format off
    const struct { const char* name; int rateCode; int read; Kind input; bool on;
                   size_t arms, instants; int64_t ms; bool untriggered; } rows[] = {
        // 3 ms to arm, polls 20 ms apart: the 100 ms are up at the 5th; 1 + 100 ms instant.
        {"4K at 2 MHz: 100 ms", 2, 4096, Kind::Dc, true, 1, 1, 103 + 101, true},
        // 2 x 1.64 s: re-armed at 2 s, dropped at 3283 ms; the instant capture ends at
        // 3284 + 1638 ms, seen at the 17th poll.
        {"32K at 20 kHz: twice its length", 4, 32768, Kind::Dc, true, 2, 1, 3284 + 1700, true},
        {"a trigger in time", 2, 4096, Kind::Sine, true, 1, 0, 23, false},
        {"off: waits until STOP", 2, 4096, Kind::Dc, false, 3, 0, 6003, false},
    };
    // clang-format on
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        sim::Options o;
        o.inputA = {row.input, 1000, 1};
        Rig r(o);
        Instrument& inst = r.w.instrument();
        r.w.TMODEBUTTON_MouseDown(); // TRIG
        PictureBox* panel = r.w.control<PictureBox>("Picture5");
        const QImage plain = panel->image().copy();
        inst.setAutoTrigger(row.on);
        EXPECT_EQ(panel->image() == plain, !row.on); // AUTO under TRIG, and only then
        r.s.RunState = 1, r.s.CaptureStatus = 0;
        r.s.RateCode = row.rateCode, r.s.ReadCount = row.read,
        r.s.TrigLevelCode = row.input == Kind::Dc ? 250 : 128; // 0 V never reaches 250
        r.mark(false);
        r.after(5100, [&] { r.s.RunState = 0; });
        r.w.ADCconvert();
        EXPECT_EQ(r.arms.size(), row.arms);
        EXPECT_EQ(r.instantRates.size(), row.instants);
        EXPECT_EQ(r.elapsed(), row.ms);
        EXPECT_EQ(r.s.CaptureStatus, row.arms < 3 ? 1 : 0);
        EXPECT_EQ(inst.untriggered(), row.untriggered);
        r.w.TRIGGER();
        bool red = false;
        for (int y = 0; y < panel->image().height(); ++y)
            for (int x = 0; x < panel->image().width(); ++x)
                red = red || panel->image().pixel(x, y) == qRgb(255, 0, 0);
        EXPECT_EQ(red, row.untriggered);
    }
}
