// The single redraw of the signal display: scroll ranges, grid, axis numbers, traces,
// buffer bar, cursor and trigger-level line, all rebuilt from the record on every call.
// The picture is worked out as a frame (display/frame.h) and painted here.
#include "app/wqk.h"
#include "display/display_util.h"
#include "display/frame.h"
#include "display/paint.h"
#include "display/scales.h"
#include "display/trace_render.h"
#include "platform/colours.h"

#include <QSignalBlocker>

using display::Frame;
using display::TraceSpec;

namespace {

// Draws one trace of the frame over the buffers.
void drawTrace(display::TraceDrawer& drawer, const InstrumentState& s, const Frame& f,
               const TraceSpec& t) {
    const int16_t* a = s.ChanABuffer.data() + f.first;
    const int16_t* b = s.ChanBBuffer.data() + f.first;
    const int16_t* d = s.GenWave.data() + f.first;
    const double base = t.base, m = t.factor;
    switch (t.source) {
    case TraceSpec::Source::D:
        drawer.draw(f.x0, t.count, f.join, [d, base](int i) { return base - d[i]; });
        break;
    case TraceSpec::Source::Sum: {
        const display::Combiner sum(t.sign, t.rangeA, t.rangeB);
        drawer.draw(f.x0, t.count, f.join, [&](int i) { return base + m * sum(a[i], b[i]); });
        break;
    }
    case TraceSpec::Source::A:
        drawer.draw(f.x0, t.count, f.join, [=](int i) { return base + m * (base - a[i]); });
        break;
    case TraceSpec::Source::B:
        drawer.draw(f.x0, t.count, f.join, [=](int i) { return base + m * (base - b[i]); });
        break;
    }
}

} // namespace

display::FrameInput WQK::frameInput() const {
    display::FrameInput in = display::frameInputOf(s, HScroll1->value());
    in.barPixels = Picture2->width();
    in.barScaleWidth = Picture2->ScaleWidth();
    return in;
}

// What comes before the frame: the scroll ranges, the spectra and the channel boxes,
// whose shifts and offsets the frame reads.
void WQK::prepareRedraw() {
    const bool combined = display::combinedOn(s);
    // The combined trace's arrows only make sense while it is shown.
    if (!combined) {
        Scrollup->hide();
        scrolldown->hide();
    }
    const int lmax = int(display::lastIndexOf(s));
    {
        // Set without their change events: this is the redraw.
        QSignalBlocker b1(HScroll1), b2(HScroll2);
        HScroll1->setRange(0, lmax);
        HScroll2->setRange(std::min(256, lmax), lmax);
    }
    // The spectra are computed once per capture, by the redraw.
    if (s.mode() == modes::FFT) {
        s.FFTNumSamples = int32_t(2048) << std::clamp(int(s.SampleSizeIndex), 0, 4);
        FFTconvert();
    }
    const bool perChannel = !combined && (s.mode() == modes::Scope || s.mode() == modes::ScopeGen);
    for (QWidget* w : {static_cast<QWidget*>(scrollupA), static_cast<QWidget*>(scrolldownA),
                       static_cast<QWidget*>(scrollupB), static_cast<QWidget*>(scrolldownB),
                       static_cast<QWidget*>(YMagAbutton), static_cast<QWidget*>(YMagBbutton)})
        w->setVisible(perChannel);
    scrollcalca();
    scrollcalcB();
}

// The frame's window, cursor settings and baselines into the record and the scroll bars.
void WQK::applyFrame(const Frame& f) {
    if (f.window.xMagnify != s.xMagnify()) s.XMagnify = long(f.window.xMagnify);
    s.ScrollPos = long(f.window.scrollPos);
    {
        QSignalBlocker b1(HScroll1), b2(HScroll2);
        if (f.window.widened) HScroll2->setValue(int(f.window.xMagnify));
        HScroll1->setValue(int(f.window.scrollPos));
    }
    s.CursorStepLarge = f.cursorStepLarge;
    s.CursorStepSmall = int32_t(f.cursorStepSmall);
    s.CursorX = f.cursorX;
    HScroll1->setPageStep(f.pageStep);
    Command16->setEnabled(f.unitsButton);
    s.BaseSum = int16_t(f.baseSum);
    if (s.mode() == modes::FFT) {
        // The spectra are drawn at factor 1; the factors in force are kept aside.
        s.SavedSumFactor = s.SumYMagFactor;
        s.SavedFactorA = s.YMagFactorA;
        s.SavedFactorB = s.YMagFactorB;
    }
}

void WQK::paintFrame(const Frame& f) {
    const double W = f.window.xMagnify, FS = s.FullScale;
    if (Picture1->BackColor() != colours::Panel)
        Picture1->setBackColor(colours::Panel);
    else
        Picture1->Cls();
    Picture1->setScale(0, 10, W, FS);
    Picture1->DrawMode = plat::DrawCopy;
    Picture1->DrawWidth = 1;
    Picture1->DrawStyle = plat::StyleDot;
    Picture1->FontSize = 7;
    for (const display::GridOp& op : f.grid) {
        if (op.kind == display::GridOp::Kind::Line) {
            Picture1->Line(op.x1, op.y1, op.x2, op.y2, display::gridColour());
        } else {
            Picture1->ForeColor = op.colour;
            display::printAt(Picture1, op.x1, op.y1, op.text);
        }
    }
    Picture1->DrawStyle = plat::StyleSolid;

    Picture2->Cls();
    display::drawMarks(*Picture2, f.barMarks, f.barThickness);

    display::TraceDrawer drawer(*Picture1);
    for (const TraceSpec& t : f.traces) {
        Picture1->ForeColor = t.colour;
        drawTrace(drawer, s, f, t);
    }
}

void WQK::HScroll1_Change() {
    prepareRedraw();
    const Frame f = display::makeFrame(frameInput());
    applyFrame(f);
    paintFrame(f);
    // The Cls has removed the cursor and level lines.
    s.CursorDrawn = 0;
    s.LevelDrawn = 0;
    curtest();
    cursdraw();
    s.BaseA = int16_t(f.baseA);
    s.BaseB = int16_t(f.baseB);
    s.TrigCursorMode = 0;
    trcursdraw();
    s.TrigCursorMode = 1;
    emit redrawn();
}
