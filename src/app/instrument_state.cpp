#include "app/instrument_state.h"

#include <algorithm>

InstrumentState::InstrumentState() {
    std::fill(ChanABuffer.begin(), ChanABuffer.end(), int16_t(MidScale));
    std::fill(ChanBBuffer.begin(), ChanBBuffer.end(), int16_t(MidScale));
    std::fill(GenWave.begin(), GenWave.end(), int16_t(MidScale));
}

void InstrumentState::reset() {
    *this = InstrumentState();
}
