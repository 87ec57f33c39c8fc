#include "sim/inputs.h"

#include <cmath>
#include <cstdlib>
#include <vector>

namespace sim {

namespace {

constexpr double TwoPi = 2 * M_PI; // the simulation is physics: the true pi

uint64_t mix(uint64_t x) {
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

// Fraction of a period at time t, in [0, 1), also for times before the clock started.
double phaseOf(double t, double freq) {
    double p = t * freq;
    return p - std::floor(p);
}

class Wave : public Input {
  public:
    Wave(const InputSpec& s, double noise, uint32_t seed) : s_(s), noise_(noise), seed_(seed) {}
    double volts(double t) const override { return clean(t) + noise(t); }
    double dc() const override { return s_.offset; }
    double minVolts() const override { return s_.offset - swing() - noise_; }
    double maxVolts() const override { return s_.offset + swing() + noise_; }

  protected:
    virtual double clean(double t) const = 0;
    virtual double swing() const { return s_.peak; }
    InputSpec s_;

  private:
    // Triangular spread of +/- noise_, a function of the time on a 10 ps grid, so the
    // same sample always reads the same.
    double noise(double t) const {
        if (noise_ <= 0) return 0;
        const uint64_t h = mix(uint64_t(std::llround(t * 1e11)) ^ (uint64_t(seed_) << 40));
        const double u1 = double(h & 0xFFFFFFFFu) / 4294967295.0;
        const double u2 = double(h >> 32) / 4294967295.0;
        return (u1 + u2 - 1.0) * noise_;
    }
    double noise_;
    uint32_t seed_;
};

class Sine : public Wave {
  public:
    using Wave::Wave;
    double clean(double t) const override {
        return s_.offset + s_.peak * std::sin(TwoPi * phaseOf(t, s_.freq));
    }
};

class Square : public Wave {
  public:
    using Wave::Wave;
    double clean(double t) const override {
        return s_.offset + (phaseOf(t, s_.freq) < 0.5 ? s_.peak : -s_.peak);
    }
};

class Dc : public Wave {
  public:
    using Wave::Wave;
    double clean(double) const override { return s_.offset; }
    double swing() const override { return 0; }
};

// A square through a first-order RC low-pass, in its steady state: each half period
// the output moves exponentially towards the new level and, by symmetry, ends where
// the other half started.
class RcSquare : public Wave {
  public:
    RcSquare(const InputSpec& s, double noise, uint32_t seed) : Wave(s, noise, seed) {
        tau_ = 1.0 / (TwoPi * s.cornerHz);
        half_ = 0.5 / s.freq;
        const double e = std::exp(-half_ / tau_);
        start_ = -s.peak * (1 - e) / (1 + e);
    }
    double clean(double t) const override {
        const double x = phaseOf(t, s_.freq) / s_.freq;
        double v;
        if (x < half_)
            v = s_.peak + (start_ - s_.peak) * std::exp(-x / tau_);
        else
            v = -s_.peak + (-start_ + s_.peak) * std::exp(-(x - half_) / tau_);
        return s_.offset + v;
    }
    double swing() const override { return -start_; }

  private:
    double tau_, half_, start_;
};

bool number(const std::string& text, double& out) {
    if (text.empty()) return false;
    char* end = nullptr;
    out = std::strtod(text.c_str(), &end);
    return end == text.c_str() + text.size() && std::isfinite(out);
}

// Hertz, with an optional k or M multiplier: 10k, 1.5M.
bool frequency(const std::string& text, double& out) {
    const char last = text.empty() ? 0 : text.back();
    const double factor = last == 'M' ? 1e6 : last == 'k' || last == 'K' ? 1e3 : 1;
    if (!number(factor == 1 ? text : text.substr(0, text.size() - 1), out)) return false;
    out *= factor;
    return true;
}

std::vector<std::string> split(const std::string& text) {
    std::vector<std::string> parts;
    std::string cur;
    for (char c : text) {
        if (c == ':') {
            parts.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    parts.push_back(cur);
    return parts;
}

} // namespace

InputSpec defaultInputA() {
    return InputSpec{};
}

InputSpec defaultInputB() {
    InputSpec s;
    s.kind = InputSpec::Kind::Generator;
    return s;
}

InputSpec generatorStandIn(const InputSpec& signal) {
    InputSpec s;
    s.kind =
        signal.kind == InputSpec::Kind::Dac ? InputSpec::Kind::Square : InputSpec::Kind::RcSquare;
    s.offset = 1.0;
    s.cornerHz = signal.cornerHz;
    return s;
}

std::string inputHelp() {
    return "sine:FREQ:PEAK[:OFFSET], square:FREQ:PEAK[:OFFSET], "
           "rc-square:FREQ:PEAK[:OFFSET[:CORNER]], dc:VOLTS, off, gen[:CORNER] or dac";
}

bool parseInput(const std::string& text, InputSpec& out, std::string& error) {
    const std::vector<std::string> p = split(text);
    InputSpec s;
    const std::string& kind = p[0];
    auto bad = [&](const std::string& why) {
        error = "input '" + text + "': " + why + " (expected " + inputHelp() + ")";
        return false;
    };
    if (kind == "off" && p.size() == 1) {
        s.kind = InputSpec::Kind::Dc;
        s.offset = 0;
        s.peak = 0;
        out = s;
        return true;
    }
    if (kind == "dac" && p.size() == 1) {
        s.kind = InputSpec::Kind::Dac;
        out = s;
        return true;
    }
    if (kind == "gen") {
        if (p.size() > 2) return bad("gen takes at most a corner frequency");
        s.kind = InputSpec::Kind::Generator;
        // Below a hundredth of a hertz the low-pass holds still over any capture, and
        // its steady state no longer resolves in double precision.
        if (p.size() == 2 &&
            (!frequency(p[1], s.cornerHz) || s.cornerHz < 0.01 || s.cornerHz > 1e9))
            return bad("corner frequency out of range (0.01 Hz to 1 GHz)");
        out = s;
        return true;
    }
    if (kind == "dc") {
        if (p.size() != 2) return bad("dc takes one value");
        s.kind = InputSpec::Kind::Dc;
        s.peak = 0;
        if (!number(p[1], s.offset) || std::fabs(s.offset) > 1000) return bad("volts out of range");
        out = s;
        return true;
    }
    if (kind == "sine")
        s.kind = InputSpec::Kind::Sine;
    else if (kind == "square")
        s.kind = InputSpec::Kind::Square;
    else if (kind == "rc-square")
        s.kind = InputSpec::Kind::RcSquare;
    else
        return bad("unknown kind");
    const size_t most = s.kind == InputSpec::Kind::RcSquare ? 5 : 4;
    if (p.size() < 3 || p.size() > most) return bad("wrong number of values");
    if (!frequency(p[1], s.freq) || s.freq <= 0 || s.freq > 100e6)
        return bad("frequency out of range");
    if (!number(p[2], s.peak) || s.peak < 0 || s.peak > 1000) return bad("peak out of range");
    if (p.size() > 3 && (!number(p[3], s.offset) || std::fabs(s.offset) > 1000))
        return bad("offset out of range");
    if (p.size() > 4 && (!frequency(p[4], s.cornerHz) || s.cornerHz <= 0 || s.cornerHz > 1e9))
        return bad("corner frequency out of range");
    out = s;
    return true;
}

std::shared_ptr<const Input> makeInput(const InputSpec& signal, double noiseVolts, uint32_t seed) {
    const double n = std::isfinite(noiseVolts) && noiseVolts > 0 ? noiseVolts : 0;
    switch (signal.kind) {
    case InputSpec::Kind::Square:
        return std::make_shared<Square>(signal, n, seed);
    case InputSpec::Kind::RcSquare:
        return std::make_shared<RcSquare>(signal, n, seed);
    case InputSpec::Kind::Dc:
        return std::make_shared<Dc>(signal, n, seed);
    case InputSpec::Kind::Generator:
        // Only the instrument knows its generator; on its own this is the stand-in.
        return std::make_shared<RcSquare>(generatorStandIn(signal), n, seed);
    case InputSpec::Kind::Dac:
        return std::make_shared<Square>(generatorStandIn(signal), n, seed);
    case InputSpec::Kind::Sine:
        break;
    }
    return std::make_shared<Sine>(signal, n, seed);
}

} // namespace sim
