// The trigger panel: mode, source, slope, pretrigger, the level setting with its
// arrows and time-out, and the single/repeat caption.
#include "app/wqk.h"
#include "instrument/instrument.h"
#include "platform/clock.h"
#include "platform/colours.h"

namespace {
// Places of the texts in Picture5 (scale 1000 x 1000): each setting centred in the
// column above its button (MODE, SOURCE, SLOPE, PRE).
constexpr double TitleX = 200, TitleY = 1;
constexpr double TextY = 420;
constexpr double AutoY = 680;
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
    printAt(p, TitleX, TitleY, "TRIGGER", colours::Navy);
}

} // namespace

void WQK::TRIGGER() {
    PictureBox* p = Picture5;
    title(p);
    if (s.mode() == modes::Generator || s.mode() == modes::ScopeGen) {
        DelayWin->hide();
    } else {
        DelayWin->show();
        showTriggerSettings(p);
    }
    TRESETBUTTON->setCaption(s.RunRepeat != 0 ? "Repeat" : "Single");
}

void WQK::TMODEBUTTON_MouseDown() {
    inst_->applyTriggerMode(s.trigMode() + 1 > 1 ? 0 : s.trigMode() + 1);
    TRIGGER();
    trcursdraw();
}

void WQK::TSOURCEBUTTON_MouseDown() {
    inst_->applyTriggerSource(s.trigSourceB() ? Instrument::Channel::A : Instrument::Channel::B);
    TRIGGER();
    trcursdraw();
}

void WQK::TSLOPEBUTTON_MouseDown() {
    inst_->applyTriggerSlope(!s.risingSlope());
    TRIGGER();
}

void WQK::PRETRIGBUTTON_MouseDown() {
    inst_->applyPretrigger(s.preTrig() + 1 > 2 ? 0 : s.preTrig() + 1);
    TRIGGER();
}

void WQK::TriglevelBUTTON_MouseDown() {
    // SET LEVEL turns the level setting on and off.
    inst_->applyLevelSetting(!s.levelSetOn());
    TRIGGER();
    trcursdraw();
}

void WQK::Timer1_Timer() {
    if (s.levelSetOn()) {
        inst_->applyLevelSetting(false);
        TRIGGER();
        trcursdraw();
    }
    Timer1->setEnabled(false);
}

// The level controls: usable in TRIG mode only.
void WQK::enableLevel(bool on) {
    for (QWidget* b : {static_cast<QWidget*>(TriglevelBUTTON), static_cast<QWidget*>(TRLARGEN),
                       static_cast<QWidget*>(TRSMALLN), static_cast<QWidget*>(TRLARGEP),
                       static_cast<QWidget*>(TRSMALLP)})
        b->setEnabled(on);
}

// The texts of the four settings and the level line's colour.
void WQK::showTriggerSettings(PictureBox* p) {
    p->FontBold = true;
    p->FontSize = 8;
    const int trigMode = s.trigMode();
    if (trigMode == 0) {
        printIn(p, ModeCol, "  INST  ", colours::InkBrown);
        TRESETBUTTON->setEnabled(true);
        enableLevel(false);
        levelval->setBackColor(colours::Grey);
    } else if (trigMode == 1) {
        enableLevel(true);
        printIn(p, ModeCol, "  TRIG  ", colours::InkBrown);
        TRESETBUTTON->setEnabled(true);
        levelval->setBackColor(colours::LightYellow);
        // Auto trigger (a tool's option, off by default) under the mode: red while the
        // last capture came without its trigger.
        if (instrument().autoTrigger()) {
            p->FontSize = 7;
            const double x = (ColumnWidth - p->TextWidth("AUTO")) / 2;
            printAt(p, x, AutoY, "AUTO",
                    instrument().untriggered() ? colours::Red : colours::InkBrown);
            p->FontSize = 8;
        }
    } else if (trigMode == 2) {
        printIn(p, ModeCol, "1 SHOT", colours::InkMaroon);
        TRESETBUTTON->setEnabled(true);
    }
    if (!s.trigSourceB())
        printIn(p, SourceCol, "CH A ", s.colourA());
    else
        printIn(p, SourceCol, "CH B ", colours::TriggerGreen);
    printIn(p, SlopeCol, s.risingSlope() ? " + " : " \u2013 ", colours::Black);
    const int pre = s.preTrig();
    printIn(p, PreCol,
            pre == 0   ? "OFF "
            : pre == 1 ? " 10  "
            : pre == 2 ? "100 "
                       : "",
            colours::Black);
    TriglevelBUTTON->setFontBold(s.levelSetOn());
    instrument().applyTriggerPanel();
}
