// Cost of one port access on the simulated instrument, against a plain function that
// only stores the byte (the floor for any backend), measured side by side.
#include "platform/port.h"
#include "sim/wqk01.h"

#include <benchmark/benchmark.h>

namespace {

class NullPort : public plat::PortBackend {
  public:
    bool initialize() override { return true; }
    void shutdown() override {}
    void out(uint16_t, uint8_t v) override { last = v; }
    uint8_t in(uint16_t) override { return last; }
    std::string name() const override { return "null"; }
    volatile uint8_t last = 0;
};

// One read-out step: two control writes and one data read, as the capture read-out
// does it, plus a data-strobe write as the generator upload does.
void accessMix(benchmark::State& st, plat::PortBackend& port) {
    plat::setPortBackend(&port);
    vbOut(0x378, 0);
    vbOut(0x37A, 4);
    vbOut(0x378, 4); // select channel A memory for reading
    vbOut(0x37A, 0);
    int sum = 0;
    for (auto _ : st) {
        vbOut(0x37A, 0x23);
        vbOut(0x37A, 0x22);
        sum += vbInp(0x378);
        vbOut(0x378, 0x55);
    }
    benchmark::DoNotOptimize(sum);
    st.SetItemsProcessed(st.iterations() * 4);
    st.counters["ns_per_access"] = benchmark::Counter(
        double(st.iterations()) * 4, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    plat::setPortBackend(nullptr);
}

void BM_SimulatedInstrument(benchmark::State& st) {
    sim::Wqk01 w;
    accessMix(st, w);
}

void BM_NullPort(benchmark::State& st) {
    NullPort p;
    accessMix(st, p);
}

} // namespace

BENCHMARK(BM_NullPort);
BENCHMARK(BM_SimulatedInstrument);
BENCHMARK_MAIN();
