// The built-in user guide: the panel helpwindow with its topic buttons and the text
// area htextwin, and the loop that shows the page of each pressed topic.
#include "app/wqk.h"
#include "help/help_draw.h"
#include "help/help_pages.h"
#include "platform/clock.h"
#include "platform/colours.h"

namespace {
// Places in the guide, twips of the window.
constexpr int ButtonX = 150, ButtonW = 1450, ButtonH = 400;
constexpr int ButtonTop = 300, ButtonStep = 520;
constexpr int ExitY = 6050;
constexpr int TextX = 1750, TextY = 150, TextW = 7750, TextH = 6450;
} // namespace

void WQK::buildHelpWindow() {
    htextwin = new PictureBox(nullptr, TextW, TextH);
    htextwin->setObjectName("htextwin");
    helpwindow->place(htextwin, TextX, TextY, TextW, TextH, 8);

    int row = 0;
    auto button = [this, &row](const char* name, const char* caption, void (WQK::*click)()) {
        auto* b = new VbButton(QString::fromUtf8(caption));
        b->setObjectName(name);
        helpwindow->place(b, ButtonX, ButtonTop + ButtonStep * row++, ButtonW, ButtonH, 9);
        connect(b, &VbButton::clicked, this, [this, click] { (this->*click)(); });
        return b;
    };
    // On screen the topics run from the first steps to the reference pages.
    helpreadme = button("helpreadme", "Readme 1st", &WQK::helpreadme_Click);
    helpbasic = button("helpbasic", "Software", &WQK::helpbasic_Click);
    Helpscope = button("Helpscope", "Using Scope", &WQK::Helpscope_Click);
    Helpgenerator = button("Helpgenerator", "Using generator", &WQK::Helpgenerator_Click);
    HelpFFT = button("HelpFFT", "Using FFT", &WQK::HelpFFT_Click);
    Helpload = button("Helpload", "Loading Files", &WQK::Helpload_Click);
    HelpSave = button("HelpSave", "Saving Files", &WQK::HelpSave_Click);
    helpprint = button("helpprint", "Printing", &WQK::helpprint_Click);
    helpspec = button("helpspec", "Specifications", &WQK::helpspec_Click);
    helpcontact = button("helpcontact", "Contact us", &WQK::helpcontact_Click);
    helpexit = new VbButton("EXIT");
    helpexit->setObjectName("helpexit");
    helpwindow->place(helpexit, ButtonX, ExitY, ButtonW, ButtonH, 10);
    connect(helpexit, &VbButton::clicked, this, [this] { helpexit_Click(); });
}

void WQK::helpbutton_Click() {
    helpscreen();
    HScroll2_Change();
}

void WQK::helpspec_Click() {
    s.HelpSpecReq = 1;
}
void WQK::helpcontact_Click() {
    s.HelpContactReq = 1;
}
void WQK::helpprint_Click() {
    s.HelpPrintReq = 1;
}
void WQK::Helpload_Click() {
    s.HelpLoadReq = 1;
}
void WQK::HelpSave_Click() {
    s.HelpSaveReq = 1;
}
void WQK::Helpgenerator_Click() {
    s.HelpGenReq = 1;
}
void WQK::Helpscope_Click() {
    s.HelpScopeReq = 1;
}
void WQK::HelpFFT_Click() {
    s.HelpFFTReq = 1;
}
void WQK::helpreadme_Click() {
    s.HelpReadmeReq = 1;
}
void WQK::helpbasic_Click() {
    s.HelpBasicReq = 1;
}
void WQK::helpexit_Click() {
    s.HelpExit = 1;
}

void WQK::helpscreen() {
    helpwindow->setBackColor(colours::Panel);
    htextwin->setBackColor(colours::White);
    helpwindow->show();
    helpwindow->raise();
    helpwindow->Cls();
    const help::StartPage start = help::startPage();
    help::drawStartPage(*htextwin, start);
    emit helpPageDrawn(QString::fromStdString(start.heading));

    auto show = [this](const help::Page& p) {
        help::drawPage(*htextwin, p);
        emit helpPageDrawn(QString::fromStdString(p.title));
    };
    // Each request in the order of the table of topics; a set flag draws its page once.
    auto serve = [&show](bool requested, auto& flag, help::Topic t) {
        if (!requested) return;
        show(help::page(t));
        flag = 0;
    };
    const auto serveRequest = [&serve](vb::Variant& flag, help::Topic t) {
        serve(InstrumentState::set(flag), flag, t);
    };
    while (!s.helpExit()) {
        DoEvents();
        if (ended_) return; // the program was ended from inside this loop
        if (InstrumentState::set(s.HelpSpecReq)) {
            // Only a detected model has figures; for any other code the button shows
            // nothing and its request is dropped.
            if (auto p = help::specifications(s.ModelCode)) show(*p);
            s.HelpSpecReq = 0;
        }
        serve(s.HelpContactReq != 0, s.HelpContactReq, help::Topic::Contact);
        serveRequest(s.HelpPrintReq, help::Topic::Printing);
        serveRequest(s.HelpLoadReq, help::Topic::Loading);
        serveRequest(s.HelpSaveReq, help::Topic::Saving);
        serve(s.HelpGenReq != 0, s.HelpGenReq, help::Topic::Generator);
        serveRequest(s.HelpScopeReq, help::Topic::Scope);
        serveRequest(s.HelpFFTReq, help::Topic::FFT);
        serveRequest(s.HelpReadmeReq, help::Topic::Readme);
        serveRequest(s.HelpBasicReq, help::Topic::Software);
    }

    helpwindow->hide();
    s.HelpExit = 0;
    for (vb::Variant* f : {&s.HelpReadmeReq, &s.HelpBasicReq, &s.HelpScopeReq, &s.HelpFFTReq,
                           &s.HelpSaveReq, &s.HelpLoadReq, &s.HelpPrintReq, &s.HelpSpecReq})
        *f = 0;
    s.HelpGenReq = 0;
    s.HelpContactReq = 0;
}
