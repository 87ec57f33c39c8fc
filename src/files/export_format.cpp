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

ExportSource::ExportSource(const InstrumentState& s)
    : rateFactor(s.RateFactor), rate(s.dataRateA()), rangeA(s.dataRangeA()), rangeB(s.DataRangeB),
      sizeIndex(s.SampleSizeIndex), a(s.ChanABuffer), b(s.ChanBBuffer) {}

std::string encodeExport(const ExportSource& src, bool signal) {
    const double rate = src.rateFactor * 2000.0 * std::pow(10.0, src.rate);
    const int sizeIndex = std::clamp(src.sizeIndex, 0, 4);
    const int rows = (signal ? 2048 : 1024) << sizeIndex;
    const int rangeA = src.rangeA, rangeB = src.rangeB;

    std::string out;
    out.reserve(size_t(rows) * 20 + 100);
    out +=
        signal ? "WQK sample data for Channels A & B\r\n" : "WQK FFT data for Channels A & B\r\n";
    out += "Samples/Sec:," + printForm(rate) + "\r\n";
    out += "Channel A, Channel B\r\n";
    for (int i = 0; i < rows; ++i) {
        const int a = src.a[i], b = src.b[i];
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
