// The four-player base's own win and ready tests, fan table and score.
#include "mj_gb.h"
#include "special_shapes.h"
#include "win_search.h"

using namespace win_search;

bool CMj_Gb::CheckHu(const card* tiles, int t, GroupList& groups, int& shape, int w) {
  shape = kShapeNone;
  groups.clear();
  if (tiles == nullptr || t < 0 || t > kMaxWorkTiles || w < 0) return false;
  if (!AllJudgeable(tiles, t)) return false;
  const bool closed = HasNoMeldOrKong();

  // Two passes over the tiles, sorted ascending and then descending: seven pairs, the standard
  // hand, thirteen orphans, knitted tiles.
  TileList sorted;
  sorted.assign(tiles, t);
  bool won = false;
  for (bool ascending : {true, false}) {
    SortCards(sorted.data(), sorted.size(), ascending);
    if (closed && SevenPairsWin(sorted.data(), t, w, groups)) {
      shape = kShapeSevenPairs;
      return true;
    }
    groups.clear();
    if (StandardWin13ByStrategies(sorted.data(), t, w, groups, shape)) {
      won = true;
      break;
    }
    if (closed && ThirteenOrphansWin(sorted.data(), t, w, groups)) {
      shape = kShapeThirteenOrphans;
      return true;
    }
    if (closed && KnittedTilesWin(sorted.data(), t, w, groups)) {
      shape = kShapeKnittedTiles;
      return true;
    }
  }
  // Both passes missed an arrangement that exists: the first one a complete search finds.
  if (!won && !StandardWin13(sorted.data(), t, w, groups, shape)) {
    groups.clear();
    return false;
  }
  if (shape == kShapeNone) shape = kShapeStandard;
  OrderGroups(groups);
  return true;
}

bool CMj_Gb::CheckTing(const card* tiles, int t, GroupList& groups, int w) {
  groups.clear();
  if (tiles == nullptr || t < 0 || t > kMaxWorkTiles || w < 0) return false;
  if (!AllJudgeable(tiles, t)) return false;
  const bool closed = HasNoMeldOrKong();
  // The same two passes as the win test; the special shapes group the tiles in their order.
  TileList sorted;
  sorted.assign(tiles, t);
  for (bool ascending : {true, false}) {
    SortCards(sorted.data(), sorted.size(), ascending);
    if (closed && SevenPairsReady(sorted.data(), t, w)) return true;
    if (StandardReady13(sorted.data(), t, w)) return true;
    if (closed && ThirteenOrphansReady(sorted.data(), t, w)) return true;
    if (closed && KnittedTilesReady(sorted.data(), t, w)) return true;
  }
  return false;
}

void CMj_Gb::InitFanTable() {
  m_FanTable.clear();
  AppendFanRows(m_FanTable, kMjGbFanRows, kMjGbFanRowsCount);
}

int CMj_Gb::CalculateScore(int16_t& banker, int16_t& fans, int16_t& base) {
  banker = m_nBanker == 0 ? 1 : 0;
  base = 2;
  fans = 0;
  m_HuGroups.clear();
  TileList tiles;
  const int w = TakeOutWilds(tiles);
  int shape = kShapeNone;
  if (CheckHu(tiles.data(), tiles.size(), m_HuGroups, shape, w)) {
    fans = static_cast<int16_t>(CountFans(shape, w, tiles.data(), tiles.size(),
                                          m_HuGroups.data(), m_HuGroups.size()));
  } else {
    // A hand that does not win has no fans, whatever an earlier test found.
    m_FoundFans.clear();
  }
  return m_nHuType == HuSelfDrawn ? 2 * base + 2 * fans : base + fans;
}
