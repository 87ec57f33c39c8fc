#include "app/instrument_state.h"

#include <algorithm>

InstrumentState::InstrumentState() {
    std::fill(ChanABuffer.begin(), ChanABuffer.end(), int16_t(1280));
    std::fill(ChanBBuffer.begin(), ChanBBuffer.end(), int16_t(1280));
    std::fill(GenWave.begin(), GenWave.end(), int16_t(1280));
}

void InstrumentState::reset() {
    *this = InstrumentState();
}
