#pragma once
// Tells whether a picture box shows exactly the given lines: the same lines printed
// from (x, y) into a twin box of the same size, scale, colours and font must give the
// same image.
#include "app/wqk.h"
#include "platform/picturebox.h"

#include <QCoreApplication>
#include <QResizeEvent>

#include <string>
#include <vector>

namespace drawn {

// Shows the window, so every control has its real size (a hidden window is never
// laid out and its picture boxes stay a few pixels wide).
inline WQK& shown(WQK& w) {
    w.show();
    QCoreApplication::processEvents();
    return w;
}

inline bool shows(plat::PictureBox* box, const std::vector<std::string>& lines, long foreColor = 0,
                  double x = 0, double y = 0) {
    plat::PictureBox twin(nullptr, box->designWidth(), box->designHeight());
    twin.resize(box->size());
    // A hidden widget gets its resize event only when shown: deliver it now, so the
    // twin's picture takes the new size.
    QResizeEvent resized(box->size(), QSize());
    QCoreApplication::sendEvent(&twin, &resized);
    twin.setScale(box->ScaleLeft(), box->ScaleTop(), box->ScaleWidth(), box->ScaleHeight());
    twin.setBackColor(box->BackColor());
    twin.FontName = box->FontName;
    twin.FontSize = box->FontSize;
    twin.FontBold = box->FontBold;
    twin.ForeColor = foreColor;
    twin.CurrentX = box->ScaleLeft() + x;
    twin.CurrentY = box->ScaleTop() + y;
    for (const std::string& l : lines)
        twin.Print(l);
    return twin.image() == box->image();
}

} // namespace drawn
