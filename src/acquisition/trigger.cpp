// Not built yet: these handlers do nothing until their subsystem lands.
#include "app/wqk.h"

void WQK::TRIGGER() {}
void WQK::TMODEBUTTON_MouseDown() {}
void WQK::TSOURCEBUTTON_MouseDown() {}
void WQK::TSLOPEBUTTON_MouseDown() {}
void WQK::PRETRIGBUTTON_MouseDown() {}
void WQK::TriglevelBUTTON_MouseDown() {}
void WQK::TRLARGEN_MouseDown() {}
void WQK::TRLARGEN_KeyDown() {}
void WQK::TRLARGEN_MouseUp() {}
void WQK::TRSMALLN_MouseDown() {}
void WQK::TRSMALLN_KeyDown() {}
void WQK::TRSMALLN_MouseUp() {}
void WQK::TRLARGEP_MouseDown() {}
void WQK::TRLARGEP_KeyDown() {}
void WQK::TRLARGEP_MouseUp() {}
void WQK::TRSMALLP_MouseDown() {}
void WQK::TRSMALLP_KeyDown() {}
void WQK::TRSMALLP_MouseUp() {}
void WQK::Timer1_Timer() {}
