// Profiles through LOAD and "Load Scope Profile", re-application included: a refused
// file changes nothing; a loaded one leaves the program in a state whose profile loads.
#include "files/formats.h"
#include "harness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Program& p = fuzz::Program::get();
    const std::string in(reinterpret_cast<const char*>(data), size);
    p.reset();
    const fuzz::State& before = p.state();
    const bool loaded = p.load(in, p.w.control<VbButton>("profileloadbutton"));
    files::ProfileData d;
    FUZZ_CHECK(loaded == (files::decodeProfile(in, d) == files::Outcome::Loaded));
    if (!loaded) {
        p.unchanged(before);
        return 0;
    }
    FUZZ_CHECK(p.w.state().LevelSetMode.num() == 0 && p.w.state().RunState.num() == 0);
    FUZZ_CHECK(files::decodeProfile(p.save(&WQK::profilesave), d) == files::Outcome::Loaded);
    return 0;
}
