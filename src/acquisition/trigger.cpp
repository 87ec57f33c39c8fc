// The trigger panel: mode, source, slope, pretrigger, the level setting with its
// arrows and time-out, and the single/repeat caption.
#include "app/wqk.h"
#include "platform/clock.h"

using plat::RGB;

namespace {

constexpr long LightYellow = 0xC0FFFF, Grey = 0xC0C0C0;
constexpr long TitleColour = 0x800000;
// Places of the texts in Picture5 (scale 1000 x 1000): each setting centred in the
// column above its button (MODE, SOURCE, SLOPE, PRE).
constexpr double TitleX = 200, TitleY = 1;
constexpr double TextY = 420;
constexpr double ColumnWidth = 250;
enum Column { ModeCol, SourceCol, SlopeCol, PreCol };

void printAt(PictureBox* p, double x, double y, const std::string& text, long colour) {
    p->ForeColor = colour;
    p->CurrentX = x;
    p->CurrentY = y;
    p->Print(text);
}

void printIn(PictureBox* p, Column c, const std::string& text, long colour) {
    const double x = c * ColumnWidth + (ColumnWidth - p->TextWidth(text)) / 2;
    printAt(p, x < 0 ? 0 : x, TextY, text, colour);
}

void title(PictureBox* p) {
    p->setScale(0, 0, 1000, 1000);
    p->Cls();
    p->FontBold = true;
    p->FontSize = 8;
    printAt(p, TitleX, TitleY, "TRIGGER", TitleColour);
}

} // namespace

void WQK::TRIGGER() {
    PictureBox* p = Picture5;
    title(p);
    const int mode = int(double(s.ScopeMode));
    if (mode > 0 && mode < 3) {
        DelayWin->hide();
    } else {
        DelayWin->show();
        p->FontBold = true;
        p->FontSize = 8;
        const double trigMode = double(s.TrigMode);
        if (trigMode == 0) {
            printIn(p, ModeCol, "  INST  ", 25);
            TRESETBUTTON->setEnabled(true);
            for (QWidget* b : {static_cast<QWidget*>(TriglevelBUTTON),
                               static_cast<QWidget*>(TRLARGEN), static_cast<QWidget*>(TRSMALLN),
                               static_cast<QWidget*>(TRLARGEP), static_cast<QWidget*>(TRSMALLP)})
                b->setEnabled(false);
            levelval->setBackColor(Grey);
        } else if (trigMode == 1) {
            for (QWidget* b : {static_cast<QWidget*>(TriglevelBUTTON),
                               static_cast<QWidget*>(TRLARGEN), static_cast<QWidget*>(TRSMALLN),
                               static_cast<QWidget*>(TRLARGEP), static_cast<QWidget*>(TRSMALLP)})
                b->setEnabled(true);
            printIn(p, ModeCol, "  TRIG  ", 25);
            TRESETBUTTON->setEnabled(true);
            levelval->setBackColor(LightYellow);
        } else if (trigMode == 2) {
            printIn(p, ModeCol, "1 SHOT", 127);
            TRESETBUTTON->setEnabled(true);
        }
        if (double(s.TrigSource) == -1)
            printIn(p, SourceCol, "CH A ", long(s.ColourA));
        else
            printIn(p, SourceCol, "CH B ", 49152);
        printIn(p, SlopeCol, double(s.TrigSlope) == -1 ? " \u2013 " : " + ", 0);
        const double pre = double(s.PreTrig);
        printIn(p, PreCol, pre == 0 ? "OFF " : pre == 1 ? " 10  " : pre == 2 ? "100 " : "", 0);
        if (double(s.LevelSetMode) > 0) {
            TriglevelBUTTON->setFontBold(true);
            s.LevelLineColour = double(s.TrigSource) == -1 ? double(s.ColourA) : double(s.ColourB);
        } else {
            TriglevelBUTTON->setFontBold(false);
            s.LevelLineColour = 0;
        }
    }
    TRESETBUTTON->setCaption(s.RunRepeat != 0 ? "Repeat" : "Single");
}

void WQK::TMODEBUTTON_MouseDown() {
    s.TrigMode = double(s.TrigMode) + 1;
    if (double(s.TrigMode) > 1) s.TrigMode = 0;
    if (double(s.TrigMode) == 0) s.LevelSetMode = 0;
    TRIGGER();
    trcursdraw();
}

void WQK::TSOURCEBUTTON_MouseDown() {
    s.TrigSource = -double(s.TrigSource);
    TRIGGER();
    trcursdraw();
}

void WQK::TSLOPEBUTTON_MouseDown() {
    s.TrigSlope = -double(s.TrigSlope);
    TRIGGER();
}

void WQK::PRETRIGBUTTON_MouseDown() {
    s.PreTrig = double(s.PreTrig) + 1;
    if (double(s.PreTrig) > 2) s.PreTrig = 0;
    TRIGGER();
}

void WQK::TriglevelBUTTON_MouseDown() {
    if (double(s.TrigMode) == 0) {
        s.LevelSetMode = 0;
    } else {
        s.LevelSetMode = double(s.LevelSetMode) + 1;
        if (double(s.LevelSetMode) == 2) s.LevelSetMode = 0;
    }
    TRIGGER();
    trcursdraw();
}

void WQK::Timer1_Timer() {
    if (double(s.LevelSetMode) == 1) {
        s.LevelSetMode = 0;
        TRIGGER();
        trcursdraw();
    }
    Timer1->setEnabled(false);
}
