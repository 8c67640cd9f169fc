#include "message_lines.h"

#include <cstdio>
#include <cstring>

#include "chat_texts.h"
#include "gbk_codec.h"
#include "line_composer.h"
#include "text_utilities.h"
#include "user_manager.h"

namespace chat {
namespace {

template <typename T>
T At(const void* record, size_t offset) {
  T value{};
  std::memcpy(&value, static_cast<const uint8_t*>(record) + offset, sizeof value);
  return value;
}

// The format part: sender, receiver (none in the table's record), then the face (19 bytes
// kept, the rest zero), colour, size and the five style words one after another.
ChatTextFormat CopyHead(const uint8_t* source, size_t sender, size_t receiver, size_t face) {
  ChatTextFormat head;
  head.m_nSpeakerId = At<uint32_t>(source, sender);
  head.m_nSecondId = receiver ? At<uint32_t>(source, receiver) : 0;
  std::memset(head.m_sFontFace, 0, sizeof head.m_sFontFace);
  const char* name = reinterpret_cast<const char*>(source) + face;
  for (size_t i = 0; i + 1 < sizeof head.m_sFontFace && name[i]; ++i) head.m_sFontFace[i] = name[i];
  head.m_nColor = At<int32_t>(source, face + 20);
  head.m_nSize = At<int16_t>(source, face + 24);
  for (size_t i = 0; i < 5; ++i) head.m_nStyle[i] = At<int16_t>(source, face + 26 + 2 * i);
  return head;
}

const std::u16string& Said() {
  static const std::u16string said = GbkToWide(kTextSaid);
  return said;
}

std::u16string Wide(const char* gbk) { return GbkToWide(gbk); }
std::u16string Wide(const std::string& gbk) { return GbkToWide(gbk.c_str()); }

LineRun Text(std::u16string text, RunFormat format = RunFormat::kDefaultHead) {
  LineRun r;
  r.text = std::move(text);
  r.format = format;
  return r;
}

LineRun Picture(LineRun::Type type, int picture) {
  LineRun r;
  r.type = type;
  r.picture = picture;
  return r;
}

LineRun SpeakerName(int32_t person) {
  LineRun r;
  r.type = LineRun::Type::kSpeakerName;
  r.person = person;
  return r;
}

// A notice's label and format by its kind.
std::u16string KindPrefix(int16_t kind) {
  if (kind == kKindAdmin) return Wide(kTextAdminLabel) + u" ";
  if (kind == kKindBroadcast) return Wide(kTextBroadcastLabel) + u" ";
  return u"";
}
RunFormat KindFormat(int16_t kind) {
  if (kind == kKindAdmin) return RunFormat::kAdmin;
  if (kind == kKindBroadcast) return RunFormat::kBroadcast;
  return RunFormat::kVipHead;
}

bool Dropped(const ChatMessageInput& in, const CDirtyWordFilter& filter) {
  int16_t position = 0, length = 0;
  if (!filter.CheckText(std::u16string_view(in.text).substr(0, kMaxLineCharacters), position,
                        length))
    return true;
  return !in.senderRecord || in.senderBlocked;
}

// Speaker text is the part after the first "说：" from position 1 on; npos when none.
size_t SaidAt(const std::u16string& text) {
  const int at = FindPattern(text, 1, Said());
  return at < 0 ? std::u16string::npos : static_cast<size_t>(at);
}

// "进入房间" / "进来了" found from position 1 at a position above 3.
bool Announces(const std::u16string& text, const char* words) {
  return FindPattern(text, 1, Wide(words)) > 3;
}

void AddMessagePart(MessageLine& line, const ChatMessageInput& in, size_t said) {
  if (in.breakAfterSpeaker) line.runs.push_back(Text(u"\n  "));
  LineRun message = Text(in.text.substr(said + Said().size()), RunFormat::kRecord);
  message.faces = true;
  line.runs.push_back(std::move(message));
  line.trim = true;
}

}  // namespace

ChatTextFormat CopyChatMessage(const uint8_t* source) { return CopyHead(source, 4, 8, 12); }
ChatTextFormat CopyDeskChatMessage(const uint8_t* source) { return CopyHead(source, 0, 0, 8); }

ChatMessage ReadChatMessage(const void* record) {
  const auto* bytes = static_cast<const uint8_t*>(record);
  return {CopyChatMessage(bytes + 4), At<const char*>(record, 56)};
}
ChatMessage ReadDeskChatMessage(const void* record) {
  const auto* bytes = static_cast<const uint8_t*>(record);
  return {CopyDeskChatMessage(bytes + 4), At<const char*>(record, 52)};
}

PersonFacts ReadPerson(const void* record) {
  PersonFacts p;
  p.id = PersonId(record);
  p.userName = PersonUserName(record);
  p.nickName = PersonNickName(record);
  p.forbidType = At<uint16_t>(record, 76);
  p.headPicture = At<int16_t>(record, 78);
  p.isMember = At<int16_t>(record, 80);
  p.wealth = At<int32_t>(record, 84);
  p.money = At<int32_t>(record, 88);
  return p;
}

int SpeakerFlagPicture(const PersonFacts& p, bool forbidden) {
  int picture = 0;
  if (p.money > 10000) picture = 12;
  if (p.headPicture > 0 && p.headPicture != 10) picture = p.headPicture;
  if (p.isMember == 1) picture = 1;
  if (forbidden && p.forbidType == 1 && picture == 0) picture = 2;
  return picture;
}

std::optional<MessageLine> ComposeChatMessage(const ChatMessageInput& in,
                                              const CDirtyWordFilter& filter) {
  if (Dropped(in, filter)) return std::nullopt;
  MessageLine line;
  const bool mine = in.sender == in.myId;
  line.pane = (mine || in.receiverRecord) && in.channelFlag && in.whisperMode ? kChannelPane
                                                                               : kPublicPane;
  line.scrollAlways = mine || in.receiver == in.myId;
  line.runs.push_back(Text(u"\r"));
  if (in.timeStamp) {
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "(%02d:%02d:%02d) ", in.hour, in.minute, in.second);
    line.runs.push_back(Text(Wide(stamp)));
  }
  const std::u16string text = in.text.substr(0, kMaxLineCharacters);
  const size_t said = SaidAt(text);
  if (said != std::u16string::npos) {
    std::u16string verb = Said();
    if (in.receiverRecord) {
      const std::u16string to = Wide(in.kind == -1 ? kTextWhisperTo : kTextSayTo);
      verb = to + Wide(in.receiverRecord->nickName) + Said();
    }
    line.runs.push_back(SpeakerName(in.sender));
    line.runs.push_back(Text(verb));
    ChatMessageInput cut = in;
    cut.text = text;
    AddMessagePart(line, cut, said);
    return line;
  }
  std::u16string shown;
  if (Announces(text, kTextEntersRoom)) {
    line.runs.push_back(SpeakerName(in.sender));
    shown = Wide(kTextEntersRoom);
  } else {
    shown = KindPrefix(in.kind) + text;
  }
  if (line.pane == kChannelPane) shown = u"\r" + shown;
  line.runs.push_back(Text(shown, KindFormat(in.kind)));
  return line;
}

std::optional<MessageLine> ComposeDeskChatMessage(const ChatMessageInput& in,
                                                  const CDirtyWordFilter& filter) {
  if (Dropped(in, filter)) return std::nullopt;
  MessageLine line;
  line.runs.push_back(Text(u"\r "));
  if (const int picture = SpeakerFlagPicture(*in.senderRecord, true))
    line.runs.push_back(Picture(LineRun::Type::kFlagPicture, picture));
  const std::u16string text = in.text.substr(0, kMaxLineCharacters);
  const size_t said = SaidAt(text);
  if (said != std::u16string::npos) {
    line.runs.push_back(Text(Wide(in.senderRecord->nickName) + Said()));
    ChatMessageInput cut = in;
    cut.text = text;
    AddMessagePart(line, cut, said);
    return line;
  }
  if (Announces(text, kTextComesIn)) {
    line.runs.push_back(Text(Wide(kTextComesIn), KindFormat(in.kind)));
  } else {
    line.runs.push_back(Picture(LineRun::Type::kSystemPicture, 2));
    line.runs.push_back(Text(KindPrefix(in.kind) + text, KindFormat(in.kind)));
  }
  return line;
}

}  // namespace chat
