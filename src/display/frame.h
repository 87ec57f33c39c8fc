#pragma once
// The picture of the signal display as data: the window over the buffers, the grid lines
// and axis numbers in the order they are drawn, the buffer bar, the traces and the
// cursor settings. The redraw computes a frame from the state and the picture sizes
// and paints it; the frame itself is a pure function, so every rule is tested alone.
#include "display/scales.h"
#include "modes/mode_names.h"

#include <string>
#include <vector>

struct InstrumentState;

namespace display {

// What the redraw reads: the settings of the record after the channel boxes have
// worked out their shifts and offsets, the scroll bar's value and the bar's size.
struct FrameInput {
    modes::Mode mode = modes::Scope;
    double fullScale = 2560;
    int scroll = 0;           // HScroll1's value
    double xMagnify = 512;    // XMagnify
    double lmax = 4095;       // last valid buffer index
    bool cursorSet = false;   // CursorX holds a value
    double cursorX = 0;       // CursorX
    int rateIndex = 3;        // rate decade of the horizontal axis
    double rateFactor = 1;    // RateFactor
    double fftNumSamples = 0; // FFTNumSamples
    bool grid = true, units = false, join = true;
    bool showA = true, showB = false, showD = false, plus = false, minus = false;
    int dataRangeA = 0, dataRangeB = 0;
    double factorA = 1, factorB = 1, factorSum = 1; // YMagFactorA, YMagFactorB, SumYMagFactor
    double offsetA = 0, offsetB = 0, offsetSum = 0; // VoltOffsetA, VoltOffsetB, VoltOffsetSum
    int shiftA = 0, shiftB = 0, shiftSum = 0;       // ShiftA, ShiftB, ShiftSum
    int yMagA = 0, yMagB = 0, sumYMag = 0;          // magnification steps
    long colourA = 0, colourB = 0, colourD = 0, colourSum = 0;
    double barPixels = 1;     // width of the buffer bar in pixels
    double barScaleWidth = 1; // and in its scale units
};

// The frame's input from the record, with the display window starting at `scroll` (the
// window's scroll bar; ScrollPos without a window) and a buffer bar one unit wide.
FrameInput frameInputOf(const InstrumentState& s, int scroll);

// One step of the grid: a dotted line in the grid colour, or a number at its place.
struct GridOp {
    enum class Kind { Line, Label } kind = Kind::Line;
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0; // a line's ends; a label's place is (x1, y1)
    long colour = 0;                       // a label's colour
    std::string text;
};

// One trace over the window's samples.
struct TraceSpec {
    enum class Source { A, B, D, Sum } source = Source::A;
    long colour = 0;
    double base = 0, factor = 1; // A, B: base + factor (base - v); Sum: base + factor (a +- b)
    int sign = 1;                // Sum: +1 for A+B, -1 for A-B
    int rangeA = 0, rangeB = 0;  // Sum: the ranges the two are combined in
    int count = 0;               // samples drawn from the window's first one on
};

struct Frame {
    Window window;      // XMagnify and ScrollPos as shown
    int scrollMax = 0;  // HScroll1's maximum
    int magnifyMin = 0; // HScroll2's minimum (its maximum is scrollMax)
    int pageStep = 1;   // HScroll1's page step
    double cursorX = 0; // within the window
    double cursorStepLarge = 0;
    long cursorStepSmall = 1;
    bool unitsButton = false; // UNITS is usable only with the grid
    std::vector<GridOp> grid;
    std::string unit;             // unit of the horizontal axis
    std::vector<double> barMarks; // scale positions of the buffer bar's marks
    int barThickness = 2;         // pixels per mark
    int first = 0;                // buffer index of the first drawn sample
    double x0 = 0;                // its position in the window
    bool join = true;
    std::vector<TraceSpec> traces;         // in drawing order
    int baseA = 0, baseB = 0, baseSum = 0; // baselines the record keeps afterwards
};

// Colours of the grid and its numbers.
long gridColour();

Frame makeFrame(const FrameInput& in);

} // namespace display
