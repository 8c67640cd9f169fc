// Any bytes as "serialize.data".
#include <cstdint>

#include "font_settings.h"
#include "fuzz_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  chat::testing::WriteFuzzFile(chat::kFontSettingsFileName, data, size);
  chat::FontSettings settings;
  uint8_t chatsmall = 0;
  chat::LoadFontSettings(chat::testing::FuzzDirectory(), settings, chatsmall);
  if (settings.fontname.size() > chat::kMaxFaceBytes || settings.size < chat::kMinFontSize)
    __builtin_trap();
  return 0;
}
