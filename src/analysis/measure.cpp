#include "analysis/measure.h"

#include "app/instrument_state.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <vector>

namespace analysis {

namespace {

constexpr int Zero = InstrumentState::MidScale; // buffer value of 0 V
constexpr int16_t CodeLow = 0;                  // code 0
constexpr int16_t CodeHigh = 2550;              // code 255
constexpr double CodeStep = 10;                 // buffer units per converter code
constexpr double Low = 0.1, High = 0.9;         // rise and fall time levels
constexpr double Pi = M_PI;                     // measurements use the true pi
constexpr double NoSignal = 0.01;               // buffer units
// White noise has an AC power equal to the noise estimate's; a signal has at least as
// much again of its own.
constexpr double SignalPower = 2;
// The crossing band: three times the noise RMS each side of the mid level, at least
// half a code step, at most a quarter of the span (edges inflate the estimate of a
// square wave's noise; their crossings do not need a wide band).
constexpr double BandNoise = 3, MinBand = CodeStep / 2, MaxBand = 0.25;
// The crossings of a slow wave (periods longer than `Slow` samples) are timed again by
// a line through the samples within a tenth of the span of the mid level, if that is
// wider than the band: a fast wave has only two samples there anyway, and in the beat
// of one near half the sample rate the samples near the level alternate.
constexpr double FitReach = 0.1, Slow = 16;
// Above a third of the sample rate the frequency is taken from the mirror image.
constexpr double Mirror = 3; // samples per period
// A channel's component at the frequency against the noise energy in its bin: 20 dB.
constexpr double BinSnr = 100;
// The RMS of normal noise over its median absolute value.
constexpr double MadToRms = 1.4826;

// One complete transition through a band [lo, hi]: a rising one starts below lo and
// ends above hi. t1 and t2 are where it crossed two chosen levels on the way, in
// samples from the start of the trace.
struct Edge {
    bool rising;
    double t1, t2;
    size_t from, at; // the first sample past the band before it, the first beyond it
};

double cross(size_t i, double prev, double cur, double level) {
    return double(i - 1) + (level - prev) / (cur - prev);
}

// The time of the last crossing of `level` in the direction of travel among samples
// from .. i, the transition's own stretch.
double lastCross(const int16_t* x, size_t from, size_t i, double level, bool up) {
    for (size_t j = i; j > from; --j) {
        const double p = x[j - 1], v = x[j];
        if (up ? p < level && v >= level : p > level && v <= level) return cross(j, p, v, level);
    }
    return double(i);
}

// The first sample from i on above `level` (below it), or n. Blocks of 16 are tested
// whole first, which vectorises.
size_t firstAbove(const int16_t* x, size_t i, size_t n, int level) {
    for (; i + 16 <= n; i += 16) {
        bool any = false;
        for (size_t q = 0; q < 16; ++q)
            any |= x[i + q] > level;
        if (any) break;
    }
    while (i < n && x[i] <= level)
        ++i;
    return i;
}
size_t firstBelow(const int16_t* x, size_t i, size_t n, int level) {
    for (; i + 16 <= n; i += 16) {
        bool any = false;
        for (size_t q = 0; q < 16; ++q)
            any |= x[i + q] < level;
        if (any) break;
    }
    while (i < n && x[i] >= level)
        ++i;
    return i;
}

// Going back from i (at most to `from`): the index after the last sample below
// `level` (above it), or `from`.
size_t afterLastBelow(const int16_t* x, size_t from, size_t i, int level) {
    for (; i >= from + 16; i -= 16) {
        bool any = false;
        for (size_t q = 1; q <= 16; ++q)
            any |= x[i - q] < level;
        if (any) break;
    }
    while (i > from && x[i - 1] >= level)
        --i;
    return i;
}
size_t afterLastAbove(const int16_t* x, size_t from, size_t i, int level) {
    for (; i >= from + 16; i -= 16) {
        bool any = false;
        for (size_t q = 1; q <= 16; ++q)
            any |= x[i - q] > level;
        if (any) break;
    }
    while (i > from && x[i - 1] <= level)
        --i;
    return i;
}

// Where a transition crossed `level`: a straight line through its samples within
// `reach` of the level, from the last one below that (going up; above it going down)
// before the transition's end i to the first one beyond it after that. On a fast edge
// these are two samples and the line is the interpolation between them; on a slow or
// noisy one the line averages the noise, where the last crossing would be late by as
// long as the noise keeps the samples about the level, and a sine's bend, being odd
// about its crossing, does not move it.
double fittedCross(const int16_t* x, size_t n, size_t from, size_t i, double level, double reach,
                   bool up, size_t* start = nullptr) {
    const double lo = level - reach, hi = level + reach;
    // Whole samples: v < lo is v < ceil(lo), v > hi is v > floor(hi).
    const int below = int(std::ceil(lo)), above = int(std::floor(hi));
    const size_t j = up ? afterLastBelow(x, from, i, below) : afterLastAbove(x, from, i, above);
    if (start) *start = j;
    if (j == 0) return lastCross(x, from, i, level, up);
    const size_t first = j - 1;
    const size_t k = std::min(n - 1, up ? firstAbove(x, j, n, above) : firstBelow(x, j, n, below));
    double st = 0, sx = 0, stt = 0, stx = 0;
    for (size_t q = first; q <= k; ++q) {
        const double t = double(q - first), v = x[q];
        st += t;
        sx += v;
        stt += t * t;
        stx += t * v;
    }
    const double m = double(k - first + 1), d = m * stt - st * st;
    const double slope = (m * stx - st * sx) / d;
    if (!(up ? slope > 0 : slope < 0)) return lastCross(x, from, i, level, up);
    const double t = (st + (level * m - sx) / slope) / m;
    return double(first) + std::clamp(t, 0.0, m - 1);
}

// Only complete transitions count: the state is unknown until the trace has been
// outside the band once, so a trace that starts halfway up an edge does not count it.
// The forward search only compares with the band; each transition then looks back for
// its crossings (fittedCross), so every sample is visited a few times at most.
void scanEdges(const int16_t* x, size_t n, double lo, double hi, double at1, double at2,
               double reach, std::vector<Edge>& out) {
    // For whole-number samples v < lo is v < ceil(lo), and v > hi is v > floor(hi).
    const int below = int(std::ceil(lo)), above = int(std::floor(hi));
    size_t i = 0;
    while (i < n && x[i] >= below && x[i] <= above)
        ++i;
    if (i == n) return;
    bool low = x[i] < below;
    size_t entry = i;
    for (++i;; ++i) {
        i = low ? firstAbove(x, i, n, above) : firstBelow(x, i, n, below);
        if (i >= n) return;
        // The level passed last first: the other one lies before where its line starts.
        const bool oneLast = (at1 > at2) == low;
        size_t start = i;
        const double tl = fittedCross(x, n, entry, i, oneLast ? at1 : at2, reach, low, &start);
        const double te = at1 == at2 ? tl
                                     : fittedCross(x, n, entry, std::max(start, entry),
                                                   oneLast ? at2 : at1, reach, low);
        out.push_back({low, oneLast ? tl : te, oneLast ? te : tl, entry, i});
        low = !low;
        entry = i;
    }
}

// Extremes, mean and variance, and what the noise estimate needs: over the inner
// samples k = 1 .. n-2, the sums of x[k], of s[k] = x[k-1] + x[k+1] and of the
// products of the two.
struct Moments {
    int16_t lo = 0, hi = 0;
    double mean = 0, variance = 0;
    double sx = 0, ss = 0, xx = 0, xs = 0, sss = 0;
};

Moments momentsOf(const int16_t* x, size_t n) {
    Moments m;
    int lo = x[0], hi = x[0];
    for (size_t i = 0; i < n; ++i) {
        lo = std::min(lo, int(x[i]));
        hi = std::max(hi, int(x[i]));
    }
    m.lo = int16_t(lo);
    m.hi = int16_t(hi);
    int64_t s = 0, q = 0, p1 = 0, p2 = 0;
    if (lo >= CodeLow && hi <= CodeHigh) {
        // 256 products of two codes fit 32 bits, so the inner loops vectorise.
        for (size_t b = 0; b < n; b += 256) {
            const size_t e = std::min(n, b + 256);
            int32_t bs = 0, bq = 0, b1 = 0, b2 = 0;
            for (size_t i = b; i < e; ++i) {
                bs += x[i];
                bq += x[i] * x[i];
            }
            for (size_t i = std::max<size_t>(b, 1); i < e; ++i)
                b1 += x[i] * x[i - 1];
            for (size_t i = std::max<size_t>(b, 2); i < e; ++i)
                b2 += x[i] * x[i - 2];
            s += bs;
            q += bq;
            p1 += b1;
            p2 += b2;
        }
    } else {
        for (size_t i = 0; i < n; ++i) {
            const int64_t v = x[i];
            s += v;
            q += v * v;
            if (i >= 1) p1 += v * x[i - 1];
            if (i >= 2) p2 += v * x[i - 2];
        }
    }
    m.mean = double(s) / double(n);
    m.variance = std::max(0.0, double(q) / double(n) - m.mean * m.mean);
    if (n < 3) return m;
    // The whole-trace sums less the end samples each inner sum leaves out.
    const auto sq = [&](size_t i) { return double(x[i]) * x[i]; };
    const double a = x[0], b = x[1], y = x[n - 2], z = x[n - 1];
    m.sx = double(s) - a - z;
    m.ss = 2 * double(s) - a - b - y - z;
    m.xx = double(q) - sq(0) - sq(n - 1);
    m.xs = 2 * double(p1) - z * y - a * b;
    m.sss = 2 * double(q) - sq(0) - sq(1) - sq(n - 2) - sq(n - 1) + 2 * double(p2);
    return m;
}

// The noise RMS from the median of the second differences |x[k-1] + x[k+1] - 2 x[k]|:
// the edges of a square wave or a train of short pulses, which no two neighbours
// predict, move a median no more than the samples they touch. The differences of
// quantised samples are whole multiples of the step, so the median is taken within
// the step it falls in as if the values had been spread evenly over it, or a clean
// quantised trace would read no noise at all.
double medianNoise(const int16_t* x, size_t n) {
    if (n < 3) return INFINITY;
    bool coded = true; // every sample on the converter's steps
    for (size_t k = 0; k < n && coded; ++k)
        coded = (x[k] - x[0]) % int(CodeStep) == 0;
    const int step = coded ? int(CodeStep) : 1;
    std::vector<uint32_t> count(4096, 0); // the last counts everything beyond
    for (size_t k = 1; k + 1 < n; ++k) {
        const int r = std::abs(x[k - 1] + x[k + 1] - 2 * x[k]) / step;
        ++count[size_t(std::min(r, 4095))];
    }
    const double half = double(n - 2) / 2;
    double below = 0;
    size_t k = 0;
    while (k + 1 < count.size() && below + count[k] < half)
        below += count[k++];
    // Multiple k stands for |r| from k - 1/2 to k + 1/2 steps (0 to 1/2 for k = 0).
    const double from = k == 0 ? 0 : double(k) - 0.5, width = k == 0 ? 0.5 : 1;
    const double median = from + width * (half - below) / std::max(1u, count[k]);
    return MadToRms * median * step / std::sqrt(6.0);
}

// RMS of the noise, in buffer units: the error of the best straight-line prediction
// of x[k-1] + x[k+1] from x[k] (a sine obeys x[k-1] + x[k+1] = 2 cos(w) x[k] exactly,
// whatever its frequency), which is the noise times sqrt(2 + c^2) for the slope c. Edges
// and short pulses add to that mean square; where it leaves the trace less than 20 dB
// above its noise, the median of the second differences has a say.
double noiseOf(const int16_t* x, size_t n, const Moments& m) {
    if (n < 3 || !(m.variance > 0)) return 0;
    const double k = double(n - 2);
    const double vx = m.xx - m.sx * m.sx / k, vs = m.sss - m.ss * m.ss / k;
    const double cov = m.xs - m.sx * m.ss / k;
    if (!(vx > 0)) return 0;
    const double c = cov / vx, e = std::max(0.0, vs - cov * cov / vx) / k;
    const double ls = std::sqrt(e / (2 + c * c));
    return m.variance > BinSnr * ls * ls ? ls : std::min(ls, medianNoise(x, n));
}

// Period, duty and the span of whole periods from the mid-level crossings. The edge
// kind (rising or falling) that spans the longer time anchors the periods.
struct Periods {
    double first = 0, last = 0; // times of the first and last anchor edge
    int count = 0;              // whole periods between them
    double highTime = 0;        // time above the mid level within the single periods
    double singleTime = 0;      // time of the single periods (no crossing lost)
};

// An interval between anchors is a whole number of periods: one, or more where the
// crossings between were lost in the band. The median interval is the period.
Periods periodsOf(const std::vector<Edge>& edges) {
    Periods best;
    std::vector<double> gaps;
    for (bool rising : {true, false}) {
        const size_t first = edges.empty() || edges[0].rising == rising ? 0 : 1;
        if (first + 2 >= edges.size()) continue;
        const size_t last = first + (edges.size() - 1 - first) / 2 * 2;
        Periods p{edges[first].t1, edges[last].t1, 0, 0, 0};
        if (best.count > 0 && p.last - p.first <= best.last - best.first) continue;
        gaps.clear();
        for (size_t i = first; i < last; i += 2)
            gaps.push_back(edges[i + 2].t1 - edges[i].t1);
        std::vector<double> sorted = gaps;
        std::nth_element(sorted.begin(), sorted.begin() + long(sorted.size() / 2), sorted.end());
        const double period = sorted[sorted.size() / 2];
        for (size_t g = 0; g < gaps.size(); ++g) {
            const long whole = gaps[g] < 1.5 * period ? 1 : std::lround(gaps[g] / period);
            p.count += int(whole);
            if (whole != 1) continue;
            // Edges alternate: one edge of the other kind lies between two anchors.
            const size_t i = first + 2 * g;
            p.highTime +=
                rising ? edges[i + 1].t1 - edges[i].t1 : edges[i + 2].t1 - edges[i + 1].t1;
            p.singleTime += gaps[g];
        }
        best = p;
    }
    return best;
}

// A level in buffer units as volts, or none without a known range.
Reading voltsOf(double units, double voltsPerUnit) {
    const bool known = std::isfinite(voltsPerUnit) && voltsPerUnit > 0;
    return known ? Reading::of(units * voltsPerUnit) : Reading::none("unknown range");
}

// Why a trace has no frequency or edges before any crossing is looked for.
const char* signalReason(const Moments& mo, double noise) {
    if (mo.hi == mo.lo) return "flat trace";
    if (!(mo.variance > SignalPower * noise * noise)) return "no periodic signal";
    return nullptr;
}

// Mid-level crossings: period, frequency and duty. Returns the whole periods found.
Periods periodReadings(Measurements& m, const int16_t* x, size_t n, const Moments& mo, double noise,
                       double rate, bool timed) {
    std::vector<Edge> edges;
    Periods per;
    double freq = 0; // cycles per sample, when found from the mirror image
    const char* why = signalReason(mo, noise);
    if (!why) {
        const double span = mo.hi - mo.lo, mid = (mo.hi + mo.lo) / 2.0;
        const double h = std::min(std::max(BandNoise * noise, MinBand), MaxBand * span);
        edges.reserve(64);
        scanEdges(x, n, mid - h, mid + h, mid, mid, h, edges);
        per = periodsOf(edges);
        const double reach = FitReach * span;
        if (per.count > 0 && (per.last - per.first) / per.count > Slow && reach > h) {
            for (Edge& e : edges)
                e.t1 = e.t2 = fittedCross(x, n, e.from, e.at, mid, reach, e.rising);
            per = periodsOf(edges);
        }
        why = edges.size() < 2 ? "fewer than two crossings"
              : per.count == 0 ? "less than one period"
                               : nullptr;
        m.partialPeriod = per.count == 0;
        if (!why && (per.last - per.first) / per.count < Mirror) {
            // Negating every other sample about the mid level turns a sine at f into
            // one at half the sample rate less f, whose crossings are far apart and
            // exact where the fast one's are a sample apart and slip at each beat.
            std::vector<int16_t> y(x, x + n);
            for (size_t i = 1; i < n; i += 2)
                y[i] = int16_t(mo.hi + mo.lo - y[i]);
            std::vector<Edge> mirrored;
            scanEdges(y.data(), n, mid - h, mid + h, mid, mid, h, mirrored);
            const Periods image = periodsOf(mirrored);
            const double fast = per.count / (per.last - per.first);
            const double f = image.count > 0 ? 0.5 - image.count / (image.last - image.first) : 0;
            if (std::abs(f - fast) < 0.1 * fast) freq = f;
        }
    }
    if (why) {
        m.frequencyHz = m.periodS = m.dutyPct = Reading::none(why);
        return per;
    }
    m.dutyPct = per.singleTime > 0 ? Reading::of(100.0 * per.highTime / per.singleTime)
                                   : Reading::none("every period lost a crossing");
    const double periodSamples = freq > 0 ? 1 / freq : (per.last - per.first) / per.count;
    if (!timed) {
        m.frequencyHz = m.periodS = Reading::none("unknown sample rate");
    } else {
        m.periodS = Reading::of(periodSamples / rate);
        m.frequencyHz = Reading::of(rate / periodSamples);
    }
    return per;
}

// Mean and RMS over whole periods where there are some.
void levelReadings(Measurements& m, const int16_t* x, size_t n, const Periods& per,
                   double voltsPerUnit, bool codes) {
    size_t from = 0, to = n;
    if (per.count > 0) {
        from = size_t(std::lround(per.first));
        to = std::min(n, size_t(std::lround(per.last)));
        if (to <= from) from = 0, to = n;
    }
    int64_t sum = 0, sumSq = 0;
    for (size_t b = from; b < to; b += 256) {
        // Codes less the zero: 256 squares fit 32 bits, so the inner loop vectorises.
        const size_t e = std::min(to, b + 256);
        if (!codes) {
            for (size_t i = b; i < e; ++i) {
                const int64_t u = x[i] - Zero;
                sum += u;
                sumSq += u * u;
            }
            continue;
        }
        int32_t bs = 0, bq = 0;
        for (size_t i = b; i < e; ++i) {
            const int32_t u = x[i] - Zero;
            bs += u;
            bq += u * u;
        }
        sum += bs;
        sumSq += bq;
    }
    const double count = double(to - from);
    const double mean = double(sum) / count, meanSq = double(sumSq) / count;
    m.meanV = voltsOf(mean, voltsPerUnit);
    m.rmsV = voltsOf(std::sqrt(meanSq), voltsPerUnit);
    m.acRmsV = voltsOf(std::sqrt(std::max(0.0, meanSq - mean * mean)), voltsPerUnit);
}

// The mean of the samples in the most populated window of bins [from, to) of a
// histogram whose bin 0 holds value `lo`; the window is 2 w + 1 bins wide.
double modeOf(const std::vector<uint32_t>& hist, size_t from, size_t to, size_t w, int lo) {
    const size_t width = std::min(2 * w + 1, to - from);
    uint64_t count = 0;
    for (size_t b = from; b < from + width; ++b)
        count += hist[b];
    uint64_t best = count;
    size_t at = from;
    for (size_t b = from + width; b < to; ++b) {
        count += hist[b];
        count -= hist[b - width];
        if (count > best) best = count, at = b + 1 - width;
    }
    double sum = 0;
    for (size_t b = at; b < at + width; ++b)
        sum += double(b) * hist[b];
    return lo + (best ? sum / double(best) : double(at));
}

// The base and top state levels: the modes of the lower and upper half of the
// histogram, each found as the fullest window of twice the noise RMS (at least a code
// step) and its mean. A sine's modes are its extremes.
std::pair<double, double> stateLevels(const int16_t* x, size_t n, int lo, int hi, double noise) {
    // Four counts per value, so that runs of equal samples do not wait on each other.
    const size_t bins = size_t(hi - lo) + 1;
    std::vector<uint32_t> four(4 * bins, 0), hist(bins);
    size_t i = 0;
    for (; i + 4 <= n; i += 4)
        for (size_t q = 0; q < 4; ++q)
            ++four[q * bins + size_t(x[i + q] - lo)];
    for (; i < n; ++i)
        ++four[size_t(x[i] - lo)];
    for (size_t b = 0; b < bins; ++b)
        hist[b] = four[b] + four[bins + b] + four[2 * bins + b] + four[3 * bins + b];
    const size_t half = hist.size() / 2, w = size_t(std::ceil(std::max(CodeStep / 2, noise)));
    return {modeOf(hist, 0, half, w, lo), modeOf(hist, half, hist.size(), w, lo)};
}

// Rise and fall times between the 10 % and 90 % levels between the state levels.
void edgeReadings(Measurements& m, const int16_t* x, size_t n, const Moments& mo, double noise,
                  double rate, bool timed) {
    const char* why = signalReason(mo, noise);
    if (!why && !timed) why = "unknown sample rate";
    if (why) {
        m.riseS = m.fallS = Reading::none(why);
        return;
    }
    auto [base, top] = stateLevels(x, n, mo.lo, mo.hi, noise);
    if (!(top > base)) base = mo.lo, top = mo.hi;
    // The 10 % and 90 % levels must be clear of the noise about the states, or a
    // noise sample decides where an edge starts.
    if (Low * (top - base) < BandNoise * noise) {
        m.riseS = m.fallS = Reading::none("edges within the noise");
        return;
    }
    const double l10 = base + Low * (top - base), l90 = base + High * (top - base);
    std::vector<Edge> edges;
    const double reach = std::min(std::max(BandNoise * noise, MinBand), (l90 - l10) / 16);
    scanEdges(x, n, l10, l90, l10, l90, reach, edges);
    double rise = 0, fall = 0;
    int rises = 0, falls = 0;
    for (const Edge& e : edges) {
        if (e.rising) {
            rise += e.t2 - e.t1;
            ++rises;
        } else {
            fall += e.t1 - e.t2;
            ++falls;
        }
    }
    m.riseS = rises ? Reading::of(rise / rises / rate) : Reading::none("no complete rising edge");
    m.fallS = falls ? Reading::of(fall / falls / rate) : Reading::none("no complete falling edge");
}

} // namespace

Measurements measure(const Trace& t) {
    Measurements m;
    if (!t.data || t.count == 0) {
        const Reading none = Reading::none("no samples");
        m.frequencyHz = m.periodS = m.vppV = m.vmaxV = m.vminV = m.meanV = m.rmsV = m.acRmsV =
            m.dutyPct = m.riseS = m.fallS = none;
        return m;
    }
    const int16_t* x = t.data;
    const size_t n = t.count;
    const Moments mo = momentsOf(x, n);
    // Converter codes never lie outside 0..255, so the extremes tell.
    m.clipped = mo.lo <= CodeLow || mo.hi >= CodeHigh;
    m.vmaxV = voltsOf(mo.hi - Zero, t.voltsPerUnit);
    m.vminV = voltsOf(mo.lo - Zero, t.voltsPerUnit);
    m.vppV = voltsOf(mo.hi - mo.lo, t.voltsPerUnit);
    const bool timed = std::isfinite(t.sampleRateHz) && t.sampleRateHz > 0;
    const double noise = noiseOf(x, n, mo);
    const Periods per = periodReadings(m, x, n, mo, noise, t.sampleRateHz, timed);
    levelReadings(m, x, n, per, t.voltsPerUnit, mo.lo >= CodeLow && mo.hi <= CodeHigh);
    edgeReadings(m, x, n, mo, noise, t.sampleRateHz, timed);
    return m;
}

Combined combine(const Trace& a, const Trace& b, int sign) {
    Combined c;
    const size_t n = a.data && b.data ? std::min(a.count, b.count) : 0;
    const double coarse = std::max(a.voltsPerUnit, b.voltsPerUnit);
    const double fine = std::min(a.voltsPerUnit, b.voltsPerUnit);
    c.voltsPerUnit = fine > coarse * 0.99 ? coarse : coarse / CodeStep;
    c.sampleRateHz = a.sampleRateHz;
    if (n == 0 || !(c.voltsPerUnit > 0)) return c;
    const double qa = a.voltsPerUnit / c.voltsPerUnit, qb = sign * b.voltsPerUnit / c.voltsPerUnit;
    c.values.resize(n);
    for (size_t i = 0; i < n; ++i) {
        const int ua = a.data[i], ub = b.data[i];
        c.clipped |= ua == CodeLow || ua == CodeHigh || ub == CodeLow || ub == CodeHigh;
        const long v = Zero + std::lround((ua - Zero) * qa + (ub - Zero) * qb);
        c.values[i] = int16_t(std::clamp(v, -32768L, 32767L));
    }
    return c;
}

GainPhase gainPhase(const Trace& a, const Trace& b, double frequencyHz, long bOffset) {
    const auto fail = [](std::string_view why) {
        return GainPhase{Reading::none(why), Reading::none(why)};
    };
    if (!a.data || !b.data || a.count == 0 || b.count == 0) return fail("no samples");
    const double fs = a.sampleRateHz;
    if (!(fs > 0) || !std::isfinite(fs)) return fail("unknown sample rate");
    if (std::abs(b.sampleRateHz - fs) > 1e-9 * fs) return fail("A and B at different rates");
    if (!(frequencyHz > 0) || !std::isfinite(frequencyHz)) return fail("no frequency on A");
    if (frequencyHz >= fs / 2) return fail("frequency above half the sample rate");
    if (!(a.voltsPerUnit > 0) || !(b.voltsPerUnit > 0)) return fail("unknown range");

    // The common window on A's time base: A's sample i was taken with B's i - bOffset.
    const long na = long(a.count), nb = long(b.count);
    const long start = std::max(0L, bOffset), end = std::min(na, nb + bOffset);
    if (end <= start) return fail("A and B do not overlap");
    const double perPeriod = fs / frequencyHz;
    const double periods = std::floor(double(end - start) / perPeriod);
    if (periods < 1) return fail("less than one period in common");
    const long len = std::min(end - start, std::lround(periods * perPeriod));

    // sum x e^(-i w k) and sum e^(-i w k) give the transform of x less its mean. Four
    // phasors, one per sample of each group of four, turn by multiplication (plain
    // doubles: complex products check for infinities) and are set afresh every 1024
    // samples, so their rounding cannot build up.
    const double w = 2 * Pi * frequencyHz / fs, tr = std::cos(4 * w), ti = -std::sin(4 * w);
    double ar[4] = {}, ai[4] = {}, br[4] = {}, bi[4] = {}, sr[4] = {}, si[4] = {};
    int64_t sa = 0, sb = 0, qa = 0, qb = 0;
    for (long block = start; block < start + len; block += 1024) {
        const long stop = std::min(block + 1024, start + len);
        double pr[4], pi[4];
        for (int q = 0; q < 4; ++q) {
            pr[q] = std::cos(w * double(block + q));
            pi[q] = -std::sin(w * double(block + q));
        }
        const auto step = [&](long k, int q) {
            const int ua = a.data[k], ub = b.data[k - bOffset];
            ar[q] += ua * pr[q];
            ai[q] += ua * pi[q];
            br[q] += ub * pr[q];
            bi[q] += ub * pi[q];
            sr[q] += pr[q];
            si[q] += pi[q];
            sa += ua;
            sb += ub;
            qa += ua * ua;
            qb += ub * ub;
            const double r = pr[q] * tr - pi[q] * ti;
            pi[q] = pr[q] * ti + pi[q] * tr;
            pr[q] = r;
        };
        long k = block;
        for (; k + 4 <= stop; k += 4)
            for (int q = 0; q < 4; ++q)
                step(k + q, q);
        for (int q = 0; k + q < stop; ++q)
            step(k + q, q);
    }
    const auto total = [](const double(&v)[4]) { return (v[0] + v[1]) + (v[2] + v[3]); };
    const double ma = double(sa) / double(len), mb = double(sb) / double(len);
    const std::complex<double> xa(total(ar) - ma * total(sr), total(ai) - ma * total(si));
    const std::complex<double> xb(total(br) - mb * total(sr), total(bi) - mb * total(si));
    // The component's energy is 2 |X|^2 / len; what else the channel holds (noise,
    // harmonics) would put 2 / len of its energy into this bin if it were white.
    const auto aboveNoise = [&](std::complex<double> x, int64_t s, int64_t q) {
        const double rest =
            double(q) - double(s) * double(s) / double(len) - 2 * std::norm(x) / double(len);
        return std::norm(x) > BinSnr * rest;
    };
    // Amplitudes in buffer units; below a thousandth of a code step is rounding noise.
    const double ua = 2 * std::abs(xa) / double(len), ub = 2 * std::abs(xb) / double(len);
    if (!(ua > NoSignal) || !aboveNoise(xa, sa, qa))
        return fail("A below its noise at its frequency");
    if (!(ub > NoSignal) || !aboveNoise(xb, sb, qb))
        return fail("B below its noise at A's frequency");
    double deg = std::arg(xb * std::conj(xa)) * 180 / Pi;
    if (deg <= -180) deg += 360;
    const double gain = ub * b.voltsPerUnit / (ua * a.voltsPerUnit);
    return {Reading::of(20 * std::log10(gain)), Reading::of(deg)};
}

} // namespace analysis
