#include "fra/response.h"

#include "generator/synthesis.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace fra {

namespace {

constexpr int MaxPoints = 1000;
constexpr int MaxPerDecade = 100;
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

std::vector<long> plannedFrequencies(const Settings& s) {
    std::vector<long> out;
    if (!check(s).empty()) return out;
    const double decades = std::log10(s.toHz / s.fromHz);
    const int count =
        s.points > 0 ? s.points : std::max(2, int(std::ceil(decades * s.perDecade - 1e-9)) + 1);
    for (int k = 0; k < count; ++k) {
        const double f = s.fromHz * std::pow(s.toHz / s.fromHz, double(k) / (count - 1));
        const long whole = std::clamp(std::lround(f), gen::MinFreq, gen::MaxFreq);
        if (out.empty() || out.back() != whole) out.push_back(whole);
    }
    return out;
}

std::optional<Point> measurePoint(const Capture& c, std::string* why) {
    const auto fail = [&](const char* reason) -> std::optional<Point> {
        if (why) *why = reason;
        return std::nullopt;
    };
    if (!c.reference || !c.response || c.count <= 0) return fail("no samples");
    if (c.cycles < 2 || !(c.stepRateHz > 0)) return fail("no generator table");
    const double perCycle = double(c.count) / c.cycles;
    const int settling = c.cycles / 2; // whole periods left out
    const long first = std::lround(perCycle * settling);
    const long n = c.count - first;
    const analysis::Trace ref{c.reference + first, size_t(n), c.referenceVoltsPerUnit,
                              c.stepRateHz};
    const analysis::Trace resp{c.response + first, size_t(n), c.responseVoltsPerUnit, c.stepRateHz};
    Point p;
    p.freqHz = c.stepRateHz / perCycle;
    const analysis::GainPhase gp = analysis::gainPhase(ref, resp, p.freqHz, c.bOffset);
    if (!gp.gainDb.ok()) return fail(gp.gainDb.reason.data());
    p.gainDb = *gp.gainDb;
    p.phaseDeg = *gp.phaseDeg;
    p.clipped = clippedIn(resp.data, n) || (c.referenceIsChannel && clippedIn(ref.data, n));
    return p;
}

std::optional<Corner> findCorner(const std::vector<Point>& points) {
    double best = -INFINITY;
    for (size_t i = 1; i < points.size(); ++i) {
        best = std::max(best, points[i - 1].gainDb);
        const Point &a = points[i - 1], &b = points[i];
        const double level = best - 3;
        if (!(b.gainDb <= level && a.gainDb > level)) continue;
        const double t = (a.gainDb - level) / (a.gainDb - b.gainDb);
        const double la = std::log10(a.freqHz), lb = std::log10(b.freqHz);
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
