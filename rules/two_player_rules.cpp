#include "two_player_rules.h"

#include "face_counts.h"
#include "packed_faces.h"
#include "win_search.h"

namespace {

using win_search::kShapeEyeFirst;
using win_search::kShapeNone;
using win_search::kShapeSevenPairs;
using win_search::kShapeStandard;
using win_search::PartitionKind;

// Whether the hand can win in any way the passes below accept. Every strategy of the passes
// only accepts tiles that can be arranged as seven pairs, as sets and a pair, or as a knitted
// straight with sets and a pair, so a hand that is none of these is turned away before the
// costlier strategies run.
bool MayWin(const card* tiles, int t, int w, bool seven_pairs_allowed) {
  // With one wild tile, sets and a pair are the real tiles one tile short of them (the wild
  // is that tile), which the counts answer at once.
  win_search::FaceCounts counts;
  if (w == 1 && t + w <= 14 && win_search::CountFaces(tiles, t, counts)) {
    if (win_search::FacesReady(counts)) return true;
  } else if (win_search::ExhaustiveStandardWin(tiles, t, w, nullptr)) {
    return true;
  }
  GroupList scratch;
  if (seven_pairs_allowed && win_search::SevenPairsWin(tiles, t, w, scratch)) return true;
  return win_search::ExhaustiveKnittedStraightWin(tiles, t, w);
}

}  // namespace

bool CKorvel::CheckHu(const card* tiles, int t, GroupList& groups, int& shape, int w) {
  shape = kShapeNone;
  groups.clear();
  if (tiles == nullptr || t < 0 || t > kMaxWorkTiles || w < 0) return false;
  const bool seven_pairs_allowed = HasNoMeldOrKong();
  // Most winning hands are sets and a pair that the first strategies settle: they are asked
  // first, on the packed counts. (Seven pairs come before them, and are left to the rest.)
  win_search::PackedFaces packed;
  const bool was_packed = w == 0 && win_search::PackFaces(tiles, t, packed);
  if (was_packed && !(seven_pairs_allowed && win_search::PackedSevenPairs(packed, t))) {
    shape = win_search::PackedStandardWin(packed, t, groups);
    if (shape != kShapeNone) return true;
    // Counts that rule out sets and a pair (and the knitted straight with them) leave nothing
    // but seven pairs, which this hand is not.
    if (win_search::PackedNoSetsAndPair(packed)) return false;
  }
  // Most hands asked about cannot win; turn them away first. Without wilds the counts of the
  // faces settle the question at once (a hand of the 34 faces is judgeable); with wilds the
  // searches do.
  TileList sorted;
  win_search::FaceCounts counts;
  if (was_packed) win_search::UnpackFaces(packed, t, counts);
  const bool counted = was_packed || (w == 0 && win_search::CountFaces(tiles, t, counts));
  // Seven pairs answer the same in both passes (they are counted).
  bool seven_pairs = false;
  // Whether the standard hand of the first pass has been looked for already.
  bool first_pass_run = false;
  if (counted) {
    seven_pairs = seven_pairs_allowed && win_search::FacesSevenPairs(counts);
    // Most winning hands are sets and a pair that the first pass settles: it runs on the
    // counts first, and a hand it settles needs no other look.
    if (!seven_pairs) {
      if (win_search::PartitionWinOfFaces(counts, PartitionKind::SequencesFirst, groups)) {
        shape = win_search::kShapeSequencesFirst;
        return true;
      }
      if (win_search::PartitionWinOfFaces(counts, PartitionKind::PungsFirst, groups)) {
        shape = win_search::kShapePungsFirst;
        return true;
      }
    }
    if (!seven_pairs && win_search::FacesResiduesAllowWin(counts)) {
      if (win_search::StandardWinOfFaces(counts, true, groups, shape, true)) {
        if (shape == kShapeNone) shape = kShapeStandard;
        OrderGroups(groups);
        return true;
      }
      first_pass_run = true;
    }
    const bool may_win =
        win_search::FacesWin(counts) || seven_pairs || win_search::FacesKnittedStraightWin(counts);
    if (!may_win) return false;
    if (seven_pairs) {
      sorted.assign(tiles, t);
      win_search::SortedTiles(counts, true, sorted.data());
    }
  } else {
    if (!win_search::AllJudgeable(tiles, t)) return false;
    if (!MayWin(tiles, t, w, seven_pairs_allowed)) return false;
    sorted.assign(tiles, t);
    SortCards(sorted.data(), sorted.size(), true);
    seven_pairs = seven_pairs_allowed && win_search::SevenPairsWin(sorted.data(), t, w, groups);
  }

  // Two passes over the tiles, sorted ascending and then descending: seven pairs, then the
  // standard hand (on the counts when there are no wilds).
  if (seven_pairs && win_search::SevenPairsWin(sorted.data(), t, w, groups)) {
    shape = kShapeSevenPairs;
    return true;
  }
  bool won = false;
  if (counted) {
    won = !first_pass_run && win_search::StandardWinOfFaces(counts, true, groups, shape);
    if (!won) won = win_search::StandardWinOfFaces(counts, false, groups, shape);
  } else {
    won = win_search::StandardWin(sorted.data(), t, w, groups, shape);
    if (!won) {
      SortCards(sorted.data(), sorted.size(), false);
      won = win_search::StandardWin(sorted.data(), t, w, groups, shape);
    }
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
  win_search::FaceCounts counts;
  if (w == 0 && win_search::CountFaces(tiles, t, counts)) {
    // The same questions on the counts of the faces (tiles of the 34 faces are judgeable).
    if (HasNoMeldOrKong() && t == 13) {
      if (counts.pairs == 6) return true;  // six pairs and a single
    }
    if (t == 1) return true;
    return (t == 4 || t == 7 || t == 10 || t == 13) && win_search::FacesReady(counts);
  }
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
