// What the play table drives outside itself: the socket control (socket_transport.h), the
// window timers, the table's notices (wait box, message box, count-down, exit question), the
// table display and the rules engine. The Windows build puts the controls, window timers and
// notice windows behind these (framework/window/); tests use fakes.
// A failing call throws (a failed COM call does); the play table catches it where the platform
// calls in.
#pragma once
#include <cstdint>
#include <string>

#include "records/card.h"
#include "records/table_person.h"
#include "socket_transport.h"

// Window timers of the table window, by id. Setting an id that runs restarts it; a timer fires
// every period until it is killed.
class ITableTimers {
 public:
  virtual ~ITableTimers() = default;
  virtual void SetTimer(uint32_t id, uint32_t milliseconds) = 0;
  virtual void KillTimer(uint32_t id) = 0;
};

enum class NoticeKind {
  WaitBox,         // the wait box: message-only count-down, modeless; a new one replaces the old
  Message,         // the table's message box, modeless
  MessageAndWait,  // the table's message box, and the caller waits until it is closed
  CountDown,       // a modal message-only count-down box
  ExitBox,         // the exit box (one at a time): mode 0 asks for consent, mode 1 only tells
  SystemBox,       // a plain system message box
};

struct TableNotice {
  NoticeKind kind = NoticeKind::Message;
  std::string text;
  uint32_t milliseconds = 0;   // count-down boxes: the time after which they close themselves
  bool closeOnOk = false;      // message box: OK closes the main frame
  bool onTableWindow = false;  // wait box: placed over the table window, else centred on screen
  int16_t mode = 0;            // exit box: 0 answers with 3032, 1 answers nothing
  uint32_t askerId = 0;        // exit box: the user who asked to leave
};

class ITableNotices {
 public:
  virtual ~ITableNotices() = default;
  virtual void Show(const TableNotice& notice) = 0;
  // Closes (and forgets) the wait box or the exit box.
  virtual void Close(NoticeKind kind) = 0;
  virtual void HideMagicActionPicker() = 0;
};

// What the play table calls on the table display (ICommTable).
class ICommTableCalls {
 public:
  virtual ~ICommTableCalls() = default;
  virtual void SetPersonLocation(int16_t loc, intptr_t icon, const TablePerson* person) = 0;
  virtual void SetLeftCards(int16_t loc, int16_t count, const card* cards) = 0;
  virtual void StartDeal() = 0;
  virtual void AddCardsToMyHandWithSort_InDeal(int16_t count, const card* cards) = 0;
  virtual void Setup() = 0;
  virtual void SetMyCardBitmap(intptr_t bitmap, intptr_t back) = 0;
};

// What the play table calls on the rules engine (ICommArithmetic).
class ICommArithmeticCalls {
 public:
  virtual ~ICommArithmeticCalls() = default;
  virtual void AddCardsToMyHand(int16_t count, const card* cards) = 0;
};

// The first auxiliary view of paired tables (none in this system).
class IPlayTableAuxView {
 public:
  virtual ~IPlayTableAuxView() = default;
  virtual void SetWaitKind(int16_t kind) = 0;
};
