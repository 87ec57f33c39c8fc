#include "platform/port.h"

namespace plat {
namespace {
PortBackend* backend = nullptr;
}
void setPortBackend(PortBackend* b) {
    backend = b;
}
PortBackend* portBackend() {
    return backend;
}
} // namespace plat

void vbOut(int address, int value) {
    if (plat::backend)
        plat::backend->out(static_cast<uint16_t>(address), static_cast<uint8_t>(value & 0xFF));
}

int vbInp(int address) {
    return plat::backend ? plat::backend->in(static_cast<uint16_t>(address)) : 0xFF;
}

bool InitializeWinIo() {
    return plat::backend && plat::backend->initialize();
}

void ShutdownWinIo() {
    if (plat::backend) plat::backend->shutdown();
}
