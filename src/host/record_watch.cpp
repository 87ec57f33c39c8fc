#include "host/record_watch.h"

namespace host {

RecordWatch::RecordWatch(const WQK& w, QObject* parent) : QObject(parent), w_(w) {
    connect(&w, &WQK::captured, this, [this] {
        origin_ = analysis::Origin::Capture;
        emit changed(Change::Capture);
    });
    connect(&w, &WQK::loaded, this, [this](WQK::Load what) {
        if (what == WQK::Load::Signal) origin_ = analysis::Origin::SignalFile;
        if (what == WQK::Load::Spectrum && origin_ != analysis::Origin::SpectrumFile) {
            beforeSpectrum_ = origin_;
            origin_ = analysis::Origin::SpectrumFile;
        }
        emit changed(Change::Load);
    });
    connect(&w, &WQK::modeChanged, this, [this] {
        // Leaving FFT mode brings back the samples the spectrum file had replaced.
        if (origin_ == analysis::Origin::SpectrumFile && w_.state().mode() != modes::FFT)
            origin_ = beforeSpectrum_;
        emit changed(Change::Mode);
    });
    connect(&w, &WQK::redrawn, this, [this] { emit changed(Change::Redraw); });
}

} // namespace host
