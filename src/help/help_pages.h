#pragma once
// The pages of the built-in user guide. All texts are compiled in; no help file is read.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace help {

// One line of a page: a text, or a label with its value in a second column; a heading
// is drawn bold. An empty text is an empty line.
struct Line {
    std::string text;
    std::string value;
    bool heading = false;
};

// Building blocks of the page texts: a heading, a text line, a label with its value,
// and an empty line.
inline Line H(const char* t) {
    return Line{t, "", true};
}
inline Line T(const char* t) {
    return Line{t, "", false};
}
inline Line V(const char* label, const char* value) {
    return Line{label, value, false};
}
inline Line Gap() {
    return Line{};
}

struct Page {
    std::string title;
    std::vector<Line> lines;
    double valueColumn = 0; // where values start, in twips of the text area; 0: the usual place
};

// The topics in the order in which the guide's loop tests their requests.
enum class Topic {
    Specifications,
    Contact,
    Printing,
    Loading,
    Saving,
    Generator,
    Scope,
    FFT,
    Readme,
    Software
};

// The start page: the heading, the version line, the welcome line and an introduction.
struct StartPage {
    std::string heading;
    std::string version;
    std::string welcome;
    std::vector<std::string> introduction;
};
StartPage startPage();

// The technical data of the detected model: ModelCode 1 is the 20 MHz instrument, 2 the
// 30 MHz one; for any other code there is no page.
std::optional<Page> specifications(int modelCode);

// The contact page: the project's web page and e-mail where the build sets them, else
// the installed README; and how to report a fault.
Page contactPage(const std::string& url, const std::string& email, const std::string& readme);

// Every other topic (Topic::Specifications gives the 20 MHz page).
Page page(Topic t);
// The pages about using the instrument: loading, saving, generator, scope, FFT, software.
Page usingPage(Topic t);

// The tools around the window of the instrument (menus, panels, cursors, auto-set,
// remembered settings, the command line) and the keyboard shortcuts: the main window's
// Help > Tools and Shortcuts, the guide's text and the manual page.
Page toolsPage();
struct Shortcut {
    const char* action; // the menu item's objectName
    const char* keys;   // "Ctrl+O": as the menus show it
    const char* what;
};
const std::vector<Shortcut>& shortcuts();
// The keys of a menu item, "" for none.
const char* shortcutFor(std::string_view action);

} // namespace help
