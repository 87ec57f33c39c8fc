#include "host/remote_dialog.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace host {

RemoteDialog::RemoteDialog(Instrument& inst, QLabel* indicator, QWidget* parent)
    : QDialog(parent), inst_(inst), indicator_(indicator),
      address_(new QLineEdit("127.0.0.1:5025")), startStop_(new QPushButton("Start")),
      status_(new QLabel), client_(new QLabel) {
    setObjectName("RemoteDialog");
    setWindowTitle("Remote control");
    address_->setObjectName("remoteAddress");
    address_->setToolTip("ADDRESS:PORT; 127.0.0.1 is this machine only, 0.0.0.0 every network");
    startStop_->setObjectName("remoteStart");
    status_->setObjectName("remoteStatus");
    status_->setWordWrap(true);
    client_->setObjectName("remoteClient");
    auto* form = new QFormLayout(this);
    form->addRow("Listen on", address_);
    form->addRow(startStop_);
    form->addRow(status_);
    form->addRow("Client", client_);
    connect(startStop_, &QPushButton::clicked, this,
            [this] { server_ && server_->listening() ? stop() : (void)start(); });
    indicator_->hide();
    showState();
}

RemoteDialog::~RemoteDialog() = default;

bool RemoteDialog::start() {
    QHostAddress address;
    quint16 port = 0;
    std::string error;
    const std::string text = address_->text().trimmed().toStdString();
    if (!remote::parseListen(text, address, port, error)) {
        status_->setText(QString::fromStdString(error));
        return false;
    }
    if (!server_) {
        server_ = std::make_unique<remote::Server>(inst_);
        connect(server_.get(), &remote::Server::clientsChanged, this, &RemoteDialog::showState);
    }
    if (!server_->listen(address, port, error)) {
        status_->setText(QString::fromStdString("Cannot listen on " + text + ": " + error));
        return false;
    }
    showState();
    return true;
}

void RemoteDialog::stop() {
    if (server_) server_->close();
    showState();
}

void RemoteDialog::showState() {
    const bool on = server_ && server_->listening();
    startStop_->setText(on ? "Stop" : "Start");
    address_->setEnabled(!on);
    if (on) status_->setText(QString::fromStdString("Listening on " + server_->address()));
    if (!on && status_->text().startsWith("Listening")) status_->setText("Stopped");
    const std::string holder = server_ ? server_->holder() : std::string();
    const int waiting = server_ ? server_->waitingClients() : 0;
    QString who = holder.empty() ? "none" : QString::fromStdString(holder);
    if (waiting > 0) who += QString(", %1 waiting").arg(waiting);
    client_->setText(who);
    indicator_->setText("Remote: " + QString::fromStdString(holder));
    indicator_->setVisible(!holder.empty());
}

} // namespace host
