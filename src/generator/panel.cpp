// Not built yet: these handlers do nothing until their subsystem lands.
#include "app/wqk.h"

void WQK::GENDISP() {}
void WQK::GENMODEBUTTON_MouseDown() {}
void WQK::GENSTYLEBUTTON_MouseDown() {}
void WQK::GENAMPBUTTON_Click() {}
void WQK::SWRATIOBUTTON_Click() {}
void WQK::DCUP_Click() {}
void WQK::DCDOWN_Click() {}
void WQK::GENLFREQBUTTONN_MouseDown() {}
void WQK::GENLFREQBUTTONP_MouseDown() {}
void WQK::GENSFREQBUTTONN_MouseDown() {}
void WQK::GENSFREQBUTTONP_MouseDown() {}
void WQK::GENLFREQBUTTONN_MouseUp() {}
void WQK::GENLFREQBUTTONP_MouseUp() {}
void WQK::GENSFREQBUTTONN_MouseUp() {}
void WQK::GENSFREQBUTTONP_MouseUp() {}
void WQK::CopyAbutton_Click() {}
void WQK::CopyBbutton_Click() {}
void WQK::keepcustombutton_Click() {}
void WQK::CropLeft() {}
void WQK::CropRight() {}
void WQK::CopyAToCustom() {}
void WQK::CopyBToCustom() {}
