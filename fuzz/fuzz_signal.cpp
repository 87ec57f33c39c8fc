// Signal files through "Load A + B Waves" in SCOPE mode or FFT files through "Load A + B
// FFT plots" in FFT mode, DSAMPLE and the FFT flags included, with channel B on or off
// (both chosen by the input's length, so a file is tried all four ways): a refused file
// changes nothing; a loaded one saves to a file that loads again.
#include "files/formats.h"
#include "harness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::Program& p = fuzz::Program::get();
    WQK& w = p.w;
    const std::string in(reinterpret_cast<const char*>(data), size);
    const bool fft = size & 2;
    p.reset(fft ? fuzz::Start::Fft : fuzz::Start::Scope);
    if (size & 1) w.control<VbButton>("SCHBbutton")->click(); // channel B off keeps its samples
    const fuzz::State& before = p.state();
    if (!p.load(in,
                fft ? w.control<VbButton>("FFTloadab") : w.control<VbButton>("chaloadbutton"))) {
        p.unchanged(before);
        return 0;
    }
    FUZZ_CHECK(!fft || (w.state().FFTDoneA.num() == 1 && w.state().FFTDoneB == 1));
    FUZZ_CHECK(bytesTimesTen(w.state().ChanABuffer) && bytesTimesTen(w.state().ChanBBuffer));
    FUZZ_CHECK(w.state().ChanBBuffer == before.record.ChanBBuffer || w.state().ChanBOn == 1);
    p.profileLoadsAgain();
    files::SignalData d;
    FUZZ_CHECK(files::decodeSignal(p.save(fft ? &WQK::fftabsave : &WQK::chabsave),
                                   fft ? files::FftSignal : files::WqkSignal,
                                   d) == files::Outcome::Loaded);
    return 0;
}
