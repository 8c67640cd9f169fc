// The hand-record file and its replay: the file's bytes (written and read back, spelled out by
// hand, cut short, lying about its counts), the play table's save and load with their messages,
// and a replayed hand that reaches the display and the rules engine exactly as the live hand did.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "mj_body.h"
#include "mj_fakes.h"
#include "mj_hand_file.h"
#include "mj_texts.h"
#include "session_texts.h"

namespace {

using Session = MjSessionT<FakeMjArithmetic>;

// ---------------------------------------------------------------------------------------------
// Bytes written by hand: little-endian numbers and archive strings.

class Bytes {
 public:
  Bytes& u8(int v) {
    b.push_back(static_cast<uint8_t>(v));
    return *this;
  }
  Bytes& le16(int v) { return u8(v & 0xFF).u8((v >> 8) & 0xFF); }
  Bytes& le32(int64_t v) {
    for (int shift = 0; shift < 32; shift += 8) u8(static_cast<int>((v >> shift) & 0xFF));
    return *this;
  }
  Bytes& str(const std::string& s) {
    u8(static_cast<int>(s.size()));
    b.insert(b.end(), s.begin(), s.end());
    return *this;
  }
  Bytes& zeros(size_t n) {
    b.insert(b.end(), n, 0);
    return *this;
  }
  std::vector<uint8_t> b;
};

// A record with something different in every field and every list.
CMjHandRecord FullRecord() {
  CMjHandRecord r;
  r.userId = 0x01020304;
  r.comInfo = "room 7 \xc5\xc6";
  r.subType = 3;
  r.seats = 2;
  for (uint32_t id : {11u, 12u}) {
    TablePerson p;
    p.id = id;
    std::snprintf(p.nickname, sizeof p.nickname, "nick%u", id);
    std::snprintf(p.username, sizeof p.username, "user%u", id);
    p.status = 4;
    p.seatno = static_cast<int16_t>(id - 11);
    r.persons.push_back(p);
  }
  r.hand = 5;
  r.banker = 1;
  r.wallSize = 72;
  r.stage = kStageFromTurn;
  r.deal.wallSeat = 1;
  r.deal.wallPosition = 9;
  r.deal.frontCount = 27;
  r.deal.dealCount[0] = 14;
  r.deal.dealCount[1] = 13;
  std::memset(r.deal.myTiles, C(0, 3), 20);
  r.snapshot3.head.handNo = 5;
  r.snapshot3.myHand[0] = static_cast<char>(C(1, 1));
  r.snapshot3.discards[1][29] = static_cast<char>(C(2, 2));
  r.snapshot3.melds[0][0] = 'm';
  r.snapshot3.kongs[0][0] = 'k';
  r.snapshot3.hiddenKongs[1][15] = 'h';
  r.snapshot3.turnSeat = 1;
  r.snapshot3.ting[1] = 1;
  r.snapshot3.handCount[0] = 13;
  r.snapshot3.turnState = 2;
  r.snapshot4.lastSeat = 0;
  r.snapshot4.lastTile[0] = static_cast<char>(C(4, 1));
  r.snapshot4.handCount[1] = 11;
  r.steps = {kStepDraw, kStepDiscard, kStepMeld, kStepAddedKong, kStepKongOnDiscard,
             kStepConcealedKong, kStepTing, kStepWin};
  CMjMessage_Draw d;
  d.seat = 1;
  d.tile[0] = static_cast<char>(C(0, 9));
  d.frontCount = 1;
  d.tilesLeft = 40;
  r.draws = {d};
  CMjMessage_Discard x;
  x.tile[0] = static_cast<char>(C(3, 1));
  r.discards = {x};
  CMjMessage_Meld m;
  m.seat = 1;
  m.kind = 2;
  std::memset(m.tiles, C(2, 8), 3);
  r.melds = {m};
  for (int i = 0; i < 3; ++i) {
    CMjMessage_KongDraw k;
    k.seat = 1;
    std::memset(k.kong, C(1, i + 1), 4);
    k.tile[0] = static_cast<char>(C(0, i + 1));
    k.backCount = 1;
    k.tilesLeft = static_cast<uint16_t>(30 - i);
    r.kongs.push_back(k);
  }
  CMjMessage_Ting t;
  t.seat = 1;
  t.word = 7;
  r.tings = {t};
  r.result.winnerSeat = 1;
  r.result.huType = 2;
  r.result.hands[0][0] = static_cast<char>(C(0, 1));
  r.result.hiddenKongs[1][0] = static_cast<char>(C(1, 5));
  r.wallEmpty.seat = 1;
  r.wallEmpty.word = 0;
  return r;
}

std::vector<uint8_t> Store(const CMjHandRecord& r) { return StoreHandFile(ListHead(), r); }

TEST(MjHandFile, RoundTripIsByteForByte) {
  ListHead head;
  std::strcpy(head.titles[7], "column 8");
  const std::vector<uint8_t> bytes = StoreHandFile(head, FullRecord());

  ListHead loadedHead;
  CMjHandRecord loaded;
  ASSERT_EQ(LoadHandFile(bytes.data(), bytes.size(), loadedHead, loaded), HandFileError::None);
  EXPECT_EQ(StoreHandFile(loadedHead, loaded), bytes);
  EXPECT_STREQ(loadedHead.titles[7], "column 8");
  EXPECT_EQ(loaded.comInfo, "room 7 \xc5\xc6");
  ASSERT_EQ(loaded.persons.size(), 2u);
  EXPECT_STREQ(loaded.persons[1].nickname, "nick12");
  EXPECT_EQ(loaded.kongs.size(), 3u);
  EXPECT_EQ(loaded.snapshot3.hiddenKongs[1][15], 'h');
  EXPECT_EQ(loaded.tings[0].word, 7);

  // Loading appends to the lists it finds.
  ASSERT_EQ(LoadHandFile(bytes.data(), bytes.size(), loadedHead, loaded), HandFileError::None);
  EXPECT_EQ(loaded.steps.size(), 16u);
  EXPECT_EQ(loaded.kongs.size(), 6u);
}

TEST(MjHandFile, AFileWrittenByHandIsRead) {
  Bytes f;
  // The list head: four titles, seventeen empty strings.
  f.str("\xd3\xc3\xbb\xa7\xc3\xfb").str("\xea\xc7\xb3\xc6").str("\xd0\xd4\xb1\xf0")
      .str("\xca\xc7\xb7\xf1\xbb\xe1\xd4\xb1").zeros(17);
  f.le32(0x01020304).str("ab").le16(3).le16(2);  // user id, comment, sub type, seats
  f.le32(0);                                      // no persons
  f.le16(1).le16(4).le16(72).le16(0);             // banker, hand, wall, stage
  // The deal: seven words, then 20 tile bytes.
  f.le16(0).le16(1).le16(5).le16(27).le16(0).le16(14).le16(13).u8(C(0, 1)).u8(C(0, 2)).zeros(18);
  // 653: the head, the own hand, per seat the discards then the three meld arrays byte by byte,
  // the turn seat, per seat ready flag and tile count, the turn state.
  f.le16(4).le16(72).le16(1).le16(1).le16(5).le16(27).le16(0).zeros(20);
  f.u8(C(2, 2)).zeros(29).u8('m').u8('k').u8('h').zeros(45);
  f.zeros(30 + 48);
  f.le16(1).le16(1).le16(13).le16(0).le16(14).le16(3);
  // 654: as 653 up to the last seat, then the last tile, per seat ready flag and tile count.
  f.zeros(14 + 20 + 2 * 78).le16(0).u8(C(4, 1)).u8(0).le16(0).le16(13).le16(0).le16(12);
  f.le32(3).le16(0).le16(1).le16(6);                                     // steps
  f.le32(1).le16(1).u8(C(0, 2)).u8(0).le16(1).le16(0).le16(50);         // draws
  f.le32(1).le16(0).u8(C(1, 3)).u8(0);                                   // discards
  f.le32(0).le32(0);                                                     // melds, kongs
  f.le32(1).le16(1).le16(0);                                             // tings: word, seat
  f.le16(1).le16(2).le16(0).u8(C(1, 3)).u8(0).zeros(40).zeros(32);      // the win
  f.le16(0).le16(1);                                                     // the empty wall

  ListHead head;
  std::memset(head.titles, 'x', sizeof head.titles);
  CMjHandRecord r;
  ASSERT_EQ(LoadHandFile(f.b.data(), f.b.size(), head, r), HandFileError::None);
  EXPECT_STREQ(head.titles[0], kTextColumnUserName);
  EXPECT_STREQ(head.titles[3], kTextColumnMember);
  EXPECT_STREQ(head.titles[20], "");
  EXPECT_EQ(r.userId, 0x01020304);
  EXPECT_EQ(r.comInfo, "ab");
  EXPECT_EQ(r.subType, 3);
  EXPECT_EQ(r.banker, 1);
  EXPECT_EQ(r.hand, 4);
  EXPECT_EQ(r.wallSize, 72);
  EXPECT_EQ(r.deal.wallSeat, 1);
  EXPECT_EQ(r.deal.dealCount[1], 13);
  EXPECT_EQ(r.deal.myTiles[1], static_cast<char>(C(0, 2)));
  EXPECT_EQ(r.snapshot3.discards[0][0], static_cast<char>(C(2, 2)));
  EXPECT_EQ(r.snapshot3.melds[0][0], 'm');
  EXPECT_EQ(r.snapshot3.kongs[0][0], 'k');
  EXPECT_EQ(r.snapshot3.hiddenKongs[0][0], 'h');
  EXPECT_EQ(r.snapshot3.turnSeat, 1);
  EXPECT_EQ(r.snapshot3.ting[0], 1);
  EXPECT_EQ(r.snapshot3.handCount[0], 13);
  EXPECT_EQ(r.snapshot3.handCount[1], 14);
  EXPECT_EQ(r.snapshot3.turnState, 3);
  EXPECT_EQ(r.snapshot4.lastTile[0], static_cast<char>(C(4, 1)));
  EXPECT_EQ(r.snapshot4.handCount[1], 12);
  EXPECT_EQ(r.steps, (std::vector<int16_t>{kStepDraw, kStepDiscard, kStepTing}));
  ASSERT_EQ(r.draws.size(), 1u);
  EXPECT_EQ(r.draws[0].tilesLeft, 50);
  EXPECT_EQ(r.discards[0].tile[0], static_cast<char>(C(1, 3)));
  ASSERT_EQ(r.tings.size(), 1u);
  EXPECT_EQ(r.tings[0].seat, 0);  // the second word of the entry
  EXPECT_EQ(r.tings[0].word, 1);
  EXPECT_EQ(r.result.huType, 2);
  EXPECT_EQ(r.wallEmpty.word, 1);
  // Written again, it is the same file.
  EXPECT_EQ(StoreHandFile(head, r), f.b);
}

TEST(MjHandFile, EveryTruncationIsRefusedAndChangesNothing) {
  const std::vector<uint8_t> bytes = Store(FullRecord());
  for (size_t n = 0; n < bytes.size(); ++n) {
    ListHead head;
    std::strcpy(head.titles[5], "kept");
    CMjHandRecord r;
    r.hand = 99;
    r.steps = {kStepDraw};
    const HandFileError error = LoadHandFile(bytes.data(), n, head, r);
    EXPECT_NE(error, HandFileError::None) << n;
    EXPECT_STREQ(head.titles[5], "kept") << n;
    EXPECT_EQ(r.hand, 99) << n;
    EXPECT_EQ(r.steps.size(), 1u) << n;
    EXPECT_TRUE(r.persons.empty()) << n;
  }
}

TEST(MjHandFile, SeatsAndCountsThatTheFileCannotHoldAreRefused) {
  CMjHandRecord base;
  base.comInfo = "c";
  base.steps = {kStepDraw, kStepDraw};
  const std::vector<uint8_t> good = Store(base);
  ArchiveWriter head;
  ListHead().Serialize(head);
  const size_t seatsAt = head.GetBytes().size() + 4 + 2 + 2;
  const size_t personsAt = seatsAt + 2;
  // After the steps' count: two steps, five empty lists, the win and the empty wall.
  const size_t stepsAt = good.size() - (4 + 2 * 2 + 5 * 4 + 80 + 4);
  const auto patch16 = [&](size_t at, int v) {
    std::vector<uint8_t> b = good;
    b[at] = static_cast<uint8_t>(v);
    b[at + 1] = static_cast<uint8_t>(v >> 8);
    return b;
  };
  const auto patch32 = [&](size_t at, uint32_t v) {
    std::vector<uint8_t> b = good;
    for (int i = 0; i < 4; ++i) b[at + static_cast<size_t>(i)] = static_cast<uint8_t>(v >> (8 * i));
    return b;
  };
  const struct {
    const char* what;
    std::vector<uint8_t> bytes;
    HandFileError error;
  } cases[] = {
      {"the file as written", good, HandFileError::None},
      {"three seats", patch16(seatsAt, 3), HandFileError::NotTwoSeats},
      {"no seats", patch16(seatsAt, 0), HandFileError::NotTwoSeats},
      {"negative seats", patch16(seatsAt, 0xFFFE), HandFileError::NotTwoSeats},
      {"two billion persons", patch32(personsAt, 0x7FFFFFFF), HandFileError::CountTooLarge},
      {"a negative person count", patch32(personsAt, 0xFFFFFFFF), HandFileError::CountTooLarge},
      {"a person read from the bytes after the count", patch32(personsAt, 1),
       HandFileError::Truncated},
      {"more steps than bytes", patch32(stepsAt, 1000), HandFileError::CountTooLarge},
      {"a negative step count", patch32(stepsAt, 0x80000000), HandFileError::CountTooLarge},
      {"one step too many for the rest", patch32(stepsAt, 3), HandFileError::Truncated},
  };
  for (const auto& c : cases) {
    ASSERT_EQ(c.bytes.size(), good.size());
    ListHead h;
    CMjHandRecord r;
    EXPECT_EQ(LoadHandFile(c.bytes.data(), c.bytes.size(), h, r), c.error) << c.what;
    if (c.error != HandFileError::None) EXPECT_TRUE(r.steps.empty()) << c.what;
  }
}

// ---------------------------------------------------------------------------------------------
// The play table's save and load.

class FakeRecordFiles : public IMjRecordFiles {
 public:
  explicit FakeRecordFiles(CallLog& log) : m_log(log) {}
  std::string savePath = "hand.rec";
  bool writeFails = false;
  bool askThrows = false;
  std::map<std::string, std::vector<uint8_t>> files;

  std::string AskSavePath() override {
    m_log.push_back("Files.Ask");
    if (askThrows) throw std::runtime_error("dialog failed");
    return savePath;
  }
  bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) override {
    m_log.push_back("Files.Write(" + path + ")");
    if (writeFails) return false;
    files[path] = bytes;
    return true;
  }
  bool ReadFile(const std::string& path, std::vector<uint8_t>& bytes) override {
    m_log.push_back("Files.Read(" + path + ")");
    const auto it = files.find(path);
    if (it == files.end()) return false;
    bytes = it->second;
    return true;
  }
  void ShowMessage(const char* text) override { m_log.push_back(std::string("Files.Message(") + text + ")"); }

 private:
  CallLog& m_log;
};

CallLog FileCalls(const CallLog& log) {
  CallLog out;
  for (const auto& line : log) {
    if (line.rfind("Files.", 0) == 0) out.push_back(line);
  }
  return out;
}

std::string Message(const char* text) { return std::string("Files.Message(") + text + ")"; }

// The local player at seat 1; bob (seat 0) deals hand 4.
const std::vector<uint8_t> kMine = {C(0, 1), C(0, 2), C(0, 3), C(0, 5), C(0, 7), C(1, 5), C(1, 5),
                                    C(1, 5), C(3, 2), C(3, 2), C(3, 2), C(2, 8), C(2, 8)};
const std::vector<uint8_t> kBobsHand = {C(1, 1), C(1, 1), C(1, 2), C(1, 3), C(1, 4), C(2, 2),
                                        C(2, 3), C(2, 4), C(4, 2), C(4, 2), C(0, 9), C(0, 9),
                                        C(0, 9)};
const Body kHandStart = Body().u16(0).u16(4).u16(72).u16(0).u16(1);
const Body kDeal = Body().u16(0).u16(1).u16(5).u16(27).u16(0).u16(14).u16(13).codes(kMine, 22);

Body Kong(uint8_t code, uint8_t replacement, int left) {
  return Body().u16(1).codes({code, code, code, code}, 6).codes({replacement}, 2).u16(0).u16(1).u16(left);
}

// Every kind of step, the three kongs among them, up to my self-drawn win.
const std::vector<std::pair<uint16_t, Body>> kSteps = {
    {616, Body().u16(0).codes({C(0, 4)}, 2)},
    {622, Body().u16(1).u16(1).codes({C(0, 3), C(0, 4), C(0, 5)}, 6)},
    {616, Body().u16(1).codes({C(0, 1)}, 2)},
    {621, Body().u16(0).codes({}, 2).u16(1).u16(0).u16(40)},
    {616, Body().u16(0).codes({C(3, 2)}, 2)},
    {639, Kong(C(3, 2), C(2, 8), 30)},
    {623, Kong(C(2, 8), C(1, 1), 29)},
    {616, Body().u16(1).codes({C(1, 1)}, 2)},
    {621, Body().u16(1).codes({C(1, 5)}, 2).u16(1).u16(0).u16(26)},
    {637, Kong(C(1, 5), C(0, 2), 20)},
    {631, Body().u16(1).u16(1)},
    {616, Body().u16(1).codes({C(0, 7)}, 2)},
    {621, Body().u16(0).codes({}, 2).u16(1).u16(0).u16(18)},
    {616, Body().u16(0).codes({C(4, 1)}, 2)},
    {621, Body().u16(1).codes({C(0, 2)}, 2).u16(1).u16(0).u16(17)},
    {627, Body().u16(1).u16(1).u16(0).codes({}, 2).codes(kBobsHand, 20)
              .codes({C(0, 2), C(0, 2), C(0, 2), C(0, 5), C(0, 5)}, 20).zeros(16)
              .codes({C(1, 5), C(1, 5), C(1, 5), C(1, 5)}, 16)},
};

// A live session with the files fake, ready to save.
struct Table {
  explicit Table(bool review = false) {
    s.table.SetRecordFiles(&files);
    s.table.comInfo = "room 7";
    s.table.reviewFile = "review.rec";
    s.settings.reviewMode = review ? 1 : 0;
  }
  Session s{1};
  FakeRecordFiles files{s.log};
};

TEST(MjHandRecord, SaveWritesTheHandAsPlayedAndSaysSoOnlyWhenItWasWritten) {
  const struct {
    const char* what;
    bool playHand;
    bool review;
    std::string path;
    bool writeFails;
    bool askThrows;
    CallLog calls;
  } cases[] = {
      {"a played hand", true, false, "a.rec", false, false,
       {"Files.Ask", "Files.Write(a.rec)", Message(kTextRecordSaved)}},
      {"the player cancels", true, false, "", false, false, {"Files.Ask"}},
      {"the file cannot be written", true, false, "a.rec", true, false,
       {"Files.Ask", "Files.Write(a.rec)", Message(kTextRecordSaveFailed)}},
      {"the dialog fails", true, false, "a.rec", false, true,
       {"Files.Ask", Message(kTextRecordSaveFailed)}},
      {"no hand yet", false, false, "a.rec", false, false, {Message(kTextNoRecordToSave)}},
      {"review mode", true, true, "a.rec", false, false, {}},
  };
  for (const auto& c : cases) {
    Table t;
    if (c.playHand) {
      ASSERT_TRUE(t.s.Send(601, kHandStart.b)) << c.what;
      ASSERT_TRUE(t.s.Send(611, kDeal.b)) << c.what;
      for (size_t i = 0; i < 4; ++i) ASSERT_TRUE(t.s.Send(kSteps[i].first, kSteps[i].second.b)) << c.what;
    }
    t.s.settings.reviewMode = c.review ? 1 : 0;
    t.files.savePath = c.path;
    t.files.writeFails = c.writeFails;
    t.files.askThrows = c.askThrows;
    const size_t mark = t.s.Mark();
    t.s.table.SaveHandRecord();
    EXPECT_EQ(FileCalls(t.s.Since(mark)), c.calls) << c.what;
    if (c.calls.empty() || c.calls.back() != Message(kTextRecordSaved)) continue;

    // What was written is the hand with the table's persons, read back as it was.
    const std::vector<uint8_t>& bytes = t.files.files.at(c.path);
    ListHead head;
    CMjHandRecord r;
    ASSERT_EQ(LoadHandFile(bytes.data(), bytes.size(), head, r), HandFileError::None);
    EXPECT_EQ(r.userId, 1);
    EXPECT_EQ(r.comInfo, "room 7");
    EXPECT_EQ(r.seats, 2);
    ASSERT_EQ(r.persons.size(), 2u);
    EXPECT_STREQ(r.persons[0].nickname, "me");
    EXPECT_STREQ(r.persons[1].nickname, "bob");
    EXPECT_EQ(r.hand, 4);
    EXPECT_EQ(r.wallSize, 72);
    EXPECT_EQ(r.steps, t.s.table.HandRecord().steps);
    EXPECT_EQ(r.steps.size(), 4u);
    EXPECT_EQ(StoreHandFile(head, r), bytes);
  }
}

TEST(MjHandRecord, AnUnreadableReviewFileIsReportedAndSetsNothingUp) {
  std::vector<uint8_t> threeSeats;
  {
    CMjHandRecord r;
    r.seats = 3;
    r.hand = 1;
    threeSeats = Store(r);
  }
  CMjHandRecord badBanker;
  badBanker.banker = 5;
  const struct {
    const char* what;
    bool present;
    std::vector<uint8_t> bytes;
  } cases[] = {
      {"no such file", false, {}},
      {"an empty file", true, {}},
      {"not a record", true, std::vector<uint8_t>(300, 0xFF)},
      {"three seats", true, threeSeats},
      {"a banker who is not at the table", true, Store(badBanker)},
  };
  for (const auto& c : cases) {
    Table t(true);
    if (c.present) t.files.files["review.rec"] = c.bytes;
    const size_t mark = t.s.Mark();
    t.s.table.LoadHandRecord();
    EXPECT_EQ(FileCalls(t.s.Since(mark)),
              (CallLog{"Files.Read(review.rec)", Message(kTextRecordUnreadable)}))
        << c.what;
    EXPECT_EQ(Shown(t.s.Since(mark)), CallLog{}) << c.what;
    EXPECT_TRUE(t.s.table.HandRecord().steps.empty()) << c.what;
  }
}

// Plays the hand live, saves it and loads it into a table in review mode.
struct LiveAndReview {
  void Run() {
    ASSERT_TRUE(live.s.Send(601, kHandStart.b));
    size_t mark = live.s.Mark();
    ASSERT_TRUE(live.s.Send(611, kDeal.b));
    liveDeal = Shown(live.s.Since(mark));
    mark = live.s.Mark();
    for (const auto& [id, body] : kSteps) ASSERT_TRUE(live.s.Send(id, body.b)) << id;
    liveSteps = Shown(live.s.Since(mark));
    live.files.savePath = "review.rec";
    live.s.table.SaveHandRecord();
    review.files.files = live.files.files;
    mark = review.s.Mark();
    review.s.table.LoadHandRecord();
    reviewLoad = Shown(review.s.Since(mark));
  }
  Table live;
  Table review{true};
  CallLog liveDeal, liveSteps, reviewLoad;
};

TEST(MjHandRecord, TheReplayShowsTheHandExactlyAsItWasPlayed) {
  LiveAndReview h;
  ASSERT_NO_FATAL_FAILURE(h.Run());
  // The record's players take their seats first (me at seat 1 is location 0, bob location 1);
  // hand 4 (the fourth wind), bob deals at location 1; the deal is the deal's own handler.
  CallLog load = {"T.SetReviewStyle(1)", "T.SetPersonLocation(0,1)", "T.SetPersonLocation(1,2)",
                  "T.ResetTable()", "A.SetHandNo(4)", "T.StartDeal()",
                  "A.StartOneHand(-1,1)", "T.StartOneHand()", "T.InitWall(72)",
                  "T.SetBanker(1,3)", "A.SetBanker(1,3)"};
  load.insert(load.end(), h.liveDeal.begin(), h.liveDeal.end());
  load.push_back("T.ShowControlButtons(1)");
  EXPECT_EQ(h.reviewLoad, load);
  ASSERT_FALSE(h.liveDeal.empty());

  Session& r = h.review.s;
  const size_t sent = r.socket.sent.size();
  const size_t steps = r.table.HandRecord().steps.size();
  ASSERT_EQ(steps, kSteps.size());
  const size_t mark = r.Mark();
  for (size_t i = 0; i < steps; ++i) r.table.ReplayNextStep();
  // The same calls on the display and the rules engine, the same table in the end; the win's
  // score report is not sent from a replay.
  EXPECT_EQ(Shown(r.Since(mark)), h.liveSteps);
  EXPECT_EQ(r.display.shown[0], h.live.s.display.shown[0]);
  EXPECT_EQ(r.display.shown[1], h.live.s.display.shown[1]);
  EXPECT_EQ(r.display.ting[0], h.live.s.display.ting[0]);
  EXPECT_EQ(r.socket.sent.size(), sent);
  // Nothing of the replay went into the record.
  EXPECT_EQ(r.table.HandRecord().steps.size(), steps);

  // At the end the replay stays where it is.
  const size_t end = r.Mark();
  r.table.ReplayNextStep();
  EXPECT_EQ(r.Since(end), CallLog{});
  EXPECT_EQ(static_cast<size_t>(r.table.ReplayPos()), steps);
}

TEST(MjHandRecord, AutomaticReviewStepsOncePerSecondAndStopsAtTheEnd) {
  LiveAndReview h;
  ASSERT_NO_FATAL_FAILURE(h.Run());
  Session& r = h.review.s;
  const size_t steps = r.table.HandRecord().steps.size();
  r.table.StartAutoReview();
  ASSERT_TRUE(r.timers.Running(kTimerReplayStep));
  r.timers.Advance(kReplayStepPeriod * 3);
  EXPECT_EQ(r.table.ReplayPos(), 3);
  r.timers.Advance(kReplayStepPeriod * (steps + 5));
  EXPECT_EQ(static_cast<size_t>(r.table.ReplayPos()), steps);
  EXPECT_FALSE(r.timers.Running(kTimerReplayStep));

  // Outside review mode the button starts nothing.
  h.live.s.table.StartAutoReview();
  EXPECT_FALSE(h.live.s.timers.Running(kTimerReplayStep));
}

TEST(MjHandRecord, AStepWhoseEntriesRanOutStopsTheReplayThere) {
  Table live;
  ASSERT_TRUE(live.s.Send(601, kHandStart.b));
  ASSERT_TRUE(live.s.Send(611, kDeal.b));
  ASSERT_TRUE(live.s.Send(kSteps[0].first, kSteps[0].second.b));
  live.s.table.SaveHandRecord();
  // A file from elsewhere: three steps, but only the one discard they name.
  std::vector<uint8_t>& bytes = live.files.files.at("hand.rec");
  ListHead head;
  CMjHandRecord r;
  ASSERT_EQ(LoadHandFile(bytes.data(), bytes.size(), head, r), HandFileError::None);
  r.steps = {kStepDiscard, 42, kStepDiscard, kStepDiscard};
  Table review(true);
  review.files.files["review.rec"] = StoreHandFile(head, r);
  review.s.table.LoadHandRecord();
  review.s.table.StartAutoReview();
  review.s.timers.Advance(kReplayStepPeriod * 10);
  // The discard, the unknown kind passed over, then the second discard has nothing to show.
  EXPECT_EQ(review.s.table.ReplayPos(), 2);
  EXPECT_FALSE(review.s.timers.Running(kTimerReplayStep));
}

TEST(MjHandRecord, ARecordTakenFromASnapshotStartsFromTheRebuiltTable) {
  Table live;
  const Body snapshot = Body().u16(3).u16(60).u16(0).u16(0).u16(2).u16(10).u16(1)
                            .codes(kMine, 20).codes({C(0, 4)}, 30).codes({C(0, 9)}, 30)
                            .zeros(16).zeros(16).zeros(16).zeros(16)
                            .codes({C(1, 5), C(1, 5), C(1, 5), C(1, 5)}, 16).zeros(16)
                            .u16(1).u16(0).u16(1).u16(13).u16(13).u16(1).zeros(2);
  ASSERT_EQ(snapshot.b.size(), 204u);
  size_t mark = live.s.Mark();
  ASSERT_TRUE(live.s.Send(653, snapshot.b));
  const CallLog liveShown = Shown(live.s.Since(mark));
  live.files.savePath = "review.rec";
  live.s.table.SaveHandRecord();

  Table review(true);
  review.files.files = live.files.files;
  mark = review.s.Mark();
  review.s.table.LoadHandRecord();
  CallLog expected = {"T.SetReviewStyle(1)", "T.SetPersonLocation(0,1)",
                      "T.SetPersonLocation(1,2)"};
  expected.insert(expected.end(), liveShown.begin(), liveShown.end());
  expected.push_back("T.ShowControlButtons(1)");
  EXPECT_EQ(Shown(review.s.Since(mark)), expected);
  EXPECT_EQ(review.s.display.shown[1], live.s.display.shown[1]);
}

}  // namespace
