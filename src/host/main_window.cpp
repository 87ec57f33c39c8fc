#include "host/main_window.h"

#include "export/dialogs.h"
#include "fra/fra_dialog.h"
#include "host/measure_panel.h"
#include "host/remote_dialog.h"
#include "host/spectrum_panel.h"
#include "platform/version.h"
#include "print/printer.h"

#include <QCloseEvent>
#include <QDockWidget>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QStyle>
#include <algorithm>
#include <array>

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
        // The sweep runs the window's own captures: it locks as LOAD does, during a run.
        {"&Analysis", "&Frequency Response...", "actionResponse", "fileloadbutton",
         [](MainWindow& m, const char*) { fra::showDialog(m.wqk(), &m); }},
        {"&View", "&Default Layout", "actionDefaultLayout", nullptr,
         [](MainWindow& m, const char*) { m.restoreDefaultLayout(); }},
        {"&Help", "&Guide", "actionGuide", "helpbutton", pressButton},
        {"&Help", "&About", "actionAbout", nullptr, [](MainWindow& m, const char*) { m.about(); }},
    };
    return items;
}

const std::vector<PanelEntry>& panels() {
    static const std::vector<PanelEntry> entries = {
        {"MeasurementsDock", "Measurements", "&Analysis", Qt::RightDockWidgetArea,
         [](RecordWatch& r) -> Panel* { return new MeasurePanel(r); }},
        {"SpectrumDock", "Spectrum", "&Analysis", Qt::RightDockWidgetArea,
         [](RecordWatch& r) -> Panel* { return new SpectrumPanel(r); }},
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
        out[i] = w.findChild<PictureBox*>(names[i]);
    return out;
}
} // namespace

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent), wqk_(new WQK) {
    setObjectName("MainWindow");
    // WQK has taken its start size (within the screen) when it was made; the main
    // window gives it that room below the menu bar.
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
    buildPanels();
    buildMenus();
    menuBar()->setCornerWidget(remoteIndicator_);
    startSize_.rheight() += menuBar()->sizeHint().height();
    resize(startSize_);
    setWindowTitle(wqk_->windowTitle());
    wqk_->installEventFilter(this);
    followButtons();
    wqk_->onEnd = [this](int code) {
        if (onEnd) onEnd(code);
        hide();
    };
}

void MainWindow::buildPanels() {
    setDockOptions(AnimatedDocks | AllowTabbedDocks);
    for (const PanelEntry& p : panels()) {
        auto* dock = new QDockWidget(p.title, this);
        dock->setObjectName(p.name);
        Panel* panel = p.make(*record_);
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
        // A panel sharing its place with another as a tab catches up when its tab is chosen.
        connect(dock, &QDockWidget::visibilityChanged, panel, [panel](bool shown) {
            if (shown) panel->refresh();
        });
        docks_.push_back(dock);
    }
}

void MainWindow::makeRoomFor(QDockWidget* dock) {
    if (!isVisible() || dock->isFloating() || isMaximized() || isFullScreen()) return;
    const int want = wqkStartWidth_ + dock->sizeHint().width() +
                     style()->pixelMetric(QStyle::PM_DockWidgetSeparatorExtent, nullptr, this);
    const int most = screen() ? screen()->availableGeometry().width() : want;
    if (width() < want) resize(std::min(want, most), height());
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
    for (const char* title : {"&File", "&Analysis", "&View", "&Help"})
        menuNamed(title);
    for (size_t i = 0; i < docks_.size(); ++i) {
        QAction* toggle = docks_[i]->toggleViewAction();
        toggle->setObjectName(QString("action") + panels()[i].title);
        menuNamed(panels()[i].menu)->addAction(toggle);
        if (std::string_view(panels()[i].menu) != "&View") menuNamed("&View")->addAction(toggle);
    }
    menuNamed("&View")->addSeparator();
    for (const MenuItem& item : menuItems()) {
        QAction* a = menuNamed(item.menu)->addAction(item.text);
        a->setObjectName(item.name);
        connect(a, &QAction::triggered, this,
                [this, run = item.run, button = item.button] { run(*this, button); });
        if (item.button) {
            VbButton* b = wqk_->findChild<VbButton*>(item.button);
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
    if (auto* b = wqk_->findChild<VbButton*>(button)) b->click();
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

void MainWindow::about() {
    QMessageBox::about(this, "About WQK Scope",
                       QString("<b>WQK Scope &amp; Generator</b> %1<p>Control program of the WQK01 "
                               "two-channel PC oscilloscope with signal generator, with "
                               "measurements, spectrum analysis and a command line "
                               "(<tt>wqkscope --help</tt>, <tt>man wqkscope</tt>).")
                           .arg(plat::version));
}

void MainWindow::closeEvent(QCloseEvent* e) {
    // However the window is closed, the window of the Parts unloads: the port is
    // released and nothing is sent to the instrument.
    if (!wqk_->ended()) wqk_->close();
    e->accept();
}

} // namespace host
