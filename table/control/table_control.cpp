#include "table_control.h"

CTable::CTable() : ControlBase(CLSID_Table, IID__ITableEvents, L"KorvelTable") {}

void* CTable::CastTo(REFIID iid) {
  if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_ICommTable || iid == IID_ITable)
    return static_cast<ITable*>(this);
  return ControlBase::CastTo(iid);
}

// ICommTable: the methods answer S_OK and leave their outputs alone until the table model is
// bound to them.
STDMETHODIMP CTable::InitPoke(short /*xinter*/, short /*yinter*/, short /*high*/, short /*size*/,
                              ULONG /*bk_color*/) { return S_OK; }
STDMETHODIMP CTable::InitTable(short /*num*/, short /*isplay*/, short /*poketype*/) { return S_OK; }
STDMETHODIMP CTable::AddPersonInOtherDesk(short /*loc*/, LONG_PTR /*person*/) { return S_OK; }
STDMETHODIMP CTable::Update(short /*locate*/) { return S_OK; }
STDMETHODIMP CTable::SetTimerOut(LONG /*timerout*/, LONG /*timercount*/) { return S_OK; }
STDMETHODIMP CTable::StartChoice(short /*loc*/) { return S_OK; }
STDMETHODIMP CTable::ShowButtons() { return S_OK; }
STDMETHODIMP CTable::HideButtons() { return S_OK; }
STDMETHODIMP CTable::StartGame(short /*loc*/) { return S_OK; }
STDMETHODIMP CTable::HideStartButton() { return S_OK; }
STDMETHODIMP CTable::ClearAllSend() { return S_OK; }
STDMETHODIMP CTable::SetTrickNo(short /*trickno*/) { return S_OK; }
STDMETHODIMP CTable::SetAdvUrl(LONG_PTR /*str*/) { return S_OK; }
STDMETHODIMP CTable::SetPokeSeparater(short /*isseparater*/) { return S_OK; }
STDMETHODIMP CTable::HideStartSign() { return S_OK; }
STDMETHODIMP CTable::AddCardsToMyHandWithSort(short /*count*/,
                                              mjtablecard* /*cards*/) { return S_OK; }
STDMETHODIMP CTable::SetRecvCards(short /*loc*/, short /*num*/, mjtablecard* /*cards*/,
                                  short /*isauto*/, short /*issend*/, short /*isexchange*/,
                                  short /*isshuaipai*/) { return S_OK; }
STDMETHODIMP CTable::StartOneTrick(short /*loc*/) { return S_OK; }
STDMETHODIMP CTable::AddCardsToMyHandWithoutSort(short /*count*/,
                                                 mjtablecard* /*cards*/) { return S_OK; }
STDMETHODIMP CTable::DeleteAllFromMyHand() { return S_OK; }
STDMETHODIMP CTable::EnableSend(short /*yes_no*/) { return S_OK; }
STDMETHODIMP CTable::DeleteAllFromSend(short /*loc*/) { return S_OK; }
STDMETHODIMP CTable::StartDeal() { return S_OK; }
STDMETHODIMP CTable::SetPersonLocation(short /*loc*/, LONG_PTR /*icon*/,
                                       LONG_PTR /*per*/) { return S_OK; }
STDMETHODIMP CTable::Setup() { return S_OK; }
STDMETHODIMP CTable::SetBkColor(LONG /*color*/) { return S_OK; }
STDMETHODIMP CTable::SetMyCardBitmap(LONG_PTR /*cardbit*/, LONG_PTR /*back*/) { return S_OK; }
STDMETHODIMP CTable::SetCardBitmap(LONG_PTR /*card*/, LONG_PTR /*back*/) { return S_OK; }
STDMETHODIMP CTable::SetUpPass(short /*value*/) { return S_OK; }
STDMETHODIMP CTable::SetDlgTimeOut(LONG /*time*/) { return S_OK; }
STDMETHODIMP CTable::SetDlgString(LONG_PTR /*str*/) { return S_OK; }
STDMETHODIMP CTable::StartOneHand() { return S_OK; }
STDMETHODIMP CTable::ResetTable() { return S_OK; }
STDMETHODIMP CTable::ShowControlButtons(short /*isshow*/) { return S_OK; }
STDMETHODIMP CTable::SetTrump(short /*trump*/, short /*is_sortwithcolor*/) { return S_OK; }
STDMETHODIMP CTable::SetReviewStyle(short /*is_review*/) { return S_OK; }
STDMETHODIMP CTable::SetLeftCards(short /*loc*/, short /*count*/,
                                  mjtablecard* /*cards*/) { return S_OK; }
STDMETHODIMP CTable::SetBkBitmap(LONG_PTR /*bitmap*/) { return S_OK; }
STDMETHODIMP CTable::AddCardsToMyHandWithSort_InDeal(short /*count*/,
                                                     mjtablecard* /*cards*/) { return S_OK; }
STDMETHODIMP CTable::SetSubType(short /*subtype*/) { return S_OK; }
STDMETHODIMP CTable::ResetSound(short /*issound*/) { return S_OK; }

// ITable

// The stock colour page edits BackColor, but the table paints with the colour of InitPoke and
// SetBkColor: putting it changes nothing.
STDMETHODIMP CTable::put_BackColor(OLE_COLOR /*clr*/) { return S_OK; }

STDMETHODIMP CTable::get_BackColor(OLE_COLOR* pclr) {
  if (pclr) *pclr = m_clrBackColor;
  return S_OK;
}

STDMETHODIMP CTable::SetFirstPosition_InWall(short /*loc*/, short /*pos*/) { return S_OK; }
STDMETHODIMP CTable::DeleteCardsFromWall(short /*num*/, short /*isbu*/) { return S_OK; }
STDMETHODIMP CTable::StartDice(short /*loc*/) { return S_OK; }
STDMETHODIMP CTable::SetDice(short /*loc*/, short /*num1*/, short /*num2*/) { return S_OK; }
STDMETHODIMP CTable::LightSend(short /*issend*/) { return S_OK; }
STDMETHODIMP CTable::LightTing(short /*isting*/) { return S_OK; }
STDMETHODIMP CTable::LightHu(short /*ishu*/) { return S_OK; }
STDMETHODIMP CTable::LightChi(short /*ischi*/) { return S_OK; }
STDMETHODIMP CTable::LightPeng(short /*ispeng*/) { return S_OK; }
STDMETHODIMP CTable::LightGang(short /*isgang*/) { return S_OK; }
STDMETHODIMP CTable::LightGuo(short /*isguo*/) { return S_OK; }
STDMETHODIMP CTable::ExposeCard(short /*loc*/, short /*type*/, short /*count*/,
                                mjtablecard* /*cards*/) { return S_OK; }
STDMETHODIMP CTable::SetDealNum(short /*loc*/, short /*num*/) { return S_OK; }
STDMETHODIMP CTable::SetBanker(short /*bankloc*/, short /*quan_feng*/) { return S_OK; }
STDMETHODIMP CTable::InitWall(short /*num*/) { return S_OK; }
STDMETHODIMP CTable::AddCardToCurrent(short /*loc*/, short /*color*/,
                                      short /*value*/) { return S_OK; }
STDMETHODIMP CTable::ExposeCard_InRecover(short /*loc*/, short /*type*/, short /*count*/,
                                          mjtablecard* /*cards*/) { return S_OK; }
STDMETHODIMP CTable::SetTingStatus(short /*loc*/, short /*isting*/) { return S_OK; }
STDMETHODIMP CTable::FocusCards(short /*type*/, short /*isfocus*/) { return S_OK; }
STDMETHODIMP CTable::SetRecvCards_InRecover(short /*loc*/, short /*num*/,
                                            mjtablecard* /*cards*/) { return S_OK; }
STDMETHODIMP CTable::DeleteAllHideGang() { return S_OK; }
STDMETHODIMP CTable::GetHuaNum(short /*loc*/, short* /*num*/) { return S_OK; }
STDMETHODIMP CTable::HuPai(short /*huloc*/, short /*gunloc*/) { return S_OK; }
STDMETHODIMP CTable::SetScoreInfo(short /*num*/, short /*index*/,
                                  LONG_PTR /*info*/) { return S_OK; }
STDMETHODIMP CTable::ShowScoreInfo(short /*isshow*/) { return S_OK; }
STDMETHODIMP CTable::SetMyFans(short* /*fans*/) { return S_OK; }
STDMETHODIMP CTable::SetJiaoBitmap(short /*num*/, LONG_PTR /*bmps*/) { return S_OK; }
STDMETHODIMP CTable::SetType(short /*type*/, short /*subtype*/) { return S_OK; }
STDMETHODIMP CTable::KillScrabble() { return S_OK; }
STDMETHODIMP CTable::SetCryBitmap(short /*num*/, LONG_PTR /*bmps*/) { return S_OK; }
STDMETHODIMP CTable::SetSmellBitmap(short /*num*/, LONG_PTR /*bmps*/) { return S_OK; }
STDMETHODIMP CTable::AddCardsToMyHandWithSort_InTimer(short /*count*/,
                                                      mjtablecard* /*cards*/) { return S_OK; }
STDMETHODIMP CTable::AddCardToCurrentWithoutShow(short /*loc*/, short /*color*/,
                                                 short /*value*/) { return S_OK; }
STDMETHODIMP CTable::SetDealNum_InTimer(short /*loc*/, short /*num*/) { return S_OK; }
STDMETHODIMP CTable::InitWall_InTimer(short /*num*/) { return S_OK; }
STDMETHODIMP CTable::SetAutoSend(short /*isauto*/) { return S_OK; }
STDMETHODIMP CTable::PreTrick() { return S_OK; }
STDMETHODIMP CTable::NextTrick() { return S_OK; }
STDMETHODIMP CTable::SetListBitmap(LONG_PTR /*left*/, LONG_PTR /*mid*/,
                                   LONG_PTR /*right*/) { return S_OK; }
STDMETHODIMP CTable::InitTable_Avact(short /*num*/, short /*isplay*/, short /*poketype*/,
                                     LONG_PTR /*path*/) { return S_OK; }
STDMETHODIMP CTable::SetAvactItem(short /*loc*/, LONG_PTR /*pitem*/) { return S_OK; }
STDMETHODIMP CTable::PlayFlash(short /*send_loc*/, short /*recv_loc*/, LONG_PTR /*item*/,
                               LONG_PTR /*con_str*/) { return S_OK; }
