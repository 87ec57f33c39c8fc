// RAW custom-wave loader: any file gives a wave of 10..32768 DAC codes that saves and
// loads back unchanged.
#include "check.h"
#include "files/formats.h"

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static InstrumentState s;
    files::CustomWaveData d = files::decodeRaw({reinterpret_cast<const char*>(data), size});
    FUZZ_CHECK(d.points.size() == (size < 32768 ? size : 32768));
    files::applyCustom(s, d);
    FUZZ_CHECK(s.GenLast >= 9 && s.GenLast <= 32767);
    FUZZ_CHECK(bytesTimesTen(s.GenWave, 0, size_t(s.GenLast) + 9));

    std::string out;
    FUZZ_CHECK(files::encodeCustom(s, out));
    FUZZ_CHECK(out.size() == size_t(s.GenLast) + 1);
    for (size_t i = 0; i < d.points.size(); ++i)
        FUZZ_CHECK(static_cast<uint8_t>(out[i]) == data[i]);
    files::CustomWaveData back = files::decodeRaw(out);
    for (size_t i = 0; i < back.points.size(); ++i)
        FUZZ_CHECK(back.points[i] == s.GenWave[i]);
    return 0;
}
