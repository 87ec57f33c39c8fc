// Not built yet: these handlers do nothing until their subsystem lands.
#include "app/wqk.h"

void WQK::GOBUTTON_Click() {}
void WQK::GOMODE() {}
void WQK::TRESETBUTTON_Click() {}
