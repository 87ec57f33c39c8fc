// Not built yet: these handlers do nothing until their subsystem lands.
#include "app/wqk.h"

void WQK::Command1_Click() {}
void WQK::buildPrintWindow() {}
