// The model's layout of a dealt table (both seats' rectangles and tile areas, the buttons and
// the wall), with a surface that draws nothing.
#include <benchmark/benchmark.h>

#include "../tests/table_fixture.h"

namespace {

void BM_TableLayout(benchmark::State& state) {
  table::testing::TableFixture f(true);
  f.Deal({{0, 1}, {0, 2}, {0, 3}, {1, 4}, {1, 5}, {1, 6}, {2, 7}, {2, 8}, {2, 9}, {3, 1}});
  const card pung[3] = {{4, 5}, {4, 5}, {4, 5}};
  f.t().ExposeCard_InRecover(0, table::kMeldChowOrPung, 3, pung);
  f.t().SetDealNum(1, 13);
  const table::Rect client = f.surface.client;
  for (auto _ : state) {
    for (int s = 0; s < 2; ++s) {
      f.seat(s).CalcLayout(client);
      f.seat(s).CalcCardLayout(client);
    }
    f.t().CalcLayout();
    benchmark::DoNotOptimize(f.t().WallRect());
  }
}
BENCHMARK(BM_TableLayout);

}  // namespace

BENCHMARK_MAIN();
