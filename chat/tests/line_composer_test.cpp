#include "line_composer.h"

#include <gtest/gtest.h>

namespace chat {
namespace {

const std::u16string kSaid = u"\u8bf4\uff1a";  // 说：

TEST(LineComposer, SpeakerLinesSplitAfterTheFirstSaidFromPositionOne) {
  const CDirtyWordFilter filter;
  const struct {
    std::u16string text;
    bool speaker;
    std::u16string speaker_part;
  } cases[] = {
      {u"Bob" + kSaid + u"hi", true, u"Bob" + kSaid},
      {kSaid + u"hi", false, u""},                       // only at position 0: no speaker
      {u"A" + kSaid + u"x" + kSaid, true, u"A" + kSaid},  // the first one after position 0
      {u"plain notice", false, u""},
  };
  for (const auto& c : cases) {
    AddTextInput in;
    in.text = c.text;
    const auto line = ComposeAddText(in, filter, {});
    ASSERT_TRUE(line);
    EXPECT_EQ(line->speaker, c.speaker);
    EXPECT_EQ(line->speakerPart, c.speaker_part);
  }
}

TEST(LineComposer, KindsPanesTimeStampsAndTheFilter) {
  const CDirtyWordFilter filter;
  AddTextInput in;
  in.text = u"up";
  in.kind = kKindAdmin;
  auto line = ComposeAddText(in, filter, {});
  EXPECT_EQ(line->text, u"[\u7ba1\u7406\u516c\u544a] up");
  EXPECT_EQ(line->format, LineFormat::kAdmin);
  EXPECT_TRUE(line->systemPicture);

  in.kind = kKindBroadcast;
  EXPECT_EQ(ComposeAddText(in, filter, {})->format, LineFormat::kBroadcast);
  in.kind = kKindSystem;
  line = ComposeAddText(in, filter, {});
  EXPECT_EQ(line->format, LineFormat::kRecord);
  EXPECT_EQ(line->text, u"up");

  in.kind = kKindAdmin;  // a speaker line of kind 2 carries no label
  in.text = u"Al" + kSaid + u"x";
  EXPECT_TRUE(ComposeAddText(in, filter, {})->speaker);

  in.kind = 0;
  in.text = u"Bob" + kSaid + u"hi";
  in.timeStamp = true;
  in.hour = 9;
  in.minute = 5;
  in.second = 7;
  in.isMyText = true;
  in.whisperMode = true;
  in.channelFlag = true;
  line = ComposeAddText(in, filter, {});
  EXPECT_EQ(line->speakerPart, u"(09:05:07) Bob" + kSaid);
  EXPECT_EQ(line->pane, kChannelPane);
  EXPECT_TRUE(line->privateHead);

  in.text = u"\u50bb\u903c";
  EXPECT_FALSE(ComposeAddText(in, filter, {}));
}

TEST(LineComposer, VeryLongLinesAreCut) {
  const CDirtyWordFilter filter;
  AddTextInput in;
  in.text = std::u16string(100000, u'w');
  EXPECT_EQ(ComposeAddText(in, filter, {})->text.size(), kMaxLineCharacters);
}

TEST(LineComposer, FacesAtEveryPositionAndKeysThatCouldRepeatForEver) {
  const std::vector<Face> faces = {{1, u"/wx"}, {2, u"a"}};
  const struct {
    std::u16string message;
    std::vector<FacePlacement> placements;
  } cases[] = {
      {u"/wx", {{0, 3, 1}}},
      {u"x/wx", {{1, 3, 1}}},
      {u"/wxm/wx", {{0, 3, 1}, {2, 3, 1}}},  // the second key moved by the first picture
      {u"aaa", {{0, 1, 2}, {1, 1, 2}, {2, 1, 2}}},  // a one-character key ends
      {u"/w", {}},
  };
  for (const auto& c : cases) {
    const auto placements = PlaceFaces(c.message, faces);
    ASSERT_EQ(placements.size(), c.placements.size());
    for (size_t i = 0; i < placements.size(); ++i) {
      EXPECT_EQ(placements[i].position, c.placements[i].position);
      EXPECT_EQ(placements[i].length, c.placements[i].length);
      EXPECT_EQ(placements[i].id, c.placements[i].id);
    }
  }
  // A key whose last character starts it again ("aa" turned into "a" then found again).
  EXPECT_EQ(PlaceFaces(u"aaaa", {{3, u"aa"}}).size(), 2u);
}

TEST(LineComposer, TrimmingKeepsTheLast66LinesAndMovesTheHotSpans) {
  EXPECT_EQ(CharactersToTrim(65, 100), 0);
  EXPECT_EQ(CharactersToTrim(67, 10), 10);
  EXPECT_EQ(FirstKeptLine(67), 1);
  std::vector<HotSpan> spans = {{0, 5}, {8, 14}, {20, 30}};
  ShiftHotSpans(spans, 10);
  ASSERT_EQ(spans.size(), 2u);  // the first ended in the deleted part
  EXPECT_EQ(spans[0].start, 0);  // began inside it: starts at the pane's start
  EXPECT_EQ(spans[0].end, 4);
  EXPECT_EQ(spans[1].start, 10);
  EXPECT_EQ(spans[1].end, 20);
}

TEST(LineComposer, HeadHeights) {
  const struct {
    int size;
    int twips;
  } cases[] = {{0, 200}, {-5, 200}, {9, 200}, {105, 200}, {120, 240}, {150, 300}, {300, 400}};
  for (const auto& c : cases) EXPECT_EQ(HeadHeightTwips(c.size, 96), c.twips) << c.size;
}

}  // namespace
}  // namespace chat
