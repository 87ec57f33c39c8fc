// Not built yet: these handlers do nothing until their subsystem lands.
#include "app/wqk.h"

void WQK::DSAMPLE() {}
void WQK::SRATEN_MouseDown() {}
void WQK::SRATEN_KeyPress() {}
void WQK::SRATEP_MouseDown() {}
void WQK::SRATEP_KeyPress() {}
void WQK::SSIZEN_MouseDown() {}
void WQK::SSIZEN_KeyPress() {}
void WQK::SSIZEP_MouseDown() {}
void WQK::SSIZEP_KeyPress() {}
