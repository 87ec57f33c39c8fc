#pragma once
// The signal display's geometry as the tools' overlays need it, and the two pairs of
// cursors drawn there: two times and two levels, with their readouts in seconds and
// volts of the capture's rate, range and probe. Plain arithmetic over the record.
#include "analysis/record.h"

#include <string>
#include <vector>

struct InstrumentState;

namespace analysis {

// Where samples and volts of the last redraw lie in the display's pixels. The display
// draws sample i at x = i - ScrollPos of a scale XMagnify wide, and a trace value v
// (code x 10) at y = base + factor x (base - v), base = 1280 + the trace's shift, in a
// scale from 10 to 2570 down.
struct DisplayMap {
    double widthPx = 1, heightPx = 1;
    double window = 512, first = 0; // XMagnify, ScrollPos
    double sampleRateHz = 0;        // of the capture on show (A's rate)
    struct Scale {
        double base = 1280, factor = 1, voltsPerUnit = 0;
    } trace[2]; // A, B

    double xOf(double sample) const;
    double sampleAt(double x) const;
    double yOf(Channel c, double volts) const;
    double voltsAt(Channel c, double y) const;
};
DisplayMap displayMap(const InstrumentState& s, double widthPx, double heightPx);
// Whether the display shows samples against time (SCOPE and SCOPE+GEN): no cursors in
// FFT and GENERATOR mode.
bool showsSamples(const InstrumentState& s);

// Two time cursors at sample positions of the record (they stay on their samples when
// the window moves) and two level cursors in volts of one channel's scale.
struct Cursors {
    double sample[2] = {128, 384};
    double volts[2] = {0.3, -0.3};
    Channel channel = Channel::A;
};

// A trace's value at the two times: "-" with the reason where there is no sample.
struct TraceValues {
    std::string name; // "A", "B", "A+B", "A-B"
    Reading at[2];
};
struct CursorReadout {
    Reading t[2], dt, inverseDt; // seconds from the first sample of the capture; 1/dt in Hz
    double v[2] = {0, 0}, dv = 0;
    std::vector<TraceValues> traces; // each trace on show, as the display draws it
};
// samples: how many the buffers hold (recordCount).
CursorReadout cursorReadout(const InstrumentState& s, const Cursors& c, size_t samples);

} // namespace analysis
