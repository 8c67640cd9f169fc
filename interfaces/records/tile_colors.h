// The tile vocabulary every part of the system shares: the colours of a `card`, the value that
// means "no tile", which tiles are suits, honours, flowers and wild, which faces exist, and the
// order tiles sort in. The rules engine and the tile sprites both build on it.
#pragma once
#include <cstdint>

#include "card.h"

enum TileColor : int32_t {
  ColorCharacters = 0,
  ColorDots = 1,
  ColorBamboo = 2,
  ColorWinds = 3,    // 1 east, 2 south, 3 west, 4 north
  ColorDragons = 4,  // 1 red, 2 green, 3 white
  ColorSeasons = 5,
  ColorFlowers = 6,
  ColorWild = 7,     // sorts last
};

// Colour and value -1: no tile.
inline constexpr card kNoCard{-1, -1};

inline bool IsNoCard(const card& c) { return c.m_nColor == -1 || c.m_nValue == -1; }

// Equal tiles, where "no tile" never equals anything (not even another "no tile").
inline bool SameTile(const card& a, const card& b) { return !IsNoCard(a) && a == b; }

// Only the suits form sequences.
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
