// A hand's counts of the 34 faces packed four bits a face in four words, and the first
// strategies of the standard hand (sets and a pair) answered on them with a few dozen word
// operations: the two partitions and the eye-first strategy, for the hands those settle.
//
// The win tests ask this first of a hand without wild tiles whose size can be sets and a pair:
// most winning hands are settled here with the same shape and the same groups the strategies
// on the counts (face_counts.h, win_search.h) give, and every other hand is left to them.
#pragma once
#include <cstdint>

#include "meld_group.h"
#include "tile.h"

namespace win_search {

struct FaceCounts;  // face_counts.h

// Value v (1-9) of suit s is held suits[s] >> 4 (v - 1) & 15 times; honour face f (27-33 as
// FaceOf numbers them) honours >> 4 (f - 27) & 15 times.
struct PackedFaces {
  uint64_t suits[3];
  uint64_t honours;
  uint64_t present;  // bit f set when face f is held
};

// The most tiles a packed hand holds (no count may overflow its four bits).
inline constexpr int kMaxPackedTiles = 15;

// Counts t tiles (at most kMaxPackedTiles); false when one of them is not one of the 34 faces.
bool PackFaces(const card* tiles, int t, PackedFaces& out);

// The counts of a packed hand of `total` tiles as CountFaces leaves them.
void UnpackFaces(const PackedFaces& faces, int total, FaceCounts& out);

// Fourteen tiles held in pairs only (seven pairs, four equal tiles being two).
bool PackedSevenPairs(const PackedFaces& faces, int total);

// Whether the counts rule out sets and a pair, with or without a knitted straight: an honour
// held once or four times (in a hand with no face held more than four times; any other hand
// is not ruled out here).
bool PackedNoSetsAndPair(const PackedFaces& faces);
// FacesAllTerminalsOrHonours and FacesMayBeKnittedTiles of the packed counts.
bool PackedAllTerminalsOrHonours(const PackedFaces& faces);
bool PackedMayBeKnittedTiles(const PackedFaces& faces);

// The standard hand of `total` tiles (5, 8, 11 or 14, no face held more than four times) as
// the strategies on the counts find it in an ascending pass: sequences first (shape 21),
// pungs first (22), each pair as the eye (23). Answers that shape with the groups in the usual
// order (as OrderGroups leaves them), or kShapeNone, leaving the groups unspecified, when none
// of the three wins or the hand is not of that kind: then the full tests decide.
int PackedStandardWin(const PackedFaces& faces, int total, GroupList& groups);

}  // namespace win_search
