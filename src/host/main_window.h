#pragma once
// The program's main window: the window of the Parts (WQK) as its central widget,
// unchanged, with a menu bar (File, Analysis, View, Help) and dock panels for the tools
// around it. With the panels closed the program behaves exactly as WQK alone.
//
// To add a menu item, add a row to menuItems() in main_window.cpp; to add a dock panel,
// a row to panels(). Both are listed in the menus in the order of their rows.
#include "app/wqk.h"
#include "host/record_watch.h"

#include <QMainWindow>
#include <functional>
#include <vector>

class QDockWidget;
class QLabel;
namespace exporting {
class RecordDialog;
}

namespace host {

class Panel;
class RemoteDialog;
class MainWindow;

// One menu item. `button` names the window's button it stands beside: the item then
// locks whenever that button does, and while a window of the Parts covers the buttons.
struct MenuItem {
    const char* menu; // "&File", "&Analysis", "&View", "&Help"; a submenu "&File/&Export"
    const char* text;
    const char* name;   // the action's objectName
    const char* button; // the button's objectName, or nullptr
    std::function<void(MainWindow&, const char* button)> run;
};
const std::vector<MenuItem>& menuItems();

// One dock panel, listed in its menu and in View.
struct PanelEntry {
    const char* name; // the dock's objectName
    const char* title;
    const char* menu;
    Qt::DockWidgetArea area;
    std::function<Panel*(RecordWatch&)> make;
};
const std::vector<PanelEntry>& panels();

class MainWindow : public QMainWindow {
    Q_OBJECT
  public:
    explicit MainWindow(QWidget* parent = nullptr);

    WQK& wqk() { return *wqk_; }
    RecordWatch& record() { return *record_; }
    // File, Record Captures: records every capture while it is started.
    exporting::RecordDialog& recordDialog() { return *recordDialog_; }
    // File, Remote Control: the SCPI server of the window's instrument.
    RemoteDialog& remoteDialog() { return *remoteDialog_; }
    // A menu item or a panel's dock by its objectName (nullptr when there is none).
    QAction* action(const QString& name) const;
    QDockWidget* dock(const QString& name) const;
    // A click on the window's button of that objectName, as the user's.
    void press(const char* button);
    // Every panel closed and back in its place, the window at its start size.
    void restoreDefaultLayout();
    // File > Print to PDF: asks for a file, then the PRINT window's printout goes into it.
    void printToPdf();
    void about();

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

    WQK* wqk_;
    RecordWatch* record_;
    exporting::RecordDialog* recordDialog_;
    QLabel* remoteIndicator_;
    RemoteDialog* remoteDialog_;
    QSize startSize_;
    int wqkStartWidth_ = 0;
    std::vector<QDockWidget*> docks_;
    std::vector<std::pair<QAction*, VbButton*>> locked_;
};

} // namespace host
