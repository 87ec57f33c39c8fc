// The sampling panel: rate and size arrows and the two boxes, and the copies of the
// two settings that the next capture uses.
#include "acquisition/acquisition.h"
#include "app/wqk.h"

#include <cmath>

namespace {

constexpr long LightYellow = 0xC0FFFF, Grey = 0xC0C0C0;

void printBox(PictureBox* box, long back, const std::string& text) {
    box->setBackColor(back);
    box->ForeColor = 0;
    box->FontBold = true;
    box->FontSize = 9;
    box->CurrentX = 0;
    box->CurrentY = 0;
    if (!text.empty()) box->Print(text);
}

vb::Variant indexValue(double v) {
    return v == std::floor(v) ? vb::Variant(long(v)) : vb::Variant(v);
}

} // namespace

void WQK::DSAMPLE() {
    SRATEDISP->Cls();
    SSIZEDISP->Cls();
    const int mode = int(double(s.ScopeMode));
    if (mode == 0 || mode == 3) {
        s.RateA = s.SampleRateIndex;
        s.RateB = int16_t(vb::CInt(double(s.SampleRateIndex)));
        s.SizeA = s.SampleSizeIndex;
        s.SizeB = int16_t(s.SampleSizeIndex);
        printBox(SRATEDISP, LightYellow,
                 acq::rateText(int(double(s.SampleRateIndex)), s.RateFactor));
        printBox(SSIZEDISP, LightYellow, acq::sizeText(s.SampleSizeIndex));
    } else {
        printBox(SRATEDISP, Grey, "");
        printBox(SSIZEDISP, Grey, vb::NumberText(double(s.GenLast) + 1, true));
    }
}

void WQK::SRATEN_MouseDown() {
    double v = double(s.SampleRateIndex) - 1;
    if (v < 0) v = 0;
    s.SampleRateIndex = indexValue(v);
    DSAMPLE();
}

void WQK::SRATEP_MouseDown() {
    double v = double(s.SampleRateIndex) + 1;
    if (v > acq::MaxIndex) v = acq::MaxIndex;
    s.SampleRateIndex = indexValue(v);
    DSAMPLE();
}

void WQK::SSIZEN_MouseDown() {
    s.SampleSizeIndex = s.SampleSizeIndex - 1 < 0 ? 0 : s.SampleSizeIndex - 1;
    DSAMPLE();
}

void WQK::SSIZEP_MouseDown() {
    s.SampleSizeIndex =
        s.SampleSizeIndex + 1 > acq::MaxIndex ? acq::MaxIndex : s.SampleSizeIndex + 1;
    DSAMPLE();
}

namespace {
void setScrollMaxima(WQK& w) {
    double max = std::pow(2.0, w.s.SampleSizeIndex) * w.s.BufBase - 1;
    // Only a damaged size index gives more than the 32768 samples of a buffer.
    if (!(max >= 0)) max = 0;
    if (max > 32767) max = 32767;
    w.HScroll1->setMaximum(vb::CInt(max));
    w.HScroll2->setMaximum(vb::CInt(max));
}
} // namespace

void WQK::SRATEN_KeyPress() {
    SRATEN_MouseDown();
}
void WQK::SRATEP_KeyPress() {
    SRATEP_MouseDown();
}

void WQK::SSIZEN_KeyPress() {
    SSIZEN_MouseDown();
    setScrollMaxima(*this);
}

void WQK::SSIZEP_KeyPress() {
    SSIZEP_MouseDown();
    setScrollMaxima(*this);
}
