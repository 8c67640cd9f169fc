// A received magic action (3040): the item to play and the chat line to show.
#pragma once
#include <functional>
#include <optional>
#include <string>

#include "framework_messages.h"
#include "magic_catalogue.h"

struct ReceivedMagicAction {
  CActionItem* item = nullptr;  // null: not in the catalogue, nothing plays
  int32_t senderId = 0;
  int32_t receiverId = 0;       // below 1: everybody
  int16_t value = 0;
  std::string words;            // at most 199 bytes
  std::optional<HotRegionRecord> line;  // none when the sender or the item is unknown
  uint32_t itemIndex = 0;       // the item's place in the catalogue (the line's action value)
};

// action: in host order as received (its words are bounded here). findPerson looks a user id up
// among the table's persons (null when absent).
ReceivedMagicAction DescribeMagicAction(
    CVyrMessage_MagicAction action, CAction_Manager& catalogue,
    const std::function<const TablePerson*(int32_t userId)>& findPerson);
