#pragma once
// Byte-wide port access, the only way the program reaches the instrument.
// A backend (simulated instrument, Linux ppdev, Linux direct I/O) sits behind it.
#include <cstdint>
#include <string>

namespace plat {

class PortBackend {
  public:
    virtual ~PortBackend() = default;
    virtual bool initialize() = 0; // false when port access cannot be had
    virtual void shutdown() = 0;
    virtual void out(uint16_t address, uint8_t value) = 0;
    virtual uint8_t in(uint16_t address) = 0;
    virtual std::string name() const = 0; // shown in the window title
};

// The backend in use; not owned. nullptr makes every access a no-op reading FFH.
void setPortBackend(PortBackend* b);
PortBackend* portBackend();

} // namespace plat

// Only the low 8 bits of value reach the port.
void vbOut(int address, int value);
int vbInp(int address);
bool InitializeWinIo();
void ShutdownWinIo();
