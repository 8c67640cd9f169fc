// The searches under the win and ready tests: the two greedy partitions and their counts, the
// seven-pairs counts, the eye-first search, the chow across a gap, the knitted pieces and the
// knitted straight, and an exhaustive search that decides whether tiles and wild tiles can be
// arranged as sets and a pair at all.
//
// Every search takes the concealed tiles without the wild tiles (`tiles`, `t` of them) and the
// number of wild tiles `w`; N = t + w. Groups hold only real tiles: a wild tile that completes
// a set is counted, not shown (the one exception is the chow across a gap, whose candidate is
// a whole chow). None of them allocates.
#pragma once
#include "meld_group.h"
#include "tile.h"

namespace win_search {

struct FaceCounts;  // face_counts.h

// Shape codes of a winning hand.
inline constexpr int kShapeNone = 0;
inline constexpr int kShapeSevenPairs = 10;
inline constexpr int kShapeStandard = 20;
inline constexpr int kShapeSequencesFirst = 21;
inline constexpr int kShapePungsFirst = 22;
inline constexpr int kShapeEyeFirst = 23;
inline constexpr int kShapeKnittedStraight = 24;
inline constexpr int kShapeGapChow = 25;

inline bool IsStandardShape(int shape) { return shape >= 20 && shape <= 29; }

// The wild tiles a hand may hold and still be judged.
inline constexpr int kMaxWilds = 7;

// ---- partitions ---------------------------------------------------------------------------

enum class PartitionKind { SequencesFirst, PungsFirst };

// What a partition took out: d complete sets, c two-tile pieces (p of them pairs) and e
// singles, and their groups (sets, then pieces, then singles).
struct Partition {
  GroupList groups;
  int sets = 0;
  int pieces = 0;
  int pairs = 0;
  int singles = 0;
  int Tiles() const { return 3 * sets + 2 * pieces + singles; }
};

// Sequences first: sequences of three, pungs, two neighbouring tiles, pairs, two tiles with a
// gap of one, singles. Pungs first: pungs, sequences of three, pairs, two neighbouring tiles,
// two tiles with a gap of one, singles.
void PartitionTiles(const card* tiles, int t, PartitionKind kind, Partition& out);
// The same by running the groupings over the tiles in their order: what PartitionTiles answers
// for any order. PartitionTiles takes a shortcut over the counts when the tiles are judgeable
// and sorted (either way), and falls back on this otherwise.
void PartitionTilesByGrouping(const card* tiles, int t, PartitionKind kind, Partition& out);

// n sets and a pair: exactly that with no wild; with w wilds one of them is the winning tile
// and the rest must pass the ready count with w - 1.
bool PartitionWins(const Partition& p, int n, int w);
// One tile (or wild) short of n sets and a pair, with w wilds.
bool PartitionReadyCount(const Partition& p, int n, int w);
// n sets and nothing else (with w wilds: at most n pieces holding exactly 3n - w tiles).
bool PartitionSetsOnly(const Partition& p, int n, int w, int t);

// ---- seven pairs --------------------------------------------------------------------------

// Tiles plus w wilds are seven pairs (14 in all); the groups are the tiles grouped in pairs.
bool SevenPairsWin(const card* tiles, int t, int w, GroupList& groups);
// Tiles plus w wilds (13 in all) are one tile short of seven pairs.
bool SevenPairsReady(const card* tiles, int t, int w);

// ---- standard hand ------------------------------------------------------------------------

// The standard win test: for N = 2 a pair; for N = 5, 8, 11, 14 the strategies in order:
// sequences-first (21), pungs-first (22), each pair as the eye (23), the knitted straight (24,
// N = 11 and 14 only), the chow across a gap (25). Other N: no. `shape` is set by the strategy
// that succeeded (left alone for N = 2). The tiles should be sorted in the direction of the
// pass.
bool StandardWin(const card* tiles, int t, int w, GroupList& groups, int& shape);
// The standard win test in two halves: the pair of a two-tile hand and the two partitions
// (21, 22); then the strategies after them (23, 24, 25). StandardWin is the one, then the
// other.
bool StandardWinByPartitions(const card* tiles, int t, int w, GroupList& groups, int& shape);
bool StandardWinByLaterStrategies(const card* tiles, int t, int w, GroupList& groups,
                                  int& shape);
// StandardWinByPartitions and StandardWin of the tiles of `faces` (counts made by CountFaces,
// no wild) sorted ascending or descending, mostly without making the list of tiles.
// `partitions_lost`: the caller knows that neither partition wins (PartitionWinOfFaces said
// no to both for an ascending pass), so they are not run again.
bool StandardWinByPartitionsOfFaces(const FaceCounts& faces, bool ascending, GroupList& groups,
                                    int& shape, bool partitions_lost = false);
bool StandardWinOfFaces(const FaceCounts& faces, bool ascending, GroupList& groups, int& shape,
                        bool partitions_lost = false);
// The most common answers of StandardWinOfFaces, sooner: whether the partition of that kind
// of the tiles of `faces` sorted ascending wins (N = 5, 8, 11 or 14); its groups then in the
// usual order (as OrderGroups leaves them).
bool PartitionWinOfFaces(const FaceCounts& faces, PartitionKind kind, GroupList& groups);

// Each pair as the eye, the rest n sets; with wilds also each single tile made the eye by one
// wild.
bool EyeFirstWin(const card* tiles, int t, int w, int n, GroupList& groups);

// Candidates for a chow across a gap: a run of four values and a group two values beyond one
// of its ends; the chow joins the two ends over the missing value.
struct GapChowCandidate {
  MeldGroup chow;
  card present[2];
};
using GapChowList = FixedList<GapChowCandidate, kMaxGroups>;
void FindGapChows(const card* tiles, int t, GapChowList& out);
bool GapChowWin(const card* tiles, int t, int w, GroupList& groups);

// ---- knitted pieces -----------------------------------------------------------------------

// The pieces of a knitted straight (1-4-7, 2-5-8, 3-6-9 in three different suits) found in the
// tiles: triples (K), two-value pieces (T) and single tiles (L), each of its own suit and its
// own class (values equal modulo 3), so wild tiles can always complete them.
struct KnittedPieces {
  GroupList taken;
  int triples = 0;  // K
  int twos = 0;     // T
  int singles = 0;  // L
};
void TakeKnittedPieces(const card* tiles, int t, KnittedPieces& out);
// A knitted straight (the tiles and wilds for N = 11 or 14) with sets and a pair.
bool KnittedStraightWin(const card* tiles, int t, int w, GroupList& groups);

// ---- exhaustive search --------------------------------------------------------------------

// Whether the tiles and w wilds can be arranged as (N - 2) / 3 sets and a pair, trying every
// arrangement; fills `groups` (when not null) with the first one found. Only tiles of a real
// face (colours 0-6) take part; any other tile makes the answer no.
bool ExhaustiveStandardWin(const card* tiles, int t, int w, GroupList* groups);

// Whether the tiles and w wilds can be arranged as a knitted straight, sets and a pair,
// trying every way.
bool ExhaustiveKnittedStraightWin(const card* tiles, int t, int w);

// Whether the tiles and w wilds can be arranged as n sets and nothing else.
bool ExhaustiveSetsOnly(const card* tiles, int t, int w, int n);

// Whether the tiles and w wilds can be arranged as n sets and a pair (any n, so hands of the
// 16-tile game too); fills `groups` (when not null) with the first arrangement found.
bool ExhaustiveSetsAndPair(const card* tiles, int t, int w, int n, GroupList* groups);

// Whether every tile names a real face and is not wild.
bool AllJudgeable(const card* tiles, int t);

}  // namespace win_search
