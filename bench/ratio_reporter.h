// A console reporter that, after the runs, prints each benchmark's time
// beside its peer's from the same run, as a ratio. Pairs are named
// "<figure>/<ours>" and "<figure>/<peer>".
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  // `ours` is reported as peer time / our time ("× faster"), and checked
  // against `target` when it is non-zero.
  void AddRatio(std::string ours, std::string peer, double target) {
    ratios_.push_back({std::move(ours), std::move(peer), target});
  }

  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.iterations > 0 && run.run_type == Run::RT_Iteration)
        seconds_[run.benchmark_name()] = run.real_accumulated_time / static_cast<double>(run.iterations);
    }
    ConsoleReporter::ReportRuns(runs);
  }

  void Finalize() override {
    ConsoleReporter::Finalize();
    for (const Ratio& r : ratios_) {
      auto a = seconds_.find(r.ours), b = seconds_.find(r.peer);
      if (a == seconds_.end() || b == seconds_.end()) continue;
      double ratio = b->second / a->second;
      std::printf("%-40s %.2fx the throughput of %s", r.ours.c_str(), ratio, r.peer.c_str());
      if (r.target > 0) std::printf(" (target %.1fx: %s)", r.target, ratio >= r.target ? "met" : "MISSED");
      std::printf("\n");
    }
  }

 private:
  struct Ratio {
    std::string ours, peer;
    double target;
  };
  std::vector<Ratio> ratios_;
  std::map<std::string, double> seconds_;
};
