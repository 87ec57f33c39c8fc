// The load window, signal/profile form: buttons per mode, each loader through the
// window, the messages, and hostile files that must change nothing.
#include "file_bytes.h"
#include "window_driver.h"

#include <QDir>
#include <QStorageInfo>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using filetest::lastMessage;
using filetest::load;
using filetest::Snapshot;
using testing_support::Harness;

namespace {

std::string cwd() {
    return QDir::currentPath().toStdString();
}

// Selects `name` and presses `button` in one pass.
filetest::Step pick(WQK& w, const std::string& name, VbButton* button) {
    return [&w, name, button] {
        ASSERT_TRUE(w.File1->selectFile(name)) << name;
        button->click();
    };
}

} // namespace

TEST(LoadWindow, ButtonsPerMode) {
    // chaload, fftload, customload, csvload, profileload
    const std::vector<std::vector<bool>> shown = {
        {true, false, false, false, true},
        {false, false, true, true, true},
        {false, false, true, true, true},
        {false, true, false, false, true},
    };
    Harness h;
    WQK& w = h.window();
    for (int mode = 0; mode < 4; ++mode) {
        w.state().ScopeMode = mode;
        EXPECT_FALSE(load(h, {[&] {
                              std::vector<bool> v = {w.chaloadbutton->isVisibleTo(&w),
                                                     w.FFTloadab->isVisibleTo(&w),
                                                     w.Customloadbutton->isVisibleTo(&w),
                                                     w.CustomCSVbutton->isVisibleTo(&w),
                                                     w.profileloadbutton->isVisibleTo(&w)};
                              EXPECT_EQ(v, shown[size_t(mode)]) << "mode " << mode;
                              for (VbButton* hidden : {w.chbloadbutton, w.keepcustombutton,
                                                       w.CopyAbutton, w.CopyBbutton})
                                  EXPECT_FALSE(hidden->isVisibleTo(&w))
                                      << hidden->objectName().toStdString();
                              EXPECT_TRUE(w.fileloadwindow->isVisibleTo(&w));
                              EXPECT_EQ(w.Dir1->path(), cwd());
                          }}));
        EXPECT_FALSE(w.fileloadwindow->isVisibleTo(&w));
        EXPECT_EQ(w.state().LoadExit.num(), 0);
    }
    EXPECT_EQ(w.FFTloadab->caption(), "Load A + B  FFT plots (fft)");
}

TEST(LoadWindow, SignalFileLoadsAndClosesTheWindow) {
    Harness h;
    WQK& w = h.window();
    h.writeFile("x.wqk", filebytes::signal("WQK", "1421", 32768));
    EXPECT_TRUE(load(h, {pick(w, "x.wqk", w.chaloadbutton)}));
    EXPECT_EQ(w.state().FilePath, cwd() + "/x.wqk");
    EXPECT_EQ(w.state().ChanABuffer[300], filebytes::a(300) * 10);
    EXPECT_EQ(w.state().ChanBBuffer[32767], filebytes::b(32767) * 10);
    EXPECT_EQ(w.state().GenLast, 32767.0f);
    EXPECT_EQ(w.state().dataRateA(), 4);
    EXPECT_EQ(w.state().dataRangeA(), 2);
    EXPECT_EQ(w.state().DataRangeB, 1);
    EXPECT_EQ(w.state().LoadDone.num(), 1);
    EXPECT_EQ(w.state().LoadABReq.num(), 0);
    EXPECT_TRUE(h.messages().shown.empty());
    EXPECT_FALSE(w.fileloadwindow->isVisibleTo(&w));
}

TEST(LoadWindow, NothingSelected) {
    Harness h;
    WQK& w = h.window();
    h.writeFile("x.wqk", filebytes::signal("WQK", "1300", 1024));
    EXPECT_TRUE(load(h, {[&] { w.chaloadbutton->click(); },
                         [&] {
                             EXPECT_TRUE(w.fileloadwindow->isVisibleTo(&w));
                             EXPECT_EQ(w.state().LoadABReq.num(), 0);
                             w.profileloadbutton->click();
                         },
                         [&] { w.loadexitbutton->click(); }}));
    ASSERT_EQ(h.messages().shown.size(), 2u);
    for (const auto& m : h.messages().shown) {
        EXPECT_EQ(m.text, "No File selected to load");
        EXPECT_EQ(m.title, "Help");
    }
}

TEST(LoadWindow, RejectedSignalFilesChangeNothing) {
    const std::vector<std::pair<std::string, std::string>> hostile = {
        {"short.wqk", filebytes::signal("WQK", "1300", 1023)}, // 2053 bytes
        {"lower.wqk", filebytes::signal("wqk", "1300", 1024)},
        {"rate5.wqk", filebytes::signal("WQK", "1500", 1024)},
        {"range.wqk", filebytes::signal("WQK", "1390", 1024)},
        {"plots.fft", filebytes::signal("FFT", "1300", 32768)},
        {"empty.wqk", ""},
    };
    Harness h;
    WQK& w = h.window();
    for (const auto& [name, bytes] : hostile)
        h.writeFile(name, bytes);
    const Snapshot before(w.state());
    for (const auto& [name, bytes] : hostile) {
        EXPECT_TRUE(load(h, {pick(w, name, w.chaloadbutton), [&] {
                                 EXPECT_TRUE(w.fileloadwindow->isVisibleTo(&w));
                                 w.loadexitbutton->click();
                             }}));
        ASSERT_NE(lastMessage(h), nullptr);
        EXPECT_EQ(lastMessage(h)->text, "Not a valid WQK signal file") << name;
        EXPECT_EQ(w.state().FileInvalid.num(), 0);
        EXPECT_TRUE(Snapshot(w.state()) == before) << name;
    }
}

// A file whose last pair lacks its B byte loads its complete pairs instead of failing
// halfway with half-filled buffers.
TEST(LoadMend, IncompleteLastPairLoadsTheCompletePairs) {
    Harness h;
    WQK& w = h.window();
    h.writeFile("odd.wqk", filebytes::signal("WQK", "1300", 1023) + "\x33"); // 2054 bytes
    EXPECT_TRUE(load(h, {pick(w, "odd.wqk", w.chaloadbutton)}));
    EXPECT_TRUE(h.messages().shown.empty());
    EXPECT_EQ(w.state().ChanABuffer[1022], filebytes::a(1022) * 10);
    EXPECT_EQ(w.state().ChanABuffer[1023], 0);
    EXPECT_EQ(w.state().ChanBBuffer[1023], 0);
    EXPECT_EQ(w.state().GenLast, 1023.0f);
}

TEST(LoadWindow, VanishedFileGivesTheOpenErrorAndChangesNothing) {
    Harness h;
    WQK& w = h.window();
    h.writeFile("gone.wqk", filebytes::signal("WQK", "1300", 2000));
    const Snapshot before(w.state());
    EXPECT_TRUE(load(h, {[&] {
                             ASSERT_TRUE(w.File1->selectFile("gone.wqk"));
                             QFile::remove("gone.wqk");
                             w.chaloadbutton->click();
                         },
                         [&] {
                             EXPECT_TRUE(w.fileloadwindow->isVisibleTo(&w));
                             w.loadexitbutton->click();
                         }}));
    EXPECT_EQ(lastMessage(h)->text, "Unable to open file");
    EXPECT_EQ(lastMessage(h)->title, "Help");
    EXPECT_EQ(w.state().FileInvalid.num(), 1);
    EXPECT_TRUE(Snapshot(w.state()) == before);
}

TEST(LoadWindow, FftPlotsLoadInFftMode) {
    Harness h;
    WQK& w = h.window();
    w.state().ScopeMode = 3;
    h.writeFile("p.fft", filebytes::signal("FFT", "2200", 512)); // 1031 bytes
    h.writeFile("s.wqk", filebytes::signal("WQK", "1300", 4096));
    const Snapshot before(w.state());
    EXPECT_TRUE(
        load(h, {pick(w, "s.wqk", w.FFTloadab), [&] { EXPECT_EQ(w.state().LoadFFTReq.num(), 0); },
                 pick(w, "p.fft", w.FFTloadab)}));
    EXPECT_EQ(h.messages().shown.size(), 1u);
    EXPECT_EQ(h.messages().shown[0].text, "Not a valid FFT signal file");
    EXPECT_EQ(w.state().ChanABuffer[511], filebytes::a(511) * 10);
    EXPECT_EQ(w.state().ChanABuffer[512], 0);
    EXPECT_EQ(w.state().FFTDoneA.num(), 1);
    EXPECT_EQ(w.state().FFTDoneB, 1);
    EXPECT_EQ(w.state().RateFactor, 1.5f);
    EXPECT_EQ(w.state().dataRateA(), 2);
    EXPECT_EQ(w.state().LoadFFTReq.num(), 0);
    EXPECT_FALSE(Snapshot(w.state()) == before);
}

TEST(LoadWindow, ProfileRestoresTheSettings) {
    Harness h;
    WQK& w = h.window();
    InstrumentState saved;
    saved.XMagnify = 1024;
    saved.ScrollPos = 100;
    saved.TrigMode = 1;
    saved.TrigLevel = 1600;
    saved.SampleRateIndex = 1;
    saved.GenFreq = 1235;
    saved.LevelSetMode = 1;
    saved.RunRepeat = 1;
    h.writeFile("set.dpf", files::encodeProfile(saved));
    const auto buffers = w.state().ChanABuffer;
    EXPECT_TRUE(load(h, {pick(w, "set.dpf", w.profileloadbutton)}));
    EXPECT_TRUE(h.messages().shown.empty());
    EXPECT_EQ(w.state().trigMode(), 1);
    EXPECT_EQ(w.state().trigLevel(), 1600);
    EXPECT_EQ(w.state().sampleRateIndex(), 1);
    EXPECT_EQ(w.state().genFreq(), 1235);
    EXPECT_EQ(w.state().RunRepeat, 1);
    EXPECT_EQ(w.state().LevelSetMode.num(), 0);
    EXPECT_EQ(w.state().LoadDone.num(), 1);
    EXPECT_EQ(w.state().LoadProfileReq, 0);
    EXPECT_EQ(w.state().ChanABuffer, buffers); // a profile holds no samples
}

// A profile that fails anywhere after its magic, holds a setting no saved profile can
// have or is no regular file leaves every setting as it was.
TEST(LoadMend, DamagedProfilesChangeNoSetting) {
    Harness h;
    WQK& w = h.window();
    std::string good = files::encodeProfile(w.state());
    auto cut = [&](int items) { // the line up to and including item `items`
        size_t p = 0;
        for (int k = 0; k <= items; ++k)
            p = good.find(',', p) + 1;
        return good.substr(0, p);
    };
    std::string oversized = good;
    oversized.replace(oversized.find(", 1 , 1 , 1 , 1 , 512"), 4, ", 9 "); // size index 9
    h.writeFile("trunc.dpf", cut(60));
    h.writeFile("size.dpf", oversized);
    h.writeFile("nine.dpf", "DPF, 0 , ");
    h.writeFile("magic.dpf", "XYZ" + good.substr(3));
    h.writeFile("running.dpf", cut(69) + " 1 ," + good.substr(cut(70).size())); // RunState 1
    for (const char* odd : {"fifo.dpf", "dir.dpf", "device.dpf", "locked.dpf"})
        h.writeFile(odd, good);
    w.state().TrigLevel = 900;
    w.state().ScopeMode = 2;
    const Snapshot before(w.state());
    struct Case {
        std::string name, text;
        double fileInvalid; // set by the open error, cleared after a rejection
        // Turns the listed file into something else before the load reads it.
        std::function<void(const char*)> swap = [](const char*) {};
    };
    const std::vector<Case> cases = {
        {"trunc.dpf", "Unable to open file", 1},
        {"size.dpf", "Not a valid WQK profile file", 0},
        {"nine.dpf", "Not a valid WQK profile file", 0},
        {"magic.dpf", "Not a valid WQK profile file", 0},
        {"running.dpf", "Not a valid WQK profile file", 0},
        {"fifo.dpf", "Unable to open file", 1, [](const char* p) { unlink(p), mkfifo(p, 0600); }},
        {"dir.dpf", "Unable to open file", 1, [](const char* p) { unlink(p), mkdir(p, 0700); }},
        {"device.dpf", "Unable to open file", 1,
         [](const char* p) { unlink(p), symlink("/dev/zero", p); }},
        {"locked.dpf", "Unable to open file", 1, [](const char* p) { chmod(p, 0); }},
    };
    for (const Case& c : cases) {
        testing_support::NoDacOverride asUser;
        EXPECT_TRUE(load(h, {[&] {
                                 ASSERT_TRUE(w.File1->selectFile(c.name));
                                 c.swap(c.name.c_str());
                                 w.profileloadbutton->click();
                             },
                             [&] { w.loadexitbutton->click(); }}));
        EXPECT_EQ(lastMessage(h)->text, c.text) << c.name;
        EXPECT_TRUE(Snapshot(w.state()) == before) << c.name;
        EXPECT_EQ(w.state().LoadDone.num(), 0);
        EXPECT_EQ(w.state().FileInvalid.num(), c.fileInvalid) << c.name;
    }
}

TEST(LoadWindow, SecondLoadAfterAFailureHasNothingPending) {
    Harness h;
    WQK& w = h.window();
    h.writeFile("bad.wqk", "WQK");
    EXPECT_TRUE(load(h, {pick(w, "bad.wqk", w.chaloadbutton), [&] { w.loadexitbutton->click(); }}));
    ASSERT_EQ(h.messages().shown.size(), 1u);
    const Snapshot before(w.state());
    EXPECT_TRUE(load(h, {[&] {
                             EXPECT_TRUE(w.chaloadbutton->isVisibleTo(&w));
                             EXPECT_TRUE(w.profileloadbutton->isVisibleTo(&w));
                         },
                         [&] {}, [&] { w.loadexitbutton->click(); }}));
    EXPECT_EQ(h.messages().shown.size(), 1u);
    EXPECT_TRUE(Snapshot(w.state()) == before);
}

TEST(LoadWindow, CsvWaveInGeneratorModeThenNoSecondLoadByItself) {
    Harness h;
    WQK& w = h.window();
    w.state().ScopeMode = 1;
    h.writeFile("w.csv", "10,20,30\r\n300,-4,12.34\r\n");
    EXPECT_TRUE(load(h, {pick(w, "w.csv", w.CustomCSVbutton)}));
    EXPECT_EQ(w.state().GenLast, 9.0f);
    EXPECT_EQ(w.state().GenWave[3], 2550);
    EXPECT_EQ(w.state().GenWave[5], 123);
    EXPECT_EQ(w.state().genMode(), 2);
    EXPECT_EQ(w.state().genStyle(), 4);
    EXPECT_EQ(w.GENUPDATEBACK->BackColor(), plat::RGB(128, 255, 128));
    // Closing in CUSTOM mode makes the loaded wave the custom wave.
    for (int i = 0; i <= 9; ++i)
        EXPECT_EQ(w.state().CustomWave[i], w.state().GenWave[i]) << i;

    h.writeFile("w.csv", "1,1,1,1,1,1,1,1,1,1,1,1\r\n");
    EXPECT_TRUE(load(h, {[&] { ASSERT_TRUE(w.File1->selectFile("w.csv")); }, [&] {},
                         [&] { w.loadexitbutton->click(); }}));
    EXPECT_EQ(w.state().GenWave[3], 2550);
    EXPECT_EQ(w.state().GenLast, 9.0f);
}

TEST(LoadWindow, RawWaveFromAnyFile) {
    Harness h;
    WQK& w = h.window();
    w.state().ScopeMode = 2;
    h.writeFile("notes.txt", "\x01\x02\x03\x04\x05");
    EXPECT_TRUE(load(h, {pick(w, "notes.txt", w.Customloadbutton)}));
    EXPECT_EQ(w.state().GenLast, 9.0f);
    EXPECT_EQ(w.state().GenWave[4], 50);
    EXPECT_EQ(w.state().GenWave[5], 0);
    EXPECT_EQ(w.state().LoadDone.num(), 1);
    EXPECT_EQ(w.state().LoadRawReq.num(), 0);
}

TEST(LoadWindow, DirectoryListLeadsTheFileList) {
    Harness h;
    WQK& w = h.window();
    ASSERT_TRUE(QDir::current().mkdir("sub"));
    h.writeFile("sub/in.wqk", filebytes::signal("WQK", "1300", 1024));
    h.writeFile(".hidden.wqk", "x");
    EXPECT_TRUE(load(h, {[&] {
                             EXPECT_EQ(w.File1->count(), 1); // WQKport.cfg only
                             auto found = w.Dir1->findItems("sub", Qt::MatchEndsWith);
                             ASSERT_EQ(found.size(), 1);
                             emit w.Dir1->itemActivated(found[0]);
                         },
                         pick(w, "in.wqk", w.chaloadbutton)}));
    EXPECT_EQ(w.state().FilePath, cwd() + "/sub/in.wqk");
    EXPECT_EQ(w.Drive1->drive(), QStorageInfo(QDir::currentPath()).rootPath().toStdString());
}

TEST(LoadWindow, FolderThatCannotBeOpenedGivesTheOpenError) {
    Harness h;
    WQK& w = h.window();
    ASSERT_TRUE(QDir::current().mkdir("gone"));
    EXPECT_TRUE(load(h, {[&] {
                             auto found = w.Dir1->findItems("gone", Qt::MatchEndsWith);
                             ASSERT_EQ(found.size(), 1);
                             ASSERT_TRUE(QDir::current().rmdir("gone"));
                             emit w.Dir1->itemActivated(found[0]);
                         },
                         [&] {
                             ASSERT_NE(lastMessage(h), nullptr);
                             EXPECT_EQ(lastMessage(h)->text, "Unable to open file");
                             EXPECT_EQ(w.state().FileInvalid.num(), 1);
                             EXPECT_EQ(w.Dir1->path(), cwd());
                             w.loadexitbutton->click();
                         }}));
}

TEST(LoadWindow, UnusableDriveGivesTheOpenErrorAndKeepsTheDirectory) {
    Harness h;
    WQK& w = h.window();
    EXPECT_TRUE(load(h, {[&] {
                             w.Drive1->addItem("/no such volume", "/no such volume");
                             w.Drive1->setCurrentIndex(w.Drive1->count() - 1);
                         },
                         [&] {
                             EXPECT_EQ(lastMessage(h)->text, "Unable to open file");
                             EXPECT_EQ(w.state().FileInvalid.num(), 1);
                             EXPECT_EQ(w.Dir1->path(), cwd());
                             EXPECT_EQ(w.Drive1->drive(),
                                       QStorageInfo(QDir::currentPath()).rootPath().toStdString());
                             EXPECT_TRUE(w.fileloadwindow->isVisibleTo(&w));
                             w.loadexitbutton->click();
                         }}));
}
