#include "list_head.h"

#include <cstring>
#include <string>
#include <string_view>

#include "session_texts.h"

namespace {

void SetTitle(char (&slot)[ListHead::kTitleSize], std::string_view text) {
  const size_t n = text.size() < ListHead::kTitleSize - 1 ? text.size() : ListHead::kTitleSize - 1;
  std::memset(slot, 0, sizeof slot);
  std::memcpy(slot, text.data(), n);
}

size_t TitleLength(const char (&slot)[ListHead::kTitleSize]) {
  size_t n = 0;
  while (n < ListHead::kTitleSize && slot[n] != '\0') ++n;
  return n;
}

}  // namespace

ListHead::ListHead() {
  std::memset(titles, 0, sizeof titles);
  SetTitle(titles[0], kTextColumnUserName);
  SetTitle(titles[1], kTextColumnNickname);
  SetTitle(titles[2], kTextColumnSex);
  SetTitle(titles[3], kTextColumnMember);
}

void ListHead::Serialize(ArchiveWriter& archive) const {
  for (const auto& title : titles) archive.WriteString(std::string_view(title, TitleLength(title)));
}

bool ListHead::Load(ArchiveReader& archive) {
  char loaded[kTitleCount][kTitleSize];
  std::string text;
  for (auto& slot : loaded) {
    if (!archive.ReadString(text)) return false;
    SetTitle(slot, text);
  }
  std::memcpy(titles, loaded, sizeof titles);
  return true;
}
