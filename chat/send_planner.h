// What sending the player's line does (the send button, Enter, IGChat::Send): the checks and
// cuts on the input's text, the notices, and the events in their order. The window side reads
// the input pane into a SendRequest, then applies the plan: edits to the input, notices, events.
#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "dirty_word_filter.h"

namespace chat {

// A sent line holds at most this many bytes (whole GBK characters), read from at most as many
// positions of the input.
inline constexpr size_t kMaxSendBytes = 380;
// A public line in whisper mode: its first line, at most this many characters.
inline constexpr int kPublicLineCharacters = 40;
inline constexpr int32_t kMinSendInterval = 1000;

struct SendRequest {
  std::u16string text;                      // the input pane's text
  std::map<int, int> faces;                 // position of a face picture -> its face number
  std::function<std::string(int)> faceKey;  // the text key of a face number ("" when none)
  int selectionStart = 0;
  int lineCount = 1;                        // as the pane counts them (wrapped lines too)
  bool whisperMode = false;
  bool haveUserList = false;                // a non-empty user list is set
  bool targetSelected = false;              // the whisper-target box has a selection
  int32_t targetId = -1;                    // its item data (-1: nothing selected)
  bool targetPresent = true;                // the user list holds the target
  bool ownExempt = false;                   // the own record's forbidtype is not 0
  uint32_t now = 0;                         // millisecond tick
};

struct Notice {
  std::string text;  // GBK
  bool bold = false;
};

enum class SendOutcome { kNothing, kTargetGone, kFiltered, kEmpty, kTooFast, kSent };

struct SendPlan {
  SendOutcome outcome = SendOutcome::kNothing;
  bool targetGoneBox = false;       // the message box of a target that has left
  bool deleteBreakBeforeCaret = false;
  int cutFrom = -1;                 // delete the input from this position (public line limit)
  bool clearInput = false;
  std::vector<Notice> notices;
  bool setReceiver = false;
  int32_t receiverId = 0;
  int16_t kind = 0;                 // the own format's kind word
  bool whisper = false;
  std::string line;                 // GBK, at most kMaxSendBytes
  bool fireOnChat = false;
  bool fireOnSendMyText = false;    // after OnChat
};

// The time of the last accepted line, shared by every control of the process.
class SendClock {
 public:
  uint32_t last = 0;
};

SendPlan PlanSend(const SendRequest& request, const CDirtyWordFilter& filter, SendClock& clock);

}  // namespace chat
