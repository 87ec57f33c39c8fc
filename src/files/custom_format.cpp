// Custom generator waves: RAW files (one DAC code per byte, any file at all) and CSV
// text (values 0..255 separated by commas or line breaks).
#include "files/formats.h"

#include <algorithm>
#include <cmath>

namespace files {

namespace {

constexpr size_t MaxPoints = InstrumentState::BufferSize;

bool isBreak(char c) {
    return c == '\r' || c == '\n';
}
bool isSpace(char c) {
    return c == ' ' || c == '\t';
}

// Skips blanks; true unless the end of the file follows. A field may be empty: a comma
// or a line end right away (a blank line) is a field worth 0.
bool atField(std::string_view t, size_t& p) {
    while (p < t.size() && isSpace(t[p]))
        ++p;
    return p < t.size() && t[p] != '\x1a';
}

// Reads one field at p: a quoted text or everything up to a comma or a line end, and
// moves past its terminator.
std::string_view readField(std::string_view t, size_t& p) {
    std::string_view value;
    size_t end;
    if (t[p] == '"') {
        size_t close = t.find('"', p + 1);
        if (close == std::string_view::npos) close = t.size();
        value = t.substr(p + 1, close - p - 1);
        end = std::min(close + 1, t.size());
        while (end < t.size() && t[end] != ',' && !isBreak(t[end]))
            ++end;
    } else {
        end = p;
        while (end < t.size() && t[end] != ',' && !isBreak(t[end]))
            ++end;
        value = t.substr(p, end - p);
    }
    if (end < t.size()) {
        if (t[end] == '\r' && end + 1 < t.size() && t[end + 1] == '\n') ++end;
        ++end;
    }
    p = end;
    return value;
}

} // namespace

CustomWaveData decodeRaw(std::string_view bytes) {
    CustomWaveData d;
    const size_t n = std::min(bytes.size(), MaxPoints);
    d.points.resize(n);
    for (size_t i = 0; i < n; ++i)
        d.points[i] = static_cast<int16_t>(static_cast<uint8_t>(bytes[i]) * 10);
    return d;
}

CustomWaveData decodeCsv(std::string_view text) {
    CustomWaveData d;
    // At most one point per byte of the file, and never more than the buffer holds.
    const size_t limit = std::min(text.size(), MaxPoints);
    size_t p = 0;
    while (d.points.size() < limit && atField(text, p)) {
        double v = leadingNumber(readField(text, p));
        if (std::isnan(v)) v = 0;
        v = std::clamp(v, 0.0, 255.0);
        d.points.push_back(static_cast<int16_t>(vb::Nearest(v * 10)));
    }
    return d;
}

void applyCustom(InstrumentState& s, const CustomWaveData& d) {
    const size_t n = std::min(d.points.size(), MaxPoints);
    std::copy(d.points.begin(), d.points.begin() + n, s.GenWave.begin());
    s.GenLast = static_cast<float>(n) - 1;
    if (n < MaxPoints - 1) std::fill(s.GenWave.begin() + n, s.GenWave.end(), 0);

    s.LoadDone = 1;
    s.GenMode = 2;
    s.SavedStyle = s.GenStyle;
    s.GenStyle = 4;
    s.GenDirty = 0;
    if (s.GenLast < 9) s.GenLast = 9; // the zeroed points make up a 10-point minimum
}

CustomSource::CustomSource(const InstrumentState& s) : genLast(s.GenLast), wave(s.GenWave) {}

bool encodeCustom(const CustomSource& src, std::string& out) {
    const float g = std::isfinite(src.genLast) ? src.genLast : -1.0f;
    const long last = static_cast<long>(std::clamp(g, -1.0f, float(MaxPoints - 1)));
    std::string f;
    f.reserve(static_cast<size_t>(std::max(0L, last + 1)));
    for (long i = 0; i <= last; ++i) {
        long b = vb::CLng(src.wave[i] / 10.0);
        if (b < 0 || b > 255) return false;
        f += static_cast<char>(static_cast<unsigned char>(b));
    }
    out = std::move(f);
    return true;
}

} // namespace files
