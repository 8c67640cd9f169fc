#include "user_manager.h"

#include <algorithm>
#include <cstring>

#include "archive.h"
#include "chat_texts.h"
#include "gbk_codec.h"
#include "text_copy.h"

namespace chat {
namespace {

std::string NameField(const void* record, size_t offset) {
  const char* field = static_cast<const char*>(record) + offset;
  return std::string(field, BoundedLength(field, kPersonNameField - 1));
}

}  // namespace

int32_t PersonId(const void* record) {
  int32_t id = 0;
  std::memcpy(&id, record, sizeof id);
  return id;
}

std::string PersonUserName(const void* record) { return NameField(record, kUserNameOffset); }
std::string PersonNickName(const void* record) { return NameField(record, kNickNameOffset); }

std::string BlockEntryText(const void* record) {
  // kTextBlockEntryFormat is "%s【%s】": nickname, then the user name in the brackets.
  const std::string format = kTextBlockEntryFormat;
  const size_t first = format.find("%s");
  const size_t second = format.find("%s", first + 2);
  return format.substr(0, first) + PersonNickName(record) +
         format.substr(first + 2, second - first - 2) + PersonUserName(record) +
         format.substr(second + 2);
}

std::vector<uint8_t> StoreBlockList(const BlockListFile& file) {
  ArchiveWriter writer;
  for (int32_t v : file.options.values) writer.WriteInt32(v);
  writer.WriteUInt32(static_cast<uint32_t>(file.entries.size()));
  for (const BlockEntry& e : file.entries) {
    writer.WriteString(e.text);
    writer.WriteInt32(e.id);
  }
  return writer.GetBytes();
}

bool LoadBlockList(const uint8_t* data, size_t size, BlockListFile& out) {
  out = BlockListFile();
  ArchiveReader reader(data, size);
  ChatOptions options;
  for (int32_t& v : options.values) reader.ReadInt32(v);
  if (!reader.IsOk()) return false;
  out.options = options;
  uint32_t count = 0;
  if (!reader.ReadUInt32(count)) return false;
  for (uint32_t i = 0; i < count; ++i) {
    BlockEntry entry;
    if (!reader.ReadString(entry.text) || !reader.ReadInt32(entry.id)) return false;
    out.entries.push_back(std::move(entry));
  }
  return true;
}

bool EqualUserNames(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size();) {
    const size_t w = GbkCharacterWidth(a, i);
    if (w == 2) {
      if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
    } else {
      unsigned char x = static_cast<unsigned char>(a[i]);
      unsigned char y = static_cast<unsigned char>(b[i]);
      if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x - 'A' + 'a');
      if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y - 'A' + 'a');
      if (x != y) return false;
    }
    i += w;
  }
  return true;
}

void CUserManager::Load(const BlockListFile& file) {
  m_options = file.options;
  for (const BlockEntry& e : file.entries)
    if (!e.text.empty()) m_blockedIds.push_back(e.id);
}

const void* CUserManager::FindByUserName(std::string_view name) const {
  if (!m_pUserList) return nullptr;
  for (const void* record : *m_pUserList)
    if (record && EqualUserNames(PersonUserName(record), name)) return record;
  return nullptr;
}

const void* CUserManager::FindUser(int32_t id) const {
  if (!m_pUserList) return nullptr;
  for (const void* record : *m_pUserList)
    if (record && PersonId(record) == id) return record;
  return nullptr;
}

void CUserManager::Unblock(int32_t id) {
  auto it = std::find(m_blockedIds.begin(), m_blockedIds.end(), id);
  if (it != m_blockedIds.end()) m_blockedIds.erase(it);
}

bool CUserManager::IsBlocked(int32_t id) const {
  return std::find(m_blockedIds.begin(), m_blockedIds.end(), id) != m_blockedIds.end();
}

BlockListEditor::BlockListEditor(CUserManager& manager)
    : m_manager(manager), m_blocked(manager.m_blockedIds) {}

bool BlockListEditor::HasRowBeginningWith(std::string_view text) const {
  for (const BlockEntry& row : m_rows)
    if (row.text.compare(0, text.size(), text) == 0) return true;
  return false;
}

void BlockListEditor::LoadRows(const BlockListFile& file) {
  m_manager.m_options = file.options;
  for (const BlockEntry& e : file.entries)
    if (!e.text.empty() && !HasRowBeginningWith(e.text)) m_rows.push_back(e);
}

BlockListEditor::AddResult BlockListEditor::Add(std::string_view user_name) {
  if (user_name.empty()) return AddResult::kEmptyName;
  // At most kMaxUserNameBytes, ending on a whole GBK character.
  size_t kept = 0;
  while (kept < user_name.size()) {
    const size_t width = GbkCharacterWidth(user_name, kept);
    if (width == 0 || kept + width > kMaxUserNameBytes) break;
    kept += width;
  }
  user_name = user_name.substr(0, kept);
  const void* person = m_manager.FindByUserName(user_name);
  if (!person) return AddResult::kUnknownUser;
  BlockEntry entry{BlockEntryText(person), PersonId(person)};
  if (HasRowBeginningWith(entry.text)) return AddResult::kAlreadyListed;
  m_blocked.push_back(entry.id);
  m_rows.push_back(std::move(entry));
  return AddResult::kAdded;
}

bool BlockListEditor::Remove(size_t index) {
  if (index >= m_rows.size()) return false;
  auto it = std::find(m_blocked.begin(), m_blocked.end(), m_rows[index].id);
  if (it != m_blocked.end()) m_blocked.erase(it);
  m_rows.erase(m_rows.begin() + static_cast<std::ptrdiff_t>(index));
  return true;
}

void BlockListEditor::RemoveAll() {
  if (m_rows.empty()) return;
  m_rows.clear();
  m_blocked.clear();
}

BlockListFile BlockListEditor::Commit(const ChatOptions& options) {
  m_manager.m_options = options;
  m_manager.m_blockedIds = m_blocked;
  return BlockListFile{options, m_rows};
}

}  // namespace chat
