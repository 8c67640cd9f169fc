// What the play table drives outside itself: the socket control (socket_transport.h), the
// window timers, the table's notices (wait box, message box, count-down, exit question), the
// table display and the rules engine. The Windows build puts the controls, window timers and
// notice windows behind these (framework/window/); tests use fakes.
// A failing call throws (a failed COM call does); the play table catches it where the platform
// calls in.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

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

  // The calls of the base's default set-up, hand start and trick replay, which a display for a
  // card game answers. A display without them (the mahjong table's) does nothing; the table that
  // uses it replaces the defaults that make them.
  virtual void InitTable(int16_t seats, int16_t isPlayer, int16_t pokeType) {
    (void)seats, (void)isPlayer, (void)pokeType;
  }
  virtual void SetCardBitmap(intptr_t face, intptr_t back) { (void)face, (void)back; }
  virtual void SetBkBitmap(intptr_t background) { (void)background; }
  virtual void InitPoke(int16_t count, int16_t width, int16_t height, int16_t gap, int32_t flags) {
    (void)count, (void)width, (void)height, (void)gap, (void)flags;
  }
  virtual void SetSubType(int16_t subtype) { (void)subtype; }
  virtual void SetAdvUrl(const char* url) { (void)url; }
  virtual void SetPokeSeparater(int16_t separate) { (void)separate; }
  virtual void ResetTable() {}
  virtual void SetTrump(int16_t color, int16_t value) { (void)color, (void)value; }
  virtual void ShowControlButtons(int16_t isshow) { (void)isshow; }
  virtual void StartOneHand() {}
  virtual void HideStartSign() {}
  virtual void DeleteAllFromMyHand() {}
  virtual void AddCardsToMyHandWithSort(int16_t count, const card* cards) {
    (void)count, (void)cards;
  }
  virtual void SetRecvCards(int16_t loc, int16_t num, const card* cards, int16_t isauto,
                            int16_t issend, int16_t isexchange, int16_t isshuaipai) {
    (void)loc, (void)num, (void)cards, (void)isauto, (void)issend, (void)isexchange,
        (void)isshuaipai;
  }
  // The display's own sounds: on for 1, off for anything else.
  virtual void ResetSound(int16_t issound) { (void)issound; }
};

// What the play table calls on the rules engine (ICommArithmetic).
class ICommArithmeticCalls {
 public:
  virtual ~ICommArithmeticCalls() = default;
  virtual void AddCardsToMyHand(int16_t count, const card* cards) = 0;

  // The calls of the base's default set-up, hand start and automatic play (a card game's
  // engine); by default they do nothing and the engine knows no hand number.
  virtual void SetSubType(int16_t subtype) { (void)subtype; }
  virtual void StartOneHand(int16_t trump_color, int16_t head) { (void)trump_color, (void)head; }
  virtual void SetHandNo(int16_t handno) { (void)handno; }
  virtual int16_t GetHandNo() { return 0; }
  // The cards of an automatic play; none by default.
  virtual void AutoSendCards(std::vector<card>& cards) { cards.clear(); }
};

// The hand-record files: where the player wants a record saved, the file's bytes, and the plain
// message box that reports how it went. The Windows build uses the system's save dialog, files
// and message box; tests use a fake.
class IRecordFiles {
 public:
  virtual ~IRecordFiles() = default;
  // Asks the player for the file to save to; empty when the player cancelled.
  virtual std::string AskSavePath() = 0;
  // Writes bytes as the whole file; false when it could not be written.
  virtual bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) = 0;
  // Reads the whole file; false when it could not be opened or read, or is far too large for a
  // hand record.
  virtual bool ReadFile(const std::string& path, std::vector<uint8_t>& bytes) = 0;
  // A plain message box with a GBK text.
  virtual void ShowMessage(const char* text) = 0;
};

// The auxiliary views of paired tables and of the trick replay (none in this system): the first
// shows the wait for the paired table, the hand number and the replayed trick, the second the
// cards of one replayed step.
class IPlayTableAuxView {
 public:
  virtual ~IPlayTableAuxView() = default;
  virtual void SetWaitKind(int16_t kind) = 0;
  virtual void SetHandNo(int16_t handno) { (void)handno; }
  // One trick: its number and the cards each seat played in it (by seat).
  virtual void ShowTrick(int16_t trickNo, const std::vector<std::vector<card>>& seatCards) {
    (void)trickNo, (void)seatCards;
  }
  virtual void ShowStepCards(int16_t seat, const std::vector<card>& cards) {
    (void)seat, (void)cards;
  }
};
