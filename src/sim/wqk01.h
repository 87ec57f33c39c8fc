#pragma once
// The simulated WQK01: a register-level model of the instrument behind the Port
// interface. It decodes the write patterns and command bytes the program sends,
// keeps its own counters and memories, samples its inputs in simulated time (the
// clock in use), records port accesses on request and reports misuse of the protocol.
//
// Read-out: selecting a memory for reading (04H for A, 44H for B) starts its read at
// its first sample, and every read clock advances it, wrapping at 32768. Each channel's
// skip therefore counts from the start of its own memory, and A and B come back offset
// by the difference of their skips (the pretrigger, or the sweep's converter lag).
#include "platform/port.h"
#include "sim/capture_model.h"
#include "sim/generator_model.h"
#include "sim/inputs.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace sim {

struct Options {
    int model = 20;        // 20 (20 MHz) or 30 (30 MHz, rates x1.5)
    bool channelB = true;  // channel B fitted
    bool generator = true; // generator fitted
    bool power = true;     // instrument powered
    bool present = true;   // false: nothing on the port, status ignores the data lines
    int lpt = 1;           // the port the instrument hangs on (1..3)
    InputSpec inputA = defaultInputA();
    InputSpec inputB = defaultInputB();
    double noise = 0.01; // V of noise on both inputs
    // How long each port access takes, as on a real port (an ISA or LPC parallel port
    // takes about 1000 ns); 0: as fast as the simulation runs.
    int64_t latencyNs = 0;
};

struct Access {
    bool write;
    uint16_t address;
    uint8_t value;
};

class Wqk01 : public plat::PortBackend {
  public:
    static constexpr int MemorySize = GeneratorModel::MemorySize;
    explicit Wqk01(Options o = {});

    // PortBackend
    bool initialize() override { return true; }
    void shutdown() override {}
    void out(uint16_t address, uint8_t value) override;
    uint8_t in(uint16_t address) override;
    std::string name() const override;

    const Options& options() const { return opt_; }
    int base() const { return base_; }
    // Status bits 4..7 that follow data bit 7: model code and the two options.
    uint8_t detectionBits() const;

    // Access log, off by default; each access costs one entry while it is on.
    void setLogging(bool on) { logging_ = on; }
    const std::vector<Access>& log() const { return log_; }
    void clearLog() { log_.clear(); }
    // Writes only, as (address, value) pairs, for comparing sequences.
    std::vector<std::pair<int, int>> writes() const;
    const std::vector<std::string>& misuse() const { return misuse_; }
    void clearMisuse() { misuse_.clear(); }
    // Port accesses since construction (always counted; cheap).
    uint64_t accessCount() const { return accesses_; }

    // Decoded instrument state, for tests.
    enum class Counter { None, Config, Stop };
    int lastCommand() const { return command_; }
    int channelConfig() const { return configLatched_; }
    int stopCounter() const { return stopCount_; }
    bool stopLoaded() const { return stopLoaded_; }
    int comparatorLevel() const { return level_; }
    int commandCount(int command) const { return cmdCount_[command & 0xFF]; }
    const std::array<uint8_t, MemorySize>& generatorMemory() const { return genMem_; }
    int generatorWritePos() const { return genWritePos_; }
    std::array<uint8_t, 32768>& memoryA() { return capture_.memoryA(); }
    std::array<uint8_t, 32768>& memoryB() { return capture_.memoryB(); }
    int readChannel() const { return readChannel_; } // 0 none, 1 A, 2 B
    int readPos() const { return readPos_; }         // read address in the selected memory
    // Samples a capture takes after its start, from the stop counter.
    int samplesToTake() const { return MemorySize - (stopCount_ & (MemorySize - 1)); }
    CaptureModel& capture() { return capture_; }
    GeneratorModel& generator() { return gen_; }
    // Replaces the signal on an input (0 = A, 1 = B).
    void setInput(int channel, std::shared_ptr<const Input> in) {
        capture_.setInput(channel, std::move(in));
    }

    // Hooks for the parts of the model that play waves.
    std::function<void(int firstPhase, int command)> onCommand;
    std::function<bool()> onPulse; // true when the hook took the pulse
    std::function<void(uint8_t)> onStrobe;
    std::function<uint8_t()> statusDone; // extra status bit 3 source (08H or 0)

    void report(const std::string& what) { misuse_.push_back(what); }
    // Simulated time in ns (the clock in use).
    static int64_t nowNs();

  private:
    void write(uint16_t address, uint8_t value);
    uint8_t read(uint16_t address);
    // The access begun at startNs holds the program until its latency has passed.
    void finishAccess(int64_t startNs) const;
    void command(int first, int c);
    void pulse();
    void readClock();
    void selectChannel(int ch);
    bool canStart(const char* what);
    void startGenerator(int first, int c);
    std::shared_ptr<const Input> inputFor(const InputSpec& signal, uint32_t seed);

    Options opt_;
    int base_;
    uint8_t data_ = 0, control_ = 0, ecr_ = 0;
    int firstPhase_ = 0;
    int command_ = -1;
    bool pulseTaken_ = false;
    bool doneLine_ = false;
    Counter counter_ = Counter::None;
    int configCount_ = 0;
    int configPulses_ = 0;
    int configLatched_ = 0;
    int stopCount_ = 0;
    int stopPulses_ = 0;
    bool stopLoaded_ = false;
    int level_ = 0;
    bool genWrite_ = false;
    int genWritePos_ = 0;
    int readChannel_ = 0;
    int readPos_ = 0;
    std::array<uint8_t, MemorySize> genMem_{};
    std::array<int, 256> cmdCount_{};
    CaptureModel capture_;
    GeneratorModel gen_;
    bool logging_ = false;
    uint64_t accesses_ = 0;
    std::vector<Access> log_;
    std::vector<std::string> misuse_;
};

} // namespace sim
