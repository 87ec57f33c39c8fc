#include "sim/capture_model.h"

#include <algorithm>
#include <cmath>

namespace sim {

namespace {
// Volts per code step on the 1.2 V range (128 steps for 1.2 V); ten times that on 12 V.
constexpr double StepLow = 1.2 / 128;
// How many samples one status read may search for a trigger, so a level that only the
// noise can reach costs bounded time per poll.
constexpr int64_t SearchPerUpdate = int64_t(1) << 21;

// Code that left the upper halves of the AVX registers dirty (some libraries do)
// makes every SSE instruction after it pay a transition penalty, here eight times the
// work of the sample loops. Clearing them first costs nothing.
inline void cleanVectorState() {
#if defined(__x86_64__) && !defined(__AVX__) && (defined(__GNUC__) || defined(__clang__))
    static const bool avx = __builtin_cpu_supports("avx");
    if (avx) asm volatile("vzeroupper" ::: "memory");
#endif
}

// The channel configuration's bits: 1 A DC, 2 A on 12 V, 4 B DC, 8 B on 12 V.
bool dcCoupled(int config, int ch) {
    return config & (ch == 0 ? 1 : 4);
}
bool highRange(int config, int ch) {
    return config & (ch == 0 ? 2 : 8);
}
} // namespace

CaptureModel::CaptureModel(double rateFactor, bool channelB)
    : factor_(rateFactor), channelB_(channelB) {
    inputs_[0] = makeInput(defaultInputA(), 0.01, 1);
    inputs_[1] = makeInput(defaultInputB(), 0.01, 2);
    mem_[0].fill(128);
    mem_[1].fill(128);
}

void CaptureModel::setInput(int channel, std::shared_ptr<const Input> in) {
    if (!in) return;
    // What was recorded keeps the signal it was recorded from.
    full(0);
    full(1);
    inputs_[channel & 1] = std::move(in);
}

double CaptureModel::rateOf(int code, double factor) {
    if (code < 1 || code > 5) return 0;
    return factor * 2000.0 * std::pow(10.0, 5 - code);
}

int CaptureModel::toCode(double v, bool rangeHigh) {
    const double step = rangeHigh ? StepLow * 10 : StepLow;
    const double c = std::nearbyint(128 + v / step);
    if (!(c > 0)) return 0; // also catches NaN
    return c > 255 ? 255 : int(c);
}

double CaptureModel::timeOf(int64_t originNs, double rate, int64_t k) const {
    return double(originNs) * 1e-9 + double(k) / rate;
}

int CaptureModel::sampleCode(int ch, int64_t originNs, double rate, int64_t k, int config) const {
    if (ch == 1 && !channelB_) return 128;
    const Input& in = *inputs_[ch & 1];
    double v = in.volts(timeOf(originNs, rate, k));
    if (!dcCoupled(config, ch)) v -= in.dc();
    return toCode(v, highRange(config, ch));
}

void CaptureModel::startInstant(int64_t nowNs, int rateCode, int samples, int config) {
    rate_ = rateOf(rateCode, factor_);
    if (rate_ <= 0 || samples <= 0) {
        state_ = State::Idle;
        return;
    }
    originNs_ = nowNs;
    samples_ = samples;
    config_ = config;
    flags_ = 0;
    trigK_ = -1;
    never_ = false;
    doneAtNs_ = originNs_ + int64_t(std::ceil(double(samples) * 1e9 / rate_)) + extraDelayNs_;
    state_ = State::Sampling;
}

void CaptureModel::arm(int64_t nowNs, int rateCode, int flags, int level, int samples, int config) {
    // Once triggered, the capture runs to its end; a re-arm only restarts the wait.
    if (state_ == State::Triggered) return;
    rate_ = rateOf(rateCode, factor_);
    if (rate_ <= 0 || samples <= 0) {
        state_ = State::Idle;
        return;
    }
    originNs_ = nowNs;
    samples_ = samples;
    config_ = config;
    flags_ = flags & cmd::QualifierMask;
    level_ = level & 0xFF;
    trigK_ = -1;
    searchedK_ = 0;
    const int src = (flags_ & cmd::SourceB) ? 1 : 0;
    prevCode_ = sampleCode(src, originNs_, rate_, 0, config_);
    // The comparator needs a value below the level and one at or above it.
    if (src == 1 && !channelB_) {
        never_ = true;
    } else {
        const Input& in = *inputs_[src];
        const double shift = dcCoupled(config_, src) ? 0 : in.dc();
        const bool high = highRange(config_, src);
        const int lo = toCode(in.minVolts() - shift, high),
                  hi = toCode(in.maxVolts() - shift, high);
        never_ = !(lo < level_ && level_ <= hi);
    }
    state_ = State::Armed;
}

void CaptureModel::abort() {
    if (busy()) state_ = State::Idle;
}

void CaptureModel::search(int64_t nowNs) {
    if (never_ || nowNs <= originNs_) return;
    const int64_t reached = int64_t(std::floor(double(nowNs - originNs_) * rate_ * 1e-9));
    const int64_t last = std::min(reached, searchedK_ + SearchPerUpdate);
    const int src = (flags_ & cmd::SourceB) ? 1 : 0;
    const bool falling = flags_ & cmd::Falling;
    cleanVectorState();
    for (int64_t k = searchedK_ + 1; k <= last; ++k) {
        const int c = sampleCode(src, originNs_, rate_, k, config_);
        const bool crossed =
            falling ? (prevCode_ >= level_ && c < level_) : (prevCode_ < level_ && c >= level_);
        prevCode_ = c;
        if (crossed) {
            searchedK_ = k;
            trigK_ = k;
            doneAtNs_ =
                originNs_ + int64_t(std::ceil(double(k + samples_) * 1e9 / rate_)) + extraDelayNs_;
            state_ = State::Triggered;
            return;
        }
    }
    searchedK_ = std::max(searchedK_, last);
}

bool CaptureModel::update(int64_t nowNs) {
    if (state_ == State::Armed) search(nowNs);
    if ((state_ == State::Sampling || state_ == State::Triggered) && nowNs >= doneAtNs_) finish();
    return state_ == State::Done;
}

void CaptureModel::finish() {
    const int64_t start = trigK_ >= 0 ? trigK_ : 0;
    record(originNs_, rate_, start + samples_ - 1, config_);
    state_ = State::Done;
}

void CaptureModel::record(int64_t originNs, double rate, int64_t lastK, int config) {
    if (rate <= 0) return;
    rec_ = Recording{originNs, rate, lastK, config};
    filled_[0] = filled_[1] = 0;
}

void CaptureModel::fillBlock(int ch, int block) {
    cleanVectorState();
    const int64_t first = rec_.lastK - (cmd::MemorySize - 1);
    const int from = block << BlockBits, to = from + (1 << BlockBits);
    Memory& m = mem_[ch];
    for (int p = from; p < to; ++p)
        m[p] = uint8_t(sampleCode(ch, rec_.originNs, rec_.rate, first + p, rec_.config));
    filled_[ch] |= uint64_t(1) << block;
}

CaptureModel::Memory& CaptureModel::full(int ch) {
    for (int b = 0; b < (cmd::MemorySize >> BlockBits); ++b)
        if (!(filled_[ch] & (uint64_t(1) << b))) fillBlock(ch, b);
    return mem_[ch];
}

} // namespace sim
