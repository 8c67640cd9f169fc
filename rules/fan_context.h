// What the pattern tests see of a winning hand.
#pragma once
#include "fixed_list.h"
#include "mj_gb.h"

struct FanContext {
  int shape = 0;  // 10 seven pairs, 20-29 standard
  int wilds = 0;  // w, the wild tiles taken out of the hand
  const card* tiles = nullptr;  // concealed tiles without the wilds
  int tileCount = 0;
  const MeldGroup* decomposition = nullptr;  // the groups the win test found
  int decompositionCount = 0;

  const MeldList* melds = nullptr;
  const MeldList* meldedKongs = nullptr;
  const MeldList* concealedKongs = nullptr;
  const DiscardList* discards = nullptr;

  // The decomposition, then the melds, the melded kongs and the concealed kongs.
  FixedList<MeldGroup, kMaxGroups + 3 * kMaxMelds> allGroups;
  // The concealed tiles without wilds, then the tiles of every meld and kong.
  FixedList<card, kMaxWorkTiles + 11 * kMaxMelds> allTiles;

  card huCard = kNoCard;
  card cardAfterGang = kNoCard;
  int lastTile = 0;
  int wonOnSended = 0;
  int robbedKong = 0;
  int huType = -1;
  int flowerCount = 0;
  int prevalentWind = 0;  // 0 east to 3 north
  int seatWind = -1;      // 0 east to 3 north; -1 none
  // The table being walked and the rows found so far (indices into it).
  const FanTable* table = nullptr;
  const FoundFanList* found = nullptr;
  // For a seven-pairs hand: the concealed tiles with the wilds also win as a standard hand.
  bool standardAgain = false;

  int Kongs() const { return meldedKongs->size() + concealedKongs->size(); }

  // What several tests ask, worked out once per count by PrepareFanContext.
  // The concealed tiles with the tiles of the melds, sorted and grouped as identical tiles
  // (limit 4); and the same with the kongs' tiles too. Not ready when a tile has no count slot
  // (the tests then group the tiles themselves).
  using IdenticalGroups = FixedList<MeldGroup, kMaxWorkTiles + 11 * kMaxMelds>;
  bool identicalReady = false;
  IdenticalGroups identicalWithMelds;
  IdenticalGroups identicalWithKongs;
  // Per suit, over all groups: the values of its pungs and kongs, the tops of its chows and
  // the values of its pairs, as bit masks over the values 1-9.
  int suitPungs[3] = {0, 0, 0};
  int suitChows[3] = {0, 0, 0};
  int suitPairs[3] = {0, 0, 0};
};

// Fills the worked-out parts of a context whose other fields are set.
void PrepareFanContext(FanContext& context);
