#include "harness.h"

#include "files/formats.h"
#include "files/lists.h"
#include "platform/clock.h"
#include "platform/msgbox.h"
#include "platform/port.h"
#include "port/config_file.h"
#include "sim/wqk01.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>

namespace fuzz {

namespace {

std::string firstDifference(const InstrumentState& a, const InstrumentState& b,
                            const std::vector<std::string>& ignored) {
    for (const std::string& f : InstrumentState::differences(a, b))
        if (std::find(ignored.begin(), ignored.end(), f) == ignored.end()) return f;
    return "";
}

// The load and port windows and their controls: each opening sets them up afresh, so
// a refused file may leave them as that opening did.
bool windowControl(const QString& name) {
    static const QStringList names = {"fileloadwindow",
                                      "Drive1",
                                      "Dir1",
                                      "File1",
                                      "chaloadbutton",
                                      "chbloadbutton",
                                      "FFTloadab",
                                      "Customloadbutton",
                                      "CustomCSVbutton",
                                      "profileloadbutton",
                                      "CopyAbutton",
                                      "CopyBbutton",
                                      "keepcustombutton",
                                      "loadexitbutton",
                                      "CONFIGWINDOW",
                                      "SETLPT1",
                                      "SETLPT2",
                                      "SETLPT3",
                                      "CONFIGEXIT"};
    return names.contains(name);
}

std::vector<ControlState> controlsOf(WQK& w) {
    std::vector<ControlState> out;
    for (QWidget* c : w.findChildren<QWidget*>()) {
        if (c->objectName().isEmpty() || windowControl(c->objectName())) continue;
        ControlState s{c, c->isHidden(), c->testAttribute(Qt::WA_Disabled), false, "", 0, -1, 0, 0,
                       0};
        if (auto* b = dynamic_cast<plat::VbButton*>(c)) {
            s.bold = b->fontBold();
            s.text = b->caption();
            s.fontSize = b->fontSize();
            s.back = b->backColor();
        } else if (auto* p = dynamic_cast<plat::PictureBox*>(c)) {
            s.back = p->BackColor();
        } else if (auto* bar = dynamic_cast<QScrollBar*>(c)) {
            s.min = bar->minimum();
            s.max = bar->maximum();
            s.value = bar->value();
        } else if (auto* e = dynamic_cast<QLineEdit*>(c)) {
            s.text = e->text().toStdString();
        }
        out.push_back(s);
    }
    // In a fixed order: raising a panel reorders the children.
    std::sort(out.begin(), out.end(),
              [](const ControlState& a, const ControlState& b) { return a.widget < b.widget; });
    return out;
}

void restoreControls(const std::vector<ControlState>& controls) {
    for (const ControlState& s : controls) {
        s.widget->setHidden(s.hidden);
        s.widget->setEnabled(!s.disabled);
        if (auto* b = dynamic_cast<plat::VbButton*>(s.widget)) {
            b->setFontBold(s.bold);
            b->setCaption(s.text);
            b->setFontSize(s.fontSize);
            if (b->backColor() != s.back) b->setBackColor(s.back);
        } else if (auto* p = dynamic_cast<plat::PictureBox*>(s.widget)) {
            if (p->BackColor() != s.back) p->setBackColor(s.back);
        } else if (auto* bar = dynamic_cast<QScrollBar*>(s.widget)) {
            QSignalBlocker block(bar);
            bar->setRange(s.min, s.max);
            bar->setValue(s.value);
        } else if (auto* e = dynamic_cast<QLineEdit*>(s.widget)) {
            e->setText(QString::fromStdString(s.text));
        }
    }
}

plat::VirtualClock& clock() {
    static plat::VirtualClock c;
    return c;
}

} // namespace

bool ControlState::operator==(const ControlState& o) const {
    return widget == o.widget && hidden == o.hidden && disabled == o.disabled && bold == o.bold &&
           text == o.text && fontSize == o.fontSize && back == o.back && min == o.min &&
           max == o.max && value == o.value;
}

Program& Program::get() {
    static Program* program = [] {
        static int argc = 1;
        static char name[] = "fuzz";
        static char* argv[] = {name, nullptr};
        qputenv("QT_QPA_PLATFORM", "offscreen");
        new QApplication(argc, argv);
        // Files live in memory where it can: large inputs are written for every run.
        static QTemporaryDir dir(QDir("/dev/shm").exists() ? "/dev/shm/wqk-fuzz-XXXXXX"
                                                           : QDir::tempPath() + "/wqk-fuzz-XXXXXX");
        QDir::setCurrent(dir.path());
        portcfg::write(portcfg::FileName, 1);
        plat::setClock(&clock());
        plat::setPortBackend(new sim::Wqk01());
        plat::setMessageHandler([](const plat::Message&) { return plat::Answer::OK; });
        auto* window = new WQK();
        window->resize(1000, 700);
        window->activate();
        FUZZ_CHECK(!window->ended());
        return new Program(*window);
    }();
    return *program;
}

Program::Program(WQK& window) : w(window) {
    starts_[int(Start::Scope)] = state();
    w.control<VbButton>("FFTbutton")->click();
    starts_[int(Start::Fft)] = state();
    reset();
    w.SCOPEMODE_Click();
    starts_[int(Start::Generator)] = state();
    reset();
}

const State& Program::state() {
    now_.record = w.state();
    now_.controls = controlsOf(w);
    now_.timerOn = w.control<plat::Timer>("Timer1")->isEnabled();
    return now_;
}

void Program::reset(Start start) {
    ++input_; // actions left over from the last input do nothing
    const State& s = starts_[int(start)];
    w.state() = s.record;
    restoreControls(s.controls);
    w.control<plat::Timer>("Timer1")->setEnabled(s.timerOn);
}

void Program::unchanged(const State& before, const std::vector<std::string>& alsoIgnored) const {
    std::vector<std::string> ignored = {"LoadFromButton", "LoadDone", "FileInvalid", "FilePath"};
    ignored.insert(ignored.end(), alsoIgnored.begin(), alsoIgnored.end());
    const std::string field = firstDifference(before.record, w.state(), ignored);
    if (!field.empty()) {
        std::fprintf(stderr, "rejected input changed %s\n", field.c_str());
        std::abort();
    }
    const std::vector<ControlState> now = controlsOf(w);
    for (size_t i = 0; i < now.size() && i < before.controls.size(); ++i)
        if (!(now[i] == before.controls[i])) {
            std::fprintf(stderr, "rejected input changed control %s\n",
                         now[i].widget->objectName().toStdString().c_str());
            std::abort();
        }
    FUZZ_CHECK(now.size() == before.controls.size() &&
               w.control<plat::Timer>("Timer1")->isEnabled() == before.timerOn);
}

void Program::atNextDoEvents(std::function<void()> action) {
    const int input = input_;
    clock().atDoEvents(1, [this, input, action] {
        if (input == input_) action();
    });
}

bool Program::load(const std::string& bytes, VbButton* request) {
    writeFile("input", bytes);
    atNextDoEvents([this, request] {
        FUZZ_CHECK(w.control<FileListBox>("File1")->selectFile("input"));
        request->click();
        // Still open after the request: the file was refused.
        atNextDoEvents([this] { w.control<VbButton>("loadexitbutton")->click(); });
    });
    w.control<VbButton>("fileloadbutton")->click();
    FUZZ_CHECK(w.control<PictureBox>("fileloadwindow")->isHidden());
    return w.state().LoadDone.num() == 1;
}

std::string Program::save(void (WQK::*writer)()) {
    QFile::remove("saved");
    w.state().FilePath = "saved";
    (w.*writer)();
    FUZZ_CHECK(w.state().SaveDone.num() == 1);
    return readFile("saved");
}

void Program::writeFile(const std::string& name, const std::string& bytes) {
    QFile f(QString::fromStdString(name));
    FUZZ_CHECK(f.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
               f.write(bytes.data(), qint64(bytes.size())) == qint64(bytes.size()));
}

std::string Program::readFile(const std::string& name) {
    QFile f(QString::fromStdString(name));
    FUZZ_CHECK(f.open(QIODevice::ReadOnly));
    return f.readAll().toStdString();
}

void Program::profileLoadsAgain() const {
    files::ProfileData d;
    FUZZ_CHECK(files::decodeProfile(files::encodeProfile(w.state()), d) == files::Outcome::Loaded);
}

} // namespace fuzz
