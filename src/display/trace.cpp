// Not built yet: these handlers do nothing until their subsystem lands.
#include "app/wqk.h"

void WQK::HScroll1_Change() {}
void WQK::SDISPLAY() {}
void WQK::Picture1_Click() {}
void WQK::Command12_Click() {}
void WQK::Command13_Click() {}
void WQK::Command15_Click() {}
void WQK::Command16_Click() {}
void WQK::Command17_Click() {}
void WQK::Command18_Click() {}
void WQK::Command19_Click() {}
void WQK::Command20_Click() {}
void WQK::Command21_Click() {}
