// Catalogue files of any bytes: both catalogues load without fault and keep their bounds.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "magic_catalogue.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const ProfileFile ini(std::string_view(reinterpret_cast<const char*>(data), size));
  CAction_Manager actions;
  actions.SetBaseDir("C:\\game");
  actions.LoadActionConfig(ini);
  if (actions.Items().size() >
      size_t(CAction_Manager::kMaxTypes) * size_t(CAction_Manager::kMaxItemsPerType)) {
    std::abort();
  }
  TablePerson sender, receiver;
  sender.id = 1;
  for (const auto& item : actions.Items()) {
    if (strnlen(item->name, sizeof item->name) >= sizeof item->name) std::abort();
    if (strnlen(item->swf, sizeof item->swf) >= sizeof item->swf) std::abort();
    auto line = FormatMagicActionLine(&sender, &receiver, item.get(), "w", 0);
    if (!line || line->m_nStart > line->m_nEnd) std::abort();
  }
  CAvact_Manager avatars;
  avatars.SetBaseDir("C:\\game");
  avatars.LoadAvatarConfig(ini);
  (void)avatars.LoadDefaultAvatar(sender, ini);
  return 0;
}
