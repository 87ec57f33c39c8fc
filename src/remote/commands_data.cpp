// The data queries: MEASure (every value of the Measurements panel, over the whole last
// capture), WAVeform (the samples as a block, with the scale to volts and seconds) and
// SPECtrum (the Spectrum panel's windows, scales and peaks). They read the record only.
#include "analysis/record.h"
#include "analysis/report.h"
#include "remote/commands.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <utility>

namespace remote {

namespace {

using analysis::Measurements;
using analysis::Reading;
using S = std::string;

const double NaN = std::numeric_limits<double>::quiet_NaN();

// Whether the last capture read a channel (1 A, 2 B); if not, -230 says so.
bool inCapture(const Call& c, int channel) {
    if (channel == 1 ? c.s.capturedA : c.s.capturedB) return true;
    c.s.status.error(scpi::DataStale,
                     std::string("channel ") + (channel == 1 ? "A" : "B") +
                         (c.s.capturedA || c.s.capturedB ? " is not in the last capture"
                                                         : ": nothing captured yet"));
    return false;
}

// A measured value, or NaN with its reason in the error queue.
S reading(const Call& c, const Reading& r, const std::string& what) {
    if (r.ok()) return scpi::number(*r);
    c.s.status.error(scpi::ExecutionError, what + ": " + std::string(r.reason));
    return scpi::number(NaN);
}

// MEASure's source: CHANnel1 (the default), CHANnel2 or MATH (the combined trace on show).
analysis::Report measured(const Call& c, std::string& name, bool& ok) {
    args::count(c, 0, 1);
    const InstrumentState& s = c.s.inst.state();
    int source = 1;
    const bool math = !c.cmd.params.empty() && c.cmd.params[0].kind == scpi::Param::Kind::Word &&
                      scpi::isWord(c.cmd.params[0].text, "MATH");
    if (!math) source = args::channelParam(c, 0, 1);
    const int sign = s.showAplusB() ? 1 : s.showAminusB() ? -1 : 0;
    if (math && sign == 0) throw Refusal{scpi::SettingsConflict, "MATH:MODE is OFF"};
    ok = math ? inCapture(c, 1) && inCapture(c, 2) : inCapture(c, source);
    name = math ? (sign > 0 ? "A+B" : "A-B") : source == 1 ? "A" : "B";
    const analysis::Channels which{source == 1 || math, source == 2 || math, math ? sign : 0};
    return analysis::report(s, which, {0, analysis::capturedCount(s)}, analysis::Origin::Capture);
}

template <Reading Measurements::*Value> S measure(const Call& c) {
    std::string name;
    bool ok = false;
    const analysis::Report r = measured(c, name, ok);
    if (!ok) return scpi::number(NaN);
    for (const analysis::ChannelReport& ch : r.channels)
        if (ch.name == name) return reading(c, ch.m.*Value, name + " " + c.cmd.path.back().name);
    return scpi::number(NaN);
}

// A mark of the panel's: clipped, or mean and RMS over part of a period.
template <bool Measurements::*Mark> S mark(const Call& c) {
    std::string name;
    bool ok = false;
    const analysis::Report r = measured(c, name, ok);
    for (const analysis::ChannelReport& ch : r.channels)
        if (ok && ch.name == name) return ch.m.*Mark ? "1" : "0";
    return "0";
}

template <Reading analysis::GainPhase::*Value> S gainPhase(const Call& c) {
    args::count(c, 0, 0);
    if (!inCapture(c, 1) || !inCapture(c, 2)) return scpi::number(NaN);
    const InstrumentState& s = c.s.inst.state();
    const analysis::Report r = analysis::report(s, {true, true, 0}, {0, analysis::capturedCount(s)},
                                                analysis::Origin::Capture);
    return reading(c, r.bOverA.*Value, c.cmd.path.back().name);
}

// ---- WAVeform ----------------------------------------------------------------------------

// The scale of the source's samples: volts = (code - 128) x yinc, seconds = index x xinc
// + xorigin (B's first sample after A's first, by the read-out's offset).
struct Scale {
    size_t points = 0;
    double xinc = 0, xorigin = 0, yinc = 0;
};

Scale scaleOf(const Call& c) {
    const InstrumentState& s = c.s.inst.state();
    const int src = c.s.data.source;
    const analysis::ChannelScale sc =
        analysis::channelScale(s, src == 1 ? analysis::Channel::A : analysis::Channel::B);
    Scale out;
    out.points = src == 1 ? (c.s.capturedA ? analysis::capturedCount(s) : 0)
                          : (c.s.capturedB ? analysis::capturedCount(s) : 0);
    out.xinc = sc.sampleRateHz > 0 ? 1 / sc.sampleRateHz : 0;
    out.yinc = 10 * sc.voltsPerUnit;
    if (src == 2) {
        const analysis::WindowOffset o = analysis::bWindowOffset(
            s.mode(), c.s.capturedA, c.s.capturedB, long(s.PreTrigCount), s.dataRateA());
        out.xorigin = o.samples ? double(*o.samples) * out.xinc : 0;
    }
    return out;
}

int code(int16_t bufferValue) {
    return std::clamp((bufferValue + 5) / 10, 0, 255);
}

// A value of `bytes` bytes in the byte order chosen.
void put(std::string& out, uint32_t v, int bytes, bool msbFirst) {
    for (int i = 0; i < bytes; ++i)
        out += char(v >> (8 * (msbFirst ? bytes - 1 - i : i)));
}

S waveData(const Call& c) {
    args::count(c, 0, 0);
    if (!inCapture(c, c.s.data.source)) return scpi::block("");
    const InstrumentState& s = c.s.inst.state();
    const Scale sc = scaleOf(c);
    const std::vector<int16_t>& buf =
        analysis::samplesOf(s, c.s.data.source == 1 ? analysis::Channel::A : analysis::Channel::B);
    std::string out;
    switch (c.s.data.format) {
    case DataSettings::Format::Byte:
        out.reserve(sc.points);
        for (size_t i = 0; i < sc.points; ++i)
            out += char(code(buf[i]));
        break;
    case DataSettings::Format::Word:
        out.reserve(2 * sc.points);
        for (size_t i = 0; i < sc.points; ++i)
            put(out, uint32_t(code(buf[i])), 2, c.s.data.msbFirst);
        break;
    case DataSettings::Format::Ascii:
        out.reserve(16 * sc.points);
        for (size_t i = 0; i < sc.points; ++i) {
            char num[32];
            const double v = (code(buf[i]) - 128) * sc.yinc;
            const auto r = std::to_chars(num, num + sizeof num, v, std::chars_format::general, 9);
            if (i) out += ',';
            out.append(num, r.ptr);
        }
        break;
    }
    return scpi::block(out);
}

const char* const FormatWords[] = {"BYTE", "WORD", "ASCii"};

// ---- SPECtrum ------------------------------------------------------------------------------

const char* const WindowWords[] = {"RECTangular", "HANN", "HAMMing", "BHARris", "FLATtop"};
const char* const ScaleWords[] = {"LINear", "DBFS", "DBV"};

analysis::Spectrum spectrum(const Call& c, int channel) {
    const InstrumentState& s = c.s.inst.state();
    const analysis::Trace t = analysis::traceOf(
        s, channel == 1 ? analysis::Channel::A : analysis::Channel::B, 0, analysis::fftPoints(s));
    analysis::Spectrum sp = analysis::spectrumOf(t, c.s.data.window);
    if (!sp.ok()) c.s.status.error(scpi::ExecutionError, std::string(sp.reason));
    return sp;
}

double fullScale(const Call& c, int channel) {
    return analysis::channelScale(c.s.inst.state(),
                                  channel == 1 ? analysis::Channel::A : analysis::Channel::B)
        .fullScaleV;
}

S spectrumData(const Call& c) {
    args::count(c, 0, 1);
    const int ch = args::channelParam(c, 0, c.s.data.source);
    if (!inCapture(c, ch)) return scpi::block("");
    const analysis::Spectrum sp = spectrum(c, ch);
    std::string out;
    for (double v : analysis::scaled(sp, c.s.data.scale, fullScale(c, ch))) {
        const float f = float(v);
        uint32_t bits = 0;
        std::memcpy(&bits, &f, sizeof bits);
        put(out, bits, 4, c.s.data.msbFirst);
    }
    return scpi::block(out);
}

S spectrumPeaks(const Call& c) {
    args::count(c, 0, 2);
    const int ch = args::channelParam(c, 0, c.s.data.source);
    const int n = c.cmd.params.size() > 1 ? int(args::number(c, 1, "", 1, 64)) : 5;
    if (!inCapture(c, ch)) return "";
    const analysis::Spectrum sp = spectrum(c, ch);
    S out;
    for (const analysis::Peak& p : analysis::findPeaks(sp, n, c.s.data.scale, fullScale(c, ch)))
        out += (out.empty() ? "" : ",") + scpi::number(p.frequencyHz) + "," +
               scpi::number(p.level) + "," + scpi::number(p.amplitudeV);
    return out;
}

template <size_t N> std::vector<const char*> words(const char* const (&w)[N]) {
    return std::vector<const char*>(w, w + N);
}

} // namespace

namespace {

std::vector<Entry> measurements() {
    return {
        {"MEASure:FREQuency", nullptr, measure<&Measurements::frequencyHz>},
        {"MEASure:PERiod", nullptr, measure<&Measurements::periodS>},
        {"MEASure:VPP", nullptr, measure<&Measurements::vppV>},
        {"MEASure:VMAX", nullptr, measure<&Measurements::vmaxV>},
        {"MEASure:VMIN", nullptr, measure<&Measurements::vminV>},
        {"MEASure:VAVerage", nullptr, measure<&Measurements::meanV>},
        {"MEASure:VRMS", nullptr, measure<&Measurements::rmsV>},
        {"MEASure:ACRMs", nullptr, measure<&Measurements::acRmsV>},
        {"MEASure:DUTYcycle", nullptr, measure<&Measurements::dutyPct>},
        {"MEASure:RISetime", nullptr, measure<&Measurements::riseS>},
        {"MEASure:FALLtime", nullptr, measure<&Measurements::fallS>},
        {"MEASure:CLIPped", nullptr, mark<&Measurements::clipped>},
        {"MEASure:PARTial", nullptr, mark<&Measurements::partialPeriod>},
        {"MEASure:GAIN", nullptr, gainPhase<&analysis::GainPhase::gainDb>},
        {"MEASure:PHASe", nullptr, gainPhase<&analysis::GainPhase::phaseDeg>},
    };
}

std::vector<Entry> waveform() {
    return {
        {"WAVeform:SOURce",
         [](const Call& c) {
             args::count(c, 1, 1);
             c.s.data.source = args::channelParam(c, 0, 1);
             return S();
         },
         [](const Call& c) { return "CHAN" + std::to_string(c.s.data.source); }},
        {"WAVeform:FORMat",
         [](const Call& c) {
             args::count(c, 1, 1);
             c.s.data.format = DataSettings::Format(args::word(c, 0, words(FormatWords)));
             return S();
         },
         [](const Call& c) { return shortForm(FormatWords[int(c.s.data.format)]); }},
        {"WAVeform:BYTeorder",
         [](const Call& c) {
             args::count(c, 1, 1);
             c.s.data.msbFirst = args::word(c, 0, {"LSBFirst", "MSBFirst"}) == 1;
             return S();
         },
         [](const Call& c) -> S { return c.s.data.msbFirst ? "MSBF" : "LSBF"; }},
        {"WAVeform:POINts", nullptr,
         [](const Call& c) { return std::to_string(scaleOf(c).points); }},
        {"WAVeform:DATA", nullptr, waveData},
        {"WAVeform:PREamble", nullptr,
         [](const Call& c) {
             // format, type, points, count, x increment, x origin, x reference,
             // y increment, y origin, y reference.
             const Scale sc = scaleOf(c);
             static const int formats[] = {0, 1, 4};
             return std::to_string(formats[int(c.s.data.format)]) + ",0," +
                    std::to_string(sc.points) + ",1," + scpi::number(sc.xinc) + "," +
                    scpi::number(sc.xorigin) + ",0," + scpi::number(sc.yinc) + ",0,128";
         }},
        {"WAVeform:XINCrement", nullptr,
         [](const Call& c) { return scpi::number(scaleOf(c).xinc); }},
        {"WAVeform:XORigin", nullptr,
         [](const Call& c) { return scpi::number(scaleOf(c).xorigin); }},
        {"WAVeform:YINCrement", nullptr,
         [](const Call& c) { return scpi::number(scaleOf(c).yinc); }},
        {"WAVeform:YORigin", nullptr, [](const Call&) -> S { return "0"; }},
        {"WAVeform:YREFerence", nullptr, [](const Call&) -> S { return "128"; }},
    };
}

std::vector<Entry> spectra() {
    return {
        {"SPECtrum:WINDow",
         [](const Call& c) {
             args::count(c, 1, 1);
             c.s.data.window = analysis::Window(args::word(c, 0, words(WindowWords)));
             return S();
         },
         [](const Call& c) { return shortForm(WindowWords[int(c.s.data.window)]); }},
        {"SPECtrum:SCALe",
         [](const Call& c) {
             args::count(c, 1, 1);
             c.s.data.scale = analysis::Scale(args::word(c, 0, words(ScaleWords)));
             return S();
         },
         [](const Call& c) { return shortForm(ScaleWords[int(c.s.data.scale)]); }},
        {"SPECtrum:DATA", nullptr, spectrumData},
        {"SPECtrum:POINts", nullptr,
         [](const Call& c) { return std::to_string(analysis::fftPoints(c.s.inst.state()) / 2); }},
        {"SPECtrum:BINWidth", nullptr,
         [](const Call& c) {
             const InstrumentState& s = c.s.inst.state();
             const double rate = analysis::channelScale(s, analysis::Channel::A).sampleRateHz;
             return scpi::number(rate / double(analysis::fftPoints(s)));
         }},
        {"SPECtrum:PEAKs", nullptr, spectrumPeaks},
    };
}

} // namespace

void addDataCommands(std::vector<Entry>& tree) {
    for (const auto& group : {measurements(), waveform(), spectra()})
        tree.insert(tree.end(), group.begin(), group.end());
}

} // namespace remote
