// What the framework's message handlers need of the play table: its person list, its notices,
// timers and flags, the chat, the person-list control and the avatar and magic-action managers.
// The base play table implements it; tests use a recording stand-in.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "records/chat_text_format.h"
#include "records/hot_region_record.h"
#include "records/table_person.h"

struct CVyrMessage_MagicAction;
struct CVyrMessage_PersonState;

class IFrameworkPlayTable {
 public:
  virtual ~IFrameworkPlayTable() = default;

  // Persons of the table.
  virtual TablePerson* FindPerson(uint32_t userId) = 0;
  virtual TablePerson* FindPersonAt(int16_t deskno, int16_t seatno, int16_t status) = 0;
  // The local player; null until the lobby named one.
  virtual TablePerson* GetMe() = 0;
  virtual std::vector<TablePerson*> GetPersons() = 0;
  // Appends a person to the table's list, which owns it from then on. Null when the list is
  // full: the person is not added.
  virtual TablePerson* AppendPerson(std::unique_ptr<TablePerson> person) = 0;
  // Removes (and frees) the first entry with that id; the later entries move up.
  virtual void RemovePerson(uint32_t userId) = 0;
  // The person-list control.
  virtual void PersonListAddPerson(TablePerson* person) = 0;
  virtual void PersonListRemovePerson(TablePerson* person) = 0;
  // The number of person icons of the person-list skin (0 when no skin is loaded).
  virtual int GetPersonIconCount() = 0;

  // Seats.
  virtual int16_t GetSeatsPerTable() = 0;
  virtual int16_t GetSeatFromSeatCode(int16_t deskno, int16_t seatCode) = 0;
  virtual void ShowSeatPerson(int16_t loc) = 0;

  // Session.
  virtual void StoreSessionKey(uint32_t sessionKey, uint32_t outboundSeed, uint32_t inboundBase) = 0;
  virtual void OnNetworkEnd(int16_t code) = 0;
  virtual void OnConnectRefused() = 0;
  virtual void CloseWaitDialog() = 0;
  virtual void KillTableTimer(uint32_t timerId) = 0;
  virtual void SetGameOverFlag(int value) = 0;
  virtual void SetPlayerFlag(int value) = 0;
  virtual void ExitGame() = 0;

  // Exits.
  virtual void OnPlayerOffline(uint32_t userId) = 0;
  virtual void OnPlayerExit(uint32_t userId, int16_t reason) = 0;
  virtual void OnExitRequested(uint32_t userId) = 0;
  virtual void OnExitAnswer(uint32_t requesterId, int16_t answer) = 0;

  // Notices: the table's message dialog (closeOnOk: OK closes the main frame) and the modal
  // message-only count-down notice.
  virtual void ShowMessageNotice(const char* text, bool closeOnOk) = 0;
  virtual void ShowCountDownNotice(const char* text, uint32_t milliseconds) = 0;
  virtual void PlaySound(const char* name) = 0;
  virtual void AddChatLine(const ChatTextFormat& format, const char* text) = 0;
  virtual void AddHotRegion(const HotRegionRecord& region) = 0;

  // Magic actions and avatars.
  virtual void ShowMagicAction(const CVyrMessage_MagicAction& action) = 0;
  virtual bool FindAvatarItem(uint32_t userId) = 0;
  virtual std::string LoadDefaultAvatar(const TablePerson& person) = 0;
  virtual std::string GetAvatarFolder() = 0;
  virtual bool FileExists(const std::string& path) = 0;
  // A new avatar item for the person, with its picture path (at most 250 characters).
  virtual void AddAvatarItem(uint32_t userId, const std::string& picturePath) = 0;
  virtual void PushAvatarsToTable() = 0;

  // The dispatcher's own steps around the handlers (the base play table's watchdogs and
  // keep-alive); a table without a session leaves them empty.
  // 3002 once its record is read, before its handler.
  virtual void BeforePersonState(const CVyrMessage_PersonState& state) { (void)state; }
  // 3003 before its body is read; false leaves the message to the chat and game dispatches.
  virtual bool BeforeGameAbort() { return true; }
  // 3806 and the table roster and avatar-list families, before their handlers.
  virtual void BeforePersonLists() {}
  // 3010 after its handler.
  virtual void AfterSessionStart() {}
};
