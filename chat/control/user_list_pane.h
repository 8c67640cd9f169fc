// A person's name in an output pane: the flag picture in front of it and the name as a link,
// which the control keeps as a user-name hot region (a click makes that person the whisper
// target).
#pragma once
#include <windows.h>
#include <richedit.h>

#include <optional>

#include "user_list.h"

namespace parley {

// Writes the person's user-flag picture (when one applies) and name at the end of the pane in
// the head format with the link effect and a raise of 3 twips; the region the name takes, or
// nothing when the person is not in the user list.
std::optional<chat::HotRegion> InsertPersonName(HWND pane, const chat::ChatPeople& people,
                                                int32_t id, bool channelPane, bool hideUserName,
                                                const CHARFORMAT2W& headFormat);

}  // namespace parley
