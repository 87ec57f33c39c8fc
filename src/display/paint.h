#pragma once
// Drawing helpers shared by the display handlers.
#include "platform/picturebox.h"

#include <string>

namespace display {

inline void printAt(plat::PictureBox* p, double x, double y, const std::string& text,
                    bool newline = true) {
    p->CurrentX = x;
    p->CurrentY = y;
    p->Print(text, newline);
}

// A new background colour clears the box; setting the colour it already has must not
// wipe what was drawn in it.
inline void setBack(plat::PictureBox* p, long colour) {
    if (p->BackColor() != colour) p->setBackColor(colour);
}

} // namespace display
