// The base play table's card codec, for a game of playing cards: a card travels as one byte.
// Codes 4 to 55 are the 52 cards, suit = code & 3 and rank = code >> 2, the ace (codes 4 to 7)
// counting as rank 14; 56 and 57 are the two jokers (suit 4 rank 17, suit 5 rank 18). The
// mahjong table has a codec of its own.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "records/card.h"

// At most this many cards are encoded at once (a whole pack with its jokers).
inline constexpr int16_t kMostPlayingCards = 54;

// Decodes `count` codes into `cards` (room for count). A code that is no card leaves its card
// {0, 0} and adds the text "FromCharsToCards:无效字符：<code>" to `complaints`.
void PlayingCardsFromCodes(int16_t count, const uint8_t* codes, card* cards,
                           std::vector<std::string>& complaints);

// Encodes at most 54 cards into `codes` (room for as many) and returns how many were written.
// A card that gives no code 4 to 57 is left out and adds "FromCardsToChars:无效字符：<code>".
int16_t CodesFromPlayingCards(int16_t count, const card* cards, uint8_t* codes,
                              std::vector<std::string>& complaints);
