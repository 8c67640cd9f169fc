#include "advert_engine.h"

#include <gtest/gtest.h>

namespace chat {
namespace {

XmlElement Element(std::u16string name,
                   std::vector<std::pair<std::u16string, std::u16string>> attributes = {},
                   std::u16string text = {}, std::vector<XmlElement> children = {}) {
  return {std::move(name), std::move(attributes), std::move(text), std::move(children)};
}

const AppPathSource kApp = [] { return std::optional<std::u16string>(u"C:\\game"); };

TEST(AdvertReader, NumbersAndColours) {
  struct NumberCase {
    std::u16string text;
    std::optional<int32_t> value;
  } numbers[] = {
      {u"12", 12},   {u" -3 ", -3}, {u"+7", 7},        {u"2.5", 2},   {u"3.5", 4},
      {u"2.51", 3},  {u"", {}},     {u"x1", {}},       {u"1x", {}},   {u"-", {}},
      {u"2147483647", 2147483647},  {u"2147483648", {}}, {u"-2147483648", INT32_MIN},
      {u"99999999999999999999", {}},
  };
  for (const auto& c : numbers) EXPECT_EQ(ParseAdvertNumber(c.text), c.value);
  struct ColourCase {
    std::u16string text;
    uint32_t colour;
  } colours[] = {
      {u"FF", 0x0000FF}, {u"0000FF", 0x0000FF}, {u"FF0000", 0xFF0000}, {u"aBc", 0xABC},
      {u"GG0000", 0},    {u"1234567", 0},       {u"", 0},              {u"-1", 0},
  };
  for (const auto& c : colours) EXPECT_EQ(ParseAdvertColor(c.text), c.colour);
}

TEST(AdvertReader, ReadsAnAdvertWithItsEntriesAndFrequency) {
  const XmlElement adv = Element(
      u"CHATADV", {{u"advtype", u"1"}, {u"chatstyle", u""}, {u"other", u"zz"}}, {},
      {Element(u"VALIDFLAG", {}, u"1"),
       Element(u"ITEMINFO", {{u"type", u"0"}, {u"url", u"http://a/"}, {u"newline", u"1"},
                             {u"blank", u""}, {u"color", u"0000FF"}},
               u"hello"),
       Element(u"ITEMINFO", {{u"type", u"1"}}, u"pic.gif"),
       Element(u"ITEMINFO", {{u"type", u"1"}, {u"localpath", u"\\ads\\"}}, u"b.png"),
       Element(u"ISSUETIME", {}, {},
               {Element(u"IssueDate", {}, u"whenever"),
                Element(u"FREQENCE", {{u"interval", u"30"}, {u"times", u"-1"}, {u"delay", u"5"}})}),
       Element(u"UNKNOWN", {{u"type", u"nonsense"}})});
  std::string error;
  const auto item = ParseAdvertElement(adv, kApp, &error);
  ASSERT_TRUE(item) << error;
  EXPECT_EQ(item->m_nAdvType, 1);
  EXPECT_EQ(item->m_nChatStyle, -1);
  EXPECT_EQ(item->m_nInterval, 30);
  EXPECT_EQ(item->m_nTimes, -1);
  EXPECT_EQ(item->m_nDelay, 5);
  ASSERT_EQ(item->m_entries.size(), 3u);
  EXPECT_EQ(item->m_entries[0].m_text, u"hello");
  EXPECT_EQ(item->m_entries[0].m_url, u"http://a/");
  EXPECT_EQ(item->m_entries[0].m_nNewLine, 1);
  EXPECT_EQ(item->m_entries[0].m_color, 0x0000FFu);
  EXPECT_EQ(item->m_entries[1].m_text, u"C:\\game\\OzkAdv\\pic.gif");
  EXPECT_EQ(item->m_entries[2].m_text, u"C:\\game\\ads\\b.png");
}

TEST(AdvertReader, BadNumbersDropTheAdvertAndValidFlagZeroEndsIt) {
  struct Case {
    const char* name;
    XmlElement adv;
    bool kept;
    size_t entries;
  } cases[] = {
      {"advtype", Element(u"CHATADV", {{u"advtype", u"top"}}), false, 0},
      {"chatstyle", Element(u"CHATADV", {{u"chatstyle", u"3a"}}), false, 0},
      {"type empty", Element(u"CHATADV", {}, {}, {Element(u"ITEMINFO", {{u"type", u""}})}), false, 0},
      {"blank", Element(u"CHATADV", {}, {}, {Element(u"ITEMINFO", {{u"blank", u"two"}})}), false, 0},
      {"times", Element(u"CHATADV", {}, {},
                        {Element(u"ISSUETIME", {}, {}, {Element(u"FREQENCE", {{u"times", u"?"}})})}),
       false, 0},
      {"validflag 0 first", Element(u"CHATADV", {}, {},
                                    {Element(u"VALIDFLAG", {}, u"0"), Element(u"ITEMINFO", {}, u"x")}),
       true, 0},
      {"entry without attributes", Element(u"CHATADV", {}, {}, {Element(u"ITEMINFO", {}, u"x")}), true, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string error;
    const auto item = ParseAdvertElement(c.adv, kApp, &error);
    EXPECT_EQ(item.has_value(), c.kept);
    EXPECT_EQ(error.empty(), c.kept);
    if (item) EXPECT_EQ(item->m_entries.size(), c.entries);
  }
  // No installation folder: the picture entry and what follows are dropped, the rest kept.
  const XmlElement adv = Element(u"CHATADV", {}, {},
                                 {Element(u"ITEMINFO", {}, u"a"), Element(u"ITEMINFO", {{u"type", u"1"}}, u"p"),
                                  Element(u"ITEMINFO", {}, u"c")});
  const auto item = ParseAdvertElement(adv, [] { return std::optional<std::u16string>(); }, nullptr);
  ASSERT_TRUE(item);
  ASSERT_EQ(item->m_entries.size(), 1u);
}

CAdvItem Advert(int16_t type, int32_t style, int32_t delay, int32_t interval, int32_t times,
                std::u16string text = u"t") {
  CAdvItem a;
  a.m_nAdvType = type;
  a.m_nChatStyle = style;
  a.m_nDelay = delay;
  a.m_nInterval = interval;
  a.m_nTimes = times;
  AdvEntry e;
  e.m_text = std::move(text);
  a.m_entries.push_back(e);
  return a;
}

// The ticks (0..last) at which each advert wrote into the chat or set the banner.
std::vector<std::vector<int>> Showings(AdvertEngine& engine, int last) {
  std::vector<std::vector<int>> shown(engine.Adverts().size());
  for (int t = 0; t <= last; ++t) {
    const AdvertOutput out = engine.OnAdvertTimer();
    // Each advert here has one entry whose first letter is its place: a, b, c ...
    for (const auto& w : out.chat)
      if (!w.separator) shown[w.entry.m_text[0] - u'a'].push_back(t);
    if (out.bannerChanged) shown[engine.BannerText()[0] - u'a'].push_back(t);
  }
  return shown;
}

TEST(AdvertSchedule, DueTestsForChatLineAdverts) {
  struct Case {
    const char* name;
    int32_t style, delay, interval, times;
    std::vector<int> ticks;
  } cases[] = {
      {"once at its delay", -1, 5, 0, 1, {5}},
      {"once at tick 0", -1, 0, 0, 1, {0}},
      {"negative delay: at once", -1, -3, 0, 7, {0}},
      {"delay only as the phase", -1, 60, 30, 1, {0}},
      {"every 4 from 2, three times", -1, 2, 4, 3, {2, 6, 10}},
      {"unlimited", 3, 0, 5, -1, {0, 5, 10, 15, 20}},
      {"other style never", 4, 0, 5, -1, {}},
      {"finished", -1, 0, 5, 0, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    AdvertEngine engine;
    engine.Add(Advert(0, c.style, c.delay, c.interval, c.times, u"a"));
    engine.Start();
    EXPECT_EQ(Showings(engine, 20)[0], c.ticks);
  }
}

TEST(AdvertSchedule, ChatLineAdvertWritesBreakSeparatorAndEntries) {
  AdvertEngine engine;
  CAdvItem a = Advert(0, -1, 0, 0, 1, u"a1");
  a.m_entries.push_back(a.m_entries[0]);
  a.m_entries[1].m_text = u"a2";
  engine.Add(a);
  CAdvItem empty = Advert(0, -1, 0, 0, 1);
  empty.m_entries.clear();  // stored without entries: still its separator
  engine.Add(empty);
  EXPECT_FALSE(engine.OnAdvertTimer().scrollIfAtBottom) << "not started: nothing";
  engine.Start();
  const AdvertOutput out = engine.OnAdvertTimer();
  ASSERT_EQ(out.chat.size(), 4u);
  EXPECT_TRUE(out.chat[0].separator);
  EXPECT_EQ(out.chat[1].entry.m_text, u"a1");
  EXPECT_EQ(out.chat[2].entry.m_text, u"a2");
  EXPECT_TRUE(out.chat[3].separator);
  EXPECT_TRUE(out.scrollIfAtBottom);
  EXPECT_TRUE(engine.OnAdvertTimer().chat.empty());
}

TEST(AdvertSchedule, TopAdvertsOfTheStyleTakeTurnsWhateverOtherStylesThereAre) {
  // Three top adverts of the control's style between two of another style, no interval:
  // step 8, shown at 0, 8, 16, then again 24 later; the others never.
  AdvertEngine engine;
  engine.Add(Advert(1, 5, 0, 0, 1, u"a"));
  engine.Add(Advert(1, 3, 0, 0, 1, u"b"));
  engine.Add(Advert(1, 5, 0, 0, 1, u"c"));
  engine.Add(Advert(1, -1, 0, 0, 1, u"d"));
  engine.Add(Advert(1, 3, 99, 0, 1, u"e"));
  engine.Start();
  const auto shown = Showings(engine, 50);
  EXPECT_TRUE(shown[0].empty());
  EXPECT_TRUE(shown[2].empty());
  EXPECT_EQ(shown[1], (std::vector<int>{0, 24, 48}));
  EXPECT_EQ(shown[3], (std::vector<int>{8, 32}));
  EXPECT_EQ(shown[4], (std::vector<int>{16, 40}));
  // Changing the style afterwards does not schedule again.
  engine.SetChatStyle(5);
  EXPECT_EQ(engine.Adverts()[1].m_nInterval, 24);
}

TEST(AdvertSchedule, TheFirstTopIntervalSetsTheStep) {
  AdvertEngine engine;
  engine.Add(Advert(1, -1, 0, 0, 1, u"a"));
  engine.Add(Advert(1, -1, 0, 3, 1, u"b"));
  engine.Add(Advert(1, -1, 0, 9, 1, u"c"));
  engine.Start();
  const auto shown = Showings(engine, 10);
  EXPECT_EQ(shown[0], (std::vector<int>{0, 9}));
  EXPECT_EQ(shown[1], (std::vector<int>{3}));
  EXPECT_EQ(shown[2], (std::vector<int>{6}));
}

TEST(Banner, RevealOneCharacterPerStepThenWhole) {
  AdvertEngine engine;
  engine.Add(Advert(1, -1, 0, 0, 1, u"first"));
  engine.Add(Advert(1, -1, 0, 0, 1, u"abcd"));
  engine.Start();
  // Tick 0: the first banner replaces nothing: no reveal, painted whole.
  AdvertOutput out = engine.OnAdvertTimer();
  EXPECT_FALSE(out.startBannerTimer);
  EXPECT_EQ(engine.DrawBanner().text, u"first");
  for (int t = 1; t <= 8; ++t) out = engine.OnAdvertTimer();
  EXPECT_TRUE(out.startBannerTimer);  // tick 8: "abcd" after "first"
  std::vector<std::u16string> shown;
  for (int i = 0; i < 5; ++i) {
    const auto paint = engine.OnBannerTimer();
    ASSERT_TRUE(paint);
    shown.push_back(paint->text);
    if (paint->stopBannerTimer) break;
  }
  EXPECT_EQ(shown, (std::vector<std::u16string>{u"a", u"ab", u"abcd"}));
  EXPECT_FALSE(engine.Revealing());
}

TEST(Banner, EmptyTextAfterAnotherStopsTheBannerTimer) {
  AdvertEngine engine;
  engine.Add(Advert(1, -1, 0, 0, 1, u"abc"));
  engine.Add(Advert(1, -1, 0, 0, 1, u""));
  engine.Start();
  engine.OnAdvertTimer();
  AdvertOutput out;
  for (int t = 1; t <= 8; ++t) out = engine.OnAdvertTimer();
  EXPECT_FALSE(out.startBannerTimer);
  EXPECT_TRUE(out.stopBannerTimer);
  const BannerPaint paint = engine.DrawBanner();
  EXPECT_FALSE(paint.draw);
  EXPECT_TRUE(paint.stopBannerTimer);
  // Before the advert timer's first tick the banner timer paints nothing.
  AdvertEngine idle;
  EXPECT_FALSE(idle.OnBannerTimer());
}

}  // namespace
}  // namespace chat
