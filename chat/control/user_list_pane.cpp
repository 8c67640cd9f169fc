#include "user_list_pane.h"

#include "chat_pictures.h"
#include "chat_platform.h"

namespace parley {

std::optional<chat::HotRegion> InsertPersonName(HWND pane, const chat::ChatPeople& people,
                                                int32_t id, bool channelPane, bool hideUserName,
                                                const CHARFORMAT2W& headFormat) {
  const void* person = people.FindPerson(id);
  if (!pane || !person) return std::nullopt;
  const int picture = chat::PersonFlagPicture(person);
  if (picture) {
    const int end = PaneTextLength(pane);
    SendMessageW(pane, EM_SETSEL, end, end);
    InsertPicture(pane, chat::kUserFlagList, picture);
  }
  const LONG start = PaneTextLength(pane);
  SendMessageW(pane, EM_SETSEL, start, start);
  CHARFORMAT2W cf = headFormat;
  cf.dwMask |= CFM_LINK | CFM_OFFSET;
  cf.dwEffects |= CFE_LINK;
  cf.yOffset = 3;
  SendMessageW(pane, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
  const std::wstring name = Wide(chat::PersonNameText(person, hideUserName));
  SendMessageW(pane, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(name.c_str()));
  const LONG end = PaneTextLength(pane);
  SendMessageW(pane, EM_SETSEL, start, end);
  SendMessageW(pane, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
  SendMessageW(pane, EM_SETSEL, end, end);
  chat::HotRegion region;
  region.kind = chat::HotRegion::kUserName;
  region.id = static_cast<uint32_t>(id);
  region.start = start;
  region.end = end;
  region.channelPane = channelPane;
  return region;
}

}  // namespace parley
