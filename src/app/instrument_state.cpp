#include "app/instrument_state.h"

#include <algorithm>
#include <cmath>

InstrumentState::InstrumentState() {
    std::fill(ChanABuffer.begin(), ChanABuffer.end(), int16_t(MidScale));
    std::fill(ChanBBuffer.begin(), ChanBBuffer.end(), int16_t(MidScale));
    std::fill(GenWave.begin(), GenWave.end(), int16_t(MidScale));
}

void InstrumentState::reset() {
    *this = InstrumentState();
}

namespace {
template <class T> bool same(const T& a, const T& b) {
    return a == b;
}
bool same(double a, double b) {
    return a == b || (std::isnan(a) && std::isnan(b));
}
bool same(float a, float b) {
    return a == b || (std::isnan(a) && std::isnan(b));
}
bool same(const vb::Variant& a, const vb::Variant& b) {
    return a.kind() == b.kind() &&
           (a.kind() == vb::Variant::Kind::Text ? a.text() == b.text() : same(a.num(), b.num()));
}
bool same(const std::vector<double>& a, const std::vector<double>& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (!same(a[i], b[i])) return false;
    return true;
}
} // namespace

std::vector<std::string> InstrumentState::differences(const InstrumentState& a,
                                                      const InstrumentState& b) {
    std::vector<std::string> out;
#define FIELD(f)                                                                                   \
    if (!same(a.f, b.f)) out.push_back(#f);
#include "state_fields.inc"
#undef FIELD
    return out;
}
