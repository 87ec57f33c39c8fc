#pragma once
// The SCPI server: raw TCP, messages ending in LF, on the thread of the instrument. One
// client holds the instrument at a time; the others wait in line, their input unread,
// and the first in line takes over when the holder leaves. Runs (RUN, SINGle ...) start
// from the top of the event loop, never from inside another run: the instrument's wait
// loops process events, so a command can arrive in the middle of a run, where settings
// and queries are answered at once and run commands wait their turn.
//
// Nothing a client does can stall the instrument or the window: input is read in
// bounded pieces (no message above 64 KiB of text, no block above what the instrument
// holds), answers are written without blocking and a client that leaves more unread
// than maxOutput is dropped, and a holder that neither sends nor reads for idleMs is
// closed.
#include "remote/commands.h"

#include <QHostAddress>
#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QTcpServer;
class QTcpSocket;

namespace remote {

struct Limits {
    size_t maxText = scpi::MaxText;
    size_t maxBlock = scpi::MaxBlock;
    // Unsent answer bytes (ours and the socket's) past which a client is dropped.
    qint64 maxOutput = qint64(4) << 20;
    // Above this many bytes in the socket's buffer, answers wait in the client's queue;
    // a new message then takes the place of answers still queued (-410).
    qint64 highWater = qint64(256) << 10;
    int idleMs = 300000;
    int maxWaiting = 8; // clients in line behind the holder; more are turned away
};

// "ADDRESS:PORT" ("127.0.0.1:5025", "0.0.0.0:5025", "[::1]:5025", "localhost:0"): false
// with the reason when it is none.
bool parseListen(const std::string& text, QHostAddress& address, quint16& port, std::string& error);

class Server : public QObject, private Runs {
    Q_OBJECT
  public:
    explicit Server(Instrument& inst, Limits limits = {}, QObject* parent = nullptr);
    ~Server() override;

    bool listen(const QHostAddress& address, quint16 port, std::string& error);
    // Stops listening and closes every client; a run goes on.
    void close();
    bool listening() const;
    // Where it listens ("127.0.0.1:5025"), empty when it does not.
    std::string address() const;
    // The client holding the instrument ("127.0.0.1:40312"), empty when none.
    std::string holder() const;
    int waitingClients() const;
    Session& session() { return session_; }
    // Lines about clients coming and going (serve prints them).
    std::function<void(const std::string&)> onLog;

  signals:
    // The holder or the clients in line have changed.
    void clientsChanged();

  private:
    struct Client;
    // Runs
    void single() override;
    void autoset() override;
    void repeat() override;
    void stop() override;
    bool idle() const override;
    bool quiet() const override;
    // Nothing on the stack but the event loop, and GO free to press.
    bool atTop() const;

    void accept();
    void serve();
    void resume();
    void send(Client& c, std::string answer);
    void flush(Client& c);
    void gone(Client* c, const char* why);
    void drop(Client* c, const char* why);
    Client* holderClient() const;
    void schedule();
    void tryStart();
    // The runs may have become idle: *OPC's event, and a held message goes on.
    void settle();
    void log(const std::string& line);

    Instrument& inst_;
    Limits limits_;
    Session session_;
    QTcpServer* server_;
    std::vector<std::unique_ptr<Client>> clients_; // the holder first
    std::vector<std::unique_ptr<Client>> retired_; // deleted from the top of the loop
    QTimer kick_, poll_;
    enum class Kind { None, Single, Repeat, Autoset };
    Kind request_ = Kind::None, active_ = Kind::None;
    bool serving_ = false;
};

} // namespace remote
