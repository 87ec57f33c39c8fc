// FFT mode: each channel's buffer turns into its spectrum once per capture. A channel
// that is off is not captured, so its flag stays 1 and its spectrum stays frozen.
#include "app/wqk.h"
#include "spectrum/fft.h"

void WQK::FFTconvert() {
    const int32_t n = s.FFTNumSamples;
    if (!s.fftDoneA())
        spectrum::convertChannel(s.ChanABuffer, n, s.RealIn, s.ImagIn, s.RealOut, s.ImagOut);
    if (s.FFTDoneB == 0)
        spectrum::convertChannel(s.ChanBBuffer, n, s.RealIn, s.ImagIn, s.RealOut, s.ImagOut);
    s.FFTDoneA = 1;
    s.FFTDoneB = 1;
}
