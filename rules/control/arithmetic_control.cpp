#include "arithmetic_control.h"

CArithmetic::CArithmetic()
    : ControlBase(CLSID_Arithmetic, IID__IArithmeticEvents, L"KorvelArithmetic") {}

void* CArithmetic::CastTo(REFIID iid) {
  if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_ICommArithmetic ||
      iid == IID_IArithmetic)
    return static_cast<IArithmetic*>(this);
  return ControlBase::CastTo(iid);
}

// ICommArithmetic: the methods answer S_OK and leave their outputs alone until the rules
// engine is bound to them.
STDMETHODIMP CArithmetic::Compare(short /*myloc*/, short* /*whobigger*/) { return S_OK; }
STDMETHODIMP CArithmetic::IsChuPai(short /*count*/, card* /*cards*/, short* /*yes_no*/,
                                   short* /*isshuaipai*/) { return S_OK; }
STDMETHODIMP CArithmetic::StartOneHand(short /*trump_color*/, short /*head*/) { return S_OK; }
STDMETHODIMP CArithmetic::AddCardsToMyHand(short /*num*/, card* /*cards*/) { return S_OK; }
STDMETHODIMP CArithmetic::StartOneTrick(short /*loc*/) { return S_OK; }
STDMETHODIMP CArithmetic::SetRecvCards(short /*loc*/, short /*maxloc*/, short /*nextloc*/,
                                       short /*num*/, card* /*cards*/) { return S_OK; }
STDMETHODIMP CArithmetic::ExitOneTrick() { return S_OK; }
STDMETHODIMP CArithmetic::ExitOneHand(short /*trump*/, short /*realbanker*/,
                                      short /*nobanker_trump*/) { return S_OK; }
STDMETHODIMP CArithmetic::StartDeal(short /*trump*/, short /*banker*/,
                                    short /*detailbanker*/) { return S_OK; }
STDMETHODIMP CArithmetic::ExitDeal() { return S_OK; }
STDMETHODIMP CArithmetic::GetNextPlayer(short* /*loc*/) { return S_OK; }
STDMETHODIMP CArithmetic::SetMyReceiveCards(short /*loc*/, short /*num*/,
                                            card* /*cards*/) { return S_OK; }
STDMETHODIMP CArithmetic::DeleteCardsFromMyHand(short /*count*/,
                                                LONG_PTR /*cards*/) { return S_OK; }
STDMETHODIMP CArithmetic::AutoSendCards(short* /*count*/, LONG_PTR* /*cards*/) { return S_OK; }
STDMETHODIMP CArithmetic::SetPlayerScores(short /*gamescore*/, short /*wins*/, short /*losts*/,
                                          short /*equals*/) { return S_OK; }
STDMETHODIMP CArithmetic::GetPlayerScores(short* /*gamescore*/, short* /*wins*/, short* /*losts*/,
                                          short* /*equals*/) { return S_OK; }
STDMETHODIMP CArithmetic::GetHandNo(short* /*handno*/) { return S_OK; }
STDMETHODIMP CArithmetic::SetRecvCardsInRecover(short /*loc*/, short /*maxloc*/, short /*nextloc*/,
                                                short /*num*/, card* /*cards*/) { return S_OK; }
STDMETHODIMP CArithmetic::SetTrickNo(short /*trickno*/, short /*firstloc*/) { return S_OK; }
STDMETHODIMP CArithmetic::GetTrickNo(short* /*trickno*/) { return S_OK; }
STDMETHODIMP CArithmetic::SetHandNo(short /*handno*/) { return S_OK; }
STDMETHODIMP CArithmetic::GetLastLocInOneTrick(short* /*loc*/) { return S_OK; }
STDMETHODIMP CArithmetic::SetFirstLocInRecover(short /*loc*/) { return S_OK; }
STDMETHODIMP CArithmetic::GetDealStatus(short* /*status*/) { return S_OK; }
STDMETHODIMP CArithmetic::AddCardsToMyHandWithoutShow(short /*num*/,
                                                      card* /*cards*/) { return S_OK; }
STDMETHODIMP CArithmetic::SetLastLocInOneTrick(short /*loc*/) { return S_OK; }
STDMETHODIMP CArithmetic::SetMaxLocInOneTrick(short /*loc*/) { return S_OK; }
STDMETHODIMP CArithmetic::IsShowChoice(short /*loc*/, short* /*IsShowChoice*/) { return S_OK; }
STDMETHODIMP CArithmetic::DeleteAllFromMyHand() { return S_OK; }
STDMETHODIMP CArithmetic::SetSubType(short /*subtype*/) { return S_OK; }

// IArithmetic

STDMETHODIMP CArithmetic::put_BackColor(OLE_COLOR clr) {
  m_clrBackColor = clr;
  return S_OK;
}

STDMETHODIMP CArithmetic::get_BackColor(OLE_COLOR* pclr) {
  if (pclr) *pclr = m_clrBackColor;
  return S_OK;
}

STDMETHODIMP CArithmetic::ExposeCard(short /*loc*/, short /*type*/, short /*num*/,
                                     card* /*cards*/) { return S_OK; }
STDMETHODIMP CArithmetic::SetBanker(short /*bankloc*/, short /*quan_feng*/) { return S_OK; }
STDMETHODIMP CArithmetic::GetFans(short* /*count*/, LONG_PTR* /*types*/) { return S_OK; }
STDMETHODIMP CArithmetic::GetFanNameByType(short /*type*/, LONG_PTR /*str*/, LONG_PTR /*desc*/,
                                           short* /*score*/) { return S_OK; }
STDMETHODIMP CArithmetic::GetGangCards(short /*index*/, short* /*num*/, LONG_PTR* /*cards*/,
                                       short* /*type*/) { return S_OK; }
STDMETHODIMP CArithmetic::GetPengCards(short* /*num*/, LONG_PTR* /*cards*/) { return S_OK; }
STDMETHODIMP CArithmetic::GetEatNum(short* /*num*/) { return S_OK; }
STDMETHODIMP CArithmetic::GetEatCards(short /*index*/, LONG_PTR* /*cards*/) { return S_OK; }
STDMETHODIMP CArithmetic::GetBanker(short* /*bankloc*/) { return S_OK; }
STDMETHODIMP CArithmetic::GetGangType(short* /*type*/) { return S_OK; }
STDMETHODIMP CArithmetic::ExposeCard_InRecover(short /*loc*/, short /*type*/, short /*count*/,
                                               card* /*cards*/) { return S_OK; }
STDMETHODIMP CArithmetic::SetTingStatus(short /*isting*/) { return S_OK; }
STDMETHODIMP CArithmetic::GetCurrentSended(short* /*color*/, short* /*value*/) { return S_OK; }
STDMETHODIMP CArithmetic::SetDice(short /*loc*/) { return S_OK; }
STDMETHODIMP CArithmetic::GetDiceNum(short* /*num*/) { return S_OK; }
STDMETHODIMP CArithmetic::IsDeclareListen(short* /*listen*/) { return S_OK; }
STDMETHODIMP CArithmetic::Calculate(short* /*banker*/, short* /*score*/, short* /*base_value*/,
                                    short* /*fan_value*/) { return S_OK; }
STDMETHODIMP CArithmetic::SetHuInfo(short /*hu_type*/, short /*gunloc*/, short /*hucard_color*/,
                                    short /*hucard_value*/) { return S_OK; }
STDMETHODIMP CArithmetic::GetHuType(short* /*hutype*/) { return S_OK; }
STDMETHODIMP CArithmetic::GetCurrentMo(short* /*color*/, short* /*value*/) { return S_OK; }
STDMETHODIMP CArithmetic::GetHideGangCards(short* /*num*/, LONG_PTR* /*cards*/) { return S_OK; }
STDMETHODIMP CArithmetic::SetGangNum(short /*loc*/, short /*hide*/,
                                     short /*expose*/) { return S_OK; }
STDMETHODIMP CArithmetic::GetTingStatus(short* /*isting*/) { return S_OK; }
STDMETHODIMP CArithmetic::SetCardAfterGang(short /*card_color*/,
                                           short /*card_value*/) { return S_OK; }
STDMETHODIMP CArithmetic::SetLastBz() { return S_OK; }
STDMETHODIMP CArithmetic::SetLowFan(short /*fans*/) { return S_OK; }
STDMETHODIMP CArithmetic::GetJianGangNum(short* /*jian_num*/) { return S_OK; }
STDMETHODIMP CArithmetic::GetFengGangNum(short* /*feng_num*/) { return S_OK; }
STDMETHODIMP CArithmetic::SetHun(short /*count*/, card* /*cards*/) { return S_OK; }
STDMETHODIMP CArithmetic::SetXiangGongStatus(short /*isxianggong*/) { return S_OK; }
STDMETHODIMP CArithmetic::IsHuPai(short* /*ishu*/) { return S_OK; }
STDMETHODIMP CArithmetic::SetShangTaiStatus(short /*loc*/, short /*isshangtai*/) { return S_OK; }
STDMETHODIMP CArithmetic::IsPermitShangTai(short* /*isshangtai*/) { return S_OK; }
STDMETHODIMP CArithmetic::SetDuBaoStatus(short /*loc*/, short /*isdubao*/) { return S_OK; }
STDMETHODIMP CArithmetic::IsPermitDuBao(short* /*isdubao*/) { return S_OK; }
STDMETHODIMP CArithmetic::ResetDice() { return S_OK; }
STDMETHODIMP CArithmetic::StartPlay() { return S_OK; }
STDMETHODIMP CArithmetic::GetDealNum(short* /*count*/) { return S_OK; }
STDMETHODIMP CArithmetic::GetGangNum(short* /*num*/) { return S_OK; }
