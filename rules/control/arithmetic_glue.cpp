#include "arithmetic_glue.h"

#include <cstring>

namespace {

template <typename T>
void Put(T* out, T value) {
  if (out != nullptr) *out = value;
}

int16_t Flag(bool b) { return b ? 1 : 0; }

void PutTile(const card& c, int16_t* color, int16_t* value) {
  Put(color, static_cast<int16_t>(c.m_nColor));
  Put(value, static_cast<int16_t>(c.m_nValue));
}

}  // namespace

bool ArithmeticGlue::HandOut(const void* data, size_t bytes, intptr_t* out) const {
  if (out == nullptr) return true;
  void* array = allocate_(bytes);
  if (array != nullptr) std::memcpy(array, data, bytes);
  *out = reinterpret_cast<intptr_t>(array);
  return array != nullptr;
}

// ---- ICommArithmetic ----------------------------------------------------------------------------

void ArithmeticGlue::IsChuPai(int16_t* yes_no, int16_t* isshuaipai) const {
  if (!rules_) return;
  Put<int16_t>(yes_no, 1);
  Put<int16_t>(isshuaipai, 0);
}

void ArithmeticGlue::StartOneHand() {
  if (auto rules = Hold()) rules->StartNewHand();
}

void ArithmeticGlue::AddCardsToMyHand(int16_t num, const card* cards) {
  auto rules = Hold();
  if (!rules || num <= 0 || cards == nullptr) return;
  rules->AddCardsToMyHand(cards, num);
  if (num == 1) {
    const bool kong = rules->CanGangAfterMo(cards[0]);
    events_.Fire_LightGang(Flag(kong));
    if (rules->CanHuOnMo()) {
      events_.Fire_LightHu(1);
    } else {
      events_.Fire_LightHu(0);
      if (rules->GetTingStatus() == TingDeclared && !kong) {
        events_.Fire_AutoSendOnTing();
        return;
      }
    }
    events_.Fire_LightSend(1);
    events_.Fire_LightGuo(0);
  } else {
    events_.Fire_LightSend(0);
    events_.Fire_LightGuo(0);
    events_.Fire_LightPeng(0);
    events_.Fire_LightGang(0);
    events_.Fire_LightHu(0);
    events_.Fire_LightChi(0);
  }
  events_.Fire_LightListen(0);
}

void ArithmeticGlue::StartOneTrick() {
  if (auto rules = Hold()) rules->StartOneTrick();
}

void ArithmeticGlue::SetRecvCards(int16_t loc, int16_t num, const card* cards) {
  auto rules = Hold();
  if (!rules || !rules->SetRecvCards(loc, num, cards)) return;
  const card tile = cards[0];
  events_.Fire_PlaySound(static_cast<int16_t>(tile.m_nColor), static_cast<int16_t>(tile.m_nValue));
  bool hu = false;
  if (loc != 0) {
    events_.Fire_LightChi(Flag(rules->CanChi(tile)));
    events_.Fire_LightPeng(Flag(rules->CanPeng(tile)));
    events_.Fire_LightGang(Flag(rules->CanGangOnSended(tile)));
    if (rules->CanHuOnSended(tile)) {
      events_.Fire_LightHu(1);
      hu = true;
    } else {
      events_.Fire_LightHu(0);
      if (rules->GetTingStatus() == TingDeclared) {
        events_.Fire_AutoGuo();
        return;
      }
    }
  } else {
    // The rules object has already taken the tile out of the hand and cleared the draw.
    events_.Fire_LightSend(0);
    events_.Fire_LightGuo(0);
    events_.Fire_LightPeng(0);
    events_.Fire_LightGang(0);
    events_.Fire_LightHu(0);
    events_.Fire_LightChi(0);
  }
  const bool ready = rules->CanDeclareListen();  // asked even when the discard wins
  events_.Fire_LightListen(Flag(ready && !hu));
  if (loc != 0) events_.Fire_LightGuo(1);
}

void ArithmeticGlue::GetNextPlayer(int16_t* loc) const {
  if (rules_) Put<int16_t>(loc, 1);
}

void ArithmeticGlue::DeleteCardsFromMyHand(int16_t count, const card* cards) {
  if (auto rules = Hold()) rules->DeleteCardsFromMyHand(count, cards);
}

void ArithmeticGlue::AutoSendCards(int16_t* count, intptr_t* cards) {
  auto rules = Hold();
  if (!rules) return;
  card chosen = kNoCard;
  const CMj_Gb::AutoSend what = rules->AutoSendCards(chosen);
  if (what == CMj_Gb::AutoSend::Hu) events_.Fire_AutoHu();
  bool handed_out = false;
  if (what == CMj_Gb::AutoSend::Tile) {
    handed_out = HandOut(&chosen, sizeof chosen, cards);
  } else {
    Put<intptr_t>(cards, 0);
  }
  Put<int16_t>(count, handed_out ? 1 : 0);
}

void ArithmeticGlue::GetPlayerScores(int16_t* gamescore, int16_t* wins, int16_t* losts,
                                     int16_t* equals) const {
  if (!rules_) return;
  Put(gamescore, rules_->GetExtraFlag(0));
  Put(wins, rules_->GetExtraFlag(1));
  Put(losts, rules_->GetExtraFlag(2));
  Put(equals, rules_->GetExtraFlag(3));
}

void ArithmeticGlue::GetHandNo(int16_t* handno) const {
  if (rules_) Put(handno, rules_->GetHandNo());
}

void ArithmeticGlue::SetRecvCardsInRecover(int16_t num, const card* cards) {
  if (auto rules = Hold()) rules->SetRecvCardsInRecover(num, cards);
}

void ArithmeticGlue::SetTrickNo(int16_t trickno) {
  if (auto rules = Hold()) rules->SetTrickNo(trickno);
}

void ArithmeticGlue::GetTrickNo(int16_t* trickno) const {
  if (rules_) Put(trickno, rules_->GetTrickNo());
}

void ArithmeticGlue::SetHandNo(int16_t handno) {
  if (auto rules = Hold()) rules->SetHandNo(handno);
}

void ArithmeticGlue::IsShowChoice(int16_t* is_show_choice) const {
  if (rules_) Put<int16_t>(is_show_choice, 1);
}

void ArithmeticGlue::DeleteAllFromMyHand() {
  if (auto rules = Hold()) rules->DeleteAllFromMyHand();
}

void ArithmeticGlue::SetSubType(int16_t /*subtype*/) {
  // Whatever the sub type, the two-player rules; the previous object goes first.
  rules_.reset();
  rules_ = std::make_shared<CKorvel>();
}

// ---- IArithmetic --------------------------------------------------------------------------------

void ArithmeticGlue::ExposeCard(int16_t loc, int16_t type, int16_t num, const card* cards) {
  auto rules = Hold();
  if (!rules || loc != 0 || num <= 0 || cards == nullptr) return;
  events_.Fire_LightListen(0);
  rules->ExposeCard(loc, type, num, cards);
}

void ArithmeticGlue::SetBanker(int16_t bankloc, int16_t quan_feng) {
  if (auto rules = Hold()) rules->SetBanker(bankloc, quan_feng);
}

void ArithmeticGlue::GetFans(int16_t* count, intptr_t* types) {
  auto rules = Hold();
  if (!rules) return;
  FanType codes[CKorvel::kMaxFanCodes];
  const int n = rules->GetFans(codes, CKorvel::kMaxFanCodes);
  if (n == 0) {
    Put<intptr_t>(types, 0);
    Put<int16_t>(count, 0);
    return;
  }
  const bool handed_out = HandOut(codes, n * sizeof(FanType), types);
  Put<int16_t>(count, handed_out ? static_cast<int16_t>(n) : 0);
}

void ArithmeticGlue::GetFanNameByType(int16_t type, char* str, char* desc,
                                      int16_t* score) const {
  if (rules_) rules_->GetFanNameByType(type, str, desc, score);
}

void ArithmeticGlue::GetGangCards(int16_t index, int16_t* num, intptr_t* cards, int16_t* type) {
  auto rules = Hold();
  if (!rules) return;
  card four[4];
  int16_t kind = KongNone;
  const int n = rules->GetGangCards(index, four, kind);
  const bool handed_out = n == 4 && HandOut(four, sizeof four, cards);
  if (n != 4) Put<intptr_t>(cards, 0);
  Put<int16_t>(num, handed_out ? 4 : 0);
  Put<int16_t>(type, handed_out ? kind : static_cast<int16_t>(KongNone));
}

void ArithmeticGlue::GetPengCards(int16_t* num, intptr_t* cards) {
  auto rules = Hold();
  if (!rules) return;
  card three[3];
  const int n = rules->GetPengCards(three);
  const bool handed_out = n == 3 && HandOut(three, sizeof three, cards);
  if (n != 3) Put<intptr_t>(cards, 0);
  Put<int16_t>(num, handed_out ? 3 : 0);
}

void ArithmeticGlue::GetEatNum(int16_t* num) const {
  if (rules_) Put(num, static_cast<int16_t>(rules_->GetEatNum()));
}

void ArithmeticGlue::GetEatCards(int16_t index, intptr_t* cards) {
  auto rules = Hold();
  if (!rules) return;
  card three[3];
  if (rules->GetEatCards(index, three)) {
    HandOut(three, sizeof three, cards);
  } else {
    Put<intptr_t>(cards, 0);
  }
}

void ArithmeticGlue::GetBanker(int16_t* bankloc) const {
  if (rules_) Put(bankloc, rules_->GetBanker());
}

void ArithmeticGlue::GetGangType(int16_t* type) const {
  if (rules_) Put(type, rules_->GetGangType());
}

void ArithmeticGlue::ExposeCard_InRecover(int16_t loc, int16_t type, int16_t count,
                                          const card* cards) {
  if (auto rules = Hold()) rules->ExposeCard_InRecover(loc, type, count, cards);
}

void ArithmeticGlue::SetTingStatus(int16_t isting) {
  if (auto rules = Hold()) rules->SetTingStatus(isting);
}

void ArithmeticGlue::GetCurrentSended(int16_t* color, int16_t* value) const {
  if (rules_) PutTile(rules_->GetCurrentSended(), color, value);
}

void ArithmeticGlue::SetDice() {
  if (auto rules = Hold()) rules->SetDice();
}

void ArithmeticGlue::GetDiceNum(int16_t* num) const {
  if (rules_) Put(num, rules_->GetDiceNum());
}

void ArithmeticGlue::IsDeclareListen(int16_t* listen) {
  if (auto rules = Hold()) Put(listen, Flag(rules->CanDeclareListen()));
}

void ArithmeticGlue::Calculate(int16_t* banker, int16_t* score, int16_t* base_value,
                               int16_t* fan_value) {
  auto rules = Hold();
  if (!rules) return;
  int16_t banker_flag = 0;
  int16_t fans = 0;
  int16_t base = 0;
  const int total = rules->CalculateScore(banker_flag, fans, base);
  Put(banker, banker_flag);
  Put(score, static_cast<int16_t>(total));
  Put(base_value, base);
  Put(fan_value, fans);
}

void ArithmeticGlue::SetHuInfo(int16_t hu_type, int16_t gunloc, int16_t hucard_color,
                               int16_t hucard_value) {
  if (auto rules = Hold()) rules->SetHuInfo(hu_type, gunloc, card{hucard_color, hucard_value});
}

void ArithmeticGlue::GetHuType(int16_t* hutype) const {
  if (rules_) Put(hutype, rules_->GetHuType());
}

void ArithmeticGlue::GetCurrentMo(int16_t* color, int16_t* value) const {
  if (rules_) PutTile(rules_->GetCurrentMo(), color, value);
}

void ArithmeticGlue::GetHideGangCards(int16_t* num, intptr_t* cards) {
  auto rules = Hold();
  if (!rules) return;
  card four[4];
  const int n = rules->GetHideGangCards(four);
  const bool handed_out = n == 4 && HandOut(four, sizeof four, cards);
  if (n != 4) Put<intptr_t>(cards, 0);
  Put<int16_t>(num, handed_out ? 4 : 0);
}

void ArithmeticGlue::SetGangNum(int16_t loc, int16_t hide, int16_t expose) {
  if (!rules_ || loc < 0 || loc >= kGangNumSeats) return;
  gang_hide_[loc] = hide;
  gang_expose_[loc] = expose;
}

void ArithmeticGlue::GangNum(int loc, int16_t& hide, int16_t& expose) const {
  const bool seat = loc >= 0 && loc < kGangNumSeats;
  hide = seat ? gang_hide_[loc] : 0;
  expose = seat ? gang_expose_[loc] : 0;
}

void ArithmeticGlue::GetTingStatus(int16_t* isting) const {
  if (rules_) Put(isting, rules_->GetTingStatus());
}

void ArithmeticGlue::SetCardAfterGang(int16_t card_color, int16_t card_value) {
  if (auto rules = Hold()) rules->SetCardAfterGang(card{card_color, card_value});
}

void ArithmeticGlue::SetLastBz() {
  if (auto rules = Hold()) rules->SetLastBz();
}

void ArithmeticGlue::SetLowFan(int16_t fans) {
  if (auto rules = Hold()) rules->SetLowFan(fans);
}

void ArithmeticGlue::GetJianGangNum(int16_t* jian_num) const {
  if (rules_) Put<int16_t>(jian_num, 0);
}

void ArithmeticGlue::GetFengGangNum(int16_t* feng_num) const {
  if (rules_) Put<int16_t>(feng_num, 0);
}

void ArithmeticGlue::SetXiangGongStatus(int16_t isxianggong) {
  if (auto rules = Hold()) rules->SetXiangGongStatus(isxianggong);
}

void ArithmeticGlue::IsHuPai(int16_t* ishu) {
  auto rules = Hold();
  if (!rules) return;
  if (rules->CanHuOnMo()) {
    events_.Fire_AutoHu();
    Put<int16_t>(ishu, 1);
  } else {
    Put<int16_t>(ishu, 0);
  }
}

void ArithmeticGlue::IsPermitShangTai(int16_t* isshangtai) const {
  if (rules_) Put<int16_t>(isshangtai, 0);
}

void ArithmeticGlue::IsPermitDuBao(int16_t* isdubao) const {
  if (rules_) Put<int16_t>(isdubao, 0);
}

void ArithmeticGlue::ResetDice() {
  if (auto rules = Hold()) rules->ResetDice();
}

void ArithmeticGlue::StartPlay() {
  auto rules = Hold();
  if (!rules) return;
  if (rules->CanHuOnMo()) events_.Fire_LightHu(1);
  events_.Fire_LightSend(1);
}

void ArithmeticGlue::GetDealNum(int16_t* count) const {
  if (rules_) Put(count, static_cast<int16_t>(rules_->GetDealNum()));
}

void ArithmeticGlue::GetGangNum(int16_t* num) const {
  if (rules_) Put(num, static_cast<int16_t>(rules_->GetGangNum()));
}
