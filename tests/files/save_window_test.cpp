// The save window: buttons per mode, the name rules and confirmation, the writers, and
// saves that fail without harming the file already there.
#include "device/drawn_text.h"
#include "profile_golden.h"
#include "window_driver.h"

#include <QDir>
#include <QLineEdit>
#include <QMouseEvent>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>

using filetest::lastMessage;
using filetest::save;
using testing_support::Harness;

namespace {

std::string cwd() {
    return QDir::currentPath().toStdString();
}

std::vector<std::string> dirEntries() {
    std::vector<std::string> out;
    for (const QString& e : QDir::current().entryList(QDir::AllEntries | QDir::NoDotAndDotDot |
                                                      QDir::Hidden | QDir::System))
        out.push_back(e.toStdString());
    return out;
}

} // namespace

TEST(SaveWindow, ButtonsPerModeAndStartingName) {
    // chasave, fftsave, customsave, profilesave, export, exportfft
    const std::vector<std::vector<bool>> shown = {
        {true, false, false, true, true, false},  // SCOPE
        {false, false, true, true, false, false}, // GENERATOR
        {true, false, true, true, true, false},   // SCOPE+GEN
        {false, true, false, true, false, true},  // FFT
    };
    Harness h;
    WQK& w = h.window();
    for (int mode = 0; mode < 4; ++mode) {
        w.state().ScopeMode = mode;
        w.savename->setText("left over");
        bool checked = false;
        EXPECT_FALSE(save(h, {[&] {
                              std::vector<bool> v = {w.chasavebutton->isVisibleTo(&w),
                                                     w.fftsaveab->isVisibleTo(&w),
                                                     w.customsavebutton->isVisibleTo(&w),
                                                     w.profilesavebutton->isVisibleTo(&w),
                                                     w.EXPORTABBUTTON->isVisibleTo(&w),
                                                     w.ExportFFTab->isVisibleTo(&w)};
                              EXPECT_EQ(v, shown[size_t(mode)]) << "mode " << mode;
                              EXPECT_TRUE(w.filesavewindow->isVisibleTo(&w));
                              EXPECT_TRUE(w.exitsavebutton->isVisibleTo(&w));
                              EXPECT_EQ(w.savename->text(), "Untitled");
                              EXPECT_EQ(w.Dir3->path(), cwd());
                              checked = true;
                          }}));
        EXPECT_TRUE(checked);
        EXPECT_FALSE(w.filesavewindow->isVisibleTo(&w));
        EXPECT_EQ(w.state().SaveExit.num(), 0);
    }
    EXPECT_EQ(w.fftsaveab->caption(), "Save A + B  FFT Plots");
}

TEST(SaveWindow, UntitledSignalFileAfterConfirmation) {
    Harness h;
    WQK& w = h.window();
    w.state().ChanABuffer[0] = 2550;
    w.state().ChanBBuffer[0] = 0;
    EXPECT_TRUE(save(h, {[&] { w.chasavebutton->click(); }}));
    const plat::Message* m = lastMessage(h);
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->text, "Save Channels A & B Waves as " + cwd() + "/Untitled.wqk");
    EXPECT_EQ(m->title, "Save message");
    EXPECT_EQ(m->buttons, plat::Buttons::OKCancel);
    const std::string f = h.readFile("Untitled.wqk");
    ASSERT_EQ(f.size(), 65543u);
    EXPECT_EQ(f.substr(0, 7), "WQK1300");
    EXPECT_EQ(uint8_t(f[7]), 255);
    EXPECT_EQ(uint8_t(f[8]), 0);
    EXPECT_EQ(w.state().SaveDone.num(), 1);
    EXPECT_EQ(w.state().SaveABReq.num(), 0);
    EXPECT_FALSE(w.filesavewindow->isVisibleTo(&w));
}

TEST(SaveWindow, CancelWritesNothingAndTheWindowStaysOpen) {
    Harness h;
    WQK& w = h.window();
    h.messages().answers.push_back(plat::Answer::Cancel);
    EXPECT_TRUE(save(h, {[&] { w.profilesavebutton->click(); },
                         [&] {
                             EXPECT_TRUE(w.filesavewindow->isVisibleTo(&w));
                             EXPECT_EQ(w.state().SaveProfileReq.num(), 0);
                             EXPECT_EQ(w.state().NameOK, 0);
                             w.exitsavebutton->click();
                         }}));
    EXPECT_FALSE(h.fileExists("Untitled.dpf"));
    EXPECT_EQ(w.state().SaveDone.num(), 0);
}

TEST(SaveWindow, EmptyNameIsRefused) {
    Harness h;
    WQK& w = h.window();
    EXPECT_TRUE(save(h, {[&] {
                             w.savename->setText("");
                             w.chasavebutton->click();
                         },
                         [&] { w.exitsavebutton->click(); }}));
    ASSERT_EQ(h.messages().shown.size(), 1u);
    EXPECT_EQ(h.messages().shown[0].text, "No File name to save");
    EXPECT_EQ(h.messages().shown[0].title, "Help");
    EXPECT_EQ(h.messages().shown[0].buttons, plat::Buttons::OK);
    EXPECT_EQ(dirEntries(), std::vector<std::string>{"WQKport.cfg"});
}

TEST(SaveWindow, ExtensionRuleAndFileListClick) {
    Harness h;
    WQK& w = h.window();
    EXPECT_TRUE(save(h, {[&] {
                         w.savename->setText("trace.txt");
                         w.chasavebutton->click();
                     }}));
    EXPECT_TRUE(h.fileExists("trace.wqk"));
    EXPECT_TRUE(save(h, {[&] {
                         w.savename->setText("a.b.c");
                         w.profilesavebutton->click();
                     }}));
    EXPECT_EQ(h.readFile("a.dpf"), files::encodeProfile(w.state()));
    // Clicking a listed name takes it over; the file is overwritten without a question
    // beyond the confirmation.
    h.writeFile("old.dcg", "previous");
    w.state().ScopeMode = 1;
    w.state().GenLast = 9;
    const size_t before = h.messages().shown.size();
    EXPECT_TRUE(save(h, {[&] {
                         ASSERT_TRUE(w.File3->selectFile("old.dcg"));
                         EXPECT_EQ(w.savename->text(), "old.dcg");
                         w.customsavebutton->click();
                     }}));
    EXPECT_EQ(h.messages().shown.size(), before + 1);
    EXPECT_EQ(h.readFile("old.dcg"), std::string(10, char(128)));
}

TEST(SaveWindow, ClickingTheSelectedNameTakesItOverAgain) {
    Harness h;
    WQK& w = drawn::shown(h.window());
    EXPECT_TRUE(
        save(h, {[&] {
                 ASSERT_TRUE(w.File3->selectFile("WQKport.cfg"));
                 w.savename->setText("typed");
                 const QPoint c = w.File3->visualItemRect(w.File3->currentItem()).center();
                 for (QEvent::Type t : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
                     QMouseEvent e(t, c, w.File3->viewport()->mapToGlobal(c), Qt::LeftButton,
                                   t == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                                   Qt::NoModifier);
                     QCoreApplication::sendEvent(w.File3->viewport(), &e);
                 }
                 EXPECT_EQ(w.savename->text(), "WQKport.cfg");
                 w.exitsavebutton->click();
             }}));
}

TEST(SaveWindow, ExportTextsAndLayouts) {
    Harness h;
    WQK& w = h.window();
    w.state().SampleSizeIndex = 2;
    EXPECT_TRUE(save(h, {[&] { w.EXPORTABBUTTON->click(); }}));
    EXPECT_EQ(lastMessage(h)->text, "Save Channels A & B in Excel CSV format. Selected buffer "
                                    "size of  8 K as " +
                                        cwd() + "/Untitled.csv");
    std::string signal = h.readFile("Untitled.csv");
    EXPECT_EQ(signal.substr(0, 36), "WQK sample data for Channels A & B\r\n");
    EXPECT_EQ(std::count(signal.begin(), signal.end(), '\n'), 3 + 8192);

    w.state().ScopeMode = 3;
    EXPECT_TRUE(save(h, {[&] {
                         w.savename->setText("plots");
                         w.ExportFFTab->click();
                     }}));
    EXPECT_EQ(lastMessage(h)->text,
              "Save Channels A & B FFT data in Excel CSV format. Size of  4 K as " + cwd() +
                  "/plots.csv");
    std::string spectrum = h.readFile("plots.csv");
    EXPECT_EQ(spectrum.substr(0, 33), "WQK FFT data for Channels A & B\r\n");
    EXPECT_EQ(std::count(spectrum.begin(), spectrum.end(), '\n'), 3 + 4096);
    EXPECT_EQ(w.state().ExportFFTReq, 0);
}

TEST(SaveWindow, FftPlotsSaveWithTheirMagic) {
    Harness h;
    WQK& w = h.window();
    w.state().ScopeMode = 3;
    w.state().RateFactor = 1.5f;
    EXPECT_TRUE(save(h, {[&] { w.fftsaveab->click(); }}));
    EXPECT_EQ(lastMessage(h)->text, "Save Channels A & B FFT Plots as " + cwd() + "/Untitled.fft");
    EXPECT_EQ(h.readFile("Untitled.fft").substr(0, 7), "FFT2300");
}

TEST(SaveWindow, RootDirectoryGetsASingleSlash) {
    Harness h;
    WQK& w = h.window();
    h.messages().answers.push_back(plat::Answer::Cancel);
    EXPECT_TRUE(
        save(h, {[&] { ASSERT_TRUE(w.Dir3->setPath("/")); }, [&] { w.profilesavebutton->click(); },
                 [&] {
                     EXPECT_EQ(w.File3->path(), "/");
                     w.exitsavebutton->click();
                 }}));
    EXPECT_EQ(lastMessage(h)->text, "Save Scope Profile as /Untitled.dpf");
}

// A save that fails leaves the earlier file exactly as it was and nothing half-written.
TEST(SaveMend, ValueThatCannotBeStoredKeepsThePreviousFile) {
    Harness h;
    WQK& w = h.window();
    EXPECT_TRUE(save(h, {[&] { w.chasavebutton->click(); }}));
    const std::string before = h.readFile("Untitled.wqk");
    ASSERT_EQ(before.size(), 65543u);
    w.state().ChanABuffer[100] = 3000;
    w.state().ChanABuffer[0] = 0;
    EXPECT_TRUE(save(h, {[&] { w.chasavebutton->click(); },
                         [&] {
                             EXPECT_TRUE(w.filesavewindow->isVisibleTo(&w));
                             w.exitsavebutton->click();
                         }}));
    EXPECT_EQ(lastMessage(h)->text, "Unable to save - File in use by other application");
    EXPECT_EQ(lastMessage(h)->title, "Help");
    EXPECT_EQ(w.state().SaveDone.num(), 0);
    EXPECT_EQ(h.readFile("Untitled.wqk"), before);
    EXPECT_EQ(dirEntries(), (std::vector<std::string>{"Untitled.wqk", "WQKport.cfg"}));
}

TEST(SaveMend, DiskFullKeepsThePreviousFile) {
    Harness h;
    WQK& w = h.window();
    h.writeFile("Untitled.wqk", "previous contents");
    // A file-size limit makes every write past 4 KB fail, as a full disk would.
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    EXPECT_TRUE(save(h, {[&] { w.chasavebutton->click(); }, [&] { w.exitsavebutton->click(); }}));
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(lastMessage(h)->text, "Unable to save - File in use by other application");
    EXPECT_EQ(h.readFile("Untitled.wqk"), "previous contents");
    EXPECT_EQ(dirEntries(), (std::vector<std::string>{"Untitled.wqk", "WQKport.cfg"}));
}

TEST(SaveMend, NameOfADirectoryIsRefused) {
    Harness h;
    WQK& w = h.window();
    ASSERT_TRUE(QDir::current().mkdir("x.dpf"));
    EXPECT_TRUE(save(h, {[&] {
                             w.savename->setText("x");
                             w.profilesavebutton->click();
                         },
                         [&] { w.exitsavebutton->click(); }}));
    EXPECT_EQ(lastMessage(h)->text, "Unable to save - File in use by other application");
    EXPECT_TRUE(QFileInfo("x.dpf").isDir());
    EXPECT_EQ(dirEntries(), (std::vector<std::string>{"WQKport.cfg", "x.dpf"}));
}

// The profile a freshly started program saves: the start values, with what the
// start-up drawing derives from them (range codes from the range buttons, the cursor
// position and steps from the window width of 512).
TEST(SaveWindow, ProfileAtStartUpIsTheGoldenLine) {
    Harness h;
    WQK& w = h.window();
    EXPECT_TRUE(save(h, {[&] { w.profilesavebutton->click(); }}));
    auto items = profilegolden::startItems;
    items[3 - 1] = " 1 ";   // RangeA = RangeSelA + ProbeA
    items[4 - 1] = " 1 ";   // RangeB
    items[37 - 1] = " 32 "; // CursorX = 512 / 16
    items[42 - 1] = " 32 "; // CursorStepLarge
    items[43 - 1] = " 1 ";  // CursorStepSmall = Nearest(512 / 512)
    EXPECT_EQ(h.readFile("Untitled.dpf"), profilegolden::line(items, 78));
}
