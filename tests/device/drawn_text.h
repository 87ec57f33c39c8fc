#pragma once
// Tells whether a picture box shows exactly the given lines: the same lines printed
// into a twin box of the same size, scale, colours and font must give the same image.
#include "platform/picturebox.h"

#include <string>
#include <vector>

namespace drawn {

inline bool shows(plat::PictureBox* box, const std::vector<std::string>& lines, long foreColor = 0) {
    plat::PictureBox twin(nullptr, box->designWidth(), box->designHeight());
    twin.resize(box->size());
    twin.setScale(box->ScaleLeft(), box->ScaleTop(), box->ScaleWidth(), box->ScaleHeight());
    twin.setBackColor(box->BackColor());
    twin.FontName = box->FontName;
    twin.FontSize = box->FontSize;
    twin.FontBold = box->FontBold;
    twin.ForeColor = foreColor;
    twin.CurrentX = box->ScaleLeft();
    twin.CurrentY = box->ScaleTop();
    for (const std::string& l : lines) twin.Print(l);
    return twin.image() == box->image();
}

}  // namespace drawn
