// wqkscope spectrum: captures in FFT mode, averages the spectra and prints their peaks,
// and writes the spectra as CSV on request.
#include "analysis/report.h"
#include "analysis/si_format.h"
#include "analysis/spectrum_tools.h"
#include "cli/cli.h"
#include "cli/output.h"

#include <ostream>

namespace cli {

namespace {

struct ChannelSpectrum {
    const char* name;
    analysis::Channel channel;
    analysis::PowerAverager average;
    analysis::Spectrum spectrum; // the average so far
    std::vector<double> values;  // on the scale
};

std::string unitOf(analysis::Scale scale) {
    return scale == analysis::Scale::Dbfs ? "dBFS" : scale == analysis::Scale::Dbv ? "dBV" : "";
}

std::string csv(const std::vector<ChannelSpectrum*>& chans, const analysis::Spectrum& first) {
    std::string out = "frequency_hz";
    for (const ChannelSpectrum* c : chans)
        out += std::string(",") + c->name;
    out += "\n";
    for (size_t k = 0; k < first.bins(); ++k) {
        out += number(double(k) * first.binHz);
        for (const ChannelSpectrum* c : chans)
            out += "," + number(c->values[k]);
        out += "\n";
    }
    return out;
}

} // namespace

Status runSpectrum(Session& session, const Settings& o, std::ostream& out, std::ostream& err) {
    if (const Status st = session.apply(true); st != Done) return st;
    const InstrumentState& s = session.state();
    const analysis::Window window = *analysis::windowFromName(o.window);
    const analysis::Scale scale = *analysis::scaleFromName(o.scale);
    ChannelSpectrum all[2] = {
        {"A", analysis::Channel::A, analysis::PowerAverager(o.average), {}, {}},
        {"B", analysis::Channel::B, analysis::PowerAverager(o.average), {}, {}}};
    std::vector<ChannelSpectrum*> chans;
    for (ChannelSpectrum& c : all)
        if (c.channel == analysis::Channel::A ? s.chanAOn() : s.chanBOn()) chans.push_back(&c);
    const Status st = session.capture(o.average, [&] {
        for (ChannelSpectrum* c : chans) {
            const analysis::Trace t = analysis::traceOf(s, c->channel, 0, analysis::fftPoints(s));
            c->spectrum = c->average.add(analysis::spectrumOf(t, window));
        }
    });
    if (st != Done) return st;

    std::vector<std::string> peaks;
    std::vector<std::vector<std::string>> rows{{"Peak", "Frequency", "Level", "Amplitude"}};
    JsonObject clipped;
    std::string clippedText;
    for (ChannelSpectrum* c : chans) {
        clipped.add(c->name,
                    JsonObject().add("clipped", c->spectrum.clipped ? "true" : "false").str());
        clippedText += std::string(clippedText.empty() ? "" : ", ") + c->name +
                       (c->spectrum.clipped ? " yes" : " no");
        const double fs = analysis::channelScale(s, c->channel).fullScaleV;
        c->values = analysis::scaled(c->spectrum, scale, fs);
        const std::vector<analysis::Peak> found =
            analysis::findPeaks(c->spectrum, o.peaks, scale, fs);
        for (size_t i = 0; i < found.size(); ++i) {
            const analysis::Peak& p = found[i];
            peaks.push_back(JsonObject()
                                .add("channel", quoted(c->name))
                                .add("frequency_hz", number(p.frequencyHz))
                                .add("level", number(p.level))
                                .add("amplitude_v", number(p.amplitudeV))
                                .str());
            rows.push_back(
                {c->name + std::to_string(i + 1), analysis::formatSI(p.frequencyHz, "Hz", 7),
                 analysis::formatFixed(p.level, scale == analysis::Scale::Normalised ? 2 : 1,
                                       unitOf(scale)),
                 analysis::formatSI(p.amplitudeV, "V")});
        }
    }
    const analysis::Spectrum& first = chans.empty() ? analysis::Spectrum() : chans[0]->spectrum;
    const double rate = analysis::channelScale(s, analysis::Channel::A).sampleRateHz;
    if (!o.out.empty() && !writeOutput(session.who, o.out, csv(chans, first), out, err))
        return WriteFailed;
    if (o.out == "-") return Done; // the CSV has taken standard output
    if (o.json) {
        out << JsonObject()
                   .add("rate_hz", number(rate))
                   .add("points", number(double(first.points)))
                   .add("bin_hz", number(first.binHz))
                   .add("window", quoted(o.window))
                   .add("scale", quoted(o.scale))
                   .add("channels", clipped.str())
                   .add("peaks", jsonArray(peaks))
                   .str()
            << "\n";
    } else {
        out << table({{"Rate", analysis::formatSI(rate, "Hz")},
                      {"Points", std::to_string(first.points)},
                      {"Bin", analysis::formatSI(first.binHz, "Hz")},
                      {"Window", o.window},
                      {"Scale", o.scale},
                      {"Averaged", std::to_string(o.average)},
                      {"Clipped", clippedText}})
            << "\n"
            << table(rows);
    }
    return Done;
}

} // namespace cli
