// Not built yet: these handlers do nothing until their subsystem lands.
#include "app/wqk.h"

void WQK::helpbutton_Click() {}
void WQK::buildHelpWindow() {}
