// Signal files ("WQK") and FFT files ("FFT"): three magic characters, four header
// digits (rate factor, rate index, range of A, range of B) and the interleaved A/B bytes.
#include "files/formats.h"

#include <algorithm>

namespace files {

namespace {

constexpr int Points = InstrumentState::BufferSize;

// Buffer value to file byte: value / 10, nearest with halves to even.
bool toByte(int16_t value, char& out) {
    long b = vb::CLng(value / 10.0);
    if (b < 0 || b > 255) return false;
    out = static_cast<char>(static_cast<unsigned char>(b));
    return true;
}

int digitValue(char c) {
    return c >= '0' && c <= '9' ? c - '0' : 0;
}

} // namespace

char rateFactorDigit(float factor) {
    long d = vb::CLng(factor); // 1.0 -> '1', 1.5 -> '2' (halves to even)
    return static_cast<char>('0' + std::clamp(d, 0L, 9L));
}

float rateFactorFromDigit(char digit) {
    // '2' is what a 1.5 unit writes. Anything else is a 1.0 unit: a factor of 0 (a
    // non-digit) would divide by zero in the time labels.
    return digit == '2' ? 1.5f : 1.0f;
}

SignalSource::SignalSource(const InstrumentState& s)
    : rateFactor(s.RateFactor), rate(s.dataRateA()), rangeA(s.dataRangeA()), rangeB(s.DataRangeB),
      a(s.ChanABuffer), b(s.ChanBBuffer) {}

bool encodeSignal(const SignalSource& src, const SignalKind& kind, std::string& out) {
    std::string f(kind.magic, 3);
    f += rateFactorDigit(src.rateFactor);
    f += static_cast<char>('0' + src.rate);
    f += static_cast<char>('0' + src.rangeA);
    f += static_cast<char>('0' + src.rangeB);
    f.resize(SignalFileSize);
    for (int i = 0; i < Points; ++i) {
        if (!toByte(src.a[i], f[SignalHeaderSize + 2 * i]) ||
            !toByte(src.b[i], f[SignalHeaderSize + 2 * i + 1]))
            return false;
    }
    out = std::move(f);
    return true;
}

Outcome decodeSignal(std::string_view bytes, const SignalKind& kind, SignalData& out) {
    // The length counts up to one byte short of a full file: more is ignored.
    const size_t length = std::min(bytes.size(), size_t(SignalFileSize - 1));
    if (length < kind.minLength) return Outcome::Invalid;
    if (bytes.substr(0, 3) != std::string_view(kind.magic, 3)) return Outcome::Invalid;
    const int rate = digitValue(bytes[4]);
    const int rangeA = digitValue(bytes[5]);
    const int rangeB = digitValue(bytes[6]);
    if (rate > 4 || rangeA > 2 || rangeB > 2) return Outcome::Invalid;

    // Pairs as the length announces them, but only complete ones: a lone last byte is
    // left out rather than failing halfway through the buffers.
    const size_t announced = (length - 6) / 2;
    const size_t complete = (bytes.size() - SignalHeaderSize) / 2;
    const size_t pairs = std::min({announced, complete, size_t(Points)});

    SignalData d;
    d.rateFactor = rateFactorFromDigit(bytes[3]);
    d.rate = rate;
    d.rangeA = rangeA;
    d.rangeB = rangeB;
    d.a.resize(pairs);
    d.b.resize(pairs);
    for (size_t i = 0; i < pairs; ++i) {
        d.a[i] = static_cast<uint8_t>(bytes[SignalHeaderSize + 2 * i]);
        d.b[i] = static_cast<uint8_t>(bytes[SignalHeaderSize + 2 * i + 1]);
    }
    out = std::move(d);
    return Outcome::Loaded;
}

void applySignal(InstrumentState& s, const SignalData& d) {
    const int n = static_cast<int>(std::min(d.a.size(), size_t(Points)));
    const bool aOn = s.chanAOn(), bOn = s.chanBOn();
    for (int i = 0; i < n; ++i) {
        if (aOn) s.ChanABuffer[i] = static_cast<int16_t>(d.a[i] * 10);
        if (bOn) s.ChanBBuffer[i] = static_cast<int16_t>(d.b[i] * 10);
    }
    s.GenLast = static_cast<float>(n);
    if (n < Points - 1) {
        if (aOn) std::fill(s.ChanABuffer.begin() + n, s.ChanABuffer.end(), 0);
        if (bOn) std::fill(s.ChanBBuffer.begin() + n, s.ChanBBuffer.end(), 0);
    }
    if (s.GenLast > Points - 1) s.GenLast = Points - 1;

    s.LoadDone = 1;
    s.RateFactor = d.rateFactor;
    s.DataRateA = d.rate;
    s.DataRateB = static_cast<int16_t>(d.rate);
    s.DataRangeA = d.rangeA;
    s.DataRangeB = static_cast<int16_t>(d.rangeB);
}

} // namespace files
