#include "port/direct_backend.h"

#include "device/commands.h"

#if defined(__x86_64__) || defined(__i386__)
#include <sys/io.h>
#define WQK_HAVE_PORT_IO 1
#endif

namespace ports {

#ifdef WQK_HAVE_PORT_IO
int DirectIo::ioperm(unsigned long from, unsigned long num, int on) {
    return ::ioperm(from, num, on);
}
int DirectIo::iopl(int level) {
    return ::iopl(level);
}
void DirectIo::outb(uint8_t value, uint16_t port) {
    ::outb(value, port);
}
uint8_t DirectIo::inb(uint16_t port) {
    return ::inb(port);
}
#else
int DirectIo::ioperm(unsigned long, unsigned long, int) {
    return -1;
}
int DirectIo::iopl(int) {
    return -1;
}
void DirectIo::outb(uint8_t, uint16_t) {}
uint8_t DirectIo::inb(uint16_t) {
    return 0xFF;
}
#endif

namespace {
const int Bases[3] = {cmd::Lpt1Base, cmd::Lpt2Base, cmd::Lpt3Base};
}

DirectBackend::DirectBackend(std::unique_ptr<DirectIo> io)
    : io_(io ? std::move(io) : std::make_unique<DirectIo>()) {}

bool DirectBackend::initialize() {
    for (int b : Bases)
        if (io_->ioperm(b, 3, 1) != 0) return false;
    if (io_->iopl(3) != 0) return false;
    open_ = true;
    return true;
}

void DirectBackend::shutdown() {
    if (!open_) return;
    for (int b : Bases)
        io_->ioperm(b, 3, 0);
    io_->iopl(0);
    open_ = false;
}

bool DirectBackend::allowed(uint16_t address) {
    // Only the registers of the three printer ports, never any other I/O address.
    for (int b : Bases) {
        int off = int(address) - b;
        if (off == cmd::DataOffset || off == cmd::StatusOffset || off == cmd::ControlOffset ||
            off == cmd::EcrOffset)
            return true;
    }
    return false;
}

void DirectBackend::out(uint16_t address, uint8_t value) {
    if (open_ && allowed(address)) io_->outb(value, address);
}

uint8_t DirectBackend::in(uint16_t address) {
    return open_ && allowed(address) ? io_->inb(address) : 0xFF;
}

} // namespace ports
