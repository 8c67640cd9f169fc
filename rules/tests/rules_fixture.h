// A two-player rules object set up for one winning hand, step by step as a hand is played.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "korvel_rules.h"
#include "tile_notation.h"

struct MeldSetup {
  int type;  // MeldKind
  const char* tiles;
};

enum class WinKind { SelfDrawn, OnDiscard };

// The hand as it stands before the winning tile arrives.
struct HandSetup {
  const char* concealed = "";           // tiles in the hand before the winning tile
  std::vector<MeldSetup> melds;          // restored as they would be after a reconnection
  const char* discards = "";            // earlier discards of the opponent
  bool last_tile = false;               // the wall's last tile is in play
  const char* card_after_gang = "";     // the replacement tile drawn after a kong
};

inline void SetUpHand(CMj_Gb& rules, const HandSetup& setup) {
  rules.StartNewHand();
  for (const card& c : Tiles(setup.discards)) rules.SetRecvCards(1, 1, &c);
  for (const MeldSetup& meld : setup.melds) {
    std::vector<card> tiles = Tiles(meld.tiles);
    ASSERT_TRUE(rules.ExposeCard_InRecover(0, meld.type, static_cast<int>(tiles.size()),
                                           tiles.data()))
        << meld.tiles;
  }
  std::vector<card> hand = Tiles(setup.concealed);
  if (hand.size() > 1) {
    rules.AddCardsToMyHand(hand.data(), static_cast<int>(hand.size()));
  } else {
    // A single concealed tile would count as a draw; deal it with a placeholder instead.
    for (const card& c : hand) {
      card two[2] = {c, c};
      rules.AddCardsToMyHand(two, 2);
      rules.DeleteCardsFromMyHand(1, two);
    }
  }
  if (setup.last_tile) rules.SetLastBz();
  if (*setup.card_after_gang != '\0') rules.SetCardAfterGang(Tile(setup.card_after_gang));
}

// Brings the winning tile in and answers the engine's verdict on it.
inline bool OfferWinningTile(CMj_Gb& rules, WinKind kind, const card& win) {
  if (kind == WinKind::SelfDrawn) {
    rules.AddCardsToMyHand(&win, 1);
    return rules.CanHuOnMo();
  }
  rules.SetRecvCards(1, 1, &win);
  return rules.CanHuOnSended(win);
}

inline std::vector<int> FanTypes(const CKorvel& rules) {
  FanType codes[CKorvel::kMaxFanCodes];
  const int n = rules.GetFans(codes, CKorvel::kMaxFanCodes);
  return std::vector<int>(codes, codes + n);
}
