// Creation and placement of every control of the main window. Rectangles are in twips
// of the 9650 x 6750 design; the form scales them with the window.
#include "app/wqk.h"
#include "platform/colours.h"

#include <QVBoxLayout>

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

} // namespace

void WQK::createControls() {
    form = new plat::DesignPanel(this, DesignWidth, DesignHeight);
    form->setObjectName("WQKform");
    auto* lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->addWidget(form);

    createSignalDisplay();
    createChannelWindows();
    createTriggerPanel();
    createSamplingPanel();
    createDisplayPanel();
    createGeneratorPanel();
    createRunButtons();
    createPopups();

    buildFileWindows();
    buildPrintWindow();
    buildHelpWindow();

    for (PictureBox* p : {CONFIGWINDOW, fileloadwindow, filesavewindow, printwindow, helpwindow})
        p->hide();
}

void WQK::createSignalDisplay() {
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
}

void WQK::createChannelWindows() {
    Maker m{form};
    // Channel A and B windows.
    Picture3 = m.picture("Picture3", 60, 3200, 1150, 1367);
    Picture3->setBackColor(colours::MidGrey); // a channel that is ON
    Command3 = m.button("Command3", "Range", 1220, 3200, 560, 328);
    Command4 = m.button("Command4", "Probe", 1220, 3542, 560, 328);
    Command2 = m.button("Command2", "AC", 1220, 3884, 560, 328);
    SCHAbutton = m.button("SCHAbutton", "OFF", 1220, 4225, 560, 328);
    scrollupA = m.picture("scrollupA", 1800, 3200, 250, 342);
    scrolldownA = m.picture("scrolldownA", 1800, 3569, 250, 342);
    YMagAbutton = m.picture("YMagAbutton", 1800, 3938, 250, 342);
    Picture4 = m.picture("Picture4", 60, 4677, 1150, 1367);
    Picture4->setBackColor(colours::MidGrey);
    Command6 = m.button("Command6", "Range", 1220, 4677, 560, 328);
    Command5 = m.button("Command5", "Probe", 1220, 5018, 560, 328);
    Command7 = m.button("Command7", "AC", 1220, 5360, 560, 328);
    SCHBbutton = m.button("SCHBbutton", "OFF", 1220, 5702, 560, 328);
    scrollupB = m.picture("scrollupB", 1800, 4677, 250, 342);
    scrolldownB = m.picture("scrolldownB", 1800, 5046, 250, 342);
    YMagBbutton = m.picture("YMagBbutton", 1800, 5415, 250, 342);
}

void WQK::createTriggerPanel() {
    Maker m{form};
    // Trigger panel.
    Picture5 = m.picture("Picture5", 2150, 3200, 2150, 957);
    TMODEBUTTON = m.button("TMODEBUTTON", "MODE", 2150, 4184, 530, 328, 7);
    TSOURCEBUTTON = m.button("TSOURCEBUTTON", "SOURCE", 2690, 4184, 530, 328, 7);
    TSLOPEBUTTON = m.button("TSLOPEBUTTON", "SLOPE", 3230, 4184, 530, 328, 7);
    PRETRIGBUTTON = m.button("PRETRIGBUTTON", "PRE", 3770, 4184, 530, 328, 7);
    TriglevelBUTTON = m.button("TriglevelBUTTON", "SET LEVEL", 2150, 4540, 800, 328, 7);
    // The large steps show the same arrows, larger and bold.
    TRLARGEN = m.button("TRLARGEN", "<", 2960, 4540, 330, 328, 11);
    TRSMALLN = m.button("TRSMALLN", "<", 3300, 4540, 330, 328, 9);
    TRSMALLP = m.button("TRSMALLP", ">", 3640, 4540, 330, 328, 9);
    TRLARGEP = m.button("TRLARGEP", ">", 3980, 4540, 320, 328, 11);
    TRLARGEN->setFontBold(true);
    TRLARGEP->setFontBold(true);
    levelval = m.picture("levelval", 2150, 4895, 800, 328);
    TRESETBUTTON = m.button("TRESETBUTTON", "Single", 2960, 4895, 670, 328);
    DelayWin = m.picture("DelayWin", 3640, 4895, 660, 328);
    Timer1 = new plat::Timer(this);
    Timer1->setObjectName("Timer1");
}

void WQK::createSamplingPanel() {
    Maker m{form};
    // Sampling panel.
    samdisp = m.picture("samdisp", 2150, 5333, 2150, 273);
    SRATEN = m.button("SRATEN", "<", 2150, 5634, 180, 383, 9);
    SRATEDISP = m.picture("SRATEDISP", 2340, 5634, 700, 383);
    SRATEP = m.button("SRATEP", ">", 3050, 5634, 180, 383, 9);
    SSIZEN = m.button("SSIZEN", "<", 3240, 5634, 180, 383, 9);
    SSIZEDISP = m.picture("SSIZEDISP", 3430, 5634, 680, 383);
    SSIZEP = m.button("SSIZEP", ">", 4120, 5634, 180, 383, 9);
}

void WQK::createDisplayPanel() {
    Maker m{form};
    // Display toggles, cursor and X magnify.
    Picture6 = m.picture("Picture6", 4400, 3200, 1900, 957);
    Command13 = m.button("Command13", "GRID", 4400, 4184, 470, 328);
    Command15 = m.button("Command15", "JOIN", 4880, 4184, 470, 328);
    Command16 = m.button("Command16", "UNITS", 5360, 4184, 470, 328, 7);
    Command12 = m.button("Command12", "Y Mag", 5840, 4184, 460, 328, 7);
    Command17 = m.button("Command17", "A", 4400, 4540, 370, 328);
    Command18 = m.button("Command18", "B", 4780, 4540, 370, 328);
    Command19 = m.button("Command19", "D", 5160, 4540, 370, 328);
    Command20 = m.button("Command20", "A+B", 5540, 4540, 370, 328);
    Command21 = m.button("Command21", "A-B", 5920, 4540, 380, 328);
    Command23 = m.button("Command23", "CURSOR", 4400, 4895, 700, 328, 7);
    Cursorch = m.picture("Cursorch", 5110, 4895, 230, 328);
    Command24 = m.button("Command24", "<", 5350, 4895, 230, 328, 11);
    Command26 = m.button("Command26", "<", 5590, 4895, 230, 328, 9);
    Command27 = m.button("Command27", ">", 5830, 4895, 230, 328, 9);
    Command25 = m.button("Command25", ">", 6070, 4895, 230, 328, 11);
    Command24->setFontBold(true);
    Command25->setFontBold(true);
    CURSINFO = m.picture("CURSINFO", 4400, 5251, 1900, 355);
    Picture7 = m.picture("Picture7", 4400, 5634, 1900, 273);
    HScroll2 = new QScrollBar(Qt::Horizontal);
    HScroll2->setObjectName("HScroll2");
    m.place(HScroll2, 4400, 5921, 1900, 232, 8);
}

void WQK::createGeneratorPanel() {
    Maker m{form};
    // Generator panel.
    GENPICTURE = m.picture("GENPICTURE", 6400, 3200, 1900, 957);
    STYLEDISP = m.picture("STYLEDISP", 8310, 3200, 1270, 957);
    GENMODEBUTTON = m.button("GENMODEBUTTON", "MODE", 6400, 4184, 620, 328);
    GENSTYLEBUTTON = m.button("GENSTYLEBUTTON", "Style", 7030, 4184, 620, 328);
    GENAMPBUTTON = m.button("GENAMPBUTTON", "Amp", 7660, 4184, 620, 328);
    SWRATIOBUTTON = m.button("SWRATIOBUTTON", "Ratio", 8290, 4184, 620, 328);
    DCDOWN = m.button("DCDOWN", "<", 8920, 4184, 330, 328, 9);
    DCUP = m.button("DCUP", ">", 9260, 4184, 320, 328, 9);
    GENFREQDISP = m.picture("GENFREQDISP", 6400, 4540, 1500, 383);
    GENLFREQBUTTONN = m.button("GENLFREQBUTTONN", "\u00ab", 7910, 4540, 250, 383, 9);
    GENSFREQBUTTONN = m.button("GENSFREQBUTTONN", "<", 8170, 4540, 250, 383, 9);
    GENSFREQBUTTONP = m.button("GENSFREQBUTTONP", ">", 8430, 4540, 250, 383, 9);
    GENLFREQBUTTONP = m.button("GENLFREQBUTTONP", "\u00bb", 8690, 4540, 250, 383, 9);
    GENUPDATEBACK = m.picture("GENUPDATEBACK", 8960, 4512, 620, 438);
    GENUPDATEBUTTON = new VbButton("UPDATE");
    GENUPDATEBUTTON->setObjectName("GENUPDATEBUTTON");
    GENUPDATEBACK->place(GENUPDATEBUTTON, 50, 50, 520, 220, 7);
}

void WQK::createRunButtons() {
    Maker m{form};
    // Run, mode and the window's own buttons.
    GOCOLOR = m.picture("GOCOLOR", 6400, 5059, 200, 574);
    GOBUTTON = m.button("GOBUTTON", "GO", 6620, 5059, 1000, 574, 10);
    SCOPEMODE = m.picture("SCOPEMODE", 7650, 5059, 1500, 574);
    FFTbutton = m.button("FFTbutton", "F", 9170, 5059, 410, 574, 10);
    fileloadbutton = m.button("fileloadbutton", "LOAD", 6400, 5743, 1000, 410);
    filesavebutton = m.button("filesavebutton", "SAVE", 7460, 5743, 1000, 410);
    Command1 = m.button("Command1", "PRINT", 8520, 5743, 1060, 410);
    helpbutton = m.button("helpbutton", "HELP", 6400, 6235, 1000, 410);
    SETUP = m.button("SETUP", "PORT", 7460, 6235, 1000, 410);
    Command22 = m.button("Command22", "EXIT", 8520, 6235, 1060, 410);
}

void WQK::createPopups() {
    Maker m{form};
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
}
