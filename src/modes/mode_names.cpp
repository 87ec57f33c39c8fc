#include "modes/mode_names.h"

namespace modes {

std::string caption(int mode) {
    switch (mode) {
    case Generator:
        return "   GENERATOR";
    case ScopeGen:
        return "   SCOPE+GEN";
    case FFT:
        return "            FFT";
    default:
        return "        SCOPE";
    }
}

} // namespace modes
