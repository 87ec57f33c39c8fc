// The pages themselves: the figures of both models, what the pages say about this
// program, and that every page fits the text area.
#include "help/help_draw.h"
#include "help/help_pages.h"
#include "port/select.h"
#include "support/fixture.h"

#include <QCoreApplication>
#include <cctype>
#include <gtest/gtest.h>
#include <regex>

using help::Topic;
using testing_support::Harness;

namespace {

std::string text(const help::Page& p) {
    std::string t = p.title + "\n";
    for (const auto& l : p.lines)
        t += l.text + (l.value.empty() ? "" : " " + l.value) + "\n";
    return t;
}

bool has(const std::string& hay, const std::string& needle) {
    return hay.find(needle) != std::string::npos;
}

const std::vector<Topic> AllTopics = {
    Topic::Specifications, Topic::Contact, Topic::Printing, Topic::Loading, Topic::Saving,
    Topic::Generator,      Topic::Scope,   Topic::FFT,      Topic::Readme,  Topic::Software};

} // namespace

TEST(HelpPages, SpecificationsOfTheTwoModels) {
    auto p20 = help::specifications(1);
    auto p30 = help::specifications(2);
    ASSERT_TRUE(p20 && p30);
    EXPECT_FALSE(help::specifications(0));
    EXPECT_FALSE(help::specifications(3));
    EXPECT_EQ(p20->title, "WQK01 Technical Specifications (20MHz)");
    EXPECT_EQ(p30->title, "WQK01 Technical Specifications (30MHz)");
    const std::string a = text(*p20), b = text(*p30);
    for (const char* s : {"20 million samples per second", "2000 samples per second", "13 s",
                          "10 MHz bandwidth", "0 to 10 MHz", "2K, 20K, 200K, 2M and 20M Hz",
                          "5, 10, 50, 100, 500, 1000,", "5000, 10000, 50000, 100000 Hz"})
        EXPECT_TRUE(has(a, s)) << s;
    for (const char* s : {"30 million samples per second", "3000 samples per second", "9 s",
                          "15 MHz bandwidth", "0 to 15 MHz", "3K, 30K, 300K, 3M and 30M Hz",
                          "7.5, 15, 75, 150, 750, 1500,", "7500, 15000, 75000, 150000 Hz"})
        EXPECT_TRUE(has(b, s)) << s;
    EXPECT_FALSE(has(a, "30 million")) << "the 20 MHz page names the other model";
    EXPECT_FALSE(has(b, "20 million")) << "the 30 MHz page names the other model";
    for (const auto* p : {&*p20, &*p30}) {
        ASSERT_FALSE(p->lines.empty());
        EXPECT_EQ(p->lines.back().text,
                  "Note: Specifications are subject to change without notice");
        const std::string t = text(*p);
        for (const char* s :
             {"2K, 4K, 8K, 16K, 32K", "\u00b11.2 V and \u00b112 V", "\u00b120 V with x10 probes",
              "+ and - slopes", "pretrigger OFF, 10 or 100 sample points",
              "zero reading \u00b12 bits, noise \u00b11 bit",
              "5 Hz to 500 kHz, settable to 1 percent", "within 3 %", "x2, x5, x10, x20",
              "0-1 V and 0-2 V peak to peak", "255 = 2 V, 0 = 0 V", "300 ohms"})
            EXPECT_TRUE(has(t, s)) << s;
    }
    // Apart from the model's own figures the two pages say the same.
    ASSERT_EQ(p20->lines.size(), p30->lines.size());
    int differing = 0;
    for (size_t i = 0; i < p20->lines.size(); ++i)
        if (p20->lines[i].text != p30->lines[i].text || p20->lines[i].value != p30->lines[i].value)
            ++differing;
    EXPECT_EQ(differing, 8); // max and min rate, length, bandwidth, FFT, 2 sweep lines, rates
}

TEST(HelpPages, StartPage) {
    const help::StartPage s = help::startPage();
    EXPECT_EQ(s.heading, "User Guide for WQK Scope & Generator");
    EXPECT_EQ(s.welcome, "Welcome to WQK Scope & Generator Help Pages");
    EXPECT_TRUE(std::regex_search(s.version, std::regex("^Version [0-9]+\\.[0-9]+")));
    std::string intro;
    for (const auto& l : s.introduction)
        intro += l + " ";
    for (const char* w :
         {"oscilloscope", "signal generator", "FFT", "mouse", "spreadsheet", "analyser"})
        EXPECT_TRUE(has(intro, w)) << w;
}

TEST(HelpPages, TheGuideDescribesThisProgramOnLinux) {
    const std::string readme = text(help::page(Topic::Readme));
    for (const char* s : {"ECP", "/dev/parport", "group lp", "CAP_SYS_RAWIO", "simulated",
                          "WQKport.cfg", "LPT1", "378H", "PORT", "keeps"})
        EXPECT_TRUE(has(readme, s)) << s;
    // Every option the program accepts is named, spelt as the program parses it.
    const std::string usage = ports::usage();
    std::smatch m;
    std::string rest = usage;
    int options = 0;
    while (std::regex_search(rest, m, std::regex("(--[a-z-]+=?)([A-Za-z0-9|]*)"))) {
        const std::string name = m.str(1), value = m.str(2);
        rest = m.suffix();
        if (name == "--help") continue;
        ++options;
        EXPECT_TRUE(has(readme, name + value)) << name + value;
        // A concrete form (not a placeholder such as SIGNAL) must be accepted as written.
        if (value.empty() || std::islower(static_cast<unsigned char>(value[0])) ||
            std::isdigit(static_cast<unsigned char>(value[0]))) {
            EXPECT_TRUE(ports::parseArgs({name + value.substr(0, value.find('|'))}).errors.empty())
                << name + value;
        }
    }
    EXPECT_GE(options, 10);

    const std::string printing = text(help::page(Topic::Printing));
    for (const char* s : {"Print All details", "Print Signal Display only", "1000 twips", "CUPS",
                          "lpoptions -d", "printer-driver-cups-pdf", "Printer Error!"})
        EXPECT_TRUE(has(printing, s)) << s;

    // The contact page shows the addresses the build sets, else the installed README and
    // the issue tracker; it invents none.
    const struct {
        const char *url, *email, *shown;
    } contacts[] = {{"", "", "README /usr/share/doc/wqkscope/README.md"},
                    {"https://wqk.example", "", "Web page https://wqk.example"},
                    {"", "wqk@wqk.example", "E-mail wqk@wqk.example"}};
    for (const auto& c : contacts) {
        const std::string t =
            text(help::contactPage(c.url, c.email, "/usr/share/doc/wqkscope/README.md"));
        EXPECT_TRUE(has(t, c.shown)) << t;
        EXPECT_EQ(has(t, "issue tracker"), !*c.url && !*c.email) << t;
        EXPECT_TRUE(has(t, "Reporting a fault") && has(t, "A good report names:")) << t;
    }
    // The guide shows that page for the build's settings (none by default).
    EXPECT_TRUE(has(text(help::page(Topic::Contact)), "Reporting a fault"));
}

TEST(HelpPages, EveryPageFitsTheTextAreaAtEverySize) {
    Harness h;
    WQK& w = h.window();
    w.show();
    for (QSize size : {QSize(1000, 700), QSize(1447, 1012), QSize(800, 560), QSize(1900, 1000)}) {
        w.resize(size);
        QCoreApplication::processEvents();
        w.helpwindow->show();
        QCoreApplication::processEvents();
        plat::PictureBox& area = *w.htextwin;
        ASSERT_GT(area.width(), 100);
        std::vector<std::pair<std::string, help::Page>> pages;
        for (Topic t : AllTopics)
            pages.emplace_back(help::page(t).title, help::page(t));
        pages.emplace_back("30 MHz", *help::specifications(2));
        for (const auto& [name, page] : pages) {
            const help::Extent e = help::drawPage(area, page);
            EXPECT_LE(e.right, area.ScaleWidth() * 0.99) << name << " at " << size.width();
            EXPECT_LE(e.bottom, area.ScaleHeight() * 0.99) << name << " at " << size.width();
            EXPECT_LE(e.tallestLine, e.lineStep) << name << ": lines overlap";
            EXPECT_FALSE(e.labelsOverlapValues) << name << " at " << size.width();
            EXPECT_GE(page.lines.size(), 8u) << name;
        }
        const help::Extent s = help::drawStartPage(area, help::startPage());
        EXPECT_LE(s.right, area.ScaleWidth() * 0.99);
        EXPECT_LE(s.bottom, area.ScaleHeight() * 0.99);
        w.helpwindow->hide();
    }
}
