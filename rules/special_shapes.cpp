#include "special_shapes.h"

#include "face_counts.h"

namespace win_search {

namespace {

bool TakenHasColor(const GroupList& taken, int32_t color) {
  for (const MeldGroup& g : taken) {
    if (g.m_nColor == color) return true;
  }
  return false;
}

void AppendSingles(const TileList& tiles, GroupList& groups) {
  for (const card& c : tiles) groups.push_back(SingleGroup(c));
}

// The counts a special shape is judged on, with the tiles the shape did not place.
struct SpecialParts {
  GroupList taken;
  TileList rest;
  HonourCount honours;
};

// ---- thirteen orphans ---------------------------------------------------------------------

// Terminal groups of the tiles: a 1 and a 9 of one suit make a full suit (F), a 1 or a 9
// alone a half suit (H); one group per suit.
struct Terminals {
  SpecialParts parts;
  int full = 0;
  int half = 0;
  int Slots() const { return 2 * full + half; }
};

void TakeTerminals(const card* tiles, int t, Terminals& out) {
  // The groupings join a tile only to a group formed before it: sorted tiles give the same
  // groups whatever order they came in.
  TileList sorted;
  sorted.assign(tiles, t);
  SortCards(sorted.data(), sorted.size(), true);
  GroupList groups;
  GroupSteps(sorted.data(), sorted.size(), 2, 8, groups);
  OrderGroups(groups);
  for (const MeldGroup& g : groups) {
    if (out.full == 3) break;
    if (!IsSuitColor(g.m_nColor) || (g.m_nTopValue != 1 && g.m_nTopValue != 9)) continue;
    if (TakenHasColor(out.parts.taken, g.m_nColor)) continue;
    out.parts.taken.push_back(g);
    if (g.m_nValues == 2) {
      ++out.full;
    } else {
      ++out.half;
    }
  }
  out.parts.rest.assign(tiles, t);
  for (const MeldGroup& g : out.parts.taken) RemoveGroupTiles(g, out.parts.rest);
  out.parts.honours = CountHonours(out.parts.rest.data(), out.parts.rest.size());
}

// Thirteen orphans with k + 1 wild tiles (k from 0): the terminal slots left open take i of
// them, the honours the rest.
bool OrphansReadyCount(const Terminals& terms, int k) {
  if (k < 0 || k > kMaxWilds) return false;
  const HonourCount& h = terms.parts.honours;
  if (!h.ok) return false;
  for (int i = 0; i <= k; ++i) {
    if (terms.Slots() == 6 - i && HonourRule(h, k - i)) return true;
  }
  return terms.Slots() == 5 - k && h.pairs == 1 && h.singles == 6;
}

// ---- knitted tiles ------------------------------------------------------------------------

// Two suit tiles of one value in different suits cannot both belong to one knitted straight.
bool SameValueInTwoSuits(const card* tiles, int t) {
  for (int i = 0; i < t; ++i) {
    if (!IsSuitColor(tiles[i].m_nColor)) continue;
    for (int k = i + 1; k < t; ++k) {
      if (IsSuitColor(tiles[k].m_nColor) && tiles[k].m_nValue == tiles[i].m_nValue &&
          tiles[k].m_nColor != tiles[i].m_nColor) {
        return true;
      }
    }
  }
  return false;
}

struct Knitted {
  SpecialParts parts;
  int triples = 0;
  int twos = 0;
  int singles = 0;
  int Tiles() const { return 3 * triples + 2 * twos + singles; }  // D
};

// False when the tiles cannot be knitted tiles at all.
bool TakeKnitted(const card* tiles, int t, Knitted& out) {
  if (SameValueInTwoSuits(tiles, t)) return false;
  TileList sorted;
  sorted.assign(tiles, t);
  SortCards(sorted.data(), sorted.size(), true);
  KnittedPieces pieces;
  TakeKnittedPieces(sorted.data(), sorted.size(), pieces);
  OrderGroups(pieces.taken);
  out.parts.taken = pieces.taken;
  out.triples = pieces.triples;
  out.twos = pieces.twos;
  out.singles = pieces.singles;
  out.parts.rest.assign(tiles, t);
  for (const MeldGroup& g : pieces.taken) RemoveGroupTiles(g, out.parts.rest);
  out.parts.honours = CountHonours(out.parts.rest.data(), out.parts.rest.size());
  return out.parts.honours.ok;
}

// Knitted tiles with k + 1 wild tiles.
bool KnittedReadyCount(const Knitted& kn, int k) {
  if (k < 0 || k > kMaxWilds) return false;
  const HonourCount& h = kn.parts.honours;
  const int d = kn.Tiles();
  if (d == 9) return HonourSlotRule(h, 5, k);
  if (d == 8) return HonourSlotRule(h, 6, k);
  for (int i = 0; i <= k; ++i) {
    if (d == 7 - i) return HonourSlotRule(h, 7, k - i);
  }
  return d == 6 - k && h.ok && h.pairs == 0 && h.singles == 7;
}

bool KnittedExact(const Knitted& kn) {
  const HonourCount& h = kn.parts.honours;
  if (h.pairs != 0) return false;
  const int k = kn.triples;
  const int t = kn.twos;
  const int l = kn.singles;
  if (k == 3 && t == 0 && l == 0) return h.singles == 5;
  if (k == 2 && t == 1 && l == 0) return h.singles == 6;
  if ((k == 2 && t == 0 && l == 1) || (k == 1 && t == 2 && l == 0)) return h.singles == 7;
  return false;
}

// ---- kongs held in the hand ---------------------------------------------------------------

// Faces held four times or more, each once, in ascending order.
void FourfoldFaces(const card* tiles, int t, TileList& out) {
  out.clear();
  TileList sorted;
  sorted.assign(tiles, t);
  SortCards(sorted.data(), sorted.size(), true);
  for (int i = 0; i + 3 < sorted.size(); ++i) {
    if (sorted[i] == sorted[i + 3] && (out.empty() || !(out[out.size() - 1] == sorted[i]))) {
      out.push_back(sorted[i]);
    }
  }
}

// Tries every choice of `k` kongs among faces[from..], the rest n sets and a pair.
bool ChooseKongs(const TileList& faces, int from, int k, TileList& rest, int w, int n,
                 GroupList& kongs, GroupList& groups) {
  if (k == 0) {
    if (!ExhaustiveSetsAndPair(rest.data(), rest.size(), w, n, &groups)) return false;
    for (const MeldGroup& g : kongs) groups.push_back(g);
    return true;
  }
  for (int i = from; i < faces.size(); ++i) {
    TileList without = rest;
    const MeldGroup kong = CopiesGroup(faces[i], 4);
    RemoveGroupTiles(kong, without);
    kongs.push_back(kong);
    if (ChooseKongs(faces, i + 1, k - 1, without, w, n, kongs, groups)) return true;
    kongs.pop_back();
  }
  return false;
}

}  // namespace

// ---- honours ------------------------------------------------------------------------------

HonourCount CountHonours(const card* tiles, int t) {
  HonourCount out;
  GroupList groups;
  GroupIdentical(tiles, t, 2, groups);
  for (const MeldGroup& g : groups) {
    if (!IsHonorColor(g.m_nColor) || !IsValidTile(GroupTile(g))) return out;
    if (g.m_nCopies == 2) {
      ++out.pairs;
    } else {
      ++out.singles;
    }
  }
  // A face held three times shows as a pair and a single of the same tile.
  for (int i = 0; i < groups.size(); ++i) {
    for (int k = i + 1; k < groups.size(); ++k) {
      if (groups[i].m_nColor == groups[k].m_nColor &&
          groups[i].m_nTopValue == groups[k].m_nTopValue) {
        return out;
      }
    }
  }
  out.ok = true;
  return out;
}

bool HonourRule(const HonourCount& honours, int j) {
  if (!honours.ok || j < 0 || j > kMaxWilds || honours.pairs > 1) return false;
  if (honours.pairs == 1) return honours.singles == 5 - j;
  return honours.singles == 7 - j;
}

bool HonourSlotRule(const HonourCount& honours, int a, int j) {
  if (!honours.ok || j < 0 || j > kMaxWilds) return false;
  if (a <= j + 1) return true;
  return honours.pairs == 0 && honours.singles == a - 1 - j;
}

// ---- thirteen orphans ---------------------------------------------------------------------

bool ThirteenOrphansWin(const card* tiles, int t, int w, GroupList& groups) {
  groups.clear();
  if (tiles == nullptr || t < 0 || t > kMaxWorkTiles || w < 0 || w > kMaxWilds ||
      t + w != 14) {
    return false;
  }
  Terminals terms;
  TakeTerminals(tiles, t, terms);
  const HonourCount& h = terms.parts.honours;
  const bool win = w == 0 ? terms.full == 3 && terms.half == 0 && h.ok && h.pairs == 1 &&
                                h.singles == 6
                          : OrphansReadyCount(terms, w - 1);
  if (!win) return false;
  groups = terms.parts.taken;
  AppendSingles(terms.parts.rest, groups);
  return true;
}

bool ThirteenOrphansReady(const card* tiles, int t, int w) {
  if (tiles == nullptr || t < 0 || t > kMaxWorkTiles || w < 0 || t + w != 13) return false;
  Terminals terms;
  TakeTerminals(tiles, t, terms);
  return OrphansReadyCount(terms, w);
}

// ---- knitted tiles ------------------------------------------------------------------------

bool KnittedTilesWin(const card* tiles, int t, int w, GroupList& groups) {
  groups.clear();
  if (tiles == nullptr || t < 0 || t > kMaxWorkTiles || w < 0 || w > kMaxWilds ||
      t + w != 14) {
    return false;
  }
  Knitted kn;
  if (!TakeKnitted(tiles, t, kn)) return false;
  if (!(w == 0 ? KnittedExact(kn) : KnittedReadyCount(kn, w - 1))) return false;
  groups = kn.parts.taken;
  AppendSingles(kn.parts.rest, groups);
  return true;
}

bool KnittedTilesReady(const card* tiles, int t, int w) {
  if (tiles == nullptr || t < 0 || t > kMaxWorkTiles || w < 0 || t + w != 13) return false;
  Knitted kn;
  return TakeKnitted(tiles, t, kn) && KnittedReadyCount(kn, w);
}

// ---- kongs held in the hand ---------------------------------------------------------------

bool KongHandWin(const card* tiles, int t, int w, int sets, GroupList& groups) {
  groups.clear();
  if (tiles == nullptr || t < 0 || t > kMaxWorkTiles || w < 0 || w > kMaxWilds) return false;
  const int kongs = t + w - (3 * sets + 2);
  if (kongs < 1 || kongs > sets || !AllJudgeable(tiles, t)) return false;
  TileList faces;
  FourfoldFaces(tiles, t, faces);
  TileList rest;
  rest.assign(tiles, t);
  GroupList chosen;
  return ChooseKongs(faces, 0, kongs, rest, w, sets - kongs, chosen, groups);
}

bool KongHandReady(const card* tiles, int t, int w, int sets) {
  if (w < 0 || w >= kMaxWilds) return false;
  GroupList scratch;
  return KongHandWin(tiles, t, w + 1, sets, scratch);
}

// ---- the standard tests by game ------------------------------------------------------------

namespace {

// The strategies of the 16-tile game for n sets and a pair: the two partitions, each pair as
// the eye, the chow across a gap (no knitted straight).
bool SixteenTileStrategies(const card* tiles, int t, int w, int n, GroupList& groups,
                           int& shape) {
  if (t + w == 2) return StandardWinByPartitions(tiles, t, w, groups, shape);
  Partition part;
  for (PartitionKind kind : {PartitionKind::SequencesFirst, PartitionKind::PungsFirst}) {
    PartitionTiles(tiles, t, kind, part);
    if (PartitionWins(part, n, w)) {
      groups = part.groups;
      shape = kind == PartitionKind::SequencesFirst ? kShapeSequencesFirst : kShapePungsFirst;
      return true;
    }
  }
  if (EyeFirstWin(tiles, t, w, n, groups)) {
    shape = kShapeEyeFirst;
    return true;
  }
  if (GapChowWin(tiles, t, w, groups)) {
    shape = kShapeGapChow;
    return true;
  }
  groups.clear();
  return false;
}

// Sets and a pair for N = 2 to 3 * sets + 2 by the strategies of the game, and (when
// `search_last`) the first arrangement a complete search finds when they all miss one; larger
// hands go to the kong members.
bool SizedWin(const card* tiles, int t, int w, int sets, bool search_last, bool known_to_exist,
              GroupList& groups, int& shape) {
  groups.clear();
  if (tiles == nullptr || t < 0 || t > kMaxWorkTiles || w < 0 || w > kMaxWilds) return false;
  if (!AllJudgeable(tiles, t)) return false;
  const int total = t + w;
  if (total > 3 * sets + 2) return KongHandWin(tiles, t, w, sets, groups);
  if (total < 2 || (total - 2) % 3 != 0) return false;
  const int n = (total - 2) / 3;
  // The strategies only find arrangements that exist: when there is none, they need not run.
  // Without wilds the counts of the faces say so at once.
  FaceCounts counts;
  if (known_to_exist) {
    // The caller knows an arrangement exists.
  } else if (w <= 1 && CountFaces(tiles, t, counts)) {
    // (The complete search takes no face held more than eight times.) With one wild tile the
    // real tiles are one tile short of sets and a pair.
    const bool knitted = sets == 4 && (w == 0 ? FacesKnittedStraightWin(counts)
                                               : (total == 11 || total == 14) &&
                                                     ExhaustiveKnittedStraightWin(tiles, t, w));
    const bool arranged = w == 0 ? FacesWin(counts) : FacesReady(counts);
    if (!knitted && !(arranged && FacesMostCopies(counts) <= 8)) return false;
  } else {
    const bool knitted = sets == 4 && (total == 11 || total == 14) &&
                         ExhaustiveKnittedStraightWin(tiles, t, w);
    if (!knitted && !ExhaustiveSetsAndPair(tiles, t, w, n, nullptr)) return false;
  }
  const bool found = sets == 4 ? StandardWin(tiles, t, w, groups, shape)
                               : SixteenTileStrategies(tiles, t, w, n, groups, shape);
  if (found) return true;
  if (!search_last) {
    groups.clear();
    return false;
  }
  shape = kShapeEyeFirst;
  return ExhaustiveSetsAndPair(tiles, t, w, n, &groups);
}

}  // namespace

bool StandardWin13(const card* tiles, int t, int w, GroupList& groups, int& shape) {
  return SizedWin(tiles, t, w, 4, true, false, groups, shape);
}

bool StandardWin13ByStrategies(const card* tiles, int t, int w, GroupList& groups, int& shape,
                               bool known_to_exist) {
  return SizedWin(tiles, t, w, 4, false, known_to_exist, groups, shape);
}

bool StandardWin16(const card* tiles, int t, int w, GroupList& groups, int& shape) {
  return SizedWin(tiles, t, w, 5, true, false, groups, shape);
}

bool StandardReady13(const card* tiles, int t, int w) {
  if (tiles == nullptr || t < 0 || t > kMaxWorkTiles || w < 0 || !AllJudgeable(tiles, t)) {
    return false;
  }
  const int total = t + w;
  if (total == 1) return true;
  if (total >= 14) return KongHandReady(tiles, t, w, 4);
  return total % 3 == 1 && ExhaustiveStandardWin(tiles, t, w + 1, nullptr);
}

bool StandardReady16(const card* tiles, int t, int w) {
  if (tiles == nullptr || t < 0 || t > kMaxWorkTiles || w < 0 || !AllJudgeable(tiles, t)) {
    return false;
  }
  const int total = t + w;
  if (total == 1) return true;
  if (total >= 17) return KongHandReady(tiles, t, w, 5);
  if (total % 3 != 1) return false;
  if (ExhaustiveSetsAndPair(tiles, t, w + 1, (total - 1) / 3, nullptr)) return true;
  return total == 10 && ExhaustiveKnittedStraightWin(tiles, t, w + 1);
}

}  // namespace win_search
