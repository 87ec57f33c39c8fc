#pragma once
// The whole program on the simulated instrument and the virtual clock, started in a
// folder of its own: what the benchmarks that drive the window run on.
#include "app/wqk.h"
#include "platform/clock.h"
#include "platform/port.h"
#include "port/config_file.h"
#include "sim/wqk01.h"

#include <QDir>
#include <QTemporaryDir>
#include <memory>

struct BenchProgram {
    QTemporaryDir dir;
    plat::VirtualClock clock;
    sim::Wqk01 sim;
    std::unique_ptr<WQK> w;

    explicit BenchProgram(sim::Options o = {}) : sim(std::move(o)) {
        QDir::setCurrent(dir.path());
        portcfg::write(portcfg::FileName, 1);
        plat::setClock(&clock);
        plat::setPortBackend(&sim);
        w = std::make_unique<WQK>();
        w->activate();
    }
    ~BenchProgram() {
        w.reset();
        plat::setPortBackend(nullptr);
        plat::setClock(nullptr);
    }
    BenchProgram(const BenchProgram&) = delete;
    BenchProgram& operator=(const BenchProgram&) = delete;
};
