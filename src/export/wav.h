#pragma once
// A capture as a sound file: 2 channels (A, B), 8-bit unsigned PCM WAV at the rate the
// capture was taken with, one frame per captured sample. A channel that was off is
// silence (code 128). libsndfile writes it, so every sound tool reads it.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct InstrumentState;

namespace exporting {

struct WavSource {
    const int16_t* a = nullptr; // buffer values (code x 10)
    const int16_t* b = nullptr;
    size_t frames = 0;
    int sampleRate = 0;
    bool aOn = true, bOn = true;
};
// The samples of the last capture: the read-out's count, the captured-with rate
// (RateFactor included), and in FFT mode the sample copies rather than the spectra.
WavSource wavSourceOf(const InstrumentState& s);

// The whole file in memory; false with the reason in `error`.
bool encodeWav(const WavSource& src, std::string& out, std::string& error);

} // namespace exporting
