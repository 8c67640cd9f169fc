// The chat's font settings, shared by every chat control of the process, and their file
// "serialize.data" in the settings directory (one level above the library's own folder):
//
//   [font]
//   fontname=<face>  color=<COLORREF>  size=<tenths of a point>  blod=  italic=  strickout=
//   underline=       (one key a line, in this order)
//   [chat]
//   chatsmall=0|1    (the skin's position-switch flag)
#pragma once
#include <cstdint>
#include <functional>
#include <string>

namespace chat {

struct FontSettings {
  FontSettings();
  std::string fontname;  // GBK; at most kMaxFaceBytes bytes
  int32_t color = 0;
  int32_t size = 105;
  int32_t blod = 0;
  int32_t italic = 0;
  int32_t strickout = 0;
  int32_t underline = 0;
};

// A font face fits a 20-byte field with its NUL.
inline constexpr size_t kMaxFaceBytes = 19;
inline constexpr int32_t kMinFontSize = 50;
inline constexpr char kFontSettingsFileName[] = "serialize.data";

// The process's one set.
FontSettings& GetFontSettings();

// The settings directory from the library's full path: cut before the last backslash, then
// once more; a step without a backslash leaves the empty string.
std::string SettingsDirectoryFromModulePath(const std::string& module_path);

// Reads "serialize.data" from directory (given with its trailing separator) over settings and
// chatsmall; a missing file or key leaves the value. False when the file does not open; a file
// too large to be the settings is reported to log.
bool LoadFontSettings(const std::string& directory, FontSettings& settings, uint8_t& chatsmall,
                      const std::function<void(const std::string&)>& log = {});
// Writes the file; false (and nothing written) when it cannot be created.
bool SaveFontSettings(const std::string& directory, FontSettings& settings, bool chatsmall);

}  // namespace chat
