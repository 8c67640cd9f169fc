// The searches only the four-player base's own win and ready tests use: thirteen orphans
// (shape 30), knitted tiles (shape 40), the hands that still hold the fourth tile of kongs,
// and the standard tests of the 13-tile and the 16-tile game.
//
// As in win_search.h, every search takes the tiles without the wild tiles and the number of
// wild tiles w; N = t + w. Groups hold only real tiles.
#pragma once
#include "meld_group.h"
#include "tile.h"
#include "win_search.h"

namespace win_search {

inline constexpr int kShapeThirteenOrphans = 30;
inline constexpr int kShapeKnittedTiles = 40;

// ---- honours ------------------------------------------------------------------------------

// Honour tiles grouped as identical tiles (two to a group): P pairs and S singles. Not ok when
// a tile is not a wind or dragon, or when a face is held three times or more (a face may fill
// one slot of a special shape, and its pair).
struct HonourCount {
  bool ok = false;
  int pairs = 0;    // P
  int singles = 0;  // S
};
HonourCount CountHonours(const card* tiles, int t);

// The honours of a thirteen-orphans hand with j wild tiles still to place: one pair and
// 5 - j singles, or no pair and 7 - j singles (the last wild then makes the pair).
bool HonourRule(const HonourCount& honours, int j);
// The honours of a knitted-tiles hand that needs a honour slots filled, with j wild tiles:
// no pair and a - 1 - j singles; nothing more to check once the wilds cover every slot.
bool HonourSlotRule(const HonourCount& honours, int a, int j);

// ---- thirteen orphans ---------------------------------------------------------------------

// The 1 and 9 of each suit and the seven honours, one of the honours twice (or the pair made
// by a wild tile). A second 1 or 9 of a suit is no pair here. The groups are the terminals
// found (a 1 and 9 of one suit as one group) and then every other tile as a single.
bool ThirteenOrphansWin(const card* tiles, int t, int w, GroupList& groups);
bool ThirteenOrphansReady(const card* tiles, int t, int w);

// ---- knitted tiles ------------------------------------------------------------------------

// Fourteen different tiles out of one knitted straight (1-4-7, 2-5-8, 3-6-9 in three different
// suits) and the seven honours. The groups are the knitted pieces, then every honour as a
// single.
bool KnittedTilesWin(const card* tiles, int t, int w, GroupList& groups);
bool KnittedTilesReady(const card* tiles, int t, int w);

// ---- kongs held in the hand ---------------------------------------------------------------

// A hand of a game of `sets` sets and a pair (4: the 13-tile game, 5: the 16-tile game) with
// N = 3 * sets + 2 + k tiles holds k kongs (k from 1 to `sets`): k faces held four times are
// the kongs, and the rest with the wilds must be sets - k sets and a pair. The kongs are four
// real tiles; the wilds only complete the sets and the pair. The groups are the rest's
// arrangement and then the kongs.
bool KongHandWin(const card* tiles, int t, int w, int sets, GroupList& groups);
// One tile short of such a hand (N = 3 * sets + 1 + k).
bool KongHandReady(const card* tiles, int t, int w, int sets);

// ---- the standard tests by game ------------------------------------------------------------

// 13-tile game: N = 2, 5, 8, 11, 14 as StandardWin; N = 15 to 18 the kong members. When the
// strategies miss an arrangement that exists, the first one a complete search finds.
bool StandardWin13(const card* tiles, int t, int w, GroupList& groups, int& shape);
// The same without the complete search at the end: the strategies only (the kong members
// always search completely). `known_to_exist`: the caller has made sure that the tiles can be
// arranged as sets and a pair, or as a knitted straight with them (N = 2 to 14), so the
// strategies run without asking again.
bool StandardWin13ByStrategies(const card* tiles, int t, int w, GroupList& groups, int& shape,
                               bool known_to_exist = false);
// N = 1: yes; N = 4, 7, 10, 13: one tile short of sets and a pair; N = 14 to 17 the kong
// members.
bool StandardReady13(const card* tiles, int t, int w);

// 16-tile game (five sets and a pair): N = 2 to 17 by the strategies of the 13-tile test for
// N / 3 sets, without the knitted straight; N = 18 to 22 the kong members.
bool StandardWin16(const card* tiles, int t, int w, GroupList& groups, int& shape);
// N = 1: yes; N = 4 to 16 one tile short (for N = 10 a knitted straight counts too); N = 17 to
// 21 the kong members.
bool StandardReady16(const card* tiles, int t, int w);

}  // namespace win_search
