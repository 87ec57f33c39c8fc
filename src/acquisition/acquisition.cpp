#include "acquisition/acquisition.h"

#include "app/instrument_state.h"
#include "platform/vb.h"

#include <cmath>

namespace acq {

std::string rateText(int index, float rateFactor) {
    const std::string n = vb::NumberText(2 * double(rateFactor));
    switch (index) {
    case 0:
        return " " + n + "  KHz";
    case 1:
        return n + "0 KHz";
    case 2:
        return n + "00KHz";
    case 3:
        return " " + n + "  MHz";
    case 4:
        return n + "0 MHz";
    default:
        return "";
    }
}

std::string sizeText(int index) {
    static const char* const texts[] = {"    2K ", "    4K ", "    8K ", "   16K ", "   32K "};
    return index >= 0 && index <= MaxIndex ? texts[index] : "";
}

int trigLevelCode(double trigLevel, double fullScale) {
    const double v = 255 * (fullScale - trigLevel) / fullScale;
    // Only a damaged setting lies outside the comparator's range.
    if (!(v >= 0)) return 0;
    if (v > 255) return 255;
    return vb::CInt(v);
}

long preTrigCount(double preTrig) {
    if (preTrig == 1) return 10;
    if (preTrig == 2) return 100;
    return 0;
}

long readCount(double sizeIndex, long preTrigCount) {
    const double size = 1024 * std::pow(2.0, sizeIndex + 1);
    const double n = size - double(preTrigCount);
    if (!(n >= 0)) return 0;
    return n > InstrumentState::BufferSize ? InstrumentState::BufferSize : long(n);
}

ScopeCapture scopeCapture(int sizeIndex, long preTrigCountNow, double trigLevel, double fullScale,
                          int preTrig) {
    ScopeCapture c;
    c.readCount = readCount(sizeIndex, preTrigCountNow);
    c.trigLevelCode = trigLevelCode(trigLevel, fullScale);
    c.preTrigCount = preTrigCount(preTrig);
    return c;
}

int generatorRateIndex(int genMode, int normal, int sweep, int custom) {
    switch (genMode) {
    case 1:
        return sweep;
    case 2:
        return custom;
    default:
        return normal;
    }
}

double rateHz(int index, double rateFactor) {
    if (index < 0 || index > MaxIndex) return 0;
    return rateFactor * 2000 * std::pow(10.0, index);
}

} // namespace acq
