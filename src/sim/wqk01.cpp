#include "sim/wqk01.h"

#include "device/commands.h"
#include "platform/clock.h"

#include <cmath>
#include <cstdio>

namespace sim {

namespace {
int baseOf(int lpt) {
    switch (lpt) {
    case 2:
        return cmd::Lpt2Base;
    case 3:
        return cmd::Lpt3Base;
    default:
        return cmd::Lpt1Base;
    }
}
std::string hex(int v) {
    char b[8];
    std::snprintf(b, sizeof b, "%02XH", v & 0xFF);
    return b;
}
} // namespace

Wqk01::Wqk01(Options o)
    : opt_(o), base_(baseOf(o.lpt)), capture_(o.model == 30 ? 1.5 : 1.0, o.channelB),
      gen_(o.model == 30 ? 1.5 : 1.0) {
    gen_.report = [this](const std::string& m) { report(m); };
    capture_.setInput(0, inputFor(opt_.inputA, 1));
    capture_.setInput(1, inputFor(opt_.inputB, 2));
}

std::shared_ptr<const Input> Wqk01::inputFor(const InputSpec& signal, uint32_t seed) {
    const bool fromGenerator =
        signal.kind == InputSpec::Kind::Generator || signal.kind == InputSpec::Kind::Dac;
    // Without a generator, makeInput gives a square like its output.
    if (!fromGenerator || !opt_.generator) return makeInput(signal, opt_.noise, seed);
    if (signal.kind == InputSpec::Kind::Dac) return makeDacInput(gen_, opt_.noise, seed);
    return makeGeneratorInput(gen_, opt_.noise, seed, signal.cornerHz);
}

int64_t Wqk01::nowNs() {
    return plat::clock().nowNs();
}

std::string Wqk01::name() const {
    return "simulated WQK01" + std::string(opt_.model == 30 ? " 30 MHz" : " 20 MHz");
}

uint8_t Wqk01::detectionBits() const {
    const int model = (opt_.model == 30 ? cmd::Model30 : cmd::Model20) << cmd::StatusModelShift;
    return uint8_t(model | (opt_.channelB ? cmd::StatusChanB : 0) |
                   (opt_.generator ? cmd::StatusGenerator : 0));
}

std::vector<std::pair<int, int>> Wqk01::writes() const {
    std::vector<std::pair<int, int>> w;
    w.reserve(log_.size());
    for (const Access& a : log_)
        if (a.write) w.emplace_back(a.address, a.value);
    return w;
}

void Wqk01::finishAccess(int64_t startNs) const {
    // The model's own work counts as part of the access, as the port's does.
    if (opt_.latencyNs > 0) plat::clock().busyUntil(startNs + opt_.latencyNs);
}

void Wqk01::out(uint16_t address, uint8_t value) {
    const int64_t start = opt_.latencyNs > 0 ? nowNs() : 0;
    write(address, value);
    finishAccess(start);
}

uint8_t Wqk01::in(uint16_t address) {
    const int64_t start = opt_.latencyNs > 0 ? nowNs() : 0;
    const uint8_t v = read(address);
    finishAccess(start);
    return v;
}

void Wqk01::write(uint16_t address, uint8_t value) {
    ++accesses_;
    if (logging_) log_.push_back({true, address, value});
    const int off = int(address) - base_;
    if (!opt_.present) return;
    switch (off) {
    case cmd::DataOffset:
        data_ = value;
        break;
    case cmd::StatusOffset:
        report("write to the status register");
        break;
    case cmd::ControlOffset: {
        const uint8_t prev = control_;
        control_ = value;
        // Bit 2 high: command phase; the first-phase byte is on the data lines.
        if (!(prev & cmd::CtlCommand) && (value & cmd::CtlCommand)) firstPhase_ = data_;
        // Bit 2 falling: the command byte is on the data lines.
        if ((prev & cmd::CtlCommand) && !(value & cmd::CtlCommand)) command(firstPhase_, data_);
        // Bit 0 falling: a clock pulse or strobe, or with the data lines as inputs
        // (bit 5) a read clock.
        if ((prev & cmd::CtlStrobe) && !(value & cmd::CtlStrobe)) {
            if (value & cmd::CtlDataIn)
                readClock();
            else
                pulse();
        }
        break;
    }
    case cmd::EcrOffset:
        ecr_ = value;
        if (value != cmd::EcrByteMode) report("extended control register set to " + hex(value));
        break;
    default:
        break; // another port: nothing of ours answers there
    }
}

uint8_t Wqk01::read(uint16_t address) {
    ++accesses_;
    const int off = int(address) - base_;
    uint8_t v = 0xFF;
    if (opt_.present && (off == cmd::DataOffset || off == cmd::StatusOffset ||
                         off == cmd::ControlOffset || off == cmd::EcrOffset)) {
        switch (off) {
        case cmd::DataOffset:
            if (control_ & cmd::CtlDataIn) {
                if (readChannel_ == 0) {
                    report("sample read before a channel memory was selected");
                    v = 0xFF;
                } else {
                    v = capture_.read(readChannel_ - 1, readPos_ & cmd::AddressMask);
                }
            } else {
                v = data_;
            }
            break;
        case cmd::StatusOffset: {
            uint8_t st = 0x07; // the lines below the done bit read high
            if (data_ & cmd::DetectBit) st |= detectionBits();
            if ((capture_.busy() && capture_.update(nowNs())) || gen_.takeSweepEnd(nowNs())) {
                doneLine_ = true;
                readPos_ = 0;
            }
            bool done = doneLine_;
            if (statusDone && statusDone()) done = true;
            if (done) st |= cmd::StatusDone;
            v = st;
            break;
        }
        case cmd::ControlOffset:
            v = control_;
            break;
        default:
            v = ecr_;
            break;
        }
    } else if (!opt_.present && off == cmd::StatusOffset) {
        v = 0x7F; // floating lines that do not follow the data register
    }
    if (logging_) log_.push_back({false, address, v});
    return v;
}

bool Wqk01::canStart(const char* what) {
    if (!opt_.power) {
        report(std::string(what) + " on an instrument without power");
        return false;
    }
    if (!stopLoaded_) {
        report(std::string(what) + " with no stop counter loaded since the last reset");
        return false;
    }
    return true;
}

void Wqk01::selectChannel(int ch) {
    if (gen_.sweepRunning()) {
        if (gen_.takeSweepEnd(nowNs())) {
            doneLine_ = true;
            readPos_ = 0;
        } else {
            report("channel memory selected for reading while a sweep is running");
        }
    }
    if (capture_.busy()) {
        if (capture_.update(nowNs())) {
            doneLine_ = true;
            readPos_ = 0;
        } else {
            report("channel memory selected for reading while a capture is running");
        }
    }
    readChannel_ = ch;
    readPos_ = 0;
}

void Wqk01::command(int first, int c) {
    command_ = c;
    pulseTaken_ = false;
    ++cmdCount_[c & 0xFF];
    // 00H with its source and slope qualifiers (40H, 80H): idle, or the first step of
    // a capture; either way a capture in progress is dropped.
    if ((c & cmd::OperationMask) == cmd::Idle) capture_.abort();
    if ((c & cmd::OperationMask) == cmd::Arm) {
        // Trigger arming at the rate code of the first phase; 40H source B, 80H falling.
        if (CaptureModel::rateOf(first, 1) <= 0) {
            report("trigger armed (" + hex(c) + ") with rate code " + hex(first));
        } else if (canStart("trigger armed")) {
            capture_.arm(nowNs(), first, c & cmd::QualifierMask, level_, samplesToTake(),
                         configLatched_);
            doneLine_ = false;
        }
    }
    switch (c) {
    case cmd::OpenCount:
        // Opens the counter chosen by the preceding reset (stop) or clear (configuration).
        if (counter_ == Counter::None)
            report("counter opened (06H) with no reset or clear before it");
        break;
    case cmd::LatchConfig:
        if (counter_ == Counter::Config) {
            configLatched_ = configCount_;
        } else {
            report("configuration latched (0EH) with no configuration counter open");
        }
        break;
    case cmd::EndLoad:
        if (counter_ == Counter::Stop) {
            stopCount_ = stopPulses_;
            stopLoaded_ = true;
        }
        counter_ = Counter::None;
        break;
    case cmd::GenWrite:
        genWrite_ = true;
        genWritePos_ = 0;
        break;
    case cmd::Start:
    case cmd::Start | cmd::SourceB:
        genWrite_ = false;
        // With a rate code in the first phase: an instant capture starts.
        if (first != 0) {
            if (CaptureModel::rateOf(first, 1) <= 0) {
                report("sampling started (" + hex(c) + ") with rate code " + hex(first));
            } else if (canStart("sampling started")) {
                capture_.startInstant(nowNs(), first, samplesToTake(), configLatched_);
                doneLine_ = false;
            }
        } else if (c == (cmd::Start | cmd::SourceB)) {
            report("42H sent without a rate code");
        }
        break;
    case cmd::SelectA:
        selectChannel(1);
        break;
    case cmd::SelectB:
        selectChannel(2);
        break;
    default:
        break;
    }
    if (c == cmd::Sweep || c == cmd::Continuous) startGenerator(first, c);
    if (onCommand) onCommand(first, c);
}

void Wqk01::startGenerator(int first, int c) {
    if (first == 0) return; // the first of the two writes only prepares the start
    if (!opt_.generator) {
        report("generator started (" + hex(c) + ") on an instrument without generator");
        return;
    }
    if (!canStart(c == cmd::Sweep ? "generator sweep started" : "generator output started")) return;
    if (!gen_.command(first, c, nowNs(), stopCount_, genMem_)) return;
    // The sweep samples both inputs at the step rate while it plays once.
    doneLine_ = false;
    gen_.fillSweep(capture_.memoryA(), capture_.memoryB(), [this](int ch, double t) {
        return uint8_t(capture_.sampleCode(ch, std::llround(t), 1.0, 0, configLatched_));
    });
}

void Wqk01::pulse() {
    if (onPulse && onPulse()) return;
    // Data strobes into the generator memory while it is open for writing.
    if (genWrite_ && command_ == cmd::GenWrite) {
        if (genWritePos_ < cmd::MemorySize)
            genMem_[genWritePos_] = data_;
        else
            report("generator memory written past its end");
        ++genWritePos_;
        if (onStrobe) onStrobe(data_);
        return;
    }
    // The comparator level follows the data lines at a pulse after the idle/prepare
    // command or 02H (the trigger level strobe).
    if ((command_ & cmd::OperationMask) == cmd::Idle || command_ == cmd::Start) level_ = data_;
    switch (command_) {
    case cmd::Reset:
        if (pulseTaken_) break;
        // Reset: counters cleared, capture dropped; the done line tells power afterwards.
        pulseTaken_ = true;
        doneLine_ = !opt_.power;
        counter_ = Counter::Stop;
        stopPulses_ = 0;
        stopLoaded_ = false;
        readChannel_ = 0;
        readPos_ = 0;
        capture_.abort();
        gen_.reset(nowNs());
        return;
    case cmd::ClearConfig:
        if (pulseTaken_) break;
        pulseTaken_ = true;
        counter_ = Counter::Config;
        configCount_ = 0;
        configPulses_ = 0;
        return;
    case cmd::OpenCount:
        if (counter_ == Counter::Config) {
            if (++configPulses_ == 16) report("more than 15 configuration pulses");
            configCount_ = (configCount_ + 1) & 0x0F;
            return;
        }
        if (counter_ == Counter::Stop) {
            if (++stopPulses_ == cmd::MemorySize + 1) report("more than 32768 stop counter pulses");
            return;
        }
        break;
    default:
        if (!pulseTaken_) {
            // Pulses after 00H, 03H, 0BH start their own actions (capture and
            // generator models); a lone pulse is accepted.
            pulseTaken_ = true;
            if (command_ == cmd::GenSelect) gen_.select();
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
    readPos_ = (readPos_ + 1) & cmd::AddressMask;
}

} // namespace sim
