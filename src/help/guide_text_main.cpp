// Writes the user guide as text to standard output, for the install's documentation.
#include "help/guide_text.h"

#include <cstdio>

int main() {
    const std::string text = help::guideText();
    return std::fwrite(text.data(), 1, text.size(), stdout) == text.size() ? 0 : 1;
}
