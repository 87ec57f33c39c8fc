#include "fra/response.h"

#include "generator/synthesis.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <complex>
#include <vector>

namespace fra {

namespace {

constexpr double Pi = M_PI;
constexpr int MaxPoints = 1000;
constexpr int MaxPerDecade = 100;
// A channel's sine against the noise in its bin: 20 dB.
constexpr double BinSnr = 100;
// Buffer values of converter codes 0 and 255: the input left the range.
constexpr int CodeLow = 0, CodeHigh = 2550;

std::string number(double v) {
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 0);
    return std::string(buf, r.ptr);
}

std::string fixed(double v, int decimals) {
    // -0.00 reads as a fault in a table; a value that rounds to zero is written as 0.
    if (std::abs(v) < 0.5 * std::pow(10.0, -decimals)) v = 0;
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, decimals);
    return std::string(buf, r.ptr);
}

bool clippedIn(const int16_t* x, long n) {
    return std::any_of(x, x + n, [](int16_t v) { return v <= CodeLow || v >= CodeHigh; });
}

// A channel's component at the generator frequency.
struct Tone {
    std::complex<double> phasor; // x ~ Re(phasor e^(i w k)) + the rest of the fit
    double error = 0;            // sum of squares the fit leaves
    double settling = 0;         // how far the decaying term moves over the stretch
    double tauSamples = 0;       // its time constant
};

// Least squares of x[k] (k = 0 .. n-1) against cos(w k), sin(w k), a constant and
// e[k] = r^k, each column less its mean (so the constant only takes x's mean). The
// sums that do not involve e are taken once.
class ToneFit {
  public:
    ToneFit(const int16_t* x, long n, double w) : x_(x), n_(n), c_(size_t(n)), s_(size_t(n)) {
        double sc = 0, ss = 0, sx = 0, scc = 0, sss = 0, scs = 0, scx = 0, ssx = 0, sxx = 0;
        for (long k = 0; k < n; ++k) {
            const double c = std::cos(w * double(k)), s = std::sin(w * double(k)), v = x[k];
            c_[size_t(k)] = c;
            s_[size_t(k)] = s;
            sc += c, ss += s, sx += v;
            scc += c * c, sss += s * s, scs += c * s;
            scx += c * v, ssx += s * v, sxx += v * v;
        }
        const double m = double(n);
        mc_ = sc / m, ms_ = ss / m, mx_ = sx / m;
        cc_ = scc - sc * mc_, ss_ = sss - ss * ms_, cs_ = scs - sc * ms_;
        cx_ = scx - sc * mx_, sx_ = ssx - ss * mx_, xx_ = sxx - sx * mx_;
    }

    // The tone and the error left with the decay r per sample (-1 / ln r samples).
    Tone with(double r) const {
        double se = 0, see = 0, sec = 0, ses = 0, sex = 0, e = 1;
        for (long k = 0; k < n_ && e > 0; ++k) {
            se += e, see += e * e, sec += e * c_[size_t(k)], ses += e * s_[size_t(k)];
            sex += e * x_[k];
            e = e * r < 1e-300 ? 0 : e * r; // the rest adds nothing
        }
        const double me = se / double(n_), ee = see - se * me;
        const double a[3][4] = {{cc_, cs_, sec - se * mc_, cx_},
                                {cs_, ss_, ses - se * ms_, sx_},
                                {sec - se * mc_, ses - se * ms_, ee, sex - se * mx_}};
        // Without the decay column when it is all but constant (r near 1 over a short x).
        const int m = ee > 1e-9 * double(n_) ? 3 : 2;
        double b[3] = {};
        if (!solve(a, m, b)) return {{0, 0}, xx_};
        double explained = 0;
        for (int i = 0; i < m; ++i)
            explained += b[i] * a[i][3];
        // From the first sample to the last: b r^0 - b r^(n-1).
        const double moved = m == 3 ? std::abs(b[2]) * (1 - std::pow(r, double(n_ - 1))) : 0;
        return {{b[0], -b[1]}, std::max(0.0, xx_ - explained), moved, -1 / std::log(r)};
    }

  private:
    // Gaussian elimination with partial pivoting of the m x m system a | a[.][3].
    static bool solve(const double (&g)[3][4], int m, double (&b)[3]) {
        double a[3][4];
        std::copy(&g[0][0], &g[0][0] + 12, &a[0][0]);
        for (int i = 0; i < m; ++i) {
            int p = i;
            for (int r = i + 1; r < m; ++r)
                if (std::abs(a[r][i]) > std::abs(a[p][i])) p = r;
            if (!(std::abs(a[p][i]) > 1e-12 * std::abs(g[0][0]))) return false;
            std::swap(a[i], a[p]);
            for (int r = i + 1; r < m; ++r) {
                const double f = a[r][i] / a[i][i];
                for (int c = i; c < 4; ++c)
                    a[r][c] -= f * a[i][c];
            }
        }
        for (int i = m - 1; i >= 0; --i) {
            double v = a[i][3];
            for (int c = i + 1; c < m; ++c)
                v -= a[i][c] * b[c];
            b[i] = v / a[i][i];
        }
        return true;
    }

    const int16_t* x_;
    long n_;
    std::vector<double> c_, s_;
    double mc_ = 0, ms_ = 0, mx_ = 0;                            // means of cos, sin and x
    double cc_ = 0, ss_ = 0, cs_ = 0, cx_ = 0, sx_ = 0, xx_ = 0; // their sums about the means
};

// The fit whose decay leaves the least error: time constants from a quarter of a
// period to twenty times the stretch (a straight drift, to the fit), on a grid even in
// their logarithm, then refined between the grid points beside the best.
Tone settledTone(const int16_t* x, long n, double w) {
    const ToneFit fit(x, n, w);
    const auto at = [&](double logTau) { return fit.with(std::exp(-std::exp(-logTau))); };
    const double lo = std::log(Pi / (2 * w)), hi = std::log(20.0 * double(n));
    constexpr int Grid = 48;
    double best = lo;
    Tone tone = at(lo);
    for (int i = 1; i <= Grid; ++i) {
        const double t = lo + (hi - lo) * i / Grid;
        const Tone f = at(t);
        if (f.error < tone.error) tone = f, best = t;
    }
    // Golden-section search between the grid points beside the best.
    const double step = (hi - lo) / Grid, g = (std::sqrt(5.0) - 1) / 2;
    double a = best - step, b = best + step;
    for (int i = 0; i < 40; ++i) {
        const double c = b - g * (b - a), d = a + g * (b - a);
        if (at(c).error < at(d).error)
            b = d;
        else
            a = c;
    }
    const Tone refined = at((a + b) / 2);
    return refined.error < tone.error ? refined : tone;
}

} // namespace

std::string check(const Settings& s) {
    const std::string lo = number(gen::MinFreq), hi = number(gen::MaxFreq);
    if (!std::isfinite(s.fromHz) || !std::isfinite(s.toHz))
        return "The start and stop frequencies must be numbers.";
    if (s.fromHz < gen::MinFreq || s.toHz > gen::MaxFreq)
        return "The frequencies must lie within the generator's range, " + lo + " Hz to " + hi +
               " Hz.";
    if (!(s.fromHz < s.toHz)) return "The stop frequency must be above the start frequency.";
    if (s.points == 0 && (s.perDecade < 1 || s.perDecade > MaxPerDecade))
        return "Points per decade must be 1 to " + number(MaxPerDecade) + ".";
    if (s.points != 0 && (s.points < 2 || s.points > MaxPoints))
        return "The point count must be 2 to " + number(MaxPoints) + ".";
    if (s.ampDiv != 1 && s.ampDiv != 2) return "The amplitude must be 2 V or 1 V peak to peak.";
    return "";
}

std::vector<double> logSpaced(const Settings& s) {
    std::vector<double> out;
    if (!check(s).empty()) return out;
    const double decades = std::log10(s.toHz / s.fromHz);
    const int count =
        s.points > 0 ? s.points : std::max(2, int(std::ceil(decades * s.perDecade - 1e-9)) + 1);
    for (int k = 0; k < count; ++k)
        out.push_back(s.fromHz * std::pow(s.toHz / s.fromHz, double(k) / (count - 1)));
    return out;
}

std::vector<long> plannedFrequencies(const Settings& s) {
    std::vector<long> out;
    for (double f : logSpaced(s)) {
        const long whole = std::clamp(std::lround(f), gen::MinFreq, gen::MaxFreq);
        if (out.empty() || out.back() != whole) out.push_back(whole);
    }
    return out;
}

std::optional<Point> measurePoint(const Capture& c, std::string* why, Quality* quality) {
    const auto fail = [&](const char* reason) -> std::optional<Point> {
        if (why) *why = reason;
        return std::nullopt;
    };
    if (!c.reference || !c.response || c.count <= 0) return fail("no samples");
    const bool beside = c.samplesPerCycle > 0;
    if ((!beside && c.cycles < 2) || !(c.stepRateHz > 0)) return fail("no generator table");
    if (!(c.referenceVoltsPerUnit > 0) || !(c.responseVoltsPerUnit > 0))
        return fail("unknown range");
    const double perCycle = beside ? c.samplesPerCycle : double(c.count) / c.cycles;
    const int settling = beside ? 0 : std::max(1, c.cycles / 10); // whole periods left out
    const long first = std::lround(perCycle * settling);
    const long n = beside ? c.count : std::lround(perCycle * (c.cycles - settling));
    if (n < 8) return fail("too few samples");
    const double w = 2 * Pi / perCycle;
    const Tone ref = settledTone(c.reference + first, n, w);
    const Tone resp = settledTone(c.response + first, n, w);
    // The rest of each fit as white noise: its deviation per sample, and the relative
    // deviation it leaves in the sine's amplitude, sqrt(2 / n) of the noise over it.
    const auto sigma = [&](const Tone& t) { return std::sqrt(t.error / double(n)); };
    const auto relative = [&](const Tone& t) {
        return sigma(t) * std::sqrt(2 / double(n)) / std::max(std::abs(t.phasor), 1e-300);
    };
    if (quality) {
        quality->uncertainty = std::hypot(relative(ref), relative(resp));
        const auto inNoise = [&](const Tone& t) { return t.settling / std::max(sigma(t), 1e-9); };
        const Tone& slower = inNoise(ref) > inNoise(resp) ? ref : resp;
        quality->transient = inNoise(slower);
        quality->tauS = slower.tauSamples / c.stepRateHz;
    }
    // Its sine's energy, n |z|^2 / 2, against the 2 / n of the error that white noise
    // would put into one bin.
    const auto clear = [&](const Tone& t) {
        return std::norm(t.phasor) * double(n) / 2 > BinSnr * 2 * t.error / double(n);
    };
    if (!clear(ref)) return fail("the reference is below its noise");
    if (!clear(resp)) return fail("the response is below its noise");
    Point p;
    p.freqHz = c.stepRateHz / perCycle;
    // B's sample j was taken with the reference's j + bOffset.
    const std::complex<double> turn = std::polar(1.0, -w * double(c.bOffset));
    const std::complex<double> ratio = resp.phasor * turn / ref.phasor;
    p.gainDb = 20 * std::log10(std::abs(ratio) * c.responseVoltsPerUnit / c.referenceVoltsPerUnit);
    p.phaseDeg = std::arg(ratio) * 180 / Pi;
    if (p.phaseDeg <= -180) p.phaseDeg += 360;
    p.clipped = clippedIn(c.response + first, n) ||
                (c.referenceIsChannel && clippedIn(c.reference + first, n));
    return p;
}

bool agree(const Point& a, const Quality& qa, const Point& b, const Quality& qb) {
    const double limit = 3 * std::hypot(qa.uncertainty, qb.uncertainty) + 1e-3;
    double turn = (a.phaseDeg - b.phaseDeg) * Pi / 180;
    turn -= 2 * Pi * std::round(turn / (2 * Pi));
    return std::abs(a.gainDb - b.gainDb) * std::log(10) / 20 <= limit && std::abs(turn) <= limit;
}

std::optional<Corner> findCorner(const std::vector<Point>& points) {
    double best = -INFINITY;
    for (size_t i = 1; i < points.size(); ++i) {
        best = std::max(best, points[i - 1].gainDb);
        const Point &a = points[i - 1], &b = points[i];
        const double level = best - 3;
        if (!(b.gainDb <= level && a.gainDb > level)) continue;
        const double la = std::log10(a.freqHz), lb = std::log10(b.freqHz);
        // Between the two points the gain is a first-order section's: its reciprocal
        // power gain, alpha + beta f^2, through both. The gain falls from a to b, so
        // beta > 0 and the crossing lies between them.
        const double pa = std::pow(10, -a.gainDb / 10), pb = std::pow(10, -b.gainDb / 10);
        const double fa2 = a.freqHz * a.freqHz, fb2 = b.freqHz * b.freqHz;
        const double f2 = fa2 + (std::pow(10, -level / 10) - pa) * (fb2 - fa2) / (pb - pa);
        const double t = (std::log10(f2) / 2 - la) / (lb - la);
        // The phase the short way round, for a step across +/-180 degrees.
        double turn = b.phaseDeg - a.phaseDeg;
        turn -= 360 * std::round(turn / 360);
        double phase = a.phaseDeg + t * turn;
        if (phase <= -180) phase += 360;
        if (phase > 180) phase -= 360;
        return Corner{std::pow(10.0, la + t * (lb - la)), phase};
    }
    return std::nullopt;
}

std::string toCsv(const std::vector<Point>& points) {
    std::string out = "frequency_hz,gain_db,phase_deg\n";
    for (const Point& p : points)
        out += fixed(p.freqHz, 4) + "," + fixed(p.gainDb, 3) + "," + fixed(p.phaseDeg, 2) + "\n";
    return out;
}

double secondsLeft(double elapsedS, int done, int total, double firstGuessS) {
    const int left = std::max(0, total - done);
    const double each = done > 0 ? elapsedS / done : firstGuessS;
    return left * std::max(0.0, each);
}

} // namespace fra
