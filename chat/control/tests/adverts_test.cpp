// The advert reader on the system's XML parser: the advert file, advert XML handed in, text
// that is not an advert or not XML, and a seeded run of mutated inputs that must all be read
// without harm.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>

#include "adverts.h"
#include "chat_platform.h"
#include "winkit/testing/com_test_support.h"

namespace {

[[maybe_unused]] auto* const g_env =
    ::testing::AddGlobalTestEnvironment(new winkit::testing::ComTestEnvironment(std::vector<std::wstring>{}));

const chat::AppPathSource kApp = [] { return std::optional<std::u16string>(u"C:\\game"); };

std::string ReadSampleAdverts() {
  std::string bytes;
  const std::wstring path = std::wstring(CHAT_SAMPLE_DIR_WINDOWS) + L"\\config\\advrss.xml";
  if (FILE* f = _wfopen(path.c_str(), L"rb")) {
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, f)) > 0) bytes.append(buffer, n);
    fclose(f);
  }
  return bytes;
}

TEST(Adverts, TheSampleFileInGbk) {
  auto reader = parley::CreateSystemXmlReader();
  ASSERT_TRUE(reader);
  const std::string bytes = ReadSampleAdverts();
  ASSERT_FALSE(bytes.empty());
  const parley::AdvertReadResult read =
      parley::ReadAdvertDocument(*reader, parley::DecodeXmlBytes(bytes), kApp);
  ASSERT_TRUE(read.parsed);
  EXPECT_FALSE(read.advertRoot);
  ASSERT_EQ(read.adverts.size(), 3u);
  const chat::CAdvItem& line = read.adverts[0];
  EXPECT_FALSE(line.IsTop());
  EXPECT_EQ(line.m_nDelay, 1);
  ASSERT_EQ(line.m_entries.size(), 2u);
  EXPECT_EQ(line.m_entries[0].m_text, u"C:\\game\\OzkAdv\\sale.png");
  EXPECT_EQ(line.m_entries[1].m_text, u"新春大礼包，点击领取！");
  EXPECT_EQ(line.m_entries[1].m_nBlank, 1);
  EXPECT_EQ(line.m_entries[1].m_color, 0x0000C0u);
  EXPECT_EQ(line.m_entries[1].m_url, u"http://example.com/");
  EXPECT_TRUE(read.adverts[1].IsTop());
  EXPECT_EQ(read.adverts[1].m_nChatStyle, 3);
  EXPECT_EQ(read.adverts[2].m_nChatStyle, -1);
}

TEST(Adverts, OnlyAnAdvertRootIsTakenFromTextHandedIn) {
  auto reader = parley::CreateSystemXmlReader();
  ASSERT_TRUE(reader);
  struct Case {
    const char* name;
    std::string gbk;
    bool parsed, advert;
    size_t adverts, errors;
  } cases[] = {
      {"advert", "<CHATADV advtype=\"1\"><ITEMINFO type=\"0\">\xc4\xe3\xba\xc3</ITEMINFO></CHATADV>",
       true, true, 1, 0},
      {"with a declaration", "<?xml version=\"1.0\" encoding=\"gb2312\"?><CHATADV/>", true, true, 1, 0},
      {"other root", "<NOTICE><CHATADV/></NOTICE>", true, false, 0, 0},
      {"plain line", "hello <b>world", false, false, 0, 0},
      {"empty", "", false, false, 0, 0},
      {"bad number", "<CHATADV advtype=\"top\"/>", true, true, 0, 1},
      {"lower case", "<chatadv/>", true, false, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto read = parley::ReadAdvertXml(*reader, parley::DecodeXmlBytes(c.gbk), kApp);
    EXPECT_EQ(read.parsed, c.parsed);
    EXPECT_EQ(read.advertRoot, c.advert);
    EXPECT_EQ(read.adverts.size(), c.adverts);
    EXPECT_EQ(read.errors.size(), c.errors);
  }
  const auto read = parley::ReadAdvertXml(
      *reader, parley::DecodeXmlBytes("<CHATADV><ITEMINFO>\xc4\xe3\xba\xc3</ITEMINFO></CHATADV>"), kApp);
  ASSERT_EQ(read.adverts.size(), 1u);
  ASSERT_EQ(read.adverts[0].m_entries.size(), 1u);
  EXPECT_EQ(read.adverts[0].m_entries[0].m_text, u"你好");
}

// 10,000 inputs made from the sample file and a few adverts by flipping, inserting, deleting
// and duplicating bytes, seeded so every run reads the same inputs: each is read as a file and
// as text handed in, and every advert that comes out stays within what the reader promises.
TEST(Adverts, SeededMutationsAreReadWithoutHarm) {
  auto reader = parley::CreateSystemXmlReader();
  ASSERT_TRUE(reader);
  const std::string seeds[] = {
      ReadSampleAdverts(),
      "<CHATADV advtype=\"1\" chatstyle=\"3\"><VALIDFLAG>1</VALIDFLAG><ITEMINFO type=\"1\" "
      "localpath=\"\\x\\\" color=\"FF00FF\" newline=\"1\" blank=\"3\" url=\"http://a\">p.gif"
      "</ITEMINFO><ISSUETIME><FREQENCE interval=\"5\" times=\"-1\" delay=\"2\"/></ISSUETIME></CHATADV>",
      "<A><CHATADV><ITEMINFO type=\"0\">x</ITEMINFO></CHATADV><CHATADV advtype=\"2\"/></A>",
  };
  const char tokens[][12] = {"<", ">", "\"", "/", "=", "&amp;", "<![CDATA[", "]]>", "\xff", "\xa1",
                             "CHATADV", "ITEMINFO", "type", "-", "99999999999", "<!--", "&#0;"};
  std::mt19937 random(20261211);
  size_t parsed = 0, adverts = 0;
  for (int run = 0; run < 10000; ++run) {
    std::string input = seeds[random() % 3];
    const int edits = 1 + static_cast<int>(random() % 3);
    for (int e = 0; e < edits && !input.empty(); ++e) {
      const size_t at = random() % input.size();
      switch (random() % 9) {
        case 0: input[at] = static_cast<char>(random()); break;
        case 1: input.erase(at, 1 + random() % 16); break;
        case 2: input.insert(at, tokens[random() % (sizeof tokens / sizeof tokens[0])]); break;
        case 3: input.insert(at, input.substr(at, random() % 64)); break;
        case 4: if (random() % 8 == 0) input.resize(at); break;
        default: input[at] = tokens[random() % (sizeof tokens / sizeof tokens[0])][0]; break;
      }
    }
    const std::wstring text = parley::DecodeXmlBytes(input);
    for (bool file : {true, false}) {
      const parley::AdvertReadResult read = file ? parley::ReadAdvertDocument(*reader, text, kApp)
                                                 : parley::ReadAdvertXml(*reader, text, kApp);
      parsed += read.parsed;
      adverts += read.adverts.size();
      ASSERT_TRUE(read.parsed || read.adverts.empty()) << run;
      for (const chat::CAdvItem& a : read.adverts)
        for (const chat::AdvEntry& entry : a.m_entries) ASSERT_LE(entry.m_color, 0xFFFFFFu) << run;
    }
  }
  // The run reached the reader's every path: most inputs still parse, many give adverts.
  EXPECT_GT(parsed, 2000u);
  EXPECT_GT(adverts, 1000u);
  std::printf("mutated inputs: 10000; parsed %zu of 20000 reads; adverts %zu\n", parsed, adverts);
}

}  // namespace
