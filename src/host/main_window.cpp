#include "host/main_window.h"

#include "analysis/autoset.h"
#include "export/dialogs.h"
#include "files/formats.h"
#include "fra/fra_dialog.h"
#include "help/help_pages.h"
#include "host/cursor_layer.h"
#include "host/display_overlay.h"
#include "host/math_layer.h"
#include "host/measure_panel.h"
#include "host/persistence_layer.h"
#include "host/reference_layer.h"
#include "host/remote_dialog.h"
#include "host/session_store.h"
#include "host/spectrum_panel.h"
#include "host/views_panel.h"
#include "host/xy_panel.h"
#include "instrument/instrument.h"
#include "platform/version.h"
#include "print/printer.h"

#include <QCloseEvent>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDockWidget>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QStyle>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <algorithm>
#include <array>
#include <cstdio>

namespace host {

namespace {
// An item that is its button: the window's own click, whatever it does.
constexpr auto pressButton = [](MainWindow& m, const char* button) { m.press(button); };
} // namespace

const std::vector<MenuItem>& menuItems() {
    static const std::vector<MenuItem> items = {
        {"&File", "&Load...", "actionLoad", "fileloadbutton", pressButton},
        {"&File", "&Save...", "actionSave", "filesavebutton", pressButton},
        {"&File", "&Print...", "actionPrint", "Command1", pressButton},
        {"&File", "Print to P&DF...", "actionPrintPdf", "Command1",
         [](MainWindow& m, const char*) { m.printToPdf(); }},
        {"&File", "P&ort...", "actionPort", "SETUP", pressButton},
        {"&File", "Save Pi&cture...", "actionSavePicture", "filesavebutton",
         [](MainWindow& m, const char*) { exporting::savePictureAs(&m, m.wqk()); }},
        {"&File/&Export", "&WAV...", "actionExportWav", "filesavebutton",
         [](MainWindow& m, const char*) { exporting::exportWavAs(&m, m.wqk()); }},
        {"&File/&Export", "&Session (.sr)...", "actionExportSession", "filesavebutton",
         [](MainWindow& m, const char*) { exporting::exportSessionAs(&m, m.wqk()); }},
        {"&File", "&Record Captures...", "actionRecordCaptures", nullptr,
         [](MainWindow& m, const char*) {
             m.recordDialog().show();
             m.recordDialog().raise();
         }},
        {"&File", "Re&mote Control...", "actionRemoteControl", nullptr,
         [](MainWindow& m, const char*) {
             m.remoteDialog().show();
             m.remoteDialog().raise();
         }},
        {"&File", "E&xit", "actionExit", "Command22", pressButton},
        {"A&cquire", "&Run/Stop", "actionRunStop", "GOBUTTON", pressButton},
        // Auto-set runs captures of its own: it locks as the mode does, during a run.
        {"A&cquire", "&Auto-set", "actionAutoset", "SCOPEMODE",
         [](MainWindow& m, const char*) { m.autoset(); }},
        {"A&cquire", "Auto &Trigger", "actionAutoTrigger", nullptr,
         [](MainWindow& m, const char*) {
             m.wqk().instrument().setAutoTrigger(m.action("actionAutoTrigger")->isChecked());
         },
         true},
        // The sweep runs the window's own captures: it locks as LOAD does, during a run.
        {"&Analysis", "&Frequency Response...", "actionResponse", "fileloadbutton",
         [](MainWindow& m, const char*) { fra::showDialog(m.wqk(), &m); }},
        {"&View", "Two &Cursors", "actionTwoCursors", nullptr,
         [](MainWindow& m, const char*) {
             m.cursors().setOn(m.action("actionTwoCursors")->isChecked(), m.overlay().map());
         },
         true},
        {"&View", "&Default Layout", "actionDefaultLayout", nullptr,
         [](MainWindow& m, const char*) { m.restoreDefaultLayout(); }},
        {"&Help", "&Guide", "actionGuide", "helpbutton", pressButton},
        {"&Help", "&Tools and Shortcuts", "actionToolsGuide", nullptr,
         [](MainWindow& m, const char*) { m.toolsGuide(); }},
        {"&Help", "&About", "actionAbout", nullptr, [](MainWindow& m, const char*) { m.about(); }},
    };
    return items;
}

const std::vector<PanelEntry>& panels() {
    static const std::vector<PanelEntry> entries = {
        {"MeasurementsDock", "Measurements", "&Analysis", Qt::RightDockWidgetArea,
         [](MainWindow& m) -> Panel* {
             auto* p = new MeasurePanel(m.record(), m.cursors());
             p->moreColumns = [&m](analysis::Report& r, analysis::Span span) {
                 addViewColumns(r, span, m.math(), m.references());
             };
             for (OverlayLayer* l :
                  std::initializer_list<OverlayLayer*>{&m.math(), &m.references()})
                 QObject::connect(l, &OverlayLayer::changed, p, [p] {
                     if (p->isOpen()) p->refresh();
                 });
             return p;
         }},
        {"SpectrumDock", "Spectrum", "&Analysis", Qt::RightDockWidgetArea,
         [](MainWindow& m) -> Panel* { return new SpectrumPanel(m.record()); }},
        {"ViewsDock", "Math and References", "&View", Qt::RightDockWidgetArea,
         [](MainWindow& m) -> Panel* {
             return new ViewsPanel(m.record(), m.math(), m.references(), m.persistence());
         }},
        {"XyDock", "XY View", "&View", Qt::RightDockWidgetArea,
         [](MainWindow& m) -> Panel* { return new XyPanel(m.record()); }},
    };
    return entries;
}

namespace {
// The windows of the Parts that cover every button while they are open.
std::array<PictureBox*, 5> coveringWindows(WQK& w) {
    std::array<PictureBox*, 5> out{};
    const char* names[5] = {"fileloadwindow", "filesavewindow", "printwindow", "helpwindow",
                            "CONFIGWINDOW"};
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = w.control<PictureBox>(names[i]);
    return out;
}
} // namespace

MainWindow::MainWindow(Start start, QWidget* parent)
    : QMainWindow(parent), wqk_(new WQK), store_(std::make_unique<SessionStore>()), start_(start) {
    setObjectName("MainWindow");
    // WQK has taken its start size (within the screen) when it was made; the main
    // window gives it that room between the menu bar and the status bar.
    startSize_ = wqk_->size();
    wqkStartWidth_ = startSize_.width();
    setCentralWidget(wqk_);
    record_ = new RecordWatch(*wqk_, this);
    recordDialog_ = new exporting::RecordDialog(*wqk_, this);
    connect(wqk_, &WQK::captured, recordDialog_, &exporting::RecordDialog::captured);
    remoteIndicator_ = new QLabel;
    remoteIndicator_->setObjectName("remoteIndicator");
    remoteIndicator_->setStyleSheet(
        "QLabel { color: white; background: #b03030; padding: 0 6px; }");
    remoteDialog_ = new RemoteDialog(wqk_->instrument(), remoteIndicator_, this);
    overlay_ = new DisplayOverlay(*wqk_);
    // Persistence under the references under M under the cursors, which take the mouse.
    persistence_ = new PersistenceLayer(*record_, this);
    references_ = new ReferenceLayer(this);
    math_ = new MathLayer(*record_, this);
    cursors_ = new CursorLayer(wqk_->state(), this);
    for (OverlayLayer* l :
         std::initializer_list<OverlayLayer*>{persistence_, references_, math_, cursors_})
        overlay_->addLayer(l);
    connect(record_, &RecordWatch::changed, persistence_, [this](Change c) {
        if (c == Change::Capture) persistence_->add(overlay_->map());
    });
    connect(record_, &RecordWatch::changed, overlay_, &DisplayOverlay::follow);
    buildPanels();
    buildMenus();
    menuBar()->setCornerWidget(remoteIndicator_);
    statusBar()->setObjectName("statusBar");
    startSize_.rheight() += menuBar()->sizeHint().height() + statusBar()->sizeHint().height();
    resize(startSize_);
    setWindowTitle(wqk_->windowTitle());
    wqk_->installEventFilter(this);
    followButtons();
    wqk_->onEnd = [this](int code) {
        saveSession();
        if (onEnd) onEnd(code);
        hide();
    };
    QString problem;
    if (start_ == Start::Remembered) {
        if (auto q = store_->settings(problem))
            restoreLayout(*q);
        else
            tell("The stored layout was ignored: " + problem, true);
    }
    // The instrument's settings once the window of the Parts has started.
    connect(wqk_, &WQK::started, this, [this] {
        if (start_ == Start::Remembered) restoreInstrument();
    });
}

MainWindow::~MainWindow() = default;

void MainWindow::buildPanels() {
    setDockOptions(AnimatedDocks | AllowTabbedDocks);
    for (const PanelEntry& p : panels()) {
        auto* dock = new QDockWidget(p.title, this);
        dock->setObjectName(p.name);
        Panel* panel = p.make(*this);
        dock->setWidget(panel);
        addDockWidget(p.area, dock);
        dock->hide();
        // An opened panel catches up with the record at once, beside the window of the
        // Parts rather than in its room.
        connect(dock->toggleViewAction(), &QAction::toggled, panel, [this, panel, dock](bool on) {
            if (!on) return;
            panel->refresh();
            makeRoomFor(dock);
        });
        connect(panel, &Panel::roomWanted, this, [this, dock] { makeRoomFor(dock); });
        // A panel sharing its place with another as a tab catches up when its tab is chosen.
        connect(dock, &QDockWidget::visibilityChanged, panel, [panel](bool shown) {
            if (shown) panel->refresh();
        });
        docks_.push_back(dock);
    }
    // The spectrum gives its room to the measurements outside FFT mode and takes half
    // of it back in FFT mode.
    auto* spectrum = static_cast<SpectrumPanel*>(docks_[1]->widget());
    connect(spectrum, &SpectrumPanel::collapsedChanged, this, [this](bool collapsed) {
        if (collapsed || !docks_[0]->isVisible() || docks_[0]->isFloating()) return;
        const int h = docks_[0]->height() + docks_[1]->height();
        resizeDocks({docks_[0], docks_[1]}, {h / 2, h - h / 2}, Qt::Vertical);
    });
}

void MainWindow::makeRoomFor(QDockWidget* dock) {
    if (!isVisible() || dock->isFloating() || isMaximized() || isFullScreen()) return;
    const int panel = std::max(dock->sizeHint().width(), dock->widget()->sizeHint().width() + 8);
    const int want = wqkStartWidth_ + panel +
                     style()->pixelMetric(QStyle::PM_DockWidgetSeparatorExtent, nullptr, this);
    const int most = screen() ? screen()->availableGeometry().width() : want;
    if (width() < want) resize(std::min(want, most), height());
    // The room goes to the panel, not to the window of the Parts.
    resizeDocks({dock}, {std::max(dock->width(), width() - wqkStartWidth_)}, Qt::Horizontal);
}

void MainWindow::buildMenus() {
    // "&File" or a submenu "&File/&Export".
    const auto menuNamed = [this](std::string_view path) {
        QMenu* menu = nullptr;
        for (size_t at = 0; at <= path.size();) {
            const size_t end = std::min(path.find('/', at), path.size());
            const QString title = QString::fromUtf8(path.data() + at, int(end - at));
            QMenu* found = nullptr;
            for (QAction* a : menu ? menu->actions() : menuBar()->actions())
                if (a->menu() && a->text() == title) found = a->menu();
            menu = found ? found : menu ? menu->addMenu(title) : menuBar()->addMenu(title);
            at = end + 1;
        }
        return menu;
    };
    for (const char* title : {"&File", "A&cquire", "&Analysis", "&View", "&Help"})
        menuNamed(title);
    // The keys, shown beside the items, are those the guide lists.
    const auto keys = [](QAction* a) {
        if (const char* k = help::shortcutFor(a->objectName().toStdString()); *k)
            a->setShortcut(QKeySequence(QString::fromLatin1(k)));
    };
    for (size_t i = 0; i < docks_.size(); ++i) {
        QAction* toggle = docks_[i]->toggleViewAction();
        toggle->setObjectName(QString("action") + panels()[i].title);
        keys(toggle);
        menuNamed(panels()[i].menu)->addAction(toggle);
        if (std::string_view(panels()[i].menu) != "&View") menuNamed("&View")->addAction(toggle);
    }
    menuNamed("&View")->addSeparator();
    for (const MenuItem& item : menuItems()) {
        QAction* a = menuNamed(item.menu)->addAction(item.text);
        a->setObjectName(item.name);
        a->setCheckable(item.checkable);
        keys(a);
        connect(a, &QAction::triggered, this,
                [this, run = item.run, button = item.button] { run(*this, button); });
        if (item.button) {
            QWidget* b = wqk_->control(item.button);
            locked_.push_back({a, b});
            b->installEventFilter(this);
        }
    }
    for (PictureBox* p : coveringWindows(*wqk_))
        p->installEventFilter(this);
}

void MainWindow::followButtons() {
    bool covered = false;
    for (PictureBox* p : coveringWindows(*wqk_))
        covered = covered || p->isVisibleTo(wqk_);
    for (auto& [action, button] : locked_)
        action->setEnabled(button->isEnabled() && !covered);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* e) {
    switch (e->type()) {
    case QEvent::EnabledChange:
    case QEvent::ShowToParent:
    case QEvent::HideToParent:
        if (watched != wqk_) followButtons();
        break;
    case QEvent::WindowTitleChange:
        if (watched == wqk_) setWindowTitle(wqk_->windowTitle());
        break;
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, e);
}

QAction* MainWindow::action(const QString& name) const {
    return findChild<QAction*>(name);
}

QDockWidget* MainWindow::dock(const QString& name) const {
    return findChild<QDockWidget*>(name);
}

void MainWindow::press(const char* button) {
    if (auto* b = wqk_->control<VbButton>(button)) b->click();
}

void MainWindow::restoreDefaultLayout() {
    for (size_t i = 0; i < docks_.size(); ++i) {
        docks_[i]->setFloating(false);
        addDockWidget(panels()[i].area, docks_[i]);
        docks_[i]->hide();
    }
    resize(startSize_);
}

void MainWindow::printToPdf() {
    QString path =
        QFileDialog::getSaveFileName(this, "Print to PDF", "printout.pdf", "PDF document (*.pdf)");
    if (path.isEmpty()) return;
    if (QFileInfo(path).suffix().isEmpty()) path += ".pdf";
    // The PRINT window as File > Print opens it; the printout chosen there goes into the file.
    printing::setPdfOutput(QFile::encodeName(path).toStdString());
    press("Command1");
    printing::setPdfOutput("");
}

void MainWindow::autoset() {
    const analysis::AutosetResult r = analysis::autoset(wqk_->instrument());
    // Its probing captures count for nothing: the statistics start again after them.
    static_cast<MeasurePanel*>(docks_[0]->widget())->resetStatistics();
    if (docks_[0]->widget()->isVisible()) static_cast<Panel*>(docks_[0]->widget())->refresh();
    tell(QString::fromStdString((r.done ? "Auto-set: " : "Auto-set not done: ") + r.message),
         false);
}

void MainWindow::tell(const QString& message, bool problem) {
    statusBar()->showMessage(message);
    if (problem) std::fprintf(stderr, "wqkscope: %s\n", qPrintable(message));
}

void MainWindow::about() {
    QMessageBox::about(this, "About WQK Scope",
                       QString("<b>WQK Scope &amp; Generator</b> %1<p>Control program of the WQK01 "
                               "two-channel PC oscilloscope with signal generator, with "
                               "measurements, spectrum analysis and a command line "
                               "(<tt>wqkscope --help</tt>, <tt>man wqkscope</tt>).")
                           .arg(plat::version));
}

void MainWindow::toolsGuide() {
    const help::Page page = help::toolsPage();
    QString html = "<h3>" + QString::fromStdString(page.title).toHtmlEscaped() + "</h3><p>";
    for (const help::Line& l : page.lines) {
        const QString text = QString::fromStdString(l.text).toHtmlEscaped();
        if (l.heading)
            html += "</p><h4>" + text + "</h4><p>";
        else if (!l.value.empty())
            html +=
                "<b>" + text + "</b>: " + QString::fromStdString(l.value).toHtmlEscaped() + "<br>";
        else
            html += text + " ";
    }
    QDialog d(this);
    d.setObjectName("toolsGuide");
    d.setWindowTitle("Tools and Shortcuts");
    auto* v = new QVBoxLayout(&d);
    auto* text = new QTextBrowser(&d);
    text->setHtml(html + "</p>");
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, &d);
    connect(buttons, &QDialogButtonBox::rejected, &d, &QDialog::reject);
    v->addWidget(text);
    v->addWidget(buttons);
    d.resize(640, 600);
    d.exec();
}

void MainWindow::restoreLayout(QSettings& q) {
    if (q.contains("window/geometry") && !restoreGeometry(q.value("window/geometry").toByteArray()))
        tell("The stored window size and place were ignored: they are damaged", true);
    if (q.contains("window/state") && !restoreState(q.value("window/state").toByteArray()))
        tell("The stored panel layout was ignored: it is damaged", true);
    for (size_t i = 0; i < docks_.size(); ++i) {
        q.beginGroup(panels()[i].name);
        static_cast<Panel*>(docks_[i]->widget())->restoreOptions(q);
        q.endGroup();
    }
    for (const MenuItem& item : menuItems())
        if (item.checkable && q.value(QString("actions/") + item.name, false).toBool())
            action(item.name)->setChecked(true);
}

void MainWindow::restoreInstrument() {
    // The checked items take effect now that the window has its size and its record.
    for (const MenuItem& item : menuItems())
        if (item.checkable && action(item.name)->isChecked()) item.run(*this, item.button);
    std::string text;
    QString problem;
    if (!store_->readProfile(text, problem)) {
        if (!problem.isEmpty()) tell("The last session's settings were ignored: " + problem, true);
        return;
    }
    const std::string why = wqk_->instrument().loadProfile(text);
    if (!why.empty())
        tell("The last session's settings were ignored: " + store_->profilePath() + ": " +
                 QString::fromStdString(why),
             true);
}

void MainWindow::saveSession() {
    if (saved_) return;
    saved_ = true;
    QString problem;
    if (auto q = store_->settings(problem)) {
        q->setValue("window/geometry", saveGeometry());
        q->setValue("window/state", saveState());
        for (size_t i = 0; i < docks_.size(); ++i) {
            q->beginGroup(panels()[i].name);
            static_cast<Panel*>(docks_[i]->widget())->saveOptions(*q);
            q->endGroup();
        }
        for (const MenuItem& item : menuItems())
            if (item.checkable)
                q->setValue(QString("actions/") + item.name, action(item.name)->isChecked());
        q->sync();
    }
    // A start-up that never got as far as the instrument leaves the stored one as it was.
    if (!wqk_->hasStarted()) return;
    const std::string e = store_->writeProfile(files::encodeProfile(wqk_->state()));
    if (!e.empty()) std::fprintf(stderr, "wqkscope: the session was not kept: %s\n", e.c_str());
}

void MainWindow::closeEvent(QCloseEvent* e) {
    // However the window is closed, the window of the Parts unloads: the port is
    // released and nothing is sent to the instrument.
    if (!wqk_->ended()) wqk_->close();
    e->accept();
}

} // namespace host
