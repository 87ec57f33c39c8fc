// Wires every control event to its handler.
#include "app/wqk.h"

#define ON_CLICK(ctl) connect(ctl, &VbButton::clicked, this, [this] { ctl##_Click(); })
#define ON_DOWN(ctl) connect(ctl, &VbButton::mouseDown, this, [this] { ctl##_MouseDown(); })
#define ON_UP(ctl) connect(ctl, &VbButton::mouseUp, this, [this] { ctl##_MouseUp(); })
#define ON_KEYPRESS(ctl) connect(ctl, &VbButton::keyPress, this, [this](int) { ctl##_KeyPress(); })
#define ON_KEYDOWN(ctl) connect(ctl, &VbButton::keyDown, this, [this](int) { ctl##_KeyDown(); })
#define ON_PICCLICK(ctl) connect(ctl, &PictureBox::clicked, this, [this] { ctl##_Click(); })

void WQK::connectHandlers() {
    connectRunControls();
    connectTriggerAndSampling();
    connectDisplayAndChannels();
    connectCursorModeAndGenerator();
}

// Port selection, GO/STOP and Single/Repeat.
void WQK::connectRunControls() {
    ON_CLICK(Command22);
    ON_CLICK(SETUP);
    ON_CLICK(SETLPT1);
    ON_CLICK(SETLPT2);
    ON_CLICK(SETLPT3);
    ON_CLICK(CONFIGEXIT);

    ON_CLICK(GOBUTTON);
    ON_CLICK(TRESETBUTTON);
}

// The trigger panel with its level arrows, and the sampling arrows.
void WQK::connectTriggerAndSampling() {
    ON_DOWN(TMODEBUTTON);
    ON_DOWN(TSOURCEBUTTON);
    ON_DOWN(TSLOPEBUTTON);
    ON_DOWN(PRETRIGBUTTON);
    ON_DOWN(TriglevelBUTTON);
    ON_DOWN(TRLARGEN);
    ON_KEYDOWN(TRLARGEN);
    ON_UP(TRLARGEN);
    ON_DOWN(TRSMALLN);
    ON_KEYDOWN(TRSMALLN);
    ON_UP(TRSMALLN);
    ON_DOWN(TRLARGEP);
    ON_KEYDOWN(TRLARGEP);
    ON_UP(TRLARGEP);
    ON_DOWN(TRSMALLP);
    ON_KEYDOWN(TRSMALLP);
    ON_UP(TRSMALLP);
    Timer1->onTimer = [this] { Timer1_Timer(); };

    ON_DOWN(SRATEN);
    ON_KEYPRESS(SRATEN);
    ON_DOWN(SRATEP);
    ON_KEYPRESS(SRATEP);
    ON_DOWN(SSIZEN);
    ON_KEYPRESS(SSIZEN);
    ON_DOWN(SSIZEP);
    ON_KEYPRESS(SSIZEP);
}

// The signal display, its toggles and the channel windows.
void WQK::connectDisplayAndChannels() {
    connect(HScroll1, &QScrollBar::valueChanged, this, [this](int) { HScroll1_Change(); });
    connect(HScroll2, &QScrollBar::valueChanged, this, [this](int) { HScroll2_Change(); });
    ON_PICCLICK(Picture1);
    ON_PICCLICK(DelayWin);
    ON_CLICK(Command12);
    ON_CLICK(Command13);
    ON_CLICK(Command15);
    ON_CLICK(Command16);
    ON_CLICK(Command17);
    ON_CLICK(Command18);
    ON_CLICK(Command19);
    ON_CLICK(Command20);
    ON_CLICK(Command21);
    // The display and the buffer bar are drawn in whole pixels of their size: each
    // draws again at a new one (the bar may get its size after the display).
    for (PictureBox* p : {Picture1, Picture2})
        connect(p, &PictureBox::resized, this, [this] {
            if (activated_) HScroll1_Change();
        });

    ON_CLICK(Command2);
    ON_CLICK(Command3);
    ON_CLICK(Command4);
    ON_CLICK(Command5);
    ON_CLICK(Command6);
    ON_CLICK(Command7);
    ON_CLICK(SCHAbutton);
    ON_CLICK(SCHBbutton);
    ON_PICCLICK(scrollupA);
    ON_PICCLICK(scrolldownA);
    ON_PICCLICK(scrollupB);
    ON_PICCLICK(scrolldownB);
    ON_PICCLICK(Scrollup);
    ON_PICCLICK(scrolldown);
    ON_PICCLICK(YMagAbutton);
    ON_PICCLICK(YMagBbutton);
}

// The cursor, the mode, the generator and the window buttons.
void WQK::connectCursorModeAndGenerator() {
    ON_CLICK(Command23);
    ON_DOWN(Command24);
    ON_DOWN(Command25);
    ON_DOWN(Command26);
    ON_DOWN(Command27);
    ON_KEYPRESS(Command26);
    ON_KEYPRESS(Command27);
    ON_UP(Command24);
    ON_UP(Command25);
    ON_UP(Command26);
    ON_UP(Command27);
    ON_PICCLICK(CURSINFO);

    ON_PICCLICK(SCOPEMODE);
    ON_CLICK(FFTbutton);

    ON_CLICK(GENUPDATEBUTTON);
    ON_DOWN(GENMODEBUTTON);
    ON_DOWN(GENSTYLEBUTTON);
    ON_CLICK(GENAMPBUTTON);
    ON_CLICK(SWRATIOBUTTON);
    ON_CLICK(DCUP);
    ON_CLICK(DCDOWN);
    ON_DOWN(GENLFREQBUTTONN);
    ON_DOWN(GENLFREQBUTTONP);
    ON_DOWN(GENSFREQBUTTONN);
    ON_DOWN(GENSFREQBUTTONP);
    ON_UP(GENLFREQBUTTONN);
    ON_UP(GENLFREQBUTTONP);
    ON_UP(GENSFREQBUTTONN);
    ON_UP(GENSFREQBUTTONP);
    ON_CLICK(CopyAbutton);
    ON_CLICK(CopyBbutton);
    ON_CLICK(keepcustombutton);

    ON_CLICK(fileloadbutton);
    ON_CLICK(filesavebutton);
    ON_CLICK(Command1);
    ON_CLICK(helpbutton);
}
