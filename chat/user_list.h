// The people a host hands the chat: its list of person records (read in place, never copied),
// the whisper target and its combo entries, the flag picture and name shown for a speaker, the
// clickable regions of the output panes, and the copies of the hosts' chat-line records.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "records/chat_text_format.h"
#include "user_manager.h"

namespace chat {

// Person record fields the chat reads (the record is longer than these).
inline constexpr size_t kPersonRecordBytes = 328;
uint16_t PersonForbidType(const void* record);   // u16 at 76
int16_t PersonHeadPicture(const void* record);    // i16 at 78
int16_t PersonIsMember(const void* record);       // i16 at 80
int32_t PersonWealth(const void* record);         // i32 at 84
int32_t PersonMoney(const void* record);          // i32 at 88
int32_t PersonRemarkValue(const void* record);    // i32 at 168
int32_t PersonFilingFlag(const void* record);     // i32 at 324: non-zero files only the id

// The speaker-format tests: the status word at 76 is 1; the flag word at 80 is 1.
bool PersonFlagLongIsOne(const void* record);
bool PersonFlagWordIsOne(const void* record);

// The user-flag picture in front of a name; 0 for none.
int PersonFlagPicture(const void* record);
// The name as a line shows it (GBK): " nick" / "nick" with option 8 on, else with the user name
// in brackets; a plain person gets the leading space.
std::string PersonNameText(const void* record, bool hideUserName);

// A clickable region of an output pane.
struct HotRegion {
  enum Kind : uint32_t { kUserName = 0, kAction = 1, kWebLink = 2 };
  uint32_t kind = kUserName;
  uint32_t id = 0;
  int start = 0, end = 0;      // character positions in the pane
  bool channelPane = false;    // pane 2002
  uint32_t rawData = 0;        // the action value of kind 1
  std::u16string link;         // the address of kind 2
};

// The span a host's hot-region line makes clickable: start and end kept within the text of
// `length` characters placed at `base`; none for an empty span.
std::optional<HotRegion> ActionRegion(int base, int length, int start, int end, uint32_t id,
                                      uint32_t action, bool channelPane);

// The user list, my id and the whisper target, with the entries of the target combo.
class ChatPeople {
 public:
  struct ComboEntry {
    std::string text;   // GBK
    int32_t id = 0;
  };

  explicit ChatPeople(CUserManager& manager);

  // A host's list (null: none); the combo goes back to "everyone" alone.
  void SetUserList(PersonList* list);
  // Files one person record: appended to the user list (the host's when it set one), or only
  // its id filed in the block list.
  void AddPerson(const void* record);
  // The record of that id in the user list, or null.
  const void* FindPerson(int32_t id) const;
  // Makes uid the whisper target; the notice to show (GBK), or nothing when uid is unknown,
  // mine or already the target.
  std::optional<std::string> SetSelUser(int32_t uid);
  // The player picked a combo entry.
  void SelectEntry(size_t index);

  int32_t WhisperTarget() const { return m_target; }
  const std::vector<ComboEntry>& Combo() const { return m_combo; }
  size_t Selected() const { return m_selected; }

 private:
  void ResetCombo();

  CUserManager& m_manager;
  PersonList m_ownList;    // people added without a host list
  std::vector<ComboEntry> m_combo;
  size_t m_selected = 0;
  int32_t m_target = 0;
};

}  // namespace chat
