// The load window through the running program: buttons per mode, each loader, the
// custom-wave form, and refused, damaged or hostile files that must change nothing.
#include "samples.h"
#include "window_driver.h"

#include <QDir>
#include <gtest/gtest.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

using filetest::lastMessage;
using filetest::load;
using filetest::Snapshot;
using LoadWindow = filetest::FileWindow;
using LoadMend = filetest::FileWindow;

namespace {

std::string cwd() {
    return QDir::currentPath().toStdString();
}

// Selects `name` and presses `button` in one pass.
filetest::Step pick(WQK& w, const std::string& name, VbButton* button) {
    return [&w, name, button] {
        ASSERT_TRUE(w.control<FileListBox>("File1")->selectFile(name)) << name;
        button->click();
    };
}

// Opens the custom form the way the generator's UPDATE does.
bool custom(testing_support::Harness& h, std::vector<filetest::Step> steps) {
    WQK& w = h.window();
    return filetest::runWindow(
        h, [&w] { w.state().LoadFromButton = 0, w.state().LoadDone = 0, w.FILELOAD(); },
        std::move(steps), [&w] { w.control<VbButton>("loadexitbutton")->click(); });
}

// chaload, FFT, custom, CSV, profile | chbload, keep, copy A, copy B, EXIT: 1 when shown
std::string shown(WQK& w) {
    std::string v;
    for (VbButton* b :
         {w.control<VbButton>("chaloadbutton"), w.control<VbButton>("FFTloadab"),
          w.control<VbButton>("Customloadbutton"), w.control<VbButton>("CustomCSVbutton"),
          w.control<VbButton>("profileloadbutton"), w.control<VbButton>("chbloadbutton"),
          w.control<VbButton>("keepcustombutton"), w.control<VbButton>("CopyAbutton"),
          w.control<VbButton>("CopyBbutton"), w.control<VbButton>("loadexitbutton")})
        v += std::string(b == w.control<VbButton>("chbloadbutton") ? "|" : "") +
             (b->isVisibleTo(&w) ? '1' : '0');
    return v;
}

} // namespace

TEST_F(LoadWindow, ButtonsPerModeAndForm) {
    const char* rows[] = {"10001|00001", "00111|00001", "00111|00001", "01001|00001"};
    for (int mode = 0; mode < 4; ++mode) {
        w.state().ScopeMode = mode;
        EXPECT_FALSE(load(h, {[&] {
                              EXPECT_EQ(shown(w) + w.control<DirListBox>("Dir1")->path(),
                                        rows[mode] + cwd());
                          }}));
        EXPECT_FALSE(w.control<PictureBox>("fileloadwindow")->isVisibleTo(&w));
        EXPECT_EQ(w.state().LoadExit.num(), 0);
    }
    w.state().ScopeMode = 1, w.state().GenMode = 2; // the FFT button was shown last time
    EXPECT_FALSE(custom(h, {[&] { EXPECT_EQ(shown(w), "00110|01111"); }}));
    EXPECT_FALSE(w.control<VbButton>("CopyAbutton")->isVisibleTo(&w) ||
                 w.control<VbButton>("CopyBbutton")->isVisibleTo(&w));
    EXPECT_FALSE(w.control<PictureBox>("fileloadwindow")->isVisibleTo(&w));
    EXPECT_EQ(w.state().LoadDone.num(), 0); // left with neither a load nor "keep"
}

TEST_F(LoadWindow, SignalFftAndCustomFilesLoad) {
    h.writeFile("x.wqk", filebytes::signal("WQK", "1421", 32768));
    EXPECT_TRUE(load(h, {pick(w, "x.wqk", w.control<VbButton>("chaloadbutton"))}));
    const InstrumentState& s = w.state();
    EXPECT_EQ(s.FilePath, cwd() + "/x.wqk");
    EXPECT_TRUE(s.ChanABuffer[300] == filebytes::a(300) * 10 &&
                s.ChanBBuffer[32767] == filebytes::b(32767) * 10 && s.GenLast == 32767.0f);
    EXPECT_TRUE(s.dataRateA() == 4 && s.dataRangeA() == 2 && s.DataRangeB == 1);
    EXPECT_TRUE(s.LoadDone.num() == 1 && s.LoadABReq.num() == 0 && h.messages().shown.empty());
    w.state().ScopeMode = 3;
    h.writeFile("p.fft", filebytes::signal("FFT", "2200", 512)); // 1031 bytes
    EXPECT_TRUE(load(h, {pick(w, "p.fft", w.control<VbButton>("FFTloadab"))}));
    EXPECT_TRUE(s.ChanABuffer[511] == filebytes::a(511) * 10 && s.ChanABuffer[512] == 0);
    EXPECT_TRUE(s.FFTDoneA.num() == 1 && s.FFTDoneB == 1 && s.RateFactor == 1.5f);
    EXPECT_TRUE(s.dataRateA() == 2 && s.LoadFFTReq.num() == 0);
    w.state().ScopeMode = 1;
    h.writeFile("w.csv", "10,20,30\r\n300,-4,12.34\r\n");
    EXPECT_TRUE(load(h, {pick(w, "w.csv", w.control<VbButton>("CustomCSVbutton"))}));
    EXPECT_TRUE(s.GenLast == 9.0f && s.GenWave[3] == 2550 && s.GenWave[5] == 123);
    EXPECT_TRUE(s.genMode() == 2 && s.genStyle() == 4 && s.CustomWave == s.GenWave);
    EXPECT_EQ(w.control<PictureBox>("GENUPDATEBACK")->BackColor(), plat::RGB(128, 255, 128));
    h.writeFile("w.csv", "1,1,1,1,1,1,1,1,1,1,1,1\r\n"); // no second load by itself
    EXPECT_TRUE(load(h, {[&] { ASSERT_TRUE(w.control<FileListBox>("File1")->selectFile("w.csv")); },
                         [] {}, [&] { w.control<VbButton>("loadexitbutton")->click(); }}));
    EXPECT_TRUE(s.GenWave[3] == 2550 && s.GenLast == 9.0f);
    w.state().ScopeMode = 2;
    h.writeFile("notes\xe9.txt", "\x01\x02\x03\x04\x05"); // listed by its bytes: no UTF-8
    EXPECT_TRUE(load(h, {pick(w, "notes\xe9.txt", w.control<VbButton>("Customloadbutton"))}));
    EXPECT_TRUE(s.GenLast == 9.0f && s.GenWave[4] == 50 && s.GenWave[5] == 0);
    EXPECT_TRUE(s.LoadDone.num() == 1 && s.LoadRawReq.num() == 0 && h.messages().shown.empty());
}

TEST_F(LoadWindow, RefusedFilesChangeNothing) {
    // clang-format off
    const struct { const char* name; std::string bytes; int mode; const char* message;
                   int fileInvalid; } rows[] = { // the signal format's own refusals: one row
        {"range.wqk", filebytes::signal("WQK", "1390", 1024), 0, "Not a valid WQK signal file", 0},
        {"s.wqk", filebytes::signal("WQK", "1300", 4096), 3, "Not a valid FFT signal file", 0},
        {"gone.wqk", "", 0, "Unable to open file", 1}, // removed once selected
        {"", "", 0, "No File selected to load", 0},
    };
    // clang-format on
    for (const auto& r : rows) {
        if (*r.name) h.writeFile(r.name, r.bytes);
        h.messages().shown.clear();
        w.state().ScopeMode = r.mode;
        w.state().FFTDoneA = w.state().FFTDoneB = r.mode == 3; // the spectra are drawn
        VbButton* button =
            r.mode == 3 ? w.control<VbButton>("FFTloadab") : w.control<VbButton>("chaloadbutton");
        std::optional<Snapshot> before; // once the window is open
        EXPECT_TRUE(load(
            h, {[&] {
                    before.emplace(w.state());
                    ASSERT_TRUE(!*r.name || w.control<FileListBox>("File1")->selectFile(r.name));
                    if (std::string(r.name) == "gone.wqk") QFile::remove(r.name);
                    button->click();
                },
                [&] {
                    EXPECT_TRUE(w.control<PictureBox>("fileloadwindow")->isVisibleTo(&w));
                    w.control<VbButton>("loadexitbutton")->click();
                }}));
        ASSERT_EQ(h.messages().shown.size(), 1u) << r.name; // once: no request left pending
        EXPECT_EQ(lastMessage(h)->text + "|" + lastMessage(h)->title,
                  r.message + std::string("|Help"));
        EXPECT_EQ(w.state().FileInvalid.num(), r.fileInvalid) << r.name;
        EXPECT_TRUE(before && Snapshot(w.state()) == *before) << r.name;
        EXPECT_TRUE(w.state().LoadABReq.num() == 0 && w.state().LoadFFTReq.num() == 0) << r.name;
    }
}

TEST_F(LoadMend, DamagedProfilesChangeNoSetting) {
    std::string good = files::encodeProfile(w.state());
    auto cut = [&](int items) { // the line up to and including item `items`
        size_t p = 0;
        for (int k = 0; k <= items; ++k)
            p = good.find(',', p) + 1;
        return good.substr(0, p);
    };
    w.state().TrigLevel = 900;
    w.state().ScopeMode = 2;
    const Snapshot before(w.state());
    const auto none = [](const char*) {};
    // fileInvalid: set by the open error, cleared after a rejection; swap turns the listed
    // file into something else before the load reads it.
    // clang-format off
    const struct { std::string name, text, message; double fileInvalid;
                   std::function<void(const char*)> swap; } cases[] = {
        {"trunc.dpf", cut(60), "Unable to open file", 1, none},
        {"nine.dpf", "DPF, 0 , ", "Not a valid WQK profile file", 0, none},
        {"magic.dpf", "XYZ" + good.substr(3), "Not a valid WQK profile file", 0, none},
        {"fifo.dpf", good, "Unable to open file", 1,
         [](const char* p) { unlink(p), mkfifo(p, 0600); }},
        {"dir.dpf", good, "Unable to open file", 1,
         [](const char* p) { unlink(p), mkdir(p, 0700); }},
        {"device.dpf", good, "Unable to open file", 1,
         [](const char* p) { unlink(p), symlink("/dev/zero", p); }},
        {"locked.dpf", good, "Unable to open file", 1, [](const char* p) { chmod(p, 0); }},
    };
    // clang-format on
    for (const auto& c : cases) {
        h.writeFile(c.name, c.text);
        testing_support::NoDacOverride asUser;
        EXPECT_TRUE(load(h, {[&] {
                                 ASSERT_TRUE(w.control<FileListBox>("File1")->selectFile(c.name));
                                 c.swap(c.name.c_str());
                                 w.control<VbButton>("profileloadbutton")->click();
                             },
                             [&] { w.control<VbButton>("loadexitbutton")->click(); }}));
        EXPECT_EQ(lastMessage(h)->text, c.message) << c.name;
        EXPECT_TRUE(Snapshot(w.state()) == before) << c.name;
        EXPECT_EQ(w.state().LoadDone.num(), 0);
        EXPECT_EQ(w.state().FileInvalid.num(), c.fileInvalid) << c.name;
    }
}

TEST_F(LoadWindow, CustomFormKeepCopyAndRawLoad) {
    InstrumentState& s = w.state();
    s.GenMode = 2, s.GenLast = 99, s.GenWave[99] = 990;
    EXPECT_TRUE(custom(h, {[&] { s.KeepCustom = 1; }}));
    EXPECT_TRUE(s.LoadDone.num() == 1 && s.KeepCustom == 0 && s.LoadExit.num() == 0);
    EXPECT_EQ(s.CustomWave[99], 990); // the custom wave follows GenWave on closing
    s.SampleRateIndex = 2, s.CustomRateIndex = 0;
    EXPECT_TRUE(custom(h, {[&] { s.CopyBRequest = 1; }}));
    EXPECT_TRUE(s.LoadDone.num() == 1 && s.customRateIndex() == 2 && s.CopyBRequest == 0);
    h.writeFile("p.wqk", "WQK1300" + std::string(4000, '\x10'));
    h.writeFile("wave.dcg", std::string(20, '\x40'));
    const auto buffer = s.ChanABuffer;
    EXPECT_TRUE(custom(h, {[&] {
                               // Requests of the other form are not acted on here.
                               ASSERT_TRUE(w.control<FileListBox>("File1")->selectFile("p.wqk"));
                               s.LoadABReq = 1;
                           },
                           pick(w, "wave.dcg", w.control<VbButton>("Customloadbutton"))}));
    EXPECT_TRUE(s.ChanABuffer == buffer && s.LoadABReq.num() == 0);
    EXPECT_TRUE(s.GenLast == 19.0f && s.CustomWave[19] == 640 && h.messages().shown.empty());
}

TEST_F(LoadWindow, FolderThatCannotBeOpenedIsRefused) {
    ASSERT_TRUE(QDir::current().mkdir("gone"));
    EXPECT_TRUE(load(h, {[&] {
                             auto found = w.control<DirListBox>("Dir1")->findItems(
                                 "gone", Qt::MatchEndsWith);
                             ASSERT_EQ(found.size(), 1);
                             ASSERT_TRUE(QDir::current().rmdir("gone"));
                             emit w.control<DirListBox>("Dir1")->itemActivated(found[0]);
                         },
                         [&] {
                             ASSERT_NE(lastMessage(h), nullptr);
                             EXPECT_EQ(lastMessage(h)->text, "Unable to open file");
                             EXPECT_TRUE(w.state().FileInvalid.num() == 1 &&
                                         w.control<DirListBox>("Dir1")->path() == cwd());
                             EXPECT_TRUE(w.control<PictureBox>("fileloadwindow")->isVisibleTo(&w));
                         },
                         [&] { w.control<VbButton>("loadexitbutton")->click(); }}));
}
