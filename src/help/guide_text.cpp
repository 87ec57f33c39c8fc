#include "help/guide_text.h"

#include "help/help_pages.h"

#include <algorithm>
#include <cctype>

namespace help {

namespace {

// Characters on screen of UTF-8 text: every byte but the continuation bytes.
size_t width(const std::string& text) {
    return size_t(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

std::string underlined(const std::string& title, char mark) {
    return title + "\n" + std::string(width(title), mark) + "\n";
}

std::string pageText(const Page& p) {
    size_t column = 0;
    for (const Line& l : p.lines)
        if (!l.value.empty()) column = std::max(column, width(l.text) + 2);
    std::string out = "\n" + underlined(p.title, '=');
    for (const Line& l : p.lines) {
        if (l.heading) {
            out += "\n" + underlined(l.text, '-');
        } else if (l.value.empty()) {
            out += l.text + "\n";
        } else {
            out += l.text + std::string(column - width(l.text), ' ') + l.value + "\n";
        }
    }
    return out;
}

} // namespace

namespace {

// Text for a roff line: backslashes and hyphens escaped, no control character first.
std::string roffText(const std::string& s) {
    std::string out;
    for (char c : s) {
        if (c == '\\')
            out += "\\e";
        else if (c == '-')
            out += "\\-";
        else
            out += c;
    }
    if (!out.empty() && (out[0] == '.' || out[0] == '\'')) out.insert(0, "\\&");
    return out;
}

} // namespace

std::string manualSection(const Page& p) {
    std::string title = p.title;
    for (char& c : title)
        c = char(std::toupper(static_cast<unsigned char>(c)));
    std::string out = ".SH " + roffText(title) + "\n";
    bool list = false; // after a label and its value, text starts a new paragraph
    for (const Line& l : p.lines) {
        if (l.heading) {
            out += ".SS " + roffText(l.text) + "\n";
            list = false;
        } else if (!l.value.empty()) {
            out += ".TP\n.B " + roffText(l.text) + "\n" + roffText(l.value) + "\n";
            list = true;
        } else if (l.text.empty()) {
            out += ".PP\n";
            list = false;
        } else {
            if (list) out += ".PP\n";
            out += roffText(l.text) + "\n";
            list = false;
        }
    }
    return out;
}

std::string guideText() {
    const StartPage s = startPage();
    std::string out = underlined(s.heading, '#') + s.version + "\n\n" + s.welcome + "\n\n";
    for (const std::string& line : s.introduction)
        out += line + "\n";
    for (Topic t : {Topic::Readme, Topic::Software, Topic::Scope, Topic::Generator, Topic::FFT,
                    Topic::Loading, Topic::Saving, Topic::Printing})
        out += pageText(page(t));
    out += pageText(toolsPage());
    for (int model : {1, 2})
        out += pageText(*specifications(model));
    return out + pageText(page(Topic::Contact));
}

} // namespace help
