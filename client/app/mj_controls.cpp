#include "mj_controls.h"

#include <cstddef>

static_assert(sizeof(mjtablecard) == sizeof(card) && offsetof(mjtablecard, m_nColor) == 0 &&
                  offsetof(mjtablecard, m_nValue) == 4,
              "the table display's tile is the shared card record");
static_assert(sizeof(mjcard) == sizeof(card) && offsetof(mjcard, m_nColor) == 0 &&
                  offsetof(mjcard, m_nValue) == 4,
              "the board's tile is the shared card record");

namespace {

void Check(HRESULT hr, REFIID iid, const char* what) {
  if (FAILED(hr)) throw MjControlError(hr, iid, what);
}

template <class T>
T& Need(const winkit::ComPtr<T>& p, REFIID iid) {
  if (!p) throw MjControlError(E_POINTER, iid, "no control interface");
  return *p.Get();
}

// The controls read the arrays passed in and keep none of them; the IDL has no const.
mjtablecard* TableCards(const card* cards) {
  return reinterpret_cast<mjtablecard*>(const_cast<card*>(cards));
}
mjcard* BoardCards(const card* cards) {
  return reinterpret_cast<mjcard*>(const_cast<card*>(cards));
}
card* EngineCards(const card* cards) { return const_cast<card*>(cards); }

template <class P>
LONG_PTR Address(P* p) {
  return reinterpret_cast<LONG_PTR>(p);
}

// Copies count tiles of an engine array into cards and frees the array.
void TakeCards(LONG_PTR array, int count, std::vector<card>& cards) {
  cards.clear();
  if (array == 0) return;
  auto* p = reinterpret_cast<const card*>(array);
  if (count > 0) cards.assign(p, p + count);
  CoTaskMemFree(reinterpret_cast<void*>(array));
}

}  // namespace

bool IsTypeLibRegistered(REFGUID libid, WORD major, WORD minor) {
  BSTR path = nullptr;
  const HRESULT hr = QueryPathOfRegTypeLib(libid, major, minor, 0, &path);
  SysFreeString(path);
  return SUCCEEDED(hr);
}

// --------------------------------------------------------------------------------------------
// The table display

ITable& MjTableBinding::LiveTable() const { return Need(table_, IID_ITable); }
ICommTable& MjTableBinding::LiveCommTable() const { return Need(comm_, IID_ICommTable); }

#define KORVEL_TABLE(call) Check(LiveTable().call, IID_ITable, #call)
#define KORVEL_COMM(call) Check(LiveCommTable().call, IID_ICommTable, #call)

void MjTableBinding::SetBkColor(int32_t color) { KORVEL_COMM(SetBkColor(color)); }
void MjTableBinding::InitPoke(int16_t xinter, int16_t yinter, int16_t high, int16_t size,
                              uint32_t color) {
  KORVEL_COMM(InitPoke(xinter, yinter, high, size, color));
}
void MjTableBinding::SetTimerOut(int32_t period, int32_t count) {
  KORVEL_COMM(SetTimerOut(period, count));
}
void MjTableBinding::SetBkBitmap(HBITMAP bitmap) { KORVEL_COMM(SetBkBitmap(Address(bitmap))); }
void MjTableBinding::SetAdvUrl(const char* url) { KORVEL_COMM(SetAdvUrl(Address(url))); }
void MjTableBinding::SetType(int16_t type, int16_t subtype) { KORVEL_TABLE(SetType(type, subtype)); }
void MjTableBinding::InitTable_Avact(int16_t num, int16_t isplay, int16_t poketype,
                                     const char* path) {
  KORVEL_TABLE(InitTable_Avact(num, isplay, poketype, Address(path)));
}
void MjTableBinding::SetSmellBitmap(int16_t num, HBITMAP* bitmaps) {
  KORVEL_TABLE(SetSmellBitmap(num, Address(bitmaps)));
}
void MjTableBinding::SetCryBitmap(int16_t num, HBITMAP* bitmaps) {
  KORVEL_TABLE(SetCryBitmap(num, Address(bitmaps)));
}
void MjTableBinding::SetListBitmap(HBITMAP left, HBITMAP mid, HBITMAP right) {
  KORVEL_TABLE(SetListBitmap(Address(left), Address(mid), Address(right)));
}

void MjTableBinding::SetPersonLocation(int16_t loc, intptr_t icon, const TablePerson* person) {
  KORVEL_COMM(SetPersonLocation(loc, icon, Address(person)));
}
void MjTableBinding::SetLeftCards(int16_t loc, int16_t count, const card* cards) {
  KORVEL_COMM(SetLeftCards(loc, count, TableCards(cards)));
}
void MjTableBinding::StartDeal() { KORVEL_COMM(StartDeal()); }
void MjTableBinding::AddCardsToMyHandWithSort_InDeal(int16_t count, const card* cards) {
  KORVEL_COMM(AddCardsToMyHandWithSort_InDeal(count, TableCards(cards)));
}
void MjTableBinding::Setup() { KORVEL_COMM(Setup()); }
void MjTableBinding::SetMyCardBitmap(intptr_t bitmap, intptr_t back) {
  KORVEL_COMM(SetMyCardBitmap(bitmap, back));
}
void MjTableBinding::Update(int16_t locate) { KORVEL_COMM(Update(locate)); }
void MjTableBinding::StartChoice(int16_t loc) { KORVEL_COMM(StartChoice(loc)); }
void MjTableBinding::ShowButtons() { KORVEL_COMM(ShowButtons()); }
void MjTableBinding::HideButtons() { KORVEL_COMM(HideButtons()); }
void MjTableBinding::StartGame(int16_t loc) { KORVEL_COMM(StartGame(loc)); }
void MjTableBinding::HideStartButton() { KORVEL_COMM(HideStartButton()); }
void MjTableBinding::SetRecvCards(int16_t loc, int16_t num, const card* cards, int16_t isauto,
                                  int16_t issend, int16_t isexchange, int16_t isshuaipai) {
  KORVEL_COMM(SetRecvCards(loc, num, TableCards(cards), isauto, issend, isexchange, isshuaipai));
}
void MjTableBinding::DeleteAllFromMyHand() { KORVEL_COMM(DeleteAllFromMyHand()); }
void MjTableBinding::DeleteAllFromSend(int16_t loc) { KORVEL_COMM(DeleteAllFromSend(loc)); }
void MjTableBinding::StartOneHand() { KORVEL_COMM(StartOneHand()); }
void MjTableBinding::ResetTable() { KORVEL_COMM(ResetTable()); }
void MjTableBinding::SetReviewStyle(int16_t is_review) { KORVEL_COMM(SetReviewStyle(is_review)); }
void MjTableBinding::ShowControlButtons(int16_t isshow) { KORVEL_COMM(ShowControlButtons(isshow)); }
void MjTableBinding::ResetSound(int16_t issound) { KORVEL_COMM(ResetSound(issound)); }

void MjTableBinding::SetBanker(int16_t bankloc, int16_t quan_feng) {
  KORVEL_TABLE(SetBanker(bankloc, quan_feng));
}
void MjTableBinding::InitWall(int16_t num) { KORVEL_TABLE(InitWall(num)); }
void MjTableBinding::InitWall_InTimer(int16_t num) { KORVEL_TABLE(InitWall_InTimer(num)); }
void MjTableBinding::SetFirstPosition_InWall(int16_t loc, int16_t pos) {
  KORVEL_TABLE(SetFirstPosition_InWall(loc, pos));
}
void MjTableBinding::DeleteCardsFromWall(int16_t num, int16_t isbu) {
  KORVEL_TABLE(DeleteCardsFromWall(num, isbu));
}
void MjTableBinding::StartDice(int16_t loc) { KORVEL_TABLE(StartDice(loc)); }
void MjTableBinding::SetDice(int16_t loc, int16_t num1, int16_t num2) {
  KORVEL_TABLE(SetDice(loc, num1, num2));
}
void MjTableBinding::SetDealNum(int16_t loc, int16_t num) { KORVEL_TABLE(SetDealNum(loc, num)); }
void MjTableBinding::SetDealNum_InTimer(int16_t loc, int16_t num) {
  KORVEL_TABLE(SetDealNum_InTimer(loc, num));
}
void MjTableBinding::AddCardsToMyHandWithSort_InTimer(int16_t count, const card* cards) {
  KORVEL_TABLE(AddCardsToMyHandWithSort_InTimer(count, TableCards(cards)));
}
void MjTableBinding::AddCardToCurrent(int16_t loc, int16_t color, int16_t value) {
  KORVEL_TABLE(AddCardToCurrent(loc, color, value));
}
void MjTableBinding::AddCardToCurrentWithoutShow(int16_t loc, int16_t color, int16_t value) {
  KORVEL_TABLE(AddCardToCurrentWithoutShow(loc, color, value));
}
void MjTableBinding::ExposeCard(int16_t loc, int16_t type, int16_t count, const card* cards) {
  KORVEL_TABLE(ExposeCard(loc, type, count, TableCards(cards)));
}
void MjTableBinding::ExposeCard_InRecover(int16_t loc, int16_t type, int16_t count,
                                          const card* cards) {
  KORVEL_TABLE(ExposeCard_InRecover(loc, type, count, TableCards(cards)));
}
void MjTableBinding::SetRecvCards_InRecover(int16_t loc, int16_t num, const card* cards) {
  KORVEL_TABLE(SetRecvCards_InRecover(loc, num, TableCards(cards)));
}
void MjTableBinding::DeleteAllHideGang() { KORVEL_TABLE(DeleteAllHideGang()); }
void MjTableBinding::FocusCards(int16_t type, int16_t isfocus) {
  KORVEL_TABLE(FocusCards(type, isfocus));
}
void MjTableBinding::KillScrabble() { KORVEL_TABLE(KillScrabble()); }
void MjTableBinding::HuPai(int16_t huloc, int16_t gunloc) { KORVEL_TABLE(HuPai(huloc, gunloc)); }
void MjTableBinding::SetTingStatus(int16_t loc, int16_t isting) {
  KORVEL_TABLE(SetTingStatus(loc, isting));
}
void MjTableBinding::LightSend(int16_t issend) { KORVEL_TABLE(LightSend(issend)); }
void MjTableBinding::LightTing(int16_t isting) { KORVEL_TABLE(LightTing(isting)); }
void MjTableBinding::LightChi(int16_t ischi) { KORVEL_TABLE(LightChi(ischi)); }
void MjTableBinding::LightPeng(int16_t ispeng) { KORVEL_TABLE(LightPeng(ispeng)); }
void MjTableBinding::LightGang(int16_t isgang) { KORVEL_TABLE(LightGang(isgang)); }
void MjTableBinding::LightHu(int16_t ishu) { KORVEL_TABLE(LightHu(ishu)); }
void MjTableBinding::LightGuo(int16_t isguo) { KORVEL_TABLE(LightGuo(isguo)); }
void MjTableBinding::SetScoreInfo(int16_t num, int16_t index, const MjScoreRow* info) {
  KORVEL_TABLE(SetScoreInfo(num, index, Address(info)));
}
void MjTableBinding::SetMyFans(const int16_t* fans) {
  KORVEL_TABLE(SetMyFans(const_cast<short*>(fans)));
}
void MjTableBinding::ShowScoreInfo(int16_t isshow) { KORVEL_TABLE(ShowScoreInfo(isshow)); }
void MjTableBinding::SetAvactItem(int16_t loc, intptr_t item) {
  KORVEL_TABLE(SetAvactItem(loc, item));
}
void MjTableBinding::PlayFlash(int16_t send_loc, int16_t recv_loc, intptr_t item,
                               const char* con_str) {
  KORVEL_TABLE(PlayFlash(send_loc, recv_loc, item, Address(con_str)));
}

#undef KORVEL_TABLE
#undef KORVEL_COMM

// --------------------------------------------------------------------------------------------
// The rules engine

IArithmetic& MjArithmeticBinding::LiveArithmetic() const { return Need(arith_, IID_IArithmetic); }
ICommArithmetic& MjArithmeticBinding::LiveCommArithmetic() const {
  return Need(comm_, IID_ICommArithmetic);
}

#define KORVEL_ARITH(call) Check(LiveArithmetic().call, IID_IArithmetic, #call)
#define KORVEL_COMM(call) Check(LiveCommArithmetic().call, IID_ICommArithmetic, #call)

void MjArithmeticBinding::AddCardsToMyHand(int16_t count, const card* cards) {
  KORVEL_COMM(AddCardsToMyHand(count, EngineCards(cards)));
}
void MjArithmeticBinding::SetSubType(int16_t subtype) { KORVEL_COMM(SetSubType(subtype)); }
void MjArithmeticBinding::StartOneHand(int16_t trump_color, int16_t head) {
  KORVEL_COMM(StartOneHand(trump_color, head));
}
void MjArithmeticBinding::SetHandNo(int16_t handno) { KORVEL_COMM(SetHandNo(handno)); }
void MjArithmeticBinding::SetRecvCards(int16_t loc, int16_t maxloc, int16_t nextloc, int16_t num,
                                       const card* cards) {
  KORVEL_COMM(SetRecvCards(loc, maxloc, nextloc, num, EngineCards(cards)));
}
void MjArithmeticBinding::SetRecvCardsInRecover(int16_t loc, int16_t maxloc, int16_t nextloc,
                                                int16_t num, const card* cards) {
  KORVEL_COMM(SetRecvCardsInRecover(loc, maxloc, nextloc, num, EngineCards(cards)));
}
void MjArithmeticBinding::AutoSendCards(std::vector<card>& cards) {
  short count = 0;
  LONG_PTR array = 0;
  KORVEL_COMM(AutoSendCards(&count, &array));
  TakeCards(array, count, cards);
}

void MjArithmeticBinding::SetBanker(int16_t bankloc, int16_t quan_feng) {
  KORVEL_ARITH(SetBanker(bankloc, quan_feng));
}
void MjArithmeticBinding::GetBanker(int16_t* bankloc) { KORVEL_ARITH(GetBanker(bankloc)); }
void MjArithmeticBinding::SetLowFan(int16_t fans) { KORVEL_ARITH(SetLowFan(fans)); }
void MjArithmeticBinding::SetLastBz() { KORVEL_ARITH(SetLastBz()); }
void MjArithmeticBinding::SetDice(int16_t loc) { KORVEL_ARITH(SetDice(loc)); }
void MjArithmeticBinding::GetDiceNum(int16_t* num) { KORVEL_ARITH(GetDiceNum(num)); }
void MjArithmeticBinding::SetCardAfterGang(int16_t color, int16_t value) {
  KORVEL_ARITH(SetCardAfterGang(color, value));
}
void MjArithmeticBinding::ExposeCard(int16_t loc, int16_t type, int16_t num, const card* cards) {
  KORVEL_ARITH(ExposeCard(loc, type, num, EngineCards(cards)));
}
void MjArithmeticBinding::ExposeCard_InRecover(int16_t loc, int16_t type, int16_t count,
                                               const card* cards) {
  KORVEL_ARITH(ExposeCard_InRecover(loc, type, count, EngineCards(cards)));
}
void MjArithmeticBinding::GetCurrentSended(int16_t* color, int16_t* value) {
  KORVEL_ARITH(GetCurrentSended(color, value));
}
void MjArithmeticBinding::GetCurrentMo(int16_t* color, int16_t* value) {
  KORVEL_ARITH(GetCurrentMo(color, value));
}
void MjArithmeticBinding::GetEatNum(int16_t* num) { KORVEL_ARITH(GetEatNum(num)); }
void MjArithmeticBinding::GetEatCards(int16_t index, std::vector<card>& cards) {
  LONG_PTR array = 0;
  KORVEL_ARITH(GetEatCards(index, &array));
  TakeCards(array, 3, cards);  // a chow is three tiles
}
void MjArithmeticBinding::GetPengCards(std::vector<card>& cards) {
  short num = 0;
  LONG_PTR array = 0;
  KORVEL_ARITH(GetPengCards(&num, &array));
  TakeCards(array, num, cards);
}
void MjArithmeticBinding::GetGangNum(int16_t* num) { KORVEL_ARITH(GetGangNum(num)); }
void MjArithmeticBinding::GetGangCards(int16_t index, std::vector<card>& cards, int16_t* type) {
  short num = 0;
  LONG_PTR array = 0;
  KORVEL_ARITH(GetGangCards(index, &num, &array, type));
  TakeCards(array, num, cards);
}
void MjArithmeticBinding::IsDeclareListen(int16_t* listen) {
  KORVEL_ARITH(IsDeclareListen(listen));
}
void MjArithmeticBinding::SetTingStatus(int16_t isting) { KORVEL_ARITH(SetTingStatus(isting)); }
void MjArithmeticBinding::GetTingStatus(int16_t* isting) { KORVEL_ARITH(GetTingStatus(isting)); }
void MjArithmeticBinding::IsHuPai(int16_t* ishu) { KORVEL_ARITH(IsHuPai(ishu)); }
void MjArithmeticBinding::GetHuType(int16_t* hutype) { KORVEL_ARITH(GetHuType(hutype)); }
void MjArithmeticBinding::SetHuInfo(int16_t hu_type, int16_t gunloc, int16_t hucard_color,
                                    int16_t hucard_value) {
  KORVEL_ARITH(SetHuInfo(hu_type, gunloc, hucard_color, hucard_value));
}
void MjArithmeticBinding::Calculate(int16_t* banker, int16_t* score, int16_t* base_value,
                                    int16_t* fan_value) {
  KORVEL_ARITH(Calculate(banker, score, base_value, fan_value));
}
void MjArithmeticBinding::GetFans(std::vector<int16_t>& types) {
  short count = 0;
  LONG_PTR array = 0;
  KORVEL_ARITH(GetFans(&count, &array));
  types.clear();
  if (array == 0) return;
  auto* p = reinterpret_cast<const int16_t*>(array);
  if (count > 0) types.assign(p, p + count);
  CoTaskMemFree(reinterpret_cast<void*>(array));
}

#undef KORVEL_ARITH
#undef KORVEL_COMM

// --------------------------------------------------------------------------------------------
// The board

IMjBoard& MjBoardBinding::LiveBoard() const { return Need(board_, IID_IMjBoard); }

#define KORVEL_BOARD(call) Check(LiveBoard().call, IID_IMjBoard, #call)

void MjBoardBinding::SetBkColor(int32_t color) { KORVEL_BOARD(SetBkColor(color)); }
void MjBoardBinding::ClearAll() { KORVEL_BOARD(ClearAll()); }
void MjBoardBinding::InsertRow(int16_t id, int16_t count, const card* cards) {
  KORVEL_BOARD(InsertRow(id, count, BoardCards(cards)));
}
void MjBoardBinding::AddCards(int16_t id, int16_t count, const card* cards) {
  KORVEL_BOARD(AddCards(id, count, BoardCards(cards)));
}
void MjBoardBinding::Update() { KORVEL_BOARD(Update()); }

#undef KORVEL_BOARD
