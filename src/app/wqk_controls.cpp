// Creation and placement of every control of the main window. Rectangles are in twips
// of the 9650 x 6750 design; the form scales them with the window.
#include "app/wqk.h"

#include <QVBoxLayout>

using plat::RGB;

namespace {

struct Maker {
    QWidget* parent;
    VbButton* button(const char* name, const char* caption, int x, int y, int w, int h,
                     double pt = 8) {
        auto* b = new VbButton(QString::fromUtf8(caption));
        b->setObjectName(name);
        place(b, x, y, w, h, pt);
        return b;
    }
    PictureBox* picture(const char* name, int x, int y, int w, int h) {
        auto* p = new PictureBox(nullptr, w, h);
        p->setObjectName(name);
        place(p, x, y, w, h, 8);
        return p;
    }
    void place(QWidget* w, int x, int y, int wd, int h, double pt) {
        if (auto* d = qobject_cast<plat::DesignPanel*>(parent))
            d->place(w, x, y, wd, h, pt);
        else if (auto* pb = qobject_cast<PictureBox*>(parent))
            pb->place(w, x, y, wd, h, pt);
    }
};

}  // namespace

void WQK::createControls() {
    form = new plat::DesignPanel(this, DesignWidth, DesignHeight);
    form->setObjectName("WQKform");
    auto* lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->addWidget(form);

    Maker m{form};

    // Signal display across the top, with its scroll bars and the buffer bar.
    Picture1 = m.picture("Picture1", 60, 60, 9520, 2780);
    Scrollup = m.picture("Scrollup", 90, 900, 220, 220);
    scrolldown = m.picture("scrolldown", 90, 1150, 220, 220);
    HScroll1 = new QScrollBar(Qt::Horizontal);
    HScroll1->setObjectName("HScroll1");
    m.place(HScroll1, 60, 2860, 9520, 170, 8);
    Label1 = new QLabel("BUFFER DISPLAY");
    Label1->setObjectName("Label1");
    m.place(Label1, 60, 3040, 1200, 130, 7);
    Picture2 = m.picture("Picture2", 1300, 3060, 8280, 90);

    // Channel A and B windows.
    Picture3 = m.picture("Picture3", 60, 3200, 1150, 1000);
    Picture3->setBackColor(RGB(128, 128, 128));  // a channel that is ON
    Command3 = m.button("Command3", "Range", 1220, 3200, 560, 240);
    Command4 = m.button("Command4", "Probe", 1220, 3450, 560, 240);
    Command2 = m.button("Command2", "AC", 1220, 3700, 560, 240);
    SCHAbutton = m.button("SCHAbutton", "OFF", 1220, 3950, 560, 240);
    scrollupA = m.picture("scrollupA", 1800, 3200, 250, 250);
    scrolldownA = m.picture("scrolldownA", 1800, 3470, 250, 250);
    YMagAbutton = m.picture("YMagAbutton", 1800, 3740, 250, 250);
    Picture4 = m.picture("Picture4", 60, 4280, 1150, 1000);
    Picture4->setBackColor(RGB(128, 128, 128));
    Command6 = m.button("Command6", "Range", 1220, 4280, 560, 240);
    Command5 = m.button("Command5", "Probe", 1220, 4530, 560, 240);
    Command7 = m.button("Command7", "AC", 1220, 4780, 560, 240);
    SCHBbutton = m.button("SCHBbutton", "OFF", 1220, 5030, 560, 240);
    scrollupB = m.picture("scrollupB", 1800, 4280, 250, 250);
    scrolldownB = m.picture("scrolldownB", 1800, 4550, 250, 250);
    YMagBbutton = m.picture("YMagBbutton", 1800, 4820, 250, 250);

    // Trigger panel.
    Picture5 = m.picture("Picture5", 2150, 3200, 2150, 700);
    TMODEBUTTON = m.button("TMODEBUTTON", "MODE", 2150, 3920, 530, 240);
    TSOURCEBUTTON = m.button("TSOURCEBUTTON", "SOURCE", 2690, 3920, 530, 240);
    TSLOPEBUTTON = m.button("TSLOPEBUTTON", "SLOPE", 3230, 3920, 530, 240);
    PRETRIGBUTTON = m.button("PRETRIGBUTTON", "PRE", 3770, 3920, 530, 240);
    TriglevelBUTTON = m.button("TriglevelBUTTON", "SET LEVEL", 2150, 4180, 800, 240);
    TRLARGEN = m.button("TRLARGEN", "\u00ab", 2960, 4180, 330, 240, 9);
    TRSMALLN = m.button("TRSMALLN", "<", 3300, 4180, 330, 240, 9);
    TRSMALLP = m.button("TRSMALLP", ">", 3640, 4180, 330, 240, 9);
    TRLARGEP = m.button("TRLARGEP", "\u00bb", 3980, 4180, 320, 240, 9);
    levelval = m.picture("levelval", 2150, 4440, 800, 240);
    TRESETBUTTON = m.button("TRESETBUTTON", "Single", 2960, 4440, 670, 240);
    DelayWin = m.picture("DelayWin", 3640, 4440, 660, 240);
    Timer1 = new plat::Timer(this);
    Timer1->setObjectName("Timer1");

    // Sampling panel.
    samdisp = m.picture("samdisp", 2150, 4760, 2150, 200);
    SRATEN = m.button("SRATEN", "<", 2150, 4980, 180, 280, 9);
    SRATEDISP = m.picture("SRATEDISP", 2340, 4980, 700, 280);
    SRATEP = m.button("SRATEP", ">", 3050, 4980, 180, 280, 9);
    SSIZEN = m.button("SSIZEN", "<", 3240, 4980, 180, 280, 9);
    SSIZEDISP = m.picture("SSIZEDISP", 3430, 4980, 680, 280);
    SSIZEP = m.button("SSIZEP", ">", 4120, 4980, 180, 280, 9);

    // Display toggles, cursor and X magnify.
    Picture6 = m.picture("Picture6", 4400, 3200, 1900, 700);
    Command13 = m.button("Command13", "GRID", 4400, 3920, 470, 240);
    Command15 = m.button("Command15", "JOIN", 4880, 3920, 470, 240);
    Command16 = m.button("Command16", "UNITS", 5360, 3920, 470, 240);
    Command12 = m.button("Command12", "Y Mag", 5840, 3920, 460, 240);
    Command17 = m.button("Command17", "A", 4400, 4180, 370, 240);
    Command18 = m.button("Command18", "B", 4780, 4180, 370, 240);
    Command19 = m.button("Command19", "D", 5160, 4180, 370, 240);
    Command20 = m.button("Command20", "A+B", 5540, 4180, 370, 240);
    Command21 = m.button("Command21", "A-B", 5920, 4180, 380, 240);
    Command23 = m.button("Command23", "CURSOR", 4400, 4440, 700, 240);
    Cursorch = m.picture("Cursorch", 5110, 4440, 230, 240);
    Command24 = m.button("Command24", "\u00ab", 5350, 4440, 230, 240, 9);
    Command26 = m.button("Command26", "<", 5590, 4440, 230, 240, 9);
    Command27 = m.button("Command27", ">", 5830, 4440, 230, 240, 9);
    Command25 = m.button("Command25", "\u00bb", 6070, 4440, 230, 240, 9);
    CURSINFO = m.picture("CURSINFO", 4400, 4700, 1900, 260);
    Picture7 = m.picture("Picture7", 4400, 4980, 1900, 200);
    HScroll2 = new QScrollBar(Qt::Horizontal);
    HScroll2->setObjectName("HScroll2");
    m.place(HScroll2, 4400, 5190, 1900, 170, 8);

    // Generator panel.
    GENPICTURE = m.picture("GENPICTURE", 6400, 3200, 1900, 700);
    STYLEDISP = m.picture("STYLEDISP", 8310, 3200, 1270, 700);
    GENMODEBUTTON = m.button("GENMODEBUTTON", "MODE", 6400, 3920, 620, 240);
    GENSTYLEBUTTON = m.button("GENSTYLEBUTTON", "Style", 7030, 3920, 620, 240);
    GENAMPBUTTON = m.button("GENAMPBUTTON", "Amp", 7660, 3920, 620, 240);
    SWRATIOBUTTON = m.button("SWRATIOBUTTON", "Ratio", 8290, 3920, 620, 240);
    DCDOWN = m.button("DCDOWN", "<", 8920, 3920, 330, 240, 9);
    DCUP = m.button("DCUP", ">", 9260, 3920, 320, 240, 9);
    GENFREQDISP = m.picture("GENFREQDISP", 6400, 4180, 1500, 280);
    GENLFREQBUTTONN = m.button("GENLFREQBUTTONN", "\u00ab", 7910, 4180, 250, 280, 9);
    GENSFREQBUTTONN = m.button("GENSFREQBUTTONN", "<", 8170, 4180, 250, 280, 9);
    GENSFREQBUTTONP = m.button("GENSFREQBUTTONP", ">", 8430, 4180, 250, 280, 9);
    GENLFREQBUTTONP = m.button("GENLFREQBUTTONP", "\u00bb", 8690, 4180, 250, 280, 9);
    GENUPDATEBACK = m.picture("GENUPDATEBACK", 8960, 4160, 620, 320);
    GENUPDATEBUTTON = new VbButton("UPDATE");
    GENUPDATEBUTTON->setObjectName("GENUPDATEBUTTON");
    GENUPDATEBACK->place(GENUPDATEBUTTON, 50, 50, 520, 220, 7);

    // Run, mode and the window's own buttons.
    GOCOLOR = m.picture("GOCOLOR", 6400, 4560, 200, 420);
    GOBUTTON = m.button("GOBUTTON", "GO", 6620, 4560, 1000, 420, 10);
    SCOPEMODE = m.picture("SCOPEMODE", 7650, 4560, 1500, 420);
    FFTbutton = m.button("FFTbutton", "F", 9170, 4560, 410, 420, 10);
    fileloadbutton = m.button("fileloadbutton", "LOAD", 6400, 5060, 1000, 300);
    filesavebutton = m.button("filesavebutton", "SAVE", 7460, 5060, 1000, 300);
    Command1 = m.button("Command1", "PRINT", 8520, 5060, 1060, 300);
    helpbutton = m.button("helpbutton", "HELP", 6400, 5420, 1000, 300);
    SETUP = m.button("SETUP", "PORT", 7460, 5420, 1000, 300);
    Command22 = m.button("Command22", "EXIT", 8520, 5420, 1060, 300);

    // Message box of a run, over the display.
    Trigwait = m.picture("Trigwait", 3400, 1000, 2900, 650);

    // Pop-up panels covering the whole window.
    CONFIGWINDOW = m.picture("CONFIGWINDOW", 0, 0, DesignWidth, DesignHeight);
    fileloadwindow = m.picture("fileloadwindow", 0, 0, DesignWidth, DesignHeight);
    filesavewindow = m.picture("filesavewindow", 0, 0, DesignWidth, DesignHeight);
    printwindow = m.picture("printwindow", 0, 0, DesignWidth, DesignHeight);
    helpwindow = m.picture("helpwindow", 0, 0, DesignWidth, DesignHeight);

    Maker c{CONFIGWINDOW};
    SETLPT1 = c.button("SETLPT1", "LPT1", 600, 2000, 900, 400, 10);
    SETLPT2 = c.button("SETLPT2", "LPT2", 600, 2600, 900, 400, 10);
    SETLPT3 = c.button("SETLPT3", "LPT3", 600, 3200, 900, 400, 10);
    CONFIGEXIT = c.button("CONFIGEXIT", "EXIT", 600, 4400, 900, 400, 10);

    // The load window's buttons that start-up hides; the file code lays them out.
    Maker l{fileloadwindow};
    CopyAbutton = l.button("CopyAbutton", "Copy Ch A signal", 600, 4800, 2000, 400);
    CopyBbutton = l.button("CopyBbutton", "Copy Ch B signal", 2800, 4800, 2000, 400);
    keepcustombutton = l.button("keepcustombutton", "Keep existing data", 5000, 4800, 2000, 400);
    FFTloadab = l.button("FFTloadab", "FFT A & B", 600, 4200, 2000, 400);
    Maker sv{filesavewindow};
    fftsaveab = sv.button("fftsaveab", "FFT A & B", 600, 4200, 2000, 400);

    buildFileWindows();
    buildPrintWindow();
    buildHelpWindow();

    for (PictureBox* p : {CONFIGWINDOW, fileloadwindow, filesavewindow, printwindow, helpwindow})
        p->hide();
}
