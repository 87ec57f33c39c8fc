// Every procedure that talks to the instrument writes exactly the series of its command
// table's patterns, in the virtual time it must take, and reads what it should.
#include "device/protocol.h"
#include "device/rig.h"
#include "instrument/instrument.h"

#include <gtest/gtest.h>

using namespace seq;
using rig::Rig;

namespace {

// The writes since r.mark(), the time they took, and no misuse of the protocol.
void expectWrites(Rig& r, const char* name, const Writes& w, int64_t ms = 0) {
    SCOPED_TRACE(name);
    EXPECT_EQ(r.sim.writes(), w);
    EXPECT_EQ(r.elapsed(), ms);
    EXPECT_TRUE(r.sim.misuse().empty()) << r.sim.misuse().front();
}

} // namespace

TEST(PortSequences, PatternsCountersClearingAndRestart) {
    Rig r;
    const proto::Link l = r.w.link();
    r.mark();
    proto::CommandPulse(l, Reset);
    r.s.CmdPrefix = 0x11; // the first phase of a plain command write
    proto::CommandWrite(r.w.link(), OpenCount);
    proto::ClockPulse(l);
    proto::CommandWriteFirst(l, 0x21, EndLoad);
    proto::DataStrobe(l, 0x9C);
    expectWrites(
        r, "patterns",
        cat({cw(Reset), pulse(), cw(OpenCount, 0x11), pulse(), cw(EndLoad, 0x21), strobe(0x9C)}));
    r.s.CmdPrefix = 0;
    r.mark();
    r.w.ClearGeneratorMemory();
    expectWrites(r, "ClearGeneratorMemory",
                 cat({cw(Reset), pulse(), cw(GenWrite), times(32768, strobe(0)), cw(Start)}));
    for (auto [readCount, pulses] : {std::pair{2047, 30721L}, {32768, 0L}, {-5000000, 32768L}}) {
        r.s.ReadCount = readCount;
        r.mark();
        r.w.SETMAXLOOP();
        expectWrites(r, ("SETMAXLOOP " + std::to_string(readCount)).c_str(), stopCounter(pulses));
    }
    for (int n : {11, 0, -1}) { // -1: before run control has computed the configuration
        r.s.ChanConfig = n;
        if (n < 0) r.s.ChanConfig.clear();
        r.mark();
        r.w.SETCHAB();
        expectWrites(r, ("SETCHAB " + std::to_string(n)).c_str(), config(std::max(n, 0)));
    }
    r.s.CmdPrefix = 0x21;
    r.mark();
    r.w.reloadloop();
    expectWrites(r, "reloadloop: a literal 0 first", cat({cw(Idle, 0x21), pulse(), cw(Start)}));
}

TEST(PortSequences, CaptureStarts) {
    // clang-format off
    const struct { const char* name; int trigMode, source, slope; Writes w; int64_t ms; } rows[] = {
        {"instant on A: 1 ms, then the first poll", 0, -1, 1, cat({cw(Idle), cw(Start, 2)}), 101},
        {"instant on B", 0, 1, 1, cat({cw(Idle + SourceB), cw(Start + SourceB, 2)}), 101},
        // 1 ms before the level strobe, 2 ms before the arm, a 20 ms poll.
        {"trigger on A rising", 1, -1, 1, cat({arm(0, 128, 2), cw(Idle)}), 23},
        {"trigger on B falling", 1, 1, -1, cat({arm(SourceB | Falling, 128, 2), cw(Idle)}), 23},
    };
    // clang-format on
    for (const auto& row : rows) {
        Rig r;
        r.s.TrigSource = row.source, r.s.TrigSlope = row.slope, r.s.TrigLevelCode = 128;
        r.s.RateCode = 2, r.s.RunState = 1, r.s.ReadCount = 4096;
        r.w.SETMAXLOOP();
        r.mark();
        row.trigMode ? r.w.trigconvert() : r.w.autoconvert();
        expectWrites(r, row.name, row.w, row.ms);
        EXPECT_EQ(r.s.CaptureStatus, 1);
    }
}

TEST(PortSequences, ReadOutsSkipTheOldestSamples) {
    const struct {
        const char* name;
        int aOn;
        int32_t readCount, preTrigCount;
        long skipA, skipB, n; // -1: not read
    } rows[] = {{"a whole memory", 1, 32768, 0, 0, -1, 32768},
                {"never past the end of the buffer", 1, 40000, 0, 0, -1, 32768},
                {"B alone, pretrigger 100", 0, 4096, 100, -1, 28572, 4096},
                {"both, pretrigger 10: B skips 10 more", 1, 4086, 10, 28672, 28682, 4086}};
    for (const auto& row : rows) {
        Rig r;
        for (int p = 0; p < MemorySize; ++p) {
            r.sim.memoryA()[p] = uint8_t((p * 5) & 0xFF);
            r.sim.memoryB()[p] = uint8_t((p * 3 + 1) & 0xFF);
        }
        r.s.ChanAOn = row.aOn, r.s.ReadCount = row.readCount, r.s.PreTrigCount = row.preTrigCount;
        r.w.SETMAXLOOP();
        r.mark();
        Writes w;
        if (row.skipA >= 0) {
            r.w.readbufferA();
            w = readOut(SelectA, row.skipA, row.n);
        }
        if (row.skipB >= 0) {
            r.w.readbufferB();
            w = cat({w, readOut(SelectB, row.skipB, row.n)});
        }
        expectWrites(r, row.name, w);
        for (long i = 0; i < row.n; ++i) // 10 x the codes from the skipped positions on
            ASSERT_TRUE(
                (row.skipA < 0 || r.s.ChanABuffer[i] == 10 * r.sim.memoryA()[row.skipA + i]) &&
                (row.skipB < 0 || r.s.ChanBBuffer[i] == 10 * r.sim.memoryB()[row.skipB + i]))
                << row.name << " " << i;
    }
}

TEST(PortSequences, GeneratorUploadOutputAndSweep) {
    Rig r;
    // Codes are value / 10, halves to even, clipped to the DAC; the point past GenCount
    // is not sent, and the length counter takes 32768 less the last index.
    const std::vector<int16_t> wave{1275, 1265, 0, 2550, 5, 15, 25, 2600, -30, 1280, 2000};
    std::copy(wave.begin(), wave.end(), r.s.GenWave.begin());
    r.s.GenCount = 9;
    r.mark();
    r.w.DACWRITE();
    const Writes length = cat({cw(Start), cw(Reset), pulse(), cw(OpenCount), {{D, 0}}});
    expectWrites(r, "DACWRITE",
                 cat({cw(Reset), pulse(), cw(GenWrite), strobe(128), strobe(126), strobe(0),
                      strobe(255), strobe(0), strobe(2), strobe(2), strobe(255), strobe(0),
                      strobe(128), length, times(32759, pulse()), cw(EndLoad), cw(Idle)}));
    std::fill(r.s.GenWave.begin(), r.s.GenWave.end(), int16_t(0));
    r.s.GenCount = 40000;
    r.mark();
    r.w.DACWRITE();
    expectWrites(r, "DACWRITE: a count past the buffer sends the buffer",
                 cat({cw(Reset), pulse(), cw(GenWrite), times(32768, strobe(0)), length, pulse(),
                      cw(EndLoad), cw(Idle)}));
    r.s.GenCount = -5;
    r.mark();
    r.w.DACWRITE();
    expectWrites(r, "DACWRITE: a count below zero sends one point",
                 cat({cw(Reset), pulse(), cw(GenWrite), strobe(0), length, times(32768, pulse()),
                      cw(EndLoad), cw(Idle)}));
    r.s.RateCode = 3;
    r.mark();
    r.w.DACCONT();
    expectWrites(r, "DACCONT",
                 cat({cw(GenSelect), pulse(), cw(Idle), pulse(), cw(Start), cw(Continuous),
                      cw(Continuous, 3)}));
    r.s.RateCode = 1;
    r.s.TrigLevelCode = 77;
    r.mark();
    r.w.DACADCONCE();
    expectWrites(r, "DACADCONCE: a second before the sweep starts",
                 cat({cw(EndLoad), pulse(), cw(GenSelect), pulse(), cw(Idle), pulse(), cw(Start),
                      strobe(77), cw(Sweep), cw(Sweep, 9)}),
                 1000);
}

TEST(ChannelConfig, CouplingAndRangeBitsButNotTheProbe) {
    Rig r;
    for (int bits = 0; bits < 16; ++bits) {
        r.s.CouplingA = (bits & 1) ? 1 : -1, r.s.RangeSelA = (bits & 2) ? 1 : 0;
        r.s.CouplingB = (bits & 4) ? 1 : -1, r.s.RangeSelB = (bits & 8) ? 1 : 0;
        r.s.ProbeA = r.s.ProbeB = bits & 1;
        EXPECT_EQ(proto::channelConfig(r.w.channelSettings()), bits);
    }
}

TEST(PortSequences, OutputWithCapturesBeside) {
    Rig r;
    Instrument& inst = r.w.instrument();
    const int E = Lpt1Base + EcrOffset;
    r.mark();
    EXPECT_EQ(inst.beginOutputRun(), "");
    expectWrites(r, "begin: detection, power, the configuration (both AC on 12 V)",
                 cat({{{E, EcrByteMode},
                       {D, 0},
                       {C, CtlIdle},
                       {D, 0},
                       {C, CtlCommand},
                       {D, Idle},
                       {C, CtlIdle},
                       {E, EcrByteMode},
                       {D, 0},
                       {D, DetectBit}},
                      cw(Reset),
                      pulse(),
                      config(10)}));
    EXPECT_TRUE(r.s.running() && !r.w.control<PictureBox>("SCOPEMODE")->isEnabled());
    // Ten points, nine samples a capture: the length counter is the stop counter.
    const std::vector<int16_t> wave{1275, 2550, 1275, 0, 1275, 2550, 1275, 0, 1275, 2550};
    const Writes start =
        cat({cw(GenSelect), pulse(), cw(Idle), pulse(), cw(Start), cw(Continuous)});
    const struct {
        const char* name;
        int rateIndex;
        Writes w;
    } plays[] = {
        {"a new wave: upload, then output", 3,
         cat({cw(Reset),
              pulse(),
              cw(GenWrite),
              strobe(128),
              strobe(255),
              strobe(128),
              strobe(0),
              strobe(128),
              strobe(255),
              strobe(128),
              strobe(0),
              strobe(128),
              strobe(255),
              cw(Start),
              cw(Reset),
              pulse(),
              cw(OpenCount),
              {{D, 0}},
              times(32759, pulse()),
              cw(EndLoad),
              cw(Idle),
              start,
              cw(Continuous, 2)})},
        {"the same wave at another rate: only the output restarted", 0,
         cat({start, cw(Continuous, 5)})},
        {"the same wave and rate: nothing", 0, {}},
    };
    for (const auto& row : plays) {
        r.mark();
        EXPECT_EQ(inst.playWave(wave, row.rateIndex), "") << row.name;
        expectWrites(r, row.name, row.w);
    }
    // 9 samples at 2 kHz: 1 ms between the start commands, then the capture's own 4.5 ms.
    const long captures = inst.captureCount(), skip = MemorySize - 9;
    r.mark();
    EXPECT_EQ(inst.captureBeside(0, 5, 1).end, Instrument::RunEnd::Done);
    expectWrites(r, "a capture beside",
                 cat({cw(Idle), pulse(), cw(Start), cw(Idle), cw(Start, 5),
                      readOut(SelectA, skip, 5), readOut(SelectB, skip, 5)}),
                 6);
    for (long i = 0; i < 5; ++i)
        ASSERT_TRUE(r.s.ChanABuffer[i] == 10 * r.sim.memoryA()[skip + i] &&
                    r.s.ChanBBuffer[i] == 10 * r.sim.memoryB()[skip + i])
            << i;
    EXPECT_EQ(
        std::make_tuple(r.s.ReadCount, r.s.PreTrigCount, r.s.dataRateA(), inst.captureCount()),
        std::make_tuple(5, 0, 0, captures + 1));
    r.mark();
    inst.readBeside(7); // the same capture, longer
    expectWrites(r, "read again", cat({readOut(SelectA, skip, 7), readOut(SelectB, skip, 7)}));
    EXPECT_EQ(std::make_pair(r.s.ReadCount, inst.captureCount()), std::make_pair(7, captures + 1));
    r.after(2, [&] { r.w.GOBUTTON_Click(); }); // STOP in the wait: nothing read
    r.mark();
    EXPECT_EQ(inst.captureBeside(0, 5, 1).end, Instrument::RunEnd::Stopped);
    expectWrites(r, "stopped", cat({cw(Idle), pulse(), cw(Start), cw(Idle), cw(Start, 5)}), 5);
    r.mark();
    inst.endOutputRun();
    expectWrites(r, "end: the memory cleared",
                 cat({cw(Reset), pulse(), cw(GenWrite), times(32768, strobe(0)), cw(Start)}));
    EXPECT_TRUE(!r.s.running() && r.w.control<PictureBox>("SCOPEMODE")->isEnabled());
    EXPECT_EQ(inst.playWave(wave, 0), "no output run has begun");
}
