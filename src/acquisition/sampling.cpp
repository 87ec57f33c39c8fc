// The sampling panel: rate and size arrows and the two boxes, and the copies of the
// two settings that the next capture uses.
#include "acquisition/acquisition.h"
#include "app/wqk.h"
#include "instrument/instrument.h"
#include "platform/colours.h"

#include <algorithm>
#include <cmath>

namespace {

void printBox(PictureBox* box, long back, const std::string& text) {
    box->setBackColor(back);
    box->ForeColor = colours::Black;
    box->FontBold = true;
    box->FontSize = 9;
    box->CurrentX = 0;
    box->CurrentY = 0;
    if (!text.empty()) box->Print(text);
}

} // namespace

void WQK::DSAMPLE() {
    SRATEDISP->Cls();
    SSIZEDISP->Cls();
    inst_->takeSampling();
    if (s.mode() == modes::Scope || s.mode() == modes::FFT) {
        printBox(SRATEDISP, colours::LightYellow, acq::rateText(s.sampleRateIndex(), s.RateFactor));
        printBox(SSIZEDISP, colours::LightYellow, acq::sizeText(s.SampleSizeIndex));
    } else {
        printBox(SRATEDISP, colours::Grey, "");
        printBox(SSIZEDISP, colours::Grey, vb::NumberText(double(s.GenLast) + 1, true));
    }
}

void WQK::SRATEN_MouseDown() {
    inst_->applySampleRate(std::max(0, s.sampleRateIndex() - 1));
    DSAMPLE();
}

void WQK::SRATEP_MouseDown() {
    inst_->applySampleRate(std::min(acq::MaxIndex, s.sampleRateIndex() + 1));
    DSAMPLE();
}

void WQK::SSIZEN_MouseDown() {
    inst_->applySampleSize(std::max(0, s.SampleSizeIndex - 1));
    DSAMPLE();
}

void WQK::SSIZEP_MouseDown() {
    inst_->applySampleSize(std::min(acq::MaxIndex, s.SampleSizeIndex + 1));
    DSAMPLE();
}

void WQK::SRATEN_KeyPress() {
    SRATEN_MouseDown();
}
void WQK::SRATEP_KeyPress() {
    SRATEP_MouseDown();
}

void WQK::SSIZEN_KeyPress() {
    SSIZEN_MouseDown();
    setScrollMaxima();
}

void WQK::SSIZEP_KeyPress() {
    SSIZEP_MouseDown();
    setScrollMaxima();
}

void WQK::setScrollMaxima() {
    double max = std::pow(2.0, s.SampleSizeIndex) * s.BufBase - 1;
    // Only a damaged size index gives more than the 32768 samples of a buffer.
    if (!(max >= 0)) max = 0;
    if (max > InstrumentState::LastIndex) max = InstrumentState::LastIndex;
    HScroll1->setMaximum(vb::CInt(max));
    HScroll2->setMaximum(vb::CInt(max));
}
