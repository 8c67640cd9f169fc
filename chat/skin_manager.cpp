#include "skin_manager.h"

#include <cctype>

#include "chat_file.h"
#include "chat_texts.h"
#include "gbk_codec.h"
#include "ini_file.h"

namespace chat {
namespace {

const char* const kPictureFiles[kPictureCount] = {
    "chat\\channel_comm.png", "chat\\channel_private.png", "chat\\chathead.bmp",
    "chat\\font.png",         "chat\\face.png",            "chat\\clear.png",
    "chat\\set.png",          "chat\\private.png",         "chat\\word.png",
    "chat\\send.png",         "chat\\back.bmp"};

constexpr char kMainWnd[] = "mainwnd";
constexpr char kChat[] = "chat";

std::string WithSeparator(std::string directory) {
  if (!directory.empty() && directory.back() != kPathSeparator) directory += kPathSeparator;
  return directory;
}

// Reads a dialog bitmap's file name; the bitmap is the file in directory when it is there.
void ReadBitmapFile(CIniFile& ini, const char* key, const std::string& directory,
                    std::string& file) {
  std::string name;
  if (!ini.ReadString(kMainWnd, key, name) || name.empty()) return;
  const std::string path = JoinChatPath(directory, name);
  if (ChatFileExists(path)) file = path;
}

}  // namespace

std::string JoinChatPath(const std::string& directory, const std::string& relative) {
  std::string path = directory + relative;
  if (kPathSeparator != '\\') {
    // Only the part added here is written with backslashes; GBK trail bytes can be 0x5C, so
    // the character boundaries of the relative part are followed.
    for (size_t i = directory.size(); i < path.size();) {
      const size_t w = GbkCharacterWidth(path, i);
      if (w == 1 && path[i] == '\\') path[i] = kPathSeparator;
      i += w;
    }
  }
  return path;
}

bool EqualPathsIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size();) {
    const size_t w = GbkCharacterWidth(a, i);
    if (w == 2) {
      if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
    } else if (std::tolower(static_cast<unsigned char>(a[i])) !=
               std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
    i += w;
  }
  return true;
}

void CSkinManager::SetPresets() {
  chatchannelsize = {80, 24};
  m_nChannelBarHeight = 20;
  roomchatalignleft = 1;
  chatbackcolor = 0xA18D6A;
  chatoutrichbackcolor = 0xFFFFFF;
  chatinputrichbackcolor = 0xFFFFFF;
  chatadmintextcolor = 0x0A0AFF;
  chatbroadcastcolor = 0x9664E1;
  chatsysmsgcolor = 0x0A0ACD;
  chatdefaultheadcolor = 0xC0C0C0;
  chatdefaulttextcolor = 0xC0C0C0;
  chatvipheadcolor = 0x8C0A0A;
  chatviptextcolor = 0x8C0A0A;
  chatprivatedefaultheadcolor = 0xA08080;
  chatprivatedefaulttextcolor = 0xA08080;
  usedefaultinputcolor = 0;
  chatbackmodal = 0;
  chatsetbtntextcolor = 0x14FFFF;
  chatsetbtnfocustextcolor = 0x0505CD;
}

void CSkinManager::loadSkin(const SkinSources& sources) {
  SetPresets();
  if (sources.appPath.empty()) return;

  const std::string skin_dir = JoinChatPath(WithSeparator(sources.appPath), "Skin\\");
  bool go_on = true;
  try {
    go_on = LoadPlatformSkin(skin_dir, sources);
  } catch (...) {
    if (sources.log) sources.log("CSkinManager::loadSkin() error2");
  }
  if (!go_on) return;

  const size_t slash = sources.programPath.rfind(kPathSeparator);
  const std::string program_dir =
      slash == std::string::npos ? std::string() : sources.programPath.substr(0, slash);
  if (EqualPathsIgnoringCase(program_dir, sources.appPath)) return;
  LoadProgramSkin(JoinChatPath(WithSeparator(program_dir), "skin\\"), sources);
}

bool CSkinManager::LoadPlatformSkin(const std::string& skin_dir, const SkinSources& sources) {
  for (int i = 0; i < kPictureCount; ++i) pictures[i] = JoinChatPath(skin_dir, kPictureFiles[i]);
  if (!ChatFileExists(pictures[kPictureBack])) pictures[kPictureBack].clear();

  CIniFile styles;
  styles.SetLog(sources.log);
  styles.SetPath(skin_dir);
  styles.SetFileName("style.ini");
  if (!styles.OpenRead()) return false;
  std::string style;
  if (!styles.ReadString("showstyle", "curstyle", style) || style.empty())
    style = kTextDefaultStyle;
  std::string style_dir_name;
  if (!styles.ReadString("stylelist", style, style_dir_name) || style_dir_name.empty())
    style_dir_name = kTextDefaultStyle;
  styles.Close();

  const std::string style_dir = JoinChatPath(skin_dir, style_dir_name + "\\");
  CIniFile ini;
  ini.SetLog(sources.log);
  ini.SetPath(style_dir);
  ini.SetFileName("config.ini");
  if (!ini.OpenRead()) return true;
  ini.ReadBool(kMainWnd, "chatvalidskin", chatvalidskin);
  if (!chatvalidskin) return false;

  ini.ReadBool(kMainWnd, "roomchatalignleft", roomchatalignleft);
  ReadBitmapFile(ini, "dlgbmpfile", style_dir, dlgbmpfile);
  ReadBitmapFile(ini, "dlgbtnbmpfile", style_dir, dlgbtnbmpfile);
  ReadBitmapFile(ini, "dlgbtnmousemovebmpfile", style_dir, dlgbtnmousemovebmpfile);
  ini.ReadInt(kMainWnd, "dlgbuttonwidth", dlgbuttonwidth);
  ini.ReadInt(kMainWnd, "dlgbuttonheight", dlgbuttonheight);
  ini.ReadColor(kMainWnd, "dlgbtntextcolor", dlgbtntextcolor);
  ini.ReadColor(kMainWnd, "dlgbtnfocustextcolor", dlgbtnfocustextcolor);
  ini.ReadPoint(kMainWnd, "dlgcaptionpoint", dlgcaptionpoint);
  ini.ReadColor(kMainWnd, "dlgcaptiontextcolor", dlgcaptiontextcolor);
  ini.ReadRect(kMainWnd, "dlgsysexitbtn", dlgsysexitbtn);
  ReadBitmapFile(ini, "dlgclosebtnfile", style_dir, dlgclosebtnfile);
  ReadBitmapFile(ini, "dlgclosebtnfocusfile", style_dir, dlgclosebtnfocusfile);
  ini.ReadInt(kMainWnd, "chatbackmodal", chatbackmodal);
  ini.ReadSize(kMainWnd, "chatchannelsize", chatchannelsize);
  ini.ReadPoint(kMainWnd, "chatcombopoint", chatcombopoint);
  ini.ReadSize(kMainWnd, "chatcombosize", chatcombosize);
  ini.ReadPoint(kMainWnd, "chatbtnpreventpoint", chatbtnpreventpoint);
  ini.ReadSize(kMainWnd, "chatbtnpreventsize", chatbtnpreventsize);
  ini.ReadPoint(kMainWnd, "chatbtnfontpoint", chatbtnfontpoint);
  ini.ReadPoint(kMainWnd, "chatbtnfacepoint", chatbtnfacepoint);
  ini.ReadPoint(kMainWnd, "chatbtnwordpoint", chatbtnwordpoint);
  ini.ReadPoint(kMainWnd, "chatbtnclearpoint", chatbtnclearpoint);
  ini.ReadPoint(kMainWnd, "chatbtnsendpoint", chatbtnsendpoint);
  ini.ReadSize(kMainWnd, "chatbtnfontsize", chatbtnfontsize);
  ini.ReadSize(kMainWnd, "chatbtnfacesize", chatbtnfacesize);
  ini.ReadSize(kMainWnd, "chatbtnwordsize", chatbtnwordsize);
  ini.ReadSize(kMainWnd, "chatbtnclearsize", chatbtnclearsize);
  ini.ReadSize(kMainWnd, "chatbtnsendsize", chatbtnsendsize);
  ini.ReadColor(kMainWnd, "chatsetbtnfocustextcolor", chatsetbtnfocustextcolor);
  ini.ReadColor(kMainWnd, "chatsetbtntextcolor", chatsetbtntextcolor);
  ini.ReadPoint(kMainWnd, "chatbtnsetpoint", chatbtnsetpoint);
  ini.ReadSize(kMainWnd, "chatbtnsetsize", chatbtnsetsize);
  ini.ReadInt(kMainWnd, "chatinputleft", chatinputleft);
  ini.ReadInt(kMainWnd, "chatinputright", chatinputright);
  ini.ReadInt(kMainWnd, "chatinputbottom", chatinputbottom);
  ini.ReadInt(kMainWnd, "chatinputheigh", chatinputheigh);
  ini.ReadInt(kMainWnd, "chatoutputleft", chatoutputleft);
  ini.ReadInt(kMainWnd, "chatoutputright", chatoutputright);
  ini.ReadInt(kMainWnd, "chatoutputbottom", chatoutputbottom);
  ini.ReadColor(kMainWnd, "chatbackcolor", chatbackcolor);
  ini.ReadColor(kMainWnd, "chatoutrichbackcolor", chatoutrichbackcolor);
  ini.ReadColor(kMainWnd, "chatinputrichbackcolor", chatinputrichbackcolor);
  ini.ReadColor(kMainWnd, "chatadmintextcolor", chatadmintextcolor);
  ini.ReadColor(kMainWnd, "chatbroadcastcolor", chatbroadcastcolor);
  ini.ReadColor(kMainWnd, "chatsysmsgcolor", chatsysmsgcolor);
  ini.ReadColor(kMainWnd, "chatprivatedefaultheadcolor", chatprivatedefaultheadcolor);
  ini.ReadColor(kMainWnd, "chatprivatedefaulttextcolor", chatprivatedefaulttextcolor);
  ini.ReadColor(kMainWnd, "chatdefaultheadcolor", chatdefaultheadcolor);
  ini.ReadColor(kMainWnd, "chatdefaulttextcolor", chatdefaulttextcolor);
  ini.ReadColor(kMainWnd, "chatvipheadcolor", chatvipheadcolor);
  ini.ReadColor(kMainWnd, "chatviptextcolor", chatviptextcolor);
  return true;
}

void CSkinManager::LoadProgramSkin(const std::string& program_skin_dir,
                                   const SkinSources& sources) {
  CIniFile ini;
  ini.SetLog(sources.log);
  ini.SetPath(program_skin_dir);
  ini.SetFileName("config.ini");
  if (!ini.OpenRead()) return;
  ini.ReadBool(kChat, "chatvalidskin", chatvalidskin);
  if (!chatvalidskin) return;

  static const struct {
    const char* file;
    SkinPicture role;
  } kOverrides[] = {{"chat\\back.bmp", kPictureBack},   {"chat\\send.bmp", kPictureSend},
                    {"chat\\font.png", kPictureFont},   {"chat\\face.png", kPictureFace},
                    {"chat\\clear.png", kPictureClear}, {"chat\\word.png", kPictureWord}};
  for (const auto& o : kOverrides) {
    const std::string path = JoinChatPath(program_skin_dir, o.file);
    if (ChatFileExists(path)) pictures[o.role] = path;
  }

  ini.ReadInt(kChat, "chatbackmodal", chatbackmodal);
  ini.ReadPoint(kChat, "chatbtnfontpoint", chatbtnfontpoint);
  ini.ReadPoint(kChat, "chatbtnfacepoint", chatbtnfacepoint);
  ini.ReadPoint(kChat, "chatbtnwordpoint", chatbtnwordpoint);
  ini.ReadPoint(kChat, "chatbtnclearpoint", chatbtnclearpoint);
  ini.ReadPoint(kChat, "chatbtnsendpoint", chatbtnsendpoint);
  ini.ReadSize(kChat, "chatbtnfontsize", chatbtnfontsize);
  ini.ReadSize(kChat, "chatbtnfacesize", chatbtnfacesize);
  ini.ReadSize(kChat, "chatbtnwordsize", chatbtnwordsize);
  ini.ReadSize(kChat, "chatbtnclearsize", chatbtnclearsize);
  ini.ReadSize(kChat, "chatbtnsendsize", chatbtnsendsize);
  ini.ReadInt(kChat, "chatinputleft", chatinputleft);
  ini.ReadInt(kChat, "chatinputright", chatinputright);
  ini.ReadInt(kChat, "chatinputbottom", chatinputbottom);
  ini.ReadInt(kChat, "chatinputheigh", chatinputheigh);
  ini.ReadInt(kChat, "chatoutputleft", chatoutputleft);
  ini.ReadInt(kChat, "chatoutputright", chatoutputright);
  ini.ReadInt(kChat, "chatoutputbottom", chatoutputbottom);
  ini.ReadColor(kChat, "chatbackcolor", chatbackcolor);
  ini.ReadColor(kChat, "chatoutrichbackcolor", chatoutrichbackcolor);
  ini.ReadColor(kChat, "chatinputrichbackcolor", chatinputrichbackcolor);
  ini.ReadColor(kChat, "chatadmintextcolor", chatadmintextcolor);
  ini.ReadColor(kChat, "chatbroadcastcolor", chatbroadcastcolor);
  ini.ReadColor(kChat, "chatsysmsgcolor", chatsysmsgcolor);
  ini.ReadColor(kChat, "chatdefaultheadcolor", chatdefaultheadcolor);
  ini.ReadColor(kChat, "chatdefaulttextcolor", chatdefaulttextcolor);
  ini.ReadBool(kChat, "usedefaultinputcolor", usedefaultinputcolor);
}

}  // namespace chat
