// Tiles as the rules engine sees them: the shared `card` record, its colours, its order and the
// small tile lists the searches work on.
#pragma once
#include <cstdint>

#include "fixed_list.h"
#include "records/card.h"

enum TileColor : int32_t {
  ColorCharacters = 0,
  ColorDots = 1,
  ColorBamboo = 2,
  ColorWinds = 3,    // 1 east, 2 south, 3 west, 4 north
  ColorDragons = 4,  // 1 red, 2 green, 3 white
  ColorSeasons = 5,
  ColorFlowers = 6,
  ColorWild = 7,
};

// Colour and value -1: no tile.
inline constexpr card kNoCard{-1, -1};

inline bool IsNoCard(const card& c) { return c.m_nColor == -1 || c.m_nValue == -1; }

// Equal tiles, where "no tile" never equals anything (not even another "no tile").
inline bool SameTile(const card& a, const card& b) { return !IsNoCard(a) && a == b; }

inline bool IsSuitColor(int32_t color) { return color >= ColorCharacters && color <= ColorBamboo; }
inline bool IsHonorColor(int32_t color) { return color == ColorWinds || color == ColorDragons; }
inline bool IsWildCard(const card& c) { return c.m_nColor == ColorWild; }
inline bool IsFlowerCard(const card& c) {
  return c.m_nColor == ColorSeasons || c.m_nColor == ColorFlowers;
}

// The highest face value of a colour (0 for a colour outside the table).
inline int32_t MaxValueOfColor(int32_t color) {
  switch (color) {
    case ColorCharacters:
    case ColorDots:
    case ColorBamboo: return 9;
    case ColorWinds: return 4;
    case ColorDragons: return 3;
    case ColorSeasons:
    case ColorFlowers: return 4;
    case ColorWild: return 9;
    default: return 0;
  }
}

// A tile that names a real face of the set.
inline bool IsValidTile(const card& c) {
  return c.m_nValue >= 1 && c.m_nValue <= MaxValueOfColor(c.m_nColor);
}

// Ascending order: colour, then value.
inline bool CardLess(const card& a, const card& b) {
  return a.m_nColor != b.m_nColor ? a.m_nColor < b.m_nColor : a.m_nValue < b.m_nValue;
}

// Stable sort of a short tile list, ascending or descending (colour descending, then value
// descending).
inline void SortCards(card* tiles, int n, bool ascending) {
  for (int i = 1; i < n; ++i) {
    card item = tiles[i];
    int k = i;
    while (k > 0 && (ascending ? CardLess(item, tiles[k - 1]) : CardLess(tiles[k - 1], item))) {
      tiles[k] = tiles[k - 1];
      --k;
    }
    tiles[k] = item;
  }
}

// Index of the first tile equal to c, or -1.
inline int FindCard(const card* tiles, int n, const card& c) {
  for (int i = 0; i < n; ++i) {
    if (tiles[i] == c) return i;
  }
  return -1;
}

// A work list of tiles for the searches: the concealed tiles of one hand and then some.
inline constexpr int kMaxWorkTiles = 32;
using TileList = FixedList<card, kMaxWorkTiles>;

// Removes the first tile equal to c; nothing when there is none.
template <typename List>
bool RemoveOneCard(List& tiles, const card& c) {
  int i = FindCard(tiles.data(), tiles.size(), c);
  if (i < 0) return false;
  tiles.erase_at(i);
  return true;
}
