// The table model: one mahjong table of two seats, its wall and discards, clocks, animations,
// fan panel, score list and buttons. It takes no decision of the game: it shows what the
// control's interface methods tell it and reports, through return values, what the control
// turns into events. It draws through a TableSurface and runs its timers through a TimerHost.
#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "fan_panel.h"
#include "records/card.h"
#include "records/table_person.h"
#include "score_list.h"
#include "sprite_holder_core.h"
#include "table_buttons.h"
#include "table_surface.h"

namespace table {

using Holder = sprites::SpriteHolderCore;

// What an exposed group is (ExposeCard, ExposeCard_InRecover).
enum MeldKind : int16_t {
  kMeldChowOrPung = 1,
  kMeldFlowers = 2,
  kMeldConcealedKong = 3,
  kMeldAddedKong = 4,
  kMeldKongOnDiscard = 5,
  kMeldHandLaidOpen = 6,
};

// Window timer ids.
enum TimerId : uint32_t {
  kTimerOwnClock = 0,  // 0 .. seats-1: the seat clocks
  kTimerStart = 103,
  kTimerWallBlink = 104,
  kTimerMeldBlink = 105,
  kTimerKongBlink = 106,
  kTimerAngry = 108,
  kTimerLaugh = 109,
  kTimerWinnerBlink = 110,
  kTimerAdvert = 120,
  kTimerDealOwn = 121,
  kTimerDealOpponent = 122,
  kTimerWallBuild = 123,
  kTimerChowAnimation = 130,  // + seat
  kTimerPungAnimation = 135,
  kTimerKongAnimation = 140,
  kTimerHuAnimation = 145,
  kTimerFlash = 250,  // + seat; + seat count for the centre
};

constexpr uint32_t kBlinkPeriod = 400;
constexpr uint32_t kStartButtonPeriod = 120000;
constexpr int kMeldAnimationFrames = 10;
constexpr int kWallBuildSteps = 16;

// Results of CountDownTick.
enum CountDownResult : int { kClockGoesOn = 0, kOwnTimeOut = 1, kClaimTimeOut = 2 };

class CCommMjTable;

class CMjLocation {
 public:
  enum Area { kHand, kMelds, kConcealedKongs, kFlowers, kCurrent, kAreaCount };
  enum MarkSlot { kMarkBanker, kMarkReadyHand, kMarkReady };

  CMjLocation(CCommMjTable* table, int16_t seat);

  void InitPoke();
  void CalcLayout(const Rect& client);
  void CalcCardLayout(const Rect& client);
  void Draw();
  void DrawCards();
  void Redraw() { Draw(); }
  void SetReady(bool ready);
  void ShowCurrent(bool show);
  void StartCountDown();
  void ClearCards();
  void StartDealAnimation(int16_t steps);
  // 1 when the animation has reached its end.
  int DealAnimationStep();
  int MeldAnimationStep(int kind);
  void StartMeldAnimation(int kind);
  void DrawMeldArea();
  void SetBkColor(uint32_t color);

  Holder& hand() { return *m_Holders[kHand]; }
  Holder& melds() { return *m_Holders[kMelds]; }
  Holder& concealedKongs() { return *m_Holders[kConcealedKongs]; }
  Holder& flowers() { return *m_Holders[kFlowers]; }
  Holder& current() { return *m_Holders[kCurrent]; }
  Holder& holder(Area a) { return *m_Holders[a]; }

  int16_t seat() const { return m_nSeat; }
  const Rect& AreaRect(Area a) const { return m_Areas[a]; }
  const Rect& PanelRect() const { return m_Panel; }
  const Rect& ClockRect() const { return m_Clock; }
  const Rect& AnchorRect() const { return m_Anchor; }
  const Rect& ActionRect() const { return m_Action; }
  const Rect& MarkRect(MarkSlot m) const { return m_Marks[m]; }
  // Where the seat's announcement picture was last drawn (empty when none).
  const Rect& LastAnnouncement() const { return m_LastAnnouncement; }

  int16_t countdown = -1;
  int64_t icon = 0;
  const TablePerson* person = nullptr;
  uint16_t wind = 0xFFFF;
  bool ready = false;
  bool readyHand = false;
  bool currentFromWall = false;
  bool currentShown = false;
  int16_t dealSteps = 0, dealStep = 0;
  int meldFrames = 0, meldFrame = 0;

 private:
  Rect AnnouncementRect(int16_t groupX, int16_t groupY, int32_t w, int32_t h) const;

  CCommMjTable* m_pTable;
  int16_t m_nSeat;
  std::array<std::unique_ptr<Holder>, kAreaCount> m_Holders;
  Rect m_Anchor, m_Clock, m_Panel, m_Action;
  std::array<Rect, 3> m_Marks{};
  std::array<Rect, kAreaCount> m_Areas{};
  Rect m_LastAnnouncement;
};

class CCommMjTable {
 public:
  CCommMjTable(TableSurface& surface, TimerHost& timers, HolderFactory& factory,
               bool bigScreen);
  ~CCommMjTable();
  CCommMjTable(const CCommMjTable&) = delete;
  CCommMjTable& operator=(const CCommMjTable&) = delete;

  // Seats and their tiles.
  void CreateLocations(int16_t count);
  int16_t SeatCount() const { return static_cast<int16_t>(m_Seats.size()); }
  bool ValidSeat(int seat) const { return seat >= 0 && seat < SeatCount(); }
  CMjLocation* Seat(int seat) { return ValidSeat(seat) ? m_Seats[seat].get() : nullptr; }
  Holder& Wall() { return *m_pWall; }

  void InitPoke(int16_t xinter, int16_t yinter, int16_t high, int16_t size, uint32_t bk_color);
  void DrawLocation(int16_t seat);
  void UpdateLocation(int16_t seat);
  void RelayoutLocation(int16_t seat);
  void StartOneHand();
  void ClearLocations();
  void ClearAllCards();
  void SetCountDown(uint32_t periodMs, int16_t start);
  void SetColors(uint32_t background, uint32_t text);
  // The tile the player chose to discard (play mode; one tile selected; with the ready-hand
  // flag only the current tile).
  std::optional<card> GetSendCards();

  void AddCardsToMyHandWithSort(int16_t count, const card* cards);
  void AddCardsToMyHandWithoutSort(int16_t count, const card* cards);
  void AddCardsToMyHandWithSort_InTimer(int16_t count, const card* cards);
  void SetDealNum(int16_t seat, int16_t num);
  void SetDealNum_InTimer(int16_t seat, int16_t num);
  void AddCardToCurrent(int16_t seat, int16_t color, int16_t value, bool show);
  void SetRecvCards(int16_t seat, int16_t num, const card* cards, int16_t issend);
  void SetRecvCards_InRecover(int16_t seat, int16_t num, const card* cards);
  void ExposeCard(int16_t seat, int16_t type, int16_t count, const card* cards);
  void ExposeCard_InRecover(int16_t seat, int16_t type, int16_t count, const card* cards);
  void DeleteAllFromSend(int16_t seat);
  void DeleteAllHideGang();
  int16_t GetHuaNum(int16_t seat);
  void SetTingStatus(int16_t seat, int16_t isting);
  void SetBanker(int16_t bankloc, int16_t quan_feng);
  void StartGame(int16_t seat);
  void HideStartSign();
  void StartDeal();
  void ResetTable();
  void InitWall(int16_t num);
  void InitWall_InTimer(int16_t num);
  void SetPersonLocation(int16_t seat, int64_t icon, const TablePerson* person);

  // Clocks.
  void StartChoice(int16_t seat);
  void StartChoice_InTimer(int16_t seat);
  int CountDownTick(int16_t seat);
  void StopCountDown(int16_t seat);
  void DrawCountDown(int16_t seat);
  void ClearOwnTurn() { m_bOwnTurn = false; }

  // Buttons.
  void CreateButtons();
  void ShowButtons();
  void HideButtons();
  void LightSend(int16_t on);
  void LightGuo(int16_t on);
  void LightTing(int16_t on);
  void LightChi(int16_t on);
  void LightPeng(int16_t on);
  void LightGang(int16_t on);
  void LightHu(int16_t on);
  void ShowStartButton(bool show);
  void ShowDiceButton(bool show);
  void HideHandButtons(bool flag);
  void StartDice(int16_t seat);
  void SetDice(int16_t seat, int16_t num1, int16_t num2);
  void EnableButton(int id, bool on);
  void ShowButton(int id, bool on);
  void SetButtonChecked(int id, bool on);
  ButtonSet& Buttons() { return m_Buttons; }

  // Timed effects.
  void FocusCards(int16_t type, int16_t isfocus);
  void BlinkWall(bool on);
  void BlinkMelds(bool on);
  void BlinkConcealedKongs(bool on);
  // Timer 110: frames the winner's melds; false when there is no winner (stop the timer).
  bool WinnerBlinkStep(bool on);
  void HuPai(int16_t huloc, int16_t gunloc);
  void AngryFaceStep();
  void LaughFaceStep();
  void StartMeldAnimation(int16_t seat, int16_t kind);
  int WallAnimationStep();

  // Fans and score list.
  void InitFanNames() { m_FanNames = MakeFanNameTable(); }
  void SetMyFans(const int16_t* fans);
  void ClearMyFans() { m_MyFans.fill(0); }
  const FanList& MyFans() const { return m_MyFans; }
  std::vector<std::string> FanLines() const;
  void InitScoreList(int16_t type, int16_t subtype);
  void SetScoreInfo(int16_t num, int16_t index, const ScoreRow* info);
  void ShowScoreInfo(bool show);
  // The place of the score list window with the fan panel under it.
  Rect MeasureFanPanel();
  const ScoreListCore& ScoreList() const { return m_ScoreList; }
  bool ScoreListShown() const { return m_bScoreShown; }
  const Rect& ScoreListRect() const { return m_ScoreRect; }
  const std::vector<FanNameRow>& FanNames() const { return m_FanNames; }

  // Layout and drawing.
  void CalcLayout();
  void PlaceButtons();
  void RedrawTable();
  void ComposeBackground();
  void DrawAll();
  void DrawWall();
  void TakeClaimedDiscard();
  Rect WallRect() const;
  std::vector<TextRun> BackgroundTexts() const;
  const Rect& SetupArea() const { return m_SetupArea; }
  const Rect& ExitArea() const { return m_ExitArea; }

  void SetBkColor(uint32_t color);

  TableSurface& surface() { return m_Surface; }
  TimerHost& timers() { return m_Timers; }
  HolderFactory& factory() { return m_Factory; }

  // State (the control and the seats read and set these).
  bool bigScreen;
  bool avatarLook = false;  // started by InitTable_Avact: smaller panels, skin pictures
  uint32_t countdownPeriod = 1000;
  int16_t countdownStart = 30;
  int16_t workingStart = 0;
  uint32_t bkColor = 0;
  uint32_t textColor = 0xFFFFFF;
  bool bkIsBitmap = false;
  bool playMode = true;
  int16_t reviewStyle = 0;
  bool soundOn = true;
  bool autoSend = false;
  bool autoMode = false;
  bool claimChoice = false;
  bool m_bOwnTurn = false;
  bool sendNotLit = true;
  card lastDiscard{-1, -1};
  // The last discard lies on the wall's rows, not yet claimed (a rebuilt row holds none).
  bool discardOnWall = false;
  int angryToggle = 0, laughToggle = 0;
  int wallSteps = 0, wallStep = 0;
  std::string skinPath;
  int16_t bankerSeat = -1;
  int16_t roundWind = -1;
  int16_t diceSeat = -1;
  bool dicePhase = false;
  int16_t dice[2] = {-1, -1};
  int16_t winnerSeat = -1, discarderSeat = -1;
  int16_t subtype = 1;

 private:
  void Light(int id, int16_t on);
  void StopEveryClock();
  Rect ClientRect() const { return m_Surface.ClientRect(); }

  TableSurface& m_Surface;
  TimerHost& m_Timers;
  HolderFactory& m_Factory;
  std::vector<std::unique_ptr<CMjLocation>> m_Seats;
  std::unique_ptr<Holder> m_pWall;
  ButtonSet m_Buttons;
  FanList m_MyFans{};
  std::vector<FanNameRow> m_FanNames;
  ScoreListCore m_ScoreList;
  bool m_bScoreShown = false;
  Rect m_ScoreRect;
  Rect m_SetupArea, m_ExitArea;
};

}  // namespace table
