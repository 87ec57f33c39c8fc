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
using Writes = std::vector<std::pair<int, int>>;

namespace {

// A port whose status lines follow data bit 7 as `mask` says.
class MaskPort : public plat::PortBackend {
  public:
    explicit MaskPort(uint8_t mask) : mask_(mask) {}
    bool initialize() override { return true; }
    void shutdown() override {}
    void out(uint16_t a, uint8_t v) override { data_ = a == 0x378 ? v : data_; }
    uint8_t in(uint16_t a) override { return a == 0x379 && (data_ & DetectBit) ? mask_ : 0; }
    std::string name() const override { return "mask"; }

  private:
    uint8_t mask_, data_ = 0;
};

// Presses selection-window buttons at the given DoEvents of its wait loop.
void press(Harness& h, std::vector<std::pair<int, VbButton*>> presses) {
    for (auto [n, b] : presses)
        h.clock().atDoEvents(n, [b = b] { b->click(); });
}

} // namespace

TEST(InitPort, DetectionSequenceAndTheThreePorts) {
    Harness h;
    WQK& w = h.window(false);
    for (int n : {3, 2, 1}) {
        w.state().LptNumber = int16_t(n);
        h.sim().setLogging(true), h.sim().clearLog();
        w.initport();
        const int d = n == 1 ? 0x378 : n == 2 ? 0x278 : 0x3BC, st = d + 1, c = d + 2, e = d + 0x402;
        EXPECT_TRUE(w.state().dataPort() == d && w.state().statusPort() == st &&
                    w.state().controlPort() == c);
        EXPECT_EQ(w.state().EcrPort.num(), e);
        if (n != 1) continue; // the instrument hangs on LPT1
        // clang-format off
        EXPECT_EQ(h.sim().writes(), (Writes{{e, EcrByteMode}, {d, 0}, {c, CtlIdle}, {d, 0},
            {c, CtlCommand}, {d, Idle}, {c, CtlIdle}, {e, EcrByteMode}, {d, 0}, {d, DetectBit}}));
        // clang-format on
        // The two status reads come right after the data writes 00H and 80H.
        const auto& log = h.sim().log();
        ASSERT_EQ(log.size(), 12u);
        EXPECT_TRUE(!log[9].write && log[9].address == st && !log[11].write &&
                    log[11].address == st);
    }
}

TEST(InitPort, ModelAndOptionsFromTheStatusDifference) {
    // clang-format off
    const struct { uint8_t mask; int model; float factor; } masks[] = {
        {0x30, 3, 1.5f}, {0x10, 1, 1.0f}, {0x20, 2, 1.5f}, {0x00, 0, 1.0f}, {0xC0, 0, 1.0f}};
    // clang-format on
    for (const auto& k : masks) {
        Harness h;
        WQK& w = h.window(false);
        MaskPort port(k.mask);
        plat::setPortBackend(&port);
        w.initport();
        plat::setPortBackend(&h.sim());
        EXPECT_TRUE(w.state().StatusDiff == k.mask && w.state().ModelCode == k.model)
            << int(k.mask);
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
        EXPECT_EQ(h.sim().writes(),
                  (Writes{{0x378, 0}, {0x37A, 4}, {0x378, 7}, {0x37A, 0}, {0x37A, 1}, {0x37A, 0}}));
        EXPECT_EQ(w.state().PowerFault, power ? 0 : 8);
    }
}

// Only the whole numbers 1..3 are a port; a NUL ends nothing.
TEST(Checkconfig, BadConfigurationOpensTheWindowAndExitRewritesIt) {
    using namespace std::string_literals;
    {
        Harness h(sim::Options{}, false);
        ASSERT_TRUE(portcfg::write(portcfg::FileName, 2));
        EXPECT_EQ(h.readFile("WQKport.cfg"), " 2\r\n");
        h.writeFile("WQKport.cfg", "   3  \n");
        EXPECT_EQ(portcfg::read(portcfg::FileName), 3.0);
    }
    for (const std::string& c :
         {" 0\r\n"s, " 4\r\n"s, "hello\r\n"s, ""s, "-1"s, "2.5e9"s, " 0.5"s, " 3.5"s, "0x2"s,
          "LPT2\r\n"s, "2 and more"s, "\xff\x01"s, "1\0junk"s}) {
        Harness h(sim::Options{}, false);
        h.writeFile("WQKport.cfg", c);
        WQK& w = h.window(false);
        bool opened = false;
        h.clock().atDoEvents(1, [&] {
            opened = !w.control<PictureBox>("CONFIGWINDOW")->isHidden();
            w.control<VbButton>("CONFIGEXIT")->click();
        });
        w.activate();
        EXPECT_TRUE(opened && !w.ended() && w.control<PictureBox>("CONFIGWINDOW")->isHidden()) << c;
        EXPECT_EQ(h.readFile("WQKport.cfg"), " 1\r\n") << c;
        EXPECT_EQ(w.state().LptNumber, 1);
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
            opened = !w.control<PictureBox>("CONFIGWINDOW")->isHidden();
            w.control<VbButton>("CONFIGEXIT")->click();
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

TEST(Configport, ChoosingAPortTakesEffectAndIsWritten) {
    sim::Options o;
    o.lpt = 2; // the instrument hangs on LPT2
    Harness h(o, true, 1);
    WQK& w = h.window(false);
    press(h, {{2, w.control<VbButton>("SETLPT2")},
              {4, w.control<VbButton>("CONFIGEXIT")}}); // LPT1 finds nothing: the window opens
    w.activate();
    EXPECT_TRUE(w.state().LptNumber == 2 && w.state().ModelCode == 1 &&
                w.state().dataPort() == 0x278);
    EXPECT_EQ(h.readFile("WQKport.cfg"), " 2\r\n");
    EXPECT_NE(w.windowTitle().toStdString().find("LPT2"), std::string::npos);
    // Pressed twice, the same port detects once: each detection writes byte mode to the
    // ECR twice, and SETUP's entry detects on the current port.
    h.sim().setLogging(true);
    press(h, {{1, w.control<VbButton>("SETLPT1")},
              {2, w.control<VbButton>("SETLPT1")},
              {3, w.control<VbButton>("CONFIGEXIT")}});
    QFile::remove("WQKport.cfg");
    w.SETUP_Click();
    int detections = 0;
    for (const auto& [a, v] : h.sim().writes())
        detections += a == Lpt1Base + EcrOffset && v == EcrByteMode;
    EXPECT_EQ(detections, 2);
    EXPECT_EQ(h.readFile("WQKport.cfg"), " 1\r\n");
}
