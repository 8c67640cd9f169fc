// Any bytes as an ini file: every reader, with keys and sections that occur and that do not.
#include <sys/stat.h>

#include <cstdint>

#include "chat_texts.h"

#include "fuzz_file.h"
#include "ini_file.h"
#include "skin_manager.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  chat::testing::WriteFuzzFile("style.ini", data, size);
  chat::CIniFile ini;
  ini.SetPath(chat::testing::FuzzDirectory());
  ini.SetFileName("style.ini");
  if (!ini.OpenRead()) return 0;
  std::string s;
  uint8_t b = 0;
  int32_t i = 0;
  uint32_t c = 0;
  std::array<int32_t, 4> r{};
  std::array<int32_t, 2> p{};
  for (const char* section : {"mainwnd", "chat", "[", ""}) {
    for (const char* key : {"chatvalidskin", "a", "=", ""}) {
      ini.ReadString(section, key, s);
      ini.ReadBool(section, key, b);
      ini.ReadInt(section, key, i);
      ini.ReadColor(section, key, c);
      ini.ReadRect(section, key, r);
      ini.ReadPoint(section, key, p);
    }
  }
  ini.Close();
  // The same bytes as the style list and the style's settings of a skin tree.
  static const bool made = [] {
    mkdir((chat::testing::FuzzDirectory() + "Skin").c_str(), 0700);
    mkdir((chat::testing::FuzzDirectory() + "Skin/" + kTextDefaultStyle).c_str(), 0700);
    return true;
  }();
  (void)made;
  chat::testing::WriteFuzzFile("Skin/style.ini", data, size);
  chat::testing::WriteFuzzFile(std::string("Skin/") + kTextDefaultStyle + "/config.ini", data,
                               size);
  chat::CSkinManager skin;
  skin.loadSkin({chat::testing::FuzzDirectory(), "/nonexistent/x", nullptr});
  return 0;
}
