// The UPDATE button: recompute the generator wave from the panel settings, or in CUSTOM
// mode fetch a custom wave through the load window.
#include "app/wqk.h"
#include "generator/synthesis.h"

using plat::RGB;

void WQK::GENUPDATEBUTTON_Click() {
    if (double(s.GenMode) == 2) {
        s.LoadFromButton = 0;
        s.LoadDone = 0;
        FILELOAD(); // the load window in its custom-wave form, until it closes
        if (double(s.LoadDone) == 1) {
            s.GenDirty = 0;
            GENUPDATEBACK->setBackColor(RGB(128, 255, 128));
            DSAMPLE();
        }
        HScroll1_Change();
        return;
    }

    // A profile may carry anything; the tables only know amplitudes 1 and 2.
    const int ampDiv = s.AmpDiv == 2 ? 2 : 1;
    const int style = int(s.GenStyle.whole());
    long last;
    if (double(s.GenMode) == 1) {
        last = gen::synthSweep(s.GenWave, style, int(s.SweepHalf.whole()),
                               int(s.SweepRatio.whole()), ampDiv);
    } else {
        const gen::Settled f =
            gen::settleFrequency(long(vb::CLng(double(s.GenFreq))), s.RateFactor);
        s.GenFreq = f.freq;
        s.GenRateIndex = f.rateIndex;
        double angle = 0;
        if (style == gen::Square) {
            angle = gen::squareSwitchAngle(double(s.DutyCycle));
            s.SquareSwitchAngle = angle;
        }
        last = gen::synthNormal(s.GenWave, style, f, ampDiv, angle);
    }
    s.GenLast = float(last);
    if (style == gen::Sine) gen::sineTail(s.GenWave, last, ampDiv);

    if (double(s.ShowD) != 0) HScroll2_Change();
    GENUPDATEBACK->setBackColor(RGB(128, 255, 128));
    s.GenDirty = 0;
    DSAMPLE();
    GENDISP();
}
