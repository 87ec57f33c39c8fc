#pragma once
// The signal generator of the simulated WQK01. It plays the generator memory through
// the DAC (code 0 = 0 V, 255 = 2 V) at the coded step rate, either without end
// (continuous output) or once while the inputs are sampled (combined sweep), and it
// offers the output through first-order RC low-passes (10 kHz unless an input asks for
// another corner; channel B's default input). The core tells it the decoded commands;
// times are simulated ns.
#include "device/commands.h"
#include "sim/inputs.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace sim {

class GeneratorModel {
  public:
    static constexpr double CornerHz = 10000; // RC low-pass corner of filter 0
    static constexpr int MemorySize = cmd::MemorySize;
    using Memory = std::array<uint8_t, MemorySize>;

    explicit GeneratorModel(double rateFactor = 1.0);
    ~GeneratorModel();

    // Misuse of the protocol is reported here (the core's misuse list).
    std::function<void(const std::string&)> report;

    // 07H + pulse: the instrument resets; the generator stops and its DAC goes to 0 V.
    void reset(int64_t nowNs);
    // 0BH + pulse: the generator output is selected for the next start.
    void select() { selected_ = true; }
    // A decoded command. 26H with a rate code 1..5 in the first phase starts continuous
    // output; 22H with rate code + 8 starts one sweep. `lengthCount` is the count loaded
    // into the length counter (32768 minus the last index). Returns true when a sweep
    // started: the core then fills its sample memories with fillSweep.
    bool command(int first, int c, int64_t nowNs, int lengthCount, const Memory& mem);

    enum class Mode { Idle, Continuous, Sweep };
    Mode mode() const { return mode_; }
    // Status bit 3 after a sweep: the sweep and its sampling are over.
    bool sweepDone(int64_t nowNs) const;
    // A sweep has started and its end has not been taken yet.
    bool sweepRunning() const { return mode_ == Mode::Sweep && !endTaken_; }
    // True once, at the first call at or after the end of a sweep: the instrument then
    // raises its done line and sets its read address to the start.
    bool takeSweepEnd(int64_t nowNs);

    // DAC code and volts at the output at time t (after the last start or reset).
    int outputCode(double tNs) const;
    double output(double tNs) const { return outputCode(tNs) * 2.0 / 255.0; }
    // Adds a low-pass with its own corner and returns its number (filter 0, 10 kHz,
    // always exists). Best added before the output first changes: the new filter starts
    // from the level the output holds now.
    int addLowpass(double cornerHz);
    // The output through a low-pass, in volts.
    double filtered(double tNs, int filter = 0) const;
    // Mean output of what is playing now (or the held level), in volts.
    double meanVolts() const;

    // Layout of a combined sweep in the sample memories: the sample taken while point k
    // plays (k = -delay .. points - 1, in the middle of its step) lands at address
    // (firstAddress + k + delay) mod 32768. The converters lag the DAC by `delay` steps,
    // 4 at the fastest rate and 1 otherwise.
    struct SweepPlan {
        int64_t startNs = 0;
        double stepNs = 0;
        int points = 0;
        int delay = 0;
        int firstAddress = 0;
        double sampleTimeNs(int k) const { return startNs + (k + 0.5) * stepNs; }
        int address(int k) const { return (firstAddress + k + delay) & (MemorySize - 1); }
    };
    const SweepPlan& sweepPlan() const { return plan_; }
    // Writes the samples of the last sweep into the two memories. sample(channel, t)
    // gives the converter code of channel 0 (A) or 1 (B) at time t.
    void fillSweep(Memory& a, Memory& b,
                   const std::function<uint8_t(int channel, double tNs)>& sample) const;

    // Step clock of a hardware rate code 1..5 in steps per second (0 when invalid).
    double stepRate(int rateCode) const;

  private:
    struct Segment;
    void begin(std::unique_ptr<Segment> seg);
    const Segment* segmentAt(double tNs) const;

    double rateFactor_;
    std::vector<double> tausNs_; // RC of each low-pass
    bool selected_ = false;
    Mode mode_ = Mode::Idle;
    int64_t doneAtNs_ = -1;
    bool endTaken_ = false;
    SweepPlan plan_;
    std::unique_ptr<Segment> cur_, prev_;
};

// The generator output through an RC low-pass with the given corner as an instrument
// input, with the same kind of small deterministic noise as the other simulated
// signals. The model must outlive the input.
std::shared_ptr<const Input> makeGeneratorInput(GeneratorModel& g, double noiseVolts, uint32_t seed,
                                                double cornerHz = GeneratorModel::CornerHz);
// The generator output itself (the DAC's steps), with the same noise.
std::shared_ptr<const Input> makeDacInput(const GeneratorModel& g, double noiseVolts,
                                          uint32_t seed);

} // namespace sim
