#pragma once
#include "platform/picturebox.h"

// Prints Box, with every control inside it, on one page of the default printer, its
// top-left corner X and Y twips from the left and top edges of the paper, at the box's
// size in the window design. A printer failure shows "Printer Error!" with its reason.
void PrintPictureBox(plat::PictureBox& Box, float X, float Y);
