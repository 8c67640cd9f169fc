// The chat host's wire side: typed lines to outbound frames, received frames to shown lines,
// the line filter, the command phrases, the settings file and the chat log copy.
#include "chat_host.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "byte_order.h"
#include "chat_messages.h"
#include "framework_messages.h"
#include "tests/play_table_fakes.h"

namespace {

namespace fs = std::filesystem;

struct Shown {
  ChatTextFormat format;
  int32_t mine;
  std::string text;
};

class RecordingChatHost : public ChatHostCore {
 public:
  TablePerson* me = nullptr;
  std::map<std::pair<int16_t, int16_t>, TablePerson*> players;  // seat -> the player there
  std::vector<uint32_t> blocked;
  int canShow = 1;
  bool addTextFails = false;
  std::vector<Shown> shown;
  std::vector<std::string> calls;

 protected:
  TablePerson* GetMe() override { return me; }
  TablePerson* FindPersonAt(int16_t deskno, int16_t seatno, int16_t state) override {
    calls.push_back("FindPersonAt(" + std::to_string(deskno) + "," + std::to_string(seatno) + "," +
                    std::to_string(state) + ")");
    auto it = players.find({deskno, seatno});
    return it == players.end() ? nullptr : it->second;
  }
  std::vector<uint32_t> GetBlockedIds() override { return blocked; }
  int CanShowLines() override { return canShow; }
  int16_t GetSeatCode(int16_t, int16_t seatno) override { return static_cast<int16_t>(seatno + 10); }
  void AddText(const ChatTextFormat& format, int32_t mine, const char* text) override {
    if (addTextFails) throw ChatHostError("AddText", -1);
    shown.push_back({format, mine, text});
  }
};

TablePerson Person(uint32_t id, const char* nickname, const char* username, int16_t seatno,
                   int16_t watchno) {
  TablePerson person;
  person.id = id;
  std::strcpy(person.nickname, nickname);
  std::strcpy(person.username, username);
  person.deskno = 3;
  person.seatno = seatno;
  person.watchno = watchno;
  return person;
}

struct Outbound {
  uint16_t id;
  InDeskChatHead head;
  std::string text;  // without the NUL
  bool endsWithNul;
};

Outbound Decode(const std::vector<uint8_t>& frame) {
  Outbound out{};
  out.id = LoadBigEndian16(frame.data());
  const size_t bodyLength = LoadBigEndian32(frame.data() + 4) - kMessageTrailerSize;
  EXPECT_EQ(frame.size(), bodyLength + kFrameOverhead);
  const uint8_t* body = frame.data() + kMessageHeaderSize;
  EXPECT_TRUE(ReadRecord(body, bodyLength, out.head));
  out.text.assign(reinterpret_cast<const char*>(body) + 48, bodyLength - 49);
  out.endsWithNul = body[bodyLength - 1] == 0;
  return out;
}

class ChatHostTest : public ::testing::Test {
 protected:
  void SetUp() override { host.SetConnection(&socket, &session); }
  CallLog log;
  FakeSocket socket{log};
  FrameworkSession session;
  RecordingChatHost host;
};

// 说, 旁观 and the full-width colon in GBK.
const std::string kSays = "\xcb\xb5";
const std::string kWatching = "\xc5\xd4\xb9\xdb";
const std::string kColon = "\xa3\xba";

TEST_F(ChatHostTest, TypedLineGoesOutWithTheSpeakerPrefix) {
  TablePerson seated = Person(7, "Nick", "user7", 1, -1);
  TablePerson watcher = Person(8, "Wat", "user8", 1, 0);
  TablePerson lonely = Person(9, "Lone", "user9", 2, 1);
  TablePerson player = Person(6, "Host", "user6", 1, -1);
  host.players[{3, 1}] = &player;
  const struct {
    TablePerson* me;
    std::string prefix;
  } cases[] = {
      {&seated, "Nick(user7)" + kSays},
      {&watcher, "Wat(user8[" + kWatching + "<Host>])" + kSays},
      {&lonely, "Lone(user9[" + kWatching + "])" + kSays},
  };
  ChatTextFormat format;
  format.m_nSpeakerId = 999;  // replaced by the local player's id
  format.m_nColor = 0x0000FF;
  for (const auto& c : cases) {
    host.me = c.me;
    socket.sent.clear();
    host.SendInDeskChat(format, 1, "hello");
    ASSERT_EQ(socket.sent.size(), 1u);
    const Outbound out = Decode(socket.sent[0]);
    EXPECT_EQ(out.id, kInDeskChat);
    EXPECT_EQ(out.text, c.prefix + kColon + "hello");
    EXPECT_TRUE(out.endsWithNul);
    EXPECT_EQ(out.head.textLength, out.text.size());
    EXPECT_EQ(out.head.speakerId, c.me->id);
    EXPECT_EQ(out.head.seatCode, c.me->seatno + 10);
    EXPECT_EQ(out.head.watchNo, static_cast<uint16_t>(c.me->watchno));
    EXPECT_EQ(out.head.color, 0x0000FF);
  }
  // The watcher looked for the player seated at their seat (state 4).
  EXPECT_EQ(host.calls[0], "FindPersonAt(3,1,4)");
}

TEST_F(ChatHostTest, BeforeTheSessionTheLineGoesOutAs3009) {
  TablePerson me = Person(7, "Nick", "user7", 1, -1);
  host.me = &me;
  host.SendInDeskChatOnStart(ChatTextFormat{}, 0, "hi");
  ASSERT_EQ(socket.sent.size(), 1u);
  const Outbound out = Decode(socket.sent[0]);
  EXPECT_EQ(out.id, kInDeskChatOnStart);
  EXPECT_EQ(out.text, "Nick(user7)" + kSays + kColon + "hi");
}

TEST_F(ChatHostTest, LongLinesAreCutTo399BytesAndANulOnAWholeCharacter) {
  TablePerson me = Person(7, "N", "u", 1, -1);
  host.me = &me;
  const std::string prefix = "N(u)" + kSays + kColon;  // 8 bytes
  const struct {
    std::string typed;
    std::string kept;  // the text after the prefix
  } cases[] = {
      {std::string(600, 'a'), std::string(391, 'a')},
      {std::string(390, 'a') + "\xd6\xf7" + "zz", std::string(390, 'a')},  // would split it
      {std::string(389, 'a') + "\xd6\xf7" + "zz", std::string(389, 'a') + "\xd6\xf7"},
  };
  for (const auto& c : cases) {
    socket.sent.clear();
    host.SendInDeskChat(ChatTextFormat{}, 0, c.typed.c_str());
    const Outbound out = Decode(socket.sent.at(0));
    EXPECT_EQ(out.text, prefix + c.kept);
    EXPECT_LE(out.text.size(), 399u);
    EXPECT_TRUE(out.endsWithNul);
  }
}

TEST_F(ChatHostTest, CommandsSendTheirTextAndUnknownKeysNothing) {
  TablePerson me = Person(7, "N", "u", 1, -1);
  host.me = &me;
  host.commands = {{"hi", "x", "hello all"}, {"bye", "y", "see you"}, {"hi", "z", "second"}};
  host.SendCommand(ChatTextFormat{}, 0, "hi");
  host.SendCommand(ChatTextFormat{}, 0, "h");
  host.SendCommand(ChatTextFormat{}, 0, "nothing");
  ASSERT_EQ(socket.sent.size(), 1u);
  const Outbound out = Decode(socket.sent[0]);
  EXPECT_EQ(out.id, kInDeskChat);
  EXPECT_EQ(out.text, "N(u)" + kSays + kColon + "hello all");
}

TEST(ChatHost, SendingWithoutASocketRaisesAPointerError) {
  RecordingChatHost host;
  TablePerson me = Person(7, "N", "u", 1, -1);
  host.me = &me;
  try {
    host.SendInDeskChat(ChatTextFormat{}, 0, "x");
    FAIL() << "no error";
  } catch (const ChatHostError& error) {
    EXPECT_EQ(error.GetHResult(), ChatHostError::kPointer);
  }
}

std::vector<uint8_t> Body(uint32_t speaker, const std::string& text) {
  InDeskChatHead head;
  head.speakerId = speaker;
  std::memcpy(head.fontFace, "Face", 5);
  head.color = 0x00FF00;
  head.size = 12;
  head.style[0] = 1;
  head.textLength = static_cast<uint16_t>(text.size());
  const auto wire = ToWireBytes(head);
  std::vector<uint8_t> body(wire.begin(), wire.end());
  body.insert(body.end(), text.begin(), text.end());
  body.push_back(0);
  return body;
}

// The chat layer of the dispatch shows the line and answers; the play table's session, not the
// chat host, asks for the next header.
TEST_F(ChatHostTest, ReceivedChatIsShownAndAnswered) {
  const auto line = Body(42, "hi there");
  const std::vector<uint8_t> shortBody(47, 'x');
  std::vector<uint8_t> noisy(5000);
  for (size_t i = 0; i < noisy.size(); ++i) noisy[i] = static_cast<uint8_t>(i * 37 + 1);
  const struct {
    uint16_t id;
    const std::vector<uint8_t>* body;
    int canShow;
    MessageAnswer answer;
    size_t shown;
  } cases[] = {
      {3021, &line, 1, MessageAnswer::Taken, 1},
      {3009, &line, 1, MessageAnswer::Taken, 1},
      {3819, &line, 1, MessageAnswer::Taken, 1},
      {3022, &line, 1, MessageAnswer::NotMine, 0},   // not a chat message: left to the game
      {3021, &shortBody, 1, MessageAnswer::Taken, 0}, // too short for a line: dropped
      {3021, &line, 0, MessageAnswer::Taken, 0},      // lines may not be shown
      {3021, &noisy, 1, MessageAnswer::Taken, 1},     // any bytes: one bounded line
  };
  for (const auto& c : cases) {
    host.shown.clear();
    socket.requests.clear();
    host.canShow = c.canShow;
    EXPECT_EQ(host.OnChatMessage(c.id, c.body->size(), c.body->data()), c.answer) << c.id;
    EXPECT_EQ(host.shown.size(), c.shown) << c.id;
    EXPECT_TRUE(socket.requests.empty()) << c.id;
  }
  host.shown.clear();
  host.OnChatMessage(3021, line.size(), line.data());
  const Shown& s = host.shown.at(0);
  EXPECT_EQ(s.text, "hi there");
  EXPECT_EQ(s.mine, 0);
  EXPECT_EQ(s.format.m_nSpeakerId, 42u);
  EXPECT_EQ(s.format.m_nSecondId, 0u);
  EXPECT_STREQ(s.format.m_sFontFace, "Face");
  EXPECT_EQ(s.format.m_nColor, 0x00FF00);
  EXPECT_EQ(s.format.m_nSize, 12);
  EXPECT_EQ(s.format.m_nStyle[0], 1);
}

// A failing chat control's error reaches the dispatch, which ends that message's handling there
// and goes on receiving.
TEST_F(ChatHostTest, AFailingChatControlReportsItsError) {
  const auto line = Body(42, "hi");
  host.addTextFails = true;
  EXPECT_THROW(host.OnChatMessage(3021, line.size(), line.data()), ChatHostError);
  EXPECT_TRUE(socket.requests.empty());
}

TEST_F(ChatHostTest, FilterFlagsHideLinesAndMarkTheOwnOnes) {
  TablePerson me = Person(7, "N", "u", 1, -1);
  host.me = &me;
  host.blocked = {50, 51};
  const struct {
    uint32_t flags[5];
    uint32_t speaker, second;
    int canShow;
    int shown;  // -1 not shown, else the "mine" value
  } cases[] = {
      {{0, 0, 0, 0, 0}, 20, 0, 1, 0},
      {{0, 0, 0, 0, 0}, 7, 0, 1, 1},   // my own line
      {{0, 0, 0, 0, 0}, 20, 7, 1, 1},  // a line to me
      {{0, 1, 0, 0, 0}, 20, 7, 1, -1}, // F1 hides lines to me
      {{0, 1, 0, 0, 0}, 7, 0, 1, 1},
      {{0, 0, 0, 1, 0}, 51, 0, 1, -1}, // F3 hides blocked speakers
      {{0, 0, 0, 0, 0}, 51, 0, 1, 0},
      {{0, 0, 0, 0, 1}, 20, 0, 1, -1}, // F4 hides everything
      {{1, 0, 1, 0, 0}, 20, 0, 1, 0},  // F0 and F2 change nothing
      {{0, 0, 0, 0, 0}, 20, 0, 0, -1},
  };
  for (const auto& c : cases) {
    std::memcpy(host.flags, c.flags, sizeof host.flags);
    host.canShow = c.canShow;
    host.shown.clear();
    ChatTextFormat format;
    format.m_nSpeakerId = c.speaker;
    format.m_nSecondId = c.second;
    host.IsLineShown(format, "x");
    if (c.shown < 0) {
      EXPECT_TRUE(host.shown.empty()) << c.speaker << "/" << c.second;
    } else {
      ASSERT_EQ(host.shown.size(), 1u);
      EXPECT_EQ(host.shown[0].mine, c.shown) << c.speaker << "/" << c.second;
    }
  }
  // ShowLine ignores the flags.
  host.flags[4] = 1;
  host.canShow = 1;
  host.shown.clear();
  host.ShowLine(ChatTextFormat{}, "y");
  EXPECT_EQ(host.shown.size(), 1u);
}

fs::path TempPath(const char* name) {
  const fs::path dir = fs::temp_directory_path() / "korvel_chat_host_test";
  fs::create_directories(dir);
  const fs::path path = dir / name;
  fs::remove(path);
  return path;
}

std::vector<uint8_t> ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

TEST(ChatHost, SettingsFileIsCreatedSavedAndLoadedByAppending) {
  const fs::path path = TempPath("chat.set");
  RecordingChatHost host;
  host.SetSectionNames(path.string(), "second");
  EXPECT_TRUE(fs::exists(path));
  EXPECT_EQ(fs::file_size(path), 0u);
  EXPECT_TRUE(host.phrases.empty());

  host.phrases = {{"a", "b", "c"}, {"", std::string(300, 'l'), "\xd6\xf7"}};
  host.flags[1] = 1;
  host.flags[4] = 0x01020304;
  ASSERT_TRUE(host.SaveSettings());
  const auto bytes = ReadAll(path);
  // N, then "a" "b" "c" as one-byte lengths, the long string behind 0xFF and a u16.
  ASSERT_GE(bytes.size(), 10u);
  EXPECT_EQ(bytes[0], 2);
  EXPECT_EQ(bytes[4], 1);
  EXPECT_EQ(bytes[5], 'a');
  EXPECT_EQ(bytes[10], 0);           // the empty first string of the second triple
  EXPECT_EQ(bytes[11], 0xFF);
  EXPECT_EQ(bytes[12], 300 & 0xFF);
  EXPECT_EQ(bytes[13], 300 >> 8);

  RecordingChatHost again;
  again.SetSectionNames(path.string(), "");
  EXPECT_EQ(again.phrases, host.phrases);
  EXPECT_EQ(again.flags[1], 1u);
  EXPECT_EQ(again.flags[4], 0x01020304u);
  again.SetSectionNames(path.string(), "");  // a second load appends
  EXPECT_EQ(again.phrases.size(), 4u);
  EXPECT_EQ(fs::file_size(path), bytes.size());  // loading never truncates
}

TEST(ChatHost, DamagedSettingsLoadWhatTheyHoldAndKeepTheFlags) {
  RecordingChatHost host;
  host.flags[3] = 9;
  const uint8_t tiny[3] = {1, 0, 0};
  host.LoadSettings(tiny, sizeof tiny);
  EXPECT_TRUE(host.phrases.empty());

  ArchiveWriter archive;
  archive.WriteUInt32(0xFFFFFFFF);  // far more triples than the file holds
  archive.WriteString("p");
  archive.WriteString("q");
  archive.WriteString("r");
  archive.WriteString("cut");
  const auto bytes = archive.GetBytes();
  host.LoadSettings(bytes.data(), bytes.size());
  ASSERT_EQ(host.phrases.size(), 1u);
  EXPECT_EQ(host.phrases[0], (ChatTriple{"p", "q", "r"}));
  EXPECT_EQ(host.flags[3], 9u);
}

TEST(ChatHost, CommandListRoundTripsAndKeepsWhatWasReadBeforeDamage) {
  RecordingChatHost host;
  host.commands = {{"k1", "s1", "t1"}, {"k2", "s2", std::string(70000, 'x')}};
  ArchiveWriter out;
  host.StoreCommands(out);
  RecordingChatHost loaded;
  ArchiveReader in(out.GetBytes());
  loaded.LoadCommands(in);
  EXPECT_EQ(loaded.commands, host.commands);

  std::vector<uint8_t> cut(out.GetBytes().begin(), out.GetBytes().begin() + 30);
  RecordingChatHost partial;
  ArchiveReader damaged(cut);
  partial.LoadCommands(damaged);
  ASSERT_EQ(partial.commands.size(), 1u);
  EXPECT_EQ(partial.commands[0].first, "k1");
}

TEST(ChatHost, ChatLogCopyEndsAtAnOverlongLineAndNeedsALog) {
  const fs::path log = TempPath("chat.log");
  const fs::path copy = TempPath("copy.txt");
  {
    std::ofstream out(log);
    out << "first\n" << std::string(498, 's') << "\n" << std::string(499, 'm') << "\n" << std::string(500, 'L') << "\nlast\n";
  }
  RecordingChatHost host;
  host.chatLogPath = log.string();
  ASSERT_TRUE(host.CopyChatLog(copy.string()));
  const auto bytes = ReadAll(copy);
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()),
            "first\n" + std::string(498, 's') + "\n" + std::string(499, 'm') + "\n");

  // No log: the chosen file is not touched.
  { std::ofstream keep(copy); keep << "keep"; }
  host.chatLogPath = TempPath("missing.log").string();
  EXPECT_FALSE(host.CopyChatLog(copy.string()));
  host.chatLogPath.clear();
  EXPECT_FALSE(host.CopyChatLog(copy.string()));
  const auto kept = ReadAll(copy);
  EXPECT_EQ(std::string(kept.begin(), kept.end()), "keep");
}

}  // namespace
