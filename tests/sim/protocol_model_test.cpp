// The simulated instrument: its misuse reports, and its inputs as the command line
// chooses them.
#include "port/select.h"
#include "rig.h"

#include <gtest/gtest.h>

using namespace seq;
using simtest::Rig;
using Kind = sim::InputSpec::Kind;

TEST(SimMisuse, EachMisuseOfTheProtocolIsReported) {
    // w: after a loaded stop counter
    // clang-format off
    const struct { const char* report; Writes w; bool power = true; } rows[] = {
        {"read clock before a channel memory was selected", readClock()},
        {"sample read before a channel memory was selected", {{C, CtlRead}}},
        {"sampling started with no stop counter loaded since the last reset",
         cat({cw(Reset), pulse(), cw(Start, 2)})},
        {"trigger armed with no stop counter loaded since the last reset",
         cat({cw(Reset), pulse(), arm(SourceB, 128, 2)})},
        {"trigger armed (10H) with rate code 00H", cw(Arm)},
        {"sampling started (02H) with rate code 07H", cw(Start, 7)},
        {"channel memory selected for reading while a capture is running",
         cat({config(10), arm(0, 250, 2), cw(SelectA)})},
        {"more than 15 configuration pulses", config(16)},
        {"counter opened (06H) with no reset or clear before it", cw(OpenCount)},
        {"configuration latched (0EH) with no configuration counter open", cw(LatchConfig)},
        {"more than 32768 stop counter pulses",
         cat({cw(Reset), pulse(), cw(OpenCount), times(32769, pulse())})},
        {"generator memory written past its end", cat({cw(GenWrite), times(32769, strobe(0))})},
        {"generator started without its output selected (0BH)", cw(Continuous, 1)},
        {"42H sent without a rate code", cw(Start | SourceB)},
        {"write to the status register", {{Lpt1Base + StatusOffset, 0}}},
        {"extended control register set to 01H", {{Lpt1Base + EcrOffset, 1}}},
        {"clock pulse after command 0BH with nothing to count it",
         cat({cw(GenSelect), pulse(), pulse()})},
        {"sampling started on an instrument without power", cw(Start, 2), false},
    };
    // clang-format on
    for (const auto& row : rows) {
        sim::Options o;
        o.power = row.power;
        Rig r(o);
        r.loadStop(2048);
        EXPECT_EQ(r.done(), !row.power); // after a reset the done line tells: no power
        r.play(row.w);
        r.sim.in(D); // and a data read
        ASSERT_FALSE(r.sim.misuse().empty()) << row.report;
        EXPECT_EQ(r.sim.misuse().front(), row.report);
    }
}

TEST(SimOptions, InputsFromTheCommandLine) {
    const struct {
        const char* arg;
        bool b;
        Kind kind;
        double freq, peak, offset, corner;
    } good[] = {{"--input-a=square:500:0.5:0.1", false, Kind::Square, 500, 0.5, 0.1, 10000},
                {"--input-b=dc:-0.3", true, Kind::Dc, 1000, 0, -0.3, 10000},
                {"--input-b=rc-square:2000:1:0:5000", true, Kind::RcSquare, 2000, 1, 0, 5000},
                {"--input-a=off", false, Kind::Dc, 1000, 0, 0, 10000},
                {"--input-a=gen", false, Kind::Generator, 1000, 1, 0, 10000}};
    for (const auto& row : good) {
        const ports::Choice c = ports::parseArgs({row.arg});
        ASSERT_TRUE(c.errors.empty()) << row.arg;
        const sim::InputSpec& s = row.b ? c.sim.inputB : c.sim.inputA;
        EXPECT_TRUE(s.kind == row.kind && s.freq == row.freq && s.peak == row.peak &&
                    s.offset == row.offset && s.cornerHz == row.corner)
            << row.arg;
    }
    EXPECT_EQ(ports::parseArgs({"--noise=0"}).sim.noise, 0);
    for (const char* bad :
         {"--input-a=sine:0:1", "--input-a=tri:100:1", "--input-b=sine:1000",
          "--input-a=sine:1e9:1", "--input-a=sine:100:-1", "--input-a=dc:1:2",
          "--input-a=sine:100:1:nan", "--input-b=square:100:1:0:5", "--input-b=gen:1:2",
          "--input-b=gen:0.001", "--input-b=gen:1e10", "--input-b=gen:x", "--input-a=dac:1",
          "--input-a=", "--noise=-1", "--noise=abc", "--noise="})
        EXPECT_EQ(ports::parseArgs({bad}).errors.size(), 1u) << bad;
}

TEST(SimOptions, EveryPortAccessTakesTheLatency) {
    EXPECT_EQ(ports::parseArgs({}).sim.latencyNs, 0);
    EXPECT_EQ(ports::parseArgs({"--port-latency=1000"}).sim.latencyNs, 1000);
    for (const char* bad :
         {"--port-latency=-1", "--port-latency=1000001", "--port-latency=1e3",
          "--port-latency=", "--port-latency=+5", "--port-latency=99999999999999999999"})
        EXPECT_EQ(ports::parseArgs({bad}).errors.size(), 1u) << bad;
    // N accesses, writes and reads alike, take N x the latency; a pause adds its own time.
    for (int64_t latency : {0, 1, 1000, 250000}) {
        sim::Options o;
        o.latencyNs = latency;
        Rig r(o);
        r.loadStop(4096);            // 6 + 4 + 2 x 28672 + 8 writes
        r.instant(2);                // 8 writes
        const bool done = r.done();  // 1 read, too soon
        r.waitMs(3);                 // 4096 samples at 2 MHz
        const bool later = r.done(); // 1 read
        EXPECT_EQ(r.clock.nowNs(), (57370 + 2) * latency + 3000000) << latency;
        EXPECT_EQ(std::make_pair(done, later), std::make_pair(false, true)) << latency;
    }
}
