#pragma once
// The built-in user guide as plain text, for the documentation folder of an install.
#include <string>

namespace help {

// The start page, then every topic in the order of the guide's buttons, both models'
// specifications included. A label's value starts in a column shared by the page.
std::string guideText();

} // namespace help
