#pragma once
// Drawing of the guide's pages in its text area.
#include "help/help_pages.h"
#include "platform/picturebox.h"

namespace help {

// The part of the text area that a drawing covered, in the area's scale units.
struct Extent {
    double right = 0;
    double bottom = 0;
    double lineStep = 0;    // distance between two body lines
    double tallestLine = 0; // height of the tallest body line
    bool labelsOverlapValues = false;
};

// Clears the area and draws the page: the title bold at 12 points, then the lines at
// fixed places below it.
Extent drawPage(plat::PictureBox& area, const Page& page);
// Clears the area and draws the start page, its heading in blue at 16 points.
Extent drawStartPage(plat::PictureBox& area, const StartPage& page);

} // namespace help
