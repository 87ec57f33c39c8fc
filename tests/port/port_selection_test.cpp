// Port initialisation, detection, the configuration file and the selection window,
// on the simulated instrument and the virtual clock.
#include "device/protocol.h"
#include "port/config_file.h"
#include "support/fixture.h"

#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace cmd;

using testing_support::Harness;

namespace {

using Writes = std::vector<std::pair<int, int>>;

// Presses a button of the selection window at the given DoEvents of its wait loop.
void pressAt(Harness& h, int n, VbButton* b) {
    h.clock().atDoEvents(n, [b] { b->click(); });
}

} // namespace

TEST(InitPort, WritesTheDetectionSequenceAndReadsStatusTwice) {
    Harness h;
    WQK& w = h.window(false);
    h.sim().setLogging(true);
    w.state().LptNumber = 1;
    w.initport();
    const int d = 0x378, st = 0x379, c = 0x37A, e = 0x378 + 0x402;
    Writes expected = {{e, EcrByteMode}, {d, 0},       {c, CtlIdle},     {d, 0}, {c, CtlCommand},
                       {d, Idle},        {c, CtlIdle}, {e, EcrByteMode}, {d, 0}, {d, DetectBit}};
    EXPECT_EQ(h.sim().writes(), expected);
    // The two status reads come right after the data writes 00H and 80H.
    const auto& log = h.sim().log();
    ASSERT_EQ(log.size(), 12u);
    EXPECT_FALSE(log[9].write);
    EXPECT_EQ(log[9].address, st);
    EXPECT_FALSE(log[11].write);
    EXPECT_EQ(log[11].address, st);
    EXPECT_EQ(w.state().dataPort(), d);
    EXPECT_EQ(w.state().statusPort(), st);
    EXPECT_EQ(w.state().controlPort(), c);
    EXPECT_EQ(w.state().EcrPort.num(), e);
}

TEST(InitPort, AddressesOfTheThreePorts) {
    Harness h;
    WQK& w = h.window(false);
    const int bases[3] = {0x378, 0x278, 0x3BC};
    for (int n = 1; n <= 3; ++n) {
        w.state().LptNumber = int16_t(n);
        w.initport();
        EXPECT_EQ(w.state().dataPort(), bases[n - 1]);
        EXPECT_EQ(w.state().EcrPort.num(), bases[n - 1] + 1026);
    }
}

TEST(InitPort, DetectionOfModelsAndOptions) {
    struct Case {
        sim::Options o;
        int diff, model;
        float factor;
        int chb, gen;
    };
    sim::Options m20, m30, bare, none;
    m30.model = 30;
    bare.channelB = false;
    bare.generator = false;
    none.present = false;
    const Case cases[] = {
        {m20, 0xD0, 1, 1.0f, StatusChanB, StatusGenerator},
        {m30, 0xE0, 2, 1.5f, StatusChanB, StatusGenerator},
        {bare, 0x10, 1, 1.0f, 0, 0},
        {none, 0x00, 0, 1.0f, 0, 0},
    };
    for (const Case& k : cases) {
        Harness h(k.o);
        WQK& w = h.window(false);
        w.initport();
        EXPECT_EQ(w.state().StatusDiff, k.diff);
        EXPECT_EQ(w.state().ModelCode, k.model);
        EXPECT_FLOAT_EQ(w.state().RateFactor, k.factor);
        EXPECT_EQ(w.state().ChanBFitted.num(), k.chb);
        EXPECT_EQ(w.state().GenFitted.num(), k.gen);
    }
}

// A port whose status lines follow data bit 7 as a given mask says: StatusDiff 30H is
// model 3 at 1.5, 10H model 1 at 1.0.
class MaskPort : public plat::PortBackend {
  public:
    explicit MaskPort(uint8_t mask) : mask_(mask) {}
    bool initialize() override { return true; }
    void shutdown() override {}
    void out(uint16_t a, uint8_t v) override {
        if (a == 0x378) data_ = v;
    }
    uint8_t in(uint16_t a) override { return a == 0x379 && (data_ & DetectBit) ? mask_ : 0; }
    std::string name() const override { return "mask"; }

  private:
    uint8_t mask_;
    uint8_t data_ = 0;
};

TEST(InitPort, ModelCodeAndRateFactorFromTheStatusDifference) {
    const struct {
        uint8_t mask;
        int model;
        float factor;
    } cases[] = {
        {0x30, 3, 1.5f}, {0x10, 1, 1.0f}, {0x20, 2, 1.5f}, {0x00, 0, 1.0f}, {0xC0, 0, 1.0f}};
    for (const auto& k : cases) {
        Harness h;
        WQK& w = h.window(false);
        MaskPort port(k.mask);
        plat::setPortBackend(&port);
        w.initport();
        plat::setPortBackend(&h.sim());
        EXPECT_EQ(w.state().StatusDiff, k.mask);
        EXPECT_EQ(w.state().ModelCode, k.model);
        EXPECT_FLOAT_EQ(w.state().RateFactor, k.factor);
    }
}

TEST(Testpower, SendsResetWithPulseAndReadsThePowerBit) {
    for (bool power : {true, false}) {
        sim::Options o;
        o.power = power;
        Harness h(o);
        WQK& w = h.window(false);
        w.initport();
        h.sim().setLogging(true);
        w.Testpower();
        const int d = 0x378, c = 0x37A;
        Writes expected = {{d, 0}, {c, 4}, {d, 7}, {c, 0}, {c, 1}, {c, 0}};
        EXPECT_EQ(h.sim().writes(), expected);
        EXPECT_EQ(w.state().PowerFault, power ? 0 : 8);
    }
}

TEST(ConfigFile, FormatAndReading) {
    Harness h(sim::Options{}, false);
    ASSERT_TRUE(portcfg::write(portcfg::FileName, 2));
    EXPECT_EQ(h.readFile("WQKport.cfg"), " 2\r\n");
    h.writeFile("WQKport.cfg", "   3  \n");
    EXPECT_EQ(portcfg::read(portcfg::FileName), 3.0);
    h.writeFile("WQKport.cfg", "LPT2\r\n");
    EXPECT_FALSE(portcfg::read(portcfg::FileName));
    h.writeFile("WQKport.cfg", "");
    EXPECT_FALSE(portcfg::read(portcfg::FileName));
    h.writeFile("WQKport.cfg", "2 and more");
    EXPECT_FALSE(portcfg::read(portcfg::FileName));
    h.writeFile("WQKport.cfg", std::string("\0\xff\x01", 3));
    EXPECT_FALSE(portcfg::read(portcfg::FileName));
}

// Start-up with a configuration that holds no port 1..3 opens the selection window;
// EXIT there rewrites the file with the current number.
TEST(Checkconfig, BadConfigurationOpensTheWindowAndExitRewritesIt) {
    const std::string contents[] = {" 0\r\n", " 4\r\n", "hello\r\n", "",    "-1",
                                    "2.5e9",  " 0.5",   " 3.5",      "0x2", std::string(5000, '9')};
    for (const std::string& c : contents) {
        Harness h(sim::Options{}, false);
        h.writeFile("WQKport.cfg", c);
        WQK& w = h.window(false);
        bool opened = false;
        h.clock().atDoEvents(1, [&] {
            opened = w.CONFIGWINDOW->isVisible() || !w.CONFIGWINDOW->isHidden();
            w.CONFIGEXIT->click();
        });
        w.activate();
        EXPECT_TRUE(opened) << c;
        EXPECT_FALSE(w.ended());
        EXPECT_EQ(h.readFile("WQKport.cfg"), " 1\r\n") << c;
        EXPECT_EQ(w.state().LptNumber, 1);
        EXPECT_TRUE(w.CONFIGWINDOW->isHidden());
    }
}

// A configuration that is no regular file counts as missing, with the reason on stderr;
// a pipe of that name must not stop the start-up.
TEST(Checkconfig, OnlyARegularFileIsRead) {
    const std::vector<std::pair<std::function<void(const char*)>, std::string>> odd = {
        {[](const char* p) { unlink(p), mkfifo(p, 0600); }, "not a regular file"},
        {[](const char* p) { unlink(p), mkdir(p, 0700); }, "not a regular file"},
        {[](const char* p) { unlink(p), symlink("/dev/zero", p); }, "not a regular file"},
        {[](const char* p) { chmod(p, 0); }, "cannot be read (Permission denied)"}, // holds " 2"
    };
    alarm(60); // a start-up that blocks fails instead of hanging the suite
    for (const auto& [make, why] : odd) {
        Harness h(sim::Options{}, true, 2);
        make(portcfg::FileName);
        WQK& w = h.window(false);
        bool opened = false;
        h.clock().atDoEvents(1, [&] {
            opened = !w.CONFIGWINDOW->isHidden();
            w.CONFIGEXIT->click();
        });
        testing::internal::CaptureStderr();
        {
            testing_support::NoDacOverride asUser;
            w.activate();
        }
        EXPECT_EQ(testing::internal::GetCapturedStderr(),
                  "WQKport.cfg: " + why + "; taken as missing\n");
        EXPECT_TRUE(opened) << why;
        EXPECT_EQ(w.state().LptNumber, 1);
    }
    alarm(0);
}

TEST(Checkconfig, ValidConfigurationSkipsTheWindow) {
    Harness h(sim::Options{}, true, 1);
    WQK& w = h.window(false);
    int doEventsBefore = h.clock().doEventsCount();
    w.activate();
    // Only the one DoEvents of the detection-byte display ran: no window loop.
    EXPECT_EQ(h.clock().doEventsCount() - doEventsBefore, 1);
    EXPECT_EQ(w.state().LptNumber, 1);
    EXPECT_EQ(w.state().ModelCode, 1);
}

TEST(Configport, ChoosingAPortTakesEffectAndIsWritten) {
    sim::Options o;
    o.lpt = 2; // the instrument hangs on LPT2
    Harness h(o, true, 1);
    WQK& w = h.window(false);
    // LPT1 finds nothing, so the window opens a first time from the detection step.
    pressAt(h, 2, w.SETLPT2);
    pressAt(h, 4, w.CONFIGEXIT);
    w.activate();
    EXPECT_EQ(w.state().LptNumber, 2);
    EXPECT_EQ(w.state().ModelCode, 1);
    EXPECT_EQ(w.state().dataPort(), 0x278);
    EXPECT_EQ(h.readFile("WQKport.cfg"), " 2\r\n");
    EXPECT_NE(w.windowTitle().toStdString().find("LPT2"), std::string::npos);
}

TEST(Configport, SamePortPressedTwiceDetectsOnce) {
    Harness h;
    WQK& w = h.window();
    int detections = 0;
    h.sim().setLogging(true);
    pressAt(h, 1, w.SETLPT2);
    pressAt(h, 2, w.SETLPT2);
    pressAt(h, 3, w.CONFIGEXIT);
    w.SETUP_Click();
    // Each detection writes 20H to the ECR of its port twice. The window's entry
    // detects on LPT1; only the change to LPT2 detects there, the repeat does not.
    for (const auto& [a, v] : h.sim().writes())
        if (a == Lpt2Base + EcrOffset && v == EcrByteMode) ++detections;
    EXPECT_EQ(detections, 2);
    EXPECT_EQ(h.readFile("WQKport.cfg"), " 2\r\n");
}

TEST(Configport, ExitWithoutAChoiceStillWritesTheFile) {
    Harness h;
    WQK& w = h.window();
    QFile::remove("WQKport.cfg");
    pressAt(h, 1, w.CONFIGEXIT);
    w.SETUP_Click();
    EXPECT_EQ(h.readFile("WQKport.cfg"), " 1\r\n");
}

TEST(Startup, FirstStartWithoutConfigurationOrInstrumentOpensTheWindowTwice) {
    sim::Options o;
    o.present = false;
    Harness h(o, false);
    WQK& w = h.window(false);
    int openings = 0;
    // The window's wait loop is the only place DoEvents runs before step 8; every
    // first DoEvents of an opening sees it shown.
    std::function<void()> exitNow;
    exitNow = [&] {
        if (!w.CONFIGWINDOW->isHidden()) {
            ++openings;
            w.CONFIGEXIT->click();
        }
        if (openings < 3) h.clock().atDoEvents(1, exitNow);
    };
    h.clock().atDoEvents(1, exitNow);
    h.sim().setLogging(true);
    w.activate();
    EXPECT_EQ(openings, 2);
    EXPECT_FALSE(w.ended());
    EXPECT_EQ(h.readFile("WQKport.cfg"), " 1\r\n");
    // With nothing attached, start-up still sends the clear and the configuration.
    int strobes = 0;
    for (const auto& [a, v] : h.sim().writes())
        if (a == Lpt1Base + ControlOffset && v == CtlStrobe) ++strobes;
    EXPECT_GE(strobes, 32768 + 2);
    EXPECT_EQ(w.state().ModelCode, 0);
}
