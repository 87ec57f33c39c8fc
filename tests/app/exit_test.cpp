// Start-up (port access, the first commands, the state it leaves), EXIT and unload.
#include "device/drawn_text.h"
#include "support/fixture.h"

#include <gtest/gtest.h>

using testing_support::Harness;

namespace {
// Counts the port library's initialisations (granted from the `grantFrom`-th on) and
// releases.
struct CountingPort : sim::Wqk01 {
    int inits = 0, shutdowns = 0, grantFrom = 1;
    bool initialize() override { return ++inits >= grantFrom; }
    void shutdown() override { ++shutdowns; }
};
} // namespace

TEST(Startup, OneRetryOfThePortThenTheFirstCommandsOrTheMessageAndTheEnd) {
    for (int grantFrom : {2, 3}) {
        Harness h;
        CountingPort port;
        port.grantFrom = grantFrom;
        port.setLogging(true);
        plat::setPortBackend(&port);
        WQK w; // not resized after its load, as in the program
        int code = -1;
        w.onEnd = [&](int c) { code = c; };
        drawn::shown(w).activate();
        EXPECT_EQ(port.inits, 2);
        const InstrumentState& s = w.state();
        if (grantFrom == 2) {
            // The generator memory cleared, the (not yet computed) configuration sent as 0,
            // the detection byte shown for half a second: the only wait.
            EXPECT_FALSE(w.ended());
            EXPECT_EQ(port.generatorWritePos() + port.commandCount(cmd::LatchConfig), 32769);
            EXPECT_EQ(port.channelConfig(), 0);
            EXPECT_TRUE(port.misuse().empty() && h.messages().shown.empty());
            EXPECT_EQ(h.clock().pausedMs(), 500);
            EXPECT_EQ(std::vector<long>({s.ReadCount, s.GenCount, s.PreTrigCount, s.ModelCode}),
                      std::vector<long>({360, 360, 1, 1}));
            for (const auto* b : {&s.ChanABuffer, &s.ChanBBuffer, &s.GenWave}) // mid-scale
                EXPECT_EQ(std::count(b->begin(), b->end(), 1280), 32768);
        } else {
            ASSERT_EQ(h.messages().shown.size(), 1u);
            const plat::Message& m = h.messages().shown[0];
            EXPECT_EQ(m.text, "Printer port initialisation problem. Administrator privileges "
                              "required to run this program");
            EXPECT_TRUE(m.title.empty() && m.icon == plat::Icon::Critical);
            EXPECT_EQ(code, 1);
            EXPECT_TRUE(port.log().empty()); // nothing reached the port
            EXPECT_TRUE(drawn::shows(w.control<PictureBox>("Picture5"), {"TRIGGER"}, 0, 1,
                                     1)); // at its box's size
        }
        plat::setPortBackend(&h.sim());
    }
}

TEST(Exit, CancelChangesNothingOkUnloadsOnceAndSendsNothing) {
    Harness h;
    WQK& w = h.window();
    CountingPort port;
    plat::setPortBackend(&port);
    int code = -1;
    w.onEnd = [&](int c) { code = c; };
    h.messages().answers = {plat::Answer::Cancel, plat::Answer::OK};
    w.state().RunState = 1;
    w.control<VbButton>("Command22")->click();
    ASSERT_EQ(h.messages().shown.size(), 1u);
    const plat::Message& m = h.messages().shown[0];
    EXPECT_EQ(m.text + "|" + m.title, "EXIT Scope Program ?|Exit Confirmation");
    EXPECT_EQ(m.buttons, plat::Buttons::OKCancel);
    EXPECT_TRUE(!w.ended() && w.state().RunState.num() == 1 && port.shutdowns == 0);
    w.control<VbButton>("Command22")->click();
    EXPECT_TRUE(w.ended() && code == 0 && port.shutdowns == 1);
    port.setLogging(true);
    w.close();
    EXPECT_TRUE(port.shutdowns == 1 && port.writes().empty());
    plat::setPortBackend(&h.sim());
}
