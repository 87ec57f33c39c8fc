// The print menu (printwindow) and its two printouts: the whole window or the signal
// display alone, on the default printer.
#include "app/wqk.h"
#include "platform/clock.h"
#include "platform/colours.h"
#include "platform/msgbox.h"
#include "print/print_picture.h"
#include "print/printer.h"

#include <QCoreApplication>

namespace {
// Places in the print menu, twips of the window.
constexpr int TextX = 600;
constexpr int TitleY = 400;
constexpr int NoteY = 1100;
constexpr int ButtonX = 600, ButtonW = 2700, ButtonH = 450;
constexpr int SignalY = 2400, FormY = 3200, ExitY = 4600;
constexpr int BesideX = 3500;
// Where the signal display lands on the page, from the paper's edges.
constexpr float SignalOffsetTwips = 1000;

void showError(const std::string& text) {
    plat::MsgBox(text, plat::Buttons::OK, "Printer Error!");
}

// Lets the window finish what it has to draw, without handling input meanwhile.
void finishDrawing() {
    plat::processEventsExceptInput();
}
} // namespace

void PrintPictureBox(plat::PictureBox& Box, float X, float Y) {
    const std::string error =
        printing::printWidget(Box, QSizeF(Box.designWidth(), Box.designHeight()), QPointF(X, Y));
    if (!error.empty()) showError(error);
}

void WQK::buildPrintWindow() {
    auto button = [this](const char* name, const char* caption, int y) {
        auto* b = new VbButton(QString::fromUtf8(caption));
        b->setObjectName(name);
        printwindow->place(b, ButtonX, y, ButtonW, ButtonH, 10);
        return b;
    };
    Printsignal = button("Printsignal", "Print Signal Display only", SignalY);
    Printform = button("Printform", "Print All details", FormY);
    exitprint = button("exitprint", "EXIT", ExitY);
    connect(Printsignal, &VbButton::clicked, this, [this] { Printsignal_Click(); });
    connect(Printform, &VbButton::clicked, this, [this] { Printform_Click(); });
    connect(exitprint, &VbButton::clicked, this, [this] { exitprint_Click(); });
}

void WQK::Command1_Click() {
    printscope();
}
void WQK::Printform_Click() {
    s.PrintFormReq = 1;
}
void WQK::Printsignal_Click() {
    s.PrintSignalReq = 1;
}
void WQK::exitprint_Click() {
    s.PrintExit = 1;
}

namespace {

// The menu's title, note and the texts beside its two buttons.
void drawPrintMenu(PictureBox* w) {
    w->setBackColor(colours::Panel);
    w->show();
    w->raise();
    w->Cls();
    w->ForeColor = colours::MenuBlue;
    w->FontBold = true;
    w->FontSize = 14;
    w->CurrentX = TextX;
    w->CurrentY = TitleY;
    w->Print("Print Function Menu");
    w->FontBold = false;
    w->FontSize = 10;
    w->CurrentX = TextX;
    w->CurrentY = NoteY;
    if (const std::string& pdf = printing::pdfOutput(); !pdf.empty()) {
        w->Print("The printout will be written to the PDF file");
        w->CurrentX = TextX;
        w->Print(pdf);
    } else {
        w->Print("The printout will be directed to the default printer in Windows");
        w->CurrentX = TextX;
        w->Print("(Please check Printer settings in Control Panel for changing default printer)");
    }
    w->CurrentX = BesideX;
    w->CurrentY = SignalY + 100;
    w->Print("Click this to print the Signal Display Area only");
    w->CurrentX = BesideX;
    w->CurrentY = FormY + 100;
    w->Print("Click this to print the whole Scope display");
}

} // namespace

void WQK::printSignalDisplay() {
    prepareForPrint();
    PrintPictureBox(*Picture1, SignalOffsetTwips, SignalOffsetTwips);
    // Our picture box keeps what is drawn and shows it live at the same time, so there
    // is no separate printed picture to drop before the redraw.
    HScroll1_Change();
    SDISPLAY();
}

void WQK::printWholeWindow() {
    prepareForPrint();
    // The whole window at its design width, from the corner of the printable area. A
    // printer failure is reported here too rather than left unhandled.
    const double h = width() > 0 ? double(DesignWidth) * height() / width() : DesignHeight;
    const std::string error = printing::printWidget(*this, QSizeF(DesignWidth, h));
    if (!error.empty()) showError(error);
    HScroll1_Change();
    SDISPLAY();
}

void WQK::printscope() {
    s.PrintExit = 0;
    drawPrintMenu(printwindow);
    while (true) {
        if (s.PrintExit != 0) {
            s.PrintFormReq = 0;
            s.PrintSignalReq = 0;
            printwindow->hide();
            HScroll1_Change();
            return;
        }
        DoEvents();
        if (ended_) return; // the program was ended from inside this loop
        if (s.printSignalRequested()) return printSignalDisplay();
        if (s.printFormRequested()) return printWholeWindow();
    }
}

// The menu goes, the combined trace's arrows stay off the page and the display is
// drawn afresh for it.
void WQK::prepareForPrint() {
    s.PrintFormReq = 0;
    s.PrintSignalReq = 0;
    printwindow->hide();
    if (s.sumYMag() > 0) {
        Scrollup->hide();
        scrolldown->hide();
    }
    finishDrawing();
    s.PrintRedraw = 1;
    HScroll1_Change();
}
