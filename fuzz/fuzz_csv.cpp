// CSV custom-wave loader: any text gives at most one point per byte, every point a DAC
// code within 0..255, and a wave that can be saved.
#include "check.h"
#include "files/formats.h"

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static InstrumentState s;
    files::CustomWaveData d = files::decodeCsv({reinterpret_cast<const char*>(data), size});
    FUZZ_CHECK(d.points.size() <= size && d.points.size() <= 32768);
    for (int16_t p : d.points)
        FUZZ_CHECK(p >= 0 && p <= 2550);
    files::applyCustom(s, d);
    FUZZ_CHECK(s.GenLast >= 9 && s.GenLast <= 32767);
    for (size_t i = 0; i < size_t(s.GenLast) + 9 && i < s.GenWave.size(); ++i)
        FUZZ_CHECK(s.GenWave[i] >= 0 && s.GenWave[i] <= 2550);

    std::string out;
    FUZZ_CHECK(files::encodeCustom(s, out));
    FUZZ_CHECK(out.size() == size_t(s.GenLast) + 1);
    return 0;
}
