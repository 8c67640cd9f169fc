// Speed of the table frame's layout and of a nine-part frame plan (figures, no test).
#include <benchmark/benchmark.h>

#include "bitmap_plans.h"
#include "frame_layout.h"

namespace {

layout::FrameMetrics SampleMetrics() {
  return layout::ReadFrameMetrics(
      [](uint32_t id) -> std::string {
        switch (id) {
          case 110: case 112: return "32";
          case 113: return "30";
          case 114: case 115: case 116: return "4";
          case 118: case 120: return "6";
          case 119: return "34";
          case 121: return "20";
          case 124: return "90";
          case 148: return "38";
          default: return "8";
        }
      },
      768, true);
}

void BM_LayoutFrame(benchmark::State& state) {
  const layout::FrameMetrics m = SampleMetrics();
  layout::FrameInputs in;
  in.w = 1024;
  in.h = 768;
  in.listHeight = 295;
  in.chatHeight = 295;
  in.titleBandHeight = 22;
  in.setupStrip = {208, 24};
  in.setupStripHasImage = true;
  in.titleStrip = {78, 20};
  in.windowWidth = 1024;
  for (auto _ : state) {
    const layout::PaneHeights ph = layout::PaneLayoutHeights(m, in.h);
    benchmark::DoNotOptimize(ph);
    benchmark::DoNotOptimize(layout::LayoutFrame(m, in));
  }
}
BENCHMARK(BM_LayoutFrame);

void BM_NinePartPlan(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(layout::PlanNinePart(0, 0, 1024, 768, {8, 8}, {}));
}
BENCHMARK(BM_NinePartPlan);

}  // namespace

BENCHMARK_MAIN();
