#pragma once
// The radix-2 transform behind the FFT display. Its numerics are fixed: the angle comes
// from the program's pi (vb::Pi) and the twiddle factors from the trigonometric
// recurrence, so spectra and saved FFT files come out the same on every machine.
#include <cstdint>
#include <vector>

namespace spectrum {

// Magnitude spectrum of buf[0..n-1] (codes x 10) written back into buf: buf[0] := 0,
// buf[1..n/2-1] := magnitudes scaled so the largest reads 2550 (all 0 for a flat input);
// buf[n/2..] keeps its samples. The four work arrays are those of the state record.
// Returns false (buffer untouched) when n is not a power of two the arrays can hold.
bool convertChannel(std::vector<int16_t>& buf, int32_t n, std::vector<double>& realIn,
                    std::vector<double>& imagIn, std::vector<double>& realOut,
                    std::vector<double>& imagOut);

} // namespace spectrum

// True when X >= 2 and X AND (X - 1) = 0.
bool IsPowerOfTwo(int32_t X);
// The smallest i in 0..16 for which bit i of PowerOfTwo is set; 0 if none is.
uint8_t NumberOfBitsNeeded(int32_t PowerOfTwo);
// The lowest NumBits bits of Index in reverse order.
int32_t ReverseBits(int32_t Index, uint8_t NumBits);
// Unnormalised decimation-in-time transform of (RealIn, ImagIn) into (RealOut, ImagOut),
// twiddles e^(+i 2 Pi n / BlockSize). A count that is not a power of two (or more than
// the arrays hold) gets the "Error!" message and leaves the outputs alone; the result
// then is false.
bool Fourier(int32_t& NumSamples, std::vector<double>& RealIn, std::vector<double>& ImagIn,
             std::vector<double>& RealOut, std::vector<double>& ImagOut);
