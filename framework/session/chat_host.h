// The portable half of the chat pane's host: the in-table chat over the wire (the player's lines
// out as 3021 or 3009, received 3009/3021/3819 lines in), the line filter, the stored command
// phrases, the chat settings file and the copy of the chat log. The window half
// (framework/window/, CVyrChatImp) derives from it and puts the chat control's calls and the
// game's person look-ups behind the pure operations below; tests use a recording stand-in.
//
// A missing socket throws ChatHostError with E_POINTER, as the control's wrapper does for a
// missing interface.
#pragma once
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "archive.h"
#include "message_answer.h"
#include "records/chat_text_format.h"
#include "records/table_person.h"
#include "socket_transport.h"
#include "wire_frame.h"

class ChatHostError : public std::runtime_error {
 public:
  static constexpr int32_t kPointer = static_cast<int32_t>(0x80004003);  // E_POINTER
  ChatHostError(const char* what, int32_t hresult) : std::runtime_error(what), m_hresult(hresult) {}
  int32_t GetHResult() const { return m_hresult; }

 private:
  int32_t m_hresult;
};

// Phrases and commands: three strings each. A command's first string is its key, its third the
// text sent.
struct ChatTriple {
  std::string first;
  std::string second;
  std::string third;
  bool operator==(const ChatTriple& other) const {
    return first == other.first && second == other.second && third == other.third;
  }
};

class ChatHostCore {
 public:
  // Typed text is cut to this many bytes before the speaker prefix is added.
  static constexpr size_t kMaxTypedText = 399;
  // A log line of this many characters or more ends the copy of the chat log.
  static constexpr size_t kMaxLogLine = 499;

  virtual ~ChatHostCore() = default;

  // The socket control and the session whose sequence and key sign the outbound lines.
  void SetConnection(IVyrSockTransport* socket, FrameworkSession* session) {
    m_socket = socket;
    m_session = session;
  }

  // The player's line as 3021 (after the session started) or 3009 (before); iswhisper is not
  // used. The frame is handed to the socket.
  void SendInDeskChat(const ChatTextFormat& format, int32_t iswhisper, const char* text);
  void SendInDeskChatOnStart(const ChatTextFormat& format, int32_t iswhisper, const char* text);
  // The text of the first command whose key is `key`, as 3021; no such command: nothing.
  void SendCommand(const ChatTextFormat& format, int32_t iswhisper, const std::string& key);

  // The chat layer of the play table's dispatch: 3009, 3021 and 3819 are shown (Taken; a body
  // too short to hold a line is dropped), any other id is NotMine. The play table's session asks
  // for the next header afterwards.
  MessageAnswer OnChatMessage(uint16_t id, size_t bodyLength, const uint8_t* body);

  // Shows a line unless the filter flags hide it.
  void IsLineShown(const ChatTextFormat& format, const char* text);
  // Shows a line without filtering (when lines may be shown at all).
  void ShowLine(const ChatTextFormat& format, const char* text);

  // Stores the settings path and the second name, then loads the settings file (created when
  // missing). Loading appends the stored phrases to those already held.
  void SetSectionNames(const std::string& settingsPath, const std::string& secondName);
  // Writes the phrases and flags over the start of the settings file; false when it cannot be
  // opened (loading creates it).
  bool SaveSettings();
  // The settings file's bytes, and loading from them (what SetSectionNames reads).
  std::vector<uint8_t> StoreSettings() const;
  void LoadSettings(const uint8_t* data, size_t size);

  // The command list: loading appends the triples read (a damaged archive keeps those read
  // before the damage); storing writes the count and the triples.
  void LoadCommands(ArchiveReader& archive);
  void StoreCommands(ArchiveWriter& archive) const;

  // Copies the chat log, line by line, into `destination`. False, with the destination left
  // untouched, when there is no log to copy.
  bool CopyChatLog(const std::string& destination) const;

  // The speaker prefix of the local player's lines.
  std::string BuildSpeakerPrefix(const TablePerson& me);

  uint32_t flags[5] = {};  // F0..F4; F1 hides lines to me, F3 lines of blocked users, F4 all
  std::vector<ChatTriple> phrases;
  std::vector<ChatTriple> commands;
  std::string secondName;
  std::string settingsPath;
  std::string chatLogPath;

 protected:
  // What the game wrapper supplies.
  virtual TablePerson* GetMe() = 0;
  virtual TablePerson* FindPersonAt(int16_t deskno, int16_t seatno, int16_t state) = 0;
  virtual std::vector<uint32_t> GetBlockedIds() = 0;
  // Non-zero when chat lines may be shown.
  virtual int CanShowLines() = 0;
  virtual int16_t GetSeatCode(int16_t deskno, int16_t seatno) = 0;
  // The chat control's AddText: the format's address, 1 for the player's own line, the text.
  virtual void AddText(const ChatTextFormat& format, int32_t mine, const char* text) = 0;

 private:
  void SendLine(const ChatTextFormat& format, const char* text, bool onStart);
  IVyrSockTransport& Socket();

  IVyrSockTransport* m_socket = nullptr;
  FrameworkSession* m_session = nullptr;
};
