// A console reporter that, after the runs, prints each benchmark's time
// beside its peer's from the same run, as a ratio, and checks it against
// its target.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  // `ours` against `peer` as speed: peer time / our time, at least `target`
  // when the target is non-zero.
  void AddSpeedup(std::string ours, std::string peer, double target) {
    ratios_.push_back({std::move(ours), std::move(peer), target, true});
  }
  // `ours` against `peer` as cost: our time / peer time, at most `target`
  // when the target is non-zero.
  void AddCost(std::string ours, std::string peer, double target) {
    ratios_.push_back({std::move(ours), std::move(peer), target, false});
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
      if (r.speedup) {
        double ratio = b->second / a->second;
        std::printf("%-24s %6.2fx as fast as %s", r.ours.c_str(), ratio, r.peer.c_str());
        if (r.target > 0) std::printf(" (target at least %.2fx: %s)", r.target, ratio >= r.target ? "met" : "MISSED");
      } else {
        double ratio = a->second / b->second;
        std::printf("%-24s %6.2fx the time of %s", r.ours.c_str(), ratio, r.peer.c_str());
        if (r.target > 0) std::printf(" (target at most %.2fx: %s)", r.target, ratio <= r.target ? "met" : "MISSED");
      }
      std::printf("\n");
    }
  }

 private:
  struct Ratio {
    std::string ours, peer;
    double target;
    bool speedup;
  };
  std::vector<Ratio> ratios_;
  std::map<std::string, double> seconds_;
};
