// A hand as counts over the 34 faces (characters, dots and bamboo 1-9, the four winds, the
// three dragons), and the questions the win and ready tests ask of it answered on the counts:
// sets and a pair, one tile short of that, seven pairs, a knitted straight with sets and a
// pair. Each answers exactly what the exhaustive searches of win_search.h answer with no wild
// tile, in a few dozen steps and whatever the order of the tiles.
//
// Only hands of those 34 faces are counted: a flower, a wild or an invalid tile makes
// CountFaces answer false, and the callers take the general path.
#pragma once
#include <cstdint>

#include "tile.h"

namespace win_search {

inline constexpr int kFaceCount = 34;

struct FaceCounts {
  uint8_t n[kFaceCount] = {};
  int total = 0;
  uint64_t present = 0;  // bit f set when face f is held (as CountFaces left it)
  int pairs = 0;         // pairs among the tiles, four equal tiles two (as CountFaces left it)
};

// The face of a tile (0-8 characters, 9-17 dots, 18-26 bamboo, 27-30 winds, 31-33 dragons),
// or -1 for any other tile.
// The face of each colour (0-7) and value (0-15), or -1.
struct FaceTable {
  int8_t face[8][16];
};

constexpr FaceTable MakeFaceTable() {
  // The first face and the number of values of each colour (none for seasons, flowers, wild).
  constexpr int kFirst[8] = {0, 9, 18, 27, 31, 0, 0, 0};
  constexpr int kValues[8] = {9, 9, 9, 4, 3, 0, 0, 0};
  FaceTable out{};
  for (int color = 0; color < 8; ++color) {
    for (int value = 0; value < 16; ++value) {
      const bool real = value >= 1 && value <= kValues[color];
      out.face[color][value] = static_cast<int8_t>(real ? kFirst[color] + value - 1 : -1);
    }
  }
  return out;
}

inline constexpr FaceTable kFaceTable = MakeFaceTable();

constexpr int FaceOf(const card& c) {
  const uint32_t color = static_cast<uint32_t>(c.m_nColor);
  const uint32_t value = static_cast<uint32_t>(c.m_nValue);
  if (color > 7 || value > 15) return -1;
  return kFaceTable.face[color][value];
}

constexpr card CardOfFace(int face) {
  if (face < 27) return {face / 9, face % 9 + 1};
  if (face < 31) return {ColorWinds, face - 26};
  return {ColorDragons, face - 30};
}

// Counts the tiles; false when one of them is not one of the 34 faces.
bool CountFaces(const card* tiles, int t, FaceCounts& out);

// The tiles of counts made by CountFaces, in order (ascending: colour, then value; descending
// the reverse). Equal tiles are the same record, so this is the order any sort of the same
// tiles gives.
void SortedTiles(const FaceCounts& counts, bool ascending, card* out);

// (total - 2) / 3 sets and a pair (total 2, 5, 8, ...).
bool FacesWin(const FaceCounts& counts);
// What FacesWin asks first, in a few steps: the numbers of tiles of each suit and of each
// honour face, modulo 3, leave room for sets and one pair. Needed for sets and a pair, not
// enough.
bool FacesResiduesAllowWin(const FaceCounts& counts);
// total / 3 sets and nothing else (total 0, 3, 6, ...).
bool FacesSetsOnly(const FaceCounts& counts);
// The same for the tiles of one suit (0-2) alone.
bool FacesSuitSetsOnly(const FaceCounts& counts, int suit);
// One tile of any face short of sets and a pair (total 1, 4, 7, ...).
bool FacesReady(const FaceCounts& counts);
// Fourteen tiles as seven pairs (four equal tiles are two pairs), for counts made by
// CountFaces.
inline bool FacesSevenPairs(const FaceCounts& counts) {
  return counts.total == 14 && counts.pairs == 7;
}
// A knitted straight (1-4-7, 2-5-8, 3-6-9 in three different suits) with sets and a pair
// (total 11 or 14).
bool FacesKnittedStraightWin(const FaceCounts& counts);
// The most copies of one face.
int FacesMostCopies(const FaceCounts& counts);
// Whether a face is held more than eight times (FacesMostCopies above 8, sooner).
bool FacesHoldsMoreThanEight(const FaceCounts& counts);
// Every tile a 1 or 9 of a suit, or an honour.
bool FacesAllTerminalsOrHonours(const FaceCounts& counts);
// What knitted tiles (w = 0) need of the counts before the shape is looked for: no face held
// twice, at most nine suit tiles, and each suit's tiles of one class (1-4-7, 2-5-8 or 3-6-9):
// every tile the knitted pieces (one per suit) do not take must be an honour.
bool FacesMayBeKnittedTiles(const FaceCounts& counts);

}  // namespace win_search
