// The write patterns and the four protocol procedures against the command table.
#include "device/protocol.h"
#include "sequences.h"
#include "support/fixture.h"

#include <gtest/gtest.h>

using testing_support::Harness;
using namespace seq;

namespace {
struct Logged {
    Harness h;
    WQK& w = h.window();
    Logged() {
        h.sim().setLogging(true);
        h.sim().clearLog();
        h.sim().clearMisuse();
    }
    Writes writes() const { return const_cast<Harness&>(h).sim().writes(); }
};
} // namespace

TEST(WritePatterns, EachIsItsFixedSeriesOfWrites) {
    Logged l;
    proto::CommandWrite(l.w.link(), GenWrite);
    proto::CommandWriteFirst(l.w.link(), 0x03, (Start | SourceB));
    proto::CommandPulse(l.w.link(), Reset);
    proto::ClockPulse(l.w.link());
    proto::DataStrobe(l.w.link(), 0x9C);
    EXPECT_EQ(l.writes(), cat({cw(GenWrite), cw((Start | SourceB), 0x03), cw(Reset), pulse(),
                               pulse(), strobe(0x9C)}));
    // The first phase of a plain command write is CmdPrefix.
    l.h.sim().clearLog();
    l.w.state().CmdPrefix = 0x11;
    proto::CommandWrite(l.w.link(), LatchConfig);
    EXPECT_EQ(l.writes(), cw(LatchConfig, 0x11));
}

TEST(WritePatterns, FollowThePortThatInitportChose) {
    Logged l;
    l.w.state().LptNumber = 2;
    l.w.initport();
    l.h.sim().clearLog();
    proto::CommandPulse(l.w.link(), Reset);
    EXPECT_EQ(l.writes(),
              (Writes{{0x278, 0}, {0x27A, 4}, {0x278, 7}, {0x27A, 0}, {0x27A, 1}, {0x27A, 0}}));
}

TEST(ClearGeneratorMemory, FillsAllOfItWithZeros) {
    Logged l;
    // Something left in the memory from an earlier wave.
    proto::CommandPulse(l.w.link(), Reset);
    proto::CommandWrite(l.w.link(), GenWrite);
    for (int i = 0; i < 100; ++i)
        proto::DataStrobe(l.w.link(), 0xAB);
    l.h.sim().clearLog();
    l.w.ClearGeneratorMemory();
    const Writes expect =
        cat({cw(Reset), pulse(), cw(GenWrite), times(32768, strobe(0)), cw(Start)});
    EXPECT_EQ(l.writes(), expect);
    EXPECT_EQ(expect.size(), 6u + 4 + 98304 + 4);
    EXPECT_EQ(l.h.sim().generatorWritePos(), 32768);
    for (uint8_t b : l.h.sim().generatorMemory())
        ASSERT_EQ(b, 0);
    EXPECT_TRUE(l.h.sim().misuse().empty());
}

TEST(SETMAXLOOP, LoadsTheStopCounterForReadCount) {
    struct Case {
        int32_t readCount;
        long pulses;
    } cases[] = {{32768, 0}, {2047, 30721}, {4095, 28673}, {32767, 1}, {2048 - 100, 30820}};
    for (const Case& c : cases) {
        Logged l;
        l.w.state().ReadCount = c.readCount;
        l.w.SETMAXLOOP();
        EXPECT_EQ(l.writes(), cat({cw(Reset), pulse(), cw(OpenCount), times(c.pulses, pulse()),
                                   cw(EndLoad), cw(Idle)}))
            << "ReadCount " << c.readCount;
        EXPECT_EQ(l.h.sim().stopCounter(), c.pulses);
        EXPECT_EQ(l.h.sim().samplesToTake(), c.readCount);
        EXPECT_TRUE(l.h.sim().misuse().empty());
    }
}

TEST(SETMAXLOOP, NeverCountsBeyondTheCounter) {
    Logged l;
    l.w.state().ReadCount = -5000000; // only a fault elsewhere could give this
    l.w.SETMAXLOOP();
    EXPECT_EQ(l.writes().size(), 6u + 4 + 2 * 32768 + 8);
}

TEST(SETCHAB, SendsTheConfigurationAsPulses) {
    for (int config : {0, 10, 15, 1}) {
        Logged l;
        l.w.state().ChanConfig = config;
        l.w.SETCHAB();
        EXPECT_EQ(l.writes(), cat({cw(ClearConfig), pulse(), cw(OpenCount), times(config, pulse()),
                                   cw(LatchConfig), cw(OpenCount)}))
            << "ChanConfig " << config;
        EXPECT_EQ(l.h.sim().channelConfig(), config);
        EXPECT_TRUE(l.h.sim().misuse().empty());
    }
}

TEST(SETCHAB, BeforeItIsComputedTheConfigurationCountsAsZero) {
    Logged l;
    l.w.state().ChanConfig.clear();
    l.w.SETCHAB();
    EXPECT_EQ(l.writes(),
              cat({cw(ClearConfig), pulse(), cw(OpenCount), cw(LatchConfig), cw(OpenCount)}));
}

TEST(ChannelConfig, CouplingAndRangeBitsButNotTheProbe) {
    for (int bits = 0; bits < 16; ++bits) {
        Logged l;
        InstrumentState& s = l.w.state();
        s.CouplingA = (bits & 1) ? 1 : -1;
        s.RangeSelA = (bits & 2) ? 1 : 0;
        s.CouplingB = (bits & 4) ? 1 : -1;
        s.RangeSelB = (bits & 8) ? 1 : 0;
        EXPECT_EQ(proto::channelConfig(l.w.channelSettings()), bits);
        s.ProbeA = 1;
        s.ProbeB = 1;
        EXPECT_EQ(proto::channelConfig(l.w.channelSettings()), bits);
    }
    Logged l;
    EXPECT_EQ(proto::channelConfig(l.w.channelSettings()), 10); // start-up: AC, 12 V on both
}

TEST(reloadloop, RestartsTheSampleCounterWithALiteralFirstPhase) {
    Logged l;
    l.w.state().CmdPrefix = 0x21;
    l.w.reloadloop();
    EXPECT_EQ(l.writes(), cat({cw(Idle, 0x21), pulse(), cw(Start, 0)}));
    l.h.sim().clearLog();
    l.w.state().CmdPrefix = 0;
    l.w.reloadloop();
    EXPECT_EQ(l.writes(), cat({cw(Idle), pulse(), cw(Start)}));
    EXPECT_TRUE(l.h.sim().misuse().empty());
}
