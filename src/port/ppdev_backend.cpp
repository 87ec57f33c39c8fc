#include "port/ppdev_backend.h"

#include "device/commands.h"

#include <QDir>
#include <QFile>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <linux/parport.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace ports {

std::vector<std::string> PpdevSystem::devices() {
    std::vector<std::string> out;
    QDir dev("/dev");
    for (const QString& n : dev.entryList({"parport*"}, QDir::System | QDir::Files, QDir::Name))
        out.push_back(n.toStdString());
    return out;
}

std::string PpdevSystem::readFile(const std::string& path) {
    QFile f(QString::fromStdString(path));
    if (!f.open(QIODevice::ReadOnly)) return "";
    return f.read(256).toStdString();
}

int PpdevSystem::open(const std::string& path) {
    return ::open(path.c_str(), O_RDWR);
}
void PpdevSystem::close(int fd) {
    ::close(fd);
}
int PpdevSystem::ioctl(int fd, unsigned long request, void* arg) {
    return ::ioctl(fd, request, arg);
}

namespace {
const int Bases[3] = {cmd::Lpt1Base, cmd::Lpt2Base, cmd::Lpt3Base};

int baseOf(PpdevSystem& sys, const std::string& dev) {
    std::string s = sys.readFile("/proc/sys/dev/parport/" + dev + "/base-addr");
    if (s.empty()) return -1;
    return int(std::strtol(s.c_str(), nullptr, 10));
}
} // namespace

PpdevBackend::PpdevBackend(std::unique_ptr<PpdevSystem> sys)
    : sys_(sys ? std::move(sys) : std::make_unique<PpdevSystem>()) {}

PpdevBackend::~PpdevBackend() {
    shutdown();
}

bool PpdevBackend::available(PpdevSystem& sys) {
    for (const std::string& d : sys.devices()) {
        int fd = sys.open("/dev/" + d);
        if (fd < 0) continue;
        bool ok = sys.ioctl(fd, PPCLAIM, nullptr) == 0;
        if (ok) sys.ioctl(fd, PPRELEASE, nullptr);
        sys.close(fd);
        if (ok) return true;
    }
    return false;
}

bool PpdevBackend::initialize() {
    shutdown();
    auto claim = [this](const std::string& d, int base) {
        int fd = sys_->open("/dev/" + d);
        if (fd < 0) return;
        if (sys_->ioctl(fd, PPCLAIM, nullptr) != 0) {
            sys_->close(fd);
            return;
        }
        Dev dev;
        dev.fd = fd;
        dev.name = d;
        byBase_[base] = dev;
    };
    std::vector<std::string> elsewhere; // ports at other addresses
    const std::vector<std::string> devices = sys_->devices();
    // The start-up's own message asks for privileges; where the machine has no parallel
    // port at all, say so too (once: the start-up tries twice).
    if (devices.empty() && !toldNoPort_) {
        std::fputs("wqkscope: no parallel port was found (no /dev/parport*)\n", stderr);
        toldNoPort_ = true;
    }
    for (const std::string& d : devices) {
        const int base = baseOf(*sys_, d);
        bool known = false;
        for (int b : Bases)
            known |= b == base;
        if (!known) elsewhere.push_back(d);
        if (!known || byBase_.count(base)) continue;
        claim(d, base);
    }
    // No port at a classic address (a PCIe card, say): LPT1..LPT3 stand for the
    // machine's other parallel ports in order.
    if (byBase_.empty()) {
        for (const std::string& d : elsewhere)
            if (byBase_.size() < 3) claim(d, Bases[byBase_.size()]);
        mapped_ = !byBase_.empty();
    }
    return !byBase_.empty();
}

void PpdevBackend::shutdown() {
    for (auto& [base, dev] : byBase_) {
        sys_->ioctl(dev.fd, PPRELEASE, nullptr);
        sys_->close(dev.fd);
    }
    byBase_.clear();
    mapped_ = false;
}

PpdevBackend::Dev* PpdevBackend::route(uint16_t address, int& offset) {
    for (auto& [base, dev] : byBase_) {
        int off = int(address) - base;
        if (off == cmd::DataOffset || off == cmd::StatusOffset || off == cmd::ControlOffset ||
            off == cmd::EcrOffset) {
            offset = off;
            return &dev;
        }
    }
    return nullptr;
}

void PpdevBackend::out(uint16_t address, uint8_t value) {
    int off = 0;
    Dev* d = route(address, off);
    if (!d) return; // no port there: the write goes nowhere, as on a PC
    if (off == cmd::DataOffset) {
        unsigned char v = value;
        sys_->ioctl(d->fd, PPWDATA, &v);
    } else if (off == cmd::ControlOffset) {
        // Bit 5 turns the data lines around; ppdev takes it as a separate call.
        int dir = (value & cmd::CtlDataIn) ? 1 : 0;
        if (dir != d->dir) {
            sys_->ioctl(d->fd, PPDATADIR, &dir);
            d->dir = dir;
        }
        unsigned char v = value & 0x0F;
        sys_->ioctl(d->fd, PPWCONTROL, &v);
    } else if (off == cmd::EcrOffset) {
        // The only value ever written is 20H, byte (bidirectional) mode.
        d->ecr = value;
        if ((value & 0xE0) == cmd::EcrByteMode) {
            int mode = IEEE1284_MODE_BYTE;
            sys_->ioctl(d->fd, PPSETMODE, &mode);
        }
    }
    // The status register is read only.
}

uint8_t PpdevBackend::in(uint16_t address) {
    int off = 0;
    Dev* d = route(address, off);
    if (!d) return 0xFF;
    unsigned char v = 0xFF;
    switch (off) {
    case 0:
        sys_->ioctl(d->fd, PPRDATA, &v);
        break;
    case 1:
        sys_->ioctl(d->fd, PPRSTATUS, &v);
        break;
    case 2:
        sys_->ioctl(d->fd, PPRCONTROL, &v);
        v = (v & 0x0F) | (d->dir ? cmd::CtlDataIn : 0);
        break;
    default:
        v = d->ecr;
        break;
    }
    return v;
}

std::string PpdevBackend::name() const {
    std::string n = "ppdev";
    if (mapped_) {
        for (int i = 0; i < 3; ++i) {
            auto it = byBase_.find(Bases[i]);
            if (it == byBase_.end()) continue;
            n += (i ? ", LPT" : " LPT") + std::to_string(i + 1) + " = " + it->second.name;
        }
        return n + " (no port at 378H, 278H or 3BCH)";
    }
    for (const auto& [base, dev] : byBase_)
        n += " " + dev.name;
    return n;
}

} // namespace ports
