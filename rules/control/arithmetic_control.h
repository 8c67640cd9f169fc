// CArithmetic: the rules engine's ActiveX control. It has no drawing of its own; the client
// creates it once per table, feeds it the tiles of the hand and asks it about offers, the win
// and the score, and hears from it through _IArithmeticEvents which action buttons to light.
#pragma once
#include <windows.h>

#include "arithmetic_glue.h"
#include "korvel.h"
#include "winkit/control.h"
#include "winkit/dispatch.h"

// The work is done by the glue; the control fires the glue's events on its connection point.
class CArithmetic : public winkit::DispatchImpl<IArithmetic, &IID_IArithmetic>,
                    public winkit::ControlBase,
                    private ArithmeticEventSink {
 public:
  CArithmetic();

  WINKIT_IUNKNOWN
  void* CastTo(REFIID iid) override;

  // ICommArithmetic
  STDMETHODIMP Compare(short myloc, short* whobigger) override;
  STDMETHODIMP IsChuPai(short count, card* cards, short* yes_no, short* isshuaipai) override;
  STDMETHODIMP StartOneHand(short trump_color, short head) override;
  STDMETHODIMP AddCardsToMyHand(short num, card* cards) override;
  STDMETHODIMP StartOneTrick(short loc) override;
  STDMETHODIMP SetRecvCards(short loc, short maxloc, short nextloc, short num,
                            card* cards) override;
  STDMETHODIMP ExitOneTrick() override;
  STDMETHODIMP ExitOneHand(short trump, short realbanker, short nobanker_trump) override;
  STDMETHODIMP StartDeal(short trump, short banker, short detailbanker) override;
  STDMETHODIMP ExitDeal() override;
  STDMETHODIMP GetNextPlayer(short* loc) override;
  STDMETHODIMP SetMyReceiveCards(short loc, short num, card* cards) override;
  STDMETHODIMP DeleteCardsFromMyHand(short count, LONG_PTR cards) override;
  STDMETHODIMP AutoSendCards(short* count, LONG_PTR* cards) override;
  STDMETHODIMP SetPlayerScores(short gamescore, short wins, short losts, short equals) override;
  STDMETHODIMP GetPlayerScores(short* gamescore, short* wins, short* losts, short* equals) override;
  STDMETHODIMP GetHandNo(short* handno) override;
  STDMETHODIMP SetRecvCardsInRecover(short loc, short maxloc, short nextloc, short num,
                                     card* cards) override;
  STDMETHODIMP SetTrickNo(short trickno, short firstloc) override;
  STDMETHODIMP GetTrickNo(short* trickno) override;
  STDMETHODIMP SetHandNo(short handno) override;
  STDMETHODIMP GetLastLocInOneTrick(short* loc) override;
  STDMETHODIMP SetFirstLocInRecover(short loc) override;
  STDMETHODIMP GetDealStatus(short* status) override;
  STDMETHODIMP AddCardsToMyHandWithoutShow(short num, card* cards) override;
  STDMETHODIMP SetLastLocInOneTrick(short loc) override;
  STDMETHODIMP SetMaxLocInOneTrick(short loc) override;
  STDMETHODIMP IsShowChoice(short loc, short* IsShowChoice) override;
  STDMETHODIMP DeleteAllFromMyHand() override;
  STDMETHODIMP SetSubType(short subtype) override;

  // IArithmetic
  STDMETHODIMP put_BackColor(OLE_COLOR clr) override;
  STDMETHODIMP get_BackColor(OLE_COLOR* pclr) override;
  STDMETHODIMP ExposeCard(short loc, short type, short num, card* cards) override;
  STDMETHODIMP SetBanker(short bankloc, short quan_feng) override;
  STDMETHODIMP GetFans(short* count, LONG_PTR* types) override;
  STDMETHODIMP GetFanNameByType(short type, LONG_PTR str, LONG_PTR desc, short* score) override;
  STDMETHODIMP GetGangCards(short index, short* num, LONG_PTR* cards, short* type) override;
  STDMETHODIMP GetPengCards(short* num, LONG_PTR* cards) override;
  STDMETHODIMP GetEatNum(short* num) override;
  STDMETHODIMP GetEatCards(short index, LONG_PTR* cards) override;
  STDMETHODIMP GetBanker(short* bankloc) override;
  STDMETHODIMP GetGangType(short* type) override;
  STDMETHODIMP ExposeCard_InRecover(short loc, short type, short count, card* cards) override;
  STDMETHODIMP SetTingStatus(short isting) override;
  STDMETHODIMP GetCurrentSended(short* color, short* value) override;
  STDMETHODIMP SetDice(short loc) override;
  STDMETHODIMP GetDiceNum(short* num) override;
  STDMETHODIMP IsDeclareListen(short* listen) override;
  STDMETHODIMP Calculate(short* banker, short* score, short* base_value, short* fan_value) override;
  STDMETHODIMP SetHuInfo(short hu_type, short gunloc, short hucard_color,
                         short hucard_value) override;
  STDMETHODIMP GetHuType(short* hutype) override;
  STDMETHODIMP GetCurrentMo(short* color, short* value) override;
  STDMETHODIMP GetHideGangCards(short* num, LONG_PTR* cards) override;
  STDMETHODIMP SetGangNum(short loc, short hide, short expose) override;
  STDMETHODIMP GetTingStatus(short* isting) override;
  STDMETHODIMP SetCardAfterGang(short card_color, short card_value) override;
  STDMETHODIMP SetLastBz() override;
  STDMETHODIMP SetLowFan(short fans) override;
  STDMETHODIMP GetJianGangNum(short* jian_num) override;
  STDMETHODIMP GetFengGangNum(short* feng_num) override;
  STDMETHODIMP SetHun(short count, card* cards) override;
  STDMETHODIMP SetXiangGongStatus(short isxianggong) override;
  STDMETHODIMP IsHuPai(short* ishu) override;
  STDMETHODIMP SetShangTaiStatus(short loc, short isshangtai) override;
  STDMETHODIMP IsPermitShangTai(short* isshangtai) override;
  STDMETHODIMP SetDuBaoStatus(short loc, short isdubao) override;
  STDMETHODIMP IsPermitDuBao(short* isdubao) override;
  STDMETHODIMP ResetDice() override;
  STDMETHODIMP StartPlay() override;
  STDMETHODIMP GetDealNum(short* count) override;
  STDMETHODIMP GetGangNum(short* num) override;

 private:
  // ArithmeticEventSink: each event on every connected sink, flags as VT_I2.
  void Fire_LightSend(int16_t issend) override;
  void Fire_LightListen(int16_t islisten) override;
  void Fire_LightChi(int16_t ischi) override;
  void Fire_LightPeng(int16_t ispeng) override;
  void Fire_LightGang(int16_t isgang) override;
  void Fire_LightHu(int16_t ishu) override;
  void Fire_LightGuo(int16_t isguo) override;
  void Fire_AutoGuo() override;
  void Fire_AutoSendOnTing() override;
  void Fire_AutoHu() override;
  void Fire_PlaySound(int16_t color, int16_t value) override;

  // The stock BackColor: kept, used for nothing else.
  OLE_COLOR m_clrBackColor = 0;
  ArithmeticGlue m_glue;
};
