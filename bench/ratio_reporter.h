#pragma once
// Console reporter that prints each "_Ours" CPU time (or real time, for work that waits
// on another thread) over its reference partner (the same name with `reference` in place
// of "_Ours") after the table: ratios from one run.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

class RatioReporter : public benchmark::ConsoleReporter {
  public:
    explicit RatioReporter(std::string reference, bool realTime = false)
        : reference_(std::move(reference)), realTime_(realTime) {}
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs)
            times_[r.benchmark_name()] =
                realTime_ ? r.GetAdjustedRealTime() : r.GetAdjustedCPUTime();
        ConsoleReporter::ReportRuns(runs);
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        for (const auto& [name, t] : times_) {
            const auto at = name.find("_Ours");
            if (at == std::string::npos || name.find("_stddev") != std::string::npos ||
                name.find("_cv") != std::string::npos)
                continue;
            std::string ref = name;
            ref.replace(at, 5, reference_);
            if (times_.count(ref))
                std::printf("ratio %s / %s = %.2f\n", name.c_str(), ref.c_str(), t / times_[ref]);
        }
    }

  private:
    std::string reference_;
    bool realTime_;
    std::map<std::string, double> times_;
};
