// ArithmeticGlue: everything the Arithmetic control does, without COM. It owns the rules object,
// turns each method of ICommArithmetic/IArithmetic into calls on it, fires the control's events
// through ArithmeticEventSink in the order the client expects, and hands out arrays through an
// allocator the owner chooses (the task allocator in the control, malloc in tests).
//
// Every method is safe on any input: before SetSubType there is no rules object and every method
// does nothing and leaves its outputs alone; null pointers are skipped; counts below 1, indices
// out of range and seats outside the table change nothing. Where a method hands out no array it
// writes 0 to the address it was given, so the caller never holds a stale address.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>

#include "korvel_rules.h"

// The control's outgoing events (_IArithmeticEvents), one operation per event. Flags are 0 or 1.
class ArithmeticEventSink {
 public:
  virtual void Fire_LightSend(int16_t issend) = 0;
  virtual void Fire_LightListen(int16_t islisten) = 0;
  virtual void Fire_LightChi(int16_t ischi) = 0;
  virtual void Fire_LightPeng(int16_t ispeng) = 0;
  virtual void Fire_LightGang(int16_t isgang) = 0;
  virtual void Fire_LightHu(int16_t ishu) = 0;
  virtual void Fire_LightGuo(int16_t isguo) = 0;
  virtual void Fire_AutoGuo() = 0;
  virtual void Fire_AutoSendOnTing() = 0;
  virtual void Fire_AutoHu() = 0;
  virtual void Fire_PlaySound(int16_t color, int16_t value) = 0;

 protected:
  ~ArithmeticEventSink() = default;
};

// Allocates the arrays handed to the caller, who frees them with the matching function. Answers
// null when out of memory.
using ArrayAllocator = void* (*)(size_t bytes);

class ArithmeticGlue {
 public:
  // Seats whose kong counts SetGangNum keeps.
  static constexpr int kGangNumSeats = 4;

  ArithmeticGlue(ArithmeticEventSink& events, ArrayAllocator allocate)
      : events_(events), allocate_(allocate) {}
  ArithmeticGlue(const ArithmeticGlue&) = delete;
  ArithmeticGlue& operator=(const ArithmeticGlue&) = delete;

  // ---- ICommArithmetic ------------------------------------------------------------------------
  void IsChuPai(int16_t* yes_no, int16_t* isshuaipai) const;
  void StartOneHand();
  void AddCardsToMyHand(int16_t num, const card* cards);
  void StartOneTrick();
  void SetRecvCards(int16_t loc, int16_t num, const card* cards);
  void GetNextPlayer(int16_t* loc) const;
  void DeleteCardsFromMyHand(int16_t count, const card* cards);
  void AutoSendCards(int16_t* count, intptr_t* cards);
  void GetPlayerScores(int16_t* gamescore, int16_t* wins, int16_t* losts, int16_t* equals) const;
  void GetHandNo(int16_t* handno) const;
  void SetRecvCardsInRecover(int16_t num, const card* cards);
  void SetTrickNo(int16_t trickno);
  void GetTrickNo(int16_t* trickno) const;
  void SetHandNo(int16_t handno);
  void IsShowChoice(int16_t* is_show_choice) const;
  void DeleteAllFromMyHand();
  void SetSubType(int16_t subtype);

  // ---- IArithmetic ----------------------------------------------------------------------------
  void ExposeCard(int16_t loc, int16_t type, int16_t num, const card* cards);
  void SetBanker(int16_t bankloc, int16_t quan_feng);
  void GetFans(int16_t* count, intptr_t* types);
  void GetFanNameByType(int16_t type, char* str, char* desc, int16_t* score) const;
  void GetGangCards(int16_t index, int16_t* num, intptr_t* cards, int16_t* type);
  void GetPengCards(int16_t* num, intptr_t* cards);
  void GetEatNum(int16_t* num) const;
  void GetEatCards(int16_t index, intptr_t* cards);
  void GetBanker(int16_t* bankloc) const;
  void GetGangType(int16_t* type) const;
  void ExposeCard_InRecover(int16_t loc, int16_t type, int16_t count, const card* cards);
  void SetTingStatus(int16_t isting);
  void GetCurrentSended(int16_t* color, int16_t* value) const;
  void SetDice();
  void GetDiceNum(int16_t* num) const;
  void IsDeclareListen(int16_t* listen);
  void Calculate(int16_t* banker, int16_t* score, int16_t* base_value, int16_t* fan_value);
  void SetHuInfo(int16_t hu_type, int16_t gunloc, int16_t hucard_color, int16_t hucard_value);
  void GetHuType(int16_t* hutype) const;
  void GetCurrentMo(int16_t* color, int16_t* value) const;
  void GetHideGangCards(int16_t* num, intptr_t* cards);
  void SetGangNum(int16_t loc, int16_t hide, int16_t expose);
  void GetTingStatus(int16_t* isting) const;
  void SetCardAfterGang(int16_t card_color, int16_t card_value);
  void SetLastBz();
  void SetLowFan(int16_t fans);
  void GetJianGangNum(int16_t* jian_num) const;
  void GetFengGangNum(int16_t* feng_num) const;
  void SetXiangGongStatus(int16_t isxianggong);
  void IsHuPai(int16_t* ishu);
  void IsPermitShangTai(int16_t* isshangtai) const;
  void IsPermitDuBao(int16_t* isdubao) const;
  void ResetDice();
  void StartPlay();
  void GetDealNum(int16_t* count) const;
  void GetGangNum(int16_t* num) const;

  // For inspection: the rules object (null before SetSubType) and the kong counts SetGangNum
  // kept for a seat (0, 0 outside 0-3).
  const CKorvel* Rules() const { return rules_.get(); }
  void GangNum(int loc, int16_t& hide, int16_t& expose) const;

 private:
  // The rules object for the length of one call. A sink may call SetSubType from inside an
  // event; the call that fired it keeps working on the object it started with.
  std::shared_ptr<CKorvel> Hold() const { return rules_; }
  // Copies `bytes` bytes into a new array and writes its address to *out (0 when out of
  // memory). A null out asks for no array. Answers false only when the array could not be made.
  bool HandOut(const void* data, size_t bytes, intptr_t* out) const;

  ArithmeticEventSink& events_;
  ArrayAllocator allocate_;
  std::shared_ptr<CKorvel> rules_;
  int16_t gang_hide_[kGangNumSeats] = {0, 0, 0, 0};
  int16_t gang_expose_[kGangNumSeats] = {0, 0, 0, 0};
};
