#include "help/help_draw.h"

#include "platform/colours.h"

#include <algorithm>

namespace help {

namespace {
// Places in the text area, twips of its design.
constexpr double MarginX = 150;
constexpr double TitleY = 120;
constexpr double BodyY = 600;
constexpr double LineStep = 210;
constexpr double ValueX = 2700;
constexpr double ColumnGap = 100;
constexpr double BodyPt = 8;
constexpr double TitlePt = 12;
constexpr double HeadingPt = 16;

const long TextColour = colours::Black;
const long TitleColour = colours::Navy;
const long HeadingColour = colours::Blue;

void prepare(plat::PictureBox& a) {
    a.Cls();
    a.FontName = "Arial";
    a.FontTransparent = true;
}

// Prints text at (x, y) and widens the extent by what it covered.
void put(plat::PictureBox& a, Extent& e, double x, double y, const std::string& text) {
    if (text.empty()) return;
    a.CurrentX = x;
    a.CurrentY = y;
    e.right = std::max(e.right, x + a.TextWidth(text));
    e.bottom = std::max(e.bottom, y + a.TextHeight(text));
    a.Print(text);
}

void body(plat::PictureBox& a, Extent& e, const std::vector<Line>& lines, double top,
          double valueX) {
    a.FontSize = BodyPt;
    e.lineStep = LineStep;
    for (size_t i = 0; i < lines.size(); ++i) {
        const Line& l = lines[i];
        const double y = top + double(i) * LineStep;
        a.FontBold = l.heading;
        a.ForeColor = TextColour;
        e.tallestLine = std::max(e.tallestLine, a.TextHeight(l.text + l.value));
        if (!l.value.empty() && MarginX + a.TextWidth(l.text) > valueX - ColumnGap)
            e.labelsOverlapValues = true;
        put(a, e, MarginX, y, l.text);
        put(a, e, valueX, y, l.value);
    }
    a.FontBold = false;
}
} // namespace

Extent drawPage(plat::PictureBox& a, const Page& page) {
    Extent e;
    prepare(a);
    a.FontBold = true;
    a.FontSize = TitlePt;
    a.ForeColor = TitleColour;
    put(a, e, MarginX, TitleY, page.title);
    a.FontBold = false;
    body(a, e, page.lines, BodyY, page.valueColumn > 0 ? page.valueColumn : ValueX);
    return e;
}

Extent drawStartPage(plat::PictureBox& a, const StartPage& page) {
    Extent e;
    prepare(a);
    a.FontBold = true;
    a.FontSize = HeadingPt;
    a.ForeColor = HeadingColour;
    put(a, e, MarginX, TitleY, page.heading);
    a.FontBold = false;
    a.FontSize = BodyPt;
    a.ForeColor = TextColour;
    put(a, e, MarginX, BodyY + LineStep, page.version);
    a.FontBold = true;
    a.FontSize = TitlePt;
    a.ForeColor = TitleColour;
    put(a, e, MarginX, BodyY + 3 * LineStep, page.welcome);
    std::vector<Line> intro;
    for (const std::string& t : page.introduction)
        intro.push_back(Line{t, "", false});
    body(a, e, intro, BodyY + 5 * LineStep, ValueX);
    return e;
}

} // namespace help
