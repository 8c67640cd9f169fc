// CUserManager: the players whose chat the player has blocked (by user id), the nine display
// options of the chat, the own user id and the caller's user list; and the file
// "blacklist.dat" that keeps the options and the block list:
//   9 x uint32 options, uint32 count, then per entry an archive string (the display text
//   "nickname【username】") and a uint32 user id; little-endian, strings length-prefixed.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace chat {

// Options by index: 0 user enters, 1 user leaves, 2 to others, 3 to me, 4 public chat,
// 5 adverts, 6 wrap lines, 7 show time, 8 hide the speaker's name; each 0 or 1.
struct ChatOptions {
  std::array<int32_t, 9> values{};
};

// The caller's person records: user id (int32) at byte 0, user name at byte 4 (34 bytes),
// nickname at byte 38 (34 bytes), each NUL-terminated within its field.
using PersonList = std::vector<const void*>;
inline constexpr size_t kUserNameOffset = 4;
inline constexpr size_t kNickNameOffset = 38;
inline constexpr size_t kPersonNameField = 34;
// A user name typed into the block-list dialog: at most 33 bytes.
inline constexpr size_t kMaxUserNameBytes = 33;

int32_t PersonId(const void* record);
std::string PersonUserName(const void* record);
std::string PersonNickName(const void* record);
// "nickname【username】"
std::string BlockEntryText(const void* record);

struct BlockEntry {
  std::string text;
  int32_t id = 0;
};

struct BlockListFile {
  ChatOptions options;
  std::vector<BlockEntry> entries;
};

inline constexpr char kBlockListFileName[] = "blacklist.dat";
// No file of ours is larger; a larger one is refused as corrupt.
inline constexpr size_t kMaxBlockListBytes = 4 * 1024 * 1024;

std::vector<uint8_t> StoreBlockList(const BlockListFile& file);
// False when the bytes are not a whole block list; out then holds the options (when all nine
// were there) and the entries read before the fault.
bool LoadBlockList(const uint8_t* data, size_t size, BlockListFile& out);

// Names compared as the block list compares them: ASCII letters without regard to case, the
// bytes of double-byte characters as they are.
bool EqualUserNames(std::string_view a, std::string_view b);

class CUserManager {
 public:
  CUserManager() = default;
  virtual ~CUserManager() = default;

  // Takes the options and the ids of the entries with a text (duplicates kept).
  void Load(const BlockListFile& file);

  // The first record of the user list with this user name; null when none or no list.
  const void* FindByUserName(std::string_view name) const;
  // The first record with this user id; null when none or no list.
  const void* FindUser(int32_t id) const;
  void Unblock(int32_t id);
  bool IsBlocked(int32_t id) const;

  ChatOptions m_options;
  int32_t m_nMyId = -1;
  // The host's list (or the control's own): AddPerson appends to it.
  PersonList* m_pUserList = nullptr;
  std::vector<int32_t> m_blockedIds;
};

// The block-list dialog's working state: its rows and its own copy of the blocked ids, which
// reach the manager only when the player confirms (Commit); a cancelled dialog leaves the
// manager as it was.
class BlockListEditor {
 public:
  enum class AddResult { kAdded, kEmptyName, kUnknownUser, kAlreadyListed };

  explicit BlockListEditor(CUserManager& manager);

  // Rows from the file: the options go to the manager; an entry with a text that no row
  // begins with yet becomes a row.
  void LoadRows(const BlockListFile& file);
  AddResult Add(std::string_view user_name);
  // Removes row index (and one copy of its id); false when there is no such row.
  bool Remove(size_t index);
  void RemoveAll();
  // The options from the dialog's boxes and the edited ids go to the manager; returns the
  // file to write.
  BlockListFile Commit(const ChatOptions& options);

  const std::vector<BlockEntry>& GetRows() const { return m_rows; }
  const std::vector<int32_t>& GetBlockedIds() const { return m_blocked; }

 private:
  bool HasRowBeginningWith(std::string_view text) const;

  CUserManager& m_manager;
  std::vector<BlockEntry> m_rows;
  std::vector<int32_t> m_blocked;
};

}  // namespace chat
