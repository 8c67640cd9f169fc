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
};
