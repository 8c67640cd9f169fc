// The handlers of the framework's inbound messages: each converts its body and calls the play
// table's operations, with the dispatcher's own steps (IFrameworkPlayTable's Before/After
// operations) around it. The play table's session asks for the next header afterwards.
#pragma once
#include <cstddef>
#include <cstdint>

#include "framework_play_table.h"

enum class FrameworkHandling {
  NotFramework,  // not a framework id (chat and game ids): offer it to the next dispatch
  Handled,
  Dropped,       // a framework id whose body is shorter than its record: not read
};

// Converts the body of a framework message and runs its handler.
FrameworkHandling HandleFrameworkMessage(uint16_t id, const uint8_t* body, size_t bodyLength,
                                         IFrameworkPlayTable& table);

// A person's icon number reduced to the icons of the person-list skin (unchanged without icons).
int16_t ReduceHeadPicture(int16_t headpicid, int iconCount);

// The chat line of an in-table chat body (3009, 3021, 3819): its format (second id 0) and text.
// False for a body shorter than its head.
bool ReadInDeskChatLine(const uint8_t* body, size_t bodyLength, ChatTextFormat& format,
                        std::string& text);
