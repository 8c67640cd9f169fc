// The pattern tests: one small predicate per scoring pattern over what FanContext shows of the
// winning hand. Each row of the fan table carries its test (the catalogue names it:
// fan_tests::<the row's constant without "Fan">), and the fan count runs the rows' tests.
//
// Terms: "all groups" are the decomposition, the melds, the melded kongs and the concealed
// kongs; "all tiles" are the concealed tiles without wilds and the tiles of every meld and
// kong. A group of two or more values can only end up as a chow, so "no chow" rules out such
// partial sequences too. "For some f from 0 to w" tries f wild tiles as filling, one value
// after the other.
#include <cstring>

#include "fan_catalogue.h"
#include "fan_context.h"
#include "mj_gb.h"
#include "special_shapes.h"
#include "win_search.h"

namespace {

using win_search::IsStandardShape;
using win_search::kShapeSevenPairs;

using AllGroups = decltype(FanContext::allGroups);
using AllTiles = decltype(FanContext::allTiles);
using WideGroups = FixedList<MeldGroup, AllTiles::kCapacity>;
using ValueList = FixedList<card, AllTiles::kCapacity>;

constexpr int32_t kSuits[] = {ColorCharacters, ColorDots, ColorBamboo};

template <typename Pred>
bool ForSomeFilling(int w, Pred pred) {
  for (int f = 0; f <= w; ++f) {
    if (pred(f)) return true;
  }
  return false;
}

template <typename Pred>
bool AllGroupsAre(const FanContext& c, Pred pred) {
  for (const MeldGroup& g : c.allGroups) {
    if (!pred(g)) return false;
  }
  return true;
}

template <typename Pred>
bool AllTilesAre(const FanContext& c, Pred pred) {
  for (const card& t : c.allTiles) {
    if (!pred(t)) return false;
  }
  return true;
}

template <typename List, typename Pred>
int CountOf(const List& list, Pred pred) {
  int n = 0;
  for (const auto& item : list) n += pred(item) ? 1 : 0;
  return n;
}

bool IsStandard(const FanContext& c) { return IsStandardShape(c.shape); }

// Patterns that also hold for seven pairs, but only when the same tiles can be read as a
// standard hand.
bool StandardOrReadAgain(const FanContext& c) {
  if (IsStandard(c)) return true;
  return c.shape == kShapeSevenPairs && c.standardAgain;
}

int PungMelds(const FanContext& c) { return CountOf(*c.melds, IsPung); }
int ChowMelds(const FanContext& c) { return CountOf(*c.melds, IsSequenceLike); }

bool IsTerminalOrHonor(const MeldGroup& g) {
  return (IsSuitColor(g.m_nColor) && (g.m_nTopValue == 1 || g.m_nTopValue == 9)) ||
         IsHonorColor(g.m_nColor);
}

// Tiles of a one-value group as a piece: three or more copies count 3, a pair 2, a single 1.
int PieceTiles(const MeldGroup& g) { return g.m_nCopies >= 3 ? 3 : g.m_nCopies; }

// The pieces of one colour number `count` and make `total` with some of the wilds.
template <typename List>
bool PiecesMake(const List& groups, int32_t color, int count, int total, int w) {
  int pieces = 0;
  int tiles = 0;
  for (const MeldGroup& g : groups) {
    if (g.m_nColor != color) continue;
    ++pieces;
    tiles += PieceTiles(g);
  }
  return pieces == count && ForSomeFilling(w, [&](int f) { return tiles + f == total; });
}

// One tile per value, sorted ascending.
template <typename List>
void SortedValues(const List& groups, ValueList& out) {
  out.clear();
  for (const MeldGroup& g : groups) out.push_back(GroupTile(g));
  SortCards(out.data(), out.size(), true);
}

bool ConsecutiveRun(const ValueList& values) {
  for (int i = 1; i < values.size(); ++i) {
    if (values[i].m_nValue != values[i - 1].m_nValue + 1) return false;
  }
  return true;
}

// The values grouped with a step and a limit, then ordered: at most `most` groups, the first
// holding at least `first_values` values.
bool StepGroupsFit(const ValueList& values, int limit, int step, int most, int first_values) {
  WideGroups groups;
  GroupSteps(values.data(), values.size(), limit, step, groups);
  OrderGroups(groups);
  return !groups.empty() && groups.size() <= most && groups[0].m_nValues >= first_values;
}

// The concealed tiles with the tiles of the given meld lists, sorted ascending.
void TilesWith(const FanContext& c, std::initializer_list<const MeldList*> lists,
               AllTiles& out) {
  out.clear();
  for (int i = 0; i < c.tileCount; ++i) out.push_back(c.tiles[i]);
  for (const MeldList* list : lists) {
    for (const MeldGroup& g : *list) AppendGroupTiles(g, out);
  }
  SortCards(out.data(), out.size(), true);
}

// The concealed tiles with the tiles of the melds (and of the kongs, when `kongs`), sorted
// and grouped as identical tiles with limit 4.
void IdenticalGroupsWith(const FanContext& c, bool kongs, WideGroups& out) {
  if (c.identicalReady) {
    const FanContext::IdenticalGroups& ready = kongs ? c.identicalWithKongs : c.identicalWithMelds;
    out.clear();
    for (const MeldGroup& g : ready) out.push_back(g);
    return;
  }
  AllTiles tiles;
  if (kongs) {
    TilesWith(c, {c.melds, c.meldedKongs, c.concealedKongs}, tiles);
  } else {
    TilesWith(c, {c.melds}, tiles);
  }
  GroupIdentical(tiles.data(), tiles.size(), 4, out);
}

// The first suit with at least `least` groups matching, or -1.
template <typename List, typename Pred>
int32_t FirstSuitWith(const List& groups, int least, Pred pred) {
  for (int32_t suit : kSuits) {
    int n = 0;
    for (const MeldGroup& g : groups) n += (g.m_nColor == suit && pred(g)) ? 1 : 0;
    if (n >= least) return suit;
  }
  return -1;
}

// Chow tops a group can stand for, and the wilds it takes: a chow its own top; a two-value
// piece the chows that hold both its values, for one wild.
int ChowTops(const MeldGroup& g, int32_t tops[2], int& wilds) {
  wilds = 0;
  if (IsChow(g)) {
    tops[0] = g.m_nTopValue;
    return 1;
  }
  if (g.m_nValues != 2 || g.m_nCopies != 1) return 0;
  wilds = 1;
  int n = 0;
  const int32_t top = g.m_nTopValue;
  if (g.m_nStep == 2) {
    tops[n++] = top;
  } else if (g.m_nStep == 1) {
    if (top - 2 >= 1) tops[n++] = top;
    if (top + 1 <= 9) tops[n++] = top + 1;
  }
  return n;
}

// Shared by the pure triple chow and the pure shifted chows: the decomposition with the chow
// melds, at most one kong and one pung meld, and the sequence groups of the first suit that
// has three of them.
struct ChowSuit {
  int chows = 0;  // C: groups of three values
  int twos = 0;   // Q: groups of two values
  ValueList tops;
};

bool FindChowSuit(const FanContext& c, ChowSuit& out) {
  const int kongs = c.Kongs();
  const int pungs = PungMelds(c);
  if (kongs > 1 || pungs > 1 || 4 - kongs - pungs < 3) return false;
  WideGroups list;
  for (int i = 0; i < c.decompositionCount; ++i) list.push_back(c.decomposition[i]);
  for (const MeldGroup& g : *c.melds) {
    if (IsSequenceLike(g)) list.push_back(g);
  }
  const int32_t suit = FirstSuitWith(list, 3, IsSequenceLike);
  if (suit < 0) return false;
  WideGroups mine;
  for (const MeldGroup& g : list) {
    if (g.m_nColor != suit || !IsSequenceLike(g)) continue;
    mine.push_back(g);
    out.chows += g.m_nValues == 3 ? 1 : 0;
    out.twos += g.m_nValues == 2 ? 1 : 0;
  }
  SortedValues(mine, out.tops);
  return true;
}

template <typename Pred>
bool AllSuitTiles(const FanContext& c, Pred value_ok) {
  return StandardOrReadAgain(c) && AllTilesAre(c, [&](const card& t) {
           return IsSuitColor(t.m_nColor) && value_ok(t.m_nValue);
         });
}

// No claimed meld, no melded kong, and not won on a discard (the fully concealed hand and the
// concealed hand share the test).
bool NoClaimNoDiscardWin(const FanContext& c) {
  return c.melds->empty() && c.meldedKongs->empty() && c.wonOnSended == 0;
}

// What each suit holds among all groups: the values of its pungs and kongs and the tops of its
// chows, as bit masks over the values 1-9. Only complete groups count: a set that wild tiles
// would complete is not seen by these patterns.
struct SuitSets {
  int pungs[3] = {0, 0, 0};
  int chows[3] = {0, 0, 0};
  int pairs[3] = {0, 0, 0};  // values held as a group of exactly two copies
};

SuitSets SetsBySuit(const FanContext& c) {
  SuitSets s;
  for (int k = 0; k < 3; ++k) {
    s.pungs[k] = c.suitPungs[k];
    s.chows[k] = c.suitChows[k];
    s.pairs[k] = c.suitPairs[k];
  }
  return s;
}

bool Has(int mask, int32_t value) { return value >= 1 && value <= 9 && (mask >> value) & 1; }

// The three suits in every order, for patterns that give each suit its own part.
constexpr int kSuitOrders[6][3] = {{0, 1, 2}, {0, 2, 1}, {1, 0, 2},
                                   {1, 2, 0}, {2, 0, 1}, {2, 1, 0}};

// ShiftedAcrossSuits for any `first` from `low` to `high`, all at once on the masks.
bool ShiftedAcrossSuitsFrom(const int masks[3], int32_t low, int32_t high, int32_t step) {
  const int wanted = ((1 << (high + 1)) - 1) & ~((1 << low) - 1);
  for (const auto& order : kSuitOrders) {
    if (masks[order[0]] & (masks[order[1]] >> step) & (masks[order[2]] >> (2 * step)) & wanted) {
      return true;
    }
  }
  return false;
}

// Three sets, one in each suit, whose values (tops for chows) are `first`, then `first` +
// `step`, then `first` + 2 * `step`.
bool ShiftedAcrossSuits(const int masks[3], int32_t first, int32_t step) {
  for (const auto& order : kSuitOrders) {
    if (Has(masks[order[0]], first) && Has(masks[order[1]], first + step) &&
        Has(masks[order[2]], first + 2 * step)) {
      return true;
    }
  }
  return false;
}

// A sequence (step 1, two or more values) and another group of two or more values with the
// same top value, of the same colour or of a different one.
bool TwoSequencesWithOneTop(const FanContext& c, bool same_color) {
  if (!IsStandard(c)) return false;
  const AllGroups& groups = c.allGroups;
  for (int i = 0; i < groups.size(); ++i) {
    if (groups[i].m_nValues < 2 || groups[i].m_nStep != 1) continue;
    for (int j = 0; j < groups.size(); ++j) {
      if (j == i || groups[j].m_nValues < 2) continue;
      if (groups[j].m_nTopValue != groups[i].m_nTopValue) continue;
      if ((groups[j].m_nColor == groups[i].m_nColor) == same_color) return true;
    }
  }
  return false;
}

// A pung (or kong) of the wind numbered `wind` (0 east to 3 north).
bool WindPung(const FanContext& c, int wind) {
  if (wind < 0 || wind > 3) return false;
  return CountOf(c.allGroups, [wind](const MeldGroup& g) {
           return g.m_nColor == ColorWinds && IsOneValue(g) && g.m_nCopies >= 3 &&
                  g.m_nTopValue == wind + 1;
         }) >= 1;
}

}  // namespace

// ---- the pattern tests, named by the fan catalogue ---------------------------------------

namespace fan_tests {

// ---- grades 1-4 ---------------------------------------------------------------------------

bool BigFourWinds(const FanContext& c) {
  return StandardOrReadAgain(c) && PiecesMake(c.allGroups, ColorWinds, 4, 12, c.wilds);
}

bool BigThreeDragons(const FanContext& c) {
  return StandardOrReadAgain(c) && PiecesMake(c.allGroups, ColorDragons, 3, 9, c.wilds);
}

bool AllGreen(const FanContext& c) {
  return IsStandard(c) && AllTilesAre(c, [](const card& t) {
           if (t.m_nColor == ColorDragons) return t.m_nValue == 2;
           if (t.m_nColor != ColorBamboo) return false;
           return t.m_nValue == 2 || t.m_nValue == 3 || t.m_nValue == 4 || t.m_nValue == 6 ||
                  t.m_nValue == 8;
         });
}

bool NineGates(const FanContext& c) {
  if (!IsStandard(c) || c.allGroups.empty()) return false;
  const int32_t color = c.allGroups[0].m_nColor;
  if (!AllGroupsAre(c, [color](const MeldGroup& g) { return g.m_nColor == color; })) {
    return false;
  }
  if (c.wilds >= 2) return false;
  AllTiles tiles = c.allTiles;
  SortCards(tiles.data(), tiles.size(), true);
  WideGroups groups;
  GroupIdentical(tiles.data(), tiles.size(), 4, groups);
  if (c.wilds == 0) {
    bool ones = false;
    bool nines = false;
    int pairs = 0;
    for (const MeldGroup& g : groups) {
      ones = ones || (g.m_nCopies >= 3 && g.m_nTopValue == 1);
      nines = nines || (g.m_nCopies >= 3 && g.m_nTopValue == 9);
      pairs += g.m_nCopies == 2 ? 1 : 0;
    }
    if (!ones || !nines || pairs > 1) return false;
    WideGroups runs;
    GroupSequences(tiles.data(), tiles.size(), 9, runs);
    OrderGroups(runs);
    return !runs.empty() && runs[0].m_nValues == 9;
  }
  ValueList rest;
  for (const MeldGroup& g : groups) {
    if (g.m_nCopies >= 3) {
      if (g.m_nTopValue != 1 && g.m_nTopValue != 9) return false;
    } else {
      AppendGroupTiles(g, rest);
    }
  }
  SortCards(rest.data(), rest.size(), true);
  WideGroups runs;
  GroupSequences(rest.data(), rest.size(), 7, runs);
  OrderGroups(runs);
  if (runs.size() == 1) return runs[0].m_nValues == 7;
  return runs.size() == 2 && runs[0].m_nValues == 7 && runs[1].m_nValues == 1;
}

bool FourKongs(const FanContext& c) { return c.Kongs() == 4; }

bool SevenShiftedPairs(const FanContext& c) {
  if (c.shape != kShapeSevenPairs || c.decompositionCount != 7) return false;
  ValueList values;
  FixedList<MeldGroup, 7> pairs;
  for (int i = 0; i < 7; ++i) pairs.push_back(c.decomposition[i]);
  SortedValues(pairs, values);
  const int32_t color = c.decomposition[0].m_nColor;
  for (const card& v : values) {
    if (v.m_nColor != color) return false;
  }
  return ConsecutiveRun(values);
}

// Only when no tile was discarded in the hand at all: a claimed discard leaves the discards,
// so a meld or a melded kong rules it out as well.
bool HeavenlyHand(const FanContext& c) {
  return c.discards->empty() && c.melds->empty() && c.meldedKongs->empty();
}

bool LittleFourWinds(const FanContext& c) {
  return StandardOrReadAgain(c) && PiecesMake(c.allGroups, ColorWinds, 4, 11, c.wilds);
}

bool LittleThreeDragons(const FanContext& c) {
  return StandardOrReadAgain(c) && PiecesMake(c.allGroups, ColorDragons, 3, 8, c.wilds);
}

bool AllHonors(const FanContext& c) {
  return IsStandard(c) &&
         AllGroupsAre(c, [](const MeldGroup& g) { return IsHonorColor(g.m_nColor); });
}

bool FourConcealedPungs(const FanContext& c) {
  return IsStandard(c) && c.melds->empty() && c.meldedKongs->empty() &&
         AllGroupsAre(c, IsOneValue) && c.allGroups.size() == 5;
}

bool PureTerminalChows(const FanContext& c) {
  if (c.shape != kShapeSevenPairs || c.decompositionCount != 7) return false;
  const int32_t color = c.decomposition[0].m_nColor;
  if (!IsSuitColor(color)) return false;
  FixedList<MeldGroup, 7> pairs;
  for (int i = 0; i < 7; ++i) pairs.push_back(c.decomposition[i]);
  ValueList values;
  SortedValues(pairs, values);
  static constexpr int32_t kExpected[] = {1, 2, 3, 5, 7, 8, 9};
  for (int i = 0; i < 7; ++i) {
    if (values[i].m_nColor != color || values[i].m_nValue != kExpected[i]) return false;
  }
  return true;
}

bool QuadrupleChow(const FanContext& c) {
  if (c.Kongs() > 0 || PungMelds(c) > 0) return false;
  WideGroups groups;
  IdenticalGroupsWith(c, false, groups);
  if (groups.size() != 4) return false;
  const int32_t suit = FirstSuitWith(groups, 3, [](const MeldGroup&) { return true; });
  if (suit < 0) return false;
  WideGroups mine;
  int count = 0;
  for (const MeldGroup& g : groups) {
    if (g.m_nColor != suit) continue;
    mine.push_back(g);
    count += g.m_nCopies;
  }
  ValueList values;
  SortedValues(mine, values);
  const int n = mine.size();
  return ForSomeFilling(c.wilds, [&](int f) {
    if (n == 3 && count == 12 - f) return ConsecutiveRun(values);
    if (n == 4 && count == 14 - f) return StepGroupsFit(values, 3, 1, 2, 3);
    return false;
  });
}

bool FourPureShiftedPungs(const FanContext& c) {
  if (ChowMelds(c) > 0) return false;
  WideGroups groups;
  IdenticalGroupsWith(c, true, groups);
  if (groups.size() != 5) return false;
  const int32_t suit = FirstSuitWith(groups, 4, [](const MeldGroup&) { return true; });
  if (suit < 0) return false;
  WideGroups mine;
  int count = 0;
  for (const MeldGroup& g : groups) {
    if (g.m_nColor != suit) continue;
    mine.push_back(g);
    count += g.m_nCopies >= 4 ? 3 : g.m_nCopies;
  }
  ValueList values;
  SortedValues(mine, values);
  const int n = mine.size();
  return ForSomeFilling(c.wilds, [&](int f) {
    if (n == 4 && count == 12 - f) return StepGroupsFit(values, 4, 1, 1, 4);
    if (n == 5 && count == 14 - f) return StepGroupsFit(values, 4, 1, 2, 4);
    return false;
  });
}

bool FourPureShiftedChows(const FanContext& c) {
  if (PungMelds(c) > 0 || c.Kongs() > 0) return false;
  auto one_copy = [](const MeldGroup& g) { return g.m_nCopies == 1; };
  const int32_t suit = FirstSuitWith(c.allGroups, 4, one_copy);
  if (suit < 0) return false;
  WideGroups mine;
  int chows = 0;
  int twos = 0;
  int singles = 0;
  for (const MeldGroup& g : c.allGroups) {
    if (g.m_nColor != suit || !one_copy(g)) continue;
    mine.push_back(g);
    chows += g.m_nValues == 3 ? 1 : 0;
    twos += g.m_nValues == 2 ? 1 : 0;
    singles += g.m_nValues == 1 ? 1 : 0;
  }
  const int n = mine.size();
  if (n != 4 && n != 5) return false;
  ValueList tops;
  SortedValues(mine, tops);
  const int tiles = singles + 3 * chows + 2 * twos;
  return ForSomeFilling(c.wilds, [&](int f) {
    if (n == 4 && tiles == 12 - f) {
      return StepGroupsFit(tops, 4, 1, 1, 1) || StepGroupsFit(tops, 4, 2, 1, 1);
    }
    if (n == 5 && tiles == 14 - f) {
      return StepGroupsFit(tops, 4, 1, 2, 4) || StepGroupsFit(tops, 4, 2, 2, 4);
    }
    return false;
  });
}

bool ThreeKongs(const FanContext& c) { return c.Kongs() == 3; }

bool AllTerminalsAndHonors(const FanContext& c) {
  if (!StandardOrReadAgain(c)) return false;
  bool honor = false;
  for (const MeldGroup& g : c.allGroups) {
    if (IsSequenceLike(g)) return false;
    if (IsSuitColor(g.m_nColor) && g.m_nTopValue != 1 && g.m_nTopValue != 9) return false;
    honor = honor || IsHonorColor(g.m_nColor);
  }
  return honor;
}

// ---- grades 5-7 ---------------------------------------------------------------------------

bool SevenPairs(const FanContext& c) { return c.shape == kShapeSevenPairs; }

bool AllEvenPungs(const FanContext& c) {
  return StandardOrReadAgain(c) && AllGroupsAre(c, [](const MeldGroup& g) {
           return IsSuitColor(g.m_nColor) && IsOneValue(g) && g.m_nTopValue % 2 == 0;
         });
}

bool FullFlush(const FanContext& c) {
  if (c.shape > 29 || c.allGroups.empty()) return false;
  const int32_t color = c.allGroups[0].m_nColor;
  return IsSuitColor(color) &&
         AllGroupsAre(c, [color](const MeldGroup& g) { return g.m_nColor == color; });
}

bool PureTripleChow(const FanContext& c) {
  ChowSuit s;
  if (!FindChowSuit(c, s)) return false;
  const int n = s.chows + s.twos;
  WideGroups same;  // equal tops, in the order they formed
  GroupIdentical(s.tops.data(), s.tops.size(), 3, same);
  return ForSomeFilling(c.wilds, [&](int f) {
    for (int m : {3, 4}) {
      if (n != m || 3 * s.chows + 2 * s.twos != 3 * m - f) continue;
      if (m == 3 && same.size() == 1) return true;
      if (m == 4 && same.size() <= 2 && same[0].m_nCopies == 3) return true;
    }
    return false;
  });
}

bool PureShiftedChows(const FanContext& c) {
  ChowSuit s;
  if (!FindChowSuit(c, s)) return false;
  const int n = s.chows + s.twos;
  auto fits = [&](int step) {
    return ForSomeFilling(c.wilds, [&](int f) {
      for (int m : {3, 4}) {
        if (n != m || 3 * s.chows + 2 * s.twos != 3 * m - f) continue;
        if (m == 3 && StepGroupsFit(s.tops, 3, step, 1, 3)) return true;
        if (m == 4 && StepGroupsFit(s.tops, 3, step, 2, 3)) return true;
      }
      return false;
    });
  };
  return fits(1) || fits(2);
}

bool PureShiftedPungs(const FanContext& c) {
  if (ChowMelds(c) > 1) return false;
  if (CountOf(c.allGroups, IsOneValue) < 3) return false;
  const int32_t suit = FirstSuitWith(c.allGroups, 3, IsOneValue);
  if (suit < 0) return false;
  WideGroups mine;
  int count = 0;
  for (const MeldGroup& g : c.allGroups) {
    if (g.m_nColor != suit || !IsOneValue(g)) continue;
    mine.push_back(g);
    count += PieceTiles(g);
  }
  ValueList values;
  SortedValues(mine, values);
  const int n = mine.size();
  return ForSomeFilling(c.wilds, [&](int f) {
    if (n == 3 && count == 9 - f) return ConsecutiveRun(values);
    if ((n == 4 && (count == 12 - f || count == 11 - f)) || (n == 5 && count == 14 - f)) {
      return StepGroupsFit(values, 3, 1, AllTiles::kCapacity, 3);
    }
    return false;
  });
}

bool UpperTiles(const FanContext& c) {
  return AllSuitTiles(c, [](int32_t v) { return v >= 7 && v <= 9; });
}
bool MiddleTiles(const FanContext& c) {
  return AllSuitTiles(c, [](int32_t v) { return v >= 4 && v <= 6; });
}
bool LowerTiles(const FanContext& c) {
  return AllSuitTiles(c, [](int32_t v) { return v >= 1 && v <= 3; });
}
bool UpperFour(const FanContext& c) {
  return AllSuitTiles(c, [](int32_t v) { return v >= 6; });
}
bool LowerFour(const FanContext& c) {
  return AllSuitTiles(c, [](int32_t v) { return v <= 4; });
}

bool PureStraight(const FanContext& c) {
  if (!IsStandard(c) || PungMelds(c) > 1 || c.Kongs() > 1) return false;
  for (int32_t suit : kSuits) {
    FixedList<bool, AllGroups::kCapacity> used;
    for (int i = 0; i < c.allGroups.size(); ++i) used.push_back(false);
    int wilds = 0;
    bool all = true;
    for (int32_t top : {3, 6, 9}) {
      int found = -1;
      for (int i = 0; i < c.allGroups.size() && found < 0; ++i) {
        const MeldGroup& g = c.allGroups[i];
        if (!used[i] && g.m_nColor == suit && IsChow(g) && g.m_nTopValue == top) found = i;
      }
      if (found < 0) {
        for (int i = 0; i < c.allGroups.size() && found < 0; ++i) {
          const MeldGroup& g = c.allGroups[i];
          if (used[i] || g.m_nColor != suit || g.m_nValues != 2 || g.m_nCopies != 1) continue;
          if (LowestValue(g) >= top - 2 && g.m_nTopValue <= top) found = i;
        }
        if (found >= 0) ++wilds;
      }
      if (found < 0) {
        all = false;
        break;
      }
      used[found] = true;
    }
    if (all && wilds <= c.wilds) return true;
  }
  return false;
}

bool AllFives(const FanContext& c) {
  return StandardOrReadAgain(c) && AllGroupsAre(c, [](const MeldGroup& g) {
           if (!IsSuitColor(g.m_nColor)) return false;
           if (IsOneValue(g)) return g.m_nTopValue == 5;
           return g.m_nTopValue >= 5 && g.m_nTopValue <= 7;
         });
}

bool ThreeConcealedPungs(const FanContext& c) {
  const int open = c.melds->size() + c.meldedKongs->size() + c.concealedKongs->size();
  if (open > 1) return false;
  const int r = 4 - open;
  int pungs = 0;
  int pairs = 0;
  int singles = 0;
  for (int i = 0; i < c.decompositionCount; ++i) {
    const MeldGroup& g = c.decomposition[i];
    if (!IsOneValue(g)) continue;
    pungs += g.m_nCopies == 3 ? 1 : 0;
    pairs += g.m_nCopies == 2 ? 1 : 0;
    singles += g.m_nCopies == 1 ? 1 : 0;
  }
  const int groups = pungs + pairs + singles;
  const int tiles = singles + 3 * pungs + 2 * pairs;
  return ForSomeFilling(c.wilds, [&](int f) {
    return (r == 3 && groups == 4 && tiles == 11 - f) ||
           (r == 4 && groups == 5 && tiles == 14 - f);
  });
}

bool BigThreeWinds(const FanContext& c) {
  FixedList<MeldGroup, kMaxGroups> decomposition;
  for (int i = 0; i < c.decompositionCount; ++i) decomposition.push_back(c.decomposition[i]);
  return PiecesMake(decomposition, ColorWinds, 3, 9, c.wilds);
}

// ---- grades 8-12 --------------------------------------------------------------------------

bool ReversibleTiles(const FanContext& c) {
  return AllTilesAre(c, [](const card& t) {
    const int32_t v = t.m_nValue;
    switch (t.m_nColor) {
      case ColorDots: return v == 1 || v == 2 || v == 3 || v == 4 || v == 5 || v == 8 || v == 9;
      case ColorBamboo: return v == 2 || v == 4 || v == 5 || v == 6 || v == 8 || v == 9;
      case ColorDragons: return v == 3;
      default: return false;
    }
  });
}

bool LastTileDraw(const FanContext& c) { return c.lastTile == 1 && c.huType == HuSelfDrawn; }
bool LastTileClaim(const FanContext& c) { return c.lastTile == 1 && c.huType == HuOnDiscard; }

// The replacement tile after a kong, drawn and won on: self-drawn only.
bool OutWithReplacementTile(const FanContext& c) {
  return c.Kongs() >= 1 && SameTile(c.cardAfterGang, c.huCard) && c.huType == HuSelfDrawn;
}

bool RobbingTheKong(const FanContext& c) { return c.robbedKong != 0; }

bool AllPungs(const FanContext& c) { return IsStandard(c) && AllGroupsAre(c, IsOneValue); }

bool HalfFlush(const FanContext& c) {
  int suits = 0;
  bool honor = false;
  for (const MeldGroup& g : c.allGroups) {
    if (IsSuitColor(g.m_nColor)) suits |= 1 << g.m_nColor;
    if (IsHonorColor(g.m_nColor)) honor = true;
    if (g.m_nColor == ColorSeasons || g.m_nColor == ColorFlowers) return false;
  }
  return (suits == 1 || suits == 2 || suits == 4) && honor;
}

bool MeldedHand(const FanContext& c) {
  return c.melds->size() + c.concealedKongs->size() + c.meldedKongs->size() == 4 &&
         c.wonOnSended == 1;
}

bool TwoConcealedKongs(const FanContext& c) { return c.concealedKongs->size() == 2; }

bool TwoDragonPungs(const FanContext& c) {
  return PiecesMake(c.allGroups, ColorDragons, 2, 6, c.wilds) ||
         PiecesMake(c.allGroups, ColorDragons, 3, 8, c.wilds) ||
         PiecesMake(c.allGroups, ColorDragons, 3, 9, c.wilds);
}

bool FullyConcealedHand(const FanContext& c) { return NoClaimNoDiscardWin(c); }
bool ConcealedHand(const FanContext& c) { return NoClaimNoDiscardWin(c); }

bool TwoMeldedKongs(const FanContext& c) { return c.meldedKongs->size() == 2; }

// The winning tile's other copies lie in the discards: the discards grouped as identical
// tiles (four at most to a group) hold a group of it with 3 copies (self-drawn) or 4 (won on
// a discard, that discard included).
bool LastTile(const FanContext& c) {
  if (IsNoCard(c.huCard)) return false;
  int copies = 0;
  for (const card& t : *c.discards) copies += t == c.huCard ? 1 : 0;
  if (c.wonOnSended == 0) return copies % 4 == 3;
  return copies >= 4;
}

// A chow is three values with step 1; a two-value piece (neighbours or a gap) is one that a
// wild tile completes. The pieces of a knitted straight (1-4-7, 2-5, ...) are no chows.
bool IsChowOrItsPiece(const MeldGroup& g) {
  if (g.m_nCopies != 1) return false;
  if (g.m_nValues == 3) return g.m_nStep == 1;
  return g.m_nValues == 2 && (g.m_nStep == 1 || g.m_nStep == 2);
}

bool AllChows(const FanContext& c) {
  return IsStandard(c) &&
         AllGroupsAre(c, [](const MeldGroup& g) { return IsSuitColor(g.m_nColor); }) &&
         CountOf(c.allGroups, IsChowOrItsPiece) == 4;
}

bool TileHog(const FanContext& c) {
  WideGroups groups;
  IdenticalGroupsWith(c, false, groups);
  for (const MeldGroup& g : groups) {
    if (g.m_nCopies == 4) return true;
  }
  return false;
}

bool TwoConcealedPungs(const FanContext& c) {
  if (!IsStandard(c)) return false;
  const int open = c.melds->size() + c.meldedKongs->size() + c.concealedKongs->size();
  if (open > 2) return false;
  int sequences = 0;
  for (int i = 0; i < c.decompositionCount; ++i) {
    sequences += IsSequenceLike(c.decomposition[i]) ? 1 : 0;
  }
  return (4 - open) - sequences >= 2;
}

bool ConcealedKong(const FanContext& c) { return c.concealedKongs->size() >= 1; }

bool ShortStraight(const FanContext& c) {
  if (!IsStandard(c) || c.Kongs() > 2) return false;
  const AllGroups& groups = c.allGroups;
  for (int i = 0; i < groups.size(); ++i) {
    int32_t tops_i[2];
    int wilds_i = 0;
    const int n_i = ChowTops(groups[i], tops_i, wilds_i);
    if (n_i == 0 || !IsSuitColor(groups[i].m_nColor)) continue;
    for (int j = i + 1; j < groups.size(); ++j) {
      if (groups[j].m_nColor != groups[i].m_nColor) continue;
      int32_t tops_j[2];
      int wilds_j = 0;
      const int n_j = ChowTops(groups[j], tops_j, wilds_j);
      if (wilds_i + wilds_j > c.wilds) continue;
      for (int a = 0; a < n_i; ++a) {
        for (int b = 0; b < n_j; ++b) {
          if (tops_i[a] - tops_j[b] == 3 || tops_j[b] - tops_i[a] == 3) return true;
        }
      }
    }
  }
  return false;
}

bool TwoTerminalChows(const FanContext& c) {
  if (!IsStandard(c)) return false;
  for (int32_t suit : kSuits) {
    int chows = 0;
    bool low = false;
    bool high = false;
    for (const MeldGroup& g : c.allGroups) {
      if (g.m_nColor != suit || !IsChow(g)) continue;
      ++chows;
      low = low || g.m_nTopValue == 3;
      high = high || g.m_nTopValue == 9;
    }
    if (chows >= 2 && low && high) return true;
  }
  return false;
}

bool PungOfTerminalsOrHonors(const FanContext& c) {
  if (!IsStandard(c)) return false;
  int a = 0;
  int b = 0;
  int d = 0;
  for (const MeldGroup& g : c.allGroups) {
    if (IsOneValue(g) && IsTerminalOrHonor(g)) {
      ++a;
      b += g.m_nCopies >= 3 ? 1 : 0;
    }
    d += (IsOneValue(g) && g.m_nCopies == 2) ? 1 : 0;
  }
  return a >= 2 || b >= 1 || (a == 1 && d >= 2 && c.wilds == 2);
}

bool MeldedKong(const FanContext& c) { return c.meldedKongs->size() >= 1; }

// ---- the four-player base's own patterns ----------------------------------------------------
//

bool ThirteenOrphans(const FanContext& c) { return c.shape == win_search::kShapeThirteenOrphans; }

bool AllTerminals(const FanContext& c) {
  return StandardOrReadAgain(c) && AllGroupsAre(c, [](const MeldGroup& g) {
           return IsSuitColor(g.m_nColor) && IsOneValue(g) &&
                  (g.m_nTopValue == 1 || g.m_nTopValue == 9);
         });
}

bool GreaterHonorsAndKnittedTiles(const FanContext& c) {
  if (c.shape != win_search::kShapeKnittedTiles) return false;
  TileList rest;
  rest.assign(c.tiles, c.tileCount);
  SortCards(rest.data(), rest.size(), true);
  win_search::KnittedPieces pieces;
  win_search::TakeKnittedPieces(rest.data(), rest.size(), pieces);
  for (const MeldGroup& g : pieces.taken) RemoveGroupTiles(g, rest);
  const win_search::HonourCount h = win_search::CountHonours(rest.data(), rest.size());
  return h.ok && h.pairs == 0 && h.singles == 7;
}

bool LesserHonorsAndKnittedTiles(const FanContext& c) {
  return c.shape == win_search::kShapeKnittedTiles;
}

bool KnittedStraight(const FanContext& c) {
  return c.shape == win_search::kShapeKnittedStraight;
}

// Two suits each with the chows 1-2-3 and 7-8-9, and a pair of 5 of the third suit.
bool MixedTerminalChows(const FanContext& c) {
  if (!IsStandard(c)) return false;
  const SuitSets s = SetsBySuit(c);
  for (const auto& order : kSuitOrders) {
    const int a = order[0], b = order[1], third = order[2];
    if (a > b) continue;
    if (Has(s.chows[a], 3) && Has(s.chows[a], 9) && Has(s.chows[b], 3) && Has(s.chows[b], 9) &&
        Has(s.pairs[third], 5)) {
      return true;
    }
  }
  return false;
}

// Pungs (or kongs) of one value in all three suits.
bool TriplePung(const FanContext& c) {
  const SuitSets s = SetsBySuit(c);
  return (s.pungs[0] & s.pungs[1] & s.pungs[2]) != 0;
}

// Chows 1-2-3, 4-5-6 and 7-8-9, each in another suit.
bool MixedStraight(const FanContext& c) {
  const SuitSets s = SetsBySuit(c);
  return ShiftedAcrossSuits(s.chows, 3, 3);
}

bool MixedTripleChow(const FanContext& c) {
  const SuitSets s = SetsBySuit(c);
  return (s.chows[0] & s.chows[1] & s.chows[2]) != 0;
}

bool MixedShiftedPungs(const FanContext& c) {
  const SuitSets s = SetsBySuit(c);
  return ShiftedAcrossSuitsFrom(s.pungs, 1, 7, 1);
}

bool MixedShiftedChows(const FanContext& c) {
  const SuitSets s = SetsBySuit(c);
  return ShiftedAcrossSuitsFrom(s.chows, 3, 7, 1);
}

// Nothing found before it in the walk but the flower row.
bool ChickenHand(const FanContext& c) {
  if (c.found == nullptr || c.table == nullptr) return true;
  for (int16_t index : *c.found) {
    if ((*c.table)[index].type != FanFlowerTiles) return false;
  }
  return true;
}

bool AllTypes(const FanContext& c) {
  for (int32_t color = ColorCharacters; color <= ColorDragons; ++color) {
    if (CountOf(c.allGroups, [color](const MeldGroup& g) { return g.m_nColor == color; }) == 0) {
      return false;
    }
  }
  return true;
}

// Every group holds a tile of value 1 of its colour.
bool OutsideHand(const FanContext& c) {
  return AllGroupsAre(c, [](const MeldGroup& g) {
    if (g.m_nValues == 1) return g.m_nTopValue == 1;
    if (g.m_nValues == 2) return g.m_nTopValue == 2;
    return g.m_nTopValue == 3;
  });
}

bool AllSimples(const FanContext& c) {
  return AllTilesAre(c, [](const card& t) {
    return IsSuitColor(t.m_nColor) && t.m_nValue != 1 && t.m_nValue != 9;
  });
}

bool PureDoubleChow(const FanContext& c) { return TwoSequencesWithOneTop(c, true); }
bool MixedDoubleChow(const FanContext& c) { return TwoSequencesWithOneTop(c, false); }

bool OneVoidedSuit(const FanContext& c) {
  int voided = 0;
  for (int32_t suit : kSuits) {
    voided += CountOf(c.allGroups, [suit](const MeldGroup& g) { return g.m_nColor == suit; }) == 0;
  }
  return voided == 1;
}

bool NoHonors(const FanContext& c) {
  return AllGroupsAre(c, [](const MeldGroup& g) { return !IsHonorColor(g.m_nColor); });
}

// The one-copy groups of the winning tile's colour, spread into tiles and joined as
// sequences, give a run that ends at the winning tile.
bool EdgeWait(const FanContext& c) {
  if (!IsStandard(c) || IsNoCard(c.huCard)) return false;
  ValueList tiles;
  for (int i = 0; i < c.decompositionCount; ++i) {
    const MeldGroup& g = c.decomposition[i];
    if (g.m_nCopies < 2 && g.m_nColor == c.huCard.m_nColor) AppendGroupTiles(g, tiles);
  }
  SortCards(tiles.data(), tiles.size(), true);
  WideGroups runs;
  GroupSequences(tiles.data(), tiles.size(), 9, runs);
  for (const MeldGroup& g : runs) {
    if (g.m_nColor != c.huCard.m_nColor) continue;
    if (LowestValue(g) == c.huCard.m_nValue || g.m_nTopValue == c.huCard.m_nValue) return true;
  }
  return false;
}

// A sequence of the winning tile's colour whose second value is the winning tile.
bool ClosedWait(const FanContext& c) {
  if (!IsStandard(c) || IsNoCard(c.huCard)) return false;
  for (int i = 0; i < c.decompositionCount; ++i) {
    const MeldGroup& g = c.decomposition[i];
    if (g.m_nValues >= 2 && g.m_nColor == c.huCard.m_nColor &&
        g.m_nTopValue - g.m_nValues + 2 == c.huCard.m_nValue) {
      return true;
    }
  }
  return false;
}

bool SingleWait(const FanContext& c) {
  if (!IsStandard(c) || IsNoCard(c.huCard)) return false;
  for (int i = 0; i < c.decompositionCount; ++i) {
    if (c.decomposition[i] == CopiesGroup(c.huCard, 2)) return true;
  }
  return false;
}

bool SelfDrawn(const FanContext& c) { return c.huType == HuSelfDrawn; }

bool FlowerTiles(const FanContext& c) { return c.flowerCount >= 1; }

// A pung (or kong) of a dragon.
bool DragonPung(const FanContext& c) {
  return CountOf(c.allGroups, [](const MeldGroup& g) {
           return g.m_nColor == ColorDragons && IsOneValue(g) && g.m_nCopies >= 3;
         }) >= 1;
}

bool PrevalentWind(const FanContext& c) { return WindPung(c, c.prevalentWind); }
bool SeatWind(const FanContext& c) { return WindPung(c, c.seatWind); }

// Pungs (or kongs) of one value in two different suits.
bool DoublePung(const FanContext& c) {
  const SuitSets s = SetsBySuit(c);
  return (s.pungs[0] & s.pungs[1]) != 0 || (s.pungs[0] & s.pungs[2]) != 0 ||
         (s.pungs[1] & s.pungs[2]) != 0;
}

}  // namespace fan_tests

namespace {

// Count slots for tiles of colours 0-7 and values 1-9, in the order tiles sort in.
constexpr int kSlots = 80;

bool AddSlot(const card& c, uint8_t* slots) {
  if (c.m_nColor < 0 || c.m_nColor > 7 || c.m_nValue < 1 || c.m_nValue > 9) return false;
  ++slots[c.m_nColor * 10 + c.m_nValue];
  return true;
}

bool AddMeldSlots(const MeldList& melds, uint8_t* slots) {
  for (const MeldGroup& g : melds) {
    for (int32_t i = 0; i < g.m_nValues; ++i) {
      const card c{g.m_nColor, g.m_nTopValue - i * g.m_nStep};
      for (int32_t k = 0; k < g.m_nCopies; ++k) {
        if (!AddSlot(c, slots)) return false;
      }
    }
  }
  return true;
}

// Sorted tiles grouped as identical tiles with limit 4: each tile's copies in groups of four
// and one of the rest, in tile order.
void GroupSlots(const uint8_t* slots, FanContext::IdenticalGroups& out) {
  out.clear();
  for (int word = 0; word < kSlots; word += 8) {
    uint64_t eight = 0;
    std::memcpy(&eight, slots + word, 8);
    if (eight == 0) continue;  // most slots are empty: skip eight at a time
    for (int slot = word; slot < word + 8; ++slot) {
      for (int left = slots[slot]; left > 0; left -= 4) {
        out.push_back(CopiesGroup({slot / 10, slot % 10}, left < 4 ? left : 4));
      }
    }
  }
}

}  // namespace

void PrepareFanContext(FanContext& c) {
  for (int k = 0; k < 3; ++k) c.suitPungs[k] = c.suitChows[k] = c.suitPairs[k] = 0;
  for (const MeldGroup& g : c.allGroups) {
    if (!IsSuitColor(g.m_nColor) || g.m_nTopValue < 1 || g.m_nTopValue > 9) continue;
    const int bit = 1 << g.m_nTopValue;
    if (IsOneValue(g) && g.m_nCopies >= 3) c.suitPungs[g.m_nColor] |= bit;
    if (IsOneValue(g) && g.m_nCopies == 2) c.suitPairs[g.m_nColor] |= bit;
    if (IsChow(g)) c.suitChows[g.m_nColor] |= bit;
  }

  uint8_t slots[kSlots] = {};
  bool ok = true;
  for (int i = 0; i < c.tileCount && ok; ++i) ok = AddSlot(c.tiles[i], slots);
  ok = ok && AddMeldSlots(*c.melds, slots);
  if (ok) GroupSlots(slots, c.identicalWithMelds);
  ok = ok && AddMeldSlots(*c.meldedKongs, slots) && AddMeldSlots(*c.concealedKongs, slots);
  if (ok) GroupSlots(slots, c.identicalWithKongs);
  c.identicalReady = ok;
}
