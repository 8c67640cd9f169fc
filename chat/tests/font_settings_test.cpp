#include "font_settings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "chat_texts.h"
#include "ini_file.h"
#include "temp_dir.h"

namespace chat {
namespace {

using testing::TempDir;

TEST(FontSettings, SettingsDirectoryIsOneAboveTheLibraryFolder) {
  const struct {
    const char* module;
    const char* dir;
  } cases[] = {
      {"C:\\Game\\Chat\\Parley.dll", "C:\\Game"},
      {"C:\\Parley.dll", ""},  // the second cut finds no backslash
      {"Parley.dll", ""},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(SettingsDirectoryFromModulePath(c.module), c.dir);
}

TEST(FontSettings, SaveWritesTheFileByteForByteAndLoadReadsItBack) {
  TempDir dir;
  FontSettings saved;
  saved.fontname = "Arial";
  saved.color = 0x0000FF;
  saved.size = 20;  // raised to the minimum before writing
  saved.blod = 1;
  saved.underline = 1;
  ASSERT_TRUE(SaveFontSettings(dir.Dir(), saved, true));
  EXPECT_EQ(saved.size, 50);
  EXPECT_EQ(dir.Read("serialize.data"),
            "[font]\r\nfontname=Arial\r\ncolor=255\r\nsize=50\r\nblod=1\r\nitalic=0\r\n"
            "strickout=0\r\nunderline=1\r\n[chat]\r\nchatsmall=1\r\n");

  FontSettings loaded;
  uint8_t chatsmall = 0;
  ASSERT_TRUE(LoadFontSettings(dir.Dir(), loaded, chatsmall));
  EXPECT_EQ(loaded.fontname, "Arial");
  EXPECT_EQ(loaded.color, 255);
  EXPECT_EQ(loaded.size, 50);
  EXPECT_EQ(loaded.blod, 1);
  EXPECT_EQ(loaded.italic, 0);
  EXPECT_EQ(loaded.underline, 1);
  EXPECT_EQ(chatsmall, 1);
}

TEST(FontSettings, LoadKeepsWhatTheFileLacksAndRaisesSmallSizes) {
  const struct {
    const char* file;
    int32_t size;
    int32_t italic;
    uint8_t chatsmall;
  } cases[] = {
      {"[font]\r\nitalic=1\r\n", 105, 1, 7},           // no size: the start value stays
      {"[font]\r\nsize=20\r\n[chat]\r\nchatsmall=0\r\n", 50, 0, 0},
      {"[font]\r\nsize = 9\r\n", 105, 0, 7},           // not an exact integer key
      {"garbage\x81", 105, 0, 7},
  };
  for (const auto& c : cases) {
    TempDir dir;
    dir.Write("serialize.data", c.file);
    FontSettings s;
    uint8_t chatsmall = 7;
    EXPECT_TRUE(LoadFontSettings(dir.Dir(), s, chatsmall));
    EXPECT_EQ(s.size, c.size) << c.file;
    EXPECT_EQ(s.italic, c.italic) << c.file;
    EXPECT_EQ(chatsmall, c.chatsmall) << c.file;
    EXPECT_EQ(s.fontname, kTextSongTi);
  }
}

TEST(FontSettings, MissingFileChangesNothing) {
  TempDir dir;
  FontSettings s;
  s.size = 77;
  uint8_t chatsmall = 3;
  EXPECT_FALSE(LoadFontSettings(dir.Dir() + "absent/", s, chatsmall));
  EXPECT_EQ(s.size, 77);
  EXPECT_EQ(chatsmall, 3);
  EXPECT_FALSE(SaveFontSettings(dir.Dir() + "absent/", s, false));
}

TEST(FontSettings, OversizedFileIsRefusedAndLogged) {
  TempDir dir;
  dir.Write("serialize.data", "[font]\r\nsize=200\r\n" + std::string(CIniFile::kMaxFileBytes, ' '));
  FontSettings s;
  s.size = 77;
  uint8_t chatsmall = 3;
  std::vector<std::string> logged;
  EXPECT_FALSE(LoadFontSettings(dir.Dir(), s, chatsmall,
                                [&](const std::string& line) { logged.push_back(line); }));
  EXPECT_EQ(s.size, 77);
  ASSERT_EQ(logged.size(), 1u);
  EXPECT_NE(logged[0].find("serialize.data"), std::string::npos);
}

TEST(FontSettings, LongFaceNamesAreCutToWholeCharactersThatFitTheFaceField) {
  TempDir dir;
  // Nine Chinese characters (18 bytes) and one more: 20 bytes would leave no room for the NUL.
  std::string face;
  for (int i = 0; i < 10; ++i) face += "\xcb\xce";
  dir.Write("serialize.data", "[font]\r\nfontname=" + face + "\r\n");
  FontSettings s;
  uint8_t chatsmall = 0;
  ASSERT_TRUE(LoadFontSettings(dir.Dir(), s, chatsmall));
  EXPECT_EQ(s.fontname, face.substr(0, 18));
  s.fontname = std::string(40, 'F');
  ASSERT_TRUE(SaveFontSettings(dir.Dir(), s, false));
  EXPECT_NE(dir.Read("serialize.data").find("fontname=" + std::string(19, 'F') + "\r\n"),
            std::string::npos);
}

}  // namespace
}  // namespace chat
