#include "remote/server.h"

#include "analysis/autoset.h"
#include "platform/clock.h"
#include "platform/timer.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <charconv>
#include <deque>

namespace remote {

struct Server::Client {
    QTcpSocket* socket = nullptr;
    std::string name;
    scpi::Framer framer;
    std::deque<std::string> queued; // answers waiting for room in the socket's buffer
    qint64 queuedBytes = 0;
    plat::Timer idle;
    bool left = false;
    Client(size_t maxText, size_t maxBlock) : framer(maxText, maxBlock) {}
    ~Client() {
        if (socket) socket->deleteLater(); // it may be inside one of its own signals
    }
};

bool parseListen(const std::string& text, QHostAddress& address, quint16& port,
                 std::string& error) {
    const size_t colon = text.rfind(':');
    if (colon == std::string::npos) {
        error = "--listen must be ADDRESS:PORT, such as 127.0.0.1:5025: " + text;
        return false;
    }
    std::string host = text.substr(0, colon);
    const std::string p = text.substr(colon + 1);
    if (host.size() >= 2 && host.front() == '[' && host.back() == ']')
        host = host.substr(1, host.size() - 2);
    unsigned n = 0;
    const auto r = std::from_chars(p.data(), p.data() + p.size(), n);
    if (p.empty() || r.ec != std::errc() || r.ptr != p.data() + p.size() || n > 65535) {
        error = "--listen needs a port from 0 to 65535: " + text;
        return false;
    }
    port = quint16(n);
    if (host == "localhost") {
        address = QHostAddress(QHostAddress::LocalHost);
        return true;
    }
    if (!address.setAddress(QString::fromStdString(host))) {
        error = "--listen needs an IP address (127.0.0.1, 0.0.0.0, [::1]): " + text;
        return false;
    }
    return true;
}

Server::Server(Instrument& inst, Limits limits, QObject* parent)
    : QObject(parent), inst_(inst), limits_(limits), session_(inst, *this),
      server_(new QTcpServer(this)) {
    connect(server_, &QTcpServer::newConnection, this, &Server::accept);
    kick_.setSingleShot(true);
    kick_.setInterval(0);
    connect(&kick_, &QTimer::timeout, this, [this] {
        retired_.clear();
        tryStart();
        resume();
        serve(); // a new holder's input may have come while it waited
    });
    // While a run of the window's (or one of its windows) keeps ours from starting.
    poll_.setInterval(20);
    connect(&poll_, &QTimer::timeout, this, [this] {
        poll_.stop();
        tryStart();
        resume();
    });
    connect(&inst_, &Instrument::captured, this, [this] { session_.captured(); });
}

Server::~Server() {
    // Nobody is told of clients closed now: the dialog that shows them goes too.
    blockSignals(true);
    onLog = nullptr;
    close();
    for (auto& c : retired_) { // no loop will run to delete them later
        delete c->socket;
        c->socket = nullptr;
    }
}

bool Server::listen(const QHostAddress& address, quint16 port, std::string& error) {
    if (server_->listen(address, port)) return true;
    error = server_->errorString().toStdString();
    return false;
}

void Server::close() {
    server_->close();
    while (!clients_.empty())
        drop(clients_.back().get(), "the server stopped");
}

bool Server::listening() const {
    return server_->isListening();
}

std::string Server::address() const {
    if (!listening()) return {};
    const QHostAddress a = server_->serverAddress();
    const QString host =
        a.protocol() == QAbstractSocket::IPv6Protocol ? "[" + a.toString() + "]" : a.toString();
    return (host + ":" + QString::number(server_->serverPort())).toStdString();
}

std::string Server::holder() const {
    return clients_.empty() ? std::string() : clients_.front()->name;
}

int Server::waitingClients() const {
    return clients_.empty() ? 0 : int(clients_.size()) - 1;
}

Server::Client* Server::holderClient() const {
    return clients_.empty() ? nullptr : clients_.front().get();
}

void Server::log(const std::string& line) {
    if (onLog) onLog(line);
}

// ---- Clients ---------------------------------------------------------------------------

void Server::accept() {
    while (QTcpSocket* socket = server_->nextPendingConnection()) {
        const std::string name =
            (socket->peerAddress().toString() + ":" + QString::number(socket->peerPort()))
                .toStdString();
        if (int(clients_.size()) > limits_.maxWaiting) {
            socket->write("-200,\"Execution error;too many clients waiting for the instrument\"\n");
            socket->disconnectFromHost();
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            log(name + " turned away: too many clients waiting");
            continue;
        }
        auto c = std::make_unique<Client>(limits_.maxText, limits_.maxBlock);
        Client* cp = c.get();
        c->socket = socket;
        c->name = name;
        socket->setParent(nullptr);
        // Qt reads no more than this ahead: the rest waits in the system, which slows
        // the sender down.
        socket->setReadBufferSize(qint64(limits_.maxText));
        // Answers go out at once, not held back for the client's acknowledgement.
        socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        c->idle.setInterval(limits_.idleMs);
        c->idle.onTimer = [this, cp] {
            if (session_.waiting()) return; // it waits for us, not we for it
            drop(cp, "idle");
        };
        connect(socket, &QTcpSocket::readyRead, this, [this, cp] {
            if (cp == holderClient()) serve();
        });
        connect(socket, &QTcpSocket::bytesWritten, this, [this, cp] { flush(*cp); });
        // Closed or reset by the client: either way it has gone.
        connect(socket, &QTcpSocket::stateChanged, this,
                [this, cp](QAbstractSocket::SocketState st) {
                    if (st == QAbstractSocket::UnconnectedState) gone(cp, "closed");
                });
        clients_.push_back(std::move(c));
        if (clients_.size() == 1) {
            cp->idle.setEnabled(true);
            log(name + " holds the instrument");
        } else {
            log(name + " waits for the instrument");
        }
        emit clientsChanged();
    }
    kick_.start();
}

void Server::serve() {
    Client* c = holderClient();
    if (!c || serving_) return;
    serving_ = true;
    while (!session_.waiting() && c == holderClient()) {
        std::optional<scpi::Framed> m = c->framer.next();
        if (!m) {
            const QByteArray chunk = c->socket->read(qint64(limits_.maxText));
            if (chunk.isEmpty()) break;
            c->framer.feed(std::string_view(chunk.constData(), size_t(chunk.size())));
            c->idle.setEnabled(true);
            continue;
        }
        if (!c->queued.empty()) {
            // A new message while answers are still unread: they are dropped.
            c->queued.clear();
            c->queuedBytes = 0;
            session_.status.error(scpi::QueryInterrupted);
        }
        if (session_.begin(*m) && c == holderClient()) send(*c, session_.takeResponse());
    }
    serving_ = false;
    if (c != holderClient() || !c->left) return;
    // It has gone: what waits is dropped with it.
    if (c->framer.partial() && c->framer.partialQuery())
        session_.status.error(scpi::QueryUnterminated, "the connection ended inside a query");
    drop(c, "closed");
}

void Server::resume() {
    Client* c = holderClient();
    if (!c || serving_ || !session_.waiting()) return;
    if (session_.resume()) {
        send(*c, session_.takeResponse());
        serve();
    } else if (active_ == Kind::None && !poll_.isActive()) {
        poll_.start(); // it waits for a run of the window's to end
    }
}

void Server::send(Client& c, std::string answer) {
    if (answer.empty() || c.socket->state() != QAbstractSocket::ConnectedState) return;
    if (c.queued.empty() && c.socket->bytesToWrite() < limits_.highWater) {
        c.socket->write(answer.data(), qint64(answer.size()));
    } else {
        c.queuedBytes += qint64(answer.size());
        c.queued.push_back(std::move(answer));
    }
    if (c.queuedBytes + c.socket->bytesToWrite() > limits_.maxOutput)
        drop(&c, "not reading its answers");
}

void Server::flush(Client& c) {
    c.idle.setEnabled(true); // it reads: not idle
    while (!c.queued.empty() && c.socket->bytesToWrite() < limits_.highWater) {
        c.queuedBytes -= qint64(c.queued.front().size());
        c.socket->write(c.queued.front().data(), qint64(c.queued.front().size()));
        c.queued.pop_front();
    }
}

void Server::gone(Client* c, const char* why) {
    if (c != holderClient()) {
        drop(c, why);
        return;
    }
    // What arrived before it left still runs, up to a message that must wait; then
    // serve() lets it go (at once, or where it is serving now).
    c->left = true;
    serve();
}

void Server::drop(Client* c, const char* why) {
    for (auto it = clients_.begin(); it != clients_.end(); ++it) {
        if (it->get() != c) continue;
        const bool wasHolder = it == clients_.begin();
        if (wasHolder) session_.abandon();
        c->idle.setEnabled(false);
        c->socket->disconnect(this);
        c->socket->abort();
        log(c->name + (wasHolder ? " left the instrument: " : " stopped waiting: ") + why);
        retired_.push_back(std::move(*it));
        clients_.erase(it);
        if (wasHolder && !clients_.empty()) {
            clients_.front()->idle.setEnabled(true);
            log(clients_.front()->name + " holds the instrument");
        }
        emit clientsChanged();
        kick_.start(); // the next holder's input may be waiting already
        return;
    }
}

// ---- Runs ------------------------------------------------------------------------------

void Server::single() {
    if (inst_.state().running()) inst_.stop();
    request_ = Kind::Single;
    schedule();
}

void Server::autoset() {
    request_ = Kind::Autoset;
    schedule();
}

void Server::repeat() {
    // Going already (and not just stopped, its loop still to notice): nothing to do.
    if (active_ == Kind::Repeat && inst_.state().running()) {
        request_ = Kind::None;
        return;
    }
    if (inst_.state().running()) inst_.stop();
    request_ = Kind::Repeat;
    schedule();
}

void Server::stop() {
    const bool some = request_ != Kind::None || inst_.state().running();
    request_ = Kind::None;
    if (inst_.state().running()) inst_.stop();
    settle();
    if (some)
        schedule();
    else if (!poll_.isActive())
        poll_.start(); // a *RST held behind a dialog asks at each look: a kick would spin
}

bool Server::idle() const {
    return request_ == Kind::None && (active_ == Kind::None || active_ == Kind::Repeat);
}

bool Server::atTop() const {
    // No wait loop on the stack (a run, the frequency response sweep, a window of the
    // Parts) and no dialog's loop.
    return plat::waitDepth() == 0 && QThread::currentThread()->loopLevel() <= 1 &&
           !inst_.state().running() && inst_.enabled("GOBUTTON") && !inst_.view().ended();
}

bool Server::quiet() const {
    return idle() && active_ == Kind::None && atTop();
}

void Server::schedule() {
    kick_.start();
}

void Server::tryStart() {
    if (request_ == Kind::None || active_ != Kind::None) return;
    if (!atTop()) {
        // Someone else's run, or a window over the buttons: look again shortly.
        if (!poll_.isActive()) poll_.start();
        return;
    }
    const Kind k = request_;
    request_ = Kind::None;
    active_ = k;
    settle();
    kick_.start(); // a Repeat run is no operation to wait for once it has started
    Instrument::RunResult r;
    analysis::AutosetResult a;
    if (k == Kind::Single) {
        r = inst_.captureOnce(session_.data.timeoutS);
    } else if (k == Kind::Autoset) {
        a = analysis::autoset(inst_);
    } else {
        inst_.setRepeat(true); // GENERATOR mode has no Single/Repeat: it plays until STOP
        inst_.goStop();
    }
    active_ = Kind::None;
    if (k == Kind::Single) session_.runEnded(r);
    if (k == Kind::Autoset) session_.autosetEnded(a.done, a.message);
    settle();
    kick_.start();
}

void Server::settle() {
    if (session_.opcArmed && idle()) {
        session_.opcArmed = false;
        session_.status.setEvent(scpi::Status::OperationComplete);
    }
}

} // namespace remote
