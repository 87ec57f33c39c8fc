// The save window: buttons per mode, the name rules and confirmation, the writers, and
// saves that fail without harming the file already there.
#include "device/drawn_text.h"
#include "export/picture.h"
#include "samples.h"
#include "window_driver.h"

#include <QDir>
#include <QLineEdit>
#include <QMouseEvent>
#include <csignal>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using filetest::lastMessage;
using filetest::save;
using SaveWindow = filetest::FileWindow;
using SaveMend = filetest::FileWindow;

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

// Runs `body` in a child process, so that a mount, a size limit or another user stays
// there; returns what it reported.
std::string inChild(const std::function<std::string()>& body) {
    if (fork() == 0) {
        QFile f("child-report"); // opened before `body` may become another user
        const bool open = f.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
        _exit(open && f.write(body().c_str()) >= 0 ? 0 : 1);
    }
    int status = 0;
    wait(&status);
    QFile f("child-report");
    const std::string report = f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : "";
    f.remove();
    return WIFEXITED(status) && !WEXITSTATUS(status) ? report : report + "died";
}

// A small file system of our own in `dir` (needs root). Empty when mounted, else why not.
std::string mountSmallTmpfs(const std::string& dir) {
    if (unshare(CLONE_NEWNS) != 0) return strerror(errno);
    mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr);
    return mount("tmpfs", dir.c_str(), "tmpfs", 0, "size=256k") == 0 ? "" : strerror(errno);
}

} // namespace

TEST_F(SaveWindow, ButtonsPerModeAndStartingName) {
    auto shown = [&] { // signal, FFT, custom, profile, export, FFT export, EXIT; window
        std::string v;
        for (QWidget* b : std::initializer_list<QWidget*>{
                 w.control<VbButton>("chasavebutton"), w.control<VbButton>("fftsaveab"),
                 w.control<VbButton>("customsavebutton"), w.control<VbButton>("profilesavebutton"),
                 w.control<VbButton>("EXPORTABBUTTON"), w.control<VbButton>("ExportFFTab"),
                 w.control<VbButton>("exitsavebutton"), w.control<PictureBox>("filesavewindow")})
            v += b->isVisibleTo(&w) ? '1' : '0';
        return v + " " + w.control<QLineEdit>("savename")->text().toStdString() + " " +
               w.control<DirListBox>("Dir3")->path();
    };
    const char* rows[] = {"10011011", "00110011", "10111011", "01010111"};
    for (int mode = 0; mode < 4; ++mode) {
        w.state().ScopeMode = mode;
        w.control<QLineEdit>("savename")->setText("left over");
        EXPECT_FALSE(save(h, {[&] { EXPECT_EQ(shown(), rows[mode] + (" Untitled " + cwd())); }}));
        EXPECT_FALSE(w.control<PictureBox>("filesavewindow")->isVisibleTo(&w));
        EXPECT_EQ(w.state().SaveExit.num(), 0);
    }
}

// Each kind through its button: the question, then the file (name rule: the extension
// replaces everything after the first full stop; a listed name is taken by a click).
TEST_F(SaveWindow, EachKindAfterConfirmation) {
    h.writeFile("old.dcg", "previous");
    // clang-format off
    const struct { int mode; const char* typed; VbButton* button; std::string question, file, start;
                   long lines; } rows[] = {
        {0, nullptr, w.control<VbButton>("chasavebutton"), "Save Channels A & B Waves as ", "Untitled.wqk",
         {"WQK1300\xff\x00", 9}, 0},
        {0, "a.b.c", w.control<VbButton>("profilesavebutton"), "Save Scope Profile as ", "a.dpf", "DPF, 0 , 0 , 1 ,", 0},
        {3, nullptr, w.control<VbButton>("fftsaveab"), "Save Channels A & B FFT Plots as ", "Untitled.fft",
         "FFT2300", 0},
        {0, "trace.txt", w.control<VbButton>("EXPORTABBUTTON"),
         "Save Channels A & B in Excel CSV format. Selected buffer size of  8 K as ", "trace.csv",
         "WQK sample data for Channels A & B\r\n", 3 + 8192},
        {3, "plots", w.control<VbButton>("ExportFFTab"),
         "Save Channels A & B FFT data in Excel CSV format. Size of  4 K as ", "plots.csv",
         "WQK FFT data for Channels A & B\r\n", 3 + 4096},
        {1, "", w.control<VbButton>("customsavebutton"), "Save Custom wave as ", "old.dcg", std::string(10, char(128)),
         0}, // a listed name
    };
    // clang-format on
    w.state().ChanABuffer[0] = 2550, w.state().ChanBBuffer[0] = 0;
    w.state().SampleSizeIndex = 2, w.state().GenLast = 9;
    for (const auto& r : rows) {
        w.state().ScopeMode = r.mode;
        w.state().RateFactor = r.mode == 3 ? 1.5f : 1.0f;
        h.messages().shown.clear();
        EXPECT_TRUE(save(h, {[&] {
                             if (r.typed && *r.typed)
                                 w.control<QLineEdit>("savename")->setText(r.typed);
                             ASSERT_TRUE(!r.typed || *r.typed ||
                                         w.control<FileListBox>("File3")->selectFile(r.file));
                             EXPECT_EQ(w.control<QLineEdit>("savename")->text().toStdString(),
                                       !r.typed   ? "Untitled"
                                       : *r.typed ? r.typed
                                                  : r.file.c_str());
                             r.button->click();
                         }}));
        ASSERT_EQ(h.messages().shown.size(), 1u) << r.file;
        EXPECT_EQ(lastMessage(h)->text + "|" + lastMessage(h)->title,
                  r.question + cwd() + "/" + r.file + "|Save message");
        EXPECT_EQ(lastMessage(h)->buttons, plat::Buttons::OKCancel);
        const std::string f = h.readFile(r.file);
        EXPECT_EQ(f.substr(0, r.start.size()), r.start) << r.file;
        EXPECT_EQ(r.lines ? std::count(f.begin(), f.end(), '\n') : 0, r.lines) << r.file;
        EXPECT_TRUE(r.file != "a.dpf" || f == files::encodeProfile(w.state()));
        EXPECT_TRUE(w.state().SaveDone.num() == 1 && w.state().SaveABReq.num() == 0) << r.file;
        EXPECT_TRUE(w.state().ExportFFTReq == 0 &&
                    !w.control<PictureBox>("filesavewindow")->isVisibleTo(&w))
            << r.file;
    }
}

TEST_F(SaveWindow, CancelOrNoNameWritesNothing) {
    h.messages().answers.push_back(plat::Answer::Cancel);
    EXPECT_TRUE(save(h, {[&] { ASSERT_TRUE(w.control<DirListBox>("Dir3")->setPath("/")); },
                         [&] { w.control<VbButton>("profilesavebutton")->click(); },
                         [&] {
                             EXPECT_EQ(w.control<FileListBox>("File3")->path(), "/");
                             EXPECT_TRUE(w.control<PictureBox>("filesavewindow")->isVisibleTo(&w));
                             EXPECT_TRUE(w.state().SaveProfileReq.num() == 0 &&
                                         w.state().NameOK == 0);
                             w.control<VbButton>("exitsavebutton")->click();
                         }}));
    EXPECT_EQ(lastMessage(h)->text, "Save Scope Profile as /Untitled.dpf"); // one slash
    h.messages().shown.clear();
    EXPECT_TRUE(save(h, {[&] {
                             w.control<QLineEdit>("savename")->setText("");
                             w.control<VbButton>("chasavebutton")->click();
                         },
                         [&] { w.control<VbButton>("exitsavebutton")->click(); }}));
    ASSERT_EQ(h.messages().shown.size(), 1u);
    EXPECT_EQ(lastMessage(h)->text + "|" + lastMessage(h)->title, "No File name to save|Help");
    EXPECT_EQ(lastMessage(h)->buttons, plat::Buttons::OK);
    EXPECT_EQ(w.state().SaveDone.num(), 0);
    EXPECT_EQ(dirEntries(), std::vector<std::string>{"WQKport.cfg"});
}

TEST_F(SaveWindow, ClickingTheSelectedNameTakesItOverAgain) {
    drawn::shown(w);
    EXPECT_TRUE(save(
        h, {[&] {
            ASSERT_TRUE(w.control<FileListBox>("File3")->selectFile("WQKport.cfg"));
            w.control<QLineEdit>("savename")->setText("typed");
            const QPoint c = w.control<FileListBox>("File3")
                                 ->visualItemRect(w.control<FileListBox>("File3")->currentItem())
                                 .center();
            for (QEvent::Type t : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
                QMouseEvent e(t, c, w.control<FileListBox>("File3")->viewport()->mapToGlobal(c),
                              Qt::LeftButton,
                              t == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                              Qt::NoModifier);
                QCoreApplication::sendEvent(w.control<FileListBox>("File3")->viewport(), &e);
            }
            EXPECT_EQ(w.control<QLineEdit>("savename")->text(), "WQKport.cfg");
            w.control<VbButton>("exitsavebutton")->click();
        }}));
}

// Every save kind on a full disk and under a file-size limit, through a temporary file and
// then in place (a file that fits its old room may be saved there): the failure reported,
// the old file byte for byte, no temporary file left.
TEST_F(SaveMend, FailedSavesKeepThePreviousFile) {
    const auto reported = [&] { // the message and SaveDone 0
        const bool r = lastMessage(h) && w.state().SaveDone.num() == 0 &&
                       lastMessage(h)->text == "Unable to save - File in use by other application";
        h.messages().shown.clear();
        return r;
    };
    std::string e;
    const auto picture = [&](exporting::PictureFormat f) {
        return [&, f] { return !exporting::savePicture(w, w.state().FilePath, f, e); };
    };
    const std::vector<std::pair<std::string, std::function<bool()>>> kinds = {
        {"signal", [&] { return w.chabsave(), reported(); }},
        {"FFT", [&] { return w.fftabsave(), reported(); }},
        {"profile", [&] { return w.profilesave(), reported(); }},
        {"custom wave of 10 points",
         [&] { return w.state().GenLast = 9, w.customsave(), reported(); }},
        {"signal export of 32768 rows",
         [&] {
             return w.state().SampleSizeIndex = 4, w.state().ExportABReq = 1, w.exportab(),
                    reported();
         }},
        {"PNG", picture(exporting::PictureFormat::Png2x)},
        {"SVG", picture(exporting::PictureFormat::Svg)},
        {"PDF", picture(exporting::PictureFormat::Pdf)},
    };
    // Saves over a file of each kind in `dir` once `squeeze` has taken the room away;
    // reports each difference.
    auto saveAll = [&](const std::string& dir, const std::function<int()>& squeeze) {
        std::string report;
        umask(0); // files a plain user may write
        for (size_t k = 0; k < kinds.size(); ++k)
            h.writeFile(dir + "/old" + std::to_string(k), "previous contents");
        const int extra = squeeze();
        chmod(h.dir().c_str(), 0755);
        for (const std::string pass : {"", " in place"}) {
            // As a plain user, since root writes into any folder.
            if (!pass.empty() &&
                (chmod(dir.c_str(), 0555) || (geteuid() == 0 && (setgid(65534) || setuid(65534)))))
                return report + "no user";
            for (size_t k = 0; k < kinds.size(); ++k) {
                w.state().FilePath = dir + "/old" + std::to_string(k);
                const bool failed = kinds[k].second();
                const bool kept = h.readFile(w.state().FilePath) == "previous contents";
                if (!failed && (pass.empty() || kept))
                    report += kinds[k].first + pass + ": saved\n";
                if (failed && !kept) report += kinds[k].first + pass + ": old file changed\n";
            }
        }
        const QStringList left =
            QDir(QString::fromStdString(h.dir() + "/" + dir)).entryList(QDir::Files | QDir::Hidden);
        if (left.size() != int(kinds.size()) + extra)
            report += "left: " + left.join(' ').toStdString() + "\n";
        return report;
    };
    ASSERT_TRUE(QDir(QString::fromStdString(h.dir())).mkpath("limited"));
    EXPECT_EQ(inChild([&] {
                  return saveAll("limited", [] {
                      signal(SIGXFSZ, SIG_IGN);
                      const rlimit small{4, 4};
                      return setrlimit(RLIMIT_FSIZE, &small);
                  });
              }),
              "");
    ASSERT_TRUE(QDir(QString::fromStdString(h.dir())).mkpath("full"));
    const std::string full = inChild([&] {
        const std::string why = mountSmallTmpfs(h.dir() + "/full");
        return why.empty() ? saveAll("full",
                                     [] {
                                         QFile f("full/filler");
                                         f.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
                                         while (f.write(std::string(4096, 'x').c_str(), 4096) > 0) {
                                         }
                                         return 1;
                                     })
                           : "skip: " + why;
    });
    if (full.rfind("skip: ", 0) == 0) GTEST_SKIP() << "no small file system to fill: " << full;
    EXPECT_EQ(full, "");
}

// A writable file in a folder the user may not write is saved in place, keeping its
// other links and its owner; in a writable folder the file is replaced as a whole.
TEST_F(SaveMend, FolderThatCannotBeWrittenIsSavedInPlace) {
    for (const std::string dir : {"shut/", "open/"}) {
        ASSERT_TRUE(QDir::current().mkdir(QString::fromStdString(dir)));
        h.writeFile(dir + "p.dpf", "previous contents");
        ASSERT_EQ(link((dir + "p.dpf").c_str(), (dir + "q").c_str()), 0);
        chmod((dir + "p.dpf").c_str(), 0666);
    }
    chmod(h.dir().c_str(), 0755);
    chmod("shut", 0555);
    struct stat before {
    }, after{};
    stat("shut/p.dpf", &before);
    // The save runs as a plain user: root writes into any folder.
    EXPECT_EQ(inChild([&] {
                  if (geteuid() == 0 && (setgid(65534) || setuid(65534))) return "no user";
                  w.state().FilePath = "shut/p.dpf";
                  w.profilesave();
                  return w.state().SaveDone.num() == 1 ? "" : "not saved";
              }),
              "");
    chmod("shut", 0755);
    w.state().FilePath = "open/p.dpf";
    w.profilesave();
    stat("shut/p.dpf", &after);
    const std::string saved = files::encodeProfile(w.state());
    EXPECT_EQ(h.readFile("shut/p.dpf") + h.readFile("shut/q") + h.readFile("open/p.dpf"),
              saved + saved + saved);
    EXPECT_EQ(h.readFile("open/q"), "previous contents");
    EXPECT_TRUE(after.st_ino == before.st_ino && after.st_uid == before.st_uid);
}

// A value a signal file cannot store, and a name that is a folder: refused, and
// nothing already there is touched.
TEST_F(SaveMend, RefusedSavesKeepWhatWasThere) {
    EXPECT_TRUE(save(h, {[&] { w.control<VbButton>("chasavebutton")->click(); }}));
    const std::string before = h.readFile("Untitled.wqk");
    ASSERT_EQ(before.size(), 65543u);
    w.state().ChanABuffer[100] = 3000;
    w.state().ChanABuffer[0] = 0;
    ASSERT_TRUE(QDir::current().mkdir("x.dpf"));
    const std::vector<std::pair<std::string, filetest::Step>> rows = {
        {"value", [&] { w.control<VbButton>("chasavebutton")->click(); }},
        {"folder", [&] {
             w.control<QLineEdit>("savename")->setText("x"),
                 w.control<VbButton>("profilesavebutton")->click();
         }}};
    for (const auto& row : rows) {
        const std::string& name = row.first; // a lambda below takes it: no structured binding
        const filetest::Step& press = row.second;
        h.messages().shown.clear();
        w.state().SaveDone = 1;
        EXPECT_TRUE(save(
            h, {press, [&] {
                    EXPECT_TRUE(w.control<PictureBox>("filesavewindow")->isVisibleTo(&w)) << name;
                    w.control<VbButton>("exitsavebutton")->click();
                }}));
        ASSERT_NE(lastMessage(h), nullptr) << name;
        EXPECT_EQ(lastMessage(h)->text + "|" + lastMessage(h)->title,
                  "Unable to save - File in use by other application|Help")
            << name;
        EXPECT_EQ(w.state().SaveDone.num(), 0) << name;
    }
    EXPECT_EQ(h.readFile("Untitled.wqk"), before);
    EXPECT_TRUE(QFileInfo("x.dpf").isDir());
    EXPECT_EQ(dirEntries(), (std::vector<std::string>{"Untitled.wqk", "WQKport.cfg", "x.dpf"}));
}

// The profile a freshly started program saves: the start values, with what the
// start-up drawing derives from them (range codes from the range buttons, the cursor
// position and steps from the window width of 512).
TEST_F(SaveWindow, ProfileAtStartUpIsTheGoldenLine) {
    EXPECT_TRUE(save(h, {[&] { w.control<VbButton>("profilesavebutton")->click(); }}));
    auto items = profilegolden::startItems;
    items[3 - 1] = " 1 ";   // RangeA = RangeSelA + ProbeA
    items[4 - 1] = " 1 ";   // RangeB
    items[37 - 1] = " 32 "; // CursorX = 512 / 16
    items[42 - 1] = " 32 "; // CursorStepLarge
    items[43 - 1] = " 1 ";  // CursorStepSmall = Nearest(512 / 512)
    EXPECT_EQ(h.readFile("Untitled.dpf"), profilegolden::line(items, 78));
}
