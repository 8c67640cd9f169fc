#include "send_planner.h"

#include <algorithm>
#include <cstdio>

#include "chat_texts.h"
#include "text_copy.h"
#include "text_utilities.h"

namespace chat {

SendPlan PlanSend(const SendRequest& request, const CDirtyWordFilter& filter, SendClock& clock) {
  SendPlan plan;
  std::u16string text = request.text;
  bool whisper = false;

  if (request.whisperMode && request.haveUserList) {
    if (request.targetSelected && request.targetId != 0) {
      if (!request.targetPresent) {
        plan.outcome = SendOutcome::kTargetGone;
        plan.targetGoneBox = true;
        return plan;
      }
      whisper = request.targetId > 0;
    }
    plan.setReceiver = true;
    plan.receiverId = request.targetSelected ? request.targetId : -1;
  }

  const int caret = std::clamp(request.selectionStart, 0, static_cast<int>(text.size()));
  if (caret > 0 && text[caret - 1] == u'\r') {
    plan.deleteBreakBeforeCaret = true;
    text.erase(static_cast<size_t>(caret - 1), 1);
  }

  if (request.whisperMode && !whisper && !request.ownExempt && request.lineCount > 1) {
    size_t n = text.find(u'\r');
    if (n == std::u16string::npos) n = text.size();
    n = std::min<size_t>(n, kPublicLineCharacters);
    if (n < text.size()) {
      plan.cutFrom = static_cast<int>(n);
      text.erase(n);
    }
    char notice[256];
    std::snprintf(notice, sizeof notice, kTextSingleLineOnly, kPublicLineCharacters);
    plan.notices.push_back({notice, true});
  }

  if (text.empty()) return plan;  // nothing happens, no notice
  const size_t len = std::min(text.size(), kMaxSendBytes);
  const std::u16string read = text.substr(0, len);

  int16_t hit_position = 0, hit_length = 0;
  if (!filter.CheckText(read, hit_position, hit_length)) {
    plan.outcome = SendOutcome::kFiltered;
    plan.notices.push_back({kTextFilteredNotice, false});
    plan.clearInput = true;
    return plan;
  }

  std::string out;
  for (size_t i = 0; i < read.size(); ++i) {
    auto face = request.faces.find(static_cast<int>(i));
    if (face != request.faces.end())
      out += request.faceKey ? request.faceKey(face->second) : std::string();
    else
      out += WideSubstring(read, static_cast<int>(i), 1);
  }
  std::string line = out.substr(0, CutGbkText(out.data(), out.size(), kMaxSendBytes));
  while (!line.empty() &&
         (line.back() == '\r' || line.back() == '\n' || line.back() == ' ' || line.back() == '\t'))
    line.pop_back();
  plan.clearInput = true;
  if (line.empty()) {
    plan.outcome = SendOutcome::kEmpty;
    return plan;
  }

  if (static_cast<int32_t>(request.now - clock.last) < kMinSendInterval && request.now > 0) {
    plan.outcome = SendOutcome::kTooFast;
    plan.notices.push_back({kTextTooFast, true});
    return plan;
  }
  clock.last = request.now;

  plan.outcome = SendOutcome::kSent;
  plan.line = std::move(line);
  plan.whisper = whisper;
  plan.fireOnChat = true;
  if (request.haveUserList) {
    plan.kind = whisper ? static_cast<int16_t>(-1) : 0;
  } else {
    plan.kind = 0;
    plan.fireOnSendMyText = true;
  }
  return plan;
}

}  // namespace chat
