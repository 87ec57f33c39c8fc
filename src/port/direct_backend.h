#pragma once
// Direct port I/O on x86 Linux: ioperm for base..base+2 of the three ports and
// iopl(3) for the extended control register at base+402H (above 3FFH). Needs root or
// CAP_SYS_RAWIO.
#include "platform/port.h"

#include <memory>

namespace ports {

class DirectIo {
  public:
    virtual ~DirectIo() = default;
    virtual int ioperm(unsigned long from, unsigned long num, int on);
    virtual int iopl(int level);
    virtual void outb(uint8_t value, uint16_t port);
    virtual uint8_t inb(uint16_t port);
};

class DirectBackend : public plat::PortBackend {
  public:
    explicit DirectBackend(std::unique_ptr<DirectIo> io = nullptr);
    bool initialize() override;
    void shutdown() override;
    void out(uint16_t address, uint8_t value) override;
    uint8_t in(uint16_t address) override;
    std::string name() const override { return "direct I/O"; }

  private:
    static bool allowed(uint16_t address);
    std::unique_ptr<DirectIo> io_;
    bool open_ = false;
};

} // namespace ports
