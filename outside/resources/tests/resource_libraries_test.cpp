// The sample sound library: every sound the client asks for by name is there, as a RIFF WAVE
// that the system's player accepts from memory.
#include <windows.h>
#include <mmsystem.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

std::vector<std::string> SoundNames() {
  std::vector<std::string> names = {"IDW_DICE", "IDW_SEND", "IDW_CHI", "IDW_CHI1", "IDW_PENG",
                                    "IDW_PENG1", "IDW_GANG", "IDW_GANG1", "IDW_HU", "IDW_WIN",
                                    "IDW_TING", "IDW_TING1", "IDW_ISYOU", "IDW_FAIL",
                                    "IDW_ONLINE", "IDW_OFFLINE"};
  // one per tile face: colour + 1, value
  for (int v = 1; v <= 9; ++v) names.push_back("IDW_1" + std::to_string(v));
  for (int v = 1; v <= 4; ++v) names.push_back("IDW_4" + std::to_string(v));
  for (int v = 1; v <= 3; ++v) names.push_back("IDW_5" + std::to_string(v));
  return names;
}

TEST(SoundLibrary, HoldsEveryNamedSoundAsWave) {
  HMODULE lib = LoadLibraryExW(L"pellamsound.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(lib, nullptr);
  for (const std::string& name : SoundNames()) {
    SCOPED_TRACE(name);
    HRSRC res = FindResourceA(lib, name.c_str(), "WAVE");
    ASSERT_NE(res, nullptr);
    DWORD size = SizeofResource(lib, res);
    const char* data = static_cast<const char*>(LockResource(LoadResource(lib, res)));
    ASSERT_GT(size, 44u);
    EXPECT_EQ(std::memcmp(data, "RIFF", 4), 0);
    EXPECT_EQ(std::memcmp(data + 8, "WAVE", 4), 0);
  }
  EXPECT_EQ(FindResourceA(lib, "IDW_NOSUCH", "WAVE"), nullptr);
  FreeLibrary(lib);
}

}  // namespace
