// GO/STOP and the run loop through the window on the simulated instrument: what a run
// locks, what it captures and what it records.
#include "device/rig.h"

#include <gtest/gtest.h>

using rig::Rig;

namespace {
// Enabled ('1') or not: load, exit, port, mode, generator mode, sampling rate, trigger
// mode, single/repeat, channel A range, channel B range.
std::string controls(WQK& w) {
    std::string e;
    for (QWidget* c : std::initializer_list<QWidget*>{
             w.control<VbButton>("fileloadbutton"), w.control<VbButton>("Command22"),
             w.control<VbButton>("SETUP"), w.control<PictureBox>("SCOPEMODE"),
             w.control<VbButton>("GENMODEBUTTON"), w.control<VbButton>("SRATEP"),
             w.control<VbButton>("TMODEBUTTON"), w.control<VbButton>("TRESETBUTTON"),
             w.control<VbButton>("Command3"), w.control<VbButton>("Command6")})
        e += c->isEnabled() ? '1' : '0';
    return e;
}
// The GO button's caption, font size and indicator colour.
std::string goButton(WQK& w) {
    return w.control<VbButton>("GOBUTTON")->caption() + " " +
           std::to_string(int(w.control<VbButton>("GOBUTTON")->fontSize())) + " " +
           std::to_string(w.control<PictureBox>("GOCOLOR")->BackColor());
}
} // namespace

TEST(GoButton, RunsNothingWithoutChannelsInstrumentOrPower) {
    const struct {
        const char* name;
        bool present, power;
        std::vector<std::string> message;
    } rows[] = {
        {"both channels off", true, true, {}},
        {"no instrument", false, true, {"  No WQK Hardware !!! ", "  Aborting Command ..."}},
        {"no power", true, false, {" No Power to WQK  !!! ", " Check Power to WQK   "}}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        sim::Options o;
        o.present = row.present;
        o.power = row.power;
        Rig r(o);
        if (row.message.empty()) r.s.ChanAOn = r.s.ChanBOn = 0;
        bool shown = row.message.empty();
        r.after(1900,
                [&] { shown = drawn::shows(r.w.control<PictureBox>("Trigwait"), row.message); });
        const int opened = r.sim.commandCount(cmd::OpenCount);
        r.mark();
        r.w.GOBUTTON_Click();
        EXPECT_TRUE(shown && r.w.control<PictureBox>("Trigwait")->isHidden() &&
                    r.s.RunState.num() == 0);
        EXPECT_EQ(r.elapsed(), row.message.empty() ? 0 : 2000);
        // No configuration, no counter.
        EXPECT_EQ(r.sim.commandCount(cmd::OpenCount), opened);
        EXPECT_TRUE(!row.message.empty() || r.sim.log().empty());
        EXPECT_EQ(goButton(r.w), "GO 10 255");
    }
}

TEST(GoButton, LocksAndRestoresTheControlsOfEachMode) {
    // clang-format off
    const struct { const char* name; int mode, genMode, delay; const char *during, *after;
                   std::vector<int> instantRates; int rateCode; } rows[] = {
        {"SCOPE", 0, 0, 0, "0000011111", "1111011111", {2}, 2},
        {"FFT in delay mode, B off", 3, 0, 1, "0000000000", "1111011110", {2}, 2},
        {"GENERATOR, NORMAL at GenRateIndex 4", 1, 0, 0, "0000000000", "1111110000", {}, 1},
        {"GENERATOR, SWEEP at SweepRateIndex 0", 1, 1, 0, "0000000000", "1111110000", {}, 5},
        {"SCOPE+GEN, CUSTOM at CustomRateIndex 1", 2, 2, 0, "0000000100", "1111110111", {}, 4},
    };
    // clang-format on
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Rig r;
        r.s.ScopeMode = row.mode;
        r.s.GenMode = row.genMode;
        r.s.DelayMode = int16_t(row.delay);
        r.s.ChanBOn = row.mode != 3;
        r.s.GenLast = 4096.5f;
        r.s.GenDirty = 0; // the wave is current
        r.w.control<QScrollBar>("HScroll1")->setValue(500);
        std::string during;
        r.after(50, [&] { // in the 100 ms pause before the first capture; then STOP
            during = controls(r.w) + " " + goButton(r.w);
            r.w.GOBUTTON_Click();
        });
        r.w.GOBUTTON_Click();
        EXPECT_EQ(during, row.during + std::string(" STOP 8 65280"));
        EXPECT_EQ(controls(r.w) + " " + goButton(r.w), row.after + std::string(" GO 10 255"));
        EXPECT_TRUE(r.instantRates == row.instantRates && r.s.rateCode() == row.rateCode);
        // Only data returns the display to its start (STOP left the generator modes none).
        EXPECT_EQ(r.w.control<QScrollBar>("HScroll1")->value(),
                  row.delay || row.instantRates.empty() ? 500 : 0);
        // FFT keeps copies of the channels that are on.
        EXPECT_TRUE((r.s.SaveA[0] != 0) == (row.mode == 3) && r.s.SaveB[0] == 0);
        EXPECT_EQ(r.s.GenCount, row.mode == 1 || row.mode == 2 ? 4096 : 360); // 4096.5: even
        EXPECT_TRUE(r.sim.misuse().empty()) << r.sim.misuse().front();
    }
}

// The same signal on both inputs: the trigger crossing lands at the pretrigger index,
// and each memory being read from its own start, B[i] is A[i + offset]. The read count
// takes the pretrigger count of the capture before (1 after start-up).
TEST(GoButton, TriggerPositionsAndReadOutOffsets) {
    const struct {
        const char* name;
        int mode, trigMode, slope, preTrig, genFreq, offset;
        bool sourceB = false; // then A is held at 0 V, so only B can fire
    } rows[] = {{"instant, pretrigger off", 0, 0, 1, 0, 0, 0},
                {"rising, pretrigger off", 0, 1, 1, 0, 0, 0},
                {"rising, pretrigger 10", 0, 1, 1, 1, 0, 10},
                {"on B, rising, pretrigger 10", 0, 1, 1, 1, 0, 10, true},
                {"falling, pretrigger 10", 0, 1, -1, 1, 0, 10},
                {"falling, pretrigger 100", 0, 1, -1, 2, 0, 100},
                {"SCOPE+GEN", 2, 0, 1, 0, 1000, -1},
                {"SCOPE+GEN at the fastest rate", 2, 0, 1, 0, 50000, -4}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        sim::Options o;
        o.inputA.freq = 37000;
        o.inputB = o.inputA;
        if (row.sourceB) o.inputA.kind = sim::InputSpec::Kind::Dc, o.inputA.peak = 0;
        o.noise = 0;
        Rig r(o);
        r.s.RangeSelA = r.s.RangeSelB = 0;
        r.s.TrigSource = row.sourceB ? 1 : -1;
        r.s.TrigMode = row.trigMode;
        r.s.TrigSlope = row.slope;
        r.s.PreTrig = row.preTrig;
        r.s.TrigLevel = 1280; // code 128
        for (int m = 0; m < row.mode; ++m)
            r.w.SCOPEMODE_Click();
        r.s.GenFreq = row.genFreq;
        r.s.GenDirty = 1;
        for (int capture : {1, 2}) {
            r.w.GOBUTTON_Click();
            ASSERT_EQ(r.s.CaptureStatus, 1);
            if (row.mode == 0) {
                EXPECT_EQ(r.s.ReadCount, capture == 1 ? 4095 : 4096 - row.offset);
                EXPECT_EQ(r.sim.samplesToTake(), r.s.ReadCount);
            }
        }
        const auto &a = r.s.ChanABuffer, &b = r.s.ChanBBuffer;
        const long n = row.mode == 2 ? r.s.GenCount : r.s.ReadCount, pre = row.offset;
        for (long i = std::max(0L, -pre); i < n - std::max(0L, pre) && !row.sourceB; ++i)
            ASSERT_EQ(b[i], a[i + pre]) << i;
        if (row.trigMode == 0) continue;
        // On the trigger channel t (B's window starts at the trigger), the sample before
        // the trigger: in the buffer, or just before its window in memory.
        const auto& t = row.sourceB ? b : a;
        const long at = row.sourceB ? 0 : pre;
        const auto& memory = row.sourceB ? r.sim.memoryB() : r.sim.memoryA();
        const int before = at > 0 ? t[at - 1] : 10 * memory[32768 - r.s.ReadCount - 1];
        EXPECT_EQ(t[at] >= 1280, row.slope > 0);
        EXPECT_EQ(before >= 1280, row.slope < 0);
    }
}

TEST(GoButton, RepeatRunsUntilStopOrBothChannelsOff) {
    enum Event { Stop, ChannelsOff, RateUp, Coupling, Probe };
    const struct {
        const char* name;
        Event event;
        int64_t ms; // 100 ms before the first capture, then 101 ms per capture
        std::vector<int> rates;
        int configClears;
    } rows[] = {{"STOP during the ninth capture", Stop, 1009, std::vector<int>(9, 2), 1},
                {"both channels switched off", ChannelsOff, 302, {2, 2}, 1},
                {"a rate arrow takes effect at the next capture", RateUp, 403, {2, 1, 1}, 1},
                {"a coupling change sends the configuration again", Coupling, 403, {2, 2, 2}, 2},
                {"a probe change does not", Probe, 403, {2, 2, 2}, 1}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Rig r;
        r.w.TRESETBUTTON_Click();
        EXPECT_EQ(r.w.control<VbButton>("TRESETBUTTON")->caption(), "Repeat");
        r.after(row.event == Stop ? 1000 : 400, [&] {
            if (row.event != ChannelsOff) r.w.GOBUTTON_Click();
        });
        r.after(row.event == ChannelsOff ? 250 : 150, [&] {
            if (row.event == ChannelsOff) r.s.ChanAOn = r.s.ChanBOn = 0;
            if (row.event == RateUp) r.w.SRATEP_MouseDown();
            if (row.event == Coupling) r.s.CouplingA = 1;
            if (row.event == Probe) r.s.ProbeA = 1;
        });
        r.w.GOBUTTON_Click();
        EXPECT_TRUE(r.elapsed() == row.ms && r.instantRates == row.rates &&
                    r.configClears == row.configClears);
        EXPECT_TRUE(r.sim.channelConfig() == r.s.chanConfig() &&
                    r.w.control<VbButton>("GOBUTTON")->caption() == "GO");
        r.w.TRESETBUTTON_Click();
        EXPECT_EQ(r.w.control<VbButton>("TRESETBUTTON")->caption(), "Single");
    }
}

TEST(GoButton, CapturedWithRecordAndCopiesOnlyFromData) {
    Rig r;
    r.s.RangeA = 2;
    r.s.RangeB = 1;
    r.s.SampleRateIndex = 0; // 2 kHz: 2047 samples take about a second
    r.s.SampleSizeIndex = 0;
    r.w.DSAMPLE();
    r.after(500, [&] {
        r.w.SRATEP_MouseDown();
        r.s.RangeA = r.s.RangeB = 0;
    });
    r.w.GOBUTTON_Click();
    EXPECT_EQ(r.instantRates, std::vector<int>{5});
    const std::vector<int> record{r.s.dataRangeA(), r.s.DataRangeB,           r.s.dataRateA(),
                                  r.s.DataRateB,    int(r.s.DataSizeA.num()), r.s.DataSizeB};
    EXPECT_EQ(record, (std::vector<int>{2, 1, 0, 0, 0, 0}));
    // A triggered wait ended by STOP: the message while waiting, no data, no new record.
    r.s.TrigMode = 1;
    r.s.TrigLevel = 10; // far above the signal
    r.fill(r.s.ChanABuffer, 1);
    r.fill(r.s.ChanBBuffer, 2);
    const auto a = r.s.ChanABuffer, b = r.s.ChanBBuffer;
    bool waiting = false;
    r.after(2500, [&] {
        waiting = drawn::shows(r.w.control<PictureBox>("Trigwait"),
                               {"   Waiting For Trigger", "  Press [STOP] to exit"});
    });
    r.after(3000, [&] { r.w.GOBUTTON_Click(); });
    r.w.GOBUTTON_Click();
    EXPECT_TRUE(waiting && r.w.control<PictureBox>("Trigwait")->isHidden());
    EXPECT_TRUE(r.s.ChanABuffer == a && r.s.ChanBBuffer == b && r.s.dataRateA() == 0);
}
