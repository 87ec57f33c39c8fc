// Every caption and title the window and its panels show, measured against its box at
// window sizes from small to large: none is cut.
#include "support/fixture.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

namespace {

// The texts that run past their box, each with the name of its control.
std::string cutTexts(WQK& w) {
    std::string cut;
    for (auto* p : w.findChildren<PictureBox*>())
        for (const std::string& t : p->cutTexts())
            if (p->isVisible()) cut += p->objectName().toStdString() + " \"" + t + "\" ";
    for (auto* b : w.findChildren<VbButton*>())
        if (b->isVisible() && b->fontMetrics().horizontalAdvance(b->text()) > b->captionRoom())
            cut += b->objectName().toStdString() + " \"" + b->caption() + "\" ";
    for (auto* l : w.findChildren<QLabel*>())
        if (l->isVisible() && l->fontMetrics().horizontalAdvance(l->text()) > l->width())
            cut += l->objectName().toStdString() + " \"" + l->text().toStdString() + "\" ";
    return cut;
}

} // namespace

TEST(Captions, ArrowButtonsShowTheirArrows) {
    testing_support::Harness h;
    for (const char* name : {"TRLARGEN", "TRSMALLN", "Command24", "Command26"})
        EXPECT_EQ(h.window().findChild<VbButton*>(name)->caption(), "<") << name;
    for (const char* name : {"TRLARGEP", "TRSMALLP", "Command25", "Command27"})
        EXPECT_EQ(h.window().findChild<VbButton*>(name)->caption(), ">") << name;
}

TEST(Captions, EveryCaptionAndTitleFitsItsBoxAtEveryWindowSize) {
    // clang-format off
    const struct { const char* name; void (WQK::*open)(); const char* exit; } panels[] = {
        {"main window", nullptr, nullptr}, {"port selection", &WQK::Configport, "CONFIGEXIT"},
        {"load", &WQK::fileloadbutton_Click, "loadexitbutton"},
        {"save", &WQK::filesavebutton_Click, "exitsavebutton"},
        {"print", &WQK::Command1_Click, "exitprint"}};
    // clang-format on
    for (QSize size : {QSize(500, 350), QSize(643, 450), QSize(800, 450), QSize(643, 700),
                       QSize(965, 675), QSize(1280, 900), QSize(1900, 1000)}) {
        testing_support::Harness h;
        WQK& w = h.window(false);
        w.resize(size);
        w.show();
        QCoreApplication::processEvents();
        w.activate();
        for (const auto& p : panels) {
            std::string cut = cutTexts(w);
            if (p.open) {
                h.clock().atDoEvents(2, [&] {
                    cut = cutTexts(w);
                    w.control<VbButton>(p.exit)->click();
                });
                (w.*p.open)();
            }
            EXPECT_EQ(cut, "") << p.name << " at " << size.width() << " x " << size.height();
        }
    }
}
