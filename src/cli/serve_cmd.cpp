// wqkscope serve: the instrument as a SCPI server on a TCP port, without a window, until
// Ctrl-C or SIGTERM.
#include "cli/cli.h"
#include "platform/timer.h"
#include "remote/server.h"

#include <QCoreApplication>
#include <atomic>
#include <cmath>
#include <csignal>
#include <ostream>

namespace cli {

namespace {

constexpr const char* DefaultListen = "127.0.0.1:5025";
std::atomic<bool> ending{false};

std::string more(const Settings& o, const char* name, const char* otherwise) {
    const auto it = o.more.find(name);
    return it == o.more.end() ? otherwise : it->second;
}

} // namespace

const OptionList& serveOptions() {
    static const OptionList list = {
        {"--listen", "ADDRESS:PORT",
         "where to listen (default 127.0.0.1:5025, this machine only; 0.0.0.0:5025 for every "
         "network, port 0 for any free one)",
         [](Settings& s, const std::string& v) {
             QHostAddress a;
             quint16 p = 0;
             std::string error;
             if (!remote::parseListen(v, a, p, error)) return error;
             s.more["--listen"] = v;
             return std::string();
         }},
        {"--idle-timeout", "SECONDS",
         "close a client that sends and reads nothing for so long (default 300)",
         [](Settings& s, const std::string& v) -> std::string {
             const auto n = number(v);
             if (!n || *n < 1 || *n > 86400)
                 return "--idle-timeout must be 1 to 86400 seconds: " + v;
             s.more["--idle-timeout"] = v;
             return "";
         }},
    };
    return list;
}

Status runServe(Session& session, const Settings& o, std::ostream& out, std::ostream& err) {
    const std::string listen = more(o, "--listen", DefaultListen);
    QHostAddress address;
    quint16 port = 0;
    std::string error;
    remote::parseListen(listen, address, port, error); // checked with the options
    remote::Limits limits;
    limits.idleMs = int(std::lround(*number(more(o, "--idle-timeout", "300")) * 1000));
    remote::Server server(session.instrument(), limits);
    server.onLog = [&err, &session](const std::string& line) {
        err << session.who << ": " << line << std::endl;
    };
    if (!server.listen(address, port, error)) {
        err << session.who << ": cannot listen on " << listen << ": " << error << "\n";
        return WriteFailed;
    }
    out << "Listening on " << server.address() << std::endl;

    // Ctrl-C and SIGTERM end a run in progress, then the loop.
    ending = false;
    struct sigaction act {
    }, oldInt{}, oldTerm{};
    act.sa_handler = [](int) { ending = true; };
    sigaction(SIGINT, &act, &oldInt);
    sigaction(SIGTERM, &act, &oldTerm);
    plat::Timer watch;
    watch.setInterval(100);
    watch.onTimer = [&session] {
        if (!ending) return;
        session.instrument().stop();
        QCoreApplication::quit();
    };
    watch.setEnabled(true);
    QCoreApplication::exec();
    watch.setEnabled(false);
    sigaction(SIGINT, &oldInt, nullptr);
    sigaction(SIGTERM, &oldTerm, nullptr);
    server.close();
    return Done;
}

} // namespace cli
