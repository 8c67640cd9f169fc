// Many random hands against a small exhaustive checker written here, apart from the engine:
// every hand the win test accepts must really be seven pairs, sets and a pair, or a knitted
// straight with a set and a pair, and the groups it reports must be such an arrangement of
// exactly its tiles; and every hand the checker accepts must be accepted. The same for the
// ready test (one more tile of any face), and for hands with one wild tile. The four-player
// base's own tests are held to the same, with thirteen orphans and knitted tiles added.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>
#include <vector>

#include "face_counts.h"
#include "korvel_rules.h"
#include "packed_faces.h"
#include "special_shapes.h"
#include "tile_notation.h"

namespace {

// ---- the checker: tile counts over the 34 faces -------------------------------------------

constexpr int kFaces = 34;  // 27 suit tiles, 4 winds, 3 dragons
using Counts = std::array<int, kFaces>;

int FaceOf(const card& c) {
  if (c.m_nColor <= 2) return c.m_nColor * 9 + c.m_nValue - 1;
  if (c.m_nColor == 3) return 27 + c.m_nValue - 1;
  return 31 + c.m_nValue - 1;
}

card CardOf(int face) {
  if (face < 27) return {face / 9, face % 9 + 1};
  if (face < 31) return {3, face - 27 + 1};
  return {4, face - 31 + 1};
}

Counts CountsOf(const std::vector<card>& tiles) {
  Counts c{};
  for (const card& t : tiles) ++c[FaceOf(t)];
  return c;
}

int Total(const Counts& c) {
  int n = 0;
  for (int v : c) n += v;
  return n;
}

bool SetsOnly(Counts& c) {
  int i = 0;
  while (i < kFaces && c[i] == 0) ++i;
  if (i == kFaces) return true;
  if (c[i] >= 3) {
    c[i] -= 3;
    const bool ok = SetsOnly(c);
    c[i] += 3;
    if (ok) return true;
  }
  if (i < 27 && i % 9 <= 6 && c[i + 1] > 0 && c[i + 2] > 0) {
    --c[i], --c[i + 1], --c[i + 2];
    const bool ok = SetsOnly(c);
    ++c[i], ++c[i + 1], ++c[i + 2];
    if (ok) return true;
  }
  return false;
}

bool SetsAndAPair(Counts c) {
  if (Total(c) % 3 != 2) return false;
  for (int i = 0; i < kFaces; ++i) {
    if (c[i] < 2) continue;
    c[i] -= 2;
    const bool ok = SetsOnly(c);
    c[i] += 2;
    if (ok) return true;
  }
  return false;
}

bool SevenPairs(const Counts& c) {
  if (Total(c) != 14) return false;
  for (int v : c) {
    if (v % 2 != 0) return false;
  }
  return true;
}

bool KnittedStraight(Counts c) {
  if (Total(c) != 14) return false;
  std::array<int, 3> start = {1, 2, 3};
  do {
    Counts rest = c;
    bool all = true;
    for (int suit = 0; suit < 3; ++suit) {
      for (int v = start[suit]; v <= 9; v += 3) {
        int& n = rest[suit * 9 + v - 1];
        if (n == 0) all = false;
        else --n;
      }
    }
    if (all && SetsAndAPair(rest)) return true;
  } while (std::next_permutation(start.begin(), start.end()));
  return false;
}

bool Wins(const Counts& c) { return SevenPairs(c) || SetsAndAPair(c) || KnittedStraight(c); }

// The four-player base's special shapes. Thirteen orphans: every terminal and honour once, and
// one honour twice (a second terminal is no pair there).
bool IsOrphan(int face) { return face >= 27 || face % 9 == 0 || face % 9 == 8; }

bool ThirteenOrphans(const Counts& c) {
  if (Total(c) != 14) return false;
  for (int face = 0; face < kFaces; ++face) {
    if (IsOrphan(face) ? (c[face] < 1 || c[face] > 2) : c[face] != 0) return false;
    if (face < 27 && c[face] == 2) return false;
  }
  return true;
}

// Knitted tiles: fourteen different tiles out of the honours and one knitted straight.
bool KnittedTiles(const Counts& c) {
  if (Total(c) != 14) return false;
  for (int v : c) {
    if (v > 1) return false;
  }
  std::array<int, 3> start = {1, 2, 3};
  do {
    bool fits = true;
    for (int face = 0; face < 27 && fits; ++face) {
      const int suit = face / 9;
      const int value = face % 9 + 1;
      fits = c[face] == 0 || (value - start[suit]) % 3 == 0;
    }
    if (fits) return true;
  } while (std::next_permutation(start.begin(), start.end()));
  return false;
}

bool BaseWins(const Counts& c) { return Wins(c) || ThirteenOrphans(c) || KnittedTiles(c); }

// ---- hands -------------------------------------------------------------------------------

class HandMaker {
 public:
  explicit HandMaker(uint32_t seed) : random_(seed) {}

  // Fourteen (or n) tiles from a set of four copies of the faces chosen.
  std::vector<card> Draw(int n, int first_face, int faces) {
    std::vector<int> wall;
    for (int f = first_face; f < first_face + faces; ++f) {
      for (int k = 0; k < 4; ++k) wall.push_back(f);
    }
    std::shuffle(wall.begin(), wall.end(), random_);
    std::vector<card> out;
    for (int i = 0; i < n; ++i) out.push_back(CardOf(wall[i]));
    return out;
  }

  // Four (or `sets`) sets and a pair, built at random with no face used more than four times.
  std::vector<card> WinningHand(int sets = 4) {
    for (;;) {
      Counts used{};
      std::vector<card> out;
      bool ok = true;
      for (int s = 0; s < sets && ok; ++s) {
        if (Pick(2) == 0) {
          const int suit = Pick(3);
          const int low = Pick(7);
          for (int k = 0; k < 3; ++k) {
            const int face = suit * 9 + low + k;
            ok = ok && ++used[face] <= 4;
            out.push_back(CardOf(face));
          }
        } else {
          const int face = Pick(kFaces);
          used[face] += 3;
          ok = ok && used[face] <= 4;
          for (int k = 0; k < 3; ++k) out.push_back(CardOf(face));
        }
      }
      const int eye = Pick(kFaces);
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

  // A mix of hands: any tiles, tiles of one suit, one suit with honours, and winning hands.
  std::vector<card> Mixed(int n) {
    switch (Pick(4)) {
      case 0: return Draw(n, 0, kFaces);
      case 1: return Draw(n, 9 * Pick(3), 9);
      case 2: {
        std::vector<card> tiles = Draw(n, 9 * Pick(3), 9);
        for (int i = 0; i < 3; ++i) tiles[Pick(n)] = CardOf(27 + Pick(7));
        return tiles;
      }
      default: {
        std::vector<card> tiles = WinningHand();
        tiles.resize(n);
        return tiles;
      }
    }
  }

  // Near the base's special shapes: thirteen orphans or knitted tiles, with one face at
  // random in place of one tile now and then.
  std::vector<card> SpecialHand(int n) {
    std::vector<int> faces;
    if (Pick(2) == 0) {
      for (int face = 0; face < kFaces; ++face) {
        if (face >= 27 || face % 9 == 0 || face % 9 == 8) faces.push_back(face);
      }
      faces.push_back(Pick(3) == 0 ? Pick(kFaces) : 27 + Pick(7));
    } else {
      std::array<int, 3> start = {0, 1, 2};
      std::shuffle(start.begin(), start.end(), random_);
      for (int suit = 0; suit < 3; ++suit) {
        for (int v = start[suit]; v < 9; v += 3) faces.push_back(suit * 9 + v);
      }
      for (int face = 27; face < kFaces; ++face) faces.push_back(face);
      std::shuffle(faces.begin(), faces.end(), random_);
      faces.resize(14);
    }
    if (Pick(3) == 0) faces[Pick(static_cast<int>(faces.size()))] = Pick(kFaces);
    std::shuffle(faces.begin(), faces.end(), random_);
    std::vector<card> out;
    for (int i = 0; i < n; ++i) out.push_back(CardOf(faces[i]));
    return out;
  }

  // n tiles of a few neighbouring faces of one suit (now and then an honour), up to eight
  // copies of a face.
  std::vector<card> Crowded(int n) {
    const int first = 9 * Pick(3) + Pick(6);
    const int faces = 2 + Pick(3);
    Counts used{};
    std::vector<card> out;
    while (static_cast<int>(out.size()) < n) {
      const int face = Pick(6) == 0 ? 27 + Pick(7) : first + Pick(faces);
      if (used[face] == 8) continue;
      ++used[face];
      out.push_back(CardOf(face));
    }
    return out;
  }

  // The mix of Mixed with the special shapes added.
  std::vector<card> BaseMixed(int n) { return Pick(4) == 0 ? SpecialHand(n) : Mixed(n); }

  int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }

 private:
  std::mt19937 random_;
};

// ---- the groups reported -----------------------------------------------------------------

bool IsSet(const MeldGroup& g) {
  return (g.m_nValues == 1 && g.m_nCopies == 3) ||
         (g.m_nValues == 3 && g.m_nCopies == 1 && g.m_nStep == 1);
}
bool IsPair(const MeldGroup& g) { return g.m_nValues == 1 && g.m_nCopies == 2; }
bool IsKnittedTriple(const MeldGroup& g) {
  return g.m_nValues == 3 && g.m_nCopies == 1 && g.m_nStep == 3;
}

// The groups are an arrangement of exactly the tiles, in the shape reported.
::testing::AssertionResult IsArrangementOf(const GroupList& groups, int shape,
                                           const std::vector<card>& tiles) {
  Counts expanded{};
  int sets = 0, pairs = 0, knitted = 0, other = 0;
  for (const MeldGroup& g : groups) {
    FixedList<card, 16> own;
    AppendGroupTiles(g, own);
    for (const card& c : own) {
      if (!IsValidTile(c) || IsWildCard(c)) return ::testing::AssertionFailure() << "bad tile";
      ++expanded[FaceOf(c)];
    }
    if (IsSet(g)) ++sets;
    else if (IsPair(g)) ++pairs;
    else if (IsKnittedTriple(g)) ++knitted;
    else ++other;
  }
  if (expanded != CountsOf(tiles)) return ::testing::AssertionFailure() << "other tiles";
  const int n = static_cast<int>(tiles.size());
  bool ok = false;
  if (shape == win_search::kShapeSevenPairs) {
    ok = pairs == 7 && sets + knitted + other == 0;
  } else if (shape == win_search::kShapeKnittedStraight) {
    ok = knitted == 3 && pairs == 1 && other == 0 && 3 * sets + 11 == n;
  } else {
    ok = win_search::IsStandardShape(shape) && pairs == 1 && knitted + other == 0 &&
         3 * sets + 2 == n;
  }
  if (!ok) return ::testing::AssertionFailure() << "shape " << shape;
  return ::testing::AssertionSuccess();
}

constexpr int kHands = 20000;

TEST(WinPropertyTest, AcceptedHandsAreRealArrangementsAndNoneIsMissed) {
  HandMaker maker(20240611);
  CKorvel rules;
  rules.StartNewHand();
  int accepted = 0;
  for (int i = 0; i < kHands; ++i) {
    std::vector<card> tiles = maker.Mixed(14);
    GroupList groups;
    int shape = 0;
    const bool engine = rules.CheckHu(tiles.data(), 14, groups, shape, 0);
    const bool checker = Wins(CountsOf(tiles));
    ASSERT_EQ(engine, checker) << TilesText(tiles);
    if (engine) {
      ++accepted;
      ASSERT_TRUE(IsArrangementOf(groups, shape, tiles))
          << TilesText(tiles) << " -> " << GroupsText(groups);
    }
  }
  EXPECT_GT(accepted, kHands / 5);  // the mix keeps the winning side well covered
}

TEST(WinPropertyTest, ReadyHandsAreOneFaceShort) {
  HandMaker maker(7);
  CKorvel rules;
  rules.StartNewHand();
  int ready = 0;
  for (int i = 0; i < kHands; ++i) {
    std::vector<card> tiles = maker.Mixed(13);
    GroupList groups;
    const bool engine = rules.CheckTing(tiles.data(), 13, groups, 0);
    Counts c = CountsOf(tiles);
    bool checker = false;
    for (int face = 0; face < kFaces && !checker; ++face) {
      ++c[face];
      checker = SevenPairs(c) || SetsAndAPair(c);
      --c[face];
    }
    ASSERT_EQ(engine, checker) << TilesText(tiles);
    ready += engine ? 1 : 0;
  }
  EXPECT_GT(ready, kHands / 10);
}

TEST(WinPropertyTest, OneWildTileStandsForAnyFace) {
  HandMaker maker(99);
  CKorvel rules;
  rules.StartNewHand();
  for (int i = 0; i < kHands / 4; ++i) {
    std::vector<card> tiles = maker.Mixed(13);
    GroupList groups;
    int shape = 0;
    const bool engine = rules.CheckHu(tiles.data(), 13, groups, shape, 1);
    Counts c = CountsOf(tiles);
    bool any = false;
    bool plain = false;
    for (int face = 0; face < kFaces; ++face) {
      ++c[face];
      any = any || Wins(c);
      plain = plain || SevenPairs(c) || SetsAndAPair(c);
      --c[face];
    }
    if (engine) ASSERT_TRUE(any) << TilesText(tiles);
    if (plain) ASSERT_TRUE(engine) << TilesText(tiles);
  }
}

// The count-based answers under the win and ready tests say what the complete searches say,
// for every hand size they are asked about.
TEST(FaceCountsPropertyTest, CountsAnswerAsTheCompleteSearches) {
  HandMaker maker(34);
  for (int i = 0; i < kHands; ++i) {
    const int sizes[] = {2, 5, 8, 11, 14, 1, 4, 7, 10, 13, 3, 6, 9, 12};
    const int n = sizes[maker.Pick(14)];
    // Now and then a crowded hand (up to eight copies of a face), which the suit table does
    // not hold.
    std::vector<card> tiles = maker.Pick(8) == 0 ? maker.Crowded(n) : maker.Mixed(14);
    tiles.resize(n);
    win_search::FaceCounts counts;
    ASSERT_TRUE(win_search::CountFaces(tiles.data(), n, counts));
    if (n % 3 == 0) {
      ASSERT_EQ(win_search::FacesSetsOnly(counts),
                win_search::ExhaustiveSetsOnly(tiles.data(), n, 0, n / 3))
          << TilesText(tiles);
    } else if (n % 3 == 2) {
      const bool win = win_search::FacesWin(counts);
      ASSERT_EQ(win, win_search::ExhaustiveStandardWin(tiles.data(), n, 0, nullptr))
          << TilesText(tiles);
      if (win) ASSERT_TRUE(win_search::FacesResiduesAllowWin(counts)) << TilesText(tiles);
      ASSERT_EQ(win_search::FacesKnittedStraightWin(counts),
                win_search::ExhaustiveKnittedStraightWin(tiles.data(), n, 0))
          << TilesText(tiles);
      GroupList pairs;
      ASSERT_EQ(win_search::FacesSevenPairs(counts),
                win_search::SevenPairsWin(tiles.data(), n, 0, pairs))
          << TilesText(tiles);
    } else {
      ASSERT_EQ(win_search::FacesReady(counts),
                win_search::ExhaustiveStandardWin(tiles.data(), n, 1, nullptr))
          << TilesText(tiles);
    }
  }
}

// ---- the shortcuts on counts --------------------------------------------------------------

// The partitions of sorted tiles are taken from their counts: they answer exactly as the
// groupings run tile by tile, either way sorted, with honours, flowers and crowded faces.
TEST(CountShortcutsTest, PartitionsOfSortedTilesAnswerAsTheGroupings) {
  std::mt19937 random(2026);
  auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
  for (int i = 0; i < kHands; ++i) {
    // Mostly a narrow window of values, so that runs and gaps are common.
    const int low = pick(9);
    const int width = 1 + pick(9);
    const int colors = 1 + pick(3);
    std::vector<card> tiles(pick(kMaxWorkTiles + 1));
    for (card& c : tiles) {
      const int k = pick(10);
      if (k < 7) {
        c = {pick(colors), std::min(low + pick(width), 8) + 1};
      } else if (k < 9) {
        c = {ColorWinds + pick(2), 1 + pick(3)};
      } else {
        c = {ColorSeasons + pick(2), 1 + pick(4)};
      }
    }
    const bool ascending = pick(2) == 0;
    SortCards(tiles.data(), static_cast<int>(tiles.size()), ascending);
    for (auto kind : {win_search::PartitionKind::SequencesFirst,
                      win_search::PartitionKind::PungsFirst}) {
      win_search::Partition fast, slow;
      const int t = static_cast<int>(tiles.size());
      win_search::PartitionTiles(tiles.data(), t, kind, fast);
      win_search::PartitionTilesByGrouping(tiles.data(), t, kind, slow);
      ASSERT_EQ(fast.sets, slow.sets) << TilesText(tiles);
      ASSERT_EQ(fast.pieces, slow.pieces) << TilesText(tiles);
      ASSERT_EQ(fast.pairs, slow.pairs) << TilesText(tiles);
      ASSERT_EQ(fast.singles, slow.singles) << TilesText(tiles);
      ASSERT_EQ(fast.groups.size(), slow.groups.size()) << TilesText(tiles);
      for (int g = 0; g < fast.groups.size(); ++g) {
        ASSERT_TRUE(fast.groups[g] == slow.groups[g]) << TilesText(tiles) << " group " << g;
      }
    }
  }
}

// The standard hand on the counts of the faces answers as the strategies on the tiles sorted
// the same way: the verdict, the shape and the groups; and the partitions with their groups
// in the usual order.
TEST(CountShortcutsTest, StandardHandOnCountsAnswersAsOnSortedTiles) {
  HandMaker maker(7);
  auto same = [](const GroupList& a, const GroupList& b) {
    if (a.size() != b.size()) return false;
    for (int g = 0; g < a.size(); ++g) {
      if (!(a[g] == b[g])) return false;
    }
    return true;
  };
  for (int i = 0; i < kHands; ++i) {
    const int sizes[] = {2, 5, 8, 11, 14};
    const int n = sizes[maker.Pick(5)];
    std::vector<card> tiles = maker.Pick(8) == 0 ? maker.Crowded(n) : maker.Mixed(14);
    tiles.resize(n);
    win_search::FaceCounts counts;
    ASSERT_TRUE(win_search::CountFaces(tiles.data(), n, counts));
    for (bool ascending : {true, false}) {
      std::vector<card> sorted(n);
      win_search::SortedTiles(counts, ascending, sorted.data());
      GroupList on_tiles, on_counts;
      int tiles_shape = 0, counts_shape = 0;
      const bool by_tiles =
          win_search::StandardWin(sorted.data(), n, 0, on_tiles, tiles_shape);
      ASSERT_EQ(win_search::StandardWinOfFaces(counts, ascending, on_counts, counts_shape),
                by_tiles)
          << TilesText(tiles);
      if (!by_tiles) continue;
      ASSERT_EQ(counts_shape, tiles_shape) << TilesText(tiles);
      ASSERT_TRUE(same(on_counts, on_tiles)) << TilesText(tiles);
    }
    if (n < 5) continue;
    std::vector<card> sorted(n);
    win_search::SortedTiles(counts, true, sorted.data());
    for (auto kind : {win_search::PartitionKind::SequencesFirst,
                      win_search::PartitionKind::PungsFirst}) {
      win_search::Partition part;
      win_search::PartitionTiles(sorted.data(), n, kind, part);
      const bool wins = win_search::PartitionWins(part, (n - 2) / 3, 0);
      GroupList ordered;
      ASSERT_EQ(win_search::PartitionWinOfFaces(counts, kind, ordered), wins) << TilesText(tiles);
      if (!wins) continue;
      OrderGroups(part.groups);
      ASSERT_TRUE(same(ordered, part.groups)) << TilesText(tiles);
    }
  }
}

// The counts packed four bits a face: spread out, they are the counts, and the questions
// asked of them answer as on the counts; the standard hand's first strategies on them answer
// as on the counts (an ascending pass, the groups in the usual order), settling every hand
// those win with no face held more than four times.
TEST(CountShortcutsTest, PackedCountsAnswerAsTheCounts) {
  HandMaker maker(11);
  for (int i = 0; i < kHands; ++i) {
    const int sizes[] = {5, 8, 11, 14};
    const int n = sizes[maker.Pick(4)];
    std::vector<card> tiles;
    switch (maker.Pick(5)) {
      case 0: tiles = maker.Crowded(n); break;
      case 1: tiles = maker.Mixed(14); break;
      case 2: tiles = maker.SpecialHand(n); break;
      default:
        // Winning hands, some with one tile changed.
        tiles = maker.WinningHand((n - 2) / 3);
        if (maker.Pick(4) == 0) tiles[maker.Pick(n)] = CardOf(maker.Pick(kFaces));
        break;
    }
    tiles.resize(n);
    win_search::PackedFaces packed;
    ASSERT_TRUE(win_search::PackFaces(tiles.data(), n, packed)) << TilesText(tiles);
    win_search::FaceCounts counts, unpacked;
    win_search::UnpackFaces(packed, n, unpacked);
    const Counts expected = CountsOf(tiles);
    uint64_t present = 0;
    int pairs = 0;
    for (int f = 0; f < kFaces; ++f) {
      ASSERT_EQ(unpacked.n[f], expected[f]) << TilesText(tiles) << " face " << f;
      present |= expected[f] > 0 ? uint64_t{1} << f : 0;
      pairs += expected[f] / 2;
    }
    ASSERT_EQ(unpacked.present, present) << TilesText(tiles);
    ASSERT_EQ(unpacked.pairs, pairs) << TilesText(tiles);
    ASSERT_EQ(unpacked.total, n);

    ASSERT_TRUE(win_search::CountFaces(tiles.data(), n, counts));
    ASSERT_EQ(win_search::PackedAllTerminalsOrHonours(packed),
              win_search::FacesAllTerminalsOrHonours(counts))
        << TilesText(tiles);
    ASSERT_EQ(win_search::PackedMayBeKnittedTiles(packed),
              win_search::FacesMayBeKnittedTiles(counts))
        << TilesText(tiles);
    if (win_search::PackedNoSetsAndPair(packed)) {
      ASSERT_FALSE(win_search::FacesWin(counts)) << TilesText(tiles);
      ASSERT_FALSE(win_search::FacesKnittedStraightWin(counts)) << TilesText(tiles);
    }
    GroupList on_counts, on_packed;
    int counts_shape = win_search::kShapeNone;
    const bool wins = win_search::StandardWinOfFaces(counts, true, on_counts, counts_shape);
    OrderGroups(on_counts);
    const int packed_shape = win_search::PackedStandardWin(packed, n, on_packed);
    const bool settled = wins && *std::max_element(expected.begin(), expected.end()) <= 4 &&
                         counts_shape >= win_search::kShapeSequencesFirst &&
                         counts_shape <= win_search::kShapeEyeFirst;
    ASSERT_EQ(packed_shape, settled ? counts_shape : win_search::kShapeNone) << TilesText(tiles);
    if (!settled) continue;
    ASSERT_EQ(on_packed.size(), on_counts.size()) << TilesText(tiles);
    for (int g = 0; g < on_packed.size(); ++g) {
      ASSERT_TRUE(on_packed[g] == on_counts[g]) << TilesText(tiles) << " group " << g;
    }
  }
  // A tile of no face is not packed.
  for (const card odd : {card{ColorSeasons, 1}, card{ColorWild, 1}, card{ColorDots, 10},
                         card{8, 1}, card{-1, -1}, card{ColorBamboo, 0}}) {
    std::vector<card> tiles = maker.WinningHand();
    tiles[maker.Pick(14)] = odd;
    win_search::PackedFaces packed;
    ASSERT_FALSE(win_search::PackFaces(tiles.data(), 14, packed)) << TilesText(tiles);
  }
}

// The four-player base: the same properties with thirteen orphans and knitted tiles added.
TEST(BaseWinPropertyTest, AcceptedHandsAreRealArrangementsAndNoneIsMissed) {
  HandMaker maker(20241210);
  CMj_Gb rules;
  rules.StartNewHand();
  int special = 0;
  for (int i = 0; i < kHands; ++i) {
    std::vector<card> tiles = maker.BaseMixed(14);
    GroupList groups;
    int shape = 0;
    const bool engine = rules.CheckHu(tiles.data(), 14, groups, shape, 0);
    const Counts c = CountsOf(tiles);
    ASSERT_EQ(engine, BaseWins(c)) << TilesText(tiles);
    if (!engine) continue;
    if (shape == win_search::kShapeThirteenOrphans || shape == win_search::kShapeKnittedTiles) {
      ++special;
      ASSERT_EQ(shape == win_search::kShapeThirteenOrphans, ThirteenOrphans(c))
          << TilesText(tiles);
      Counts spread{};
      for (const MeldGroup& g : groups) {
        FixedList<card, 16> own;
        AppendGroupTiles(g, own);
        for (const card& t : own) ++spread[FaceOf(t)];
      }
      ASSERT_EQ(spread, c) << TilesText(tiles) << " -> " << GroupsText(groups);
    } else {
      ASSERT_TRUE(IsArrangementOf(groups, shape, tiles))
          << TilesText(tiles) << " -> " << GroupsText(groups);
    }
  }
  EXPECT_GT(special, kHands / 100);
}

TEST(BaseWinPropertyTest, ReadyHandsAreOneFaceShort) {
  HandMaker maker(8);
  CMj_Gb rules;
  rules.StartNewHand();
  for (int i = 0; i < kHands; ++i) {
    std::vector<card> tiles = maker.BaseMixed(13);
    GroupList groups;
    const bool engine = rules.CheckTing(tiles.data(), 13, groups, 0);
    Counts c = CountsOf(tiles);
    bool checker = false;
    for (int face = 0; face < kFaces && !checker; ++face) {
      ++c[face];
      checker = SevenPairs(c) || SetsAndAPair(c) || ThirteenOrphans(c) || KnittedTiles(c);
      --c[face];
    }
    ASSERT_EQ(engine, checker) << TilesText(tiles);
  }
}

// Fifteen tiles hold one kong's fourth tile: four real copies of a face are the kong and the
// rest must be three sets and a pair; nothing else wins.
TEST(BaseWinPropertyTest, FifteenTilesWinOnlyWithAKongAndSetsAndAPair) {
  HandMaker maker(15);
  CMj_Gb rules;
  rules.StartNewHand();
  int accepted = 0;
  for (int i = 0; i < kHands / 4; ++i) {
    std::vector<card> tiles = maker.Pick(2) == 0 ? maker.WinningHand() : maker.Mixed(14);
    // Most often a fourth copy of a face the hand holds three times.
    Counts c = CountsOf(tiles);
    int extra = maker.Pick(kFaces);
    for (int face = 0; face < kFaces; ++face) {
      if (c[face] == 3 && maker.Pick(3) != 0) extra = face;
    }
    tiles.push_back(CardOf(extra));
    ++c[extra];
    bool checker = false;
    for (int face = 0; face < kFaces && !checker; ++face) {
      if (c[face] < 4) continue;
      c[face] -= 4;
      checker = SetsAndAPair(c);
      c[face] += 4;
    }
    GroupList groups;
    int shape = 0;
    const bool engine = rules.CheckHu(tiles.data(), 15, groups, shape, 0);
    ASSERT_EQ(engine, checker) << TilesText(tiles);
    accepted += engine ? 1 : 0;
  }
  EXPECT_GT(accepted, kHands / 100);
}

// With wild tiles the answer must match what some faces in their place would make.
TEST(BaseWinPropertyTest, WildTilesStandForAnyFaces) {
  HandMaker maker(100);
  CMj_Gb rules;
  rules.StartNewHand();
  for (int i = 0; i < kHands / 4; ++i) {
    const int w = 1 + maker.Pick(2);
    std::vector<card> tiles = maker.BaseMixed(14 - w);
    GroupList groups;
    int shape = 0;
    const bool engine = rules.CheckHu(tiles.data(), 14 - w, groups, shape, w);
    Counts c = CountsOf(tiles);
    bool any = false;
    for (int a = 0; a < kFaces && !any; ++a) {
      ++c[a];
      if (w == 1) {
        any = BaseWins(c);
      } else {
        for (int b = a; b < kFaces && !any; ++b) {
          ++c[b];
          any = BaseWins(c);
          --c[b];
        }
      }
      --c[a];
    }
    ASSERT_EQ(engine, any) << TilesText(tiles) << " with " << w << " wilds";
  }
}

}  // namespace
