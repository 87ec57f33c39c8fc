// The load and save windows: each shows its panel, then loops keeping the lists in
// step and carrying out the action whose button was pressed, until it closes.
#include "app/wqk.h"
#include "files/lists.h"
#include "files/names.h"
#include "files/panels.h"
#include "platform/clock.h"
#include "platform/colours.h"
#include "platform/msgbox.h"

#include <QDir>
#include <QLineEdit>
#include <QStorageInfo>
#include <algorithm>

namespace {

bool on(const vb::Variant& request) {
    return InstrumentState::set(request);
}

void printPanel(PictureBox* p, files::Panel panel, bool fft) {
    p->setBackColor(colours::Grey);
    p->Cls();
    p->ForeColor = colours::Navy;
    for (const files::PanelText& t : files::panelTexts(panel, fft)) {
        p->FontSize = t.size;
        p->FontBold = t.bold;
        p->CurrentX = t.x;
        p->CurrentY = t.y;
        p->Print(t.text);
    }
    p->FontBold = false;
    p->show();
    p->raise();
}

std::string currentDir() {
    return QDir::currentPath().toStdString();
}

// Drive "c" is the volume of the current directory; the directory list starts there.
void openLists(DriveListBox* drive, DirListBox* dir, FileListBox* file) {
    drive->refresh();
    drive->setDriveOf(currentDir());
    drive->applied = drive->drive();
    if (!dir->setPath(currentDir())) dir->setPath(drive->drive());
    file->setPath(dir->path(), true);
}

} // namespace

void WQK::fileloadbutton_Click() {
    s.LoadFromButton = 1;
    s.LoadDone = 0;
    FILELOAD();
    HScroll1_Change();
}

void WQK::filesavebutton_Click() {
    s.SaveFromButton = 1;
    s.SaveDone = 0;
    filesave();
    HScroll1_Change();
}

void WQK::profileapply() {
    Scrollcalc();
    scrollcalca();
    scrollcalcB();
    HScroll1_Change();
    GENDISP();
    SMODEDISP();
    TRIGGER();
    CHANA();
    CHANB();
    SDISPLAY();
}

void WQK::FILELOAD() {
    const modes::Mode mode = s.mode();
    const bool custom = s.LoadFromButton == 0;
    showLoadButtons(custom, mode);
    printPanel(fileloadwindow, custom ? files::Panel::LoadCustom : files::Panel::LoadSignal,
               mode == modes::FFT);
    openLists(Drive1, Dir1, File1);
    while (!s.loadExit() && !ended()) {
        if (loadStep(custom)) break;
    }
    closeLoadWindow(custom);
}

void WQK::filesave() {
    if (s.SaveFromButton != 1) return;
    const modes::Mode mode = s.mode();
    const bool scope = mode == modes::Scope || mode == modes::ScopeGen;
    chasavebutton->setVisible(scope);
    EXPORTABBUTTON->setVisible(scope);
    customsavebutton->setVisible(mode == modes::Generator || mode == modes::ScopeGen);
    fftsaveab->setVisible(mode == modes::FFT);
    ExportFFTab->setVisible(mode == modes::FFT);
    profilesavebutton->show();
    printPanel(filesavewindow, files::Panel::Save, mode == modes::FFT);
    openLists(Drive3, Dir3, File3);
    savename->setText("Untitled");

    // One save kind: its texts, the name check and confirmation, then the writer.
    auto attempt = [this](const std::string& text, const char* ext, void (WQK::*writer)()) {
        s.SaveTypeText = text;
        s.SaveExt = ext;
        filenametest();
        if (s.NameOK == 1) (this->*writer)();
        return s.saveDone();
    };
    while (!s.saveExit() && !ended()) {
        listStep(Drive3, Dir3, File3);
        if (on(s.SaveABReq)) {
            if (attempt("Channels A & B Waves", "wqk", &WQK::chabsave)) break;
            s.SaveABReq = 0;
        }
        if (on(s.SaveFFTReq)) {
            if (attempt("Channels A & B FFT Plots", "fft", &WQK::fftabsave)) break;
            s.SaveFFTReq = 0;
        }
        if (s.SaveCustomReq != 0) {
            if (attempt("Custom wave", "dcg", &WQK::customsave)) break;
            s.SaveCustomReq = 0;
        }
        if (on(s.SaveProfileReq)) {
            if (attempt("Scope Profile", "dpf", &WQK::profilesave)) break;
            s.SaveProfileReq = 0;
        }
        const int size = s.SampleSizeIndex;
        if (s.ExportABReq != 0) {
            if (attempt("Channels A & B in Excel CSV format. Selected buffer size of " +
                            files::sizeInK(size, false) + " K",
                        "csv", &WQK::exportab))
                break;
            s.ExportABReq = 0;
        }
        if (s.ExportFFTReq != 0) {
            s.ExportABReq = 0; // selects the spectrum layout
            if (attempt("Channels A & B FFT data in Excel CSV format. Size of " +
                            files::sizeInK(size, true) + " K",
                        "csv", &WQK::exportab))
                break;
            s.ExportFFTReq = 0;
        }
    }

    s.SaveExit = 0;
    s.SaveABReq = 0;
    s.SaveFFTReq = 0;
    s.SaveCustomReq = 0;
    s.SaveProfileReq = 0;
    s.ExportABReq = 0;
    s.ExportFFTReq = 0;
    filesavewindow->hide();
}

void WQK::filenametest() {
    s.NameOK = 0;
    s.FilePath = savename->text().toStdString();
    if (s.FilePath.empty()) {
        msgnofilesave();
        return;
    }
    s.FilePath = files::joinPath(Dir3->path(), files::withExtension(s.FilePath, s.SaveExt));
    plat::Answer a = plat::MsgBox("Save " + s.SaveTypeText + " as " + s.FilePath,
                                  plat::Buttons::OKCancel, "Save message");
    if (a != plat::Answer::Cancel) s.NameOK = 1;
}

// The buttons of the load window: the custom-wave form (UPDATE in CUSTOM mode) or the
// buttons of the mode.
void WQK::showLoadButtons(bool custom, modes::Mode mode) {
    if (custom) {
        for (VbButton* b :
             {Customloadbutton, CustomCSVbutton, CopyAbutton, CopyBbutton, keepcustombutton})
            b->show();
        // The FFT button may still show from a load in FFT mode; it does nothing here.
        for (VbButton* b : {chaloadbutton, chbloadbutton, profileloadbutton, FFTloadab})
            b->hide();
        return;
    }
    const bool generator = mode == modes::Generator || mode == modes::ScopeGen;
    chaloadbutton->setVisible(mode == modes::Scope);
    Customloadbutton->setVisible(generator);
    CustomCSVbutton->setVisible(generator);
    FFTloadab->setVisible(mode == modes::FFT);
    profileloadbutton->show();
    chbloadbutton->hide();
    keepcustombutton->hide();
}

// The custom-wave form's own requests: keep the wave, or copy a channel into it.
// True when the window closes.
bool WQK::customRequests() {
    if (!s.copyARequested() && s.CopyBRequest == 0) return false;
    if (s.copyARequested())
        CopyAToCustom();
    else
        CopyBToCustom();
    s.LoadDone = 1;
    s.CustomRateIndex = s.SampleRateIndex;
    s.CopyARequest = 0;
    s.CopyBRequest = 0;
    return true;
}

// The requests of the signal form. True when a file was loaded and the window closes.
bool WQK::signalRequests() {
    if (on(s.LoadFFTReq)) {
        FFTabload();
        s.LoadFFTReq = 0;
        if (s.loadDone()) return true;
    }
    if (on(s.LoadABReq) || on(s.LoadBReq)) {
        chabload();
        s.LoadABReq = 0;
        s.LoadBReq = 0;
        if (s.loadDone()) return true;
    }
    if (s.LoadProfileReq != 0) {
        profileload();
        s.LoadProfileReq = 0;
        if (s.loadDone()) {
            profileapply();
            return true;
        }
    }
    return false;
}

// One pass of the load window's loop. True when the window closes.
bool WQK::loadStep(bool custom) {
    if (custom && s.KeepCustom == 1) {
        s.KeepCustom = 0;
        s.LoadExit = 1;
        s.LoadDone = 1;
    }
    listStep(Drive1, Dir1, File1);
    if (on(s.LoadRawReq)) {
        customload();
        if (s.loadDone()) return true;
        s.LoadRawReq = 0;
    }
    if (on(s.LoadCsvReq)) {
        Customcsvload();
        if (s.loadDone()) return true;
        s.LoadCsvReq = 0;
    }
    return custom ? customRequests() : signalRequests();
}

// Every request dropped, the window hidden, and in CUSTOM mode the wave kept as the
// custom wave.
void WQK::closeLoadWindow(bool custom) {
    for (vb::Variant* f :
         {&s.LoadExit, &s.LoadRawReq, &s.LoadCsvReq, &s.LoadFFTReq, &s.LoadABReq, &s.LoadBReq})
        *f = 0;
    s.LoadProfileReq = 0;
    if (custom) {
        s.KeepCustom = 0;
        s.CopyARequest = 0;
        s.CopyBRequest = 0;
        CopyAbutton->hide();
        CopyBbutton->hide();
    }
    fileloadwindow->hide();
    if (s.genMode() == 2) {
        const int last =
            std::clamp(static_cast<int>(s.GenLast), -1, InstrumentState::BufferSize - 1);
        std::copy(s.GenWave.begin(), s.GenWave.begin() + (last + 1), s.CustomWave.begin());
        GENDISP();
    }
}

// One pass of a window loop around the processing of user input.
void WQK::listStep(DriveListBox* drive, DirListBox* dir, FileListBox* file) {
    if (drive->drive() != drive->applied) {
        const std::string root = drive->drive();
        const std::string cwd = currentDir();
        const bool cwdThere =
            QStorageInfo(QString::fromStdString(cwd)).rootPath().toStdString() == root;
        if (!dir->setPath(cwdThere ? cwd : root)) {
            fileopenerror(); // an unusable drive: back to the one the list shows
            drive->setDriveOf(dir->path());
        }
        drive->applied = drive->drive();
    }
    DoEvents();
    if (dir->openFailed) {
        dir->openFailed = false;
        fileopenerror(); // a folder that cannot be opened
    }
    file->setPath(dir->path());
}
