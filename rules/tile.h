// Tiles as the rules engine sees them: the shared tile vocabulary (records/tile_colors.h) and
// the small tile lists the searches work on.
#pragma once
#include <cstdint>

#include "fixed_list.h"
#include "records/tile_colors.h"

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
