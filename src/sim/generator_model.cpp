#include "sim/generator_model.h"

#include "device/commands.h"

#include <algorithm>
#include <cmath>

namespace sim {

namespace {
double volts(int code) {
    return code * 2.0 / 255.0;
}
double tauNs(double cornerHz) {
    return 1e9 / (2 * M_PI * cornerHz);
}
} // namespace

// A stretch of output from t0 on: a held level, or the memory played from address 0 at
// a fixed step, once or without end. The RC output is exact for the stepped DAC signal:
// over a step of length h with input x, y := x + (y - x) a, a = exp(-h / RC). Each
// low-pass keeps its own start value and knots.
struct GeneratorModel::Segment {
    double t0 = 0;
    bool play = false, once = false;
    int holdCode = 0;
    double step = 0;
    std::vector<int> codes; // played points
    double meanCode = 0;
    struct Filter {
        double tau = 1;
        double y0 = 0;             // low-pass output at t0
        std::vector<double> knots; // low-pass at step boundaries: periodic steady state
                                   // (continuous) or the run itself (once)
    };
    std::vector<Filter> filters;

    static Segment hold(double t0, int code) {
        Segment s;
        s.t0 = t0;
        s.holdCode = code;
        return s;
    }

    void prepare() {
        double sum = 0;
        for (int c : codes)
            sum += c;
        meanCode = codes.empty() ? 0 : sum / double(codes.size());
    }

    void prepare(Filter& f) const {
        if (!play) return;
        const int n = int(codes.size());
        const double a = std::exp(-step / f.tau);
        if (once) {
            f.knots.resize(n + 1);
            f.knots[0] = f.y0;
            for (int p = 0; p < n; ++p)
                f.knots[p + 1] = volts(codes[p]) + (f.knots[p] - volts(codes[p])) * a;
            return;
        }
        // One period from 0 gives s0 (1 - a^n); the steady state then follows.
        double v = 0;
        for (int p = 0; p < n; ++p)
            v = volts(codes[p]) + (v - volts(codes[p])) * a;
        f.knots.resize(n);
        f.knots[0] = v / (1 - std::pow(a, n));
        for (int p = 0; p + 1 < n; ++p)
            f.knots[p + 1] = volts(codes[p]) + (f.knots[p] - volts(codes[p])) * a;
    }

    double end() const { return t0 + double(codes.size()) * step; }

    // Mean code of what this stretch puts out (worked out once: AC coupling asks for it
    // at every sample).
    double mean() const { return play ? meanCode : holdCode; }

    int code(double t) const {
        if (!play) return holdCode;
        const double n = std::floor((t - t0) / step);
        if (once) return codes[size_t(std::clamp(n, 0.0, double(codes.size() - 1)))];
        return codes[size_t(std::fmod(std::max(n, 0.0), double(codes.size())))];
    }

    double lowpass(double t, const Filter& f) const {
        const double tau = f.tau;
        if (!play) {
            const double x = volts(holdCode);
            return x + (f.y0 - x) * std::exp(-std::max(0.0, t - t0) / tau);
        }
        const double len = double(codes.size());
        double n = std::max(0.0, std::floor((t - t0) / step));
        if (once && n >= len) {
            // After the sweep the DAC holds its last point.
            const double x = volts(codes.back());
            return x + (f.knots.back() - x) * std::exp(-(t - end()) / tau);
        }
        const size_t p = size_t(once ? n : std::fmod(n, len));
        const double yn =
            once ? f.knots[p] : f.knots[p] + std::exp(-n * step / tau) * (f.y0 - f.knots[0]);
        const double x = volts(codes[p]);
        return x + (yn - x) * std::exp(-(t - t0 - n * step) / tau);
    }
};

GeneratorModel::GeneratorModel(double rateFactor) : rateFactor_(rateFactor) {
    cur_ = std::make_unique<Segment>(Segment::hold(0, 0));
    addLowpass(CornerHz);
}

int GeneratorModel::addLowpass(double cornerHz) {
    const double tau = tauNs(cornerHz);
    for (size_t i = 0; i < tausNs_.size(); ++i)
        if (tausNs_[i] == tau) return int(i);
    tausNs_.push_back(tau);
    // The stretches already begun take the new filter as settled on their start level.
    for (Segment* seg : {prev_.get(), cur_.get()}) {
        if (!seg) continue;
        Segment::Filter f;
        f.tau = tau;
        f.y0 = volts(seg->play ? int(std::lround(seg->meanCode)) : seg->holdCode);
        seg->prepare(f);
        seg->filters.push_back(std::move(f));
    }
    return int(tausNs_.size() - 1);
}

GeneratorModel::~GeneratorModel() = default;

double GeneratorModel::stepRate(int rateCode) const {
    if (rateCode < 1 || rateCode > 5) return 0;
    return 2000.0 * std::pow(10.0, 5 - rateCode) * rateFactor_;
}

const GeneratorModel::Segment* GeneratorModel::segmentAt(double tNs) const {
    if (tNs < cur_->t0 && prev_) return prev_.get();
    return cur_.get();
}

void GeneratorModel::begin(std::unique_ptr<Segment> seg) {
    if (seg->play) seg->prepare();
    for (size_t i = 0; i < tausNs_.size(); ++i) {
        Segment::Filter f;
        f.tau = tausNs_[i];
        f.y0 = filtered(seg->t0, int(i));
        seg->prepare(f);
        seg->filters.push_back(std::move(f));
    }
    prev_ = std::move(cur_);
    cur_ = std::move(seg);
}

void GeneratorModel::reset(int64_t nowNs) {
    mode_ = Mode::Idle;
    endTaken_ = false;
    selected_ = false;
    doneAtNs_ = -1;
    begin(std::make_unique<Segment>(Segment::hold(double(nowNs), 0)));
}

bool GeneratorModel::command(int first, int c, int64_t nowNs, int lengthCount, const Memory& mem) {
    const bool cont = c == cmd::Continuous, sweep = c == cmd::Sweep;
    if (!cont && !sweep) return false;
    // The first of the two writes carries 00H: it only prepares the start.
    if (first == 0) return false;
    const int rateCode = sweep ? first - cmd::SweepRateOffset : first;
    const double rate = stepRate(rateCode);
    if (rate == 0) {
        if (report) report("generator started with an invalid rate code");
        return false;
    }
    if (!selected_ && report) report("generator started without its output selected (0BH)");
    // The length counter counts up from its loaded value: the points up to the last
    // index are played, 32768 minus the count, plus the point at index 0.
    const int points = std::clamp(MemorySize - lengthCount + 1, 1, MemorySize);
    auto seg = std::make_unique<Segment>();
    seg->t0 = double(nowNs);
    seg->play = true;
    seg->once = sweep;
    seg->step = 1e9 / rate;
    seg->codes.assign(mem.begin(), mem.begin() + points);
    begin(std::move(seg));
    if (cont) {
        mode_ = Mode::Continuous;
        doneAtNs_ = -1;
        return false;
    }
    mode_ = Mode::Sweep;
    endTaken_ = false;
    plan_.startNs = nowNs;
    plan_.stepNs = 1e9 / rate;
    plan_.points = points;
    plan_.delay = rateCode == 1 ? 4 : 1;
    plan_.firstAddress = lengthCount & (MemorySize - 1);
    doneAtNs_ = nowNs + int64_t(std::ceil((points + plan_.delay) * plan_.stepNs));
    return true;
}

bool GeneratorModel::sweepDone(int64_t nowNs) const {
    return mode_ == Mode::Sweep && doneAtNs_ >= 0 && nowNs >= doneAtNs_;
}

bool GeneratorModel::takeSweepEnd(int64_t nowNs) {
    if (!sweepRunning() || !sweepDone(nowNs)) return false;
    endTaken_ = true;
    return true;
}

double GeneratorModel::meanVolts() const {
    return volts(1) * cur_->mean();
}

int GeneratorModel::outputCode(double tNs) const {
    return segmentAt(tNs)->code(tNs);
}

double GeneratorModel::filtered(double tNs, int filter) const {
    const Segment* seg = segmentAt(tNs);
    return seg->lowpass(tNs,
                        seg->filters[size_t(std::clamp(filter, 0, int(seg->filters.size()) - 1))]);
}

void GeneratorModel::fillSweep(Memory& a, Memory& b,
                               const std::function<uint8_t(int, double)>& sample) const {
    for (int k = -plan_.delay; k < plan_.points; ++k) {
        const double t = plan_.sampleTimeNs(k);
        a[size_t(plan_.address(k))] = sample(0, t);
        b[size_t(plan_.address(k))] = sample(1, t);
    }
}

namespace {

uint64_t mix(uint64_t x) {
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

// The output, through a low-pass or as it leaves the DAC, with triangular noise of
// +/- noise_, a function of the time on a 10 ps grid.
class GeneratorInput : public Input {
  public:
    GeneratorInput(const GeneratorModel& g, double noise, uint32_t seed, int filter)
        : g_(g), noise_(noise), seed_(seed), filter_(filter) {}
    double volts(double t) const override {
        const double v = filter_ < 0 ? g_.output(t * 1e9) : g_.filtered(t * 1e9, filter_);
        return v + noise(t);
    }
    // The mean of what plays: AC coupling takes it away.
    double dc() const override { return g_.meanVolts(); }
    // Whatever plays, the output stays within the DAC's 0..2 V.
    double minVolts() const override { return -noise_; }
    double maxVolts() const override { return 2.0 + noise_; }

  private:
    double noise(double t) const {
        if (noise_ <= 0) return 0;
        const uint64_t h = mix(uint64_t(std::llround(t * 1e11)) ^ (uint64_t(seed_) << 40));
        const double u1 = double(h & 0xFFFFFFFFu) / 4294967295.0;
        const double u2 = double(h >> 32) / 4294967295.0;
        return (u1 + u2 - 1.0) * noise_;
    }
    const GeneratorModel& g_;
    double noise_;
    uint32_t seed_;
    int filter_; // -1: the DAC itself
};

double noiseOrNone(double v) {
    return std::isfinite(v) && v > 0 ? v : 0;
}

} // namespace

std::shared_ptr<const Input> makeGeneratorInput(GeneratorModel& g, double noiseVolts, uint32_t seed,
                                                double cornerHz) {
    const int filter = g.addLowpass(cornerHz);
    return std::make_shared<GeneratorInput>(g, noiseOrNone(noiseVolts), seed, filter);
}

std::shared_ptr<const Input> makeDacInput(const GeneratorModel& g, double noiseVolts,
                                          uint32_t seed) {
    return std::make_shared<GeneratorInput>(g, noiseOrNone(noiseVolts), seed, -1);
}

} // namespace sim
