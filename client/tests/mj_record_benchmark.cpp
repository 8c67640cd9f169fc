// Speed of the hand-record file: storing and loading a hand of 150 steps with both persons.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "mj_hand_file.h"

namespace {

CMjHandRecord LongHand() {
  CMjHandRecord r;
  r.comInfo = "room 7";
  r.hand = 3;
  r.wallSize = 72;
  for (uint32_t id : {1u, 2u}) {
    TablePerson p;
    p.id = id;
    std::strcpy(p.nickname, "nickname");
    std::strcpy(p.username, "username");
    p.status = 4;
    r.persons.push_back(p);
  }
  for (int turn = 0; turn < 75; ++turn) {
    CMjMessage_Draw d;
    d.seat = static_cast<uint16_t>(turn % 2);
    d.tile[0] = static_cast<char>((turn % 9 + 1) << 3);
    d.frontCount = 1;
    d.tilesLeft = static_cast<uint16_t>(72 - turn);
    r.Append(kStepDraw, r.draws, d);
    CMjMessage_Discard x;
    x.seat = d.seat;
    x.tile[0] = d.tile[0];
    r.Append(kStepDiscard, r.discards, x);
  }
  return r;
}

void BM_StoreHandFile(benchmark::State& state) {
  const ListHead head;
  const CMjHandRecord r = LongHand();
  for (auto _ : state) benchmark::DoNotOptimize(StoreHandFile(head, r));
  state.counters["steps"] = static_cast<double>(r.steps.size());
}
BENCHMARK(BM_StoreHandFile)->Unit(benchmark::kMicrosecond);

void BM_LoadHandFile(benchmark::State& state) {
  const std::vector<uint8_t> bytes = StoreHandFile(ListHead(), LongHand());
  for (auto _ : state) {
    ListHead head;
    CMjHandRecord r;
    benchmark::DoNotOptimize(LoadHandFile(bytes.data(), bytes.size(), head, r));
  }
  state.counters["bytes"] = static_cast<double>(bytes.size());
}
BENCHMARK(BM_LoadHandFile)->Unit(benchmark::kMicrosecond);

void BM_SaveAndLoadHandFile(benchmark::State& state) {
  const ListHead head;
  const CMjHandRecord r = LongHand();
  for (auto _ : state) {
    const std::vector<uint8_t> bytes = StoreHandFile(head, r);
    ListHead loadedHead;
    CMjHandRecord loaded;
    benchmark::DoNotOptimize(LoadHandFile(bytes.data(), bytes.size(), loadedHead, loaded));
  }
}
BENCHMARK(BM_SaveAndLoadHandFile)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
