// MeldGroup: a run of equal steps over identical copies (a single tile, a pair, a pung, a
// kong, a chow, or a partial sequence), and the groupings that build such groups from tiles.
#pragma once
#include <cstdint>

#include "fixed_list.h"
#include "tile.h"

struct MeldGroup {
  int32_t m_nColor;     // TileColor of every tile of the group
  int32_t m_nTopValue;  // the highest value in the group
  int32_t m_nCopies;    // copies of each value: 1 (sequence), 2 pair, 3 pung, 4 kong
  int32_t m_nValues;    // number of distinct values
  int32_t m_nStep;      // difference between neighbouring values (1, or more for a gap)
};
static_assert(sizeof(MeldGroup) == 20);

inline bool operator==(const MeldGroup& a, const MeldGroup& b) {
  return a.m_nColor == b.m_nColor && a.m_nTopValue == b.m_nTopValue &&
         a.m_nCopies == b.m_nCopies && a.m_nValues == b.m_nValues && a.m_nStep == b.m_nStep;
}

inline MeldGroup SingleGroup(const card& c) { return {c.m_nColor, c.m_nValue, 1, 1, 1}; }
inline MeldGroup CopiesGroup(const card& c, int32_t copies) {
  return {c.m_nColor, c.m_nValue, copies, 1, 1};
}
inline MeldGroup ChowGroup(int32_t color, int32_t top) { return {color, top, 1, 3, 1}; }

inline int32_t LowestValue(const MeldGroup& g) {
  return g.m_nTopValue - (g.m_nValues - 1) * g.m_nStep;
}
inline card GroupTile(const MeldGroup& g) { return {g.m_nColor, g.m_nTopValue}; }
inline int GroupTileCount(const MeldGroup& g) { return g.m_nCopies * g.m_nValues; }

// A group of one tile repeated (single, pair, pung, kong).
inline bool IsOneValue(const MeldGroup& g) { return g.m_nValues == 1; }
// A complete chow: three consecutive values, one copy each.
inline bool IsChow(const MeldGroup& g) {
  return g.m_nValues == 3 && g.m_nStep == 1 && g.m_nCopies == 1;
}
// A chow or a partial sequence: a group that can only end up as a chow.
inline bool IsSequenceLike(const MeldGroup& g) { return g.m_nValues >= 2; }
inline bool IsPung(const MeldGroup& g) { return g.m_nValues == 1 && g.m_nCopies == 3; }

inline constexpr int kMaxGroups = 32;
using GroupList = FixedList<MeldGroup, kMaxGroups>;

// Appends the tiles of a group value by value from the top down (a chow 3-4-5 gives 5, 4, 3).
template <typename List>
void AppendGroupTiles(const MeldGroup& g, List& out) {
  for (int32_t i = 0; i < g.m_nValues; ++i) {
    card c{g.m_nColor, g.m_nTopValue - i * g.m_nStep};
    for (int32_t k = 0; k < g.m_nCopies; ++k) out.push_back(c);
  }
}

// Removes one tile for every tile of the group; answers false when one is missing.
template <typename List>
bool RemoveGroupTiles(const MeldGroup& g, List& tiles) {
  bool all = true;
  for (int32_t i = 0; i < g.m_nValues; ++i) {
    card c{g.m_nColor, g.m_nTopValue - i * g.m_nStep};
    for (int32_t k = 0; k < g.m_nCopies; ++k) all = RemoveOneCard(tiles, c) && all;
  }
  return all;
}

// Identical tiles with a copy limit: the tiles are taken in list order and each joins the
// first group of the same tile holding fewer than `limit` copies, or starts a group of one;
// a group that grows moves to the end of the list.
template <typename List>
void GroupIdentical(const card* tiles, int n, int limit, List& out) {
  out.clear();
  for (int i = 0; i < n; ++i) {
    const card& c = tiles[i];
    int joined = -1;
    // A group is only started when every group of the same tile is full, so at most one of
    // them has room: looking from the end finds the same group as looking from the start,
    // and finds it at once when the tiles come sorted.
    for (int k = out.size() - 1; k >= 0; --k) {
      MeldGroup& g = out[k];
      if (g.m_nValues == 1 && g.m_nColor == c.m_nColor && g.m_nTopValue == c.m_nValue &&
          g.m_nCopies < limit) {
        ++g.m_nCopies;
        joined = k;
        break;
      }
    }
    if (joined >= 0) {
      out.move_to_end(joined);
    } else {
      out.push_back(SingleGroup(c));
    }
  }
}

// Sequences with a value limit and a step (1 for sequences, more for gaps): only suit tiles
// join; a tile joins the first group of its colour and copy count holding fewer than `limit`
// values whose top is `step` below the tile or whose lowest value is `step` above it; a group
// that grows moves to the end of the list.
template <typename List>
void GroupSteps(const card* tiles, int n, int limit, int step, List& out) {
  out.clear();
  for (int i = 0; i < n; ++i) {
    const card& c = tiles[i];
    int joined = -1;
    if (IsSuitColor(c.m_nColor)) {
      for (int k = 0; k < out.size(); ++k) {
        MeldGroup& g = out[k];
        if (g.m_nColor != c.m_nColor || g.m_nCopies != 1 || g.m_nValues >= limit) continue;
        if (g.m_nValues > 1 && g.m_nStep != step) continue;
        if (g.m_nTopValue + step == c.m_nValue) {
          g.m_nTopValue = c.m_nValue;
        } else if (LowestValue(g) - step != c.m_nValue) {
          continue;
        }
        ++g.m_nValues;
        g.m_nStep = step;
        joined = k;
        break;
      }
    }
    if (joined >= 0) {
      out.move_to_end(joined);
    } else {
      out.push_back(SingleGroup(c));
    }
  }
}

template <typename List>
void GroupSequences(const card* tiles, int n, int limit, List& out) {
  GroupSteps(tiles, n, limit, 1, out);
}

// The usual order of groups: more values first, then higher colour, then higher top value;
// groups that tie keep their order.
void OrderGroups(MeldGroup* groups, int n);
template <typename List>
void OrderGroups(List& groups) {
  OrderGroups(groups.data(), groups.size());
}
