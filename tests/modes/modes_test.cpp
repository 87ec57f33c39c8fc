// The operating modes: the order the mode button steps through and the control table
// each mode applies, for every fitting of the instrument and state of the channels.
#include "device/rig.h"

#include <gtest/gtest.h>

using rig::Rig;

namespace {

// The control table after a mode change, for the current channel switches.
void expectModeTable(WQK& w) {
    InstrumentState& s = w.state();
    const int mode = int(s.mode());
    const bool aOn = s.chanAOn(), bOn = s.chanBOn(), bFitted = s.chanBFitted();
    const bool gen = mode == 1 || mode == 2, scope = mode == 0 || mode == 2;
    SCOPED_TRACE("mode " + std::to_string(mode));
    auto all = [](std::initializer_list<QWidget*> ws, bool on) {
        for (QWidget* c : ws)
            EXPECT_EQ(c->isEnabled(), on) << c->objectName().toStdString();
    };
    all({w.control<VbButton>("Command3"), w.control<VbButton>("Command2"),
         w.control<VbButton>("Command4")},
        mode != 1 && aOn);
    all({w.control<VbButton>("Command6"), w.control<VbButton>("Command7"),
         w.control<VbButton>("Command5")},
        mode != 1 && bOn && bFitted);
    all({w.control<VbButton>("GENMODEBUTTON"), w.control<VbButton>("GENSTYLEBUTTON"),
         w.control<VbButton>("GENUPDATEBUTTON"), w.control<VbButton>("GENLFREQBUTTONN"),
         w.control<VbButton>("GENLFREQBUTTONP"), w.control<VbButton>("Command19")},
        gen);
    all({w.control<VbButton>("TMODEBUTTON"), w.control<VbButton>("TSOURCEBUTTON"),
         w.control<VbButton>("PRETRIGBUTTON"), w.control<VbButton>("TSLOPEBUTTON"),
         w.control<VbButton>("SRATEN"), w.control<VbButton>("SRATEP"),
         w.control<VbButton>("SSIZEN"), w.control<VbButton>("SSIZEP")},
        !gen);
    all({w.control<VbButton>("TRESETBUTTON"), w.control<VbButton>("Command17")}, mode != 1);
    all({w.control<VbButton>("Command18")}, mode != 1 && bFitted);
    all({w.control<VbButton>("Command20"), w.control<VbButton>("Command21")}, scope);
    // Y Mag belongs to the combined trace: off while neither A+B nor A-B is shown.
    all({w.control<VbButton>("Command12")}, scope && (s.showAplusB() || s.showAminusB()));
    EXPECT_TRUE(gen ||
                w.control<PictureBox>("GENUPDATEBACK")->BackColor() == plat::RGB(128, 255, 128));
    EXPECT_TRUE(mode == 2 || s.ShowD.num() == (mode == 1 ? 1 : -1));
    for (QWidget* c : {w.control<PictureBox>("scrollupA"), w.control<PictureBox>("scrolldownA"),
                       w.control<PictureBox>("scrollupB"), w.control<PictureBox>("scrolldownB")})
        EXPECT_EQ(c->isVisibleTo(&w), scope);
    EXPECT_EQ(s.BufBase, mode == 3 ? 1024 : 2048);
    EXPECT_EQ(s.cursorMode(), 0);
}

} // namespace

TEST(Modes, TheControlTableInEveryModeAndFitting) {
    // cycle: the modes the button steps through from SCOPE
    // clang-format off
    const struct { const char* name; bool generator, chanB; int aOn, bOn; std::vector<int> cycle; }
    rows[] = {{"all fitted, both on", true, true, 1, 1, {1, 2, 3, 0}},
              {"channel A off", true, true, 0, 1, {1, 2, 3, 0}},
              {"channel B off", true, true, 1, 0, {1, 2, 3, 0}},
              {"no generator: SCOPE and FFT only", false, true, 1, 1, {3, 0}},
              {"no channel B", true, false, 1, 1, {1, 2, 3, 0}}};
    // clang-format on
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        sim::Options o;
        o.generator = row.generator;
        o.channelB = row.chanB;
        Rig r(o);
        r.s.ChanAOn = row.aOn;
        r.s.ChanBOn = row.bOn;
        r.s.LevelSetMode = 1;
        for (int mode : row.cycle) {
            r.w.SCOPEMODE_Click();
            ASSERT_EQ(int(r.s.mode()), mode);
            expectModeTable(r.w);
            EXPECT_TRUE(mode != 1 || r.s.LevelSetMode.num() == 0); // no level setting, no trigger
        }
        // The F button enters FFT from any mode and leaves it to SCOPE.
        for (int start : {0, 1, 2}) {
            r.s.ScopeMode = start;
            r.w.FFTbutton_Click();
            EXPECT_EQ(int(r.s.mode()), 3);
            expectModeTable(r.w);
            r.w.FFTbutton_Click();
            EXPECT_EQ(int(r.s.mode()), 0);
            expectModeTable(r.w);
        }
    }
}

// FFT keeps the samples aside while the buffers hold spectra, forces A+B and A-B off and
// halves the scroll range; leaving it brings all back but the sum and difference. A custom
// wave stays as loaded when GENERATOR is entered.
TEST(Modes, FftKeepsTheSamplesGeneratorKeepsACustomWave) {
    Rig r;
    r.fill(r.s.ChanABuffer, 1);
    r.fill(r.s.ChanBBuffer, 2);
    const auto a = r.s.ChanABuffer, b = r.s.ChanBBuffer;
    r.s.ShowAplusB = 1;
    r.s.SampleSizeIndex = 2;
    r.w.FFTbutton_Click();
    EXPECT_EQ(r.s.ShowAplusB.num() + r.s.ShowAminusB, -2);
    EXPECT_EQ(r.w.control<QScrollBar>("HScroll1")->maximum(), 4 * 1024 - 1);
    std::fill(r.s.ChanABuffer.begin(), r.s.ChanABuffer.end(), int16_t(5));
    r.s.ChanBBuffer = r.s.ChanABuffer;
    r.s.FFTDoneA = r.s.FFTDoneB = 1;
    r.s.GenMode = 2;
    r.s.GenDirty = 0; // a custom wave was loaded
    r.s.GenWave = r.s.CustomWave = r.s.ChanABuffer;
    r.w.SCOPEMODE_Click();
    EXPECT_TRUE(r.s.ChanABuffer == a && r.s.ChanBBuffer == b);
    EXPECT_EQ(r.s.FFTDoneA.num() + r.s.FFTDoneB + r.s.ShowAplusB.num(), -1);
    EXPECT_EQ(r.w.control<QScrollBar>("HScroll2")->maximum(), 4 * 2048 - 1);
    r.w.SCOPEMODE_Click();
    EXPECT_TRUE(r.s.GenWave == r.s.CustomWave && r.s.GenWave[0] == 5 && r.s.GenDirty == 0);
    EXPECT_EQ(r.w.control<PictureBox>("GENUPDATEBACK")->BackColor(), plat::RGB(128, 255, 128));
}
