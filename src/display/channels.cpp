// Not built yet: these handlers do nothing until their subsystem lands.
#include "app/wqk.h"

void WQK::CHANA() {}
void WQK::CHANB() {}
void WQK::scrollcalca() {}
void WQK::scrollcalcB() {}
void WQK::Scrollcalc() {}
void WQK::Command2_Click() {}
void WQK::Command3_Click() {}
void WQK::Command4_Click() {}
void WQK::Command5_Click() {}
void WQK::Command6_Click() {}
void WQK::Command7_Click() {}
void WQK::SCHAbutton_Click() {}
void WQK::SCHBbutton_Click() {}
void WQK::scrollupA_Click() {}
void WQK::scrolldownA_Click() {}
void WQK::scrollupB_Click() {}
void WQK::scrolldownB_Click() {}
void WQK::Scrollup_Click() {}
void WQK::scrolldown_Click() {}
void WQK::YMagAbutton_Click() {}
void WQK::YMagBbutton_Click() {}
