#include "font_settings.h"

#include "chat_texts.h"
#include "gbk_codec.h"
#include "ini_file.h"

namespace chat {
namespace {

// The face cut to whole characters within kMaxFaceBytes.
std::string BoundedFace(const std::string& face) {
  size_t n = 0;
  while (n < face.size() && face[n] != '\0') {
    const size_t w = GbkCharacterWidth(face, n);
    if (n + w > kMaxFaceBytes) break;
    n += w;
  }
  return face.substr(0, n);
}

std::string CutBeforeLastBackslash(const std::string& path) {
  const size_t slash = path.rfind('\\');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

}  // namespace

FontSettings::FontSettings() : fontname(kTextSongTi) {}

FontSettings& GetFontSettings() {
  static FontSettings settings;
  return settings;
}

std::string SettingsDirectoryFromModulePath(const std::string& module_path) {
  return CutBeforeLastBackslash(CutBeforeLastBackslash(module_path));
}

bool LoadFontSettings(const std::string& directory, FontSettings& settings, uint8_t& chatsmall,
                      const std::function<void(const std::string&)>& log) {
  CIniFile file;
  file.SetLog(log);
  file.SetPath(directory);
  file.SetFileName(kFontSettingsFileName);
  if (!file.OpenRead()) return false;
  std::string face;
  if (file.ReadString("font", "fontname", face)) settings.fontname = BoundedFace(face);
  file.ReadInt("font", "color", settings.color);
  file.ReadInt("font", "size", settings.size);
  file.ReadInt("font", "blod", settings.blod);
  file.ReadInt("font", "italic", settings.italic);
  file.ReadInt("font", "strickout", settings.strickout);
  file.ReadInt("font", "underline", settings.underline);
  file.ReadBool("chat", "chatsmall", chatsmall);
  if (settings.size < kMinFontSize) settings.size = kMinFontSize;
  file.Close();
  return true;
}

bool SaveFontSettings(const std::string& directory, FontSettings& settings, bool chatsmall) {
  CIniFile file;
  file.SetPath(directory);
  file.SetFileName(kFontSettingsFileName);
  if (!file.OpenWrite()) return false;
  if (settings.size < kMinFontSize) settings.size = kMinFontSize;
  settings.fontname = BoundedFace(settings.fontname);
  file.WriteSection("font");
  file.WriteString("fontname", settings.fontname);
  file.WriteInt("color", settings.color);
  file.WriteInt("size", settings.size);
  file.WriteInt("blod", settings.blod);
  file.WriteInt("italic", settings.italic);
  file.WriteInt("strickout", settings.strickout);
  file.WriteInt("underline", settings.underline);
  file.WriteSection("chat");
  file.WriteBool("chatsmall", chatsmall);
  file.Close();
  return true;
}

}  // namespace chat
