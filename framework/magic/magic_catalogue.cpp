#include "magic_catalogue.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "magic_texts.h"
#include "text_copy.h"

namespace {

constexpr size_t kTextChars = 254;

std::string Format(const char* pattern, const std::vector<const char*>& args) {
  // The patterns hold only %s; each argument is a bounded text.
  std::string out;
  size_t next = 0;
  for (const char* p = pattern; *p; ++p) {
    if (p[0] == '%' && p[1] == 's') {
      if (next < args.size() && args[next]) out += args[next];
      ++next;
      ++p;
    } else {
      out += *p;
    }
  }
  return out;
}

std::string PersonText(const char (&text)[34]) { return std::string(text, BoundedLength(text, 34)); }

std::string JoinPath(const std::string& folder, const std::string& name) {
  return folder + "\\" + name;
}

bool SamePathNoCase(const char* a, const std::string& b) {
  if (b.empty()) return false;
  auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  size_t i = 0;
  for (; a[i] != '\0' && i < b.size(); ++i) {
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return a[i] == '\0' && i == b.size();
}

}  // namespace

void ReadIniInt(const ProfileFile& ini, const char* section, const char* key, int& out) {
  out = ParseLeadingInt(ini.GetString(section, key, 9));
}

bool ReadIniSize(const ProfileFile& ini, const char* section, const char* key, int& width,
                 int& height) {
  std::string value = ini.GetString(section, key, 11);
  size_t comma = value.find(',');
  if (comma == std::string::npos) return false;
  width = ParseLeadingInt(std::string_view(value).substr(0, comma));
  height = ParseLeadingInt(std::string_view(value).substr(comma + 1));
  return true;
}

void ReadIniRect(const ProfileFile& ini, const char* section, const char* key, int (&rect)[4]) {
  std::string value = ini.GetString(section, key, 24);
  std::string_view rest = value;
  for (int i = 0; i < 4; ++i) {
    size_t comma = rest.find(',');
    rect[i] = ParseLeadingInt(rest.substr(0, comma));
    rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
  }
}

bool IsPlainFileName(const char* name) {
  if (name == nullptr || *name == '\0') return false;
  return std::strpbrk(name, "\\/:") == nullptr && std::strstr(name, "..") == nullptr;
}

// --- Magic actions ---

void CAction_Manager::LoadActionConfig() {
  LoadActionConfig(ProfileFile::Load(JoinPath(m_baseDir, "config\\actionconfig.ini")));
}

void CAction_Manager::LoadActionConfig(const ProfileFile& ini) {
  m_actionFolder = JoinPath(m_baseDir, "OzkMagicAction");
  m_previewFolder = m_actionFolder;
  m_items.clear();
  int typeCount = 0;
  ReadIniInt(ini, "PUBLIC", "typecount", typeCount);
  typeCount = std::min(typeCount, kMaxTypes);
  char section[32], key[48];
  for (int t = 0; t < typeCount; ++t) {
    std::snprintf(section, sizeof section, "TYPE%d", t);
    int itemCount = 0;
    ReadIniInt(ini, section, "itemcount", itemCount);
    itemCount = std::min(itemCount, kMaxItemsPerType);
    for (int i = 0; i < itemCount; ++i) {
      auto item = std::make_unique<CActionItem>();
      item->type = t;
      std::snprintf(key, sizeof key, "item%dprice", i);
      CopyCString(item->price, ini.GetString(section, key, kTextChars).c_str());
      std::snprintf(key, sizeof key, "item%dID", i);
      ReadIniInt(ini, section, key, item->id);
      // A file name that leaves its folder is not used (the path stays the folder alone).
      std::snprintf(key, sizeof key, "item%dpreview", i);
      std::string preview = ini.GetString(section, key, kTextChars);
      CopyCString(item->preview,
                  JoinPath(m_previewFolder, IsPlainFileName(preview.c_str()) ? preview : "")
                      .c_str());
      std::snprintf(key, sizeof key, "item%dswf", i);
      std::string swf = ini.GetString(section, key, kTextChars);
      CopyCString(item->swf,
                  JoinPath(m_actionFolder, IsPlainFileName(swf.c_str()) ? swf : "").c_str());
      std::snprintf(key, sizeof key, "item%dname", i);
      CopyCString(item->name, ini.GetString(section, key, kTextChars).c_str());
      std::snprintf(key, sizeof key, "item%dshowsize", i);
      if (!ReadIniSize(ini, section, key, item->width, item->height)) {
        item->width = 300;
        item->height = 300;
      }
      m_items.push_back(std::move(item));
    }
  }
}

CActionItem* CAction_Manager::FindItem(int32_t type, int32_t id) {
  for (auto& item : m_items) {
    if (item->type == type && item->id == id) return item.get();
  }
  return nullptr;
}

CActionItem* CAction_Manager::ItemAt(int64_t index) const {
  if (index < 0 || static_cast<uint64_t>(index) >= m_items.size()) return nullptr;
  return m_items[static_cast<size_t>(index)].get();
}

int GbkCharCount(const char* text, size_t length) {
  return static_cast<int>(CountGbkCharacters(text, length));
}

std::optional<HotRegionRecord> FormatMagicActionLine(const TablePerson* sender,
                                                     const TablePerson* receiver,
                                                     const CActionItem* item,
                                                     const std::string& words,
                                                     uint32_t actionKey) {
  if (sender == nullptr || item == nullptr) return std::nullopt;
  const std::string nick = PersonText(sender->nickname), user = PersonText(sender->username);
  const std::string name(item->name, BoundedLength(item->name, sizeof item->name));
  std::string head, line;
  if (receiver) {
    const std::string rNick = PersonText(receiver->nickname);
    const std::string rUser = PersonText(receiver->username);
    head = Format(kTextActionToOneHead, {nick.c_str(), user.c_str(), rNick.c_str(), rUser.c_str()});
    line = Format(kTextActionToOneLine,
                  {nick.c_str(), user.c_str(), rNick.c_str(), rUser.c_str(), name.c_str()});
  } else {
    head = Format(kTextActionToAllHead, {nick.c_str(), user.c_str()});
    line = Format(kTextActionToAllLine, {nick.c_str(), user.c_str(), name.c_str()});
  }
  if (!words.empty()) line = Format(kTextActionWords, {line.c_str(), words.c_str()});

  HotRegionRecord record;
  record.m_nKind = 1;
  const size_t kept = CutGbkText(line.data(), line.size(), 510);
  std::memcpy(record.m_sText, line.data(), kept);
  // The clickable span counts characters and stays inside the text.
  const int total = GbkCharCount(record.m_sText, kept);
  const int start = std::min(GbkCharCount(head.data(), head.size()), total);
  const int end = std::min(start + GbkCharCount(name.data(), name.size()) + 10, total);
  record.m_nStart = static_cast<int16_t>(start);
  record.m_nEnd = static_cast<int16_t>(end);
  record.m_nAction = actionKey;
  return record;
}

// --- Avatars ---

void CAvact_Manager::LoadAvatarConfig() {
  LoadAvatarConfig(ProfileFile::Load(JoinPath(m_baseDir, "config\\avatarconfig.ini")));
}

void CAvact_Manager::LoadAvatarConfig(const ProfileFile& ini) {
  m_avatarFolder = JoinPath(m_baseDir, "ozkshow");
  ReadIniSize(ini, "PUBLIC", "AvactOrigionSize", baseWidth, baseHeight);
  ReadIniRect(ini, "PUBLIC", "AvactCoreRect", coreRect);
}

std::string CAvact_Manager::LoadDefaultAvatar(const TablePerson& person) {
  if (m_maleDefault.empty()) {
    return LoadDefaultAvatar(person,
                             ProfileFile::Load(JoinPath(m_baseDir, "config\\avatarconfig.ini")));
  }
  return person.sex != 0 ? m_maleDefault : m_femaleDefault;
}

std::string CAvact_Manager::LoadDefaultAvatar(const TablePerson& person, const ProfileFile& ini) {
  if (m_maleDefault.empty()) {
    if (m_avatarFolder.empty()) m_avatarFolder = JoinPath(m_baseDir, "ozkshow");
    std::string male = ini.GetString("PUBLIC", "defaultavatarmale", kTextChars);
    std::string female = ini.GetString("PUBLIC", "defaultavatarfemale", kTextChars);
    m_maleDefault = JoinPath(m_avatarFolder, IsPlainFileName(male.c_str()) ? male : "");
    m_femaleDefault = JoinPath(m_avatarFolder, IsPlainFileName(female.c_str()) ? female : "");
  }
  return person.sex != 0 ? m_maleDefault : m_femaleDefault;
}

CAvact_Adv_Item* CAvact_Manager::FindAvatarItem(int32_t personId) {
  for (auto& item : m_items) {
    if (item->userId == personId) return item.get();
  }
  return nullptr;
}

void CAvact_Manager::PushAvatarsToTable(
    const std::vector<const TablePerson*>& persons, int seatCount,
    const std::function<void(int seat, const CAvact_Adv_Item*)>& show) {
  bool marked[kSeatMarks] = {};
  const int seats = std::clamp(seatCount, 0, kSeatMarks);
  for (const TablePerson* person : persons) {
    if (person == nullptr) continue;
    const CAvact_Adv_Item* item = FindAvatarItem(static_cast<int32_t>(person->id));
    if (item == nullptr || person->seatno < 0 || person->seatno >= kSeatMarks) continue;
    show(person->seatno, item);
    if (person->seatno >= 0 && person->seatno < seats &&
        (SamePathNoCase(item->path, m_maleDefault) || SamePathNoCase(item->path, m_femaleDefault))) {
      marked[person->seatno] = true;
    }
  }
  int j = 0;
  for (const auto& item : m_items) {
    if (item->userId != -1) continue;
    int k = j;
    while (k < seats && !marked[k]) ++k;
    if (k >= seats) continue;
    show(k, item.get());
    if (++j >= seats) j = 0;
  }
}
