// EXIT with its confirmation, unload, and a start-up whose port access fails.
#include "device/drawn_text.h"
#include "support/fixture.h"

#include <gtest/gtest.h>

using testing_support::Harness;

namespace {
// Counts initialisations and releases of the port library.
class CountingPort : public sim::Wqk01 {
  public:
    int inits = 0, shutdowns = 0;
    bool grant = true;
    bool initialize() override {
        ++inits;
        return grant;
    }
    void shutdown() override { ++shutdowns; }
};
} // namespace

TEST(Exit, CancelChangesNothingOkUnloadsOnce) {
    Harness h;
    WQK& w = h.window();
    CountingPort port;
    plat::setPortBackend(&port);
    int ends = 0;
    w.onEnd = [&](int code) {
        ++ends;
        EXPECT_EQ(code, 0);
    };
    h.messages().answers.push_back(plat::Answer::Cancel);
    w.state().RunState = 1;
    w.Command22->click();
    ASSERT_EQ(h.messages().shown.size(), 1u);
    const plat::Message& m = h.messages().shown[0];
    EXPECT_EQ(m.text, "EXIT Scope Program ?");
    EXPECT_EQ(m.title, "Exit Confirmation");
    EXPECT_EQ(m.buttons, plat::Buttons::OKCancel);
    EXPECT_FALSE(w.ended());
    EXPECT_EQ(w.state().RunState.num(), 1);
    EXPECT_EQ(port.shutdowns, 0);

    h.messages().answers.push_back(plat::Answer::OK);
    w.Command22->click();
    EXPECT_TRUE(w.ended());
    EXPECT_EQ(ends, 1);
    EXPECT_EQ(port.shutdowns, 1);
    // Unloading sends nothing to the instrument.
    port.setLogging(true);
    w.close();
    EXPECT_EQ(port.shutdowns, 1);
    EXPECT_TRUE(port.writes().empty());
    plat::setPortBackend(&h.sim());
}

TEST(Startup, PortAccessRefusedTwiceShowsTheMessageAndEnds) {
    Harness h;
    CountingPort port;
    port.grant = false;
    plat::setPortBackend(&port);
    WQK& w = h.window(false);
    int code = -1;
    w.onEnd = [&](int c) { code = c; };
    port.setLogging(true);
    w.activate();
    EXPECT_EQ(port.inits, 2);
    ASSERT_EQ(h.messages().shown.size(), 1u);
    EXPECT_EQ(h.messages().shown[0].text,
              "Printer port initialisation problem. Administrator privileges required to "
              "run this program");
    EXPECT_EQ(h.messages().shown[0].title, "");
    EXPECT_EQ(h.messages().shown[0].icon, plat::Icon::Critical);
    EXPECT_TRUE(w.ended());
    EXPECT_EQ(code, 1);
    // Nothing reached the port.
    EXPECT_TRUE(port.log().empty());
    plat::setPortBackend(&h.sim());
}

TEST(Startup, TriggerTitleIsDrawnAtItsBoxSizeWhenPortAccessFails) {
    Harness h;
    CountingPort port;
    port.grant = false;
    plat::setPortBackend(&port);
    WQK w; // not resized after its load, as in the program
    w.show();
    QCoreApplication::processEvents();
    w.activate();
    ASSERT_TRUE(w.ended());
    EXPECT_TRUE(drawn::shows(w.Picture5, {"TRIGGER"}, 0, 1, 1));
    plat::setPortBackend(&h.sim());
}

TEST(Startup, SecondTryOfThePortLibrarySucceeds) {
    Harness h;
    struct SecondTime : CountingPort {
        bool initialize() override { return ++inits == 2; }
    } port;
    plat::setPortBackend(&port);
    WQK& w = h.window();
    EXPECT_FALSE(w.ended());
    EXPECT_TRUE(h.messages().shown.empty());
    EXPECT_EQ(w.state().ModelCode, 1);
    plat::setPortBackend(&h.sim());
}

TEST(Startup, SendsClearAndConfigurationAndShowsTheDetectionByte) {
    Harness h;
    h.sim().setLogging(true);
    WQK& w = h.window();
    // The generator memory was cleared (98304 writes) and the configuration sent.
    EXPECT_EQ(h.sim().commandCount(cmd::GenWrite), 1);
    EXPECT_EQ(h.sim().commandCount(cmd::ClearConfig), 1);
    EXPECT_EQ(h.sim().commandCount(cmd::LatchConfig), 1);
    EXPECT_EQ(h.sim().channelConfig(), 0); // not computed yet: counts as 0
    for (int i = 0; i < 32768; i += 4096)
        EXPECT_EQ(h.sim().generatorMemory()[i], 0);
    EXPECT_TRUE(h.sim().misuse().empty()) << h.sim().misuse().front();
    // The 500 ms pause of the detection display is the only wait.
    EXPECT_EQ(h.clock().pausedMs(), 500);
    EXPECT_EQ(w.state().ReadCount, 360);
    EXPECT_EQ(w.state().GenCount, 360);
    EXPECT_EQ(w.state().PreTrigCount, 1);
    EXPECT_TRUE(w.Trigwait->isHidden());
    EXPECT_TRUE(w.CopyAbutton->isHidden());
    EXPECT_TRUE(w.DCUP->isHidden());
    EXPECT_EQ(w.TRESETBUTTON->text(), "Single");
    EXPECT_TRUE(w.SCOPEMODE->isEnabled());
}
