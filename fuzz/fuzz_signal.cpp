// Signal and FFT loader: any input is either rejected or loaded within the buffers, and
// what was loaded is written back and read again unchanged.
#include "check.h"
#include "files/formats.h"

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static InstrumentState s;
    const std::string_view in(reinterpret_cast<const char*>(data), size);
    for (const files::SignalKind* kind : {&files::WqkSignal, &files::FftSignal}) {
        files::SignalData d;
        files::Outcome o = files::decodeSignal(in, *kind, d);
        if (o != files::Outcome::Loaded) {
            FUZZ_CHECK(o == files::Outcome::Invalid);
            continue;
        }
        FUZZ_CHECK(d.a.size() == d.b.size());
        FUZZ_CHECK(d.a.size() <= 32768 && files::SignalHeaderSize + 2 * d.a.size() <= size);
        FUZZ_CHECK(d.rate >= 0 && d.rate <= 4 && d.rangeA >= 0 && d.rangeA <= 2);
        FUZZ_CHECK(d.rangeB >= 0 && d.rangeB <= 2);
        FUZZ_CHECK(d.rateFactor == 1.0f || d.rateFactor == 1.5f);

        // Channel switches from the input, so both ON and OFF are explored.
        s.ChanAOn = int(size & 1);
        s.ChanBOn = int16_t((size >> 1) & 1);
        files::applySignal(s, d);
        // What was loaded, and the first points after it that the load zeroes.
        const size_t n = d.a.size();
        FUZZ_CHECK(bytesTimesTen(s.ChanABuffer, 0, n + 8) &&
                   bytesTimesTen(s.ChanBBuffer, 0, n + 8));
        FUZZ_CHECK(bytesTimesTen(s.ChanABuffer, 32760) && bytesTimesTen(s.ChanBBuffer, 32760));
        FUZZ_CHECK(s.GenLast >= 0 && s.GenLast <= 32767);

        std::string out;
        FUZZ_CHECK(files::encodeSignal(s, *kind, out));
        FUZZ_CHECK(out.size() == size_t(files::SignalFileSize));
        files::SignalData e;
        FUZZ_CHECK(files::decodeSignal(out, *kind, e) == files::Outcome::Loaded);
        FUZZ_CHECK(e.rate == d.rate && e.rangeA == d.rangeA && e.rangeB == d.rangeB);
        FUZZ_CHECK(e.rateFactor == d.rateFactor);
        for (size_t i = 0; i < d.a.size(); ++i) {
            if (s.ChanAOn.num() != 0) FUZZ_CHECK(e.a[i] == d.a[i]);
            if (s.ChanBOn != 0) FUZZ_CHECK(e.b[i] == d.b[i]);
        }
    }
    return 0;
}
