// A play table that records every operation the handlers call, as one line of text each, and
// keeps a real person list so that handlers can find, add and remove persons.
#pragma once
#include <algorithm>
#include <cstdio>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "framework_messages.h"
#include "framework_play_table.h"

class RecordingPlayTable : public IFrameworkPlayTable {
 public:
  std::vector<std::string> calls;
  std::vector<std::unique_ptr<TablePerson>> persons;
  uint32_t myId = 0;  // 0: no local player
  int iconCount = 0;
  int16_t seatsPerTable = 2;
  std::set<uint32_t> avatarItems;
  std::set<std::string> existingFiles;
  std::vector<CVyrMessage_MagicAction> magicActions;
  std::vector<HotRegionRecord> hotRegions;
  std::vector<ChatTextFormat> chatFormats;

  TablePerson* Add(uint32_t id, const char* nickname, const char* username, int16_t status,
                   int16_t deskno = 0, int16_t seatno = 0) {
    auto p = std::make_unique<TablePerson>();
    p->id = id;
    std::snprintf(p->nickname, sizeof p->nickname, "%s", nickname);
    std::snprintf(p->username, sizeof p->username, "%s", username);
    p->status = status;
    p->deskno = deskno;
    p->seatno = seatno;
    persons.push_back(std::move(p));
    return persons.back().get();
  }

  TablePerson* FindPerson(uint32_t userId) override {
    for (auto& p : persons) {
      if (p->id == userId) return p.get();
    }
    return nullptr;
  }
  TablePerson* FindPersonAt(int16_t deskno, int16_t seatno, int16_t status) override {
    for (auto& p : persons) {
      if (p->deskno == deskno && p->seatno == seatno && p->status == status) return p.get();
    }
    return nullptr;
  }
  TablePerson* GetMe() override { return myId ? FindPerson(myId) : nullptr; }
  std::vector<TablePerson*> GetPersons() override {
    std::vector<TablePerson*> list;
    for (auto& p : persons) list.push_back(p.get());
    return list;
  }
  TablePerson* AppendPerson(std::unique_ptr<TablePerson> person) override {
    Record("AppendPerson(" + std::to_string(person->id) + ")");
    persons.push_back(std::move(person));
    return persons.back().get();
  }
  void RemovePerson(uint32_t userId) override {
    Record("RemovePerson(" + std::to_string(userId) + ")");
    auto it = std::find_if(persons.begin(), persons.end(),
                           [&](const auto& p) { return p->id == userId; });
    if (it != persons.end()) persons.erase(it);
  }
  void PersonListAddPerson(TablePerson* person) override {
    Record("PersonListAddPerson(" + std::to_string(person->id) + ")");
  }
  void PersonListRemovePerson(TablePerson* person) override {
    Record("PersonListRemovePerson(" + std::to_string(person->id) + ")");
  }
  int GetPersonIconCount() override { return iconCount; }

  int16_t GetSeatsPerTable() override { return seatsPerTable; }
  // Paired tables: a code at or above the seats per table loses that many.
  int16_t GetSeatFromSeatCode(int16_t deskno, int16_t seatCode) override {
    if (deskno < 0 || seatCode < 0) return -1;
    return seatCode >= seatsPerTable ? static_cast<int16_t>(seatCode - seatsPerTable) : seatCode;
  }
  void ShowSeatPerson(int16_t loc) override { Record("ShowSeatPerson(" + std::to_string(loc) + ")"); }

  void StoreSessionKey(uint32_t key, uint32_t seed, uint32_t base) override {
    Record("StoreSessionKey(" + std::to_string(key) + "," + std::to_string(seed) + "," +
           std::to_string(base) + ")");
  }
  void OnNetworkEnd(int16_t code) override { Record("OnNetworkEnd(" + std::to_string(code) + ")"); }
  void OnConnectRefused() override { Record("OnConnectRefused"); }
  void CloseWaitDialog() override { Record("CloseWaitDialog"); }
  void KillTableTimer(uint32_t id) override { Record("KillTableTimer(" + std::to_string(id) + ")"); }
  void SetGameOverFlag(int v) override { Record("SetGameOverFlag(" + std::to_string(v) + ")"); }
  void SetPlayerFlag(int v) override { Record("SetPlayerFlag(" + std::to_string(v) + ")"); }
  void ExitGame() override { Record("ExitGame"); }

  void OnPlayerOffline(uint32_t id) override { Record("OnPlayerOffline(" + std::to_string(id) + ")"); }
  void OnPlayerExit(uint32_t id, int16_t reason) override {
    Record("OnPlayerExit(" + std::to_string(id) + "," + std::to_string(reason) + ")");
  }
  void OnExitRequested(uint32_t id) override { Record("OnExitRequested(" + std::to_string(id) + ")"); }
  void OnExitAnswer(uint32_t id, int16_t answer) override {
    Record("OnExitAnswer(" + std::to_string(id) + "," + std::to_string(answer) + ")");
  }

  void ShowMessageNotice(const char* text, bool closeOnOk) override {
    Record(std::string("ShowMessageNotice(") + text + (closeOnOk ? ",close)" : ",stay)"));
  }
  void ShowCountDownNotice(const char* text, uint32_t ms) override {
    Record(std::string("ShowCountDownNotice(") + text + "," + std::to_string(ms) + ")");
  }
  void PlaySound(const char* name) override { Record(std::string("PlaySound(") + name + ")"); }
  void AddChatLine(const ChatTextFormat& format, const char* text) override {
    chatFormats.push_back(format);
    Record("AddChatLine(" + std::to_string(format.m_nColor) + "," + text + ")");
  }
  void AddHotRegion(const HotRegionRecord& region) override {
    hotRegions.push_back(region);
    Record(std::string("AddHotRegion(") + region.m_sText + ")");
  }

  void ShowMagicAction(const CVyrMessage_MagicAction& action) override {
    magicActions.push_back(action);
    Record("ShowMagicAction(" + std::to_string(action.senderId) + ")");
  }
  bool FindAvatarItem(uint32_t id) override { return avatarItems.count(id) != 0; }
  std::string LoadDefaultAvatar(const TablePerson& person) override {
    return person.sex ? "C:\\game\\ozkshow\\male.gif" : "C:\\game\\ozkshow\\female.gif";
  }
  std::string GetAvatarFolder() override { return "C:\\game"; }
  bool FileExists(const std::string& path) override {
    Record("FileExists(" + path + ")");
    return existingFiles.count(path) != 0;
  }
  void AddAvatarItem(uint32_t id, const std::string& path) override {
    avatarItems.insert(id);
    Record("AddAvatarItem(" + std::to_string(id) + "," + path + ")");
  }
  void PushAvatarsToTable() override { Record("PushAvatarsToTable"); }

 private:
  void Record(std::string call) { calls.push_back(std::move(call)); }
};
