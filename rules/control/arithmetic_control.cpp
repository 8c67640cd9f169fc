#include "arithmetic_control.h"

#include <type_traits>

namespace {

// Addresses cross the interface in pointer-sized integers; the glue takes the same type.
static_assert(std::is_same_v<LONG_PTR, intptr_t>);

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
// The methods that do nothing leave their outputs alone.

STDMETHODIMP CArithmetic::Compare(short /*myloc*/, short* /*whobigger*/) { return S_OK; }

STDMETHODIMP CArithmetic::IsChuPai(short /*count*/, card* /*cards*/, short* yes_no,
                                   short* isshuaipai) {
  m_glue.IsChuPai(yes_no, isshuaipai);
  return S_OK;
}

STDMETHODIMP CArithmetic::StartOneHand(short /*trump_color*/, short /*head*/) {
  m_glue.StartOneHand();
  return S_OK;
}

STDMETHODIMP CArithmetic::AddCardsToMyHand(short num, card* cards) {
  m_glue.AddCardsToMyHand(num, cards);
  return S_OK;
}

STDMETHODIMP CArithmetic::StartOneTrick(short /*loc*/) {
  m_glue.StartOneTrick();
  return S_OK;
}

STDMETHODIMP CArithmetic::SetRecvCards(short loc, short /*maxloc*/, short /*nextloc*/, short num,
                                       card* cards) {
  m_glue.SetRecvCards(loc, num, cards);
  return S_OK;
}

STDMETHODIMP CArithmetic::ExitOneTrick() { return S_OK; }
STDMETHODIMP CArithmetic::ExitOneHand(short /*trump*/, short /*realbanker*/,
                                      short /*nobanker_trump*/) { return S_OK; }
STDMETHODIMP CArithmetic::StartDeal(short /*trump*/, short /*banker*/,
                                    short /*detailbanker*/) { return S_OK; }
STDMETHODIMP CArithmetic::ExitDeal() { return S_OK; }

STDMETHODIMP CArithmetic::GetNextPlayer(short* loc) {
  m_glue.GetNextPlayer(loc);
  return S_OK;
}

STDMETHODIMP CArithmetic::SetMyReceiveCards(short /*loc*/, short /*num*/,
                                            card* /*cards*/) { return S_OK; }

STDMETHODIMP CArithmetic::DeleteCardsFromMyHand(short count, LONG_PTR cards) {
  m_glue.DeleteCardsFromMyHand(count, CardsAt(cards));
  return S_OK;
}

STDMETHODIMP CArithmetic::AutoSendCards(short* count, LONG_PTR* cards) {
  m_glue.AutoSendCards(count, cards);
  return S_OK;
}

STDMETHODIMP CArithmetic::SetPlayerScores(short /*gamescore*/, short /*wins*/, short /*losts*/,
                                          short /*equals*/) { return S_OK; }

STDMETHODIMP CArithmetic::GetPlayerScores(short* gamescore, short* wins, short* losts,
                                          short* equals) {
  m_glue.GetPlayerScores(gamescore, wins, losts, equals);
  return S_OK;
}

STDMETHODIMP CArithmetic::GetHandNo(short* handno) {
  m_glue.GetHandNo(handno);
  return S_OK;
}

STDMETHODIMP CArithmetic::SetRecvCardsInRecover(short /*loc*/, short /*maxloc*/,
                                                short /*nextloc*/, short num, card* cards) {
  m_glue.SetRecvCardsInRecover(num, cards);
  return S_OK;
}

STDMETHODIMP CArithmetic::SetTrickNo(short trickno, short /*firstloc*/) {
  m_glue.SetTrickNo(trickno);
  return S_OK;
}

STDMETHODIMP CArithmetic::GetTrickNo(short* trickno) {
  m_glue.GetTrickNo(trickno);
  return S_OK;
}

STDMETHODIMP CArithmetic::SetHandNo(short handno) {
  m_glue.SetHandNo(handno);
  return S_OK;
}

STDMETHODIMP CArithmetic::GetLastLocInOneTrick(short* /*loc*/) { return S_OK; }
STDMETHODIMP CArithmetic::SetFirstLocInRecover(short /*loc*/) { return S_OK; }
STDMETHODIMP CArithmetic::GetDealStatus(short* /*status*/) { return S_OK; }
STDMETHODIMP CArithmetic::AddCardsToMyHandWithoutShow(short /*num*/,
                                                      card* /*cards*/) { return S_OK; }
STDMETHODIMP CArithmetic::SetLastLocInOneTrick(short /*loc*/) { return S_OK; }
STDMETHODIMP CArithmetic::SetMaxLocInOneTrick(short /*loc*/) { return S_OK; }

STDMETHODIMP CArithmetic::IsShowChoice(short /*loc*/, short* IsShowChoice) {
  m_glue.IsShowChoice(IsShowChoice);
  return S_OK;
}

STDMETHODIMP CArithmetic::DeleteAllFromMyHand() {
  m_glue.DeleteAllFromMyHand();
  return S_OK;
}

STDMETHODIMP CArithmetic::SetSubType(short subtype) {
  m_glue.SetSubType(subtype);
  return S_OK;
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
  m_glue.ExposeCard(loc, type, num, cards);
  return S_OK;
}

STDMETHODIMP CArithmetic::SetBanker(short bankloc, short quan_feng) {
  m_glue.SetBanker(bankloc, quan_feng);
  return S_OK;
}

STDMETHODIMP CArithmetic::GetFans(short* count, LONG_PTR* types) {
  m_glue.GetFans(count, types);
  return S_OK;
}

STDMETHODIMP CArithmetic::GetFanNameByType(short type, LONG_PTR str, LONG_PTR desc,
                                           short* score) {
  m_glue.GetFanNameByType(type, TextAt(str), TextAt(desc), score);
  return S_OK;
}

STDMETHODIMP CArithmetic::GetGangCards(short index, short* num, LONG_PTR* cards, short* type) {
  m_glue.GetGangCards(index, num, cards, type);
  return S_OK;
}

STDMETHODIMP CArithmetic::GetPengCards(short* num, LONG_PTR* cards) {
  m_glue.GetPengCards(num, cards);
  return S_OK;
}

STDMETHODIMP CArithmetic::GetEatNum(short* num) {
  m_glue.GetEatNum(num);
  return S_OK;
}

STDMETHODIMP CArithmetic::GetEatCards(short index, LONG_PTR* cards) {
  m_glue.GetEatCards(index, cards);
  return S_OK;
}

STDMETHODIMP CArithmetic::GetBanker(short* bankloc) {
  m_glue.GetBanker(bankloc);
  return S_OK;
}

STDMETHODIMP CArithmetic::GetGangType(short* type) {
  m_glue.GetGangType(type);
  return S_OK;
}

STDMETHODIMP CArithmetic::ExposeCard_InRecover(short loc, short type, short count, card* cards) {
  m_glue.ExposeCard_InRecover(loc, type, count, cards);
  return S_OK;
}

STDMETHODIMP CArithmetic::SetTingStatus(short isting) {
  m_glue.SetTingStatus(isting);
  return S_OK;
}

STDMETHODIMP CArithmetic::GetCurrentSended(short* color, short* value) {
  m_glue.GetCurrentSended(color, value);
  return S_OK;
}

STDMETHODIMP CArithmetic::SetDice(short /*loc*/) {
  m_glue.SetDice();
  return S_OK;
}

STDMETHODIMP CArithmetic::GetDiceNum(short* num) {
  m_glue.GetDiceNum(num);
  return S_OK;
}

STDMETHODIMP CArithmetic::IsDeclareListen(short* listen) {
  m_glue.IsDeclareListen(listen);
  return S_OK;
}

STDMETHODIMP CArithmetic::Calculate(short* banker, short* score, short* base_value,
                                    short* fan_value) {
  m_glue.Calculate(banker, score, base_value, fan_value);
  return S_OK;
}

STDMETHODIMP CArithmetic::SetHuInfo(short hu_type, short gunloc, short hucard_color,
                                    short hucard_value) {
  m_glue.SetHuInfo(hu_type, gunloc, hucard_color, hucard_value);
  return S_OK;
}

STDMETHODIMP CArithmetic::GetHuType(short* hutype) {
  m_glue.GetHuType(hutype);
  return S_OK;
}

STDMETHODIMP CArithmetic::GetCurrentMo(short* color, short* value) {
  m_glue.GetCurrentMo(color, value);
  return S_OK;
}

STDMETHODIMP CArithmetic::GetHideGangCards(short* num, LONG_PTR* cards) {
  m_glue.GetHideGangCards(num, cards);
  return S_OK;
}

STDMETHODIMP CArithmetic::SetGangNum(short loc, short hide, short expose) {
  m_glue.SetGangNum(loc, hide, expose);
  return S_OK;
}

STDMETHODIMP CArithmetic::GetTingStatus(short* isting) {
  m_glue.GetTingStatus(isting);
  return S_OK;
}

STDMETHODIMP CArithmetic::SetCardAfterGang(short card_color, short card_value) {
  m_glue.SetCardAfterGang(card_color, card_value);
  return S_OK;
}

STDMETHODIMP CArithmetic::SetLastBz() {
  m_glue.SetLastBz();
  return S_OK;
}

STDMETHODIMP CArithmetic::SetLowFan(short fans) {
  m_glue.SetLowFan(fans);
  return S_OK;
}

STDMETHODIMP CArithmetic::GetJianGangNum(short* jian_num) {
  m_glue.GetJianGangNum(jian_num);
  return S_OK;
}

STDMETHODIMP CArithmetic::GetFengGangNum(short* feng_num) {
  m_glue.GetFengGangNum(feng_num);
  return S_OK;
}

STDMETHODIMP CArithmetic::SetHun(short /*count*/, card* /*cards*/) { return S_OK; }

STDMETHODIMP CArithmetic::SetXiangGongStatus(short isxianggong) {
  m_glue.SetXiangGongStatus(isxianggong);
  return S_OK;
}

STDMETHODIMP CArithmetic::IsHuPai(short* ishu) {
  m_glue.IsHuPai(ishu);
  return S_OK;
}

STDMETHODIMP CArithmetic::SetShangTaiStatus(short /*loc*/, short /*isshangtai*/) { return S_OK; }

STDMETHODIMP CArithmetic::IsPermitShangTai(short* isshangtai) {
  m_glue.IsPermitShangTai(isshangtai);
  return S_OK;
}

STDMETHODIMP CArithmetic::SetDuBaoStatus(short /*loc*/, short /*isdubao*/) { return S_OK; }

STDMETHODIMP CArithmetic::IsPermitDuBao(short* isdubao) {
  m_glue.IsPermitDuBao(isdubao);
  return S_OK;
}

STDMETHODIMP CArithmetic::ResetDice() {
  m_glue.ResetDice();
  return S_OK;
}

STDMETHODIMP CArithmetic::StartPlay() {
  m_glue.StartPlay();
  return S_OK;
}

STDMETHODIMP CArithmetic::GetDealNum(short* count) {
  m_glue.GetDealNum(count);
  return S_OK;
}

STDMETHODIMP CArithmetic::GetGangNum(short* num) {
  m_glue.GetGangNum(num);
  return S_OK;
}
