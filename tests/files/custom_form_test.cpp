// The custom-wave form of the load window (opened by UPDATE in CUSTOM generator mode)
// and the texts both windows print.
#include "files/panels.h"
#include "window_driver.h"

#include <gtest/gtest.h>

using filetest::runWindow;
using testing_support::Harness;

namespace {

// Opens the custom form the way the generator's UPDATE does.
bool custom(Harness& h, std::vector<filetest::Step> steps) {
    WQK& w = h.window();
    return runWindow(
        h,
        [&w] {
            w.state().LoadFromButton = 0;
            w.state().LoadDone = 0;
            w.FILELOAD();
        },
        std::move(steps), [&w] { w.loadexitbutton->click(); });
}

std::vector<std::string> texts(files::Panel p, bool fft) {
    std::vector<std::string> out;
    for (const auto& t : files::panelTexts(p, fft))
        out.push_back(t.text);
    return out;
}

} // namespace

TEST(CustomForm, ShowsTheCustomButtonsOnly) {
    Harness h;
    WQK& w = h.window();
    w.state().ScopeMode = 3; // a load in FFT mode first leaves the FFT button shown
    EXPECT_FALSE(filetest::load(h, {[&] { EXPECT_TRUE(w.FFTloadab->isVisibleTo(&w)); }}));
    w.state().ScopeMode = 1;
    w.state().GenMode = 2;
    EXPECT_FALSE(custom(
        h, {[&] {
            for (VbButton* b : {w.Customloadbutton, w.CustomCSVbutton, w.CopyAbutton, w.CopyBbutton,
                                w.keepcustombutton, w.loadexitbutton})
                EXPECT_TRUE(b->isVisibleTo(&w)) << b->objectName().toStdString();
            for (VbButton* b : {w.chaloadbutton, w.chbloadbutton, w.profileloadbutton, w.FFTloadab})
                EXPECT_FALSE(b->isVisibleTo(&w)) << b->objectName().toStdString();
        }}));
    EXPECT_FALSE(w.CopyAbutton->isVisibleTo(&w));
    EXPECT_FALSE(w.CopyBbutton->isVisibleTo(&w));
    EXPECT_FALSE(w.fileloadwindow->isVisibleTo(&w));
    EXPECT_EQ(w.state().LoadDone.num(), 0); // left with neither a load nor "keep"
}

TEST(CustomForm, KeepExistingDataClosesWithLoadDone) {
    Harness h;
    WQK& w = h.window();
    w.state().GenMode = 2;
    w.state().GenLast = 99;
    for (int i = 0; i < 100; ++i)
        w.state().GenWave[i] = int16_t(i * 10);
    EXPECT_TRUE(custom(h, {[&] { w.state().KeepCustom = 1; }}));
    EXPECT_EQ(w.state().LoadDone.num(), 1);
    EXPECT_EQ(w.state().KeepCustom, 0);
    EXPECT_EQ(w.state().LoadExit.num(), 0);
    EXPECT_EQ(w.state().CustomWave[99], 990); // the custom wave follows GenWave on closing
}

TEST(CustomForm, CopyRequestTakesTheCaptureRate) {
    Harness h;
    WQK& w = h.window();
    w.state().SampleRateIndex = 2;
    w.state().CustomRateIndex = 0;
    EXPECT_TRUE(custom(h, {[&] { w.state().CopyBRequest = 1; }}));
    EXPECT_EQ(w.state().LoadDone.num(), 1);
    EXPECT_EQ(w.state().customRateIndex(), 2);
    EXPECT_EQ(w.state().CopyBRequest, 0);
}

TEST(CustomForm, RawLoadAndNothingElseIsServed) {
    Harness h;
    WQK& w = h.window();
    h.writeFile("p.wqk", "WQK1300" + std::string(4000, '\x10'));
    h.writeFile("wave.dcg", std::string(20, '\x40'));
    EXPECT_TRUE(custom(h, {[&] {
                               // Requests of the other form are not acted on here.
                               ASSERT_TRUE(w.File1->selectFile("p.wqk"));
                               w.state().LoadABReq = 1;
                           },
                           [&] {
                               EXPECT_EQ(w.state().ChanABuffer[0], 1280);
                               ASSERT_TRUE(w.File1->selectFile("wave.dcg"));
                               w.Customloadbutton->click();
                           }}));
    EXPECT_EQ(w.state().GenLast, 19.0f);
    EXPECT_EQ(w.state().CustomWave[19], 640);
    EXPECT_EQ(w.state().LoadABReq.num(), 0);
    EXPECT_TRUE(h.messages().shown.empty());
}

TEST(PanelTexts, TitlesAndLinesPerWindowAndMode) {
    using files::Panel;
    const std::vector<std::string> lists = {"Drive selection", "Directory selection",
                                            "File selection"};
    auto with = [&](std::vector<std::string> v, bool name = false) {
        v.insert(v.end(), lists.begin(), lists.end());
        if (name) v.push_back("Type in File Name to save >>");
        return v;
    };
    const std::string note =
        "Note: Existing channel data will not be overwritten if channel is turned OFF";
    const std::string toLoad = "Select Drive/Directory/File and click button to load";
    const std::string toSave = "Select Drive/Directory/File and click button to save";
    EXPECT_EQ(texts(Panel::LoadSignal, false), with({"SIGNAL AND PROFILE LOADING", note, toLoad}));
    EXPECT_EQ(texts(Panel::LoadSignal, true),
              with({"FFT PLOTS AND PROFILE LOADING", note, toLoad}));
    EXPECT_EQ(texts(Panel::LoadCustom, false), with({"CUSTOM WAVEFORM LOADING", toLoad}));
    EXPECT_EQ(texts(Panel::Save, false), with({"SIGNAL AND PROFILE SAVING", toSave}, true));
    EXPECT_EQ(texts(Panel::Save, true), with({"FFT PLOTS AND PROFILE SAVING", toSave}, true));
}
