#pragma once
// Custom waves through LOAD in GENERATOR mode, the generator display included: any file
// loads (or cannot be read and changes nothing), and the wave saves to a file that
// loads back to the same points, rounded to whole DAC codes.
#include "files/formats.h"
#include "harness.h"

#include <algorithm>
#include <cmath>

inline int fuzzCustomWave(const uint8_t* data, size_t size, bool csv) {
    fuzz::Program& p = fuzz::Program::get();
    WQK& w = p.w;
    p.reset(fuzz::Start::Generator); // where the custom-wave buttons are offered
    const fuzz::State& before = p.state();
    if (!p.load({reinterpret_cast<const char*>(data), size},
                csv ? w.control<VbButton>("CustomCSVbutton")
                    : w.control<VbButton>("Customloadbutton"))) {
        p.unchanged(before);
        return 0;
    }
    const size_t last = size_t(w.state().GenLast);
    FUZZ_CHECK(w.state().GenLast == float(last) && last >= 9 && last <= 32767);
    FUZZ_CHECK(w.state().GenMode.num() == 2 && w.state().GenDirty == 0);
    FUZZ_CHECK(std::equal(w.state().GenWave.begin(), w.state().GenWave.begin() + long(last) + 1,
                          w.state().CustomWave.begin()));
    FUZZ_CHECK(csv ? std::all_of(w.state().GenWave.begin(), w.state().GenWave.end(),
                                 [](int16_t v) { return v >= 0 && v <= 2550; })
                   : bytesTimesTen(w.state().GenWave));
    p.profileLoadsAgain();
    // Saved as DAC codes: the points rounded to whole codes.
    const files::CustomWaveData back = files::decodeRaw(p.save(&WQK::customsave));
    FUZZ_CHECK(back.points.size() == last + 1);
    for (size_t i = 0; i <= last; ++i)
        FUZZ_CHECK(back.points[i] == 10 * std::nearbyint(w.state().GenWave[i] / 10.0));
    return 0;
}
