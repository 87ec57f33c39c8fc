#pragma once
// File > Remote Control: the SCPI server of the window's instrument, started and stopped
// here, with the address it listens on and the client that holds the instrument. While
// a client holds it, the menu bar shows "Remote" and the client; the window's controls
// follow what the client sets, as its settings go through the instrument's setters.
#include "remote/server.h"

#include <QDialog>
#include <memory>

class QLabel;
class QLineEdit;
class QPushButton;

namespace host {

class RemoteDialog : public QDialog {
    Q_OBJECT
  public:
    // indicator: the label that shows "Remote" while a client holds the instrument.
    RemoteDialog(Instrument& inst, QLabel* indicator, QWidget* parent = nullptr);
    ~RemoteDialog() override;

    // Starts with the address shown; false (and the reason shown) when it cannot listen.
    bool start();
    void stop();
    remote::Server* server() { return server_.get(); }

  private:
    void showState();

    Instrument& inst_;
    QLabel* indicator_;
    std::unique_ptr<remote::Server> server_;
    QLineEdit* address_;
    QPushButton* startStop_;
    QLabel* status_;
    QLabel* client_;
};

} // namespace host
