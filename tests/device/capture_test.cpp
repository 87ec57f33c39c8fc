// The capture sequences: instant and triggered starts, their wait loops, the read-out.
#include "device/capture.h"
#include "drawn_text.h"
#include "sequences.h"
#include "support/fixture.h"

#include <gtest/gtest.h>

using testing_support::Harness;
using namespace seq;

namespace {

constexpr int StatusAddr = 0x379;

struct Rig {
    Harness h;
    WQK& w = drawn::shown(h.window());
    InstrumentState& s = w.state();
    sim::Wqk01& sim = h.sim();

    Rig() {
        s.ReadCount = 4096;
        s.PreTrigCount = 0;
        s.RateCode = 1;
        s.CaptureStatus = 0;
        w.SETMAXLOOP();
        sim.setLogging(true);
        sim.clearLog();
        sim.clearMisuse();
    }
    int statusReads() const {
        int n = 0;
        for (const sim::Access& a : const_cast<Rig*>(this)->sim.log())
            if (!a.write && a.address == StatusAddr) ++n;
        return n;
    }
    int count(const Writes& part) const {
        const Writes all = const_cast<Rig*>(this)->sim.writes();
        int n = 0;
        for (size_t i = 0; i + part.size() <= all.size(); ++i)
            if (std::equal(part.begin(), part.end(), all.begin() + long(i))) ++n;
        return n;
    }
    int64_t nowMs() { return h.clock().nowMs(); }
};

} // namespace

TEST(InstantCapture, SourceBitAndTheRateCodeInTheFirstPhase) {
    for (int source : {-1, 1}) {
        for (int code : {1, 2, 5}) {
            Rig r;
            r.s.TrigSource = source;
            r.s.RateCode = code;
            const int64_t t0 = r.h.clock().nowNs();
            r.w.autoconvert();
            const int bit = source == 1 ? SourceB : 0;
            EXPECT_EQ(r.sim.writes(), cat({cw(Idle + bit), cw(Start + bit, code)}));
            // Sampling starts 1 ms after the first step.
            EXPECT_EQ(r.sim.capture().originNs() - t0, 1000000);
            EXPECT_EQ(r.s.CaptureStatus, 1);
            EXPECT_TRUE(r.sim.misuse().empty());
        }
    }
}

TEST(InstantCapture, PollsEvery100msAndGivesUpAfter198) {
    struct Case {
        int seenAt; // poll at which the done line is first high; 0: never
        int polls;
        int status;
    } cases[] = {{1, 1, 1}, {2, 2, 1}, {198, 198, 1}, {199, 199, 0}, {200, 200, 0}, {0, 200, 0}};
    for (const Case& c : cases) {
        Rig r;
        r.s.RateCode = 1; // 4096 samples take 204.8 us
        const int64_t takes = 204800;
        const int64_t seen = c.seenAt ? (c.seenAt * 100 - 50) * 1000000LL : 30000 * 1000000LL;
        r.sim.capture().setDoneDelayNs(seen - takes);
        const int64_t t0 = r.nowMs();
        r.w.autoconvert();
        EXPECT_EQ(r.statusReads(), c.polls) << "seen at " << c.seenAt;
        EXPECT_EQ(r.s.CaptureStatus, c.status) << "seen at " << c.seenAt;
        EXPECT_EQ(r.nowMs() - t0, 1 + 100 * c.polls);
    }
}

TEST(TriggeredCapture, ArmsWithSourceSlopeAndLevel) {
    struct Case {
        int source, slope, flags;
    } cases[] = {{-1, 1, 0}, {1, 1, SourceB}, {-1, -1, Falling}, {1, -1, SourceB | Falling}};
    for (const Case& c : cases) {
        Rig r;
        r.s.TrigSource = c.source;
        r.s.TrigSlope = c.slope;
        r.s.TrigLevelCode = 128;
        r.s.RateCode = 2;
        r.s.RunState = 1;
        r.w.trigconvert();
        const Writes armed =
            cat({cw(Idle), pulse(), cw(Start), cw(c.flags), strobe(128), cw(Arm + c.flags, 2)});
        EXPECT_EQ(r.sim.writes(), cat({armed, cw(Idle)})) << "flags " << c.flags;
        EXPECT_EQ(r.sim.capture().flags(), c.flags);
        EXPECT_EQ(r.sim.capture().level(), 128);
        EXPECT_EQ(r.s.CaptureStatus, 1);
        EXPECT_EQ(r.s.WaitingTrigger.num(), 0);
        EXPECT_EQ(r.statusReads(), 1);
        EXPECT_TRUE(r.sim.misuse().empty());
    }
}

TEST(TriggeredCapture, WaitsOneAndTwoMillisecondsBeforeStrobeAndArm) {
    Rig r;
    r.s.RunState = 1;
    r.s.TrigLevelCode = 128;
    r.s.RateCode = 2;
    std::vector<std::pair<std::string, int64_t>> at;
    r.sim.onCommand = [&, next = r.sim.onCommand](int first, int c) {
        at.push_back({"cmd " + std::to_string(c), r.h.clock().nowNs()});
        if (next) next(first, c);
    };
    r.sim.onPulse = [&, next = r.sim.onPulse] {
        at.push_back({"pulse " + std::to_string(r.sim.lastCommand()), r.h.clock().nowNs()});
        return next ? next() : false;
    };
    r.w.trigconvert();
    ASSERT_EQ(at.size(), 7u);
    // reloadloop (00H, pulse, 02H), the prepare, the level strobe, the arm, the idle 00H
    const char* names[] = {"cmd 0", "pulse 0", "cmd 2", "cmd 0", "pulse 0", "cmd 16", "cmd 0"};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(at[i].first, names[i]);
    EXPECT_EQ(at[3].second - at[0].second, 0);
    EXPECT_EQ(at[4].second - at[3].second, 1000000);
    EXPECT_EQ(at[5].second - at[4].second, 2000000);
}

TEST(TriggeredCapture, RearmsEveryTwoSecondsAndShowsTheMessage) {
    Rig r;
    r.s.RunState = 1;
    r.s.TrigMode = 1;
    r.s.TrigLevelCode = 250; // above the 1 V sine on the 12 V range
    r.s.RateCode = 2;
    const int64_t t0 = r.nowMs();
    bool hiddenAt1s = false, shownAt3s = false, textAt3s = false;
    r.h.clock().at(t0 + 1000, [&] { hiddenAt1s = r.w.Trigwait->isHidden(); });
    r.h.clock().at(t0 + 3000, [&] {
        shownAt3s = r.w.Trigwait->isVisible() || !r.w.Trigwait->isHidden();
        textAt3s =
            drawn::shows(r.w.Trigwait, {"   Waiting For Trigger", "  Press [STOP] to exit"}) &&
            !drawn::shows(r.w.Trigwait, {"  Waiting For Trigger", "  Press [STOP] to exit"}) &&
            !drawn::shows(r.w.Trigwait, {"   Waiting For Trigger", "  Press [STOP]  to exit"});
    });
    r.h.clock().at(t0 + 5100, [&] { r.w.GOBUTTON_Click(); }); // STOP
    for (int k = 0; k < 32768; ++k)
        r.s.ChanABuffer[k] = int16_t(k % 2551);
    const auto before = r.s.ChanABuffer;
    r.w.ADCconvert();
    EXPECT_TRUE(hiddenAt1s);
    EXPECT_TRUE(shownAt3s);
    EXPECT_TRUE(textAt3s);
    // Armed at the start and re-armed after 100 and 200 polls; STOP ends the third round.
    EXPECT_EQ(r.count(cw(Arm, 2)), 3);
    EXPECT_EQ(r.statusReads(), 300);
    EXPECT_EQ(r.nowMs() - t0, 3 + 300 * 20);
    EXPECT_TRUE(r.w.Trigwait->isHidden());
    EXPECT_EQ(r.s.CaptureStatus, 0);
    EXPECT_EQ(r.s.ChanABuffer, before);
    // No read-out, and the instrument is sent back to idle.
    EXPECT_EQ(r.count(cw(SelectA)), 0);
    EXPECT_EQ(r.count(cw(SelectB)), 0);
    const Writes all = r.sim.writes();
    EXPECT_EQ(Writes(all.end() - 4, all.end()), cw(Idle));
}

TEST(TriggeredCapture, DoneSeenFirstAtThe100thPollIsATimeout) {
    Rig r;
    r.s.RunState = 1;
    r.s.TrigLevelCode = 250;
    r.s.RateCode = 2;
    const int64_t armedAt = r.nowMs() + 3;
    r.sim.statusDone = [&, next = r.sim.statusDone] {
        return uint8_t(r.nowMs() >= armedAt + 1990 ? 8 : next ? next() : 0);
    };
    r.w.trigconvert();
    EXPECT_EQ(r.count(cw(Arm, 2)), 2);
    EXPECT_EQ(r.statusReads(), 101);
    EXPECT_EQ(r.s.CaptureStatus, 1);
}

TEST(ReadOut, FullBufferWithoutPretrigger) {
    Rig r;
    for (int p = 0; p < 32768; ++p)
        r.sim.memoryA()[p] = uint8_t((p * 5) & 0xFF);
    r.s.ReadCount = 32768;
    r.s.PreTrigCount = 0;
    r.w.SETMAXLOOP();
    r.sim.clearLog();
    r.w.readbufferA();
    EXPECT_EQ(r.sim.writes(),
              cat({cw(SelectA), {{C, CtlRead}}, times(32768, readClock()), {{C, CtlIdle}}}));
    for (int i = 0; i < 32768; ++i)
        ASSERT_EQ(r.s.ChanABuffer[i], 10 * ((i * 5) & 0xFF)) << i;
    EXPECT_TRUE(r.sim.misuse().empty());
}

TEST(ReadOut, ChannelAOffPretrigger100) {
    Rig r;
    for (int p = 0; p < 32768; ++p)
        r.sim.memoryB()[p] = uint8_t((p * 3 + 1) & 0xFF);
    r.s.ChanAOn = 0;
    r.s.ReadCount = 4096;
    r.s.PreTrigCount = 100;
    EXPECT_EQ(capture::skipB(r.w.readOut()), 32768 - 4096 - 100);
    r.w.SETMAXLOOP();
    r.sim.clearLog();
    r.w.readbufferB();
    const long skip = 32768 - 4096 - 100;
    EXPECT_EQ(r.sim.writes(), cat({cw(SelectB),
                                   times(skip, readClock()),
                                   {{C, CtlRead}},
                                   times(4096, readClock()),
                                   {{C, CtlIdle}}}));
    for (int i = 0; i < 4096; ++i)
        ASSERT_EQ(r.s.ChanBBuffer[i], 10 * (((skip + i) * 3 + 1) & 0xFF));
}

TEST(ReadOut, BothOnPretrigger10BEndsTenSamplesLater) {
    Rig r;
    for (int p = 0; p < 32768; ++p) {
        r.sim.memoryA()[p] = uint8_t((p * 5) & 0xFF);
        r.sim.memoryB()[p] = uint8_t((p * 3 + 1) & 0xFF);
    }
    r.s.ReadCount = 4086;
    r.s.PreTrigCount = 10;
    r.s.CaptureStatus = 1;
    r.s.TrigMode = 0;
    r.s.RateCode = 1;
    r.sim.setLogging(false);
    r.w.ADCconvert(); // the capture overwrites the memories: put the pattern back
    for (int p = 0; p < 32768; ++p) {
        r.sim.memoryA()[p] = uint8_t((p * 5) & 0xFF);
        r.sim.memoryB()[p] = uint8_t((p * 3 + 1) & 0xFF);
    }
    r.w.SETMAXLOOP();
    r.sim.setLogging(true);
    r.sim.clearLog();
    r.w.readbufferA();
    r.w.readbufferB();
    const long skipA = 32768 - 4086 - 10, skipB = 32768 - 4086; // A skips 10 fewer
    EXPECT_EQ(r.sim.writes(), cat({cw(SelectA),
                                   times(skipA, readClock()),
                                   {{C, CtlRead}},
                                   times(4086, readClock()),
                                   {{C, CtlIdle}},
                                   cw(SelectB),
                                   times(skipB, readClock()),
                                   {{C, CtlRead}},
                                   times(4086, readClock()),
                                   {{C, CtlIdle}}}));
    for (int i = 0; i < 4086; ++i) {
        ASSERT_EQ(r.s.ChanABuffer[i], 10 * (((skipA + i) * 5) & 0xFF));
        ASSERT_EQ(r.s.ChanBBuffer[i], 10 * (((skipB + i) * 3 + 1) & 0xFF));
    }
    EXPECT_TRUE(r.sim.misuse().empty());
}

TEST(ReadOut, NeverPastTheEndOfTheBuffer) {
    Rig r;
    r.s.ReadCount = 40000;
    r.s.PreTrigCount = 0;
    r.w.SETMAXLOOP();
    r.sim.clearLog();
    r.w.readbufferA();
    int reads = 0;
    for (const sim::Access& a : r.sim.log())
        reads += !a.write && a.address == D;
    EXPECT_EQ(reads, 32768);
}

TEST(ADCconvert, ReadsOnlyTheChannelsThatAreOnAfterSuccess) {
    Rig r;
    r.s.ChanAOn = 0;
    r.s.ChanBOn = 1;
    r.s.FFTDoneA = 1;
    r.s.FFTDoneB = 1;
    r.s.TrigMode = 2; // "1 SHOT" captures at once
    r.s.ReadCount = 2048;
    r.s.PreTrigCount = 0;
    // B's default input is the idle generator (0 V): give it the RC-filtered square.
    r.sim.setInput(1, sim::makeInput(sim::generatorStandIn(), 0.01, 2));
    const auto a = r.s.ChanABuffer;
    r.w.ADCconvert();
    EXPECT_EQ(r.s.CaptureStatus, 1);
    EXPECT_EQ(r.count(cw(SelectA)), 0);
    EXPECT_EQ(r.count(cw(SelectB)), 1);
    EXPECT_EQ(r.count(cw(Start, 1)), 1);
    EXPECT_EQ(r.s.ChanABuffer, a);
    EXPECT_EQ(r.s.FFTDoneA.num(), 1);
    EXPECT_EQ(r.s.FFTDoneB, 0);
    // B holds the RC-filtered square: values spread over a range, all multiples of 10.
    int lo = 9999, hi = -1;
    for (int i = 0; i < 2048; ++i) {
        ASSERT_EQ(r.s.ChanBBuffer[i] % 10, 0);
        lo = std::min<int>(lo, r.s.ChanBBuffer[i]);
        hi = std::max<int>(hi, r.s.ChanBBuffer[i]);
    }
    EXPECT_GT(hi - lo, 100);
}

TEST(ADCconvert, NothingIsReadAfterATimeout) {
    Rig r;
    r.sim.capture().setDoneDelayNs(25LL * 1000 * 1000000);
    const auto a = r.s.ChanABuffer, b = r.s.ChanBBuffer;
    r.s.FFTDoneA = 1;
    r.w.ADCconvert();
    EXPECT_EQ(r.s.CaptureStatus, 0);
    EXPECT_EQ(r.s.ChanABuffer, a);
    EXPECT_EQ(r.s.ChanBBuffer, b);
    EXPECT_EQ(r.s.FFTDoneA.num(), 1);
}
