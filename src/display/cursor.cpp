// Not built yet: these handlers do nothing until their subsystem lands.
#include "app/wqk.h"

void WQK::curtest() {}
void WQK::cursdraw() {}
void WQK::trcursdraw() {}
void WQK::Command23_Click() {}
void WQK::Command24_MouseDown() {}
void WQK::Command25_MouseDown() {}
void WQK::Command26_MouseDown() {}
void WQK::Command26_KeyPress() {}
void WQK::Command27_MouseDown() {}
void WQK::Command27_KeyPress() {}
void WQK::Command24_MouseUp() {}
void WQK::Command25_MouseUp() {}
void WQK::Command26_MouseUp() {}
void WQK::Command27_MouseUp() {}
void WQK::CURSINFO_Click() {}
