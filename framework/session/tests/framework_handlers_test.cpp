// The framework's inbound handlers against a recording play table: which operations each
// message leads to, in which order, and what happens with short or odd bodies.
#include "framework_handlers.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "byte_order.h"
#include "chat_messages.h"
#include "framework_messages.h"
#include "person_records.h"
#include "recording_play_table.h"
#include "session_texts.h"

namespace {

using Calls = std::vector<std::string>;

template <class Record>
std::vector<uint8_t> Body(const Record& record) {
  const auto wire = ToWireBytes(record);
  return {wire.begin(), wire.end()};
}

struct SessionHandlers : ::testing::Test {
  RecordingPlayTable table;

  void SetUp() override {
    table.myId = 1;
    table.Add(1, "me", "myname", 4, 3, 0);
  }

  template <class Record>
  FrameworkHandling Handle(uint16_t id, const Record& record) {
    const auto body = Body(record);
    return Handle(id, body);
  }
  FrameworkHandling Handle(uint16_t id, const std::vector<uint8_t>& body) {
    // An exactly sized copy, so that a read past the body is caught.
    auto copy = std::make_unique<uint8_t[]>(body.size() + 1);
    if (!body.empty()) std::memcpy(copy.get(), body.data(), body.size());
    return HandleFrameworkMessage(id, copy.get(), body.size(), table);
  }
};

std::string Line(const char* format, const char* a, const char* b, const char* c = nullptr) {
  char text[512];
  std::snprintf(text, sizeof text, format, a, b, c);
  return text;
}

TEST_F(SessionHandlers, PersonStateCases) {
  table.Add(2, "bob", "bobby", 4, 3, 1);
  const std::string meEntered = "AddChatLine(0," + Line(kTextPersonEnteredTable, "me", "myname") + ")";
  const std::string bobEntered =
      "AddChatLine(0," + Line(kTextPersonEnteredTable, "bob", "bobby") + ")";
  const struct {
    uint32_t user;
    uint16_t failure;
    uint16_t state;
    Calls calls;
  } cases[] = {
      {1, 2, 4, {"OnNetworkEnd(0)"}},
      {2, 1, 2, {"OnNetworkEnd(0)"}},
      {1, 0, 2, {"OnNetworkEnd(2)", "SetGameOverFlag(0)", meEntered, "SetPlayerFlag(1)"}},
      {2, 0, 2, {"PlaySound(IDW_ONLINE)", "CloseWaitDialog", bobEntered}},
      {2, 0, 3, {"CloseWaitDialog", "KillTableTimer(204)"}},
      {1, 0, 4, {"CloseWaitDialog", meEntered, "SetPlayerFlag(0)"}},
      {1, 0, 5, {"CloseWaitDialog", "KillTableTimer(204)", "SetPlayerFlag(0)"}},
      {1, 0, 1, {"KillTableTimer(204)", meEntered, "SetPlayerFlag(1)"}},
      {99, 0, 1, {"KillTableTimer(204)"}},
      {99, 0, 7, {}},
  };
  for (const auto& c : cases) {
    table.calls.clear();
    CVyrMessage_PersonState m;
    m.userId = c.user;
    m.failureKind = c.failure;
    m.state = c.state;
    EXPECT_EQ(Handle(3002, m), FrameworkHandling::Handled);
    EXPECT_EQ(table.calls, c.calls) << "user " << c.user << " failure " << c.failure << " state "
                                    << c.state;
  }
}

TEST_F(SessionHandlers, GameAbortNotices) {
  table.Add(2, "bob", "bobby", 4);
  const struct {
    uint16_t endCode;
    int16_t kind;
    uint32_t user;
    Calls calls;
  } cases[] = {
      {5, -1, 2, {"OnNetworkEnd(5)"}},
      {0, -1, 2,
       {"SetGameOverFlag(1)",
        "ShowMessageNotice(" + Line(kTextUserQuitGameOver, "bob", "bobby") + ",close)"}},
      {0, -1, 9, {"SetGameOverFlag(1)", std::string("ShowMessageNotice(") + kTextSomeUserQuitAtStart + ",close)"}},
      {0, 0, 2,
       {"SetGameOverFlag(1)",
        "ShowMessageNotice(" + Line(kTextUserNotConnected, "bob", "bobby") + ",close)"}},
      {0, 7, 9, {"SetGameOverFlag(1)", std::string("ShowMessageNotice(") + kTextSomeUserNotConnected + ",close)"}},
  };
  for (const auto& c : cases) {
    table.calls.clear();
    CVyrMessage_GameAbort m;
    m.endCode = c.endCode;
    m.kind = c.kind;
    m.userId = c.user;
    Handle(3003, m);
    EXPECT_EQ(table.calls, c.calls) << c.endCode << "/" << c.kind << "/" << c.user;
  }
}

TEST_F(SessionHandlers, SessionStartStoresTheKeyAndGivesMissingAvatars) {
  table.Add(2, "bob", "bobby", 4)->sex = 1;
  table.Add(3, "eve", "evey", 5);       // watcher: no avatar
  table.Add(4, "amy", "amyy", 4);
  table.avatarItems.insert(4);         // already has one
  CVyrMessage_SessionStart m;
  m.sessionKey = 11;
  m.outboundSeed = 22;
  m.inboundBase = 33;
  Handle(3010, m);
  EXPECT_EQ(table.calls, (Calls{"StoreSessionKey(11,22,33)",
                                "AddAvatarItem(1,C:\\game\\ozkshow\\female.gif)",
                                "AddAvatarItem(2,C:\\game\\ozkshow\\male.gif)",
                                "PushAvatarsToTable"}));
}

TEST_F(SessionHandlers, PlainForwards) {
  CVyrMessage_PersonOffline offline;
  offline.userId = 70000;
  Handle(3016, offline);
  CVyrMessage_PlayerExit exit;
  exit.userId = 2;
  exit.reason = 9;
  Handle(3026, exit);
  CVyrMessage_ExitRequest request;
  request.userId = 3;
  Handle(3031, request);
  CVyrMessage_ExitAnswer answer;
  answer.requesterId = 4;
  answer.answererId = 5;
  answer.answer = 1;
  Handle(3032, answer);
  Handle(3004, CVyrMessage_ConnectRefused{});
  EXPECT_EQ(Handle(3011, std::vector<uint8_t>{}), FrameworkHandling::Handled);
  EXPECT_EQ(Handle(3161, std::vector<uint8_t>(176)), FrameworkHandling::Handled);
  EXPECT_EQ(table.calls, (Calls{"OnPlayerOffline(70000)", "OnPlayerExit(2,9)", "OnExitRequested(3)",
                                "OnExitAnswer(4,1)", "OnConnectRefused"}));
}

TEST_F(SessionHandlers, WatcherAndRefereeLeaving) {
  table.Add(2, "bob", "bobby", 4, 3, 1);
  table.Add(3, "eve", "evey", 5, 3, 1);  // watches bob
  table.Add(4, "sam", "sammy", 5, 3, 7); // watches an empty seat
  table.Add(5, "ref", "referee", 5, 3, 0);
  CVyrMessage_WatcherExit m;
  m.userId = 3;
  Handle(3027, m);
  m.userId = 4;
  Handle(3027, m);
  m.userId = 99;
  Handle(3027, m);
  CVyrMessage_RefereeLeft r;
  r.userId = 5;
  Handle(3821, r);
  EXPECT_EQ(table.calls,
            (Calls{"PersonListRemovePerson(3)",
                   "AddChatLine(32768," + Line(kTextWatcherOfLeft, "eve", "evey", "bob") + ")",
                   "RemovePerson(3)", "PersonListRemovePerson(4)",
                   "AddChatLine(32768," + Line(kTextWatcherLeft, "sam", "sammy") + ")",
                   "RemovePerson(4)", "PersonListRemovePerson(5)",
                   std::string("AddChatLine(128,") + kTextRefereeLeft + ")", "RemovePerson(5)"}));
  EXPECT_EQ(table.persons.size(), 2u);

  table.calls.clear();
  m.userId = 1;  // the local player
  Handle(3027, m);
  r.userId = 1;
  Handle(3821, r);
  EXPECT_EQ(table.calls, (Calls{"SetGameOverFlag(1)", "ExitGame", "SetGameOverFlag(1)", "ExitGame"}));
}

TEST_F(SessionHandlers, NoticesAddressedToTheLocalPlayerOnly) {
  CVyrMessage_FinishHandFirst finish;
  finish.userId = 2;
  Handle(3033, finish);
  finish.userId = 1;
  Handle(3033, finish);
  CVyrMessage_MagicActionRefused refused;
  refused.userId = 1;
  for (uint16_t reason : {1, 2, 3, 4, 9, 0}) {
    refused.reason = reason;
    Handle(3041, refused);
  }
  refused.userId = 2;
  Handle(3041, refused);
  auto notice = [](const char* text) {
    return std::string("ShowCountDownNotice(") + text + ",4000)";
  };
  EXPECT_EQ(table.calls, (Calls{notice(kTextFinishHandFirst), notice(kTextActionNotEntitled),
                                notice(kTextActionTooPoor), notice(kTextActionTooOften),
                                notice(kTextActionOverLimit), notice(kTextActionFailed),
                                notice(kTextActionFailed)}));
}

TEST_F(SessionHandlers, MagicActionKeepsTheReceiverIdAndBoundsTheWords) {
  CVyrMessage_MagicAction m;
  m.senderId = 2;
  m.receiverId = 0x00030001;
  std::memset(m.text, 'w', sizeof m.text);
  m.textLength = 400;
  Handle(3040, m);
  ASSERT_EQ(table.magicActions.size(), 1u);
  const CVyrMessage_MagicAction& shown = table.magicActions[0];
  EXPECT_EQ(shown.receiverId, 0x00030001);
  EXPECT_EQ(shown.textLength, 199);
  EXPECT_EQ(std::strlen(shown.text), 199u);
}

TEST_F(SessionHandlers, PlayTimeNoticeGoesToAHotRegion) {
  table.Add(2, "bob", "bobby", 4, 3, 1);
  CVyrMessage_PlayTimeNotice m;
  m.seat = 1;
  m.level = 3;
  Handle(3045, m);
  m.seat = 0;  // nobody at seat 0... but the local player is
  m.level = 2;
  Handle(3045, m);
  m.seat = 5;
  Handle(3045, m);
  m.seat = 1;
  m.level = 1;
  Handle(3045, m);
  ASSERT_EQ(table.hotRegions.size(), 2u);
  EXPECT_EQ(std::string(table.hotRegions[0].m_sText), Line(kTextPlayTimeOver5Hours, "me", "myname"));
  const HotRegionRecord& region = table.hotRegions[1];
  EXPECT_EQ(std::string(region.m_sText), Line(kTextPlayTimeOver3Hours, "bob", "bobby"));
  EXPECT_EQ(region.m_nKind, 1);
  EXPECT_EQ(region.m_nId, 0u);
  EXPECT_EQ(region.m_nStart, 0);
  EXPECT_EQ(region.m_nEnd, 0);
  EXPECT_EQ(region.m_nAction, 0u);
}

PersonWire256 Person256(uint32_t id, const char* nickname, uint16_t seatno, uint16_t headpicid,
                        uint16_t status = 4) {
  PersonWire256 w;
  w.id = id;
  std::strcpy(w.nickname, nickname);
  std::strcpy(w.username, nickname);
  w.seatno = seatno;
  w.deskno = 55;  // ignored for new persons: they sit at the local player's desk
  w.headpicid = headpicid;
  w.status = status;
  return w;
}

TEST_F(SessionHandlers, RosterAddsNewPersonsAndRefillsKnownOnes) {
  table.iconCount = 10;
  TablePerson* known = table.Add(2, "old", "old", 4, 3, 1);
  std::vector<uint8_t> body = Body(Person256(2, "renamed", 1, 23));
  const auto second = Body(Person256(7, "newbie", 3, 23));  // seat code 3 of a paired table
  body.insert(body.end(), second.begin(), second.end());
  body.resize(body.size() + 44, 0xEE);  // a rest shorter than a record is ignored
  EXPECT_EQ(Handle(3106, body), FrameworkHandling::Handled);
  EXPECT_EQ(table.calls, (Calls{"AppendPerson(7)", "ShowSeatPerson(0)", "ShowSeatPerson(1)"}));
  EXPECT_EQ(table.FindPerson(2), known);
  EXPECT_STREQ(known->nickname, "renamed");
  EXPECT_EQ(known->headpicid, 23);  // refilled persons keep the server's values
  EXPECT_EQ(known->deskno, 55);
  const TablePerson* added = table.FindPerson(7);
  ASSERT_NE(added, nullptr);
  EXPECT_EQ(added->headpicid, 3);  // 23 modulo 10 icons
  EXPECT_EQ(added->deskno, 3);
  EXPECT_EQ(added->seatno, 1);
}

TEST_F(SessionHandlers, RosterOfThreeHundredBytesYieldsOnePerson) {
  std::vector<uint8_t> body = Body(Person256(7, "solo", 0, 3));
  body.resize(300, 0);
  Handle(3106, body);
  EXPECT_NE(table.FindPerson(7), nullptr);
  EXPECT_EQ(table.persons.size(), 2u);
  EXPECT_EQ(table.FindPerson(7)->headpicid, 3);  // no icons loaded: unchanged
}

TEST_F(SessionHandlers, RosterFamiliesUseTheirOwnRecords) {
  PersonWire236 w;
  w.id = 8;
  std::strcpy(w.nickname, "wide");
  w.forceexit_num = 0xFFFF;
  Handle(3356, Body(w));
  ASSERT_NE(table.FindPerson(8), nullptr);
  EXPECT_STREQ(table.FindPerson(8)->nickname, "wide");
  EXPECT_EQ(table.FindPerson(8)->forceexit_num, 0xFFFF);
}

TEST_F(SessionHandlers, PersonEnter) {
  table.Add(2, "bob", "bobby", 4, 3, 1);
  Handle(3107, Person256(9, "eve", 1, 0, 5));
  Handle(3107, Person256(10, "sam", 7, 0, 5));
  Handle(3107, Person256(2, "bob", 1, 0, 4));  // known: nothing
  EXPECT_EQ(table.calls,
            (Calls{"AppendPerson(9)", "PersonListAddPerson(9)",
                   "AddChatLine(0," + Line(kTextWatcherOfEntered, "eve", "eve", "bob") + ")",
                   "AppendPerson(10)", "PersonListAddPerson(10)",
                   "AddChatLine(0," + Line(kTextWatcherEntered, "sam", "sam") + ")"}));
  EXPECT_EQ(table.FindPerson(10)->seatno, 5);
  EXPECT_EQ(Handle(3257, Body(Person256(11, "x", 0, 0))), FrameworkHandling::Dropped);  // 264 needed
}

TEST_F(SessionHandlers, AvatarList) {
  table.Add(2, "bob", "bobby", 4)->sex = 1;
  table.Add(3, "eve", "evey", 4);
  table.Add(4, "amy", "amyy", 4);
  table.Add(5, "sam", "sammy", 5);  // not playing: skipped
  table.existingFiles.insert("C:\\game\\ozkshow\\bob.gif");
  const struct {
    uint32_t user;
    const char* file;
  } records[] = {{2, "bob.gif"}, {3, "missing.gif"}, {4, "..\\..\\windows\\x.gif"},
                 {5, "sam.gif"}, {99, "nobody.gif"}, {2, "again.gif"}};
  std::vector<uint8_t> body;
  for (const auto& r : records) {
    AvatarItemRecord item;
    item.userId = r.user;
    std::strcpy(item.fileName, r.file);
    const auto bytes = Body(item);
    body.insert(body.end(), bytes.begin(), bytes.end());
  }
  Handle(3160, body);
  EXPECT_EQ(table.calls, (Calls{"FileExists(C:\\game\\ozkshow\\bob.gif)",
                                "AddAvatarItem(2,C:\\game\\ozkshow\\bob.gif)",
                                "FileExists(C:\\game\\ozkshow\\missing.gif)",
                                "AddAvatarItem(3,C:\\game\\ozkshow\\female.gif)",
                                "AddAvatarItem(4,C:\\game\\ozkshow\\female.gif)"}));
}

TEST_F(SessionHandlers, Referees) {
  table.iconCount = 1;
  RefereeRecord chief;
  chief.id = 20;
  std::strcpy(chief.username, "judge");
  chief.role = 1;
  chief.deskno = 9;
  RefereeRecord deputy = chief;
  deputy.id = 21;
  deputy.role = 2;
  std::vector<uint8_t> body = Body(chief);
  const auto second = Body(deputy);
  body.insert(body.end(), second.begin(), second.end());
  Handle(3806, body);
  EXPECT_EQ(table.calls, (Calls{"AppendPerson(20)", "PersonListAddPerson(20)", "AppendPerson(21)",
                                "PersonListAddPerson(21)", "ShowSeatPerson(0)", "ShowSeatPerson(1)"}));
  const TablePerson* added = table.FindPerson(21);
  EXPECT_STREQ(added->nickname, kTextDeputyReferee);
  EXPECT_EQ(added->priority, 3);
  EXPECT_EQ(added->seatno, 0);
  EXPECT_EQ(added->deskno, 3);
  EXPECT_EQ(added->headpicid, 0);  // 1 modulo one icon

  table.calls.clear();
  Handle(3817, chief);  // known: only the line
  RefereeRecord another = deputy;
  another.id = 22;
  Handle(3817, another);
  const std::string line = std::string("AddChatLine(128,") + kTextRefereeEntered + ")";
  EXPECT_EQ(table.calls, (Calls{line, "AppendPerson(22)", "PersonListAddPerson(22)", line}));
}

TEST_F(SessionHandlers, ShortBodiesAreDroppedUnread) {
  const struct {
    uint16_t id;
    size_t size;
  } fixed[] = {{3002, 8},  {3003, 12}, {3004, 8},  {3010, 28}, {3016, 8},
               {3026, 8},  {3027, 12}, {3031, 8},  {3032, 16}, {3033, 12},
               {3040, 228}, {3041, 20}, {3045, 8}, {3817, 48}, {3821, 8},
               {3107, 256}, {3257, 264}, {3307, 228}, {3357, 236}, {3407, 228}};
  for (const auto& f : fixed) {
    EXPECT_EQ(Handle(f.id, std::vector<uint8_t>(f.size - 1, 0x01)), FrameworkHandling::Dropped) << f.id;
    EXPECT_EQ(HandleFrameworkMessage(f.id, nullptr, 0, table), FrameworkHandling::Dropped) << f.id;
  }
  EXPECT_TRUE(table.calls.empty());
  // Lists with no whole record: nothing but the seat refresh.
  Handle(3806, std::vector<uint8_t>(47, 0));
  Handle(3110, std::vector<uint8_t>(175, 0));
  EXPECT_EQ(table.calls, (Calls{"ShowSeatPerson(0)", "ShowSeatPerson(1)"}));
}

TEST_F(SessionHandlers, OtherIdsAreNotTheFrameworks) {
  for (uint16_t id : {3009, 3021, 3819, 3001, 3005, 601, 655, 3556, 0}) {
    EXPECT_EQ(Handle(id, std::vector<uint8_t>(300, 0)), FrameworkHandling::NotFramework) << id;
  }
  EXPECT_TRUE(table.calls.empty());
}

TEST(SessionHeadPicture, ReducedModuloTheIcons) {
  EXPECT_EQ(ReduceHeadPicture(23, 10), 3);
  EXPECT_EQ(ReduceHeadPicture(23, 0), 23);
  EXPECT_EQ(ReduceHeadPicture(-3, 10), 7);  // never a negative icon number
}

TEST(SessionChatLine, ReadInDeskChatLine) {
  InDeskChatHead head;
  head.speakerId = 3;
  head.color = 255;
  const auto wire = ToWireBytes(head);
  std::vector<uint8_t> body(wire.begin(), wire.end());
  body.insert(body.end(), {'h', 'i', 0});
  ChatTextFormat format;
  format.m_nSecondId = 9;
  std::string text;
  ASSERT_TRUE(ReadInDeskChatLine(body.data(), body.size(), format, text));
  EXPECT_EQ(text, "hi");
  EXPECT_EQ(format.m_nSpeakerId, 3u);
  EXPECT_EQ(format.m_nSecondId, 0u);
  EXPECT_EQ(format.m_nColor, 255);
  EXPECT_FALSE(ReadInDeskChatLine(body.data(), 47, format, text));
}

}  // namespace
