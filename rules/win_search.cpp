#include "win_search.h"

#include "face_counts.h"

#include <cstring>

namespace win_search {

namespace {

void AppendGroups(const GroupList& from, GroupList& to) {
  for (const MeldGroup& g : from) to.push_back(g);
}

// ---- partitions ---------------------------------------------------------------------------

enum class Step { Sequences3, Identical3, Sequences2, Identical2, Gaps2 };

// Tile counts indexed by colour * 10 + value, colours 0-6.
constexpr int kCountSlots = 70;
using Counts = int8_t[kCountSlots];

int CountSlot(const card& c) {
  return IsValidTile(c) && !IsWildCard(c) ? c.m_nColor * 10 + c.m_nValue : -1;
}

bool TakesGroup(Step step, const MeldGroup& g) {
  switch (step) {
    case Step::Sequences3: return g.m_nValues == 3;
    case Step::Identical3: return g.m_nCopies == 3;
    case Step::Sequences2:
    case Step::Gaps2: return g.m_nValues == 2;
    case Step::Identical2: return g.m_nCopies == 2;
  }
  return false;
}

void CountTaken(Step step, const MeldGroup& g, Partition& out, Counts taken) {
  out.groups.push_back(g);
  if (step == Step::Sequences3 || step == Step::Identical3) {
    ++out.sets;
  } else {
    ++out.pieces;
    if (step == Step::Identical2) ++out.pairs;
  }
  for (int32_t i = 0; i < g.m_nValues; ++i) {
    const int slot = CountSlot({g.m_nColor, g.m_nTopValue - i * g.m_nStep});
    if (slot >= 0) taken[slot] = static_cast<int8_t>(taken[slot] + g.m_nCopies);
  }
}

// Groups what is left with one grouping and takes out the groups that step is after; what
// stays keeps its order.
// `judgeable`: every tile of the list names a real face and none is wild (then each has a
// count slot).
void RunStep(TileList& rest, Step step, bool judgeable, Partition& out) {
  Counts taken{};
  bool any = false;
  const bool identical = step == Step::Identical3 || step == Step::Identical2;
  if (identical && judgeable) {
    // Grouped as identical tiles with a limit, c copies of a tile make c / limit full groups
    // (and one with the rest): counting is enough. The groups taken come out in the order
    // their tiles first appear.
    const int limit = step == Step::Identical3 ? 3 : 2;
    Counts counts{};
    for (const card& c : rest) ++counts[c.m_nColor * 10 + c.m_nValue];
    for (const card& c : rest) {
      const int slot = c.m_nColor * 10 + c.m_nValue;
      const int full = counts[slot] / limit;
      counts[slot] = 0;
      for (int k = 0; k < full; ++k) CountTaken(step, CopiesGroup(c, limit), out, taken);
      any = any || full > 0;
    }
  } else {
    GroupList groups;
    switch (step) {
      case Step::Sequences3: GroupSequences(rest.data(), rest.size(), 3, groups); break;
      case Step::Identical3: GroupIdentical(rest.data(), rest.size(), 3, groups); break;
      case Step::Sequences2: GroupSequences(rest.data(), rest.size(), 2, groups); break;
      case Step::Identical2: GroupIdentical(rest.data(), rest.size(), 2, groups); break;
      case Step::Gaps2: GroupSteps(rest.data(), rest.size(), 2, 2, groups); break;
    }
    for (const MeldGroup& g : groups) {
      if (!TakesGroup(step, g)) continue;
      CountTaken(step, g, out, taken);
      any = true;
    }
  }
  if (!any) return;
  // Drop the first copies of what was taken, in one pass.
  int kept = 0;
  for (int i = 0; i < rest.size(); ++i) {
    const int slot = judgeable ? rest[i].m_nColor * 10 + rest[i].m_nValue : CountSlot(rest[i]);
    if (slot >= 0 && taken[slot] > 0) {
      --taken[slot];
    } else {
      rest[kept++] = rest[i];
    }
  }
  rest.truncate(kept);
}

bool SetsOnlyByEitherPartition(const TileList& rest, int n, int w, Partition& part) {
  // The partitions only ever find sets that exist; when none exist, they need not look.
  if (!ExhaustiveSetsOnly(rest.data(), rest.size(), w, n)) return false;
  PartitionTiles(rest.data(), rest.size(), PartitionKind::SequencesFirst, part);
  if (PartitionSetsOnly(part, n, w, rest.size())) return true;
  PartitionTiles(rest.data(), rest.size(), PartitionKind::PungsFirst, part);
  return PartitionSetsOnly(part, n, w, rest.size());
}

// ---- seven pairs --------------------------------------------------------------------------

void CountPairsAndSingles(const GroupList& groups, int& pairs, int& singles) {
  pairs = 0;
  singles = 0;
  for (const MeldGroup& g : groups) {
    if (g.m_nCopies == 2) ++pairs;
    if (g.m_nCopies == 1) ++singles;
  }
}

// The pairs and singles that 13 tiles (with w wilds among them) may hold and be one tile
// short of seven pairs.
bool SevenPairsReadyCount(int pairs, int singles, int w) {
  struct Allowed {
    int count;
    int pairs[4];
    int singles[4];
  };
  static constexpr Allowed kAllowed[] = {
      {1, {6}, {1}},                   // w = 0
      {2, {6, 5}, {0, 2}},             // w = 1
      {2, {5, 4}, {1, 3}},             // w = 2
      {3, {5, 4, 3}, {0, 2, 4}},       // w = 3
      {3, {4, 3, 2}, {1, 3, 5}},       // w = 4
      {4, {4, 3, 2, 1}, {0, 2, 4, 6}}, // w = 5
      {3, {3, 2, 1}, {1, 3, 5}},       // w = 6
      {3, {3, 2, 1}, {0, 2, 4}},       // w = 7
  };
  if (w < 0 || w > kMaxWilds) return false;
  const Allowed& a = kAllowed[w];
  for (int i = 0; i < a.count; ++i) {
    if (a.pairs[i] == pairs && a.singles[i] == singles) return true;
  }
  return false;
}

// ---- knitted pieces -----------------------------------------------------------------------

bool TakenHasColor(const GroupList& taken, int32_t color) {
  for (const MeldGroup& g : taken) {
    if (g.m_nColor == color) return true;
  }
  return false;
}

// The three knitted classes are 1-4-7, 2-5-8 and 3-6-9: values equal modulo 3.
bool TakenHasClass(const GroupList& taken, int32_t value) {
  for (const MeldGroup& g : taken) {
    if ((g.m_nTopValue - value) % 3 == 0) return true;
  }
  return false;
}

bool TakenHasTop(const GroupList& taken, int32_t top) {
  for (const MeldGroup& g : taken) {
    if (g.m_nTopValue == top) return true;
  }
  return false;
}

// ---- exhaustive search --------------------------------------------------------------------

MeldGroup GroupOfRealTiles(int32_t color, const int32_t* values, int n) {
  if (n == 1) return {color, values[0], 1, 1, 1};
  if (n == 2) return {color, values[1], 1, 2, values[1] - values[0]};
  return ChowGroup(color, values[2]);
}

// Depth-first search over the lowest tile left: it goes into a set of identical tiles, a chow
// (suits only) or the pair, with wilds standing in for what is missing. Using a real tile
// where one is available is never worse than using a wild there, so only those choices are
// tried.
bool Search(Counts counts, int pos, int wilds, int sets, int pair, GroupList* out) {
  while (pos < kCountSlots && counts[pos] == 0) ++pos;
  if (pos == kCountSlots) return wilds == 3 * sets + 2 * pair;
  const int32_t color = pos / 10;
  const int32_t value = pos % 10;
  const int have = counts[pos];

  auto descend = [&](const MeldGroup* g, int used_wilds, int sets_left, int pair_left) {
    if (out != nullptr && g != nullptr) out->push_back(*g);
    if (Search(counts, pos, wilds - used_wilds, sets_left, pair_left, out)) return true;
    if (out != nullptr && g != nullptr) out->pop_back();
    return false;
  };

  if (sets > 0) {
    const int real = have < 3 ? have : 3;
    if (3 - real <= wilds) {
      MeldGroup g = CopiesGroup({color, value}, real);
      counts[pos] = static_cast<int8_t>(have - real);
      bool found = descend(&g, 3 - real, sets - 1, pair);
      counts[pos] = static_cast<int8_t>(have);
      if (found) return true;
    }
    if (IsSuitColor(color)) {
      for (int32_t start = value; start >= value - 2; --start) {
        if (start < 1 || start + 2 > 9) continue;
        int32_t real_values[3];
        int n_real = 0;
        int need = 0;
        for (int32_t v = start; v <= start + 2; ++v) {
          if (v == value || (v > value && counts[color * 10 + v] > 0)) {
            real_values[n_real++] = v;
          } else {
            ++need;
          }
        }
        if (need > wilds) continue;
        for (int i = 0; i < n_real; ++i) --counts[color * 10 + real_values[i]];
        MeldGroup g = GroupOfRealTiles(color, real_values, n_real);
        bool found = descend(&g, need, sets - 1, pair);
        for (int i = 0; i < n_real; ++i) ++counts[color * 10 + real_values[i]];
        if (found) return true;
      }
    }
  }
  if (pair > 0) {
    const int real = have < 2 ? have : 2;
    if (2 - real <= wilds) {
      MeldGroup g = CopiesGroup({color, value}, real);
      counts[pos] = static_cast<int8_t>(have - real);
      bool found = descend(&g, 2 - real, sets, 0);
      counts[pos] = static_cast<int8_t>(have);
      if (found) return true;
    }
  }
  return false;
}

}  // namespace

// ---- partitions ---------------------------------------------------------------------------

namespace {

// ---- partitions of sorted tiles -----------------------------------------------------------
//
// For tiles sorted either way (every tile judgeable) the groupings of PartitionTilesByGrouping
// follow from the counts alone. Tiles of one colour come together and a group only ever takes
// tiles of its own colour, so each colour is grouped on its own, in the order of the pass.
// Within a colour the tiles come value by value: a tile of value v joins the first group (in
// list order) that ends `step` before v and has room, and every group that grows moves to the
// end of the list. So the groups ending at v are, in list order, those grown by the tiles of v
// (in the order of the groups they grew from) and then the new singles; and a group that
// reaches the limit never grows again, so the full groups, which are the ones taken, stand in
// the list in the order they filled up. The identical steps take the faces in the order of
// the pass, and what is left stays sorted.

// The tiles by face: the 34 faces of FaceOf, then the four seasons and the four flowers
// (every judgeable tile), with a bit for each face held. Faces ascend as the tiles sort.
constexpr int kSortedFaces = kFaceCount + 8;

struct SortedCounts {
  int8_t n[kSortedFaces] = {};
  uint64_t held = 0;
};

int SortedFaceOf(const card& c) {
  return c.m_nColor <= ColorDragons ? FaceOf(c) : kFaceCount + (c.m_nColor - ColorSeasons) * 4 +
                                                       c.m_nValue - 1;
}

struct SortedFaceTiles {
  card tiles[kSortedFaces];
};

constexpr SortedFaceTiles MakeSortedFaceTiles() {
  SortedFaceTiles out{};
  for (int f = 0; f < kSortedFaces; ++f) {
    const int flower = f - kFaceCount;  // seasons, then flowers
    out.tiles[f] = f < kFaceCount ? CardOfFace(f) : card{ColorSeasons + flower / 4, flower % 4 + 1};
  }
  return out;
}

constexpr SortedFaceTiles kSortedFaceTiles = MakeSortedFaceTiles();

card CardOfSortedFace(int f) { return kSortedFaceTiles.tiles[f]; }

// The next face held in the order of the pass, taken off `bits`.
int NextFace(uint64_t& bits, bool ascending) {
  const int f = ascending ? __builtin_ctzll(bits) : 63 - __builtin_clzll(bits);
  bits &= ~(uint64_t{1} << f);
  return f;
}

// What a partition takes, in order: at most one group per tile.
struct Taken {
  MeldGroup groups[kMaxWorkTiles];
  int size = 0;
  int sets = 0;
  int pieces = 0;
  int pairs = 0;
  int singles = 0;

  template <Step kStep>
  void Put(const MeldGroup& g, int copies) {
    for (int k = 0; k < copies; ++k) groups[size++] = g;
    if (kStep == Step::Sequences3 || kStep == Step::Identical3) {
      sets += copies;
    } else {
      pieces += copies;
      if (kStep == Step::Identical2) pairs += copies;
    }
  }

  void CopyTo(Partition& out) const {
    out.groups.assign(groups, size);
    out.sets = sets;
    out.pieces = pieces;
    out.pairs = pairs;
    out.singles = singles;
  }
};

// One grouping by steps over one suit, taking the full groups. The groups ending at each value
// stand in the list as the full ones, then those of two values, then the singles (the tiles
// of a value grow the open groups ending `gap` before it in that order, and start singles
// after them), so two counts per value tell which groups fill up. In a descending pass the
// values come from 9 down and a group grows downwards.
template <Step kStep>
void RunSortedSequenceStep(SortedCounts& counts, int32_t color, bool ascending, Taken& out) {
  constexpr int kLimit = kStep == Step::Sequences3 ? 3 : 2;
  constexpr int kGap = kStep == Step::Gaps2 ? 2 : 1;
  const int base = color * 9;
  uint64_t bits = (counts.held >> base) & 0x1ff;
  // No group can fill without `limit` values held `gap` apart.
  const uint64_t room = kLimit == 3 ? bits & (bits >> 1) & (bits >> 2) : bits & (bits >> kGap);
  if (room == 0) return;
  int8_t* n = counts.n + base;
  // The last two values passed (held ones only) with the singles ending there, and the groups
  // of two values ending at the last one; a value not held ends no group.
  int last = -9;
  int last_singles = 0;
  int last_twos = 0;
  int before = -9;
  int before_singles = 0;
  const int step = ascending ? kGap : -kGap;
  while (bits != 0) {
    const int v = NextFace(bits, ascending);
    const int have = n[v];
    int full = 0;
    int grown = 0;
    if (kLimit == 3) {
      const int singles = last == v - step ? last_singles : 0;
      const int twos = last == v - step ? last_twos : 0;
      full = have < twos ? have : twos;
      grown = have - full < singles ? have - full : singles;
    } else {
      const int singles = last == v - step ? last_singles : before == v - step ? before_singles : 0;
      full = have < singles ? have : singles;
    }
    before = last;
    before_singles = last_singles;
    last = v;
    last_singles = have - full - grown;
    last_twos = grown;
    if (full == 0) continue;
    // The group holds v and the values `gap` apart towards where it began; the values it
    // takes have all been passed.
    const int top = ascending ? v : v + (kLimit - 1) * kGap;
    out.Put<kStep>({color, top + 1, 1, kLimit, kGap}, full);
    for (int m = 0; m < kLimit; ++m) {
      const int at = top - m * kGap;
      n[at] = static_cast<int8_t>(n[at] - full);
      if (n[at] == 0) counts.held &= ~(uint64_t{1} << (base + at));
    }
  }
}

template <Step kStep>
void RunSortedStep(SortedCounts& counts, bool ascending, Taken& out) {
  if (kStep == Step::Identical3 || kStep == Step::Identical2) {
    constexpr int kLimit = kStep == Step::Identical3 ? 3 : 2;
    uint64_t bits = counts.held;
    while (bits != 0) {
      const int f = NextFace(bits, ascending);
      const int full = counts.n[f] / kLimit;
      if (full == 0) continue;
      out.Put<kStep>(CopiesGroup(CardOfSortedFace(f), kLimit), full);
      counts.n[f] = static_cast<int8_t>(counts.n[f] - full * kLimit);
      if (counts.n[f] == 0) counts.held &= ~(uint64_t{1} << f);
    }
  } else {
    for (int c = 0; c < 3; ++c) {
      RunSortedSequenceStep<kStep>(counts, ascending ? c : 2 - c, ascending, out);
    }
  }
}

void PartitionSortedCounts(SortedCounts& counts, bool ascending, PartitionKind kind,
                           Taken& out) {
  if (kind == PartitionKind::SequencesFirst) {
    RunSortedStep<Step::Sequences3>(counts, ascending, out);
    if (counts.held != 0) RunSortedStep<Step::Identical3>(counts, ascending, out);
    if (counts.held != 0) RunSortedStep<Step::Sequences2>(counts, ascending, out);
    if (counts.held != 0) RunSortedStep<Step::Identical2>(counts, ascending, out);
  } else {
    RunSortedStep<Step::Identical3>(counts, ascending, out);
    if (counts.held != 0) RunSortedStep<Step::Sequences3>(counts, ascending, out);
    if (counts.held != 0) RunSortedStep<Step::Identical2>(counts, ascending, out);
    if (counts.held != 0) RunSortedStep<Step::Sequences2>(counts, ascending, out);
  }
  if (counts.held != 0) RunSortedStep<Step::Gaps2>(counts, ascending, out);
  uint64_t bits = counts.held;
  while (bits != 0) {
    const int f = NextFace(bits, ascending);
    const MeldGroup g = SingleGroup(CardOfSortedFace(f));
    for (int k = 0; k < counts.n[f]; ++k) out.groups[out.size++] = g;
    out.singles += counts.n[f];
  }
}

// The counts of tiles made by CountFaces (at most kMaxWorkTiles of them).
void SortedCountsOfFaces(const FaceCounts& faces, SortedCounts& counts) {
  std::memcpy(counts.n, faces.n, kFaceCount);  // counts up to kMaxWorkTiles fit either way
  counts.held = faces.present;
}

}  // namespace

void PartitionTiles(const card* tiles, int t, PartitionKind kind, Partition& out) {
  // Judgeable tiles sorted either way are partitioned on their counts.
  if (t >= 0 && t <= kMaxWorkTiles && AllJudgeable(tiles, t)) {
    SortedCounts counts;
    bool up = true;
    bool down = true;
    int last = 0;
    for (int i = 0; i < t; ++i) {
      const int f = SortedFaceOf(tiles[i]);
      ++counts.n[f];
      counts.held |= uint64_t{1} << f;
      if (i > 0) {
        up = up && last <= f;
        down = down && last >= f;
      }
      last = f;
    }
    if (up || down) {
      Taken taken;
      PartitionSortedCounts(counts, up, kind, taken);
      taken.CopyTo(out);
      return;
    }
  }
  PartitionTilesByGrouping(tiles, t, kind, out);
}

void PartitionTilesByGrouping(const card* tiles, int t, PartitionKind kind, Partition& out) {
  out.groups.clear();
  out.sets = out.pieces = out.pairs = out.singles = 0;
  TileList rest;
  rest.assign(tiles, t);
  static constexpr Step kSequencesFirst[] = {Step::Sequences3, Step::Identical3,
                                             Step::Sequences2, Step::Identical2, Step::Gaps2};
  static constexpr Step kPungsFirst[] = {Step::Identical3, Step::Sequences3, Step::Identical2,
                                         Step::Sequences2, Step::Gaps2};
  const Step* steps = kind == PartitionKind::SequencesFirst ? kSequencesFirst : kPungsFirst;
  const bool judgeable = AllJudgeable(tiles, t);
  for (int i = 0; i < 5 && !rest.empty(); ++i) RunStep(rest, steps[i], judgeable, out);
  for (const card& c : rest) {
    out.groups.push_back(SingleGroup(c));
    ++out.singles;
  }
}

bool PartitionWins(const Partition& p, int n, int w) {
  if (w == 0) return p.sets == n && p.pieces == 1 && p.pairs == 1 && p.singles == 0;
  return PartitionReadyCount(p, n, w - 1);
}

bool PartitionReadyCount(const Partition& p, int n, int w) {
  if (p.pieces + p.sets + p.singles > n + 1) return false;
  if (p.Tiles() != 3 * n + 1 - w) return false;
  return p.pieces < 2 || p.singles != 0 || p.pairs > 0;
}

bool PartitionSetsOnly(const Partition& p, int n, int w, int t) {
  if (w == 0) return p.sets == n && p.pieces == 0 && p.singles == 0;
  return p.sets + p.pieces + p.singles <= n && t == 3 * n - w;
}

// ---- seven pairs --------------------------------------------------------------------------

namespace {

// Pairs and singles of the tiles grouped as identical tiles with limit 2: c copies of a tile
// make c / 2 pairs and c % 2 singles.
void CountPairsAndSingles(const card* tiles, int t, int& pairs, int& singles) {
  pairs = 0;
  singles = 0;
  if (AllJudgeable(tiles, t)) {
    Counts counts{};
    for (int i = 0; i < t; ++i) {
      if (++counts[CountSlot(tiles[i])] % 2 == 0) {
        ++pairs;
        --singles;
      } else {
        ++singles;
      }
    }
    return;
  }
  GroupList groups;
  GroupIdentical(tiles, t, 2, groups);
  CountPairsAndSingles(groups, pairs, singles);
}

}  // namespace

bool SevenPairsWin(const card* tiles, int t, int w, GroupList& groups) {
  groups.clear();
  if (t + w != 14 || w < 0 || w > kMaxWilds) return false;
  int pairs = 0;
  int singles = 0;
  CountPairsAndSingles(tiles, t, pairs, singles);
  const bool win = w == 0 ? pairs == 7 : SevenPairsReadyCount(pairs, singles, w - 1);
  if (win) GroupIdentical(tiles, t, 2, groups);
  return win;
}

bool SevenPairsReady(const card* tiles, int t, int w) {
  if (t + w != 13) return false;
  int pairs = 0;
  int singles = 0;
  CountPairsAndSingles(tiles, t, pairs, singles);
  return SevenPairsReadyCount(pairs, singles, w);
}

namespace {

// Sets besides the pair of a standard hand of `total` tiles, or -1 for a size that is none.
int StandardSets(int total) {
  return (total == 5 || total == 8 || total == 11 || total == 14) ? (total - 2) / 3 : -1;
}

}  // namespace

bool StandardWin(const card* tiles, int t, int w, GroupList& groups, int& shape) {
  return StandardWinByPartitions(tiles, t, w, groups, shape) ||
         StandardWinByLaterStrategies(tiles, t, w, groups, shape);
}

bool StandardWinByPartitions(const card* tiles, int t, int w, GroupList& groups, int& shape) {
  groups.clear();
  if (t < 0 || w < 0) return false;
  const int total = t + w;
  if (total == 2) {
    if (w >= 1) {
      for (int i = 0; i < t; ++i) groups.push_back(SingleGroup(tiles[i]));
      return true;
    }
    if (tiles[0] != tiles[1]) return false;
    groups.push_back(CopiesGroup(tiles[0], 2));
    return true;
  }
  const int n = StandardSets(total);
  if (n < 0) return false;
  Partition part;
  PartitionTiles(tiles, t, PartitionKind::SequencesFirst, part);
  if (PartitionWins(part, n, w)) {
    AppendGroups(part.groups, groups);
    shape = kShapeSequencesFirst;
    return true;
  }
  PartitionTiles(tiles, t, PartitionKind::PungsFirst, part);
  if (PartitionWins(part, n, w)) {
    AppendGroups(part.groups, groups);
    shape = kShapePungsFirst;
    return true;
  }
  return false;
}

bool StandardWinByPartitionsOfFaces(const FaceCounts& faces, bool ascending, GroupList& groups,
                                    int& shape, bool partitions_lost) {
  groups.clear();
  const int total = faces.total;
  if (total == 2) {
    if (faces.present == 0 || (faces.present & (faces.present - 1)) != 0) return false;
    groups.push_back(CopiesGroup(CardOfFace(__builtin_ctzll(faces.present)), 2));
    return true;
  }
  const int n = StandardSets(total);
  if (n < 0) return false;
  // (Without wilds the hand holds 14 tiles at most.)
  for (PartitionKind kind : {PartitionKind::SequencesFirst, PartitionKind::PungsFirst}) {
    if (partitions_lost) break;
    SortedCounts counts;
    SortedCountsOfFaces(faces, counts);
    Taken taken;
    PartitionSortedCounts(counts, ascending, kind, taken);
    if (taken.sets == n && taken.pieces == 1 && taken.pairs == 1 && taken.singles == 0) {
      groups.assign(taken.groups, taken.size);
      shape = kind == PartitionKind::SequencesFirst ? kShapeSequencesFirst : kShapePungsFirst;
      return true;
    }
  }
  return false;
}

bool PartitionWinOfFaces(const FaceCounts& faces, PartitionKind kind, GroupList& groups) {
  groups.clear();
  const int total = faces.total;
  if (total != 5 && total != 8 && total != 11 && total != 14) return false;
  // An honour held once or four times leaves a single tile whatever the steps: most hands
  // that cannot win go at once.
  for (int f = 27; f < kFaceCount; ++f) {
    if (faces.n[f] % 3 == 1) return false;
  }
  // The partition wins when its chow and pung steps leave one pair: the pair steps then take
  // it and nothing else is left.
  const bool pungs_first = kind == PartitionKind::PungsFirst;
  uint8_t n[kFaceCount];
  uint8_t pungs[kFaceCount];
  std::memcpy(n, faces.n, kFaceCount);
  uint64_t held = faces.present;
  if (pungs_first) {
    for (uint64_t bits = faces.present; bits != 0; bits &= bits - 1) {
      const int f = __builtin_ctzll(bits);
      pungs[f] = static_cast<uint8_t>(n[f] / 3);
      n[f] = static_cast<uint8_t>(n[f] - 3 * pungs[f]);
      if (n[f] == 0) held &= ~(uint64_t{1} << f);
    }
  }
  // The chows taken: suit, top value index and how many, in the order of the pass.
  struct Chows {
    int8_t suit;
    int8_t top;
    int8_t count;
  } chows[kMaxWorkTiles];
  int found = 0;
  for (int suit = 0; suit < 3; ++suit) {
    uint64_t bits = (held >> (suit * 9)) & 0x1ff;
    if ((bits & (bits >> 1) & (bits >> 2)) == 0) continue;
    uint8_t* c = n + suit * 9;
    // As the chow step of the partition (see RunSortedSequenceStep), ascending.
    int last = -9;
    int last_singles = 0;
    int last_twos = 0;
    while (bits != 0) {
      const int v = __builtin_ctzll(bits);
      bits &= bits - 1;
      const int have = c[v];
      const int singles = last == v - 1 ? last_singles : 0;
      const int twos = last == v - 1 ? last_twos : 0;
      const int full = have < twos ? have : twos;
      const int grown = have - full < singles ? have - full : singles;
      last = v;
      last_singles = have - full - grown;
      last_twos = grown;
      if (full == 0) continue;
      chows[found++] = {static_cast<int8_t>(suit), static_cast<int8_t>(v),
                        static_cast<int8_t>(full)};
      c[v] = static_cast<uint8_t>(c[v] - full);
      c[v - 1] = static_cast<uint8_t>(c[v - 1] - full);
      c[v - 2] = static_cast<uint8_t>(c[v - 2] - full);
    }
  }
  // The usual order: the chows (higher colour, then higher top first), then the pungs and
  // the pair by face from the highest (a face's pungs before its pair). The groups are
  // written field by field where they belong (at most 14 tiles: at most seven groups).
  MeldGroup* out = groups.data();
  int k = 0;
  auto put = [&](int32_t color, int32_t top, int32_t copies, int32_t values) {
    MeldGroup& g = out[k++];
    g.m_nColor = color;
    g.m_nTopValue = top;
    g.m_nCopies = copies;
    g.m_nValues = values;
    g.m_nStep = 1;
  };
  for (int i = found - 1; i >= 0; --i) {
    for (int m = 0; m < chows[i].count; ++m) put(chows[i].suit, chows[i].top + 1, 1, 3);
  }
  // Sequences first, the pungs come now and take three of every face. Either way exactly one
  // face may keep two tiles, and none one.
  int pair = -1;
  for (uint64_t bits = faces.present; bits != 0;) {
    const int f = 63 - __builtin_clzll(bits);
    bits &= ~(uint64_t{1} << f);
    if (!pungs_first) {
      pungs[f] = static_cast<uint8_t>(n[f] / 3);
      n[f] = static_cast<uint8_t>(n[f] - 3 * pungs[f]);
    }
    const card tile = CardOfSortedFace(f);
    for (int m = pungs[f]; m > 0; --m) put(tile.m_nColor, tile.m_nValue, 3, 1);
    if (n[f] == 0) continue;
    if (n[f] == 1 || pair >= 0) return false;
    pair = f;
    put(tile.m_nColor, tile.m_nValue, 2, 1);
  }
  if (pair < 0) return false;
  groups.resize(k);
  return true;
}

namespace {

// The faces in the order the eye-first strategy tries its eyes: by value, and faces of one
// value in the order of the pass.
struct EyeOrders {
  int8_t up[kFaceCount];
  int8_t down[kFaceCount];
};

constexpr EyeOrders MakeEyeOrders() {
  EyeOrders out{};
  int k = 0;
  for (int value = 1; value <= 9; ++value) {
    for (int f = 0; f < kFaceCount; ++f) {
      if (CardOfFace(f).m_nValue == value) out.up[k++] = static_cast<int8_t>(f);
    }
  }
  // Descending, the faces of one value come in the reverse order.
  for (int i = 0; i < kFaceCount;) {
    int j = i;
    while (j < kFaceCount && CardOfFace(out.up[j]).m_nValue == CardOfFace(out.up[i]).m_nValue) ++j;
    for (int m = i; m < j; ++m) out.down[m] = out.up[i + j - 1 - m];
    i = j;
  }
  return out;
}

constexpr EyeOrders kEyeOrders = MakeEyeOrders();

// EyeFirstWin of the sorted tiles of `faces` with no wild. (A face held more than four times
// is two groups of the grouping, both tried in turn: the second answers as the first.)
bool EyeFirstWinOfFaces(const FaceCounts& faces, bool ascending, int n, GroupList& groups) {
  groups.clear();
  // The rest is sets only, so every suit and honour face is left with a multiple of three
  // tiles: the eye is in the one unit that holds two more than that.
  int eye_unit = -1;  // a suit 0-2, or 3 + an honour face
  for (int unit = 0; unit < 3 + kFaceCount - 27; ++unit) {
    int count = 0;
    if (unit < 3) {
      for (int v = 0; v < 9; ++v) count += faces.n[unit * 9 + v];
    } else {
      count = faces.n[27 + unit - 3];
    }
    const int r = count % 3;
    if (r == 1 || (r == 2 && eye_unit >= 0)) return false;
    if (r == 2) eye_unit = unit;
  }
  if (eye_unit < 0) return false;
  // The suits without the eye are sets only or no eye will do.
  for (int suit = 0; suit < 3; ++suit) {
    if (suit != eye_unit && !FacesSuitSetsOnly(faces, suit)) return false;
  }
  const int8_t* order = ascending ? kEyeOrders.up : kEyeOrders.down;
  for (int i = 0; i < kFaceCount; ++i) {
    const int eye = order[i];
    if (faces.n[eye] < 2 || (eye < 27 ? eye / 9 : eye - 27 + 3) != eye_unit) continue;
    FaceCounts rest = faces;
    rest.n[eye] = static_cast<uint8_t>(rest.n[eye] - 2);
    rest.total -= 2;
    if (rest.n[eye] == 0) rest.present &= ~(uint64_t{1} << eye);
    // The partitions only ever find sets that exist; when none exist, they need not look.
    // (Honours at a multiple of three are pungs.)
    if (eye_unit < 3 && !FacesSuitSetsOnly(rest, eye_unit)) continue;
    for (PartitionKind kind : {PartitionKind::SequencesFirst, PartitionKind::PungsFirst}) {
      SortedCounts counts;
      SortedCountsOfFaces(rest, counts);
      Taken taken;
      PartitionSortedCounts(counts, ascending, kind, taken);
      if (taken.sets == n && taken.pieces == 0 && taken.singles == 0) {
        groups.assign(taken.groups, taken.size);
        groups.push_back(CopiesGroup(CardOfFace(eye), 2));
        return true;
      }
    }
  }
  return false;
}

}  // namespace

bool StandardWinOfFaces(const FaceCounts& faces, bool ascending, GroupList& groups, int& shape,
                        bool partitions_lost) {
  if (StandardWinByPartitionsOfFaces(faces, ascending, groups, shape, partitions_lost)) {
    return true;
  }
  groups.clear();
  const int total = faces.total;
  const int n = StandardSets(total);
  if (n < 0) return false;
  if (EyeFirstWinOfFaces(faces, ascending, n, groups)) {
    shape = kShapeEyeFirst;
    return true;
  }
  // The knitted straight strategy only finds one that exists. (No wild: no chow across a gap.)
  if ((total == 11 || total == 14) && FacesKnittedStraightWin(faces)) {
    card tiles[kMaxWorkTiles];
    SortedTiles(faces, ascending, tiles);
    if (KnittedStraightWin(tiles, total, 0, groups)) {
      shape = kShapeKnittedStraight;
      return true;
    }
  }
  groups.clear();
  return false;
}

bool StandardWinByLaterStrategies(const card* tiles, int t, int w, GroupList& groups,
                                  int& shape) {
  groups.clear();
  if (t < 0 || w < 0) return false;
  const int total = t + w;
  const int n = StandardSets(total);
  if (n < 0) return false;
  if (EyeFirstWin(tiles, t, w, n, groups)) {
    shape = kShapeEyeFirst;
    return true;
  }
  if ((total == 11 || total == 14) && KnittedStraightWin(tiles, t, w, groups)) {
    shape = kShapeKnittedStraight;
    return true;
  }
  if (GapChowWin(tiles, t, w, groups)) {
    shape = kShapeGapChow;
    return true;
  }
  groups.clear();
  return false;
}

bool EyeFirstWin(const card* tiles, int t, int w, int n, GroupList& groups) {
  groups.clear();
  GroupList eyes;
  GroupIdentical(tiles, t, 4, eyes);
  // By value ascending; equal values keep their order.
  for (int i = 1; i < eyes.size(); ++i) {
    MeldGroup item = eyes[i];
    int k = i;
    while (k > 0 && item.m_nTopValue < eyes[k - 1].m_nTopValue) {
      eyes[k] = eyes[k - 1];
      --k;
    }
    eyes[k] = item;
  }
  TileList rest;
  Partition part;
  for (const MeldGroup& eye : eyes) {
    if (eye.m_nCopies < 2) continue;
    rest.assign(tiles, t);
    MeldGroup pair = CopiesGroup(GroupTile(eye), 2);
    RemoveGroupTiles(pair, rest);
    if (SetsOnlyByEitherPartition(rest, n, w, part)) {
      AppendGroups(part.groups, groups);
      groups.push_back(pair);
      return true;
    }
  }
  if (w < 1) return false;
  for (const MeldGroup& eye : eyes) {
    if (eye.m_nCopies != 1) continue;
    rest.assign(tiles, t);
    RemoveOneCard(rest, GroupTile(eye));
    if (SetsOnlyByEitherPartition(rest, n, w - 1, part)) {
      AppendGroups(part.groups, groups);
      groups.push_back(eye);
      return true;
    }
  }
  return false;
}

void FindGapChows(const card* tiles, int t, GapChowList& out) {
  out.clear();
  GroupList groups;
  GroupSequences(tiles, t, 4, groups);
  OrderGroups(groups);
  for (int i = 0; i < groups.size(); ++i) {
    const MeldGroup& run = groups[i];
    if (run.m_nValues != 4 || !IsSuitColor(run.m_nColor)) continue;
    const int32_t color = run.m_nColor;
    const int32_t low = LowestValue(run);
    for (int j = 0; j < groups.size(); ++j) {
      const MeldGroup& other = groups[j];
      if (j == i || other.m_nColor != color) continue;
      if (LowestValue(other) == run.m_nTopValue + 2) {
        out.push_back({ChowGroup(color, run.m_nTopValue + 2),
                       {{color, run.m_nTopValue}, {color, run.m_nTopValue + 2}}});
      } else if (other.m_nTopValue == low - 2) {
        out.push_back({ChowGroup(color, low), {{color, low - 2}, {color, low}}});
      }
    }
  }
}

bool GapChowWin(const card* tiles, int t, int w, GroupList& groups) {
  groups.clear();
  if (w < 1 || w > kMaxWilds) return false;
  GapChowList candidates;
  FindGapChows(tiles, t, candidates);
  TileList rest;
  GroupList inner;
  for (const GapChowCandidate& candidate : candidates) {
    rest.assign(tiles, t);
    RemoveOneCard(rest, candidate.present[0]);
    RemoveOneCard(rest, candidate.present[1]);
    SortCards(rest.data(), rest.size(), true);
    int inner_shape = kShapeNone;
    if (StandardWin(rest.data(), rest.size(), w - 1, inner, inner_shape)) {
      AppendGroups(inner, groups);
      groups.push_back(candidate.chow);
      return true;
    }
  }
  return false;
}

// ---- knitted pieces -----------------------------------------------------------------------

void TakeKnittedPieces(const card* tiles, int t, KnittedPieces& out) {
  out.taken.clear();
  out.triples = out.twos = out.singles = 0;

  GroupList groups;
  GroupSteps(tiles, t, 3, 3, groups);
  OrderGroups(groups);
  TileList leftovers;
  bool walk_ended = false;
  for (const MeldGroup& g : groups) {
    bool take = false;
    if (!walk_ended && IsSuitColor(g.m_nColor)) {
      if (g.m_nValues == 3) {
        take = !TakenHasColor(out.taken, g.m_nColor) && !TakenHasTop(out.taken, g.m_nTopValue);
      } else if (g.m_nValues == 2) {
        take = !TakenHasColor(out.taken, g.m_nColor) && !TakenHasClass(out.taken, g.m_nTopValue);
      }
    }
    if (!take) {
      AppendGroupTiles(g, leftovers);
      continue;
    }
    out.taken.push_back(g);
    if (g.m_nValues == 3) {
      if (++out.triples == 3) walk_ended = true;
    } else {
      ++out.twos;
    }
  }

  SortCards(leftovers.data(), leftovers.size(), true);
  GroupSteps(leftovers.data(), leftovers.size(), 2, 6, groups);
  TileList rest;
  for (const MeldGroup& g : groups) {
    if (g.m_nValues == 2 && IsSuitColor(g.m_nColor) && !TakenHasColor(out.taken, g.m_nColor) &&
        !TakenHasClass(out.taken, g.m_nTopValue)) {
      out.taken.push_back(g);
      ++out.twos;
    } else {
      AppendGroupTiles(g, rest);
    }
  }

  for (const card& c : rest) {
    if (!IsSuitColor(c.m_nColor) || TakenHasColor(out.taken, c.m_nColor)) continue;
    if (TakenHasClass(out.taken, c.m_nValue)) continue;
    out.taken.push_back(SingleGroup(c));
    ++out.singles;
  }
}

bool KnittedStraightWin(const card* tiles, int t, int w, GroupList& groups) {
  groups.clear();
  const int total = t + w;
  if ((total != 11 && total != 14) || w < 0 || w > kMaxWilds) return false;
  const int n = (total - 11) / 3;  // sets besides the knitted straight and the pair

  KnittedPieces pieces;
  TakeKnittedPieces(tiles, t, pieces);
  OrderGroups(pieces.taken);
  TileList rest;
  rest.assign(tiles, t);
  for (const MeldGroup& g : pieces.taken) RemoveGroupTiles(g, rest);

  Partition part;
  if (w == 0) {
    if (pieces.triples != 3 || pieces.twos != 0 || pieces.singles != 0) return false;
    for (PartitionKind kind : {PartitionKind::SequencesFirst, PartitionKind::PungsFirst}) {
      PartitionTiles(rest.data(), rest.size(), kind, part);
      if (PartitionWins(part, n, 0)) {
        AppendGroups(pieces.taken, groups);
        AppendGroups(part.groups, groups);
        return true;
      }
    }
    return false;
  }

  const int count = pieces.taken.size();
  if (count != 3 && count != 2) return false;
  const int knitted = 3 * pieces.triples + 2 * pieces.twos + pieces.singles;
  int j = -1;
  for (int k = 0; k < w; ++k) {
    if (knitted == 9 - k || knitted == 8 - k) {
      j = k;
      break;
    }
  }
  if (j < 0) return false;
  const int wilds_left = w - 1 - j;
  for (PartitionKind kind : {PartitionKind::SequencesFirst, PartitionKind::PungsFirst}) {
    PartitionTiles(rest.data(), rest.size(), kind, part);
    bool ok = knitted == 9 - j ? PartitionReadyCount(part, n, wilds_left)
                               : PartitionWins(part, n, wilds_left);
    if (ok) {
      AppendGroups(part.groups, groups);
      AppendGroups(pieces.taken, groups);
      return true;
    }
  }
  return false;
}

// ---- exhaustive search --------------------------------------------------------------------

bool AllJudgeable(const card* tiles, int t) {
  // The highest value of each colour that can be judged (the wild colour none).
  static constexpr int32_t kHighest[8] = {9, 9, 9, 4, 3, 4, 4, 0};
  for (int i = 0; i < t; ++i) {
    const uint32_t color = static_cast<uint32_t>(tiles[i].m_nColor);
    const int32_t value = tiles[i].m_nValue;
    if (color > 7 || value < 1 || value > kHighest[color]) return false;
  }
  return true;
}

bool ExhaustiveKnittedStraightWin(const card* tiles, int t, int w) {
  const int total = t + w;
  if (t < 0 || w < 0 || (total != 11 && total != 14) || !AllJudgeable(tiles, t)) return false;
  Counts counts{};
  for (int i = 0; i < t; ++i) ++counts[tiles[i].m_nColor * 10 + tiles[i].m_nValue];
  // Each suit takes one class: the first value of the class of characters, dots and bamboo.
  static constexpr int32_t kStarts[6][3] = {{1, 2, 3}, {1, 3, 2}, {2, 1, 3},
                                            {2, 3, 1}, {3, 1, 2}, {3, 2, 1}};
  for (const auto& starts : kStarts) {
    Counts rest;
    for (int i = 0; i < kCountSlots; ++i) rest[i] = counts[i];
    int missing = 0;
    for (int32_t suit = 0; suit < 3; ++suit) {
      for (int32_t v = starts[suit]; v <= 9; v += 3) {
        int8_t& n = rest[suit * 10 + v];
        if (n > 0) {
          --n;
        } else {
          ++missing;
        }
      }
    }
    if (missing <= w && Search(rest, 0, w - missing, (total - 11) / 3, 1, nullptr)) return true;
  }
  return false;
}

bool ExhaustiveSetsOnly(const card* tiles, int t, int w, int n) {
  if (t < 0 || w < 0 || t + w != 3 * n || !AllJudgeable(tiles, t)) return false;
  Counts counts{};
  for (int i = 0; i < t; ++i) ++counts[tiles[i].m_nColor * 10 + tiles[i].m_nValue];
  return Search(counts, 0, w, n, 0, nullptr);
}

bool ExhaustiveSetsAndPair(const card* tiles, int t, int w, int n, GroupList* groups) {
  if (groups != nullptr) groups->clear();
  if (t < 0 || w < 0 || n < 0 || t + w != 3 * n + 2 || !AllJudgeable(tiles, t)) return false;
  Counts counts{};
  for (int i = 0; i < t; ++i) {
    // A face held more often than a count slot can tell is no hand of one set.
    if (++counts[tiles[i].m_nColor * 10 + tiles[i].m_nValue] > 8) return false;
  }
  return Search(counts, 0, w, n, 1, groups);
}

bool ExhaustiveStandardWin(const card* tiles, int t, int w, GroupList* groups) {
  if (groups != nullptr) groups->clear();
  const int total = t + w;
  if (t < 0 || w < 0 || total < 2 || total > 14 || (total - 2) % 3 != 0) return false;
  if (!AllJudgeable(tiles, t)) return false;
  Counts counts{};
  for (int i = 0; i < t; ++i) ++counts[tiles[i].m_nColor * 10 + tiles[i].m_nValue];
  return Search(counts, 0, w, (total - 2) / 3, 1, groups);
}

}  // namespace win_search
