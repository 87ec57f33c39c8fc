// The SCPI server on the simulated instrument and the virtual clock, through real loopback
// sockets: runs start from the top of the event loop while commands arrive in the middle
// of a run; every input is bounded; a client that does not read, leaves mid-query or
// idles never holds up the instrument; clients take turns; the window shows the holder.
#include "analysis/autoset.h"
#include "host/main_window.h"
#include "host/remote_dialog.h"
#include "remote/server.h"
#include "support/fixture.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTcpSocket>
#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sstream>
#include <sys/socket.h>
#include <unistd.h>

using testing_support::Harness;

namespace {

// Processes events until `done` (at most 10 s of real time: sockets are real).
template <class F> bool pump(F done) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return done();
}

quint16 portOf(const std::string& address) {
    return quint16(std::stoi(address.substr(address.rfind(':') + 1)));
}

struct Rig {
    Harness h;
    Instrument inst;
    remote::Server server;
    quint16 port = 0;
    explicit Rig(remote::Limits l = {}) : server(inst, l) {
        EXPECT_TRUE(inst.startUp());
        std::string error;
        EXPECT_TRUE(server.listen(QHostAddress::LocalHost, 0, error)) << error;
        port = portOf(server.address());
    }
};

struct Client {
    QTcpSocket s;
    explicit Client(quint16 port) {
        s.connectToHost(QHostAddress::LocalHost, port);
        s.waitForConnected(10000); // the system accepts it without the server's loop
    }
    void send(const std::string& t) { s.write(t.data(), qint64(t.size())); }
    std::string line() {
        pump([this] { return s.canReadLine(); });
        return s.readLine().toStdString();
    }
    std::string ask(const std::string& q) {
        send(q + "\n");
        return line();
    }
};

// A client on a plain socket that reads only when told, with a small receive buffer.
struct Raw {
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    explicit Raw(quint16 port) {
        const int small = 4096;
        setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(port);
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        EXPECT_EQ(connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
        fcntl(fd, F_SETFL, O_NONBLOCK);
    }
    ~Raw() { close(fd); }
    void send(const std::string& t) { ::send(fd, t.data(), t.size(), MSG_NOSIGNAL); }
    // Reads until `n` bytes have come or the connection has ended.
    std::string read(size_t n) {
        std::string got;
        pump([&] {
            char buf[65536];
            const ssize_t r = recv(fd, buf, sizeof buf, 0);
            if (r > 0) got.append(buf, size_t(r));
            return r == 0 || (r < 0 && errno != EAGAIN) || got.size() >= n;
        });
        return got;
    }
};

} // namespace

// How many runs are going at once, at most.
struct Depth : InstrumentView {
    int now = 0, most = 0;
    void runStarted() override { most = std::max(most, ++now); }
    void runEnded() override { --now; }
};

TEST(RemoteServer, RunsStartFromTheTopWhileCommandsArriveInTheMiddleOfThem) {
    Rig r;
    Depth depth;
    r.inst.setView(&depth);
    Client c(r.port);
    const std::string idn = c.ask("*IDN?");
    c.send("RUN\n");
    // In the middle of the Repeat run: a query, a setting and a SINGle, which waits for
    // the run to end and then captures on its own; *OPC? answers once it is in.
    long during = -1;
    r.h.clock().atDoEvents(40, [&] {
        during = r.inst.captureCount();
        c.send("*IDN?;:ACQ:SRAT 20000;:SING;*OPC?\n");
    });
    EXPECT_EQ(c.line(), idn.substr(0, idn.size() - 1) + ";1\n");
    EXPECT_GE(during, 0);
    EXPECT_GT(r.inst.captureCount(), during);
    EXPECT_EQ(r.inst.state().sampleRateIndex(), 1);
    EXPECT_EQ(r.inst.state().RunRepeat, 0); // the SINGle's run
    EXPECT_FALSE(r.inst.state().running());
    EXPECT_EQ(depth.most, 1); // never a run inside a run
    // SINGle and *RST wait while someone else's wait loop is on the stack (a window of the
    // Parts, say), however many events it processes, and go once it has ended.
    const long before = r.inst.captureCount();
    for (const char* message : {"SING;*OPC?\n", "*RST;*OPC?\n"}) {
        c.send(message);
        QElapsedTimer t;
        t.start();
        for (int after = 0; after < 50 && t.elapsed() < 10000;
             after += int(r.server.session().waiting()))
            DoEvents();
        EXPECT_EQ(r.inst.captureCount() - before, message[0] == '*') << message;
        EXPECT_EQ(r.inst.state().sampleRateIndex(), 1) << message;
        EXPECT_EQ(c.line(), "1\n") << message;
    }
    EXPECT_EQ(r.inst.state().sampleRateIndex(), InstrumentState().sampleRateIndex());
    EXPECT_EQ(r.h.sim().misuse(), std::vector<std::string>{});
    EXPECT_EQ(c.ask("SYST:ERR?"), "0,\"No error\"\n");
    r.inst.setView(nullptr);
}

TEST(RemoteServer, AutosetLeavesWhatTheMenusAutosetLeaves) {
    const auto settings = [](const InstrumentState& s) {
        std::ostringstream o;
        o << "range A " << s.rangeSelA() << ", B " << s.rangeSelB() << "; rate "
          << s.sampleRateIndex() << ", size " << s.SampleSizeIndex << ", window " << s.xMagnify()
          << "; trigger " << s.trigMode() << (s.trigSourceB() ? " B " : " A ") << s.trigLevel();
        return o.str();
    };
    std::string expected;
    {
        Harness h;
        Instrument inst;
        ASSERT_TRUE(inst.startUp());
        ASSERT_TRUE(analysis::autoset(inst).done);
        expected = settings(inst.state());
    }
    Rig r;
    ASSERT_NE(settings(r.inst.state()), expected); // the start-up's are not auto-set's
    Client c(r.port);
    EXPECT_EQ(c.ask("AUT;*OPC?"), "1\n");
    EXPECT_EQ(c.ask("SYST:ERR?"), "0,\"No error\"\n");
    EXPECT_EQ(settings(r.inst.state()), expected);
    EXPECT_EQ(c.ask("INST:MODE FFT;:AUT;:SYST:ERR?"),
              "-221,\"Settings conflict;auto-set works in SCOPE mode\"\n");
}

TEST(RemoteServer, LongMessagesAndBigBlocksAreRefusedAndSkipped) {
    remote::Limits l;
    l.maxText = 256;
    l.maxBlock = 64;
    Rig r(l);
    Client c(r.port);
    c.send(std::string(300, 'A') + "\n");
    std::string block(100, '\n'); // LFs inside a block end nothing
    c.send("SOUR:CUST:DATA #3100" + block + "\n");
    EXPECT_EQ(c.ask("*IDN?").substr(0, 4), "WQK,");
    EXPECT_EQ(c.ask("SYST:ERR?"), "-363,\"Input buffer overrun\"\n");
    EXPECT_EQ(c.ask("SYST:ERR?"), "-223,\"Too much data\"\n");
    EXPECT_EQ(c.ask("SYST:ERR?"), "0,\"No error\"\n");
}

TEST(RemoteServer, UnreadAnswersAreDroppedForANewMessageAndAClientFarBehindIsClosed) {
    remote::Limits l;
    l.highWater = 16384;
    l.maxOutput = 1 << 20;
    Rig r(l);
    ASSERT_EQ(r.inst.setSampleSize(4), "");
    ASSERT_EQ(r.inst.captureOnce(1).reason, "");
    Raw raw(r.port);
    // Three messages at once: the second's answer waits behind the first's, and the third
    // takes its place (-410). The first and third arrive whole.
    raw.send("WAV:FORM WORD\nWAV:DATA?\nWAV:DATA?\nWAV:DATA?\n");
    const std::string answer = "#565536" + std::string(65536, '?') + "\n";
    const std::string got = raw.read(2 * answer.size());
    ASSERT_EQ(got.size(), 2 * answer.size());
    EXPECT_EQ(got.substr(0, 7), "#565536");
    EXPECT_EQ(got.substr(answer.size(), 7), "#565536");
    raw.send("SYST:ERR?\n");
    const std::string interrupted = "-410,\"Query INTERRUPTED\"\n";
    EXPECT_EQ(raw.read(interrupted.size()), interrupted);
    // One message asking for more than it may leave unread: closed, and the next client
    // is served at once.
    std::string many = "WAV:FORM ASC;:WAV:DATA?";
    for (int i = 0; i < 9; ++i)
        many += ";DATA?";
    raw.send(many + "\n");
    EXPECT_TRUE(pump([&] { return r.server.holder().empty(); }));
    Client next(r.port);
    EXPECT_EQ(next.ask("*OPC?"), "1\n");
    EXPECT_EQ(r.server.holder(), (QHostAddress(QHostAddress::LocalHost).toString() + ":" +
                                  QString::number(next.s.localPort()))
                                     .toStdString());
}

TEST(RemoteServer, ClientsTakeTurnsAndTheLineIsBounded) {
    remote::Limits l;
    l.maxWaiting = 1;
    Rig r(l);
    auto first = std::make_unique<Client>(r.port);
    Client second(r.port);
    second.send("*IDN?\n");
    // Once the first has an answer to a later question, the server has seen the second's.
    EXPECT_EQ(first->ask("*OPC?"), "1\n");
    EXPECT_EQ(second.s.bytesAvailable(), 0);
    EXPECT_EQ(r.server.waitingClients(), 1);
    Client third(r.port);
    EXPECT_EQ(third.line(),
              "-200,\"Execution error;too many clients waiting for the instrument\"\n");
    // The first leaves in the middle of a query (no LF): the second gets its answer, and
    // the error queue says what became of the first's query.
    first->send("*IDN?");
    first->s.disconnectFromHost();
    pump([&] { return first->s.state() == QAbstractSocket::UnconnectedState; });
    first.reset();
    EXPECT_EQ(second.line().substr(0, 4), "WQK,");
    EXPECT_EQ(second.ask("SYST:ERR?"),
              "-420,\"Query UNTERMINATED;the connection ended inside a query\"\n");
}

TEST(RemoteServer, AnIdleHolderIsClosedOnTheVirtualClock) {
    remote::Limits l;
    l.idleMs = 5000;
    Rig r(l);
    Client c(r.port);
    EXPECT_EQ(c.ask("*OPC?"), "1\n");
    r.h.clock().pause(4000);
    EXPECT_NE(r.server.holder(), "");
    EXPECT_EQ(c.ask("*OPC?"), "1\n"); // a message starts the time again
    r.h.clock().pause(4000);
    EXPECT_NE(r.server.holder(), "");
    r.h.clock().pause(1500);
    EXPECT_EQ(r.server.holder(), "");
    EXPECT_TRUE(pump([&] { return c.s.state() == QAbstractSocket::UnconnectedState; }));
}

TEST(RemoteWindow, RemoteControlShowsTheHolderAndTheControlsFollowTheClient) {
    Harness h;
    host::MainWindow mw;
    WQK& w = mw.wqk();
    w.activate();
    mw.action("actionRemoteControl")->trigger();
    auto* dialog = mw.findChild<host::RemoteDialog*>("RemoteDialog");
    ASSERT_TRUE(dialog->isVisible());
    dialog->findChild<QLineEdit*>("remoteAddress")->setText("127.0.0.1:0");
    dialog->findChild<QPushButton*>("remoteStart")->click();
    ASSERT_TRUE(dialog->server()->listening());
    auto* indicator = mw.findChild<QLabel*>("remoteIndicator");
    EXPECT_TRUE(indicator->isHidden());
    EXPECT_FALSE(w.control<VbButton>("TRLARGEN")->isEnabled()); // the level arrows, in INST
    {
        Client c(portOf(dialog->server()->address()));
        EXPECT_EQ(c.ask("CHAN1:RANG 1.2;:TRIG:MODE NORM;:TRIG:MODE?"), "NORM\n");
        EXPECT_FALSE(indicator->isHidden());
        EXPECT_EQ(indicator->text().toStdString(), "Remote: " + dialog->server()->holder());
        EXPECT_EQ(w.state().rangeSelA(), 0);
        EXPECT_EQ(w.state().trigMode(), 1);
        // The window's panels follow: the level arrows work in TRIG.
        EXPECT_TRUE(w.control<VbButton>("TRLARGEN")->isEnabled());
    }
    EXPECT_TRUE(pump([&] { return indicator->isHidden(); }));
    dialog->findChild<QPushButton*>("remoteStart")->click();
    EXPECT_FALSE(dialog->server()->listening());
}
