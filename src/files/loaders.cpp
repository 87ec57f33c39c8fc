// The file procedures called by the load and save windows. Every loader reads and
// checks the whole file before it changes anything; every writer replaces the file
// only once all of it is written.
#include "app/wqk.h"
#include "files/file_io.h"
#include "files/formats.h"
#include "platform/colours.h"

namespace {
bool save(const std::string& path, bool encoded, const std::string& bytes) {
    return encoded && files::saveWhole(path, bytes);
}
} // namespace

void WQK::chabsave() {
    s.SaveDone = 0;
    std::string bytes;
    if (!save(s.FilePath, files::encodeSignal(s, files::WqkSignal, bytes), bytes))
        return msgfilesaveerror();
    s.SaveDone = 1;
}

void WQK::fftabsave() {
    s.SaveDone = 0;
    std::string bytes;
    if (!save(s.FilePath, files::encodeSignal(s, files::FftSignal, bytes), bytes))
        return msgfilesaveerror();
    s.SaveDone = 1;
}

void WQK::customsave() {
    s.SaveDone = 0;
    std::string bytes;
    if (!save(s.FilePath, files::encodeCustom(s, bytes), bytes)) return msgfilesaveerror();
    s.SaveDone = 1;
}

void WQK::profilesave() {
    s.SaveDone = 0;
    if (!files::saveWhole(s.FilePath, files::encodeProfile(s))) return msgfilesaveerror();
    s.SaveDone = 1;
}

void WQK::exportab() {
    s.SaveDone = 0;
    if (!files::saveWhole(s.FilePath, files::encodeExport(s, s.ExportABReq == 1)))
        return msgfilesaveerror();
    s.SaveDone = 1;
}

void WQK::chabload() {
    s.FileInvalid = 0;
    if (!loadfilepath()) {
        msgnofileload();
        s.LoadABReq = 0;
        s.LoadBReq = 0;
        return;
    }
    std::string bytes;
    if (!files::readFileStart(s.FilePath, files::SignalFileSize, bytes)) return fileopenerror();
    files::SignalData d;
    if (files::decodeSignal(bytes, files::WqkSignal, d) != files::Outcome::Loaded) {
        msgnotvalidwqk("Not a valid WQK signal file");
        s.LoadABReq = 0;
        s.LoadBReq = 0;
        return;
    }
    files::applySignal(s, d);
    s.LoadABReq = 0;
    s.LoadBReq = 0;
    s.LoadRawReq = 0;
    DSAMPLE();
    emit loaded(Load::Signal);
}

void WQK::FFTabload() {
    s.FileInvalid = 0;
    if (!loadfilepath()) {
        msgnofileload();
        s.LoadFFTReq = 0;
        return;
    }
    std::string bytes;
    if (!files::readFileStart(s.FilePath, files::SignalFileSize, bytes)) return fileopenerror();
    files::SignalData d;
    if (files::decodeSignal(bytes, files::FftSignal, d) != files::Outcome::Loaded) {
        msgnotvalidwqk("Not a valid FFT signal file");
        s.LoadFFTReq = 0;
        if (bytes.size() >= files::FftSignal.minLength) { // long enough: a wrong header
            s.LoadABReq = 0;
            s.LoadBReq = 0;
        }
        return;
    }
    files::applySignal(s, d);
    s.LoadFFTReq = 0;
    // The buffers now hold spectra: FFT mode shows them as they are.
    s.FFTDoneA = 1;
    s.FFTDoneB = 1;
    DSAMPLE();
    emit loaded(Load::Spectrum);
}

void WQK::profileload() {
    s.LoadDone = 0;
    s.FileInvalid = 0;
    if (!loadfilepath()) return msgnofileload();
    std::string text;
    if (!files::readFileStart(s.FilePath, files::ProfileReadLimit, text)) return fileopenerror();
    files::ProfileData d;
    switch (files::decodeProfile(text, d)) {
    case files::Outcome::Invalid:
        msgnotvalidwqk("Not a valid WQK profile file");
        s.LoadABReq = 0;
        s.LoadBReq = 0;
        s.LoadProfileReq = 0;
        return;
    case files::Outcome::Unreadable:
        return fileopenerror();
    case files::Outcome::Loaded:
        break;
    }
    files::applyProfile(s, d);
    s.LoadABReq = 0;
    s.LoadBReq = 0;
    s.LoadRawReq = 0;
    emit loaded(Load::Profile);
}

void WQK::customload() {
    loadCustom(false);
}
void WQK::Customcsvload() {
    loadCustom(true);
}

void WQK::loadCustom(bool csv) {
    s.FileInvalid = 0;
    s.LoadDone = 0;
    if (!loadfilepath()) return msgnofileload();
    std::string bytes;
    const size_t limit = csv ? files::CsvReadLimit : size_t(InstrumentState::BufferSize);
    if (!files::readFileStart(s.FilePath, limit, bytes)) return fileopenerror();
    files::applyCustom(s, csv ? files::decodeCsv(bytes) : files::decodeRaw(bytes));
    // The loaded wave is the valid generator wave.
    GENUPDATEBACK->setBackColor(colours::PaleGreen);
    emit loaded(WQK::Load::CustomWave);
}
