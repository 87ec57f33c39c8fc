// Not built yet: these handlers do nothing until their subsystem lands.
#include "app/wqk.h"

void WQK::DACWRITE() {}
void WQK::DACCONT() {}
void WQK::DACGEN() {}
void WQK::DACADCONCE() {}
void WQK::DACADC() {}
