// The four-player base's own win and ready tests, fan table and score.
#include "face_counts.h"
#include "mj_gb.h"
#include "packed_faces.h"
#include "special_shapes.h"
#include "win_search.h"

using namespace win_search;

bool CMj_Gb::CheckHu(const card* tiles, int t, GroupList& groups, int& shape, int w) {
  shape = kShapeNone;
  groups.clear();
  if (tiles == nullptr || t < 0 || t > kMaxWorkTiles || w < 0) return false;
  const bool closed = HasNoMeldOrKong();

  // Most winning hands are sets and a pair that the first strategies settle: they are asked
  // first, on the packed counts. (Seven pairs come before them, and are left to the rest.)
  PackedFaces packed;
  const bool was_packed = w == 0 && t <= 14 && PackFaces(tiles, t, packed);
  // The counts rule out sets and a pair (and the knitted straight with them).
  bool no_standard = false;
  if (was_packed) {
    const bool seven_pairs = closed && PackedSevenPairs(packed, t);
    if (!seven_pairs) {
      shape = PackedStandardWin(packed, t, groups);
      if (shape != kShapeNone) return true;
    }
    // Then only seven pairs, thirteen orphans (all terminals and honours) or knitted tiles
    // are left, and most hands are none of them.
    no_standard = PackedNoSetsAndPair(packed);
    if (no_standard && !seven_pairs &&
        !(closed && (PackedAllTerminalsOrHonours(packed) || PackedMayBeKnittedTiles(packed)))) {
      return false;
    }
  }

  // Without wilds, the counts of the faces turn away at once a hand that is none of the
  // shapes: not sets and a pair (nor a knitted straight with them), not seven pairs, not all
  // terminals and honours (thirteen orphans), not knitted and honour tiles all different.
  FaceCounts counts;
  const int total = t + w;
  bool counted = false;
  if (w == 0 && total <= 14) {
    if (was_packed) UnpackFaces(packed, t, counts);
    counted = was_packed || CountFaces(tiles, t, counts);
  }
  if (!counted && !AllJudgeable(tiles, t)) return false;  // 34-face tiles are judgeable
  bool standard_possible = true;
  bool seven_pairs_possible = closed;
  // The standard hand of the first pass has been looked for, and not found.
  bool first_pass_missed = false;
  if (counted) {
    seven_pairs_possible = closed && FacesSevenPairs(counts);
    // Most winning hands are sets and a pair that the first pass settles: it runs on the
    // counts first. A hand it settles is sets and a pair (or a knitted straight with them),
    // so unless a face is held more than eight times the standard hand is looked for, and
    // this is the first look.
    bool partitions_lost = false;
    if (!seven_pairs_possible && !no_standard) {
      if (PartitionWinOfFaces(counts, PartitionKind::SequencesFirst, groups)) {
        shape = kShapeSequencesFirst;
      } else if (PartitionWinOfFaces(counts, PartitionKind::PungsFirst, groups)) {
        shape = kShapePungsFirst;
      } else {
        partitions_lost = true;
      }
      if (!partitions_lost && !FacesHoldsMoreThanEight(counts)) return true;
      groups.clear();
      shape = kShapeNone;
    }
    if (!seven_pairs_possible && !no_standard && FacesResiduesAllowWin(counts)) {
      if (StandardWinOfFaces(counts, true, groups, shape, partitions_lost)) {
        if (!FacesHoldsMoreThanEight(counts)) {
          if (shape == kShapeNone) shape = kShapeStandard;
          OrderGroups(groups);
          return true;
        }
      } else {
        first_pass_missed = true;
      }
      groups.clear();
      shape = kShapeNone;
    }
    // As the 13-tile test's own check: the complete search takes no face held more than
    // eight times.
    standard_possible = !no_standard && ((FacesWin(counts) && FacesMostCopies(counts) <= 8) ||
                                         FacesKnittedStraightWin(counts));
    const bool may_win =
        standard_possible ||
        seven_pairs_possible ||
        (closed && (FacesAllTerminalsOrHonours(counts) || FacesMayBeKnittedTiles(counts)));
    if (!may_win) return false;
  }

  // Two passes over the tiles, sorted ascending and then descending: seven pairs, the standard
  // hand, thirteen orphans, knitted tiles.
  TileList sorted;
  sorted.assign(tiles, t);
  bool won = false;
  for (bool ascending : {true, false}) {
    if (counted) {
      SortedTiles(counts, ascending, sorted.data());
    } else {
      SortCards(sorted.data(), sorted.size(), ascending);
    }
    if (seven_pairs_possible && SevenPairsWin(sorted.data(), t, w, groups)) {
      shape = kShapeSevenPairs;
      return true;
    }
    groups.clear();
    // (On the counts, the standard hand of 2 to 14 tiles is what the strategies answer.)
    if (standard_possible &&
        (counted ? !(ascending && first_pass_missed) &&
                       StandardWinOfFaces(counts, ascending, groups, shape)
                 : StandardWin13ByStrategies(sorted.data(), t, w, groups, shape, false))) {
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
  if (!won && (!standard_possible || !StandardWin13(sorted.data(), t, w, groups, shape))) {
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
  const bool closed = HasNoMeldOrKong();
  FaceCounts counts;
  if (w == 0 && t <= 13 && CountFaces(tiles, t, counts)) {
    // The same questions on the counts of the faces. Thirteen orphans need every tile a
    // terminal or an honour, knitted tiles every tile different and each suit's tiles of one
    // class: only then are they asked.
    if (t == 1) return true;
    if (t % 3 == 1 && FacesReady(counts)) return true;
    if (!closed || t != 13) return false;
    if (counts.pairs == 6) return true;  // six pairs and a single
    if (FacesAllTerminalsOrHonours(counts) && ThirteenOrphansReady(tiles, t, 0)) return true;
    return FacesMayBeKnittedTiles(counts) && KnittedTilesReady(tiles, t, 0);
  }
  if (!AllJudgeable(tiles, t)) return false;
  // The two passes of the win test; every one of these tests answers the same whatever the
  // order of the tiles, so the second pass only repeats the first.
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
