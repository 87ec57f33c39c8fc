#include "files/panels.h"

namespace files {

std::vector<PanelText> panelTexts(Panel panel, bool fftMode) {
    std::vector<PanelText> t;
    const bool load = panel != Panel::Save;
    if (panel == Panel::LoadCustom)
        t.push_back({600, 250, 14, true, "CUSTOM WAVEFORM LOADING"});
    else if (load)
        t.push_back({600, 250, 14, true,
                     fftMode ? "FFT PLOTS AND PROFILE LOADING" : "SIGNAL AND PROFILE LOADING"});
    else
        t.push_back({600, 250, 14, true,
                     fftMode ? "FFT PLOTS AND PROFILE SAVING" : "SIGNAL AND PROFILE SAVING"});
    if (panel == Panel::LoadSignal)
        t.push_back(
            {600, 800, 9, false,
             "Note: Existing channel data will not be overwritten if channel is turned OFF"});
    t.push_back({600, 1100, 9, false,
                 load ? "Select Drive/Directory/File and click button to load"
                      : "Select Drive/Directory/File and click button to save"});
    t.push_back({DriveRect.x, 1500, 9, true, "Drive selection"});
    t.push_back({DirRect.x, 1500, 9, true, "Directory selection"});
    t.push_back({FileRect.x, 1500, 9, true, "File selection"});
    if (!load) t.push_back({600, 3680, 9, true, "Type in File Name to save >>"});
    return t;
}

} // namespace files
