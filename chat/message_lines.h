// Lines handed over as whole chat records by a host that keeps a user list
// (IGChat::AddChatMessage and AddChatMessage_Indesk): reading the records, and how a record
// becomes a line of runs (the speaker's picture and name, the verb, the message part, or a
// notice with the label of its kind) in the pane it goes to.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "dirty_word_filter.h"
#include "records/chat_text_format.h"

namespace chat {

// A received chat record: its head as the 44-byte line format and its text.
struct ChatMessage {
  ChatTextFormat head;
  const char* text = nullptr;
};

// The room's record: sender 8, receiver 12, face 16, colour 36, size 40, five style words 42,
// the text's address 56. The face keeps at most 19 bytes and is always terminated.
ChatMessage ReadChatMessage(const void* record);
// The table's record: sender 4, face 12, colour 32, size 36, five style words 38, the text's
// address 52; the receiver is 0.
ChatMessage ReadDeskChatMessage(const void* record);

// The format parts of the two records (each record from its byte 4: the room's sender then
// stands at 4, the table's at 0) as the control's line format; the readers above take their
// heads from these.
ChatTextFormat CopyChatMessage(const uint8_t* source);
ChatTextFormat CopyDeskChatMessage(const uint8_t* source);

// What a line reads of a person record of the host's user list.
struct PersonFacts {
  int32_t id = 0;
  std::string userName;  // GBK, at most 33 bytes
  std::string nickName;  // GBK, at most 33 bytes
  uint16_t forbidType = 0;
  int16_t headPicture = 0;
  int16_t isMember = 0;
  int32_t wealth = 0;
  int32_t money = 0;
};
PersonFacts ReadPerson(const void* record);

// The speaker's picture of the user flag list, 0 for none: 12 for money above 10000, the head
// picture when above 0 and not 10, 1 for a member; with forbidden, 2 for a forbidden speaker
// when nothing was chosen before.
int SpeakerFlagPicture(const PersonFacts& person, bool forbidden);

enum class RunFormat { kDefaultHead, kVipHead, kAdmin, kBroadcast, kRecord };

struct LineRun {
  enum class Type {
    kText,           // text in format
    kSpeakerName,    // the flag picture and clickable name of person
    kFlagPicture,    // picture of the user flag list
    kSystemPicture,  // picture of the system flag list
  };
  Type type = Type::kText;
  std::u16string text;
  RunFormat format = RunFormat::kDefaultHead;
  bool faces = false;  // the message part: its face keys become pictures
  int picture = 0;
  int32_t person = 0;
};

struct MessageLine {
  int pane = 2001;
  std::vector<LineRun> runs;
  bool trim = false;         // keep the pane to its last 66 lines after the runs
  bool scrollAlways = false; // scroll both panes down even when their readers scrolled up
};

struct ChatMessageInput {
  std::u16string text;
  int16_t kind = 0;
  int32_t sender = 0;
  int32_t receiver = 0;
  int32_t myId = -1;
  std::optional<PersonFacts> senderRecord;    // empty: no user list, or not in it
  std::optional<PersonFacts> receiverRecord;  // empty: to everybody
  bool senderBlocked = false;
  bool whisperMode = false;
  bool channelFlag = false;
  bool timeStamp = false;          // option 7
  bool breakAfterSpeaker = false;  // option 6
  int hour = 0, minute = 0, second = 0;
};

// Empty when the line is dropped: a forbidden word, an unknown or blocked sender.
std::optional<MessageLine> ComposeChatMessage(const ChatMessageInput& input,
                                              const CDirtyWordFilter& filter);
// The table's lines always go to the public pane (no time stamp, no receiver).
std::optional<MessageLine> ComposeDeskChatMessage(const ChatMessageInput& input,
                                                  const CDirtyWordFilter& filter);

}  // namespace chat
