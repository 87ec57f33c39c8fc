// Register translation of the ppdev and direct backends, through injected fakes
// (there is no parallel port and no I/O permission here), and backend selection.
#include "port/direct_backend.h"
#include "port/ppdev_backend.h"
#include "port/select.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <linux/parport.h>
#include <linux/ppdev.h>
#include <map>
#include <sys/ioctl.h>

namespace {

using Calls = std::vector<std::tuple<int, unsigned long, int>>; // fd, request, value

// parportN opens as fd 10 + N; `bases` holds each device's base-addr file.
class FakePpdev : public ports::PpdevSystem {
  public:
    std::map<std::string, std::string> bases;
    bool claimable = true;
    Calls calls;
    std::vector<int> closed;
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
        return bases.count(path.substr(5)) ? 10 + int(path.back() - '0') : -1;
    }
    void close(int fd) override { closed.push_back(fd); }
    int ioctl(int fd, unsigned long req, void* arg) override {
        int v = -1;
        if (req == PPWDATA || req == PPWCONTROL) v = *static_cast<unsigned char*>(arg);
        if (req == PPDATADIR || req == PPSETMODE) v = *static_cast<int*>(arg);
        if (req == PPRDATA || req == PPRSTATUS || req == PPRCONTROL)
            *static_cast<unsigned char*>(arg) = req == PPRDATA     ? 0xA5
                                                : req == PPRSTATUS ? 0x5A
                                                                   : 0x0B;
        calls.emplace_back(fd, req, v);
        return req == PPCLAIM && !claimable ? -1 : 0;
    }
};

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
    int iopl(int l) override { return level = l, permit ? 0 : -1; }
    void outb(uint8_t v, uint16_t port) override { outs.emplace_back(port, v); }
    uint8_t inb(uint16_t port) override { return uint8_t(port & 0xFF); }
};

} // namespace

// Each write lands on the device holding its base address as the matching ioctl; the
// control register's bit 5 becomes the data direction and the ECR write byte mode.
TEST(Ppdev, RegisterWritesBecomeIoctlsOnTheRightDevice) {
    auto fake = std::make_unique<FakePpdev>();
    FakePpdev* f = fake.get();
    f->bases = {{"parport0", "888\t1912\n"}, {"parport1", "632\t-1\n"}, {"parport2", "1234\n"}};
    ports::PpdevBackend b(std::move(fake));
    ASSERT_TRUE(b.initialize());
    EXPECT_EQ(b.name(), "ppdev parport1 parport0"); // 1234 is no printer-port base
    f->calls.clear();
    // clang-format off
    for (auto [a, v] : std::vector<std::pair<int, int>>{{0x378, 0x55}, {0x278, 0x66}, {0x3BC, 0x77},
             {0x77A, 0x20}, {0x37A, 0x23}, {0x37A, 0x22}, {0x379, 0x12}, {0x37A, 0x00}})
        // clang-format on
        b.out(uint16_t(a), uint8_t(v));
    const Calls expected = {
        {10, PPWDATA, 0x55}, {11, PPWDATA, 0x66},    {10, PPSETMODE, IEEE1284_MODE_BYTE},
        {10, PPDATADIR, 1},  {10, PPWCONTROL, 0x03}, {10, PPWCONTROL, 0x02},
        {10, PPDATADIR, 0},  {10, PPWCONTROL, 0x00}};
    EXPECT_EQ(f->calls, expected);
    b.out(0x37A, 0x22);
    EXPECT_EQ(std::vector<int>(
                  {b.in(0x378), b.in(0x379), b.in(0x279), b.in(0x37A), b.in(0x77A), b.in(0x3BD)}),
              std::vector<int>({0xA5, 0x5A, 0x5A, (0x0B & 0x0F) | 0x20, 0x20, 0xFF}));
    b.shutdown();
    std::sort(f->closed.begin(), f->closed.end());
    EXPECT_EQ(f->closed, (std::vector<int>{10, 11}));
    EXPECT_EQ(std::get<1>(f->calls.back()), (unsigned long)PPRELEASE);
}

// A PCIe card's ports stand in for LPT1..LPT3, and --port=auto starts on them.
TEST(Ppdev, PortsElsewhereStandInOnlyWhenNoneIsAtAClassicAddress) {
    // fds: the device taking 378H, 278H, 3BCH; -1 none
    // clang-format off
    const struct { std::map<std::string, std::string> bases; std::vector<int> fds; const char* name; }
    rows[] = {
        {{{"parport0", "53264\t53272\n"}, {"parport1", "53280\n"}}, {10, 11, -1},
         "ppdev LPT1 = parport0, LPT2 = parport1 (no port at 378H, 278H or 3BCH)"},
        {{{"parport0", "53264\n"}, {"parport1", "632\n"}}, {-1, 11, -1}, "ppdev parport1"},
        {{{"parport0", "888\n"}}, {}, nullptr}, // cannot be claimed
        {{}, {}, nullptr},
    };
    // clang-format on
    for (const auto& row : rows) {
        FakePpdev probe;
        probe.bases = row.bases;
        probe.claimable = row.name != nullptr;
        EXPECT_EQ(ports::PpdevBackend::available(probe), row.name != nullptr);
        EXPECT_EQ(ports::makeBackend(ports::parseArgs({}), &probe)->name().substr(0, 5),
                  row.name ? "ppdev" : "simul");
        auto fake = std::make_unique<FakePpdev>(probe);
        FakePpdev* f = fake.get();
        ports::PpdevBackend b(std::move(fake));
        // Where the machine has no parallel port, stderr says so once, though the
        // start-up tries twice.
        testing::internal::CaptureStderr();
        const bool started = b.initialize();
        EXPECT_EQ(b.initialize(), started);
        const std::string noPort = "wqkscope: no parallel port was found (no /dev/parport*)\n";
        EXPECT_EQ(testing::internal::GetCapturedStderr(), row.bases.empty() ? noPort : "");
        ASSERT_EQ(started, row.name != nullptr);
        if (!row.name) continue;
        EXPECT_EQ(b.name(), row.name);
        std::vector<int> fds;
        for (int base : {0x378, 0x278, 0x3BC}) {
            f->calls.clear();
            b.out(uint16_t(base), 0x55);
            fds.push_back(f->calls.empty() ? -1 : std::get<0>(f->calls[0]));
        }
        EXPECT_EQ(fds, row.fds) << row.name;
    }
}

TEST(Direct, AsksForTheThreePortsAndTheEcrAndTouchesNothingElse) {
    for (bool permit : {true, false}) {
        auto io = std::make_unique<FakeIo>();
        FakeIo* f = io.get();
        f->permit = permit;
        ports::DirectBackend b(std::move(io));
        ASSERT_EQ(b.initialize(), permit);
        for (auto [a, v] : std::vector<std::pair<int, int>>{
                 {0x378, 1}, {0x37A, 4}, {0x77A, 0x20}, {0x20, 0xFF}, {0x37B, 0xFF}})
            b.out(uint16_t(a), uint8_t(v));
        const std::vector<std::pair<int, int>> sent = {{0x378, 1}, {0x37A, 4}, {0x77A, 0x20}};
        EXPECT_EQ(f->outs, permit ? sent : decltype(sent){});
        if (!permit) continue;
        EXPECT_EQ(f->perms, (std::vector<std::pair<unsigned long, unsigned long>>{
                                {0x378, 3}, {0x278, 3}, {0x3BC, 3}}));
        EXPECT_EQ(f->level, 3);
        EXPECT_EQ(b.in(0x279) + 256 * b.in(0x60), 0x79 + 256 * 0xFF);
        b.shutdown();
        EXPECT_EQ(f->level, 0);
    }
}

TEST(Select, OptionsAndForcedBackends) {
    auto c = ports::parseArgs({"--port=sim", "--model=30", "--no-chb", "--lpt=3", "--power-off"});
    EXPECT_TRUE(c.errors.empty());
    EXPECT_TRUE(c.port == "sim" && c.sim.model == 30 && !c.sim.channelB && c.sim.generator);
    EXPECT_TRUE(!c.sim.power && c.sim.lpt == 3 && !c.version);
    EXPECT_TRUE(ports::parseArgs({"--version"}).version);
    for (const char* bad : {"--port=parallel", "--model=25", "--lpt=4", "--bogus"})
        EXPECT_EQ(ports::parseArgs({bad}).errors.size(), 1u) << bad;
    FakePpdev none;
    EXPECT_TRUE(ports::makeBackend(ports::parseArgs({}), &none)->initialize());
    // On this machine there is neither /dev/parport nor I/O permission for a test.
    auto p = ports::makeBackend(ports::parseArgs({"--port=ppdev"}));
    EXPECT_EQ(p->name().rfind("ppdev", 0), 0u);
    EXPECT_FALSE(p->initialize());
}
