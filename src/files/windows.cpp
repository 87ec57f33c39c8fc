// The load and save panels: their controls, the buttons' request flags and the
// messages every file procedure uses.
#include "app/wqk.h"
#include "files/lists.h"
#include "files/names.h"
#include "files/panels.h"
#include "platform/msgbox.h"

#include <QLineEdit>

namespace {

VbButton* addButton(PictureBox* panel, const char* name, const char* caption, int x, int y) {
    auto* b = new VbButton(QString::fromUtf8(caption));
    b->setObjectName(name);
    panel->place(b, x, y, 2000, 400, 8);
    return b;
}

template <class T> T* addList(PictureBox* panel, const char* name, const files::Rect& r) {
    auto* l = new T;
    l->setObjectName(name);
    panel->place(l, r.x, r.y, r.w, r.h, 8);
    return l;
}

} // namespace

void WQK::buildFileWindows() {
    PictureBox* ld = fileloadwindow;
    PictureBox* sv = filesavewindow;

    Drive1 = addList<DriveListBox>(ld, "Drive1", files::DriveRect);
    Dir1 = addList<DirListBox>(ld, "Dir1", files::DirRect);
    File1 = addList<FileListBox>(ld, "File1", files::FileRect);
    Drive3 = addList<DriveListBox>(sv, "Drive3", files::DriveRect);
    Dir3 = addList<DirListBox>(sv, "Dir3", files::DirRect);
    File3 = addList<FileListBox>(sv, "File3", files::FileRect);
    savename = new QLineEdit("Untitled");
    savename->setObjectName("savename");
    sv->place(savename, 3400, 3620, 2600, 330, 9);

    // Load window. Buttons that never show together share a place.
    chaloadbutton = addButton(ld, "chaloadbutton", "Load  A + B  Waves (wqk)", 600, 4200);
    FFTloadab->setCaption("Load A + B  FFT plots (fft)");
    ld->place(FFTloadab, 600, 4200, 2000, 400, 8);
    Customloadbutton = addButton(ld, "Customloadbutton", "Load Custom Wave (dcg)", 2800, 4200);
    CustomCSVbutton = addButton(ld, "CustomCSVbutton", "Load CSV Excel Wave", 5000, 4200);
    profileloadbutton = addButton(ld, "profileloadbutton", "Load Scope Profile (dpf)", 7200, 4200);
    chbloadbutton = addButton(ld, "chbloadbutton", "Load  B  Waves (wqk)", 7200, 4800);
    chbloadbutton->hide();
    loadexitbutton = addButton(ld, "loadexitbutton", "EXIT", 7200, 5700);

    // Save window.
    chasavebutton = addButton(sv, "chasavebutton", "Save  A + B Waves", 600, 4200);
    fftsaveab->setCaption("Save A + B  FFT Plots");
    sv->place(fftsaveab, 600, 4200, 2000, 400, 8);
    EXPORTABBUTTON = addButton(sv, "EXPORTABBUTTON", "Export A + B (Excel)", 2800, 4200);
    ExportFFTab = addButton(sv, "ExportFFTab", "Export A + B  FFT (Excel csv)", 2800, 4200);
    customsavebutton = addButton(sv, "customsavebutton", "Save Custom Wave", 5000, 4200);
    profilesavebutton = addButton(sv, "profilesavebutton", "Save Scope Profile", 7200, 4200);
    exitsavebutton = addButton(sv, "exitsavebutton", "EXIT", 7200, 5700);

    auto onClick = [this](VbButton* b, void (WQK::*handler)()) {
        connect(b, &VbButton::clicked, this, [this, handler] { (this->*handler)(); });
    };
    onClick(chaloadbutton, &WQK::chaloadbutton_Click);
    onClick(chbloadbutton, &WQK::chbloadbutton_Click);
    onClick(FFTloadab, &WQK::FFTloadab_Click);
    onClick(Customloadbutton, &WQK::Customloadbutton_Click);
    onClick(CustomCSVbutton, &WQK::CustomCSVbutton_Click);
    onClick(profileloadbutton, &WQK::profileloadbutton_Click);
    onClick(loadexitbutton, &WQK::loadexitbutton_Click);
    onClick(chasavebutton, &WQK::chasavebutton_Click);
    onClick(fftsaveab, &WQK::fftsaveab_Click);
    onClick(customsavebutton, &WQK::customsavebutton_Click);
    onClick(profilesavebutton, &WQK::profilesavebutton_Click);
    onClick(EXPORTABBUTTON, &WQK::EXPORTABBUTTON_Click);
    onClick(ExportFFTab, &WQK::ExportFFTab_Click);
    onClick(exitsavebutton, &WQK::exitsavebutton_Click);
    // A click takes the name over even when it is selected already (the name box may
    // have been edited since); a new selection by key does too.
    connect(File3, &QListWidget::itemSelectionChanged, this, [this] { File3_Click(); });
    connect(File3, &QListWidget::itemClicked, this, [this] { File3_Click(); });
}

// Each button only asks; the window loop does the work.
void WQK::chaloadbutton_Click() {
    s.LoadABReq = 1;
}
void WQK::chbloadbutton_Click() {
    s.LoadBReq = 1;
}
void WQK::FFTloadab_Click() {
    s.LoadFFTReq = 1;
}
void WQK::Customloadbutton_Click() {
    s.LoadRawReq = 1;
}
void WQK::CustomCSVbutton_Click() {
    s.LoadCsvReq = 1;
}
void WQK::profileloadbutton_Click() {
    s.LoadProfileReq = 1;
}
void WQK::loadexitbutton_Click() {
    s.LoadExit = 1;
}
void WQK::chasavebutton_Click() {
    s.SaveABReq = 1;
}
void WQK::fftsaveab_Click() {
    s.SaveFFTReq = 1;
}
void WQK::customsavebutton_Click() {
    s.SaveCustomReq = 1;
}
void WQK::profilesavebutton_Click() {
    s.SaveProfileReq = 1;
}
void WQK::EXPORTABBUTTON_Click() {
    s.ExportABReq = 1;
}
void WQK::ExportFFTab_Click() {
    s.ExportFFTReq = 1;
}
void WQK::exitsavebutton_Click() {
    s.SaveExit = 1;
}

void WQK::File3_Click() {
    std::string name = File3->fileName();
    if (!name.empty()) savename->setText(QString::fromStdString(name));
}

bool WQK::loadfilepath() {
    const std::string name = File1->fileName();
    if (name.empty()) return false;
    s.FilePath = files::joinPath(Dir1->path(), name);
    return true;
}

namespace {
void help(const std::string& text) {
    plat::MsgBox(text, plat::Buttons::OK, "Help");
}
} // namespace

void WQK::msgnotvalidwqk(const std::string& text) {
    help(text.empty() ? "Not a valid WQK file" : text);
}
void WQK::msgnofileload() {
    help("No File selected to load");
}
void WQK::msgnofilesave() {
    help("No File name to save");
}
void WQK::msgfilesaveerror() {
    help("Unable to save - File in use by other application");
}

void WQK::fileopenerror() {
    help("Unable to open file");
    s.FileInvalid = 1;
}
