#pragma once
// Linux parallel ports through /dev/parportN (ppdev). Each of the three base addresses
// goes to the parportN whose /proc/sys/dev/parport/parportN/base-addr holds it; where
// none holds any of them, they go to the machine's ports in order (LPT1 = the first).
#include "platform/port.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace ports {

// The system calls the backend makes; tests replace them with a fake.
class PpdevSystem {
  public:
    virtual ~PpdevSystem() = default;
    virtual std::vector<std::string> devices();            // e.g. "parport0"
    virtual std::string readFile(const std::string& path); // empty when unreadable
    virtual int open(const std::string& path);             // -1 on failure
    virtual void close(int fd);
    virtual int ioctl(int fd, unsigned long request, void* arg); // -1 on failure
};

class PpdevBackend : public plat::PortBackend {
  public:
    explicit PpdevBackend(std::unique_ptr<PpdevSystem> sys = nullptr);
    ~PpdevBackend() override;
    bool initialize() override;
    void shutdown() override;
    void out(uint16_t address, uint8_t value) override;
    uint8_t in(uint16_t address) override;
    std::string name() const override;
    // Whether any /dev/parportN can be opened and claimed (used by --port=auto).
    static bool available(PpdevSystem& sys);

  private:
    struct Dev {
        int fd = -1;
        std::string name;
        uint8_t ecr = 0;
        int dir = 0;
    };
    Dev* route(uint16_t address, int& offset);
    std::unique_ptr<PpdevSystem> sys_;
    std::map<int, Dev> byBase_; // base address -> claimed device
    bool mapped_ = false;       // LPT1..LPT3 stand for ports at other addresses
    bool toldNoPort_ = false;
};

} // namespace ports
