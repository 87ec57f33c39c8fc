// The UPDATE button: recompute the generator wave from the panel settings, or in CUSTOM
// mode fetch a custom wave through the load window.
#include "app/wqk.h"
#include "generator/synthesis.h"
#include "platform/colours.h"

void WQK::GENUPDATEBUTTON_Click() {
    if (s.genMode() == 2) {
        s.LoadFromButton = 0;
        s.LoadDone = 0;
        FILELOAD(); // the load window in its custom-wave form, until it closes
        if (s.loadDone()) {
            s.GenDirty = 0;
            GENUPDATEBACK->setBackColor(colours::PaleGreen);
            DSAMPLE();
        }
        HScroll1_Change();
        return;
    }

    // A profile may carry anything; the tables only know amplitudes 1 and 2.
    const int ampDiv = s.AmpDiv == 2 ? 2 : 1;
    const int style = s.genStyle();
    long last;
    if (s.genMode() == 1) {
        last = gen::synthSweep(s.GenWave, style, s.sweepHalf() ? 1 : 0, s.sweepRatio(), ampDiv);
    } else {
        const gen::Settled f = gen::settleFrequency(s.genFreq(), s.RateFactor);
        s.GenFreq = f.freq;
        s.GenRateIndex = f.rateIndex;
        double angle = 0;
        if (style == gen::Square) {
            angle = gen::squareSwitchAngle(s.dutyCycle());
            s.SquareSwitchAngle = angle;
        }
        last = gen::synthNormal(s.GenWave, style, f, ampDiv, angle);
    }
    s.GenLast = float(last);
    if (style == gen::Sine) gen::sineTail(s.GenWave, last, ampDiv);

    // D is +1 or -1, never 0: the display always follows the new wave.
    HScroll2_Change();
    GENUPDATEBACK->setBackColor(colours::PaleGreen);
    s.GenDirty = 0;
    DSAMPLE();
    GENDISP();
}
