#include "user_list.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "chat_texts.h"
#include "message_lines.h"

namespace chat {
namespace {

template <typename T>
T ReadAt(const void* record, size_t offset) {
  T value;
  std::memcpy(&value, static_cast<const uint8_t*>(record) + offset, sizeof value);
  return value;
}

}  // namespace

uint16_t PersonForbidType(const void* r) { return ReadAt<uint16_t>(r, 76); }
int16_t PersonHeadPicture(const void* r) { return ReadAt<int16_t>(r, 78); }
int16_t PersonIsMember(const void* r) { return ReadAt<int16_t>(r, 80); }
int32_t PersonWealth(const void* r) { return ReadAt<int32_t>(r, 84); }
int32_t PersonMoney(const void* r) { return ReadAt<int32_t>(r, 88); }
int32_t PersonRemarkValue(const void* r) { return ReadAt<int32_t>(r, 168); }
int32_t PersonFilingFlag(const void* r) { return ReadAt<int32_t>(r, 324); }

// Byte 76 is the 16-bit forbid type; byte 78 next to it is the head picture, which a 32-bit
// read would fold in.
bool PersonFlagLongIsOne(const void* r) { return PersonForbidType(r) == 1; }
bool PersonFlagWordIsOne(const void* r) { return PersonIsMember(r) == 1; }

int PersonFlagPicture(const void* r) { return SpeakerFlagPicture(ReadPerson(r), false); }

std::string PersonNameText(const void* r, bool hideUserName) {
  const bool plain = PersonIsMember(r) != 1 && PersonForbidType(r) != 1 &&
                     PersonRemarkValue(r) <= 500000 && PersonWealth(r) <= 1000 &&
                     PersonMoney(r) < 10000;
  std::string text = plain ? " " : "";
  text += PersonNickName(r);
  if (!hideUserName) text += "\xa1\xbe" + PersonUserName(r) + "\xa1\xbf";  // 【 】
  return text;
}

std::optional<HotRegion> ActionRegion(int base, int length, int start, int end, uint32_t id,
                                      uint32_t action, bool channelPane) {
  start = std::clamp(start, 0, length);
  end = std::clamp(end, 0, length);
  if (end <= start) return std::nullopt;
  HotRegion region;
  region.kind = HotRegion::kAction;
  region.id = id;
  region.start = base + start - 1;
  region.end = base + end + 1;
  region.channelPane = channelPane;
  region.rawData = action;
  return region;
}

ChatPeople::ChatPeople(CUserManager& manager) : m_manager(manager) { ResetCombo(); }

void ChatPeople::ResetCombo() {
  m_combo.assign(1, ComboEntry{kTextEveryone, 0});
  m_selected = 0;
  m_target = 0;
}

void ChatPeople::SetUserList(PersonList* list) {
  m_manager.m_pUserList = list;
  ResetCombo();
}

const void* ChatPeople::FindPerson(int32_t id) const {
  if (const void* found = m_manager.FindUser(id)) return found;
  if (m_manager.m_pUserList != &m_ownList)
    for (const void* record : m_ownList)
      if (PersonId(record) == id) return record;
  return nullptr;
}

void ChatPeople::AddPerson(const void* record) {
  if (!record || FindPerson(PersonId(record))) return;
  if (PersonFilingFlag(record) != 0) {
    m_manager.m_blockedIds.push_back(PersonId(record));
    return;
  }
  // The record joins the user list, where every lookup of a sender finds it: the host's list
  // when it set one, else a list of our own that becomes the user list.
  if (!m_manager.m_pUserList) m_manager.m_pUserList = &m_ownList;
  m_manager.m_pUserList->push_back(record);
}

std::optional<std::string> ChatPeople::SetSelUser(int32_t uid) {
  if (uid == m_target || uid == m_manager.m_nMyId) return std::nullopt;
  const void* person = FindPerson(uid);
  if (!person) return std::nullopt;
  const std::string nick = PersonNickName(person);
  auto it = std::find_if(m_combo.begin(), m_combo.end(),
                         [&](const ComboEntry& e) { return e.text == nick; });
  if (it == m_combo.end()) it = m_combo.insert(m_combo.end(), ComboEntry{nick, uid});
  m_selected = static_cast<size_t>(it - m_combo.begin());
  m_target = uid;
  char notice[128];
  std::snprintf(notice, sizeof notice, kTextWhisperWith, nick.c_str());
  return std::string(notice);
}

void ChatPeople::SelectEntry(size_t index) {
  if (index >= m_combo.size()) return;
  m_selected = index;
  m_target = m_combo[index].id;
}

}  // namespace chat
