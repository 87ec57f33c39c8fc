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
constexpr double Hysteresis = 0.1;              // of the span, each side of the mid level
constexpr double Low = 0.1, High = 0.9;         // rise and fall time levels
constexpr double Pi = M_PI;                     // measurements use the true pi
constexpr double NoSignal = 0.01;               // buffer units

// One complete transition through a band [lo, hi]: a rising one starts below lo and
// ends above hi. t1 and t2 are where it last crossed two chosen levels on the way,
// interpolated between samples, in samples from the start of the trace.
struct Edge {
    bool rising;
    double t1, t2;
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

// Only complete transitions count: the state is unknown until the trace has been
// outside the band once, so a trace that starts halfway up an edge does not count it.
// The forward search only compares with the band; each transition then looks back for
// its crossings, so every sample is visited about twice at most.
void scanEdges(const int16_t* x, size_t n, double lo, double hi, double at1, double at2,
               std::vector<Edge>& out) {
    // For whole-number samples v < lo is v < ceil(lo), and v > hi is v > floor(hi).
    const int below = int(std::ceil(lo)), above = int(std::floor(hi));
    size_t i = 0;
    while (i < n && x[i] >= below && x[i] <= above)
        ++i;
    if (i == n) return;
    bool low = x[i] < below;
    size_t entry = i;
    for (++i;; ++i) {
        if (low)
            while (i < n && x[i] <= above)
                ++i;
        else
            while (i < n && x[i] >= below)
                ++i;
        if (i >= n) return;
        out.push_back({low, lastCross(x, entry, i, at1, low), lastCross(x, entry, i, at2, low)});
        low = !low;
        entry = i;
    }
}

// Period, duty and the span of whole periods from the mid-level crossings. The edge
// kind (rising or falling) that spans the longer time anchors the periods.
struct Periods {
    double first = 0, last = 0; // times of the first and last anchor edge
    int count = 0;              // whole periods between them
    double highTime = 0;        // time above the mid level within them
};

Periods periodsOf(const std::vector<Edge>& edges) {
    Periods best;
    for (bool rising : {true, false}) {
        size_t first = edges.size(), last = 0;
        int anchors = 0;
        for (size_t i = 0; i < edges.size(); ++i)
            if (edges[i].rising == rising) {
                if (anchors++ == 0) first = i;
                last = i;
            }
        if (anchors < 2) continue;
        Periods p{edges[first].t1, edges[last].t1, anchors - 1, 0};
        if (best.count > 0 && p.last - p.first <= best.last - best.first) continue;
        // Edges alternate, so each rising edge in the span is followed by a falling one.
        for (size_t i = first; i < last; ++i)
            if (edges[i].rising) p.highTime += edges[i + 1].t1 - edges[i].t1;
        best = p;
    }
    return best;
}

// A level in buffer units as volts, or none without a known range.
Reading voltsOf(double units, double voltsPerUnit) {
    const bool known = std::isfinite(voltsPerUnit) && voltsPerUnit > 0;
    return known ? Reading::of(units * voltsPerUnit) : Reading::none("unknown range");
}

// Mid-level crossings: period, frequency and duty. Returns the whole periods found.
Periods periodReadings(Measurements& m, const int16_t* x, size_t n, int lo, int hi, double rate,
                       bool timed) {
    std::vector<Edge> edges;
    Periods per;
    const int span = hi - lo;
    if (span > 0) {
        const double mid = (hi + lo) / 2.0, h = Hysteresis * span;
        edges.reserve(64);
        scanEdges(x, n, mid - h, mid + h, mid, mid, edges);
        per = periodsOf(edges);
    }
    const char* why = span == 0          ? "flat trace"
                      : edges.size() < 2 ? "fewer than two crossings"
                      : per.count == 0   ? "less than one period"
                                         : nullptr;
    if (why) {
        m.frequencyHz = m.periodS = m.dutyPct = Reading::none(why);
        return per;
    }
    m.dutyPct = Reading::of(100.0 * per.highTime / (per.last - per.first));
    const double periodSamples = (per.last - per.first) / per.count;
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
                   double voltsPerUnit) {
    size_t from = 0, to = n;
    if (per.count > 0) {
        from = size_t(std::lround(per.first));
        to = std::min(n, size_t(std::lround(per.last)));
        if (to <= from) from = 0, to = n;
    }
    int64_t sum = 0, sumSq = 0;
    for (size_t i = from; i < to; ++i) {
        const int64_t u = x[i] - Zero;
        sum += u;
        sumSq += u * u;
    }
    const double count = double(to - from);
    const double mean = double(sum) / count, meanSq = double(sumSq) / count;
    m.meanV = voltsOf(mean, voltsPerUnit);
    m.rmsV = voltsOf(std::sqrt(meanSq), voltsPerUnit);
    m.acRmsV = voltsOf(std::sqrt(std::max(0.0, meanSq - mean * mean)), voltsPerUnit);
}

// Rise and fall times between the 10 % and 90 % levels of the span.
void edgeReadings(Measurements& m, const int16_t* x, size_t n, int lo, int hi, double rate,
                  bool timed) {
    const int span = hi - lo;
    if (span == 0) {
        m.riseS = m.fallS = Reading::none("flat trace");
        return;
    }
    if (!timed) {
        m.riseS = m.fallS = Reading::none("unknown sample rate");
        return;
    }
    const double l10 = lo + Low * span, l90 = lo + High * span;
    std::vector<Edge> edges;
    scanEdges(x, n, l10, l90, l10, l90, edges);
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
    int16_t lo = x[0], hi = x[0];
    for (size_t i = 0; i < n; ++i) {
        lo = std::min(lo, x[i]);
        hi = std::max(hi, x[i]);
    }
    // Converter codes never lie outside 0..255, so the extremes tell.
    m.clipped = lo <= CodeLow || hi >= CodeHigh;
    m.vmaxV = voltsOf(hi - Zero, t.voltsPerUnit);
    m.vminV = voltsOf(lo - Zero, t.voltsPerUnit);
    m.vppV = voltsOf(hi - lo, t.voltsPerUnit);
    const bool timed = std::isfinite(t.sampleRateHz) && t.sampleRateHz > 0;
    const Periods per = periodReadings(m, x, n, lo, hi, t.sampleRateHz, timed);
    levelReadings(m, x, n, per, t.voltsPerUnit);
    edgeReadings(m, x, n, lo, hi, t.sampleRateHz, timed);
    return m;
}

Combined combine(const Trace& a, const Trace& b, int sign) {
    Combined c;
    const size_t n = a.data && b.data ? std::min(a.count, b.count) : 0;
    c.voltsPerUnit = std::max(a.voltsPerUnit, b.voltsPerUnit);
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
    int64_t sa = 0, sb = 0;
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
    // Amplitudes in buffer units; below a thousandth of a code step is rounding noise.
    const double ua = 2 * std::abs(xa) / double(len), ub = 2 * std::abs(xb) / double(len);
    if (!(ua > NoSignal)) return fail("no signal on A at its frequency");
    if (!(ub > NoSignal)) return fail("no signal on B at A's frequency");
    double deg = std::arg(xb * std::conj(xa)) * 180 / Pi;
    if (deg <= -180) deg += 360;
    const double gain = ub * b.voltsPerUnit / (ua * a.voltsPerUnit);
    return {Reading::of(20 * std::log10(gain)), Reading::of(deg)};
}

} // namespace analysis
