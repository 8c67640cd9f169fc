// What the table control does with the player's clicks, its buttons' commands and its window
// timers: it changes the model and reports the player's choices as events. The COM control
// passes its window messages here and fires the events it is given.
#pragma once
#include <cstdint>

#include "comm_mj_table.h"

namespace table {

// _ITableEvents by dispatch id.
enum TableEvent : int {
  kEventSendCard = 1,
  kEventRequestSend = 2,
  kEventTimeOut = 3,
  kEventRequestDeal = 4,
  kEventDClick = 5,
  kEventAutoSend = 6,
  kEventGuo = 7,
  kEventTing = 8,
  kEventChi = 9,
  kEventPeng = 10,
  kEventGang = 11,
  kEventHu = 12,
  kEventSaveOneHand = 13,
  kEventPause = 14,
  kEventDice = 15,
  kEventNextNo = 16,
  kEventAutoReview = 17,
  kEventExit = 18,
  kEventSetup = 19,
  kEventSelectAction = 20,
};

class TableEventSink {
 public:
  virtual ~TableEventSink() = default;
  // An event without arguments.
  virtual void Fire(TableEvent event) = 0;
  virtual void FireTimeOut(int16_t loc) = 0;
  // The tiles are the caller's; the sink copies what it keeps.
  virtual void FireRequestSend(int16_t num, const card* cards) = 0;
};

// What the control does besides the model: the centre and seat action windows.
class ControllerHost {
 public:
  virtual ~ControllerHost() = default;
  // Hides a seat's action window (seat count: the centre's).
  virtual void HideFlash(int16_t place) = 0;
};

class TableController {
 public:
  TableController(CCommMjTable& model, TableEventSink& events, ControllerHost& host)
      : m_Model(model), m_Events(events), m_Host(host) {}

  // WM_COMMAND from a button (notification code 0 only).
  void OnCommand(int id, int notifyCode);
  void OnRightButtonDown();
  void OnLeftButtonDown(int32_t x, int32_t y);
  void OnTimer(uint32_t id);

  // The commands one by one (the start command also runs from timer 103).
  void Discard();
  void Start();

  // The two blink flags, shared by every table of the process.
  static int BlinkA();
  static int BlinkB();
  static void ResetBlinkFlags();

 private:
  void DisableButtons(std::initializer_list<int> ids);
  bool TimerOfSeat(uint32_t id) const;

  CCommMjTable& m_Model;
  TableEventSink& m_Events;
  ControllerHost& m_Host;
};

}  // namespace table
