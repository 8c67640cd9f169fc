// What the mahjong play table drives outside itself, beside the base's seams: the table display
// (ICommTable and ITable), the rules engine (ICommArithmetic and IArithmetic), the option
// chooser board (IMjBoard) with the dialog that hosts it, and the table window's sounds and
// person list. Each method carries the name of the interface method it stands for. The Windows
// build binds them to the controls by interface pointer; tests use recording fakes.
//
// Arrays the rules engine hands out are copied into the caller's vector by the binding, which
// frees the engine's array; arrays passed in stay the caller's.
// A failing call throws (a failed COM call does); the play table catches it where the platform
// calls in.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "play_table_seams.h"
#include "records/card.h"

// One row of the display's score list, passed by address: the nickname (31 characters and a
// NUL), the hand score, the four running totals and three spare values.
struct MjScoreRow {
  char name[32] = {};
  int32_t values[8] = {};
};
static_assert(sizeof(MjScoreRow) == 64);

// The table display. ICommTableCalls holds the methods the base already calls.
class IMjTableCalls : public ICommTableCalls {
 public:
  // ICommTable
  virtual void Update(int16_t locate) = 0;
  virtual void StartChoice(int16_t loc) = 0;
  virtual void ShowButtons() = 0;
  virtual void HideButtons() = 0;
  virtual void StartGame(int16_t loc) = 0;
  virtual void HideStartButton() = 0;
  virtual void SetRecvCards(int16_t loc, int16_t num, const card* cards, int16_t isauto,
                            int16_t issend, int16_t isexchange, int16_t isshuaipai) = 0;
  virtual void DeleteAllFromMyHand() = 0;
  virtual void DeleteAllFromSend(int16_t loc) = 0;
  virtual void StartOneHand() = 0;
  virtual void ResetTable() = 0;
  // Review style: the replay's pause and next-step buttons answer.
  virtual void SetReviewStyle(int16_t is_review) = 0;
  virtual void ShowControlButtons(int16_t isshow) = 0;
  // ITable
  virtual void SetBanker(int16_t bankloc, int16_t quan_feng) = 0;
  virtual void InitWall(int16_t num) = 0;
  virtual void InitWall_InTimer(int16_t num) = 0;
  virtual void SetFirstPosition_InWall(int16_t loc, int16_t pos) = 0;
  virtual void DeleteCardsFromWall(int16_t num, int16_t isbu) = 0;
  virtual void StartDice(int16_t loc) = 0;
  virtual void SetDice(int16_t loc, int16_t num1, int16_t num2) = 0;
  virtual void SetDealNum(int16_t loc, int16_t num) = 0;
  virtual void SetDealNum_InTimer(int16_t loc, int16_t num) = 0;
  virtual void AddCardsToMyHandWithSort_InTimer(int16_t count, const card* cards) = 0;
  virtual void AddCardToCurrent(int16_t loc, int16_t color, int16_t value) = 0;
  virtual void AddCardToCurrentWithoutShow(int16_t loc, int16_t color, int16_t value) = 0;
  virtual void ExposeCard(int16_t loc, int16_t type, int16_t count, const card* cards) = 0;
  virtual void ExposeCard_InRecover(int16_t loc, int16_t type, int16_t count, const card* cards) = 0;
  virtual void SetRecvCards_InRecover(int16_t loc, int16_t num, const card* cards) = 0;
  virtual void DeleteAllHideGang() = 0;
  virtual void FocusCards(int16_t type, int16_t isfocus) = 0;
  virtual void KillScrabble() = 0;
  virtual void HuPai(int16_t huloc, int16_t gunloc) = 0;
  virtual void SetTingStatus(int16_t loc, int16_t isting) = 0;
  virtual void LightSend(int16_t issend) = 0;
  virtual void LightTing(int16_t isting) = 0;
  virtual void LightChi(int16_t ischi) = 0;
  virtual void LightPeng(int16_t ispeng) = 0;
  virtual void LightGang(int16_t isgang) = 0;
  virtual void LightHu(int16_t ishu) = 0;
  virtual void LightGuo(int16_t isguo) = 0;
  virtual void SetScoreInfo(int16_t num, int16_t index, const MjScoreRow* info) = 0;
  // fans: 30 entries.
  virtual void SetMyFans(const int16_t* fans) = 0;
  virtual void ShowScoreInfo(int16_t isshow) = 0;
  // item: the address of a seat's avatar record (CAvact_Adv_Item).
  virtual void SetAvactItem(int16_t loc, intptr_t item) = 0;
  // item: the address of a magic action (CActionItem); con_str: its words, or null.
  virtual void PlayFlash(int16_t send_loc, int16_t recv_loc, intptr_t item, const char* con_str) = 0;
};

// The rules engine. ICommArithmeticCalls holds AddCardsToMyHand, which the base calls.
class IMjArithmeticCalls : public ICommArithmeticCalls {
 public:
  // ICommArithmetic
  virtual void SetSubType(int16_t subtype) = 0;
  virtual void StartOneHand(int16_t trump_color, int16_t head) = 0;
  virtual void SetHandNo(int16_t handno) = 0;
  virtual void SetRecvCards(int16_t loc, int16_t maxloc, int16_t nextloc, int16_t num,
                            const card* cards) = 0;
  virtual void SetRecvCardsInRecover(int16_t loc, int16_t maxloc, int16_t nextloc, int16_t num,
                                     const card* cards) = 0;
  // The tile of an automatic discard (one tile), or none when the engine declared a win.
  virtual void AutoSendCards(std::vector<card>& cards) = 0;
  // IArithmetic
  virtual void SetBanker(int16_t bankloc, int16_t quan_feng) = 0;
  virtual void GetBanker(int16_t* bankloc) = 0;
  virtual void SetLowFan(int16_t fans) = 0;
  virtual void SetLastBz() = 0;
  virtual void SetDice(int16_t loc) = 0;
  virtual void GetDiceNum(int16_t* num) = 0;
  virtual void SetCardAfterGang(int16_t color, int16_t value) = 0;
  virtual void ExposeCard(int16_t loc, int16_t type, int16_t num, const card* cards) = 0;
  virtual void ExposeCard_InRecover(int16_t loc, int16_t type, int16_t count, const card* cards) = 0;
  virtual void GetCurrentSended(int16_t* color, int16_t* value) = 0;
  virtual void GetCurrentMo(int16_t* color, int16_t* value) = 0;
  virtual void GetEatNum(int16_t* num) = 0;
  // The three tiles of chow choice index (none when the engine handed out no array).
  virtual void GetEatCards(int16_t index, std::vector<card>& cards) = 0;
  virtual void GetPengCards(std::vector<card>& cards) = 0;
  virtual void GetGangNum(int16_t* num) = 0;
  virtual void GetGangCards(int16_t index, std::vector<card>& cards, int16_t* type) = 0;
  virtual void IsDeclareListen(int16_t* listen) = 0;
  virtual void SetTingStatus(int16_t isting) = 0;
  virtual void GetTingStatus(int16_t* isting) = 0;
  virtual void IsHuPai(int16_t* ishu) = 0;
  virtual void GetHuType(int16_t* hutype) = 0;
  virtual void SetHuInfo(int16_t hu_type, int16_t gunloc, int16_t hucard_color,
                         int16_t hucard_value) = 0;
  virtual void Calculate(int16_t* banker, int16_t* score, int16_t* base_value,
                         int16_t* fan_value) = 0;
  virtual void GetFans(std::vector<int16_t>& types) = 0;
};

// The option chooser board (IMjBoard).
class IMjBoardCalls {
 public:
  virtual ~IMjBoardCalls() = default;
  virtual void SetBkColor(int32_t color) = 0;
  virtual void ClearAll() = 0;
  virtual void InsertRow(int16_t id, int16_t count, const card* cards) = 0;
  virtual void AddCards(int16_t id, int16_t count, const card* cards) = 0;
  virtual void Update() = 0;
};

// The dialog window that hosts the board.
class IMjChooserWindow {
 public:
  virtual ~IMjChooserWindow() = default;
  // Shows the dialog at the table window's bottom-right corner, the board filling it.
  virtual void ShowAtTableCorner() = 0;
  virtual void Hide() = 0;
};

// The table window's side of the play table: the two sound libraries and the person list.
class IMjTableWindow {
 public:
  virtual ~IMjTableWindow() = default;
  // A "WAVE" resource of the sound library, waiting until it has played or not.
  virtual void PlaySoundSync(const char* name) = 0;
  virtual void PlaySoundAsync(const char* name) = 0;
  // A "WAVE" resource of the style module.
  virtual void PlayStyleSound(const char* name) = 0;
  virtual void RedrawPersonList() = 0;
};

// The hand-record files (the framework's seam, shared with the base play table's defaults).
using IMjRecordFiles = IRecordFiles;
