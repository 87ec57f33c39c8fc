// The SCPI server as a lab script sees it, side by side in one run: *IDN? round trips per
// second, and the two channels of a 32K capture fetched with WAV:DATA? against the
// capture's own read-out from the instrument (the simulated port, and a real port's
// 1 us per access). The server and the instrument run on the main thread, as in the
// program; the client is a plain blocking socket on a thread of its own.
#include "instrument/instrument.h"
#include "platform/port.h"
#include "port/config_file.h"
#include "ratio_reporter.h"
#include "remote/server.h"
#include "sim/wqk01.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <chrono>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr double RealPortNsPerAccess = 1000;

Instrument* inst = nullptr;
sim::Wqk01* simulated = nullptr;
quint16 port = 0;

// A blocking client, as PyVISA's socket backend is.
class Client {
  public:
    Client() {
        const int on = 1;
        setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(port);
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ok_ = connect(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    }
    ~Client() { close(fd_); }
    bool ok() const { return ok_; }
    void send(const std::string& t) {
        ok_ = ok_ && ::send(fd_, t.data(), t.size(), 0) == ssize_t(t.size());
    }
    // One answer line, without its LF.
    std::string line() {
        while (ok_ && buf_.find('\n') == std::string::npos)
            fill();
        const size_t end = buf_.find('\n');
        std::string l = buf_.substr(0, end);
        buf_.erase(0, end == std::string::npos ? end : end + 1);
        return l;
    }
    // One definite-length block and its LF: the bytes it holds.
    size_t block() {
        while (ok_ && (buf_.size() < 2 || buf_.size() < size_t(2 + buf_[1] - '0')))
            fill();
        const size_t digits = size_t(buf_[1] - '0');
        const size_t len = std::stoul(buf_.substr(2, digits)), whole = 2 + digits + len + 1;
        while (ok_ && buf_.size() < whole)
            fill();
        buf_.erase(0, whole);
        return len;
    }

  private:
    void fill() {
        char chunk[1 << 16];
        const ssize_t n = recv(fd_, chunk, sizeof chunk, 0);
        if (n <= 0)
            ok_ = false;
        else
            buf_.append(chunk, size_t(n));
    }
    int fd_ = socket(AF_INET, SOCK_STREAM, 0);
    bool ok_ = false;
    std::string buf_;
};

// Runs f on the main thread (the instrument's), waiting for it.
template <class F> void onMain(F f) {
    QMetaObject::invokeMethod(QCoreApplication::instance(), f, Qt::BlockingQueuedConnection);
}

void BM_IdnRoundTrip(benchmark::State& state) {
    Client c;
    for (auto _ : state) {
        c.send("*IDN?\n");
        benchmark::DoNotOptimize(c.line());
    }
    if (!c.ok()) state.SkipWithError("the server did not answer");
    state.SetItemsProcessed(state.iterations());
    state.counters["round_trips_per_s"] =
        benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_IdnRoundTrip)->UseRealTime();

// One 32K capture of both channels, taken once for both benchmarks below.
bool captured(Client& c) {
    static bool done = false;
    if (!done) {
        c.send("ACQ:POIN 32768;:CHAN2:DISP ON;:SING;*OPC?\n");
        done = c.line() == "1";
    }
    return done;
}

void BM_WaveformData32Kx2_Ours(benchmark::State& state) {
    Client c;
    if (!captured(c)) state.SkipWithError("no capture");
    c.send("WAV:FORM BYTE\n");
    size_t bytes = 0;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        c.send("WAV:SOUR CHAN1;:WAV:DATA?\n");
        bytes += c.block();
        c.send("WAV:SOUR CHAN2;:WAV:DATA?\n");
        bytes += c.block();
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
    }
    if (!c.ok() || bytes != size_t(state.iterations()) * 65536) state.SkipWithError("short data");
    state.SetBytesProcessed(int64_t(bytes));
}
BENCHMARK(BM_WaveformData32Kx2_Ours)->UseManualTime()->Unit(benchmark::kMillisecond);

// The read-out of the same two memories from the instrument, on its own thread.
void BM_WaveformData32Kx2_Readout(benchmark::State& state) {
    {
        Client c;
        if (!captured(c)) state.SkipWithError("no capture");
    }
    uint64_t accesses = 0;
    for (auto _ : state) {
        double seconds = 0;
        onMain([&] {
            const uint64_t a0 = simulated->accessCount();
            const auto t0 = std::chrono::steady_clock::now();
            inst->readbufferA();
            inst->readbufferB();
            seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
            accesses += simulated->accessCount() - a0;
        });
        state.SetIterationTime(seconds);
    }
    const double perReadOut = double(accesses) / double(state.iterations());
    state.counters["port_accesses"] = perReadOut;
    state.counters["real_port_ms"] = perReadOut * RealPortNsPerAccess / 1e6;
}
BENCHMARK(BM_WaveformData32Kx2_Readout)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    portcfg::write(portcfg::FileName, 1);
    sim::Wqk01 sim;
    simulated = &sim;
    Instrument instrument(nullptr);
    plat::setPortBackend(&sim);
    inst = &instrument;
    if (!instrument.startUp()) return 1;
    remote::Server server(instrument);
    std::string error;
    if (!server.listen(QHostAddress::LocalHost, 0, error)) return 1;
    port = quint16(std::stoi(server.address().substr(server.address().rfind(':') + 1)));
    std::thread client([] {
        RatioReporter reporter("_Readout", true);
        benchmark::RunSpecifiedBenchmarks(&reporter);
        QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit,
                                  Qt::QueuedConnection);
    });
    QCoreApplication::exec();
    client.join();
    server.close();
    plat::setPortBackend(nullptr);
    benchmark::Shutdown();
    return 0;
}
