// Speed of the rules engine's hot paths over a fixed corpus of hands.
//
// The corpus comes from a seeded generator (std::mt19937, seed 20240611), so every run
// measures the same hands:
//   - winning hands: four sets (chow or pung, half each, at random) and a pair, no face used
//     more than four times, shuffled;
//   - deals: 14 (or 13) tiles drawn from a shuffled set of the 136 suit and honour tiles;
//   - ready-test hands: 13 tiles, half a winning hand less one tile, half a deal;
//   - one-wild hands: 13 tiles (half a winning hand less one tile, half a deal) and a wild.
// Each iteration of the BM_* benchmarks judges the next hand of its corpus, so the time per
// iteration is the mean time per hand. The BM_PerHand* benchmarks time every hand of a corpus
// on its own (32 judgements in a row, averaged) and report the median (p50), the 90th and 99th
// percentiles and the slowest hand, in ns.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <random>
#include <vector>

#include "korvel_rules.h"
#include "win_search.h"

namespace {

constexpr int kCorpusSize = 4096;
constexpr uint32_t kSeed = 20240611;

using Hand = std::vector<card>;

card CardOf(int face) {
  if (face < 27) return {face / 9, face % 9 + 1};
  if (face < 31) return {3, face - 27 + 1};
  return {4, face - 31 + 1};
}

class Generator {
 public:
  Generator() : random_(kSeed) {}

  Hand Deal(int n) {
    std::vector<int> wall;
    for (int face = 0; face < 34; ++face) {
      for (int k = 0; k < 4; ++k) wall.push_back(face);
    }
    std::shuffle(wall.begin(), wall.end(), random_);
    Hand out;
    for (int i = 0; i < n; ++i) out.push_back(CardOf(wall[i]));
    return out;
  }

  Hand Winning() {
    for (;;) {
      std::array<int, 34> used{};
      Hand out;
      bool ok = true;
      for (int s = 0; s < 4; ++s) {
        if (Pick(2) == 0) {
          const int suit = Pick(3);
          const int low = Pick(7);
          for (int k = 0; k < 3; ++k) {
            ok = ok && ++used[suit * 9 + low + k] <= 4;
            out.push_back(CardOf(suit * 9 + low + k));
          }
        } else {
          const int face = Pick(34);
          used[face] += 3;
          ok = ok && used[face] <= 4;
          for (int k = 0; k < 3; ++k) out.push_back(CardOf(face));
        }
      }
      const int eye = Pick(34);
      used[eye] += 2;
      ok = ok && used[eye] <= 4;
      out.push_back(CardOf(eye));
      out.push_back(CardOf(eye));
      if (ok) {
        std::shuffle(out.begin(), out.end(), random_);
        return out;
      }
    }
  }

  int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }

 private:
  std::mt19937 random_;
};

struct Corpus {
  std::vector<Hand> winning;       // 14 tiles, all win
  std::vector<Hand> deals;         // 14 tiles, random
  std::vector<Hand> mixed;         // 14 tiles, half of each
  std::vector<Hand> ready;         // 13 tiles
  std::vector<Hand> one_wild;      // 13 tiles, judged with one wild
  Corpus() {
    Generator g;
    for (int i = 0; i < kCorpusSize; ++i) {
      winning.push_back(g.Winning());
      deals.push_back(g.Deal(14));
      mixed.push_back(i % 2 == 0 ? winning.back() : deals.back());
      Hand less = i % 2 == 0 ? g.Winning() : g.Deal(14);
      less.erase(less.begin() + g.Pick(14));
      ready.push_back(less);
      Hand wild = i % 2 == 0 ? g.Winning() : g.Deal(14);
      wild.erase(wild.begin() + g.Pick(14));
      one_wild.push_back(wild);
    }
  }
};

const Corpus& TheCorpus() {
  static const Corpus corpus;
  return corpus;
}

void RunWinTest(benchmark::State& state, const std::vector<Hand>& hands, int wilds) {
  CKorvel rules;
  rules.StartNewHand();
  GroupList groups;
  int shape = 0;
  size_t i = 0;
  int won = 0;
  for (auto _ : state) {
    const Hand& h = hands[i];
    const bool win =
        rules.CheckHu(h.data(), static_cast<int>(h.size()), groups, shape, wilds);
    benchmark::DoNotOptimize(win);
    won += win ? 1 : 0;
    if (++i == hands.size()) i = 0;
  }
  state.counters["won"] = benchmark::Counter(won, benchmark::Counter::kAvgIterations);
}

void BM_WinTestWinningHands(benchmark::State& state) {
  RunWinTest(state, TheCorpus().winning, 0);
}
void BM_WinTestDeals(benchmark::State& state) { RunWinTest(state, TheCorpus().deals, 0); }
void BM_WinTestMixed(benchmark::State& state) { RunWinTest(state, TheCorpus().mixed, 0); }
void BM_WinTestOneWild(benchmark::State& state) {
  RunWinTest(state, TheCorpus().one_wild, 1);
}

void BM_ReadyTest(benchmark::State& state) {
  const std::vector<Hand>& hands = TheCorpus().ready;
  CKorvel rules;
  rules.StartNewHand();
  GroupList groups;
  size_t i = 0;
  int ready = 0;
  for (auto _ : state) {
    const Hand& h = hands[i];
    const bool r = rules.CheckTing(h.data(), static_cast<int>(h.size()), groups, 0);
    benchmark::DoNotOptimize(r);
    ready += r ? 1 : 0;
    if (++i == hands.size()) i = 0;
  }
  state.counters["ready"] = benchmark::Counter(ready, benchmark::Counter::kAvgIterations);
}

void BM_FanCount(benchmark::State& state) {
  struct Judged {
    Hand tiles;
    GroupList groups;
    int shape;
  };
  CKorvel rules;
  rules.StartNewHand();
  std::vector<Judged> judged;
  for (const Hand& h : TheCorpus().winning) {
    Judged j{h, {}, 0};
    if (rules.CheckHu(h.data(), static_cast<int>(h.size()), j.groups, j.shape, 0)) {
      judged.push_back(j);
    }
  }
  size_t i = 0;
  for (auto _ : state) {
    const Judged& j = judged[i];
    const int fans = rules.CountFans(j.shape, 0, j.tiles.data(), static_cast<int>(j.tiles.size()),
                                     j.groups.data(), j.groups.size());
    benchmark::DoNotOptimize(fans);
    if (++i == judged.size()) i = 0;
  }
}

// The four-player base: its win test (with thirteen orphans and knitted tiles) on the mixed
// hands, and its whole scoring call on the winning hands, won on a discard (the 13 tiles in
// hand, the win reported, CalculateScore: win test and the 81-row fan count).
void BM_BaseWinTestMixed(benchmark::State& state) {
  const std::vector<Hand>& hands = TheCorpus().mixed;
  CMj_Gb rules;
  rules.StartNewHand();
  GroupList groups;
  int shape = 0;
  size_t i = 0;
  for (auto _ : state) {
    const Hand& h = hands[i];
    benchmark::DoNotOptimize(
        rules.CheckHu(h.data(), static_cast<int>(h.size()), groups, shape, 0));
    if (++i == hands.size()) i = 0;
  }
}

void BM_BaseScore(benchmark::State& state) {
  const std::vector<Hand>& hands = TheCorpus().winning;
  CMj_Gb rules;
  rules.StartNewHand();
  size_t i = 0;
  for (auto _ : state) {
    const Hand& h = hands[i];
    rules.DeleteAllFromMyHand();
    rules.AddCardsToMyHand(h.data(), 13);
    rules.SetHuInfo(HuOnDiscard, 1, h[13]);
    int16_t banker = 0, fans = 0, base = 0;
    benchmark::DoNotOptimize(rules.CalculateScore(banker, fans, base));
    if (++i == hands.size()) i = 0;
  }
}

// ---- per-hand distribution ---------------------------------------------------------------

template <typename Judge>
void RunPerHand(benchmark::State& state, size_t count, Judge judge) {
  constexpr int kRepeat = 32;
  std::vector<double> per_hand;
  for (auto _ : state) {
    per_hand.clear();
    for (size_t i = 0; i < count; ++i) {
      const auto start = std::chrono::steady_clock::now();
      for (int k = 0; k < kRepeat; ++k) judge(i);
      const auto end = std::chrono::steady_clock::now();
      per_hand.push_back(std::chrono::duration<double, std::nano>(end - start).count() /
                         kRepeat);
    }
  }
  std::sort(per_hand.begin(), per_hand.end());
  auto at = [&](double q) { return per_hand[static_cast<size_t>(q * (per_hand.size() - 1))]; };
  state.counters["p50_ns"] = at(0.5);
  state.counters["p90_ns"] = at(0.9);
  state.counters["p99_ns"] = at(0.99);
  state.counters["max_ns"] = per_hand.back();
}

void WinPerHand(benchmark::State& state, const std::vector<Hand>& hands, int wilds) {
  CKorvel rules;
  rules.StartNewHand();
  GroupList groups;
  int shape = 0;
  RunPerHand(state, hands.size(), [&](size_t i) {
    const Hand& h = hands[i];
    benchmark::DoNotOptimize(
        rules.CheckHu(h.data(), static_cast<int>(h.size()), groups, shape, wilds));
  });
}

void BM_PerHandWinTestWinningHands(benchmark::State& state) {
  WinPerHand(state, TheCorpus().winning, 0);
}
void BM_PerHandWinTestDeals(benchmark::State& state) { WinPerHand(state, TheCorpus().deals, 0); }
void BM_PerHandWinTestOneWild(benchmark::State& state) {
  WinPerHand(state, TheCorpus().one_wild, 1);
}

void BM_PerHandReadyTest(benchmark::State& state) {
  const std::vector<Hand>& hands = TheCorpus().ready;
  CKorvel rules;
  rules.StartNewHand();
  GroupList groups;
  RunPerHand(state, hands.size(), [&](size_t i) {
    const Hand& h = hands[i];
    benchmark::DoNotOptimize(rules.CheckTing(h.data(), static_cast<int>(h.size()), groups, 0));
  });
}

void BM_PerHandFanCount(benchmark::State& state) {
  CKorvel rules;
  rules.StartNewHand();
  std::vector<Hand> tiles;
  std::vector<GroupList> groups;
  std::vector<int> shapes;
  for (const Hand& h : TheCorpus().winning) {
    GroupList g;
    int shape = 0;
    if (!rules.CheckHu(h.data(), static_cast<int>(h.size()), g, shape, 0)) continue;
    tiles.push_back(h);
    groups.push_back(g);
    shapes.push_back(shape);
  }
  RunPerHand(state, tiles.size(), [&](size_t i) {
    benchmark::DoNotOptimize(rules.CountFans(shapes[i], 0, tiles[i].data(),
                                             static_cast<int>(tiles[i].size()),
                                             groups[i].data(), groups[i].size()));
  });
}

}  // namespace

BENCHMARK(BM_PerHandWinTestWinningHands)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PerHandWinTestDeals)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PerHandWinTestOneWild)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PerHandReadyTest)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PerHandFanCount)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WinTestWinningHands);
BENCHMARK(BM_WinTestDeals);
BENCHMARK(BM_WinTestMixed);
BENCHMARK(BM_WinTestOneWild);
BENCHMARK(BM_ReadyTest);
BENCHMARK(BM_FanCount);
BENCHMARK(BM_BaseWinTestMixed);
BENCHMARK(BM_BaseScore);

BENCHMARK_MAIN();
