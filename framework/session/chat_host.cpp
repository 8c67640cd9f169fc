#include "chat_host.h"

#include <cstdio>
#include <fstream>
#include <memory>

#include "chat_messages.h"
#include "framework_messages.h"
#include "text_copy.h"

namespace {

// %s(%s)说
constexpr char kTextPlayerSays[] = "%s(%s)\xcb\xb5";
// %s(%s[旁观<%s>])说
constexpr char kTextWatcherOfSays[] = "%s(%s[\xc5\xd4\xb9\xdb<%s>])\xcb\xb5";
// %s(%s[旁观])说
constexpr char kTextWatcherSays[] = "%s(%s[\xc5\xd4\xb9\xdb])\xcb\xb5";
// %s：%s
constexpr char kTextSaid[] = "%s\xa3\xba%s";

constexpr int16_t kStatePlaying = 4;

template <size_t N>
std::string Field(const char (&text)[N]) {
  return std::string(text, BoundedLength(text, N));
}

template <class... Args>
std::string Format(const char* format, const Args&... args) {
  const int length = std::snprintf(nullptr, 0, format, args.c_str()...);
  if (length <= 0) return {};
  std::string out(static_cast<size_t>(length) + 1, '\0');
  std::snprintf(out.data(), out.size(), format, args.c_str()...);
  out.resize(static_cast<size_t>(length));
  return out;
}

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

}  // namespace

IVyrSockTransport& ChatHostCore::Socket() {
  if (!m_socket || !m_session) throw ChatHostError("no socket", ChatHostError::kPointer);
  return *m_socket;
}

std::string ChatHostCore::BuildSpeakerPrefix(const TablePerson& me) {
  const std::string nickname = Field(me.nickname);
  const std::string username = Field(me.username);
  if (me.watchno == -1) return Format(kTextPlayerSays, nickname, username);
  if (const TablePerson* player = FindPersonAt(me.deskno, me.seatno, kStatePlaying)) {
    return Format(kTextWatcherOfSays, nickname, username, Field(player->nickname));
  }
  return Format(kTextWatcherSays, nickname, username);
}

void ChatHostCore::SendLine(const ChatTextFormat& format, const char* text, bool onStart) {
  IVyrSockTransport& socket = Socket();
  // The typed text, at most 399 bytes (cut on a whole character).
  const std::string typed = text ? std::string(text) : std::string();
  const std::string buffer(typed.data(), CutGbkText(typed.data(), typed.size(), kMaxTypedText));
  const TablePerson* me = GetMe();
  if (!me) return;  // no local player yet: nobody to speak for

  std::unique_ptr<CVyrChatMessage_InDesk> line;
  if (onStart) {
    line = std::make_unique<CVyrChatMessage_InDesk_OnStart>();
  } else {
    line = std::make_unique<CVyrChatMessage_InDesk>();
  }
  line->head.SetFormat(format);
  line->head.speakerId = me->id;
  line->head.seatCode = static_cast<uint16_t>(GetSeatCode(me->deskno, me->seatno));
  line->head.watchNo = static_cast<uint16_t>(me->watchno);
  // The message cuts the whole line to 399 bytes and a NUL.
  line->text = Format(kTextSaid, BuildSpeakerPrefix(*me), buffer);

  MessageBuffer frame;
  line->Pack(frame, *m_session);
  socket.Send(frame.GetData(), static_cast<int16_t>(frame.GetFrameLength()));
}

void ChatHostCore::SendInDeskChat(const ChatTextFormat& format, int32_t, const char* text) {
  SendLine(format, text, false);
}

void ChatHostCore::SendInDeskChatOnStart(const ChatTextFormat& format, int32_t, const char* text) {
  SendLine(format, text, true);
}

void ChatHostCore::SendCommand(const ChatTextFormat& format, int32_t iswhisper,
                               const std::string& key) {
  for (const ChatTriple& command : commands) {
    if (command.first == key) {
      SendInDeskChat(format, iswhisper, command.third.c_str());
      return;
    }
  }
}

MessageAnswer ChatHostCore::OnChatMessage(uint16_t id, size_t bodyLength, const uint8_t* body) {
  if (id != kInDeskChatOnStart && id != kInDeskChat && id != kInDeskChatSystem) {
    return MessageAnswer::NotMine;
  }
  CVyrChatMessage_InDesk line;
  if (!body || !line.Unpack(body, bodyLength)) return MessageAnswer::Taken;  // too short: dropped
  ChatTextFormat format;
  line.head.CopyFormatTo(format);
  ShowLine(format, line.text.c_str());
  return MessageAnswer::Taken;
}

void ChatHostCore::ShowLine(const ChatTextFormat& format, const char* text) {
  if (!CanShowLines()) return;
  AddText(format, 0, text);
}

void ChatHostCore::IsLineShown(const ChatTextFormat& format, const char* text) {
  if (!CanShowLines()) return;
  if (flags[4]) return;
  const TablePerson* me = GetMe();
  if (flags[1] && me && format.m_nSecondId == me->id) return;
  if (flags[3]) {
    for (uint32_t blocked : GetBlockedIds()) {
      if (blocked == format.m_nSpeakerId) return;
    }
  }
  const int32_t mine =
      me && (me->id == format.m_nSecondId || me->id == format.m_nSpeakerId) ? 1 : 0;
  AddText(format, mine, text);
}

namespace {

bool ReadTriple(ArchiveReader& archive, ChatTriple& triple) {
  return archive.ReadString(triple.first) && archive.ReadString(triple.second) &&
         archive.ReadString(triple.third);
}

void WriteTriples(ArchiveWriter& archive, const std::vector<ChatTriple>& triples) {
  archive.WriteUInt32(static_cast<uint32_t>(triples.size()));
  for (const ChatTriple& triple : triples) {
    archive.WriteString(triple.first);
    archive.WriteString(triple.second);
    archive.WriteString(triple.third);
  }
}

// Appends up to `count` triples; a triple cut short is not kept. The count is never trusted
// beyond what the archive holds.
void ReadTriples(ArchiveReader& archive, uint32_t count, std::vector<ChatTriple>& triples) {
  for (uint32_t i = 0; i < count; ++i) {
    ChatTriple triple;
    if (!ReadTriple(archive, triple)) return;
    triples.push_back(std::move(triple));
  }
}

}  // namespace

void ChatHostCore::LoadSettings(const uint8_t* data, size_t size) {
  if (size <= 3) return;
  ArchiveReader archive(data, size);
  uint32_t count = 0;
  if (!archive.ReadUInt32(count)) return;
  ReadTriples(archive, count, phrases);
  uint32_t read[5] = {};
  for (uint32_t& flag : read) archive.ReadUInt32(flag);
  if (!archive.IsOk()) return;  // a damaged file keeps the flags held
  for (int i = 0; i < 5; ++i) flags[i] = read[i];
}

std::vector<uint8_t> ChatHostCore::StoreSettings() const {
  ArchiveWriter archive;
  WriteTriples(archive, phrases);
  for (uint32_t flag : flags) archive.WriteUInt32(flag);
  return archive.GetBytes();
}

void ChatHostCore::SetSectionNames(const std::string& path, const std::string& second) {
  settingsPath = path;
  secondName = second;
  // Open for reading and writing, creating the file when missing and never truncating it.
  File file(std::fopen(settingsPath.c_str(), "r+b"));
  if (!file) file.reset(std::fopen(settingsPath.c_str(), "a+b"));
  if (!file) return;
  std::fseek(file.get(), 0, SEEK_SET);
  std::vector<uint8_t> bytes;
  uint8_t chunk[4096];
  size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, file.get())) > 0) {
    bytes.insert(bytes.end(), chunk, chunk + got);
  }
  LoadSettings(bytes.data(), bytes.size());
}

bool ChatHostCore::SaveSettings() {
  if (settingsPath.empty()) return false;
  File file(std::fopen(settingsPath.c_str(), "r+b"));
  if (!file) return false;
  const std::vector<uint8_t> bytes = StoreSettings();
  return std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size() &&
         std::fflush(file.get()) == 0;
}

void ChatHostCore::LoadCommands(ArchiveReader& archive) {
  uint32_t count = 0;
  if (!archive.ReadUInt32(count)) return;
  ReadTriples(archive, count, commands);
}

void ChatHostCore::StoreCommands(ArchiveWriter& archive) const { WriteTriples(archive, commands); }

bool ChatHostCore::CopyChatLog(const std::string& destination) const {
  if (chatLogPath.empty()) return false;
  std::ifstream log(chatLogPath);
  if (!log.is_open()) return false;
  std::ofstream out(destination, std::ios::out | std::ios::trunc);
  if (!out.is_open()) return false;
  char line[kMaxLogLine + 1];
  while (log.getline(line, sizeof line)) {
    out << line << '\n';
    out.flush();
  }
  return true;
}
