#include "arithmetic_control.h"

#include <cstdint>

#include "winkit/boundary.h"

namespace {

// Addresses cross the interface in LONG_PTR; the glue hands them out as intptr_t. The two are
// one type on x86-64 but long and int on 32-bit Windows, so an out slot passes through a local
// intptr_t, written back when the call's full expression ends.
static_assert(sizeof(LONG_PTR) == sizeof(intptr_t));
class AddressSlot {
 public:
  explicit AddressSlot(LONG_PTR* out) : m_out(out), m_value(out ? *out : 0) {}
  ~AddressSlot() {
    if (m_out) *m_out = static_cast<LONG_PTR>(m_value);
  }
  AddressSlot(const AddressSlot&) = delete;
  AddressSlot& operator=(const AddressSlot&) = delete;
  operator intptr_t*() { return m_out ? &m_value : nullptr; }

 private:
  LONG_PTR* m_out;
  intptr_t m_value;
};

// Dispatch ids of _IArithmeticEvents.
enum ArithmeticEventId : DISPID {
  kLightSend = 1,
  kLightListen = 2,
  kLightChi = 3,
  kLightPeng = 4,
  kLightGang = 5,
  kLightHu = 6,
  kLightGuo = 7,
  kAutoGuo = 9,
  kAutoSendOnTing = 10,
  kAutoHu = 11,
  kPlaySound = 12,
};

// Arrays handed to the client come from the task allocator; the client frees them.
void* TaskAlloc(size_t bytes) { return CoTaskMemAlloc(bytes); }

const card* CardsAt(LONG_PTR address) { return reinterpret_cast<const card*>(address); }
char* TextAt(LONG_PTR address) { return reinterpret_cast<char*>(address); }

}  // namespace

CArithmetic::CArithmetic()
    : ControlBase(CLSID_Arithmetic, IID__IArithmeticEvents, L"KorvelArithmetic"),
      m_glue(*this, TaskAlloc) {}

void* CArithmetic::CastTo(REFIID iid) {
  if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_ICommArithmetic ||
      iid == IID_IArithmetic)
    return static_cast<IArithmetic*>(this);
  return ControlBase::CastTo(iid);
}

// ---- events -------------------------------------------------------------------------------------

using winkit::EventArg;

void CArithmetic::Fire_LightSend(int16_t v) { Events().Fire(kLightSend, {EventArg::I2(v)}); }
void CArithmetic::Fire_LightListen(int16_t v) { Events().Fire(kLightListen, {EventArg::I2(v)}); }
void CArithmetic::Fire_LightChi(int16_t v) { Events().Fire(kLightChi, {EventArg::I2(v)}); }
void CArithmetic::Fire_LightPeng(int16_t v) { Events().Fire(kLightPeng, {EventArg::I2(v)}); }
void CArithmetic::Fire_LightGang(int16_t v) { Events().Fire(kLightGang, {EventArg::I2(v)}); }
void CArithmetic::Fire_LightHu(int16_t v) { Events().Fire(kLightHu, {EventArg::I2(v)}); }
void CArithmetic::Fire_LightGuo(int16_t v) { Events().Fire(kLightGuo, {EventArg::I2(v)}); }
void CArithmetic::Fire_AutoGuo() { Events().Fire(kAutoGuo); }
void CArithmetic::Fire_AutoSendOnTing() { Events().Fire(kAutoSendOnTing); }
void CArithmetic::Fire_AutoHu() { Events().Fire(kAutoHu); }
void CArithmetic::Fire_PlaySound(int16_t color, int16_t value) {
  Events().Fire(kPlaySound, {EventArg::I2(color), EventArg::I2(value)});
}

// ---- ICommArithmetic ----------------------------------------------------------------------------
// The methods that do nothing leave their outputs alone. Each method is a boundary: what the
// rules engine throws (out of memory) becomes the call's HRESULT.

using winkit::CallAtBoundary;

STDMETHODIMP CArithmetic::Compare(short /*myloc*/, short* /*whobigger*/) { return S_OK; }

STDMETHODIMP CArithmetic::IsChuPai(short /*count*/, card* /*cards*/, short* yes_no,
                                   short* isshuaipai) {
  return CallAtBoundary([&] { m_glue.IsChuPai(yes_no, isshuaipai); });
}

STDMETHODIMP CArithmetic::StartOneHand(short /*trump_color*/, short /*head*/) {
  return CallAtBoundary([&] { m_glue.StartOneHand(); });
}

STDMETHODIMP CArithmetic::AddCardsToMyHand(short num, card* cards) {
  return CallAtBoundary([&] { m_glue.AddCardsToMyHand(num, cards); });
}

STDMETHODIMP CArithmetic::StartOneTrick(short /*loc*/) {
  return CallAtBoundary([&] { m_glue.StartOneTrick(); });
}

STDMETHODIMP CArithmetic::SetRecvCards(short loc, short /*maxloc*/, short /*nextloc*/, short num,
                                       card* cards) {
  return CallAtBoundary([&] { m_glue.SetRecvCards(loc, num, cards); });
}

STDMETHODIMP CArithmetic::ExitOneTrick() { return S_OK; }
STDMETHODIMP CArithmetic::ExitOneHand(short /*trump*/, short /*realbanker*/,
                                      short /*nobanker_trump*/) { return S_OK; }
STDMETHODIMP CArithmetic::StartDeal(short /*trump*/, short /*banker*/,
                                    short /*detailbanker*/) { return S_OK; }
STDMETHODIMP CArithmetic::ExitDeal() { return S_OK; }

STDMETHODIMP CArithmetic::GetNextPlayer(short* loc) {
  return CallAtBoundary([&] { m_glue.GetNextPlayer(loc); });
}

STDMETHODIMP CArithmetic::SetMyReceiveCards(short /*loc*/, short /*num*/,
                                            card* /*cards*/) { return S_OK; }

STDMETHODIMP CArithmetic::DeleteCardsFromMyHand(short count, LONG_PTR cards) {
  return CallAtBoundary([&] { m_glue.DeleteCardsFromMyHand(count, CardsAt(cards)); });
}

STDMETHODIMP CArithmetic::AutoSendCards(short* count, LONG_PTR* cards) {
  return CallAtBoundary([&] { m_glue.AutoSendCards(count, AddressSlot(cards)); });
}

STDMETHODIMP CArithmetic::SetPlayerScores(short /*gamescore*/, short /*wins*/, short /*losts*/,
                                          short /*equals*/) { return S_OK; }

STDMETHODIMP CArithmetic::GetPlayerScores(short* gamescore, short* wins, short* losts,
                                          short* equals) {
  return CallAtBoundary([&] { m_glue.GetPlayerScores(gamescore, wins, losts, equals); });
}

STDMETHODIMP CArithmetic::GetHandNo(short* handno) {
  return CallAtBoundary([&] { m_glue.GetHandNo(handno); });
}

STDMETHODIMP CArithmetic::SetRecvCardsInRecover(short /*loc*/, short /*maxloc*/,
                                                short /*nextloc*/, short num, card* cards) {
  return CallAtBoundary([&] { m_glue.SetRecvCardsInRecover(num, cards); });
}

STDMETHODIMP CArithmetic::SetTrickNo(short trickno, short /*firstloc*/) {
  return CallAtBoundary([&] { m_glue.SetTrickNo(trickno); });
}

STDMETHODIMP CArithmetic::GetTrickNo(short* trickno) {
  return CallAtBoundary([&] { m_glue.GetTrickNo(trickno); });
}

STDMETHODIMP CArithmetic::SetHandNo(short handno) {
  return CallAtBoundary([&] { m_glue.SetHandNo(handno); });
}

STDMETHODIMP CArithmetic::GetLastLocInOneTrick(short* /*loc*/) { return S_OK; }
STDMETHODIMP CArithmetic::SetFirstLocInRecover(short /*loc*/) { return S_OK; }
STDMETHODIMP CArithmetic::GetDealStatus(short* /*status*/) { return S_OK; }
STDMETHODIMP CArithmetic::AddCardsToMyHandWithoutShow(short /*num*/,
                                                      card* /*cards*/) { return S_OK; }
STDMETHODIMP CArithmetic::SetLastLocInOneTrick(short /*loc*/) { return S_OK; }
STDMETHODIMP CArithmetic::SetMaxLocInOneTrick(short /*loc*/) { return S_OK; }

STDMETHODIMP CArithmetic::IsShowChoice(short /*loc*/, short* IsShowChoice) {
  return CallAtBoundary([&] { m_glue.IsShowChoice(IsShowChoice); });
}

STDMETHODIMP CArithmetic::DeleteAllFromMyHand() {
  return CallAtBoundary([&] { m_glue.DeleteAllFromMyHand(); });
}

STDMETHODIMP CArithmetic::SetSubType(short subtype) {
  return CallAtBoundary([&] { m_glue.SetSubType(subtype); });
}

// ---- IArithmetic --------------------------------------------------------------------------------

STDMETHODIMP CArithmetic::put_BackColor(OLE_COLOR clr) {
  m_clrBackColor = clr;
  return S_OK;
}

STDMETHODIMP CArithmetic::get_BackColor(OLE_COLOR* pclr) {
  if (pclr) *pclr = m_clrBackColor;
  return S_OK;
}

STDMETHODIMP CArithmetic::ExposeCard(short loc, short type, short num, card* cards) {
  return CallAtBoundary([&] { m_glue.ExposeCard(loc, type, num, cards); });
}

STDMETHODIMP CArithmetic::SetBanker(short bankloc, short quan_feng) {
  return CallAtBoundary([&] { m_glue.SetBanker(bankloc, quan_feng); });
}

STDMETHODIMP CArithmetic::GetFans(short* count, LONG_PTR* types) {
  return CallAtBoundary([&] { m_glue.GetFans(count, AddressSlot(types)); });
}

STDMETHODIMP CArithmetic::GetFanNameByType(short type, LONG_PTR str, LONG_PTR desc,
                                           short* score) {
  return CallAtBoundary([&] { m_glue.GetFanNameByType(type, TextAt(str), TextAt(desc), score); });
}

STDMETHODIMP CArithmetic::GetGangCards(short index, short* num, LONG_PTR* cards, short* type) {
  return CallAtBoundary([&] { m_glue.GetGangCards(index, num, AddressSlot(cards), type); });
}

STDMETHODIMP CArithmetic::GetPengCards(short* num, LONG_PTR* cards) {
  return CallAtBoundary([&] { m_glue.GetPengCards(num, AddressSlot(cards)); });
}

STDMETHODIMP CArithmetic::GetEatNum(short* num) {
  return CallAtBoundary([&] { m_glue.GetEatNum(num); });
}

STDMETHODIMP CArithmetic::GetEatCards(short index, LONG_PTR* cards) {
  return CallAtBoundary([&] { m_glue.GetEatCards(index, AddressSlot(cards)); });
}

STDMETHODIMP CArithmetic::GetBanker(short* bankloc) {
  return CallAtBoundary([&] { m_glue.GetBanker(bankloc); });
}

STDMETHODIMP CArithmetic::GetGangType(short* type) {
  return CallAtBoundary([&] { m_glue.GetGangType(type); });
}

STDMETHODIMP CArithmetic::ExposeCard_InRecover(short loc, short type, short count, card* cards) {
  return CallAtBoundary([&] { m_glue.ExposeCard_InRecover(loc, type, count, cards); });
}

STDMETHODIMP CArithmetic::SetTingStatus(short isting) {
  return CallAtBoundary([&] { m_glue.SetTingStatus(isting); });
}

STDMETHODIMP CArithmetic::GetCurrentSended(short* color, short* value) {
  return CallAtBoundary([&] { m_glue.GetCurrentSended(color, value); });
}

STDMETHODIMP CArithmetic::SetDice(short /*loc*/) {
  return CallAtBoundary([&] { m_glue.SetDice(); });
}

STDMETHODIMP CArithmetic::GetDiceNum(short* num) {
  return CallAtBoundary([&] { m_glue.GetDiceNum(num); });
}

STDMETHODIMP CArithmetic::IsDeclareListen(short* listen) {
  return CallAtBoundary([&] { m_glue.IsDeclareListen(listen); });
}

STDMETHODIMP CArithmetic::Calculate(short* banker, short* score, short* base_value,
                                    short* fan_value) {
  return CallAtBoundary([&] { m_glue.Calculate(banker, score, base_value, fan_value); });
}

STDMETHODIMP CArithmetic::SetHuInfo(short hu_type, short gunloc, short hucard_color,
                                    short hucard_value) {
  return CallAtBoundary([&] { m_glue.SetHuInfo(hu_type, gunloc, hucard_color, hucard_value); });
}

STDMETHODIMP CArithmetic::GetHuType(short* hutype) {
  return CallAtBoundary([&] { m_glue.GetHuType(hutype); });
}

STDMETHODIMP CArithmetic::GetCurrentMo(short* color, short* value) {
  return CallAtBoundary([&] { m_glue.GetCurrentMo(color, value); });
}

STDMETHODIMP CArithmetic::GetHideGangCards(short* num, LONG_PTR* cards) {
  return CallAtBoundary([&] { m_glue.GetHideGangCards(num, AddressSlot(cards)); });
}

STDMETHODIMP CArithmetic::SetGangNum(short loc, short hide, short expose) {
  return CallAtBoundary([&] { m_glue.SetGangNum(loc, hide, expose); });
}

STDMETHODIMP CArithmetic::GetTingStatus(short* isting) {
  return CallAtBoundary([&] { m_glue.GetTingStatus(isting); });
}

STDMETHODIMP CArithmetic::SetCardAfterGang(short card_color, short card_value) {
  return CallAtBoundary([&] { m_glue.SetCardAfterGang(card_color, card_value); });
}

STDMETHODIMP CArithmetic::SetLastBz() {
  return CallAtBoundary([&] { m_glue.SetLastBz(); });
}

STDMETHODIMP CArithmetic::SetLowFan(short fans) {
  return CallAtBoundary([&] { m_glue.SetLowFan(fans); });
}

STDMETHODIMP CArithmetic::GetJianGangNum(short* jian_num) {
  return CallAtBoundary([&] { m_glue.GetJianGangNum(jian_num); });
}

STDMETHODIMP CArithmetic::GetFengGangNum(short* feng_num) {
  return CallAtBoundary([&] { m_glue.GetFengGangNum(feng_num); });
}

STDMETHODIMP CArithmetic::SetHun(short /*count*/, card* /*cards*/) { return S_OK; }

STDMETHODIMP CArithmetic::SetXiangGongStatus(short isxianggong) {
  return CallAtBoundary([&] { m_glue.SetXiangGongStatus(isxianggong); });
}

STDMETHODIMP CArithmetic::IsHuPai(short* ishu) {
  return CallAtBoundary([&] { m_glue.IsHuPai(ishu); });
}

STDMETHODIMP CArithmetic::SetShangTaiStatus(short /*loc*/, short /*isshangtai*/) { return S_OK; }

STDMETHODIMP CArithmetic::IsPermitShangTai(short* isshangtai) {
  return CallAtBoundary([&] { m_glue.IsPermitShangTai(isshangtai); });
}

STDMETHODIMP CArithmetic::SetDuBaoStatus(short /*loc*/, short /*isdubao*/) { return S_OK; }

STDMETHODIMP CArithmetic::IsPermitDuBao(short* isdubao) {
  return CallAtBoundary([&] { m_glue.IsPermitDuBao(isdubao); });
}

STDMETHODIMP CArithmetic::ResetDice() {
  return CallAtBoundary([&] { m_glue.ResetDice(); });
}

STDMETHODIMP CArithmetic::StartPlay() {
  return CallAtBoundary([&] { m_glue.StartPlay(); });
}

STDMETHODIMP CArithmetic::GetDealNum(short* count) {
  return CallAtBoundary([&] { m_glue.GetDealNum(count); });
}

STDMETHODIMP CArithmetic::GetGangNum(short* num) {
  return CallAtBoundary([&] { m_glue.GetGangNum(num); });
}
