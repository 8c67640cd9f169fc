#include "korvel.h"

#include "win_search.h"

namespace {

using win_search::kShapeEyeFirst;
using win_search::kShapeNone;
using win_search::kShapeSevenPairs;
using win_search::kShapeStandard;

// Three knitted triples (1-4-7, 2-5-8, 3-6-9) need all three suits, each holding one of them.
// Only asked of hands without wilds.
bool HasKnittedClasses(const card* tiles, int t) {
  int classes[3] = {0, 0, 0};
  for (int i = 0; i < t; ++i) {
    if (IsSuitColor(tiles[i].m_nColor)) classes[tiles[i].m_nColor] |= 1 << (tiles[i].m_nValue - 1);
  }
  for (int mask : classes) {
    if ((mask & 0b001001001) != 0b001001001 && (mask & 0b010010010) != 0b010010010 &&
        (mask & 0b100100100) != 0b100100100) {
      return false;
    }
  }
  return true;
}

// Without wild tiles, a tile with neither a second copy nor a neighbour within two values of
// its suit belongs to no set and no pair: such a hand wins only as a knitted straight.
bool HasLoneTile(const card* tiles, int t) {
  int8_t counts[70] = {};
  for (int i = 0; i < t; ++i) ++counts[tiles[i].m_nColor * 10 + tiles[i].m_nValue];
  for (int i = 0; i < t; ++i) {
    const int32_t color = tiles[i].m_nColor;
    const int32_t value = tiles[i].m_nValue;
    if (counts[color * 10 + value] >= 2) continue;
    if (!IsSuitColor(color)) return true;
    bool near = false;
    for (int32_t v = value - 2; v <= value + 2 && !near; ++v) {
      near = v != value && v >= 1 && v <= 9 && counts[color * 10 + v] > 0;
    }
    if (!near) return true;
  }
  return false;
}

// Whether the hand can win in any way the passes below accept. Every strategy of the passes
// only accepts tiles that can be arranged as seven pairs, as sets and a pair, or as a knitted
// straight with sets and a pair, so a hand that is none of these is turned away before the
// costlier strategies run.
bool MayWin(const card* tiles, int t, int w, bool seven_pairs_allowed) {
  if (win_search::ExhaustiveStandardWin(tiles, t, w, nullptr)) return true;
  GroupList scratch;
  if (seven_pairs_allowed && win_search::SevenPairsWin(tiles, t, w, scratch)) return true;
  return win_search::ExhaustiveKnittedStraightWin(tiles, t, w);
}

}  // namespace

bool CKorvel::CheckHu(const card* tiles, int t, GroupList& groups, int& shape, int w) {
  shape = kShapeNone;
  groups.clear();
  if (tiles == nullptr || t < 0 || t > kMaxWorkTiles || w < 0) return false;
  if (!win_search::AllJudgeable(tiles, t)) return false;
  const bool seven_pairs_allowed = HasNoMeldOrKong();
  // Most hands asked about cannot win; turn them away early. Without wilds a lone tile says
  // so at once; with wilds the whole question is settled first.
  if (w == 0) {
    const int total = t + w;
    if (HasLoneTile(tiles, t) &&
        !((total == 11 || total == 14) && HasKnittedClasses(tiles, t))) {
      return false;
    }
  } else if (!MayWin(tiles, t, w, seven_pairs_allowed)) {
    return false;
  }

  // Two passes over the tiles, sorted ascending and then descending: seven pairs, then the
  // standard hand. Most winning hands are settled by the first strategies of the first pass.
  TileList sorted;
  sorted.assign(tiles, t);
  SortCards(sorted.data(), sorted.size(), true);
  if (seven_pairs_allowed && win_search::SevenPairsWin(sorted.data(), t, w, groups)) {
    shape = kShapeSevenPairs;
    return true;
  }
  bool won = win_search::StandardWinByPartitions(sorted.data(), t, w, groups, shape);
  if (!won) {
    if (w == 0 && !MayWin(tiles, t, w, seven_pairs_allowed)) return false;
    won = win_search::StandardWinByLaterStrategies(sorted.data(), t, w, groups, shape);
  }
  if (!won) {
    SortCards(sorted.data(), sorted.size(), false);
    if (seven_pairs_allowed && win_search::SevenPairsWin(sorted.data(), t, w, groups)) {
      shape = kShapeSevenPairs;
      return true;
    }
    won = win_search::StandardWin(sorted.data(), t, w, groups, shape);
  }
  if (!won) {
    // Both passes missed an arrangement that exists: take the first one the exhaustive
    // search finds, as the eye-first strategy would with a complete search for the sets.
    if (!win_search::ExhaustiveStandardWin(tiles, t, w, &groups)) return false;
    shape = kShapeEyeFirst;
  }
  if (shape == kShapeNone) shape = kShapeStandard;
  OrderGroups(groups);
  return true;
}

bool CKorvel::CheckTing(const card* tiles, int t, GroupList& groups, int w) {
  groups.clear();
  if (tiles == nullptr || t < 0 || t > kMaxWorkTiles || w < 0) return false;
  if (!win_search::AllJudgeable(tiles, t)) return false;
  if (HasNoMeldOrKong() && win_search::SevenPairsReady(tiles, t, w)) return true;
  const int total = t + w;
  if (total == 1) return true;
  if (total != 4 && total != 7 && total != 10 && total != 13) return false;
  // One tile short of sets and a pair: the tiles win with one more wild standing for the
  // tile waited for. The partition counts, the eye-first search and the chow across a gap
  // each accept exactly such hands, and the exhaustive search finds every one of them.
  return win_search::ExhaustiveStandardWin(tiles, t, w + 1, nullptr);
}

void CKorvel::InitFanTable() {
  m_FanTable.clear();
  AppendFanRows(m_FanTable, kKorvelFanRows, kKorvelFanRowsCount);
}

int CKorvel::GetFanScore(FanType type) const {
  static constexpr int kPointsByGrade[] = {22, 16, 12, 8, 6, 4, 3, 2};
  const int grade = type / 100;
  if (grade >= 1 && grade <= 8) return kPointsByGrade[grade - 1];
  return 1;
}

int CKorvel::GetFans(FanType* out, int capacity) const {
  int count = 0;
  auto put = [&](FanType code) {
    if (out != nullptr && count < capacity) out[count] = code;
    ++count;
  };
  for (int i = 0; i < kExtraFlagCount; ++i) {
    if (m_nExtraFlags[i] == 1) put(ExtraFanCode[i]);
  }
  for (int16_t index : m_FoundFans) put(m_FanTable[index].type);
  return count;
}
