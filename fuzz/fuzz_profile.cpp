// Profile loader: any input is rejected or gives settings that write back to a profile
// which loads again to the very same line.
#include "check.h"
#include "files/formats.h"

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static InstrumentState s;
    const std::string_view in(reinterpret_cast<const char*>(data), size);
    files::ProfileData d;
    files::Outcome o = files::decodeProfile(in, d);
    if (o != files::Outcome::Loaded) return 0;
    FUZZ_CHECK(d.values.size() == 70 || d.values.size() == 78);

    files::applyProfile(s, d);
    const double mode = s.ScopeMode.num();
    FUZZ_CHECK(mode >= 0 && mode <= 3);
    FUZZ_CHECK(s.BufBase == (mode == 3 ? 1024 : 2048));
    FUZZ_CHECK(s.SampleSizeIndex >= 0 && s.SampleSizeIndex <= 4);
    FUZZ_CHECK(s.FullScale == 2560);
    FUZZ_CHECK(s.LevelSetMode.num() == 0);

    const std::string once = files::encodeProfile(s);
    files::ProfileData again;
    FUZZ_CHECK(files::decodeProfile(once, again) == files::Outcome::Loaded);
    FUZZ_CHECK(again.values.size() == 78);
    files::applyProfile(s, again);
    FUZZ_CHECK(files::encodeProfile(s) == once);
    return 0;
}
