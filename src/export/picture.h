#pragma once
// Pictures of the signal display as it is shown: grid, axis numbers, traces, cursor and
// level lines, and the cursor readout under the display while the cursor is on. SVG and
// PDF are drawn as vectors from the display's frame and the record (each trace one
// path, every number a text), so they scale in a report. A PNG at 1x is the window's
// own pixels; at 2x it is the vector drawing at twice that size.
#include "display/frame.h"

#include <QSizeF>
#include <optional>
#include <string>

class QPainter;
class WQK;
struct InstrumentState;

namespace exporting {

enum class PictureFormat { Png1x, Png2x, Svg, Pdf };

// From the file name's extension (png, svg, pdf; any case); a PNG at `scale` 1 or 2.
std::optional<PictureFormat> pictureFormatOf(const std::string& path, int scale = 1);

// The cursor readout as the readout box shows it.
struct Readout {
    std::string value, valueUnit; // the cursor's reading; no unit in FFT mode
    bool negative = false;        // printed in red
    std::string time, timeUnit;   // its place: time or frequency
};

// Everything the picture shows, taken from the window after its last redraw.
struct Scene {
    const InstrumentState* s = nullptr;
    display::Frame frame;
    double designW = 9520, designH = 2780; // the display's size in twips
    bool cursorOn = false;
    long cursorColour = 0;
    bool levelOn = false;
    double levelY = 0; // in the display's scale units
    long levelColour = 0;
    Readout readout;
    // Twips of the whole picture: the display, and the readout strip when the cursor is on.
    QSizeF size() const;
};
Scene sceneOf(const WQK& w);

// The readout box's size in twips; it sits under the display's left edge.
constexpr double ReadoutW = 1900, ReadoutTwips = 355;

// Draws the scene with one twip as one unit of the painter's current coordinates.
void paintScene(QPainter& p, const Scene& sc);

// The picture's bytes; false with the reason in `error`.
bool renderPicture(const WQK& w, PictureFormat format, std::string& bytes, std::string& error);
// Writes the picture; false with the reason in `error`.
bool savePicture(const WQK& w, const std::string& path, PictureFormat format, std::string& error);

} // namespace exporting
