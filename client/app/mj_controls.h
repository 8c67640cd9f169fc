// The play table's seams bound to the three game controls by interface pointer: the table
// display (ITable, ICommTable), the rules engine (IArithmetic, ICommArithmetic) and the option
// chooser board (IMjBoard).
//
// Each call checks its result: a missing interface throws MjControlError with E_POINTER, a failing
// HRESULT throws MjControlError carrying it and the interface's IID. Arrays the rules engine hands
// out (CoTaskMemAlloc) are copied into the caller's vector and freed here.
#pragma once
#include <windows.h>

#include <vector>

#include "korvel.h"
#include "korvel_table.h"
#include "mj_play_table_seams.h"
#include "vitrine.h"
#include "winkit/com_ptr.h"

// 组件版本不符,请重新下载游戏 (GBK): a control's type library is missing or of another version.
inline constexpr char kTextComponentVersion[] =
    "\xd7\xe9\xbc\xfe\xb0\xe6\xb1\xbe\xb2\xbb\xb7\xfb,\xc7\xeb\xd6\xd8\xd0\xc2\xcf\xc2\xd4\xd8\xd3"
    "\xce\xcf\xb7";

// Whether the type library `libid` of that version (locale 0) is registered.
bool IsTypeLibRegistered(REFGUID libid, WORD major, WORD minor);

// A failed call on a game control: the HRESULT and the interface it was made on.
class MjControlError : public winkit::ComError {
 public:
  MjControlError(HRESULT hr, REFIID iid, const char* what) : winkit::ComError(hr, what), iid_(iid) {}
  const IID& iid() const { return iid_; }

 private:
  IID iid_;
};

// The table display. Either pointer may be missing: calls through it then throw E_POINTER.
class MjTableBinding : public IMjTableCalls {
 public:
  MjTableBinding(ITable* table, ICommTable* comm) : table_(table), comm_(comm) {}
  ITable* Table() const { return table_.Get(); }
  ICommTable* Comm() const { return comm_.Get(); }

  // ICommTable, beside the seams: what set-up calls.
  void SetBkColor(int32_t color);
  void InitPoke(int16_t xinter, int16_t yinter, int16_t high, int16_t size, uint32_t color);
  void SetTimerOut(int32_t period, int32_t count);
  void SetBkBitmap(HBITMAP bitmap);
  void SetAdvUrl(const char* url);
  // ITable, beside the seams.
  void SetType(int16_t type, int16_t subtype);
  void InitTable_Avact(int16_t num, int16_t isplay, int16_t poketype, const char* path);
  void SetSmellBitmap(int16_t num, HBITMAP* bitmaps);
  void SetCryBitmap(int16_t num, HBITMAP* bitmaps);
  void SetListBitmap(HBITMAP left, HBITMAP mid, HBITMAP right);

  // ICommTableCalls
  void SetPersonLocation(int16_t loc, intptr_t icon, const TablePerson* person) override;
  void SetLeftCards(int16_t loc, int16_t count, const card* cards) override;
  void StartDeal() override;
  void AddCardsToMyHandWithSort_InDeal(int16_t count, const card* cards) override;
  void Setup() override;
  void SetMyCardBitmap(intptr_t bitmap, intptr_t back) override;
  // IMjTableCalls: ICommTable
  void Update(int16_t locate) override;
  void StartChoice(int16_t loc) override;
  void ShowButtons() override;
  void HideButtons() override;
  void StartGame(int16_t loc) override;
  void HideStartButton() override;
  void SetRecvCards(int16_t loc, int16_t num, const card* cards, int16_t isauto, int16_t issend,
                    int16_t isexchange, int16_t isshuaipai) override;
  void DeleteAllFromMyHand() override;
  void DeleteAllFromSend(int16_t loc) override;
  void StartOneHand() override;
  void ResetTable() override;
  void SetReviewStyle(int16_t is_review) override;
  void ShowControlButtons(int16_t isshow) override;
  void ResetSound(int16_t issound) override;
  // IMjTableCalls: ITable
  void SetBanker(int16_t bankloc, int16_t quan_feng) override;
  void InitWall(int16_t num) override;
  void InitWall_InTimer(int16_t num) override;
  void SetFirstPosition_InWall(int16_t loc, int16_t pos) override;
  void DeleteCardsFromWall(int16_t num, int16_t isbu) override;
  void StartDice(int16_t loc) override;
  void SetDice(int16_t loc, int16_t num1, int16_t num2) override;
  void SetDealNum(int16_t loc, int16_t num) override;
  void SetDealNum_InTimer(int16_t loc, int16_t num) override;
  void AddCardsToMyHandWithSort_InTimer(int16_t count, const card* cards) override;
  void AddCardToCurrent(int16_t loc, int16_t color, int16_t value) override;
  void AddCardToCurrentWithoutShow(int16_t loc, int16_t color, int16_t value) override;
  void ExposeCard(int16_t loc, int16_t type, int16_t count, const card* cards) override;
  void ExposeCard_InRecover(int16_t loc, int16_t type, int16_t count, const card* cards) override;
  void SetRecvCards_InRecover(int16_t loc, int16_t num, const card* cards) override;
  void DeleteAllHideGang() override;
  void FocusCards(int16_t type, int16_t isfocus) override;
  void KillScrabble() override;
  void HuPai(int16_t huloc, int16_t gunloc) override;
  void SetTingStatus(int16_t loc, int16_t isting) override;
  void LightSend(int16_t issend) override;
  void LightTing(int16_t isting) override;
  void LightChi(int16_t ischi) override;
  void LightPeng(int16_t ispeng) override;
  void LightGang(int16_t isgang) override;
  void LightHu(int16_t ishu) override;
  void LightGuo(int16_t isguo) override;
  void SetScoreInfo(int16_t num, int16_t index, const MjScoreRow* info) override;
  void SetMyFans(const int16_t* fans) override;
  void ShowScoreInfo(int16_t isshow) override;
  void SetAvactItem(int16_t loc, intptr_t item) override;
  void PlayFlash(int16_t send_loc, int16_t recv_loc, intptr_t item, const char* con_str) override;

 private:
  // The live control; throws if the control was not created.
  ITable& LiveTable() const;
  ICommTable& LiveCommTable() const;
  winkit::ComPtr<ITable> table_;
  winkit::ComPtr<ICommTable> comm_;
};

// The rules engine.
class MjArithmeticBinding : public IMjArithmeticCalls {
 public:
  MjArithmeticBinding(IArithmetic* arithmetic, ICommArithmetic* comm)
      : arith_(arithmetic), comm_(comm) {}
  IArithmetic* Arithmetic() const { return arith_.Get(); }
  ICommArithmetic* Comm() const { return comm_.Get(); }

  // ICommArithmetic
  void AddCardsToMyHand(int16_t count, const card* cards) override;
  void SetSubType(int16_t subtype) override;
  void StartOneHand(int16_t trump_color, int16_t head) override;
  void SetHandNo(int16_t handno) override;
  void SetRecvCards(int16_t loc, int16_t maxloc, int16_t nextloc, int16_t num,
                    const card* cards) override;
  void SetRecvCardsInRecover(int16_t loc, int16_t maxloc, int16_t nextloc, int16_t num,
                             const card* cards) override;
  void AutoSendCards(std::vector<card>& cards) override;
  // IArithmetic
  void SetBanker(int16_t bankloc, int16_t quan_feng) override;
  void GetBanker(int16_t* bankloc) override;
  void SetLowFan(int16_t fans) override;
  void SetLastBz() override;
  void SetDice(int16_t loc) override;
  void GetDiceNum(int16_t* num) override;
  void SetCardAfterGang(int16_t color, int16_t value) override;
  void ExposeCard(int16_t loc, int16_t type, int16_t num, const card* cards) override;
  void ExposeCard_InRecover(int16_t loc, int16_t type, int16_t count, const card* cards) override;
  void GetCurrentSended(int16_t* color, int16_t* value) override;
  void GetCurrentMo(int16_t* color, int16_t* value) override;
  void GetEatNum(int16_t* num) override;
  void GetEatCards(int16_t index, std::vector<card>& cards) override;
  void GetPengCards(std::vector<card>& cards) override;
  void GetGangNum(int16_t* num) override;
  void GetGangCards(int16_t index, std::vector<card>& cards, int16_t* type) override;
  void IsDeclareListen(int16_t* listen) override;
  void SetTingStatus(int16_t isting) override;
  void GetTingStatus(int16_t* isting) override;
  void IsHuPai(int16_t* ishu) override;
  void GetHuType(int16_t* hutype) override;
  void SetHuInfo(int16_t hu_type, int16_t gunloc, int16_t hucard_color,
                 int16_t hucard_value) override;
  void Calculate(int16_t* banker, int16_t* score, int16_t* base_value,
                 int16_t* fan_value) override;
  void GetFans(std::vector<int16_t>& types) override;

 private:
  // The live engine; throws if the control was not created.
  IArithmetic& LiveArithmetic() const;
  ICommArithmetic& LiveCommArithmetic() const;
  winkit::ComPtr<IArithmetic> arith_;
  winkit::ComPtr<ICommArithmetic> comm_;
};

// The option chooser board.
class MjBoardBinding : public IMjBoardCalls {
 public:
  explicit MjBoardBinding(IMjBoard* board) : board_(board) {}
  IMjBoard* Board() const { return board_.Get(); }

  void SetBkColor(int32_t color) override;
  void ClearAll() override;
  void InsertRow(int16_t id, int16_t count, const card* cards) override;
  void AddCards(int16_t id, int16_t count, const card* cards) override;
  void Update() override;

 private:
  // The live board; throws if the control was not created.
  IMjBoard& LiveBoard() const;
  winkit::ComPtr<IMjBoard> board_;
};
