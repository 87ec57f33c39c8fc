// Not built yet: these handlers do nothing until their subsystem lands.
#include "app/wqk.h"

void WQK::SCOPEMODE_Click() {}
void WQK::FFTbutton_Click() {}
void WQK::SMODEDISP() {}
