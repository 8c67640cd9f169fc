#include "ini_file.h"

#include <gtest/gtest.h>

#include <vector>

#include "temp_dir.h"

namespace chat {
namespace {

using testing::TempDir;

class IniFileTest : public ::testing::Test {
 protected:
  void Open(const std::string& text) {
    dir_.Write("settings.ini", text);
    ini_.SetPath(dir_.Dir());
    ini_.SetFileName("settings.ini");
    ASSERT_TRUE(ini_.OpenRead());
  }
  TempDir dir_;
  CIniFile ini_;
};

TEST_F(IniFileTest, StringLookups) {
  Open(
      "[font]\r\n"
      "name =  abc  \r\n"
      "noequals line\r\n"
      "=value without key\r\n"
      "[other]\r\n"
      "late=found after the next section\r\n"
      "fontname=second\n");
  const struct {
    const char* section;
    const char* key;
    bool found;
    const char* value;
  } cases[] = {
      {"font", "name", true, "abc"},              // spaces around the sign and the value
      {"[font]", "name", true, "abc"},            // the brackets may be given
      {"font", "late", true, "found after the next section"},  // runs past [other]
      {"font", "ame", true, "abc"},               // key parts are matched as substrings
      {"font", "missing", false, "unchanged"},
      {"nosuchsection", "name", false, "unchanged"},
      {"other", "fontname", true, "second"},      // LF-only line endings too
      {"font", "value without key", false, "unchanged"},
  };
  for (const auto& c : cases) {
    std::string out = "unchanged";
    EXPECT_EQ(ini_.ReadString(c.section, c.key, out), c.found) << c.section << "/" << c.key;
    EXPECT_EQ(out, c.value) << c.section << "/" << c.key;
  }
}

TEST_F(IniFileTest, IntegerKeysMatchExactly) {
  Open("[font]\r\nsize = 9\r\nfontsize=12\r\nsize=20\r\ncolor=-7x\r\nbig=99999999999\r\n"
       "none=abc\r\n");
  int32_t v = -1;
  // "size = 9" has the key part "size " and "fontsize" only contains the key: both skipped.
  EXPECT_TRUE(ini_.ReadInt("font", "size", v));
  EXPECT_EQ(v, 20);
  EXPECT_TRUE(ini_.ReadInt("font", "color", v));
  EXPECT_EQ(v, -7);
  EXPECT_TRUE(ini_.ReadInt("font", "big", v));
  EXPECT_EQ(v, 2147483647);
  EXPECT_TRUE(ini_.ReadInt("font", "none", v));
  EXPECT_EQ(v, 0);
  v = 5;
  EXPECT_FALSE(ini_.ReadInt("font", "siz", v));
  EXPECT_EQ(v, 5);
}

TEST_F(IniFileTest, FirstLineContainingTheSectionNameIsTheSection) {
  // "[chatsmall]" contains "chat" and comes first: the search starts after it.
  Open("[chatsmall]\r\nflag=1\r\n[chat]\r\nchatsmall=0\r\n");
  uint8_t flag = 7;
  EXPECT_TRUE(ini_.ReadBool("chat", "flag", flag));
  EXPECT_EQ(flag, 1);
  EXPECT_TRUE(ini_.ReadBool("chat", "chatsmall", flag));
  EXPECT_EQ(flag, 0);
}

TEST_F(IniFileTest, BoolIsTrueOnlyForExactlyOne) {
  Open("[s]\r\na=1\r\nb= 1 \r\nc=yes\r\nd=11\r\ne=\r\n");
  const struct {
    const char* key;
    uint8_t value;
  } cases[] = {{"a", 1}, {"b", 1}, {"c", 0}, {"d", 0}, {"e", 0}};
  for (const auto& c : cases) {
    uint8_t out = 9;
    EXPECT_TRUE(ini_.ReadBool("s", c.key, out)) << c.key;
    EXPECT_EQ(out, c.value) << c.key;
  }
}

TEST_F(IniFileTest, CompositeValues) {
  Open("[s]\r\nred=255,0,0\r\nwrap=300,0,0\r\nblueonly=255\r\nrgb=1,2,3,4\r\n"
       "rect=1,2,3,4\r\nshortrect=5,6\r\npoint=-40,49\r\nlonely=7\r\n");
  uint32_t colour = 0;
  EXPECT_TRUE(ini_.ReadColor("s", "red", colour));
  EXPECT_EQ(colour, 255u);
  EXPECT_TRUE(ini_.ReadColor("s", "wrap", colour));
  EXPECT_EQ(colour, 44u);
  EXPECT_TRUE(ini_.ReadColor("s", "blueonly", colour));  // no commas: red 0, green 0, blue 255
  EXPECT_EQ(colour, 0xFF0000u);
  EXPECT_TRUE(ini_.ReadColor("s", "rgb", colour));  // the last part is the whole rest: "3,4"
  EXPECT_EQ(colour, 0x030201u);

  std::array<int32_t, 4> rect{};
  EXPECT_TRUE(ini_.ReadRect("s", "rect", rect));
  EXPECT_EQ(rect, (std::array<int32_t, 4>{1, 2, 3, 4}));
  EXPECT_TRUE(ini_.ReadRect("s", "shortrect", rect));  // "5," then "6": two parts lack commas
  EXPECT_EQ(rect, (std::array<int32_t, 4>{5, 0, 0, 6}));

  std::array<int32_t, 2> point{};
  EXPECT_TRUE(ini_.ReadPoint("s", "point", point));
  EXPECT_EQ(point, (std::array<int32_t, 2>{-40, 49}));
  EXPECT_TRUE(ini_.ReadSize("s", "lonely", point));
  EXPECT_EQ(point, (std::array<int32_t, 2>{0, 7}));
}

TEST(IniFile, ClosedOrMissingFileReadsNothingAndWritesNothing) {
  TempDir dir;
  CIniFile ini;
  ini.SetPath(dir.Dir());
  ini.SetFileName("absent.ini");
  EXPECT_FALSE(ini.OpenRead());
  std::string s = "kept";
  int32_t i = 3;
  EXPECT_FALSE(ini.ReadString("a", "b", s));
  EXPECT_FALSE(ini.ReadInt("a", "b", i));
  EXPECT_EQ(s, "kept");
  EXPECT_EQ(i, 3);
  EXPECT_FALSE(ini.WriteString("a", "b"));
  EXPECT_FALSE(ini.WriteSection("a"));

  ini.SetPath(dir.Dir() + "no/such/folder/");
  EXPECT_FALSE(ini.OpenWrite());
}

TEST(IniFile, WritesLinesEndingInCrLf) {
  TempDir dir;
  CIniFile ini;
  ini.SetPath(dir.Dir());
  ini.SetFileName("out.ini");
  ASSERT_TRUE(ini.OpenWrite());
  EXPECT_TRUE(ini.WriteSection("font"));
  EXPECT_TRUE(ini.WriteString("fontname", "x"));
  EXPECT_TRUE(ini.WriteInt("size", -3));
  EXPECT_TRUE(ini.WriteBool("chatsmall", true));
  ini.Close();
  EXPECT_EQ(dir.Read("out.ini"), "[font]\r\nfontname=x\r\nsize=-3\r\nchatsmall=1\r\n");
}

TEST(IniFile, HugeLinesAndBinaryBytesAreSafe) {
  TempDir dir;
  std::string text = "[s]\r\n" + std::string(200000, 'k') + "=v\r\n";
  text += std::string("bin\0ary=\xff\x81", 11) + "\r\nkey=\x81\r\n";
  dir.Write("big.ini", text);
  CIniFile ini;
  ini.SetPath(dir.Dir());
  ini.SetFileName("big.ini");
  ASSERT_TRUE(ini.OpenRead());
  std::string out;
  EXPECT_TRUE(ini.ReadString("s", "key", out));
  EXPECT_EQ(out, "\x81");  // a lone lead byte at the end is kept as a byte, nothing more
}

TEST(IniFile, ReadsTheFileOnceWhenOpened) {
  TempDir dir;
  dir.Write("once.ini", "[font]\r\nsize=9\r\n");
  CIniFile ini;
  ini.SetPath(dir.Dir());
  ini.SetFileName("once.ini");
  ASSERT_TRUE(ini.OpenRead());
  dir.Write("once.ini", "[font]\r\nsize=12\r\ncolor=3\r\n");  // changed behind its back
  int32_t size = 0, color = 0;
  EXPECT_TRUE(ini.ReadInt("font", "size", size));
  EXPECT_EQ(size, 9);
  EXPECT_FALSE(ini.ReadInt("font", "color", color));
  ini.Close();
  EXPECT_FALSE(ini.ReadInt("font", "size", size));
}

TEST(IniFile, FilesAboveTheCapAreRefusedAndLogged) {
  const std::string keys = "[mainwnd]\r\nchatvalidskin=1\r\n";
  struct Case {
    size_t size;
    bool opens;
  } cases[] = {{CIniFile::kMaxFileBytes, true}, {CIniFile::kMaxFileBytes + 1, false}};
  for (const Case& c : cases) {
    TempDir dir;
    dir.Write("config.ini", keys + std::string(c.size - keys.size(), ';'));
    std::vector<std::string> logged;
    CIniFile ini;
    ini.SetLog([&](const std::string& line) { logged.push_back(line); });
    ini.SetPath(dir.Dir());
    ini.SetFileName("config.ini");
    EXPECT_EQ(ini.OpenRead(), c.opens) << c.size;
    EXPECT_EQ(ini.IsOpen(), c.opens) << c.size;
    uint8_t valid = 7;
    EXPECT_EQ(ini.ReadBool("mainwnd", "chatvalidskin", valid), c.opens) << c.size;
    EXPECT_EQ(valid, c.opens ? 1 : 7) << c.size;
    ASSERT_EQ(logged.size(), c.opens ? 0u : 1u) << c.size;
    if (!c.opens) EXPECT_NE(logged[0].find(dir.File("config.ini")), std::string::npos);
  }
  // A missing file is no fault: nothing is logged.
  TempDir dir;
  bool logged = false;
  CIniFile ini;
  ini.SetLog([&](const std::string&) { logged = true; });
  ini.SetPath(dir.Dir());
  ini.SetFileName("absent.ini");
  EXPECT_FALSE(ini.OpenRead());
  EXPECT_FALSE(logged);
}

}  // namespace
}  // namespace chat
