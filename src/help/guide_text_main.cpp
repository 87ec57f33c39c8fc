// Writes the user guide as text to standard output, for the install's documentation;
// with --roff, the guide's page on the tools around the window as a section of the
// manual page, which the build puts into it.
#include "help/guide_text.h"
#include "help/help_pages.h"

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    const bool roff = argc > 1 && std::strcmp(argv[1], "--roff") == 0;
    const std::string text = roff ? help::manualSection(help::toolsPage()) : help::guideText();
    return std::fwrite(text.data(), 1, text.size(), stdout) == text.size() ? 0 : 1;
}
