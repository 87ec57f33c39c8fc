#pragma once
// The signals on the simulated instrument's two inputs. An input is a function of
// simulated time in volts; the capture model converts it (coupling, range, 8-bit
// clipping) when it samples. Other parts of the model (the generator output through
// its RC filter) plug in their own Input.
#include <cstdint>
#include <memory>
#include <string>

namespace sim {

class Input {
  public:
    virtual ~Input() = default;
    // Volts at simulated time t (seconds), noise included.
    virtual double volts(double t) const = 0;
    // The mean level: AC coupling removes it.
    virtual double dc() const = 0;
    // Lowest and highest value volts() can return, noise included. The trigger
    // uses them to tell at once that a level is never crossed.
    virtual double minVolts() const = 0;
    virtual double maxVolts() const = 0;
};

// What the command line and the tests choose for an input.
struct InputSpec {
    // Generator: the generator output through a first-order low-pass at cornerHz;
    // Dac: the generator output itself.
    enum class Kind { Sine, Square, RcSquare, Dc, Generator, Dac };
    Kind kind = Kind::Sine;
    double freq = 1000;      // Hz
    double peak = 1.0;       // V, half the peak-to-peak swing
    double offset = 0.0;     // V added to the wave (the dc level for Kind::Dc)
    double cornerHz = 10000; // RcSquare, Generator: corner of the first-order low-pass
};

// Channel A: 1 kHz sine of 1 V peak.
InputSpec defaultInputA();
// Channel B: the generator output through a 10 kHz first-order RC low-pass.
InputSpec defaultInputB();
// What stands in for the generator output on an instrument without generator: a 1 kHz
// square between 0 and 2 V, through a low-pass of `signal`'s corner for Generator, as
// it is for Dac.
InputSpec generatorStandIn(const InputSpec& signal = defaultInputB());

// Parses "sine:FREQ:PEAK[:OFFSET]", "square:FREQ:PEAK[:OFFSET]",
// "rc-square:FREQ:PEAK[:OFFSET[:CORNER]]", "dc:VOLTS", "off" (0 V), "gen[:CORNER]" (the
// generator output through a low-pass, 10 kHz by default) or "dac" (the generator
// output itself).
// Returns false with a message for anything else or for values out of range.
bool parseInput(const std::string& text, InputSpec& out, std::string& error);
std::string inputHelp();

// noiseVolts: bounded noise added to every value (a triangular spread of +/- that
// much), a deterministic function of the time and the seed.
std::shared_ptr<const Input> makeInput(const InputSpec& signal, double noiseVolts, uint32_t seed);

} // namespace sim
