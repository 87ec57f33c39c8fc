#pragma once
// The file formats as plain functions on the instrument state: no file access, no
// widgets. Decoding never touches the state, so a rejected file changes nothing; a
// decoded file is applied in one step.
#include "app/instrument_state.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace files {

enum class Outcome {
    Loaded,     // accepted; apply it
    Invalid,    // not a file of this kind ("Not a valid ..." message)
    Unreadable, // ends too early or holds an unreadable item ("Unable to open file")
};

// ---- Signal and FFT files: 7-byte header, then up to 32768 A/B sample pairs ----------
constexpr int SignalHeaderSize = 7;
constexpr int SignalFileSize = SignalHeaderSize + 2 * InstrumentState::BufferSize; // 65543

struct SignalKind {
    const char* magic; // "WQK" or "FFT"
    size_t minLength;  // shorter files are rejected
};
inline constexpr SignalKind WqkSignal{"WQK", 2054};
inline constexpr SignalKind FftSignal{"FFT", 1030};

struct SignalData {
    float rateFactor = 1.0f;
    int rate = 0, rangeA = 0, rangeB = 0;
    std::vector<uint8_t> a, b; // one entry per complete pair
};

// The rate-factor digit as written ('0' + the rounded factor) and as read back.
char rateFactorDigit(float factor);
float rateFactorFromDigit(char digit);

// What a signal or FFT file is written from: the rate and ranges the buffers were
// captured with, and the two buffers. Built from the record (DataRateA, DataRangeA,
// DataRangeB, RateFactor, ChanABuffer, ChanBBuffer).
struct SignalSource {
    SignalSource(const InstrumentState& s); // from the record, on purpose implicit
    float rateFactor;
    int rate, rangeA, rangeB;
    const std::vector<int16_t>& a;
    const std::vector<int16_t>& b;
};
// Fails (false) when a buffer value does not fit in one byte.
bool encodeSignal(const SignalSource& src, const SignalKind& kind, std::string& out);
Outcome decodeSignal(std::string_view bytes, const SignalKind& kind, SignalData& out);
// Fills the buffers of the channels that are ON, zeroes the rest of them, sets GenLast
// and the header settings, and LoadDone.
void applySignal(InstrumentState& s, const SignalData& d);

// ---- Profiles: "DPF" and 78 settings on one line ---------------------------------------
constexpr int ProfileItems = 78;
constexpr int ProfileRequiredItems = 70; // items 71..78 are an optional tail

struct ProfileData {
    std::vector<vb::Variant> values; // items 1..70 or 1..78, already checked
};

const char* profileItemName(int item); // 1..78
std::string encodeProfile(const InstrumentState& s);
Outcome decodeProfile(std::string_view text, ProfileData& out);
// Sets the settings, LoadDone and LevelSetMode, and carries the channel buffers across
// a change into or out of FFT mode the way the mode button does.
void applyProfile(InstrumentState& s, const ProfileData& d);

// ---- Custom waves: RAW bytes and CSV text --------------------------------------------
struct CustomWaveData {
    std::vector<int16_t> points; // GenWave values (code x 10), at most 32768
};

CustomWaveData decodeRaw(std::string_view bytes);
CustomWaveData decodeCsv(std::string_view text);
// GenWave, GenLast and the switch to the custom generator wave.
void applyCustom(InstrumentState& s, const CustomWaveData& d);
// The generator wave and the index of its last point (GenWave, GenLast).
struct CustomSource {
    CustomSource(const InstrumentState& s); // from the record, on purpose implicit
    float genLast;
    const std::vector<int16_t>& wave;
};
// wave[0..genLast] as bytes; fails when a value does not fit in one byte.
bool encodeCustom(const CustomSource& src, std::string& out);

// ---- CSV export of the signals (signal = true) or the spectra --------------------------
// The rate, ranges and size of the captured buffers, and the buffers.
struct ExportSource {
    ExportSource(const InstrumentState& s); // from the record, on purpose implicit
    float rateFactor;
    int rate, rangeA, rangeB, sizeIndex;
    const std::vector<int16_t>& a;
    const std::vector<int16_t>& b;
};
std::string encodeExport(const ExportSource& src, bool signal);
double exportSignalValue(int bufferValue, int range);
double exportSpectrumValue(int bufferValue);

// ---- Numbers in text -------------------------------------------------------------------
// The print form of a number followed by the blank that Print adds.
std::string printForm(double v);
// The whole text (blanks around it ignored) as a decimal number; false if it is not one.
bool parseNumber(std::string_view text, double& v);
// The value of the number the text begins with (after blanks), 0 when there is none.
double leadingNumber(std::string_view text);

} // namespace files
