// CMj_Gb: the rules object of one seat (the own seat 0). It holds the seat's concealed tiles,
// melds, kongs and flowers, the discards seen, the tile just drawn and the tile just
// discarded and the per-hand flags; it decides claims, wins and ready hands and counts fans.
//
// This is the four-player base. The win and ready tests, the fan table, the fan points and the
// score are virtual: the two-player rules (CKorvel) replace them. The fan table is data: each
// row carries its pattern's test, so replacing the table replaces what the count looks for. The
// base's own versions are the four-player rules: win and ready tests that also know thirteen
// orphans (shape 30) and knitted tiles (shape 40), and a table of 81 patterns.
//
// Every operation is safe on any input: an empty hand, a null pointer, an index out of range
// or a call before the first hand give an empty answer and change nothing they should not.
// The lists have fixed capacities far above what a hand can hold; what does not fit is left
// out.
#pragma once
#include <cstdint>

#include "fan_table.h"
#include "fixed_list.h"
#include "meld_group.h"
#include "rules_enums.h"
#include "tile.h"

struct FanContext;

// A kong offer: four copies of a tile and its KongKind.
struct KongOffer {
  MeldGroup group;
  int16_t kind;
};

inline constexpr int kMaxHandCards = 64;
inline constexpr int kMaxDiscards = 256;
inline constexpr int kMaxFlowers = 32;
inline constexpr int kMaxMelds = 16;
inline constexpr int kMaxOffers = 16;

using HandList = FixedList<card, kMaxHandCards>;
using DiscardList = FixedList<card, kMaxDiscards>;
using FlowerList = FixedList<card, kMaxFlowers>;
using MeldList = FixedList<MeldGroup, kMaxMelds>;
using OfferList = FixedList<MeldGroup, kMaxOffers>;
using KongOfferList = FixedList<KongOffer, kMaxOffers>;
using FoundFanList = FixedList<int16_t, kMaxFanRows>;  // indices into the fan table

// Seats of the two-player table: 0 is this client's player, 1 the opponent.
inline bool IsSeat(int loc) { return loc == 0 || loc == 1; }

class CMj_Gb {
 public:
  CMj_Gb();
  virtual ~CMj_Gb() = default;
  CMj_Gb(const CMj_Gb&) = delete;
  CMj_Gb& operator=(const CMj_Gb&) = delete;

  // ---- hand state -------------------------------------------------------------------------

  // The reset at the start of each hand.
  void StartNewHand();

  // Appends the tiles to the hand; a single tile is a draw and becomes the current draw.
  void AddCardsToMyHand(const card* cards, int num);
  // A discard of seat loc (num must be 1). Answers whether it was taken: other counts and
  // seats outside the table change nothing.
  bool SetRecvCards(int loc, int num, const card* cards);
  // Recovery: every tile to the discards, the last one the current discard.
  void SetRecvCardsInRecover(int num, const card* cards);
  void DeleteCardsFromMyHand(int count, const card* cards);
  void DeleteAllFromMyHand();
  // Records a meld of seat 0 (MeldKind type); other seats change nothing. Answers whether a
  // meld, kong or flower was recorded.
  bool ExposeCard(int loc, int type, int num, const card* cards);
  // Rebuilds a meld of seat 0 after a reconnection without touching the hand.
  bool ExposeCard_InRecover(int loc, int type, int count, const card* cards);
  void SetHuInfo(int hu_type, int gunloc, const card& hucard);
  void SortHand(bool ascending);

  void SetBanker(int16_t bankloc, int16_t quan_feng) {
    m_nBanker = bankloc;
    m_nQuanFeng = quan_feng;
  }
  int16_t GetBanker() const { return m_nBanker; }
  int16_t GetQuanFeng() const { return m_nQuanFeng; }
  void SetTingStatus(int16_t isting) { m_nTingStatus = isting; }
  int16_t GetTingStatus() const { return m_nTingStatus; }
  void SetXiangGongStatus(int16_t isxianggong) { m_nXiangGong = isxianggong; }
  int16_t GetXiangGongStatus() const { return m_nXiangGong; }
  void SetCardAfterGang(const card& c) {
    m_CardAfterGang = c;
    m_bCardAfterGangFresh = true;
  }
  void SetLastBz() { m_nLastBz = 1; }
  void SetLowFan(int16_t fans) { m_nLowFan = fans > 0 ? fans : 0; }
  int16_t GetLowFan() const { return m_nLowFan; }
  int16_t GetHuType() const { return m_nHuType; }
  int16_t GetGangType() const { return m_nGangType; }
  card GetCurrentMo() const { return m_CurrentMo; }
  card GetCurrentSended() const { return m_CurrentSended; }
  card GetHuCard() const { return m_HuCard; }
  int16_t GetLastSendLoc() const { return m_nLastSendLoc; }
  int16_t GetGunLoc() const { return m_nGunLoc; }
  void SetDice() { ++m_nDiceNum; }
  void ResetDice() { m_nDiceNum = 0; }
  int16_t GetDiceNum() const { return m_nDiceNum; }
  void StartOneTrick() { ++m_nTrickNo; }
  void SetTrickNo(int16_t trickno) { m_nTrickNo = trickno; }
  int16_t GetTrickNo() const { return m_nTrickNo; }
  void SetHandNo(int16_t handno) { m_nHandNo = handno; }
  int16_t GetHandNo() const { return m_nHandNo; }
  int GetDealNum() const { return m_HandCards.size(); }

  const HandList& GetHand() const { return m_HandCards; }
  const DiscardList& GetDiscards() const { return m_SendedCards; }
  const FlowerList& GetFlowers() const { return m_FlowerCards; }
  const MeldList& GetMelds() const { return m_Melds; }
  const MeldList& GetMeldedKongs() const { return m_ExposeGangs; }
  const MeldList& GetConcealedKongs() const { return m_HideGangs; }
  const GroupList& GetHuGroups() const { return m_HuGroups; }
  const KongOfferList& GetKongOffers() const { return m_GangOffers; }

  static bool IsFlowerCard(const card& c) { return ::IsFlowerCard(c); }

  // ---- claims -----------------------------------------------------------------------------

  bool CanChi(const card& sended);
  bool CanPeng(const card& sended);
  bool CanGangOnSended(const card& sended);
  bool CanGangAfterMo(const card& mo);

  int GetEatNum() const { return m_ChiOffers.size(); }
  // Chow offer index as three tiles from the highest value down; false when out of range.
  bool GetEatCards(int index, card out[3]) const;
  // The first pung offer: 3 and its tiles, or 0.
  int GetPengCards(card out[3]) const;
  int GetGangNum() const { return m_GangOffers.size(); }
  // Kong offer index: 4, its tiles and kind; else 0 and kind -1.
  int GetGangCards(int index, card out[4], int16_t& kind) const;
  // The first concealed kong candidate: 4 and its tiles, or 0.
  int GetHideGangCards(card out[4]) const;

  // ---- win and ready hand -----------------------------------------------------------------

  bool CanHuOnMo();
  bool CanHuOnSended(const card& sended);
  bool CanDeclareListen();

  // Tiles (without wilds) plus w wild tiles form a winning shape; fills the groups and the
  // shape code. The base knows seven pairs (10), the standard hand of the 13-tile game (20-25,
  // with the hands that still hold kongs' fourth tiles), thirteen orphans (30) and knitted
  // tiles (40); the last two only for a seat with no meld and no kong.
  virtual bool CheckHu(const card* tiles, int t, GroupList& groups, int& shape, int w);
  // Tiles plus w wild tiles are one tile short of a winning shape.
  virtual bool CheckTing(const card* tiles, int t, GroupList& groups, int w);

  // ---- fans and score ---------------------------------------------------------------------

  // Empties the fan table and builds the rules' rows (the base: 81 patterns).
  virtual void InitFanTable();
  // Points of a fan type by its grade.
  virtual int GetFanScore(FanType type) const;
  // Whether the hand described by the context has the pattern: the test of the table's row of
  // that type (no row: no).
  bool HasFan(FanType type, const FanContext& context) const;
  // The score of the hand (the banker flag, the fans and the base are reported too).
  virtual int CalculateScore(int16_t& banker, int16_t& fans, int16_t& base);

  // The sum of the points of the patterns found; refills the found fans.
  int CountFans(int shape, int w, const card* tiles, int t, const MeldGroup* groups, int g);

  const FanTable& GetFanTable() const { return m_FanTable; }
  const FoundFanList& GetFoundFans() const { return m_FoundFans; }
  // score := 0; when the table has the type: its points, its GBK name (29 bytes at most and a
  // NUL) and description (499 bytes at most and a NUL). Null pointers are skipped.
  bool GetFanNameByType(FanType type, char* str, char* desc, int16_t* score) const;

  // ---- automatic discard ------------------------------------------------------------------

  enum class AutoSend { Tile, Hu, Nothing };
  // The tile to discard for the player, or a win on the own draw (Hu), or nothing when there
  // is no tile at all.
  AutoSend AutoSendCards(card& chosen);

 protected:
  // Copies the hand without its wild tiles; answers how many wild tiles were taken out.
  int TakeOutWilds(TileList& out) const;
  bool HasNoMeldOrKong() const {
    return m_Melds.empty() && m_ExposeGangs.empty() && m_HideGangs.empty();
  }
  // Counts fans with the context of a win that is only being tested (winning tile, won on a
  // discard, hu type), and puts the real context back afterwards.
  int CountProspectiveFans(const card& hucard, int won_on_sended, int16_t hu_type, int shape,
                           int w, const TileList& tiles, const GroupList& groups);

  // Concealed tiles and w wilds form a standard hand (the seven-pairs hands' second look).
  bool IsStandardWin(const card* tiles, int t, int w) const;

  card m_CurrentMo = kNoCard;
  card m_CurrentSended = kNoCard;
  HandList m_HandCards;
  card m_HuCard = kNoCard;
  card m_CardAfterGang = kNoCard;
  // Whether seat 0's last meld was a kong whose replacement tile has not been drawn yet, and
  // whether the current draw is that replacement tile. The client reports the tile after a kong
  // only after the draw, so the win test of the draw itself learns it from here.
  bool m_bKongDrawPending = false;
  bool m_bDrawAfterKong = false;
  // SetCardAfterGang was called since the last draw (the value describes the current draw).
  bool m_bCardAfterGangFresh = false;
  FlowerList m_FlowerCards;
  GroupList m_HuGroups;       // the winning decomposition of the last scoring test
  MeldList m_ExposeGangs;     // added kongs and kongs on a discard
  MeldList m_HideGangs;       // concealed kongs
  MeldList m_Melds;           // chows and pungs claimed from discards
  OfferList m_PengOffers;
  OfferList m_ChiOffers;
  OfferList m_GangCandidates;
  OfferList m_HideGangCandidates;
  KongOfferList m_GangOffers;
  DiscardList m_SendedCards;  // every discard of either seat, in order
  FanTable m_FanTable;
  int32_t m_nSortAscending = 1;
  int32_t m_nLastBz = 0;      // the wall's last tile is in play
  int16_t m_nQuanFeng = 0;    // prevalent wind
  int32_t m_nHuOnSended = 0;  // won on a discard
  int32_t m_nRobGang = 0;     // won by robbing a kong (no operation sets it)
  FoundFanList m_FoundFans;
  int16_t m_nTrickNo = 0;
  int16_t m_nHandNo = 0;
  int16_t m_nBanker = 0;
  int16_t m_nGangType = GangTypeNone;
  int16_t m_nTingStatus = TingNotDeclared;
  int16_t m_nXiangGong = 0;   // 1 forbids winning
  int16_t m_nDiceNum = 0;
  int16_t m_nLastSendLoc = -1;
  int16_t m_nGunLoc = -1;
  int16_t m_nHuType = HuTypeNone;
  int16_t m_nLowFan = 0;
  int16_t m_nMenFeng = -1;    // the seat's own wind, 0 east to 3 north (no operation sets it)
};
