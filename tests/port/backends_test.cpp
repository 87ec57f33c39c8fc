// Register translation of the ppdev and direct backends, through injected fakes
// (there is no parallel port and no I/O permission here), and backend selection.
#include "port/direct_backend.h"
#include "port/ppdev_backend.h"
#include "port/select.h"

#include <gtest/gtest.h>
#include <linux/parport.h>
#include <linux/ppdev.h>
#include <map>
#include <sys/ioctl.h>

namespace {

struct Call {
    int fd;
    unsigned long req;
    int arg;
};

class FakePpdev : public ports::PpdevSystem {
  public:
    std::map<std::string, std::string> bases; // device -> base-addr file content
    std::map<std::string, bool> claimable;
    std::vector<Call> calls;
    std::vector<int> closed;
    unsigned char status = 0x5A, data = 0xA5, control = 0x0B;

    std::vector<std::string> devices() override {
        std::vector<std::string> d;
        for (auto& [k, v] : bases)
            d.push_back(k);
        return d;
    }
    std::string readFile(const std::string& path) override {
        for (auto& [k, v] : bases)
            if (path == "/proc/sys/dev/parport/" + k + "/base-addr") return v;
        return "";
    }
    int open(const std::string& path) override {
        std::string dev = path.substr(5);
        if (!bases.count(dev)) return -1;
        return 10 + int(dev.back() - '0');
    }
    void close(int fd) override { closed.push_back(fd); }
    int ioctl(int fd, unsigned long req, void* arg) override {
        int v = -1;
        if (req == PPWDATA || req == PPWCONTROL) v = *static_cast<unsigned char*>(arg);
        if (req == PPDATADIR || req == PPSETMODE) v = *static_cast<int*>(arg);
        if (req == PPRDATA) *static_cast<unsigned char*>(arg) = data;
        if (req == PPRSTATUS) *static_cast<unsigned char*>(arg) = status;
        if (req == PPRCONTROL) *static_cast<unsigned char*>(arg) = control;
        calls.push_back({fd, req, v});
        if (req == PPCLAIM) {
            for (auto& [k, c] : claimable)
                if (fd == 10 + int(k.back() - '0')) return c ? 0 : -1;
        }
        return 0;
    }
};

} // namespace

TEST(Ppdev, RoutesEachBaseAddressToItsDevice) {
    auto fake = std::make_unique<FakePpdev>();
    FakePpdev* f = fake.get();
    f->bases = {{"parport0", "888\t1912\n"}, {"parport1", "632\t-1\n"}};
    f->claimable = {{"parport0", true}, {"parport1", true}};
    ports::PpdevBackend b(std::move(fake));
    ASSERT_TRUE(b.initialize());
    f->calls.clear();

    b.out(0x378, 0x55); // LPT1 data
    b.out(0x278, 0x66); // LPT2 data
    b.out(0x3BC, 0x77); // LPT3: no such port, nothing happens
    ASSERT_EQ(f->calls.size(), 2u);
    EXPECT_EQ(f->calls[0].fd, 10);
    EXPECT_EQ(f->calls[0].req, (unsigned long)PPWDATA);
    EXPECT_EQ(f->calls[0].arg, 0x55);
    EXPECT_EQ(f->calls[1].fd, 11);
    EXPECT_EQ(f->calls[1].arg, 0x66);
    EXPECT_EQ(b.in(0x3BD), 0xFF);
    EXPECT_EQ(b.in(0x379), 0x5A);
    EXPECT_EQ(b.in(0x279), 0x5A);
}

TEST(Ppdev, ControlBit5BecomesDataDirectionAndEcrBecomesByteMode) {
    auto fake = std::make_unique<FakePpdev>();
    FakePpdev* f = fake.get();
    f->bases = {{"parport0", "888\t1912\n"}};
    f->claimable = {{"parport0", true}};
    ports::PpdevBackend b(std::move(fake));
    ASSERT_TRUE(b.initialize());
    f->calls.clear();

    b.out(0x378 + 0x402, 0x20);
    ASSERT_EQ(f->calls.size(), 1u);
    EXPECT_EQ(f->calls[0].req, (unsigned long)PPSETMODE);
    EXPECT_EQ(f->calls[0].arg, IEEE1284_MODE_BYTE);
    EXPECT_EQ(b.in(0x378 + 0x402), 0x20);

    f->calls.clear();
    b.out(0x37A, 0x23); // input, strobe on
    b.out(0x37A, 0x22); // still input: no second direction change
    b.out(0x37A, 0x00); // back to output
    std::vector<std::pair<unsigned long, int>> seq;
    for (auto& c : f->calls)
        seq.emplace_back(c.req, c.arg);
    std::vector<std::pair<unsigned long, int>> expected = {
        {PPDATADIR, 1}, {PPWCONTROL, 0x03}, {PPWCONTROL, 0x02}, {PPDATADIR, 0}, {PPWCONTROL, 0x00}};
    EXPECT_EQ(seq, expected);

    f->calls.clear();
    b.out(0x37A, 0x22);
    EXPECT_EQ(b.in(0x378), 0xA5);
    EXPECT_EQ(f->calls.back().req, (unsigned long)PPRDATA);
    // Reading the control register reports the direction bit we set.
    EXPECT_EQ(b.in(0x37A), (0x0B & 0x0F) | 0x20);
    // Writes to the status register go nowhere.
    f->calls.clear();
    b.out(0x379, 0x12);
    EXPECT_TRUE(f->calls.empty());
}

TEST(Ppdev, FailsWithoutAClaimableDeviceAndReleasesOnShutdown) {
    {
        auto fake = std::make_unique<FakePpdev>();
        ports::PpdevBackend b(std::move(fake));
        EXPECT_FALSE(b.initialize());
    }
    {
        auto fake = std::make_unique<FakePpdev>();
        fake->bases = {{"parport0", "888\n"}};
        fake->claimable = {{"parport0", false}};
        FakePpdev* f = fake.get();
        EXPECT_FALSE(ports::PpdevBackend::available(*f));
        ports::PpdevBackend b(std::move(fake));
        EXPECT_FALSE(b.initialize());
    }
    {
        auto fake = std::make_unique<FakePpdev>();
        fake->bases = {{"parport0", "888\n"}, {"parport1", "1234\n"}};
        fake->claimable = {{"parport0", true}, {"parport1", true}};
        FakePpdev* f = fake.get();
        ports::PpdevBackend b(std::move(fake));
        ASSERT_TRUE(b.initialize());
        EXPECT_EQ(b.name(), "ppdev parport0"); // 1234 is no printer-port base
        b.shutdown();
        EXPECT_EQ(f->closed, std::vector<int>{10});
        EXPECT_EQ(f->calls.back().req, (unsigned long)PPRELEASE);
    }
}

// With no port at 378H, 278H or 3BCH (a PCIe card) the machine's ports stand in for
// LPT1..LPT3 and --port=auto starts on them; otherwise other ports are left alone.
TEST(Ppdev, PortsElsewhereStandInForLptOneToThreeOnlyWhenNoneIsAtAClassicAddress) {
    const struct {
        std::map<std::string, std::string> bases;
        int fds[3]; // device taking 378H, 278H, 3BCH; -1 none
        const char* name;
    } rows[] = {
        {{{"parport0", "53264\t53272\n"}, {"parport1", "53280\n"}},
         {10, 11, -1},
         "ppdev LPT1 = parport0, LPT2 = parport1 (no port at 378H, 278H or 3BCH)"},
        {{{"parport0", "53264\n"}, {"parport1", "632\n"}}, {-1, 11, -1}, "ppdev parport1"},
    };
    for (const auto& row : rows) {
        FakePpdev probe;
        probe.bases = row.bases;
        for (const auto& [d, base] : row.bases)
            probe.claimable[d] = true;
        EXPECT_EQ(ports::makeBackend(ports::parseArgs({}), &probe)->name().rfind("ppdev", 0), 0u);
        auto fake = std::make_unique<FakePpdev>(probe);
        FakePpdev* f = fake.get();
        ports::PpdevBackend b(std::move(fake));
        ASSERT_TRUE(b.initialize()) << row.name;
        EXPECT_EQ(b.name(), row.name);
        const int bases[3] = {0x378, 0x278, 0x3BC};
        for (int i = 0; i < 3; ++i) {
            f->calls.clear();
            b.out(uint16_t(bases[i]), 0x55);
            EXPECT_EQ(f->calls.empty() ? -1 : f->calls[0].fd, row.fds[i]) << row.name << i;
        }
    }
}

namespace {
class FakeIo : public ports::DirectIo {
  public:
    bool permit = true;
    std::vector<std::pair<unsigned long, unsigned long>> perms;
    int level = 0;
    std::vector<std::pair<int, int>> outs;
    int ioperm(unsigned long from, unsigned long num, int on) override {
        if (on) perms.emplace_back(from, num);
        return permit ? 0 : -1;
    }
    int iopl(int l) override {
        level = l;
        return permit ? 0 : -1;
    }
    void outb(uint8_t v, uint16_t port) override { outs.emplace_back(port, v); }
    uint8_t inb(uint16_t port) override { return uint8_t(port & 0xFF); }
};
} // namespace

TEST(Direct, AsksForTheThreePortsAndTheEcrAndTouchesNothingElse) {
    auto io = std::make_unique<FakeIo>();
    FakeIo* f = io.get();
    ports::DirectBackend b(std::move(io));
    ASSERT_TRUE(b.initialize());
    std::vector<std::pair<unsigned long, unsigned long>> perms = {
        {0x378, 3}, {0x278, 3}, {0x3BC, 3}};
    EXPECT_EQ(f->perms, perms);
    EXPECT_EQ(f->level, 3);
    b.out(0x378, 1);
    b.out(0x37A, 4);
    b.out(0x77A, 0x20);
    b.out(0x20, 0xFF); // not a printer-port register: refused
    b.out(0x37B, 0xFF);
    std::vector<std::pair<int, int>> outs = {{0x378, 1}, {0x37A, 4}, {0x77A, 0x20}};
    EXPECT_EQ(f->outs, outs);
    EXPECT_EQ(b.in(0x279), 0x79);
    EXPECT_EQ(b.in(0x60), 0xFF);
    b.shutdown();
    EXPECT_EQ(f->level, 0);
}

TEST(Direct, FailsWithoutPermission) {
    auto io = std::make_unique<FakeIo>();
    io->permit = false;
    ports::DirectBackend b(std::move(io));
    EXPECT_FALSE(b.initialize());
    b.out(0x378, 1); // must not reach the hardware
}

TEST(Select, ParsesOptionsAndRejectsUnknownOnes) {
    auto c = ports::parseArgs({"--port=sim", "--model=30", "--no-chb", "--lpt=3", "--power-off"});
    EXPECT_TRUE(c.errors.empty());
    EXPECT_EQ(c.port, "sim");
    EXPECT_EQ(c.sim.model, 30);
    EXPECT_FALSE(c.sim.channelB);
    EXPECT_TRUE(c.sim.generator);
    EXPECT_FALSE(c.sim.power);
    EXPECT_EQ(c.sim.lpt, 3);
    EXPECT_EQ(ports::parseArgs({"--port=parallel"}).errors.size(), 1u);
    EXPECT_EQ(ports::parseArgs({"--model=25"}).errors.size(), 1u);
    EXPECT_EQ(ports::parseArgs({"--lpt=4"}).errors.size(), 1u);
    EXPECT_EQ(ports::parseArgs({"--bogus"}).errors.size(), 1u);
}

TEST(Select, AutoFallsBackToTheSimulatedInstrument) {
    FakePpdev none;
    auto b = ports::makeBackend(ports::parseArgs({}), &none);
    ASSERT_TRUE(b);
    EXPECT_EQ(b->name().rfind("simulated WQK01", 0), 0u);
    EXPECT_TRUE(b->initialize());

    FakePpdev one;
    one.bases = {{"parport0", "888\n"}};
    one.claimable = {{"parport0", true}};
    auto p = ports::makeBackend(ports::parseArgs({}), &one);
    EXPECT_EQ(p->name().rfind("ppdev", 0), 0u);
}

TEST(Select, ForcedBackendThatCannotStartFailsInitialisation) {
    // On this machine there is neither /dev/parport nor I/O permission for a test.
    auto p = ports::makeBackend(ports::parseArgs({"--port=ppdev"}));
    EXPECT_EQ(p->name().rfind("ppdev", 0), 0u);
    EXPECT_FALSE(p->initialize());
}
