#include "sim/wqk01.h"

#include "platform/clock.h"

#include <cstdio>

namespace sim {

namespace {
int baseOf(int lpt) {
    switch (lpt) {
    case 2: return 0x278;
    case 3: return 0x3BC;
    default: return 0x378;
    }
}
std::string hex(int v) {
    char b[8];
    std::snprintf(b, sizeof b, "%02XH", v & 0xFF);
    return b;
}
}  // namespace

Wqk01::Wqk01(Options o) : opt_(o), base_(baseOf(o.lpt)) {
    memA_.fill(128);
    memB_.fill(128);
}

int64_t Wqk01::nowNs() { return plat::clock().nowNs(); }

std::string Wqk01::name() const {
    return "simulated WQK01" + std::string(opt_.model == 30 ? " 30 MHz" : " 20 MHz");
}

uint8_t Wqk01::detectionBits() const {
    // Model code 1 is the 20 MHz instrument, 2 the 30 MHz one.
    uint8_t model = opt_.model == 30 ? 0x20 : 0x10;
    return uint8_t(model | (opt_.channelB ? 0x40 : 0) | (opt_.generator ? 0x80 : 0));
}

std::vector<std::pair<int, int>> Wqk01::writes() const {
    std::vector<std::pair<int, int>> w;
    w.reserve(log_.size());
    for (const Access& a : log_)
        if (a.write) w.emplace_back(a.address, a.value);
    return w;
}

void Wqk01::out(uint16_t address, uint8_t value) {
    if (logging_) log_.push_back({true, address, value});
    const int off = int(address) - base_;
    if (!opt_.present) return;
    switch (off) {
    case 0: data_ = value; break;
    case 1: report("write to the status register"); break;
    case 2: {
        const uint8_t prev = control_;
        control_ = value;
        // Bit 2 high: command phase; the first-phase byte is on the data lines.
        if (!(prev & 0x04) && (value & 0x04)) firstPhase_ = data_;
        // Bit 2 falling: the command byte is on the data lines.
        if ((prev & 0x04) && !(value & 0x04)) command(firstPhase_, data_);
        // Bit 0 falling with the data lines as outputs: a clock pulse or strobe.
        const bool input = value & 0x20;
        if ((prev & 0x01) && !(value & 0x01)) {
            if (input)
                readClock();
            else
                pulse();
        }
        break;
    }
    case 0x402:
        ecr_ = value;
        if (value != 0x20) report("extended control register set to " + hex(value));
        break;
    default: break;  // another port: nothing of ours answers there
    }
}

uint8_t Wqk01::in(uint16_t address) {
    const int off = int(address) - base_;
    uint8_t v = 0xFF;
    if (opt_.present && (off == 0 || off == 1 || off == 2 || off == 0x402)) {
        switch (off) {
        case 0:
            if (control_ & 0x20) {
                if (readChannel_ == 0) {
                    report("sample read before a channel memory was selected");
                    v = 0xFF;
                } else {
                    const auto& mem = readChannel_ == 1 ? memA_ : memB_;
                    v = mem[readPos_ & 0x7FFF];
                }
            } else {
                v = data_;
            }
            break;
        case 1: {
            uint8_t st = 0x07;
            if (data_ & 0x80) st |= detectionBits();
            bool done = doneBit_;
            if (statusDone && statusDone()) done = true;
            if (done) st |= 0x08;
            v = st;
            break;
        }
        case 2: v = control_; break;
        default: v = ecr_; break;
        }
    } else if (!opt_.present && off == 1) {
        v = 0x7F;  // floating lines that do not follow the data register
    }
    if (logging_) log_.push_back({false, address, v});
    return v;
}

void Wqk01::command(int first, int c) {
    command_ = c;
    pulseTaken_ = false;
    ++cmdCount_[c & 0xFF];
    const int op = c & 0x0F;
    // Leaving a counter open or a memory write running is normal between commands;
    // only the commands that close them change that state.
    switch (c) {
    case 0x06:
        // Opens the counter chosen by the preceding reset (stop) or clear (configuration).
        if (counter_ == Counter::None) report("counter opened (06H) with no reset or clear before it");
        break;
    case 0x0E:
        if (counter_ == Counter::Config) {
            configLatched_ = configCount_;
        } else {
            report("configuration latched (0EH) with no configuration counter open");
        }
        break;
    case 0x03:
        if (counter_ == Counter::Stop) stopCount_ = stopPulses_;
        counter_ = Counter::None;
        break;
    case 0x0A:
        genWrite_ = true;
        genWritePos_ = 0;
        break;
    case 0x02:
        genWrite_ = false;
        break;
    case 0x04:
        readChannel_ = 1;
        readPos_ = 0;
        break;
    case 0x44:
        readChannel_ = 2;
        readPos_ = 0;
        break;
    default: break;
    }
    (void)op;
    if (onCommand) onCommand(first, c);
}

void Wqk01::pulse() {
    if (onPulse && onPulse()) return;
    // Data strobes into the generator memory while it is open for writing.
    if (genWrite_ && command_ == 0x0A) {
        if (genWritePos_ < 32768) genMem_[genWritePos_] = data_;
        else report("generator memory written past its end");
        ++genWritePos_;
        if (onStrobe) onStrobe(data_);
        return;
    }
    switch (command_) {
    case 0x07:
        if (pulseTaken_) break;
        // Reset: counters cleared; the done line tells power afterwards.
        pulseTaken_ = true;
        doneBit_ = !opt_.power;
        counter_ = Counter::Stop;
        stopPulses_ = 0;
        readChannel_ = 0;
        return;
    case 0x0F:
        if (pulseTaken_) break;
        pulseTaken_ = true;
        counter_ = Counter::Config;
        configCount_ = 0;
        return;
    case 0x06:
        if (counter_ == Counter::Config) {
            configCount_ = (configCount_ + 1) & 0x0F;
            return;
        }
        if (counter_ == Counter::Stop) {
            ++stopPulses_;
            return;
        }
        break;
    default:
        if (!pulseTaken_) {
            // Pulses after 00H, 03H, 0BH start their own actions (capture and
            // generator models); a lone pulse is accepted.
            pulseTaken_ = true;
            return;
        }
        break;
    }
    if (onStrobe) {
        onStrobe(data_);
        return;
    }
    report("clock pulse after command " + hex(command_) + " with nothing to count it");
}

void Wqk01::readClock() {
    if (readChannel_ == 0) {
        report("read clock before a channel memory was selected");
        return;
    }
    ++readPos_;
}

}  // namespace sim
