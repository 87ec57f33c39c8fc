#pragma once
// The program's main window: the window of the Parts (WQK) as its central widget,
// unchanged, with a menu bar (File, Acquire, Analysis, View, Help), a status bar, dock
// panels for the tools around it and an overlay over its signal display. With the
// panels closed and the overlay off the program behaves exactly as WQK alone.
//
// To add a menu item, add a row to menuItems() in main_window.cpp; to add a dock panel,
// a row to panels(); to draw over the display, a layer to overlay(). Items and panels
// are listed in the menus in the order of their rows; a shortcut is given in
// help::shortcuts(), which the guide and the manual page list too.
#include "app/wqk.h"
#include "host/record_watch.h"

#include <QMainWindow>
#include <functional>
#include <vector>

class QDockWidget;
class QLabel;
class QSettings;
namespace exporting {
class RecordDialog;
}

namespace host {

class CursorLayer;
class DisplayOverlay;
class MathLayer;
class PersistenceLayer;
class ReferenceLayer;
class Panel;
class RemoteDialog;
class MainWindow;
class SessionStore;

// One menu item. `button` names the window's control it stands beside: the item then
// locks whenever that control does, and while a window of the Parts covers the buttons.
// A checkable item's state is remembered between sessions.
struct MenuItem {
    const char* menu; // "&File", "A&cquire", "&Analysis", "&View", "&Help"; "&File/&Export"
    const char* text;
    const char* name;   // the action's objectName
    const char* button; // the control's objectName, or nullptr
    std::function<void(MainWindow&, const char* button)> run;
    bool checkable = false;
};
const std::vector<MenuItem>& menuItems();

// One dock panel, listed in its menu and in View.
struct PanelEntry {
    const char* name; // the dock's objectName
    const char* title;
    const char* menu;
    Qt::DockWidgetArea area;
    std::function<Panel*(MainWindow&)> make;
};
const std::vector<PanelEntry>& panels();

class MainWindow : public QMainWindow {
    Q_OBJECT
  public:
    // Remembered: the layout, panels, options and instrument settings of the last
    // session (a first start has none); Defaults: the start-up state, as a first start.
    enum class Start { Remembered, Defaults };
    explicit MainWindow(Start start = Start::Remembered, QWidget* parent = nullptr);
    ~MainWindow() override;

    WQK& wqk() { return *wqk_; }
    RecordWatch& record() { return *record_; }
    // File, Record Captures: records every capture while it is started.
    exporting::RecordDialog& recordDialog() { return *recordDialog_; }
    // What the tools draw over the signal display, and its first layer.
    DisplayOverlay& overlay() { return *overlay_; }
    CursorLayer& cursors() { return *cursors_; }
    // File, Remote Control: the SCPI server of the window's instrument.
    RemoteDialog& remoteDialog() { return *remoteDialog_; }
    MathLayer& math() { return *math_; }
    ReferenceLayer& references() { return *references_; }
    PersistenceLayer& persistence() { return *persistence_; }
    // A menu item or a panel's dock by its objectName (nullptr when there is none).
    QAction* action(const QString& name) const;
    QDockWidget* dock(const QString& name) const;
    // A click on the window's button of that objectName, as the user's.
    void press(const char* button);
    // Every panel closed and back in its place, the window at its start size.
    void restoreDefaultLayout();
    // File > Print to PDF: asks for a file, then the PRINT window's printout goes into it.
    void printToPdf();
    // Acquire > Auto-set; its outcome in the status bar.
    void autoset();
    void about();
    // Help > Tools and Shortcuts: the guide's page on the tools around the window.
    void toolsGuide();
    // A line in the status bar (and on stderr for a problem).
    void tell(const QString& message, bool problem = false);

    // What is remembered is written when the program ends (EXIT or closing the window).
    void saveSession();

    // Ends the program once the window of the Parts has been unloaded (EXIT, closing
    // the window, a failed start-up); by default the window only closes.
    std::function<void(int code)> onEnd;

  protected:
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

  private:
    void buildMenus();
    void buildPanels();
    // Each item that stands beside a button takes that button's state.
    void followButtons();
    // Widens the window for an opened panel, as far as the screen allows.
    void makeRoomFor(QDockWidget* dock);
    // The layout, panels and options of the last session, and, once the window of the
    // Parts has started, its instrument settings.
    void restoreLayout(QSettings& q);
    void restoreInstrument();

    WQK* wqk_;
    RecordWatch* record_;
    exporting::RecordDialog* recordDialog_;
    DisplayOverlay* overlay_;
    CursorLayer* cursors_;
    MathLayer* math_;
    ReferenceLayer* references_;
    PersistenceLayer* persistence_;
    std::unique_ptr<SessionStore> store_;
    Start start_;
    QLabel* remoteIndicator_;
    RemoteDialog* remoteDialog_;
    QSize startSize_;
    int wqkStartWidth_ = 0;
    std::vector<QDockWidget*> docks_;
    std::vector<std::pair<QAction*, QWidget*>> locked_;
    bool saved_ = false;
};

} // namespace host
