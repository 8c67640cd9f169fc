// Every wire record: its size is the catalogue's, exactly the numbers the catalogue lists are
// turned to big-endian (texts, gaps and carried bytes travel as they stand), and turning the
// bytes back gives the record again. Outbound records frame with their id and trailer kind.
#include "framework_messages.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "byte_order.h"
#include "chat_messages.h"
#include "person_records.h"

namespace {

struct Number {
  size_t offset;
  size_t width;
};

// A record filled with a byte pattern, turned to wire bytes: the listed numbers come out with
// their bytes reversed (this host is little-endian, as x86 Windows is), every other byte as is;
// reading the wire bytes back gives the pattern again.
template <class Record>
void CheckRecord(size_t catalogueSize, const std::vector<Number>& numbers) {
  SCOPED_TRACE(::testing::Message() << "record of " << catalogueSize << " bytes");
  ASSERT_EQ(sizeof(Record), catalogueSize);
  ASSERT_EQ(Record::GetSize(), catalogueSize);
  std::vector<uint8_t> raw(sizeof(Record));
  for (size_t i = 0; i < raw.size(); ++i) raw[i] = static_cast<uint8_t>(i * 7 + 1);
  Record record;
  std::memcpy(&record, raw.data(), raw.size());

  const auto wire = ToWireBytes(record);
  std::vector<uint8_t> expected = raw;
  for (const Number& n : numbers) {
    for (size_t j = 0; j < n.width; ++j) expected[n.offset + j] = raw[n.offset + n.width - 1 - j];
  }
  for (size_t i = 0; i < raw.size(); ++i) EXPECT_EQ(wire[i], expected[i]) << "byte " << i;

  Record back;
  ASSERT_TRUE(ReadRecord(wire.data(), wire.size(), back));
  EXPECT_EQ(std::memcmp(&back, raw.data(), raw.size()), 0);

  Record untouched;
  std::memcpy(&untouched, raw.data(), raw.size());
  EXPECT_FALSE(ReadRecord(wire.data(), wire.size() - 1, untouched));
  EXPECT_EQ(std::memcmp(&untouched, raw.data(), raw.size()), 0);
}

TEST(SessionRecords, FrameworkMessageRecords) {
  CheckRecord<CVyrMessage_JoinTable>(16, {{0, 4}, {4, 2}, {6, 2}, {8, 2}, {10, 2}, {12, 2}, {14, 2}});
  CheckRecord<CVyrMessage_PersonState>(8, {{0, 4}, {4, 2}, {6, 2}});
  CheckRecord<CVyrMessage_GameAbort>(12, {{0, 2}, {2, 2}, {4, 2}, {8, 4}});
  CheckRecord<CVyrMessage_ConnectRefused>(8, {{0, 4}, {4, 2}});
  CheckRecord<CVyrMessage_LeaveBeforeStart>(8, {{0, 4}, {4, 2}});
  CheckRecord<CVyrMessage_SessionStart>(
      28, {{0, 4}, {4, 2}, {8, 4}, {12, 2}, {16, 4}, {20, 2}, {24, 4}});
  CheckRecord<CVyrMessage_PersonOffline>(8, {{0, 4}, {4, 2}, {6, 2}});
  CheckRecord<CVyrMessage_PlayerExit>(8, {{0, 4}, {4, 2}, {6, 2}});
  CheckRecord<CVyrMessage_WatcherExit>(12, {{0, 4}, {4, 2}, {6, 2}, {8, 2}});
  CheckRecord<CVyrMessage_ExitRequest>(8, {{0, 4}, {4, 2}, {6, 2}});
  CheckRecord<CVyrMessage_ExitAnswer>(16, {{0, 4}, {4, 2}, {8, 4}, {12, 2}, {14, 2}});
  CheckRecord<CVyrMessage_FinishHandFirst>(12, {{0, 2}, {4, 4}, {8, 2}});
  CheckRecord<CVyrMessage_MagicAction>(
      228, {{0, 2}, {4, 4}, {8, 4}, {12, 2}, {16, 4}, {20, 4}, {24, 2}, {26, 2}});
  CheckRecord<CVyrMessage_MagicActionRefused>(20, {{0, 2}, {4, 4}, {8, 4}, {12, 4}, {16, 2}});
  CheckRecord<CVyrMessage_PlayTimeNotice>(8, {{0, 2}, {2, 2}, {4, 4}});
  CheckRecord<CVyrMessage_RefereeLeft>(8, {{0, 4}, {4, 2}, {6, 2}});
  CheckRecord<AvatarItemRecord>(
      176, {{0, 4}, {4, 4}, {8, 4}, {12, 4}, {16, 4}, {20, 4}, {24, 2}, {98, 2}, {172, 2}});
  CheckRecord<RefereeRecord>(48, {{0, 4}, {38, 2}, {40, 2}, {42, 2}, {44, 2}});
  CheckRecord<InDeskChatHead>(48, {{0, 4}, {4, 2}, {6, 2}, {28, 4}, {32, 2}, {34, 2}, {36, 2},
                                   {38, 2}, {40, 2}, {42, 2}, {44, 2}});
}

TEST(SessionRecords, PersonWireRecords) {
  CheckRecord<PersonWire256>(
      256, {{0, 4},   {72, 2},  {74, 2},  {76, 2},  {78, 2},  {80, 2},  {82, 2},  {84, 4},
            {88, 4},  {92, 4},  {144, 4}, {160, 4}, {164, 2}, {168, 4}, {172, 4}, {176, 4},
            {180, 4}, {184, 4}, {188, 2}, {192, 4}, {196, 4}, {200, 4}, {204, 4}, {208, 2},
            {212, 4}, {216, 2}, {218, 2}, {220, 2}, {222, 2}, {224, 4}, {228, 4}, {232, 4}});
  CheckRecord<PersonWire264>(
      264, {{0, 4},   {72, 2},  {74, 2},  {76, 2},  {78, 2},  {80, 2},  {82, 2},  {84, 4},
            {88, 4},  {92, 2},  {94, 2},  {96, 2},  {100, 4}, {152, 4}, {168, 4}, {172, 2},
            {176, 4}, {180, 4}, {184, 4}, {188, 4}, {192, 4}, {196, 2}, {200, 4}, {204, 4},
            {208, 4}, {212, 4}, {216, 2}, {220, 4}, {224, 2}, {226, 2}, {228, 2}, {230, 2},
            {232, 4}, {236, 4}, {240, 4}});
  CheckRecord<PersonWire228>(
      228, {{0, 4},   {72, 2},  {74, 2},  {88, 4},  {104, 4}, {108, 2}, {110, 2}, {112, 2},
            {114, 2}, {116, 2}, {118, 2}, {120, 4}, {124, 4}, {128, 4}, {132, 4}, {136, 2},
            {138, 2}, {140, 2}, {142, 2}, {144, 4}, {148, 4}, {152, 4}, {176, 4}, {214, 2},
            {216, 2}, {220, 4}, {224, 4}});
  CheckRecord<PersonWire236>(
      236, {{0, 4},   {72, 2},  {74, 2},  {88, 4},  {104, 4}, {108, 2}, {110, 2}, {112, 2},
            {114, 2}, {116, 2}, {118, 2}, {120, 4}, {124, 4}, {128, 4}, {132, 4}, {136, 2},
            {138, 2}, {140, 2}, {142, 2}, {144, 2}, {146, 2}, {148, 2}, {152, 4}, {156, 4},
            {160, 4}, {184, 4}, {222, 2}, {224, 2}, {228, 4}, {232, 4}});
  CheckRecord<PersonWire228b>(
      228, {{0, 4},   {72, 2},  {74, 2},  {88, 4},  {104, 4}, {108, 2}, {110, 2}, {112, 2},
            {114, 2}, {116, 2}, {120, 4}, {124, 4}, {128, 4}, {132, 4}, {136, 2}, {138, 2},
            {140, 2}, {142, 2}, {144, 4}, {148, 4}, {152, 4}, {176, 4}, {214, 2}, {216, 2},
            {220, 4}, {224, 4}});
}

TEST(SessionRecords, FamilyMembersAndTheirPersonRecords) {
  const struct {
    uint16_t rosterId;
    size_t recordSize;
  } family[] = {{3106, 256}, {3156, 256}, {3206, 256}, {3256, 264}, {3306, 228},
                {3356, 236}, {3406, 228}, {3456, 256}, {3506, 256}};
  for (int k = 0; k < 9; ++k) {
    EXPECT_EQ(FamilyMember(family[k].rosterId, kTableRosterBase), k);
    EXPECT_EQ(FamilyMember(static_cast<uint16_t>(family[k].rosterId + 1), kPersonEnterBase), k);
    EXPECT_EQ(PersonWireSize(PersonWireKindOf(k)), family[k].recordSize) << k;
  }
  EXPECT_EQ(PersonWireKindOf(6), PersonWireKind::Wire228b);
  EXPECT_EQ(FamilyMember(3556, kTableRosterBase), -1);
  EXPECT_EQ(FamilyMember(3105, kTableRosterBase), -1);
  EXPECT_EQ(FamilyMember(3131, kTableRosterBase), -1);
}

// An outbound record framed: the header names its id and body size, the body is the record's
// wire bytes and the trailer is of the message's kind.
template <class Record>
void CheckPacked(const Record& record, uint16_t id, TrailerKind kind) {
  SCOPED_TRACE(id);
  FrameworkSession session;
  session.SessionKey = 0xA5A5A5A5;
  session.OutboundSequence = 99;
  MessageBuffer out;
  record.Pack(out, session);
  ASSERT_EQ(out.GetFrameLength(), sizeof(Record) + kFrameOverhead);
  const uint8_t* frame = out.GetData();
  EXPECT_EQ(LoadBigEndian16(frame), id);
  EXPECT_EQ(LoadBigEndian32(frame + 4), sizeof(Record) + kMessageTrailerSize);
  EXPECT_EQ(LoadBigEndian32(frame + 8), 100u);
  const auto body = ToWireBytes(record);
  EXPECT_EQ(std::memcmp(frame + kMessageHeaderSize, body.data(), body.size()), 0);
  const MessageTrailer trailer =
      kind == TrailerKind::Fixed ? MakeFixedTrailer({{body.data(), body.size()}})
                                 : MakeSessionTrailer({{body.data(), body.size()}}, frame + 8,
                                                      session.SessionKey);
  EXPECT_EQ(std::memcmp(frame + kMessageHeaderSize + body.size(), &trailer, sizeof trailer), 0);
}

TEST(SessionRecords, OutboundRecordsFrameWithTheirIdAndTrailer) {
  CVyrMessage_JoinTable join;
  join.userId = 5;
  CheckPacked(join, 3001, TrailerKind::Fixed);
  CVyrMessage_LeaveBeforeStart leave;
  leave.userId = 6;
  leave.seatCode = 1;
  CheckPacked(leave, 3005, TrailerKind::Fixed);
  CVyrMessage_PlayerExit exit;
  exit.userId = 7;
  CheckPacked(exit, 3026, TrailerKind::Session);
  CVyrMessage_WatcherExit watcher;
  watcher.watchNo = 2;
  CheckPacked(watcher, 3027, TrailerKind::Session);
  CVyrMessage_ExitRequest request;
  EXPECT_EQ(request.flag, 1);
  CheckPacked(request, 3031, TrailerKind::Session);
  CVyrMessage_ExitAnswer answer;
  answer.requesterId = 8;
  answer.answererId = 9;
  answer.answer = 1;
  CheckPacked(answer, 3032, TrailerKind::Session);
  CVyrMessage_MagicAction action;
  action.receiverId = 123456789;
  action.SetText("hello");
  CheckPacked(action, 3040, TrailerKind::Session);
}

TEST(SessionRecords, MagicActionCarriesAThirtyTwoBitReceiverAndBoundedWords) {
  CVyrMessage_MagicAction action;
  action.receiverId = 0x00012345;  // a user id above 16 bits
  action.SetText(std::string(300, 'w').c_str());
  EXPECT_EQ(action.textLength, 199);
  EXPECT_EQ(action.text[198], 'w');
  EXPECT_EQ(action.text[199], '\0');
  const auto wire = ToWireBytes(action);
  EXPECT_EQ(LoadBigEndian32(wire.data() + 20), 0x00012345u);
  EXPECT_EQ(LoadBigEndian16(wire.data() + 26), 199);

  MessageBuffer bodyOnly;
  action.Pack(bodyOnly);
  ASSERT_EQ(bodyOnly.GetFrameLength(), 228u);
  EXPECT_EQ(std::memcmp(bodyOnly.GetData(), wire.data(), wire.size()), 0);

  // Received: a length beyond the array and words without a NUL.
  CVyrMessage_MagicAction received;
  std::memset(received.text, 'x', sizeof received.text);
  received.textLength = 500;
  received.BoundText();
  EXPECT_EQ(received.textLength, 199);
  EXPECT_EQ(std::strlen(received.text), 199u);
  received.textLength = 3;
  received.BoundText();
  EXPECT_STREQ(received.text, "xxx");
}

TEST(SessionRecords, RecordListCountsWholeRecordsOnly) {
  std::vector<uint8_t> body(2 * 48 + 47, 0);
  StoreBigEndian32(body.data() + 48, 4242);
  CVyrMessage_RefereeList list;
  list.Init(body.data(), body.size());
  ASSERT_EQ(list.GetCount(), 2u);
  EXPECT_EQ(list.Get(1).id, 4242u);
  EXPECT_EQ(list.Get(2).id, 0u);  // past the end: a default record, nothing read
}

}  // namespace
