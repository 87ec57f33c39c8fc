// CSV export of the two channels (volts) or the two spectra (0..100), CR LF lines with
// the numbers in print form.
#include "files/formats.h"

#include <algorithm>
#include <cmath>

namespace files {

double exportSignalValue(int x, int range) {
    // Code x 10, centred on 1280; 1280 units are 1.2 V on range 0.
    return vb::Int((x - InstrumentState::MidScale) * 0.9375 + 0.5) * std::pow(10.0, range) / 1000;
}

double exportSpectrumValue(int x) {
    return vb::Int(x / 0.255) / 100;
}

std::string encodeExport(const InstrumentState& s, bool signal) {
    const double rate = s.RateFactor * 2000.0 * std::pow(10.0, s.dataRateA());
    const int sizeIndex = std::clamp(s.SampleSizeIndex, 0, 4);
    const int rows = (signal ? 2048 : 1024) << sizeIndex;
    const int rangeA = s.dataRangeA(), rangeB = s.DataRangeB;

    std::string out;
    out.reserve(size_t(rows) * 20 + 100);
    out +=
        signal ? "WQK sample data for Channels A & B\r\n" : "WQK FFT data for Channels A & B\r\n";
    out += "Samples/Sec:," + printForm(rate) + "\r\n";
    out += "Channel A, Channel B\r\n";
    for (int i = 0; i < rows; ++i) {
        const int a = s.ChanABuffer[i], b = s.ChanBBuffer[i];
        if (signal)
            out += printForm(exportSignalValue(a, rangeA)) + "," +
                   printForm(exportSignalValue(b, rangeB));
        else
            out += printForm(exportSpectrumValue(a)) + "," + printForm(exportSpectrumValue(b));
        out += "\r\n";
    }
    return out;
}

} // namespace files
