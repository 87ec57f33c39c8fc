#pragma once
// The built-in user guide as plain text, for the documentation folder of an install.
#include <string>

namespace help {

// The start page, then every topic in the order of the guide's buttons, both models'
// specifications included. A label's value starts in a column shared by the page.
std::string guideText();

struct Page;
// A page as a section of the manual page (roff): the title a .SH, its headings .SS,
// labels with values .TP paragraphs.
std::string manualSection(const Page& p);

} // namespace help
