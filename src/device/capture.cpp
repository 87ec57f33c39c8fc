// Not built yet: these handlers do nothing until their subsystem lands.
#include "app/wqk.h"

void WQK::ADCconvert() {}
void WQK::autoconvert() {}
void WQK::trigconvert() {}
void WQK::readbufferA() {}
void WQK::readbufferB() {}
