#include "spectrum/fft.h"

#include "platform/msgbox.h"
#include "platform/vb.h"

#include <algorithm>
#include <cmath>
#include <string>

bool IsPowerOfTwo(int32_t X) {
    return X >= 2 && (X & (X - 1)) == 0;
}

uint8_t NumberOfBitsNeeded(int32_t PowerOfTwo) {
    for (uint8_t i = 0; i <= 16; ++i)
        if (PowerOfTwo & (int32_t(1) << i)) return i;
    return 0;
}

int32_t ReverseBits(int32_t Index, uint8_t NumBits) {
    int32_t rev = 0;
    for (uint8_t i = 0; i < NumBits; ++i) {
        rev = (rev << 1) | (Index & 1);
        Index /= 2;
    }
    return rev;
}

bool Fourier(int32_t& NumSamples, std::vector<double>& RealIn, std::vector<double>& ImagIn,
             std::vector<double>& RealOut, std::vector<double>& ImagOut) {
    const double angleNumerator = 2 * vb::Pi;
    const std::string head =
        "Error in procedure Fourier:\r\n NumSamples is " + std::to_string(NumSamples);
    if (!IsPowerOfTwo(NumSamples)) {
        plat::MsgBox(head + ", which is not a positive integer power of two.", plat::Buttons::OK,
                     "Error!");
        return false;
    }
    const size_t n = size_t(NumSamples);
    if (n > std::min({RealIn.size(), ImagIn.size(), RealOut.size(), ImagOut.size()})) {
        // A caller's mistake, not the user's; say so rather than run off the arrays.
        plat::MsgBox(head + ", which is more than the work arrays hold.", plat::Buttons::OK,
                     "Error!");
        return false;
    }

    const uint8_t numBits = NumberOfBitsNeeded(NumSamples);
    for (int32_t i = 0; i < NumSamples; ++i) {
        const int32_t j = ReverseBits(i, numBits);
        RealOut[j] = RealIn[i];
        ImagOut[j] = ImagIn[i];
    }

    int32_t blockEnd = 1;
    for (int32_t blockSize = 2; blockSize <= NumSamples; blockSize *= 2) {
        const double delta = angleNumerator / blockSize;
        const double sm = std::sin(delta / 2);
        const double alpha = 2 * sm * sm;
        const double beta = std::sin(delta);
        for (int32_t i = 0; i < NumSamples; i += blockSize) {
            double wr = 1, wi = 0;
            for (int32_t m = 0; m < blockEnd; ++m) {
                const int32_t j = i + m, k = j + blockEnd;
                const double tr = wr * RealOut[k] - wi * ImagOut[k];
                const double ti = wi * RealOut[k] + wr * ImagOut[k];
                RealOut[k] = RealOut[j] - tr;
                ImagOut[k] = ImagOut[j] - ti;
                RealOut[j] = RealOut[j] + tr;
                ImagOut[j] = ImagOut[j] + ti;
                const double t = alpha * wr + beta * wi;
                wi = wi - (alpha * wi - beta * wr);
                wr = wr - t;
            }
        }
        blockEnd = blockSize;
    }
    return true;
}

namespace spectrum {

bool convertChannel(std::vector<int16_t>& buf, int32_t n, std::vector<double>& realIn,
                    std::vector<double>& imagIn, std::vector<double>& realOut,
                    std::vector<double>& imagOut) {
    // Fourier checks the count against its arrays; the fill below must not outrun them.
    if (!IsPowerOfTwo(n) || size_t(n) > buf.size() || size_t(n) > realIn.size() ||
        size_t(n) > imagIn.size() || size_t(n) > realOut.size()) {
        std::vector<double> none;
        if (IsPowerOfTwo(n))
            Fourier(n, none, none, none, none); // "more than the arrays"
        else
            Fourier(n, realIn, imagIn, realOut, imagOut);
        return false;
    }
    for (int32_t i = 0; i < n; ++i) {
        realIn[i] = buf[i] / 100.0;
        imagIn[i] = 0;
        realOut[i] = 0;
    }
    if (!Fourier(n, realIn, imagIn, realOut, imagOut)) return false;

    // Bin 0, the constant component, takes no part in the scaling.
    double max = 0;
    for (int32_t i = 1; i <= n / 2 - 1; ++i) {
        const double m = std::sqrt(imagOut[i] * imagOut[i] + realOut[i] * realOut[i]);
        if (m > max) max = m;
    }
    if (max == 0) max = 1;
    buf[0] = 0;
    for (int32_t i = 1; i <= n / 2 - 1; ++i) {
        const double m = std::sqrt(imagOut[i] * imagOut[i] + realOut[i] * realOut[i]);
        buf[i] = int16_t(vb::CInt(m * 2550 / max));
    }
    return true;
}

} // namespace spectrum
