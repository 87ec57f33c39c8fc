#include "analysis/reference.h"

#include "app/instrument_state.h"
#include "files/formats.h"

#include <charconv>
#include <cmath>
#include <sstream>

namespace analysis {

namespace {

constexpr size_t MostPoints = InstrumentState::BufferSize;

// The next line without its CR LF; false at the end.
bool nextLine(std::string_view& text, std::string_view& line) {
    if (text.empty()) return false;
    const size_t end = std::min(text.find('\n'), text.size());
    line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    text.remove_prefix(std::min(end + 1, text.size()));
    return true;
}

std::string readCsv(std::string_view text, Channel c, Wave& out) {
    std::string_view line;
    Wave w;
    nextLine(text, line); // the title, checked by the caller
    double rate = 0;
    if (!nextLine(text, line) || line.substr(0, 13) != "Samples/Sec:," ||
        !files::parseNumber(line.substr(13), rate) || !(rate > 0) || !std::isfinite(rate))
        return "no sampling rate on its second line";
    nextLine(text, line); // the column names
    while (nextLine(text, line)) {
        if (line.empty()) continue;
        const size_t comma = line.find(',');
        double v = 0;
        if (comma == std::string_view::npos ||
            !files::parseNumber(c == Channel::A ? line.substr(0, comma) : line.substr(comma + 1),
                                v) ||
            !std::isfinite(v))
            return "line " + std::to_string(w.values.size() + 4) + " is no pair of numbers";
        if (w.values.size() == MostPoints) return "more than 32768 samples";
        w.values.push_back(v);
    }
    if (w.values.size() < 2) return "fewer than two samples";
    w.sampleRateHz = rate;
    out = std::move(w);
    return "";
}

} // namespace

std::string readReference(std::string_view bytes, Channel c, Wave& out) {
    if (bytes.substr(0, 35) == "WQK sample data for Channels A & B\r" ||
        bytes.substr(0, 35) == "WQK sample data for Channels A & B\n")
        return readCsv(bytes, c, out);
    files::SignalData d;
    if (files::decodeSignal(bytes, files::WqkSignal, d) != files::Outcome::Loaded)
        return "neither a signal file nor a CSV export of the signals";
    const std::vector<uint8_t>& codes = c == Channel::A ? d.a : d.b;
    Wave w;
    w.sampleRateHz = sampleRateHz(d.rate, d.rateFactor);
    if (!(w.sampleRateHz > 0)) return "its sampling rate is unknown";
    const double unit = voltsPerUnit(c == Channel::A ? d.rangeA : d.rangeB);
    for (uint8_t code : codes)
        w.values.push_back((code * 10 - InstrumentState::MidScale) * unit);
    out = std::move(w);
    return "";
}

std::string encodeWave(const Wave& w) {
    std::string out = std::to_string(w.sampleRateHz) + " " + (w.unit.empty() ? "-" : w.unit) + " " +
                      std::to_string(w.values.size()) + "\n";
    char buf[32];
    for (double v : w.values) {
        const auto r = std::to_chars(buf, buf + sizeof buf, float(v));
        out.append(buf, r.ptr);
        out += ' ';
    }
    return out;
}

bool decodeWave(std::string_view text, Wave& out) {
    std::istringstream in{std::string(text)};
    Wave w;
    size_t n = 0;
    if (!(in >> w.sampleRateHz >> w.unit >> n) || !(w.sampleRateHz > 0) || n > MostPoints)
        return false;
    if (w.unit == "-") w.unit.clear();
    w.values.resize(n);
    for (double& v : w.values) {
        std::string item;
        if (!(in >> item)) return false;
        const auto r = std::from_chars(item.data(), item.data() + item.size(), v);
        if (r.ec != std::errc() || r.ptr != item.data() + item.size()) return false;
    }
    out = std::move(w);
    return true;
}

} // namespace analysis
