// The magic-action catalogue ("config\actionconfig.ini") and the avatar catalogue
// ("config\avatarconfig.ini") of a play table, the chat line a received magic action shows, and
// which seat each avatar goes to. Portable: the caller reads the files (ProfileFile) and hands
// the results to the table display and the chat.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "profile_file.h"
#include "records/hot_region_record.h"
#include "records/magic_records.h"
#include "records/table_person.h"

// The catalogue readers: section, key, output, file.
void ReadIniInt(const ProfileFile& ini, const char* section, const char* key, int& out);
// false (out unchanged) when the value has no comma.
bool ReadIniSize(const ProfileFile& ini, const char* section, const char* key, int& width,
                 int& height);
// Missing parts read 0.
void ReadIniRect(const ProfileFile& ini, const char* section, const char* key, int (&rect)[4]);

// A file name from a catalogue or the server is used only when it names a file inside its
// folder: no "\", "/", ":" or "..".
bool IsPlainFileName(const char* name);

class CAction_Manager {
 public:
  // Bounds on what a catalogue file may ask for; the rest is not read.
  static constexpr int kMaxTypes = 64;
  static constexpr int kMaxItemsPerType = 512;

  void SetBaseDir(const std::string& baseDir) { m_baseDir = baseDir; }
  // Reads "<base>\config\actionconfig.ini" (through the given reader) into the item list.
  void LoadActionConfig(const ProfileFile& ini);
  void LoadActionConfig();
  CActionItem* FindItem(int32_t type, int32_t id);
  // The item at a place in the catalogue (the action value a chat line's hot region gives
  // back); null outside the catalogue. The value is a position, never an address.
  CActionItem* ItemAt(int64_t index) const;
  const std::vector<std::unique_ptr<CActionItem>>& Items() const { return m_items; }
  const std::string& ActionFolder() const { return m_actionFolder; }

 private:
  std::string m_actionFolder, m_previewFolder, m_baseDir;
  std::vector<std::unique_ptr<CActionItem>> m_items;
};

// The chat line of a received magic action: sender and receiver are null when not at the
// table (no receiver: the line is to everybody). No line without a sender or an item.
// words: the action's words (bounded by the caller); empty for none. actionKey comes back
// with the click on the line (the caller's way to find the item again).
std::optional<HotRegionRecord> FormatMagicActionLine(const TablePerson* sender,
                                                     const TablePerson* receiver,
                                                     const CActionItem* item,
                                                     const std::string& words,
                                                     uint32_t actionKey);

// Characters of a GBK text: a lead byte 0x81-0xFE and its trail count as one.
int GbkCharCount(const char* text, size_t length);

class CAvact_Manager {
 public:
  static constexpr int kSeatMarks = 20;

  void SetBaseDir(const std::string& baseDir) { m_baseDir = baseDir; }
  void LoadAvatarConfig(const ProfileFile& ini);
  void LoadAvatarConfig();
  // The default avatar for a person (male when sex is non-zero); reads the catalogue once.
  std::string LoadDefaultAvatar(const TablePerson& person, const ProfileFile& ini);
  std::string LoadDefaultAvatar(const TablePerson& person);
  CAvact_Adv_Item* FindAvatarItem(int32_t personId);
  // Takes an item (the 3110 avatar list builds them).
  void AddItem(std::unique_ptr<CAvact_Adv_Item> item) { m_items.push_back(std::move(item)); }
  const std::vector<std::unique_ptr<CAvact_Adv_Item>>& Items() const { return m_items; }
  // Hands each avatar to its seat through show(seat, item): a person's own avatar to the
  // person's seat, then the avatars of no one (id -1) to the seats showing a default avatar.
  void PushAvatarsToTable(const std::vector<const TablePerson*>& persons, int seatCount,
                          const std::function<void(int seat, const CAvact_Adv_Item*)>& show);

  const std::string& AvatarFolder() const { return m_avatarFolder; }
  int baseWidth = 0, baseHeight = 0;
  int coreRect[4] = {};

 private:
  std::string m_avatarFolder, m_spare, m_baseDir, m_maleDefault, m_femaleDefault;
  std::vector<std::unique_ptr<CAvact_Adv_Item>> m_items;
};
