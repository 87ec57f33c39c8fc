#pragma once
// The sampling side of the simulated WQK01: two 8-bit converters that sample the
// inputs at the coded rate in simulated time into two 32K memories, an instant
// start, and a trigger comparator on the chosen source and slope.
//
// The memories are kept in read order: position 32767 holds the newest sample and
// position 0 the oldest. A capture ends `samples` samples after its start (the
// instant start command, or the trigger sample), so the start sample sits at
// position 32768 - samples and the positions below it hold what came before, as a
// recorder that never stops sampling would have kept it.
#include "device/commands.h"
#include "sim/inputs.h"

#include <array>
#include <cstdint>
#include <memory>

namespace sim {

class CaptureModel {
  public:
    using Memory = std::array<uint8_t, cmd::MemorySize>;
    enum class State { Idle, Sampling, Armed, Triggered, Done };

    // rateFactor: 1.0 for the 20 MHz model, 1.5 for the 30 MHz model.
    explicit CaptureModel(double rateFactor = 1.0, bool channelB = true);

    void setInput(int channel, std::shared_ptr<const Input> in); // 0 = A, 1 = B
    const Input& input(int channel) const { return *inputs_[channel & 1]; }

    // Samples per second of a rate code 1..5: factor x 2000 x 10^(5 - code); 0 for others.
    static double rateOf(int code, double factor);
    // 8-bit code of v on the 1.2 V (rangeHigh false) or 12 V full scale, clipped.
    static int toCode(double v, bool rangeHigh);

    // Instrument events. `config` is the latched channel configuration: bit 0 A DC,
    // bit 1 A on 12 V, bit 2 B DC, bit 3 B on 12 V. `samples` is how many samples the
    // stop counter lets through after the start.
    void startInstant(int64_t nowNs, int rateCode, int samples, int config);
    // flags: 40H source B, 80H falling slope. A re-arm while the capture after a
    // trigger is still running is ignored, so slow captures can finish.
    void arm(int64_t nowNs, int rateCode, int flags, int level, int samples, int config);
    void abort(); // a capture in progress is dropped; a finished one stays

    // Brings the model to simulated time nowNs; true once the capture has finished.
    bool update(int64_t nowNs);
    State state() const { return state_; }
    bool busy() const {
        return state_ == State::Sampling || state_ == State::Armed || state_ == State::Triggered;
    }

    // Fills both memories as a capture whose last sample has index lastK, counted at
    // `rate` from originNs, with the channel configuration `config`. The generator's
    // combined sweep records through this as well. The samples are worked out when
    // they are first read, block by block, so a short read-out costs only its part.
    void record(int64_t originNs, double rate, int64_t lastK, int config);
    // One sample of a memory (0 = A, 1 = B) at a position 0..32767.
    uint8_t read(int channel, int pos) {
        const int block = pos >> BlockBits;
        if (!(filled_[channel] & (uint64_t(1) << block))) fillBlock(channel, block);
        return mem_[channel][pos];
    }

    // Code of sample k of a channel, counted at `rate` from originNs.
    int sampleCode(int channel, int64_t originNs, double rate, int64_t k, int config) const;

    // The whole memory, every sample worked out.
    Memory& memoryA() { return full(0); }
    Memory& memoryB() { return full(1); }

    // The last capture, for tests: origin, rate and index of the trigger sample (-1 when
    // none).
    int64_t originNs() const { return originNs_; }
    double rate() const { return rate_; }
    int64_t triggerSample() const { return trigK_; }
    int level() const { return level_; }
    int flags() const { return flags_; }
    // True when the armed trigger can never fire (the level lies outside what the
    // source can reach).
    bool unreachable() const { return never_; }

    // Extra time before the done line rises, as a slower instrument would take.
    void setDoneDelayNs(int64_t ns) { extraDelayNs_ = ns; }

  private:
    static constexpr int BlockBits = 9; // 64 blocks of 512 samples
    static constexpr uint64_t AllFilled = ~uint64_t(0);
    void fillBlock(int channel, int block);
    Memory& full(int channel);
    double timeOf(int64_t originNs, double rate, int64_t k) const;
    void search(int64_t nowNs);
    void finish();

    double factor_;
    bool channelB_;
    std::shared_ptr<const Input> inputs_[2];
    Memory mem_[2];
    // The recording whose samples are still to be worked out, and which blocks of
    // each memory hold them already.
    struct Recording {
        int64_t originNs = 0;
        double rate = 0;
        int64_t lastK = 0;
        int config = 0;
    } rec_;
    uint64_t filled_[2] = {AllFilled, AllFilled};
    State state_ = State::Idle;
    int64_t originNs_ = 0;
    double rate_ = 0;
    int samples_ = 0;
    int config_ = 0;
    int flags_ = 0;
    int level_ = 0;
    bool never_ = false;
    int64_t searchedK_ = 0;
    int prevCode_ = 0;
    int64_t trigK_ = -1;
    int64_t doneAtNs_ = 0;
    int64_t extraDelayNs_ = 0;
};

} // namespace sim
