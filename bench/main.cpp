#include <benchmark/benchmark.h>

#include "ratio_reporter.h"

bool ReportCompressionSizes();

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  bool sizesMet = ReportCompressionSizes();
  RatioReporter reporter;
  reporter.AddSpeedup("BM_Book_UnCompress", "BM_Book_Libmobi", 4.0);
  reporter.AddCost("BM_Compress_Optimal", "BM_Compress_Greedy", 0);
  // Layout may cost at most three times measuring every paragraph once.
  reporter.AddCost("BM_View_Layout", "BM_View_MeasureFloor", 3.0);
  reporter.AddCost("BM_View_PaintPane", "BM_View_Layout", 0);
  // The reader's start to its first frame, beside a platform start that paints an empty window.
  reporter.AddCost("BM_Start_Reader/iterations:20/real_time", "BM_Start_Empty/iterations:20/real_time", 1.5);
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return sizesMet ? 0 : 1;
}
