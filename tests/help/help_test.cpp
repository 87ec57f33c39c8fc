// The user guide: what its pages say, that each fits the text area, and the guide as a
// user meets it (HELP, the topic buttons, EXIT).
#include "help/guide_text.h"
#include "help/help_draw.h"
#include "help/help_pages.h"
#include "platform/version.h"
#include "port/select.h"
#include "support/fixture.h"

#include <QCoreApplication>
#include <gtest/gtest.h>
#include <regex>
#include <set>

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
// Button and page title, in the order in which the guide serves requests.
const std::vector<std::array<const char*, 2>> Topics = {
    {"helpspec", "WQK01 Technical Specifications (20MHz)"},
    {"helpcontact", "Contact and Support"},
    {"helpprint", "Printing"},
    {"Helpload", "File Loading"},
    {"HelpSave", "File Saving"},
    {"Helpgenerator", "Using Signal Generator"},
    {"Helpscope", "Using the SCOPE"},
    {"HelpFFT", "Using the FFT"},
    {"helpreadme", "Important Information"},
    {"helpbasic", "Software Information"}};
const char* const Start = "User Guide for WQK Scope & Generator";

// A shown window whose guide records the titles of the pages it draws.
struct Guide {
    Harness h;
    WQK& w;
    std::vector<std::string> titles;
    Guide() : w(h.window()) {
        w.show();
        QCoreApplication::processEvents();
        QObject::connect(&w, &WQK::helpPageDrawn,
                         [this](const QString& t) { titles.push_back(t.toStdString()); });
    }
    void press(const char* button) { w.findChild<VbButton*>(button)->click(); }
    // HELP, then each round of the guide's loop presses the buttons of one entry.
    void run(const std::vector<std::vector<const char*>>& rounds) {
        int n = 1;
        for (const auto& r : rounds)
            h.clock().atDoEvents(n++, [this, r] {
                for (const char* b : r)
                    press(b);
            });
        h.clock().atDoEvents(n, [this] { w.control<VbButton>("helpexit")->click(); });
        w.control<VbButton>("helpbutton")->click();
    }
};
} // namespace

TEST(HelpPages, EachModelsFiguresAndTheGuideNamesEveryOptionAndOnlyRealContacts) {
    // clang-format off
    const struct { int model; const char* mhz; std::vector<const char*> figures; const char* other; }
    rows[] = {
        {1, "20MHz", {"20 million samples", "13 s", "0 to 10 MHz", "2K, 20K, 200K"}, "30 million"},
        {2, "30MHz", {"30 million samples", "9 s", "0 to 15 MHz", "7.5, 15, 75"}, "20 million"}};
    // clang-format on
    for (const auto& r : rows) {
        const auto p = help::specifications(r.model);
        ASSERT_TRUE(p);
        EXPECT_EQ(p->title, std::string("WQK01 Technical Specifications (") + r.mhz + ")");
        const std::string t = text(*p);
        for (const char* s : r.figures)
            EXPECT_TRUE(has(t, s)) << s;
        EXPECT_FALSE(has(t, r.other)) << "names the other model";
    }
    // Every option the program accepts is named as it parses it, and accepted as written.
    const std::string readme = text(help::page(help::Topic::Readme));
    std::smatch m;
    std::string rest = ports::usage();
    int options = 0;
    while (std::regex_search(rest, m, std::regex("(--[a-z-]+=?)([A-Za-z0-9|]*)"))) {
        const std::string name = m.str(1), value = m.str(2);
        rest = m.suffix();
        if (name == "--help") continue;
        ++options;
        EXPECT_TRUE(has(readme, name + value)) << name + value;
        const bool concrete = value.empty() || !std::isupper(static_cast<unsigned char>(value[0]));
        EXPECT_TRUE(!concrete ||
                    ports::parseArgs({name + value.substr(0, value.find('|'))}).errors.empty())
            << name + value;
    }
    EXPECT_GE(options, 10);
    // Contact: the addresses the build sets, else the installed README; it invents none.
    const std::array<const char*, 3> contacts[] = {
        {"", "", "README /usr/share/doc/wqkscope/README.md"},
        {"https://wqk.example", "", "Web page https://wqk.example"},
        {"", "wqk@wqk.example", "E-mail wqk@wqk.example"}};
    for (const auto& [url, email, shown] : contacts) {
        const std::string t =
            text(help::contactPage(url, email, "/usr/share/doc/wqkscope/README.md"));
        EXPECT_TRUE(has(t, shown) && has(t, "Reporting a fault")) << t;
        EXPECT_EQ(has(t, "issue tracker"), !*url && !*email) << t;
    }
}

TEST(HelpPages, EveryPageFitsTheTextAreaAtEverySize) {
    Guide g;
    std::vector<help::Page> pages = {*help::specifications(2)};
    for (int t = 0; t < 10; ++t)
        pages.push_back(help::page(help::Topic(t)));
    for (QSize size : {QSize(800, 560), QSize(1900, 1000)}) {
        g.w.resize(size);
        g.w.control<PictureBox>("helpwindow")->show();
        QCoreApplication::processEvents();
        plat::PictureBox& area = *g.w.control<PictureBox>("htextwin");
        for (const help::Page& page : pages) {
            const help::Extent e = help::drawPage(area, page);
            const std::string at = page.title + " at " + std::to_string(size.width());
            EXPECT_LE(e.right, area.ScaleWidth() * 0.99) << at;
            EXPECT_LE(e.bottom, area.ScaleHeight() * 0.99) << at;
            EXPECT_LE(e.tallestLine, e.lineStep) << at << ": lines overlap";
            EXPECT_FALSE(e.labelsOverlapValues) << at;
        }
        const help::Extent s = help::drawStartPage(area, help::startPage());
        EXPECT_TRUE(s.right <= area.ScaleWidth() * 0.99 && s.bottom <= area.ScaleHeight() * 0.99);
        g.w.control<PictureBox>("helpwindow")->hide();
    }
}

// The guide as text, for the documentation folder: the start page with the build's
// version, every page once, each page's values in one column counted in characters
// (labels such as "Stability at 20 °C" are not ASCII).
TEST(HelpPages, GuideTextHoldsEveryPageWithItsValuesAligned) {
    EXPECT_EQ(help::startPage().version, std::string("Version ") + plat::version + " for Linux");
    const std::string guide = help::guideText();
    EXPECT_NE(guide.find("\n" + help::startPage().version + "\n"), std::string::npos);
    std::vector<help::Page> pages = {*help::specifications(2)};
    for (int t = 0; t < 10; ++t)
        pages.push_back(help::page(help::Topic(t)));
    for (const help::Page& p : pages) {
        const size_t at = guide.find("\n" + p.title + "\n===");
        ASSERT_NE(at, std::string::npos) << p.title;
        EXPECT_EQ(guide.find("\n" + p.title + "\n", at + 1), std::string::npos) << p.title;
        std::set<long> columns;
        for (const help::Line& l : p.lines) {
            if (l.value.empty()) continue;
            const size_t value = guide.find(l.value, at), start = guide.rfind('\n', value) + 1;
            EXPECT_EQ(guide.compare(start, l.text.size(), l.text), 0) << l.text;
            const std::string before = guide.substr(start, value - start);
            columns.insert(std::count_if(before.begin(), before.end(),
                                         [](unsigned char c) { return (c & 0xC0) != 0x80; }));
        }
        EXPECT_LE(columns.size(), 1u) << p.title;
    }
}

TEST(HelpWindow, ServesEachRequestOnceInTableOrderAndClosesOnExit) {
    Guide g;
    std::vector<const char*> all, reversed;
    for (const auto& t : Topics)
        all.push_back(t[0]);
    reversed.assign(all.rbegin(), all.rend());
    // All pressed in one round, last first; then one a round; then Printing twice.
    std::vector<std::vector<const char*>> rounds{reversed};
    for (const char* b : all)
        rounds.push_back({b});
    rounds.push_back({"helpprint"});
    g.run(rounds);
    std::vector<std::string> expected{Start};
    for (int k = 0; k < 2; ++k)
        for (const auto& t : Topics)
            expected.push_back(t[1]);
    expected.push_back("Printing");
    EXPECT_EQ(g.titles, expected);
    EXPECT_FALSE(g.w.control<PictureBox>("helpwindow")->isVisible() || g.w.ended());
}

TEST(HelpWindow, SpecificationsFollowTheModelAndShowNothingForAnUnknownOne) {
    for (int code : {0, 2, 3}) {
        Guide g;
        g.w.state().ModelCode = int16_t(code);
        g.run({{"helpspec"}, {"helpbasic"}}); // the other topics still work
        std::vector<std::string> want{Start, "Software Information"};
        if (code == 2) want.insert(want.begin() + 1, "WQK01 Technical Specifications (30MHz)");
        EXPECT_EQ(g.titles, want) << code;
        EXPECT_EQ(g.w.state().HelpSpecReq.num(), 0) << code;
    }
}

TEST(HelpWindow, ClosingTheWindowEndsTheGuideAndItIsLockedWithTheFileGroupOrARun) {
    Guide g;
    g.w.FILEDISABLE();
    g.w.control<VbButton>("helpbutton")
        ->click(); // disabled: neither the guide nor the print menu opens
    g.w.control<VbButton>("Command1")->click();
    EXPECT_FALSE(g.w.control<PictureBox>("helpwindow")->isVisible() ||
                 g.w.control<PictureBox>("printwindow")->isVisible());
    g.w.FILEENABLE();
    g.w.state().RunRepeat = 1;
    bool helpOn = true, printOn = true;
    g.h.clock().atDoEvents(3, [&] {
        helpOn = g.w.control<VbButton>("helpbutton")->isEnabled(),
        printOn = g.w.control<VbButton>("Command1")->isEnabled();
        g.w.control<VbButton>("helpbutton")
            ->click(); // pressed anyway: nothing opens inside the run
        g.w.control<VbButton>("Command1")->click();
        g.w.control<VbButton>("GOBUTTON")->click(); // STOP
    });
    g.w.control<VbButton>("GOBUTTON")->click();
    EXPECT_FALSE(helpOn || printOn || g.w.control<PictureBox>("printwindow")->isVisible());
    EXPECT_TRUE(g.titles.empty());
    EXPECT_TRUE(g.w.control<VbButton>("helpbutton")->isEnabled() &&
                g.w.control<VbButton>("Command1")->isEnabled());
    g.h.clock().atDoEvents(1, [&] { g.w.close(); });
    g.w.control<VbButton>("helpbutton")->click(); // returns instead of waiting for EXIT forever
    EXPECT_TRUE(g.w.ended());
}
