// Not built yet: these handlers do nothing until their subsystem lands.
#include "app/wqk.h"

void WQK::GENUPDATEBUTTON_Click() {}
