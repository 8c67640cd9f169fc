// The mahjong catalogue and the tile codec: body sizes, the byte order of every converted field,
// whole outbound frames against vectors computed outside this code base, the archive forms of
// the hand record, and the codec as a table.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "mj_body.h"
#include "mj_fakes.h"
#include "mj_frame_vectors.h"
#include "tile_codec.h"

namespace {

TEST(MjCatalogue, BodySizes) {
  struct Size {
    uint16_t id;
    size_t size;
  };
  const Size sizes[] = {
      {601, sizeof(CMjMessage_BankerAndWall)}, {602, sizeof(CMjMessage_Control)},
      {606, sizeof(CMjMessage_StartDice)},     {607, sizeof(CMjMessage_Dice)},
      {611, sizeof(CMjMessage_Deal)},          {616, sizeof(CMjMessage_Discard)},
      {617, sizeof(CMjMessage_Action)},        {621, sizeof(CMjMessage_Draw)},
      {622, sizeof(CMjMessage_Meld)},          {623, sizeof(CMjMessage_MeldDraw)},
      {626, sizeof(CMjMessage_HuRequest)},     {627, sizeof(CMjMessage_HuResult)},
      {628, sizeof(CMjMessage_WallEmpty)},     {631, sizeof(CMjMessage_Ting)},
      {636, sizeof(CMjMessage_Gang)},          {637, sizeof(CMjMessage_GangDraw)},
      {638, sizeof(CMjMessage_Gang)},          {639, sizeof(CMjMessage_GangDraw2)},
      {641, sizeof(CMjMessage_HuAck)},         {642, sizeof(CMjMessage_ScoreInfo)},
      {651, sizeof(CMjMessage_Resume1)},       {652, sizeof(CMjMessage_Resume2)},
      {653, sizeof(CMjMessage_Resume3)},       {654, sizeof(CMjMessage_Resume4)},
      {655, sizeof(CMjMessage_Resume5)},
  };
  for (const Size& s : sizes) EXPECT_EQ(MjBodySize(s.id), s.size) << s.id;
  EXPECT_EQ(MjBodySize(600), 0u);
  EXPECT_EQ(MjBodySize(3021), 0u);
}

// Inbound bodies written byte by byte come out with every number in place.
TEST(MjCatalogue, InboundConversion) {
  CMjMessage_Resume3 r3;
  const Body b3 = Body().u16(7).u16(72).u16(1).u16(0).u16(9).u16(0xFFFE).u16(3)
                      .codes({C(0, 1), C(0, 2)}, 20).codes({C(1, 1)}, 30).codes({C(1, 2)}, 30)
                      .zeros(96).u16(1).u16(0).u16(1).u16(13).u16(12).u16(4).u16(0xABCD);
  ASSERT_TRUE(ReadRecord(b3.b.data(), b3.b.size(), r3));
  EXPECT_EQ(r3.head.handNo, 7);
  EXPECT_EQ(r3.head.wallSize, 72);
  EXPECT_EQ(r3.head.bankerSeat, 1);
  EXPECT_EQ(r3.head.wallPosition, 9);
  EXPECT_EQ(r3.head.frontCount, -2);
  EXPECT_EQ(r3.head.backCount, 3);
  EXPECT_EQ(r3.myHand[1], static_cast<char>(C(0, 2)));
  EXPECT_EQ(r3.discards[1][0], static_cast<char>(C(1, 2)));
  EXPECT_EQ(r3.turnSeat, 1);
  EXPECT_EQ(r3.ting[1], 1);
  EXPECT_EQ(r3.handCount[0], 13);
  EXPECT_EQ(r3.handCount[1], 12);
  EXPECT_EQ(r3.turnState, 4);

  CMjMessage_Resume5 r5;
  const Body b5 = Body().zeros(14).codes({C(2, 2)}, 20).codes({C(2, 3)}, 20).zeros(60).zeros(96)
                      .u16(1).u16(2).u16(0).codes({C(2, 9)}, 2).u16(11).u16(13).u16(0).u16(1).zeros(2);
  ASSERT_TRUE(ReadRecord(b5.b.data(), b5.b.size(), r5));
  EXPECT_EQ(r5.winnerSeat, 1);
  EXPECT_EQ(r5.huType, 2);
  EXPECT_EQ(r5.huTile[0], static_cast<char>(C(2, 9)));
  EXPECT_EQ(r5.handCount[1], 13);
  EXPECT_EQ(r5.ting[1], 1);
  const CMjMessage_HuResult hu = r5.ToHuResult();
  EXPECT_EQ(hu.winnerSeat, 1);
  EXPECT_EQ(hu.hands[1][0], static_cast<char>(C(2, 3)));

  CMjMessage_ScoreInfo si;
  const Body bs = Body().s32(-5).s32(5).s32(100).s32(200).s32(1).s32(2).s32(3).s32(4).s32(5).s32(6)
                      .u16(0x8001).zeros(58);
  ASSERT_TRUE(ReadRecord(bs.b.data(), bs.b.size(), si));
  EXPECT_EQ(si.handScore[0], -5);
  EXPECT_EQ(si.gameScore[1], 200);
  EXPECT_EQ(si.draws[1], 6);
  EXPECT_EQ(si.fans[0], static_cast<int16_t>(0x8001));
}

// Outbound frames made by the play table's actions, byte for byte.
struct VectorCase {
  const char* what;
  const uint8_t* frame;
  size_t size;
  std::function<void(MjSessionT<FakeMjArithmetic>&)> act;
};

TEST(MjCatalogue, OutboundFramesMatchIndependentVectors) {
  const std::vector<VectorCase> cases = {
      {"602", kRequestDealFrame, sizeof kRequestDealFrame, [](auto& s) { s.table.RequestDeal(); }},
      {"616", kDiscardFrame, sizeof kDiscardFrame,
       [](auto& s) { const card t = Tile(C(1, 5)); s.table.OnRequestSend(1, &t); }},
      {"617", kChiFrame, sizeof kChiFrame,
       [](auto& s) {
         s.engine.eat = {Cards({C(0, 3), C(0, 4), C(0, 5)})};
         s.table.OnChi();
       }},
      {"626", kHuRequestFrame, sizeof kHuRequestFrame,
       [](auto& s) {
         s.engine.huType = 1;
         s.engine.currentMo = Tile(C(2, 9));
         s.table.OnHuDeclare();
       }},
      {"607", kDiceFrame, sizeof kDiceFrame,
       [](auto& s) {
         s.engine.banker = 0;  // first throw, odd sum: the banker's location throws next
         s.engine.diceNum = 0;
         std::vector<uint32_t> dice = {2, 5};
         s.table.SetDiceSource([dice]() mutable {
           const uint32_t v = dice.front();
           dice.erase(dice.begin());
           return v;
         });
         s.table.ThrowDice();
       }},
      {"636", kConcealedKongFrame, sizeof kConcealedKongFrame,
       [](auto& s) {
         s.engine.kongs = {{Cards({C(3, 2), C(3, 2), C(3, 2), C(3, 2)}), 3}};
         s.table.OnGang();
       }},
      {"641", kHuAckFrame, sizeof kHuAckFrame,
       [](auto& s) {
         s.engine.banker = 1;  // bob (seat 0) deals
         s.engine.ting = 1;
         s.engine.calc[2] = 5;
         s.engine.calc[3] = 3;
         s.engine.fans = {1202, 405};
         s.engine.currentMo = Tile(C(2, 9));
         CMjMessage_HuResult hu;
         hu.winnerSeat = 1;
         hu.huType = 1;
         s.table.OnHu(hu);
       }},
  };
  for (const VectorCase& c : cases) {
    MjSessionT<FakeMjArithmetic> s(1);
    s.session.SessionKey = 0x12345678;
    s.session.OutboundSequence = 41;
    const size_t sent = s.socket.sent.size();
    c.act(s);
    ASSERT_EQ(s.socket.sent.size(), sent + 1) << c.what;
    EXPECT_EQ(s.socket.sent.back(), std::vector<uint8_t>(c.frame, c.frame + c.size)) << c.what;
  }
}

TEST(MjCatalogue, RecordFormsRoundTrip) {
  CMjMessage_HuResult hu;
  hu.winnerSeat = 1;
  hu.huType = 2;
  hu.discarderSeat = 0;
  hu.huTile[0] = static_cast<char>(C(0, 9));
  for (int s = 0; s < 2; ++s) {
    for (int i = 0; i < 20; ++i) hu.hands[s][i] = static_cast<char>(C(s, i % 9 + 1));
    for (int i = 0; i < 16; ++i) hu.hiddenKongs[s][i] = static_cast<char>(C(2 + s, i / 4 + 1));
  }
  ArchiveWriter w;
  hu.Serialize(w);
  EXPECT_EQ(w.GetBytes().size(), 6u + 2 + 40 + 32);
  ArchiveReader r(w.GetBytes());
  CMjMessage_HuResult back;
  ASSERT_TRUE(back.Load(r));
  EXPECT_EQ(std::memcmp(&back, &hu, sizeof hu), 0);

  // The draw's form: seat, the two tile bytes, then the three numbers, little-endian.
  CMjMessage_Draw d;
  d.seat = 1;
  d.tile[0] = static_cast<char>(C(1, 7));
  d.frontCount = 2;
  d.backCount = -1;
  d.tilesLeft = 0x1234;
  ArchiveWriter wd;
  d.Serialize(wd);
  EXPECT_EQ(wd.GetBytes(), (std::vector<uint8_t>{1, 0, C(1, 7), 0, 2, 0, 0xFF, 0xFF, 0x34, 0x12}));

  // The ready declarations are kept second word first.
  CMjMessage_Ting t;
  t.seat = 1;
  t.word = 7;
  ArchiveWriter wt;
  t.SerializeReversed(wt);
  EXPECT_EQ(wt.GetBytes(), (std::vector<uint8_t>{7, 0, 1, 0}));
  ArchiveReader rt(wt.GetBytes());
  CMjMessage_Ting tb;
  ASSERT_TRUE(tb.LoadReversed(rt));
  EXPECT_EQ(tb.seat, 1);
  EXPECT_EQ(tb.word, 7);

  // 653: the per-seat strings interleaved byte by byte; a short archive fails.
  CMjMessage_Resume3 s3;
  s3.head.handNo = 4;
  s3.melds[1][0] = 1;
  s3.kongs[1][0] = 2;
  s3.hiddenKongs[1][0] = 3;
  s3.turnState = 9;
  ArchiveWriter w3;
  s3.Serialize(w3);
  const std::vector<uint8_t>& bytes = w3.GetBytes();
  const size_t seat1 = 14 + 20 + (30 + 48) + 30;
  EXPECT_EQ(bytes[seat1], 1);
  EXPECT_EQ(bytes[seat1 + 1], 2);
  EXPECT_EQ(bytes[seat1 + 2], 3);
  ArchiveReader r3(bytes);
  CMjMessage_Resume3 b3;
  ASSERT_TRUE(b3.Load(r3));
  EXPECT_EQ(std::memcmp(&b3, &s3, sizeof s3), 0);
  ArchiveReader shortReader(bytes.data(), bytes.size() - 1);
  EXPECT_FALSE(CMjMessage_Resume3().Load(shortReader));
}

// ---------------------------------------------------------------------------------------------
// Tile codec

TEST(MjTileCodec, CodesAndTiles) {
  struct Row {
    uint8_t code;
    card tile;
  };
  const Row rows[] = {
      {8, {0, 1}},   {14, {6, 1}},  {16, {0, 2}},  {30, {6, 3}},  {35, {3, 4}},
      {38, {6, 4}},  {40, {0, 5}},  {42, {2, 5}},  {74, {2, 9}},  {0, {0, 0}},
      {0xFF, {7, -1}},  // the bit rule on a signed byte
  };
  for (const Row& r : rows) {
    EXPECT_EQ(TileFromCode(r.code), r.tile) << int(r.code);
    if (r.code != 0xFF) EXPECT_EQ(CodeFromTile(r.tile), r.code) << int(r.code);
  }
}

TEST(MjTileCodec, ConversionsThroughThePlayTable) {
  MjSessionT<FakeMjArithmetic> s(1);
  std::vector<card> out;
  const uint8_t codes[] = {8, 0, 36, 74};
  size_t shown = s.notices.shown.size();
  EXPECT_EQ(s.table.FromCharsToCards(4, codes, out), 4);
  ASSERT_EQ(out.size(), 4u);
  EXPECT_EQ(out[0], (card{0, 1}));
  EXPECT_EQ(out[1], (card{0, 0}));  // padding converts silently
  EXPECT_EQ(out[2], kTileForInvalidCode);
  EXPECT_EQ(out[3], (card{2, 9}));
  ASSERT_EQ(s.notices.shown.size(), shown + 1);
  EXPECT_EQ(s.notices.shown.back().kind, NoticeKind::SystemBox);
  EXPECT_EQ(s.notices.shown.back().text,
            "FromCharsToCards:\xce\xde\xd0\xa7\xd7\xd6\xb7\xfb\xa3\xba" "36");

  // Nothing to convert.
  EXPECT_EQ(s.table.FromCharsToCards(0, codes, out), 0);
  EXPECT_EQ(out.size(), 4u);
  int16_t count = 9;
  uint8_t written[4] = {0xAA, 0xAA, 0xAA, 0xAA};
  EXPECT_EQ(s.table.FromCardsToChars(count, written, {}), 0);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(written[0], 0xAA);

  // Encoding writes no terminator and reports the fourth dragon.
  shown = s.notices.shown.size();
  EXPECT_EQ(s.table.FromCardsToChars(count, written, {card{0, 1}, card{4, 4}}), 2);
  EXPECT_EQ(count, 2);
  EXPECT_EQ(written[0], 8);
  EXPECT_EQ(written[1], 36);
  EXPECT_EQ(written[2], 0xAA);
  ASSERT_EQ(s.notices.shown.size(), shown + 1);
  EXPECT_EQ(s.notices.shown.back().text,
            "FromCardsToChars:\xce\xde\xd0\xa7\xd7\xd6\xb7\xfb\xa3\xba" "36");
}

}  // namespace
