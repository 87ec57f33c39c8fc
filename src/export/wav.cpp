#include "export/wav.h"

#include "analysis/record.h"
#include "app/instrument_state.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace exporting {

namespace {

// libsndfile writes into a string through its virtual file interface.
struct Memory {
    std::string bytes;
    sf_count_t pos = 0;
};

sf_count_t length(void* m) {
    return sf_count_t(static_cast<Memory*>(m)->bytes.size());
}
sf_count_t seek(sf_count_t offset, int whence, void* m) {
    auto* mem = static_cast<Memory*>(m);
    const sf_count_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? mem->pos : length(m);
    mem->pos = std::max<sf_count_t>(0, base + offset);
    return mem->pos;
}
sf_count_t read(void* to, sf_count_t n, void* m) {
    auto* mem = static_cast<Memory*>(m);
    const sf_count_t got = std::clamp<sf_count_t>(length(m) - mem->pos, 0, n);
    std::memcpy(to, mem->bytes.data() + mem->pos, size_t(got));
    mem->pos += got;
    return got;
}
sf_count_t write(const void* from, sf_count_t n, void* m) {
    auto* mem = static_cast<Memory*>(m);
    if (size_t(mem->pos + n) > mem->bytes.size()) mem->bytes.resize(size_t(mem->pos + n));
    std::memcpy(mem->bytes.data() + mem->pos, from, size_t(n));
    mem->pos += n;
    return n;
}
sf_count_t tell(void* m) {
    return static_cast<Memory*>(m)->pos;
}

// Buffer value to a 16-bit sample whose high byte is the 8-bit code less 128: libsndfile
// turns it back into exactly that code. The code is the value / 10 rounded half to even,
// as the signal file stores it, in integers: this runs for every sample of every capture
// a recording writes.
short sampleOf(int16_t value) {
    const int v = std::clamp<int>(value, 0, 2550);
    int code = v / 10;
    const int rest = v % 10;
    if (rest > 5 || (rest == 5 && code % 2 == 1)) ++code;
    return short((code - 128) * 256);
}

} // namespace

WavSource wavSourceOf(const InstrumentState& s) {
    WavSource w;
    w.a = analysis::samplesOf(s, analysis::Channel::A).data();
    w.b = analysis::samplesOf(s, analysis::Channel::B).data();
    w.frames = analysis::capturedCount(s);
    w.sampleRate = int(std::lround(analysis::sampleRateHz(s.dataRateA(), s.RateFactor)));
    w.aOn = s.chanAOn();
    w.bOn = s.chanBOn();
    return w;
}

bool encodeWav(const WavSource& src, std::string& out, std::string& error) {
    if (src.sampleRate <= 0) {
        error = "the capture has no sample rate";
        return false;
    }
    SF_VIRTUAL_IO io{length, seek, read, write, tell};
    Memory mem;
    mem.bytes.reserve(src.frames * 2 + 64);
    SF_INFO info{};
    info.samplerate = src.sampleRate;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_U8;
    SNDFILE* f = sf_open_virtual(&io, SFM_WRITE, &info, &mem);
    if (!f) {
        error = sf_strerror(nullptr);
        return false;
    }
    std::vector<short> frames(src.frames * 2);
    for (size_t i = 0; i < src.frames; ++i) {
        frames[2 * i] = src.aOn ? sampleOf(src.a[i]) : 0;
        frames[2 * i + 1] = src.bOn ? sampleOf(src.b[i]) : 0;
    }
    const bool written =
        sf_writef_short(f, frames.data(), sf_count_t(src.frames)) == sf_count_t(src.frames);
    if (!written) error = sf_strerror(f);
    if (sf_close(f) != 0 && written) {
        error = "the sound file could not be finished";
        return false;
    }
    if (!written) return false;
    out = std::move(mem.bytes);
    return true;
}

} // namespace exporting
