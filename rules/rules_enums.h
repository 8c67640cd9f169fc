// The enumerations that cross the rules engine's interface (int16 on the wire of COM).
#pragma once
#include <cstdint>

#include "fan_catalogue.h"

// Type of `IArithmetic::ExposeCard` and `ExposeCard_InRecover`.
enum MeldKind : int16_t {
  MeldChowOrPung = 1,
  MeldFlowers = 2,
  MeldConcealedKong = 3,
  MeldAddedKong = 4,
  MeldKongOnDiscard = 5,
  MeldHandLaidOpen = 6,  // the table display's; ignored here
};

// Kind of a kong offer (`GetGangCards` type).
enum KongKind : int16_t {
  KongNone = -1,
  KongAdded = 1,      // fourth tile added to an own pung
  KongOnDiscard = 2,  // kong on the current discard
  KongConcealed = 3,
};

// `GetGangType`: what the last kong test found.
enum GangType : int16_t {
  GangTypeNone = -1,
  GangTypeAdded = 1,      // an added kong is possible after the own draw
  GangTypeOnDiscard = 2,  // a kong on the current discard is possible
};

// `GetHuType`, `SetHuInfo` hu_type.
enum HuType : int16_t {
  HuTypeNone = -1,
  HuSelfDrawn = 1,
  HuOnDiscard = 2,
};

enum TingStatus : int16_t {
  TingNotDeclared = 0,
  TingDeclared = 1,
};

// The client's code for a claim it sends; the engine neither takes nor returns it.
enum MjAction : int16_t {
  ActionPass = 0,
  ActionChi = 1,
  ActionPeng = 2,
  ActionGangOnDiscard = 3,
  ActionHuOnDiscard = 4,
};

// Codes `GetFans` reports first for the extra flags of the two-player rules.
inline constexpr FanType ExtraFanCode[5] = {1307, 1308, 1309, 1310, 1311};
