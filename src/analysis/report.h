#pragma once
// What the measurement panel and the command line report about the record: each
// channel asked for, measured over a stretch of it, and B against A at A's fundamental.
// Both print the same numbers because both take them from here.
#include "analysis/record.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct InstrumentState;

namespace analysis {

// Where the samples in the buffers came from. Only a capture tells how far B's window
// sits from A's; a signal file does not keep it, and a spectrum file holds no samples.
enum class Origin { Nothing, Capture, SignalFile, SpectrumFile };

struct Span {
    size_t first = 0, count = 0;
};

// The samples the record holds: the captured count, or after a signal-file load the
// pairs the file held (GenLast).
size_t recordCount(const InstrumentState& s, Origin origin);
// The samples in the display window (ScrollPos .. ScrollPos + XMagnify) cut to the
// record. In FFT mode the display shows bins, not samples: the whole record.
Span displaySpan(const InstrumentState& s, Origin origin);

// The samples the FFT display transforms: 2048 x 2^size of the capture.
size_t fftPoints(const InstrumentState& s);

// The traces to report: A, B and the combined trace (+1 A+B, -1 A-B, 0 none).
struct Channels {
    bool a = false, b = false;
    int combined = 0;
};
// The traces on show (A, B, and A+B or A-B outside FFT mode).
Channels shownChannels(const InstrumentState& s);

struct ChannelReport {
    std::string name; // "A", "B", "A+B", "A-B"
    Measurements m;
};

struct Report {
    Span span;
    std::string_view reason; // why there is nothing to report (no channels then)
    std::vector<ChannelReport> channels;
    GainPhase bOverA; // whenever A and B hold samples, whether shown or not
};

Report report(const InstrumentState& s, Channels which, Span span, Origin origin);

} // namespace analysis
