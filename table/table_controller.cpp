#include "table_controller.h"

namespace table {

namespace {
int g_blinkA = 0;  // the wall's frame
int g_blinkB = 0;  // the meld frames
}  // namespace

int TableController::BlinkA() { return g_blinkA; }
int TableController::BlinkB() { return g_blinkB; }
void TableController::ResetBlinkFlags() { g_blinkA = g_blinkB = 0; }

void TableController::DisableButtons(std::initializer_list<int> ids) {
  for (int id : ids) m_Model.EnableButton(id, false);
}

void TableController::Discard() {
  if (m_Model.autoSend) return;
  m_Model.claimChoice = false;
  const std::optional<card> tile = m_Model.GetSendCards();
  if (!tile) return;
  m_Events.FireRequestSend(1, &*tile);
  m_Model.timers().KillTimer(kTimerOwnClock);
  DisableButtons({kButtonSend, kButtonGuo, kButtonTing, kButtonChi, kButtonPeng, kButtonGang,
                  kButtonHu});
}

void TableController::Start() {
  m_Model.ShowButton(kButtonStart, false);
  m_Model.ShowScoreInfo(false);
  if (!m_Model.playMode) return;
  m_Model.timers().KillTimer(kTimerAngry);
  m_Model.timers().KillTimer(kTimerLaugh);
  m_Model.ClearAllCards();
  m_Events.Fire(kEventRequestDeal);
  m_Model.ShowButtons();
  m_Model.timers().KillTimer(kTimerStart);
}

void TableController::OnCommand(int id, int notifyCode) {
  if (notifyCode != 0) return;
  CCommMjTable& m = m_Model;
  switch (id) {
    case kButtonSend:
      Discard();
      break;
    case kButtonGuo:
      m.claimChoice = false;
      DisableButtons({kButtonSend, kButtonGuo, kButtonTing, kButtonChi, kButtonPeng, kButtonGang,
                      kButtonHu});
      m.timers().KillTimer(kTimerOwnClock);
      m_Events.Fire(kEventGuo);
      break;
    case kButtonTing: {
      const bool passLit = m.Buttons().Enabled(kButtonGuo);
      m_Events.Fire(kEventTing);
      if (passLit) m_Events.Fire(kEventGuo);
      m.claimChoice = false;
      DisableButtons({kButtonTing, kButtonGuo, kButtonChi, kButtonPeng});
      break;
    }
    case kButtonChi:
      m.claimChoice = false;
      DisableButtons({kButtonChi, kButtonGuo, kButtonPeng, kButtonGang, kButtonHu});
      m_Events.Fire(kEventChi);
      break;
    case kButtonStart:
      Start();
      break;
    case kButtonPeng:
      m.claimChoice = false;
      DisableButtons({kButtonPeng, kButtonGuo, kButtonChi, kButtonGang, kButtonHu});
      m_Events.Fire(kEventPeng);
      break;
    case kButtonGang:
      m.claimChoice = false;
      DisableButtons({kButtonGang, kButtonGuo, kButtonPeng, kButtonHu, kButtonChi});
      m_Events.Fire(kEventGang);
      break;
    case kButtonSave:
      m_Events.Fire(kEventSaveOneHand);
      break;
    case kButtonAutoSend:
      if (m.playMode) m.autoSend = m.Buttons().Checked(kButtonAutoSend);
      break;
    case kButtonHu:
      m.claimChoice = false;
      DisableButtons({kButtonHu, kButtonGuo});
      m_Events.Fire(kEventHu);
      break;
    case kButtonSetup:
      m_Events.Fire(kEventSetup);
      break;
    case kButtonExit:
      m_Events.Fire(kEventExit);
      break;
    case kButtonPause:
      if (m.reviewStyle != 0)
        m_Events.Fire(m.Buttons().Checked(kButtonPause) ? kEventAutoReview : kEventPause);
      break;
    case kButtonDice:
      m_Events.Fire(kEventDice);
      m.ShowButton(kButtonDice, false);
      break;
    case kButtonNext:
      if (m.reviewStyle != 0) m_Events.Fire(kEventNextNo);
      break;
    case kButtonAction:
      m_Events.Fire(kEventSelectAction);
      break;
    default:
      break;
  }
}

void TableController::OnRightButtonDown() {
  CCommMjTable& m = m_Model;
  if (m.playMode && m.Buttons().Enabled(kButtonSend) && !m.sendNotLit && m.m_bOwnTurn)
    OnCommand(kButtonSend, 0);
}

void TableController::OnLeftButtonDown(int32_t x, int32_t y) {
  CCommMjTable& m = m_Model;
  if (!m.playMode) return;
  if (CMjLocation* own = m.Seat(0)) {
    const Rect client = m.surface().ClientRect();
    own->CalcLayout(client);
    own->CalcCardLayout(client);
    const Rect hand = own->AreaRect(CMjLocation::kHand);
    const Rect current = own->AreaRect(CMjLocation::kCurrent);
    auto pick = [&](CMjLocation::Area area, const Rect& r, CMjLocation::Area other) {
      own->holder(area).ClickAt(x - r.left, y - r.top);
      own->holder(other).ClearSelection();
      own->DrawCards();
    };
    if (Contains(hand, x, y)) {
      pick(CMjLocation::kHand, hand, CMjLocation::kCurrent);
      return;
    }
    if (Contains(current, x, y)) {
      pick(CMjLocation::kCurrent, current, CMjLocation::kHand);
      return;
    }
  }
  m.CalcLayout();
  Rect setup = m.SetupArea(), exit = m.ExitArea();
  setup.bottom += 30;
  exit.bottom += 30;
  if (Contains(setup, x, y)) m_Events.Fire(kEventSetup);
  else if (Contains(exit, x, y)) m_Events.Fire(kEventExit);
}

bool TableController::TimerOfSeat(uint32_t id) const {
  return id < static_cast<uint32_t>(m_Model.SeatCount());
}

void TableController::OnTimer(uint32_t id) {
  CCommMjTable& m = m_Model;
  const uint32_t seats = static_cast<uint32_t>(m.SeatCount());
  if (id == kTimerWallBlink) {
    g_blinkA ^= 1;
    m.BlinkWall(g_blinkA != 0);
  } else if (id == kTimerMeldBlink) {
    g_blinkB ^= 1;
    m.BlinkMelds(g_blinkB != 0);
  } else if (id == kTimerKongBlink) {
    g_blinkB ^= 1;
    m.BlinkConcealedKongs(g_blinkB != 0);
  } else if (id == kTimerStart) {
    m.timers().KillTimer(kTimerStart);
    Start();
  } else if (id == kTimerAdvert) {
    m.timers().KillTimer(kTimerAdvert);
  } else if (TimerOfSeat(id)) {
    const int16_t seat = static_cast<int16_t>(id);
    switch (m.CountDownTick(seat)) {
      case kOwnTimeOut:
        if (m.dicePhase) {
          if (m.diceSeat == 0) m_Events.Fire(kEventDice);
        } else {
          m_Events.FireTimeOut(seat);
        }
        break;
      case kClaimTimeOut:
        m_Events.Fire(kEventGuo);
        break;
      default:
        break;
    }
  } else if (id == kTimerWinnerBlink) {
    if (m.ValidSeat(m.winnerSeat)) {
      g_blinkB ^= 1;
      m.WinnerBlinkStep(g_blinkB != 0);
    } else {
      m.timers().KillTimer(kTimerWinnerBlink);
    }
  } else if (id == kTimerAngry) {
    m.AngryFaceStep();
  } else if (id == kTimerLaugh) {
    m.LaughFaceStep();
  } else if (id == kTimerDealOpponent || id == kTimerDealOwn) {
    const int16_t seat = id == kTimerDealOwn ? 0 : 1;
    CMjLocation* s = m.Seat(seat);
    if (!s || s->DealAnimationStep() == 1) {
      m.timers().KillTimer(id);
      m.DrawLocation(seat);
    }
  } else if (id == kTimerWallBuild) {
    if (m.WallAnimationStep() == 1) {
      m.timers().KillTimer(id);
      m.DrawAll();
    }
  } else if (id >= kTimerFlash && id < kTimerFlash + seats) {
    m.timers().KillTimer(id);
    m_Host.HideFlash(static_cast<int16_t>(id - kTimerFlash));
  } else if (id == kTimerFlash + seats) {
    m.timers().KillTimer(id);
    m_Host.HideFlash(static_cast<int16_t>(seats));
  } else {
    struct Meld {
      uint32_t base;
      int kind;
    };
    for (const Meld meld : {Meld{kTimerChowAnimation, 0}, Meld{kTimerPungAnimation, 1},
                            Meld{kTimerKongAnimation, 2}, Meld{kTimerHuAnimation, 4}}) {
      if (id == meld.base || id == meld.base + 1) {
        const int16_t seat = static_cast<int16_t>(id - meld.base);
        CMjLocation* s = m.Seat(seat);
        if (!s || s->MeldAnimationStep(meld.kind) == 1) {
          m.timers().KillTimer(id);
          m.DrawLocation(seat);
        }
        return;
      }
    }
  }
}

}  // namespace table
