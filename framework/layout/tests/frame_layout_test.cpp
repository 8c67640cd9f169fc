#include "frame_layout.h"

#include <gtest/gtest.h>

#include <map>

namespace layout {

void PrintTo(const Rect& r, std::ostream* os) {
  *os << "(" << r.left << "," << r.top << "," << r.right << "," << r.bottom << ")";
}

namespace {

using Strings = std::map<uint32_t, std::string>;

StringReader From(const Strings& s) {
  return [s](uint32_t id) {
    auto it = s.find(id);
    return it == s.end() ? std::string() : it->second;
  };
}

// The sample style's strings.
const Strings kSample = {
    {101, "4861468"}, {102, "15787230"}, {107, "6"}, {108, "6"}, {110, "32"}, {112, "32"},
    {113, "30"}, {114, "4"}, {115, "4"}, {116, "4"}, {118, "6"}, {119, "34"}, {120, "6"},
    {121, "20"}, {124, "90"}, {125, "6"}, {126, "6"}, {127, "1"}, {128, "5"}, {130, "1"},
    {131, "0"}, {132, "12"}, {133, "30"}, {134, "400"}, {137, "13168895"}, {141, "2759184"},
    {147, "skin"}, {148, "38"}};

TEST(FrameMetrics, ValuesOfTheStrings) {
  struct Case {
    std::string text;
    int64_t value;
  } cases[] = {{"", 0},       {"42", 42},   {"-7", -7},        {"  12", 12},  {"+3", 3},
               {"12px", 12},  {"abc", 0},   {"16777215", 16777215},
               {"1234567890123456789", 123456789012345678}};  // at most 18 characters
  for (const Case& c : cases) EXPECT_EQ(MetricValue(c.text), c.value) << c.text;
}

TEST(FrameMetrics, ReadMissingShortAndTheSixHundredPixelRule) {
  const FrameMetrics m = ReadFrameMetrics(From(kSample), 768, true);
  EXPECT_EQ(m.m_clrFrameFill, 4861468u);
  EXPECT_EQ(m.m_nAdvertHeight, 90);
  EXPECT_EQ(m.m_nSetupButtonsTop, 38);
  EXPECT_EQ(m.imageFolder, "skin");
  EXPECT_EQ(m.m_clrText3, 0u) << "a missing colour reads as 0";

  EXPECT_EQ(ReadFrameMetrics(From(kSample), 600, true).m_nAdvertHeight, 80);
  EXPECT_EQ(ReadFrameMetrics(From(kSample), 601, true).m_nAdvertHeight, 90);
  EXPECT_EQ(ReadFrameMetrics(From(kSample), 600, false).m_nAdvertHeight, 90)
      << "a skin change takes string 124 as it stands";

  const FrameMetrics empty = ReadFrameMetrics(From({}), 768, true);
  EXPECT_EQ(empty.m_nPlayTop, 0);
  EXPECT_EQ(empty.m_nAdvertHeight, 0);
  EXPECT_EQ(empty.imageFolder, "");

  Strings odd = kSample;
  odd[147] = std::string(40, 'k');
  odd[110] = "70000";  // cut to 16 bits
  const FrameMetrics m2 = ReadFrameMetrics(From(odd), 768, true);
  EXPECT_EQ(m2.imageFolder.size(), 31u);
  EXPECT_EQ(m2.m_nPlayTop, static_cast<int16_t>(70000));
}

FrameInputs Inputs(int32_t w, int32_t h, const FrameMetrics& m) {
  FrameInputs in;
  in.w = w;
  in.h = h;
  const PaneHeights ph = PaneLayoutHeights(m, h);
  in.listHeight = static_cast<int16_t>(ph.listAndChat / 2);
  in.chatHeight = static_cast<int16_t>(ph.listAndChat - ph.listAndChat / 2);
  in.titleBandHeight = 22;
  in.setupStrip = {208, 24};
  in.setupStripHasImage = true;
  in.titleStrip = {78, 20};
  in.windowWidth = w;
  in.systemFrameWidth = 0;
  return in;
}

TEST(FrameLayout, TwoScreenSizesThreeMetricSets) {
  Strings wide = kSample;  // a wider advert offset, panes further in
  wide[119] = "10";
  wide[118] = "12";
  wide[120] = "2";
  const FrameMetrics sample = ReadFrameMetrics(From(kSample), 768, true);
  const FrameMetrics other = ReadFrameMetrics(From(wide), 768, true);
  const FrameMetrics none = ReadFrameMetrics(From({}), 768, true);
  struct Case {
    const char* what;
    const FrameMetrics& m;
    int32_t w, h;
    Rect play, list, chat, advert, setup, title, column_bar, exit_text;
  } cases[] = {
      {"sample at 1024 x 768", sample, 1024, 768, {4, 32, 728, 764}, {728, 156, 1020, 451},
       {728, 451, 1020, 746}, {734, 66, 1014, 156}, {770, 38, 978, 62}, {938, 5, 1016, 25},
       {728, 178, 734, 764}, {654, 39, 678, 63}},
      {"sample at 800 x 600", sample, 800, 600, {4, 32, 504, 596}, {504, 156, 796, 367},
       {504, 367, 796, 578}, {510, 66, 790, 156}, {546, 38, 754, 62}, {714, 5, 792, 25},
       {504, 178, 510, 596}, {430, 39, 454, 63}},
      {"other insets at 1024 x 768", other, 1024, 768, {4, 32, 728, 764}, {728, 132, 1020, 439},
       {728, 439, 1020, 746}, {740, 42, 1018, 132}, {770, 38, 978, 62}, {938, 5, 1016, 25},
       {728, 154, 740, 764}, {654, 39, 678, 63}},
      {"no metrics at all", none, 1024, 768, {0, 0, 724, 768}, {724, 0, 1024, 384},
       {724, 384, 1024, 768}, {724, 0, 1024, 0}, {770, 0, 978, 24}, {938, 0, 1016, 20},
       {724, 22, 724, 768}, {650, 1, 674, 25}},
  };
  for (const Case& c : cases) {
    const FrameRects r = LayoutFrame(c.m, Inputs(c.w, c.h, c.m));
    EXPECT_EQ(r.play, c.play) << c.what;
    EXPECT_EQ(r.list, c.list) << c.what;
    EXPECT_EQ(r.chat, c.chat) << c.what;
    EXPECT_EQ(r.advert, c.advert) << c.what;
    EXPECT_EQ(r.setupButtons, c.setup) << c.what;
    EXPECT_EQ(r.titleButtons, c.title) << c.what;
    EXPECT_EQ(r.columnBar, c.column_bar) << c.what;
    EXPECT_EQ(r.exitText, c.exit_text) << c.what;
    EXPECT_EQ(r.setupText.left, c.exit_text.left - 60) << c.what;
    EXPECT_EQ(r.listChatBar, (Rect{c.list.left, c.list.bottom - 5, c.list.right, c.list.bottom + 5}))
        << c.what;
    EXPECT_EQ(r.listTitle.bottom - r.listTitle.top, 22) << c.what;
  }
}

TEST(FrameLayout, SetupStripWithoutPictureSitsTwentyIn) {
  const FrameMetrics m = ReadFrameMetrics(From(kSample), 768, true);
  FrameInputs in = Inputs(1024, 768, m);
  in.setupStrip = {};
  in.setupStripHasImage = false;
  EXPECT_EQ(LayoutFrame(m, in).setupButtons, (Rect{748, 38, 748, 38}));
}

std::vector<int32_t> Steps(int32_t from, int32_t to, int32_t step) {
  std::vector<int32_t> v;
  for (int32_t y = from; step > 0 ? y <= to : y >= to; y += step) v.push_back(y);
  return v;
}

struct DragFixture {
  FrameMetrics m = ReadFrameMetrics(From(kSample), 768, true);
  FrameRects r = LayoutFrame(m, Inputs(1024, 768, m));
  Rect client{0, 0, 1024, 768};
  FrameDrag drag;
};

TEST(FrameDrag, ListChatBoundaryDragSequences) {
  struct Case {
    const char* what;
    std::vector<int32_t> ys;  // pointer y after the press (x stays 900)
    int32_t boundary;         // new list bottom (451 before)
  } cases[] = {
      {"down by 40", {463, 491}, 491},
      {"moves of 5 or less are ignored", {454, 456}, 451},
      {"a 6-pixel move counts", {457}, 457},
      // A dragged pointer moves in small steps; the bar follows while it is within 30 of it.
      {"never above the list's top (156)", Steps(431, 131, -20), 171},
      {"stops 45 above the chat's bottom (746)", Steps(471, 731, 20), 691},
  };
  for (const Case& c : cases) {
    DragFixture f;
    f.drag.OnPress({900, 451}, f.m, f.r, 22);
    for (int32_t y : c.ys) f.drag.OnMove({900, y}, f.client, f.r);
    const auto up = f.drag.OnRelease(f.client, f.m, f.r, 22);
    EXPECT_EQ(up.ended, FrameDrag::kListChatDrag) << c.what;
    EXPECT_EQ(up.boundary, c.boundary) << c.what;
    EXPECT_EQ(f.r.list.bottom, c.boundary) << c.what;
    EXPECT_EQ(f.r.chat.top, c.boundary) << c.what;
    EXPECT_EQ(f.drag.state(), FrameDrag::kNone) << c.what;
    EXPECT_FALSE(f.drag.mouseDown()) << c.what;
  }
}

TEST(FrameDrag, ColumnBoundaryDragSequences) {
  struct Case {
    const char* what;
    std::vector<int32_t> xs;  // pointer x after the press at 730 (y 500)
    int16_t width;            // new column width (296 before: client right - bar left)
    bool stopped_last;
  } cases[] = {
      {"left by 100 in steps", {700, 670, 640, 630}, 396, false},
      {"right by 60", {760, 790}, 236, false},
      {"stops 150 before the client's right", {780, 830, 870, 880}, 196, true},
      {"small moves ignored", {733, 726}, 296, false},
  };
  for (const Case& c : cases) {
    DragFixture f;
    f.drag.OnPress({730, 500}, f.m, f.r, 22);
    FrameDrag::MoveResult last;
    for (int32_t x : c.xs) last = f.drag.OnMove({x, 500}, f.client, f.r);
    EXPECT_EQ(f.drag.state(), FrameDrag::kColumn) << c.what;
    EXPECT_EQ(last.stopped, c.stopped_last) << c.what;
    EXPECT_LE(f.r.columnBar.right, 1024 - 150) << c.what;
    EXPECT_EQ(f.drag.OnRelease(f.client, f.m, f.r, 22).columnWidth, c.width) << c.what;
  }
}

TEST(FrameDrag, HoverStatesWithoutAPress) {
  DragFixture f;
  f.drag.OnMove({900, 440}, f.client, f.r);
  EXPECT_EQ(f.drag.state(), FrameDrag::kListChatHover);
  f.drag.OnMove({700, 600}, f.client, f.r);
  EXPECT_EQ(f.drag.state(), FrameDrag::kColumn);
  // Where both zones hold, the column wins.
  f.drag.OnMove({760, 450}, f.client, f.r);
  EXPECT_EQ(f.drag.state(), FrameDrag::kColumn);
  // Leaving both zones keeps the last sizing state until a leave or a release.
  f.drag.OnMove({300, 300}, f.client, f.r);
  EXPECT_EQ(f.drag.state(), FrameDrag::kColumn);
  f.drag.OnLeave();
  EXPECT_EQ(f.drag.state(), FrameDrag::kNone);
}

TEST(FrameLayout, CaptionBoxesAndSplitterGuards) {
  struct Hit {
    Point p;
    CaptionHit hit;
  } hits[] = {{{1000, 10}, CaptionHit::kClose},    {{991, 2}, CaptionHit::kClose},
              {{990, 10}, CaptionHit::kMaximise},  {{967, 26}, CaptionHit::kMaximise},
              {{950, 10}, CaptionHit::kMinimise},  {{942, 10}, CaptionHit::kNone},
              {{1000, 27}, CaptionHit::kNone},     {{1017, 10}, CaptionHit::kNone}};
  for (const Hit& h : hits) EXPECT_EQ(HitCaptionBox(h.p, 1024), h.hit) << h.p.x << "," << h.p.y;

  FrameRects r;
  r.play = Rect{4, 32, 728, 764};
  r.list = Rect{728, 156, 1020, 408};
  EXPECT_EQ(MoveSplitterLeft(300, r, 20), 280);
  EXPECT_EQ(MoveSplitterRight(300, r, 20), 320);
  EXPECT_EQ(SetSplitterMax(300, r, 1024), 624);
  EXPECT_EQ(ToggleSplitter(300, r), 200);
  EXPECT_EQ(ToggleSplitter(200, r), 300);
  FrameRects narrow = r;
  narrow.list = Rect{900, 156, 1090, 408};  // column 190 wide
  narrow.play = Rect{4, 32, 440, 764};      // play 436 wide, right edge below 450
  EXPECT_EQ(MoveSplitterLeft(300, narrow, 20), -1);
  EXPECT_EQ(MoveSplitterRight(300, narrow, 20), -1);
  EXPECT_EQ(SetSplitterMax(300, narrow, 1024), -1);
  EXPECT_EQ(ToggleSplitter(200, narrow), -1);
}

}  // namespace
}  // namespace layout
