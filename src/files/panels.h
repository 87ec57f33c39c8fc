#pragma once
// What the load and save panels print, and where (twips of the panel).
#include <string>
#include <vector>

namespace files {

enum class Panel { LoadSignal, LoadCustom, Save };

struct PanelText {
    int x, y;
    double size;
    bool bold;
    std::string text;
};

std::vector<PanelText> panelTexts(Panel panel, bool fftMode);

// Design rectangles of the lists and buttons, shared by the panel builder and its tests.
struct Rect {
    int x, y, w, h;
};
inline constexpr Rect DriveRect{600, 1750, 2600, 330};
inline constexpr Rect DirRect{3400, 1750, 2600, 1750};
inline constexpr Rect FileRect{6200, 1750, 2850, 1750};

} // namespace files
