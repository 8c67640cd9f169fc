// CSkinManager: the chat's look, read once per process from two skins:
//  1. the platform's, under the installation directory (AppPath): "Skin\style.ini" names the
//     current style, whose "config.ini" (section mainwnd) gives every key; the pictures lie in
//     "Skin\chat\";
//  2. the running program's, "<program folder>\skin\config.ini" (section chat), which overrides
//     a smaller set of keys and pictures.
// Fields carry their keys' names. The dialog bitmaps are kept here as the files to load (empty:
// none); the control's side turns them into bitmaps.
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <string>

namespace chat {

using SkinPoint = std::array<int32_t, 2>;
using SkinSize = std::array<int32_t, 2>;
using SkinRect = std::array<int32_t, 4>;

// Where a skin comes from: the installation directory as the registry gives it (empty when
// there is none), the full path of the running program, and the error log.
struct SkinSources {
  std::string appPath;
  std::string programPath;
  std::function<void(const std::string&)> log;
};

// The eleven pictures, in the order of their paths.
enum SkinPicture {
  kPictureChannelComm,
  kPictureChannelPrivate,
  kPictureChatHead,
  kPictureFont,
  kPictureFace,
  kPictureClear,
  kPictureSet,
  kPicturePrivate,
  kPictureWord,
  kPictureSend,
  kPictureBack,
  kPictureCount
};

class CSkinManager {
 public:
  CSkinManager() = default;
  virtual ~CSkinManager() = default;

  void loadSkin(const SkinSources& sources);

  SkinSize chatchannelsize{};
  int32_t m_nChannelBarHeight = 0;
  uint8_t chatvalidskin = 0;
  uint8_t roomchatalignleft = 0;
  std::string dlgbmpfile;
  std::string dlgbtnbmpfile;
  std::string dlgbtnmousemovebmpfile;
  int32_t dlgbuttonwidth = 0;
  int32_t dlgbuttonheight = 0;
  uint32_t dlgbtntextcolor = 0;
  uint32_t dlgbtnfocustextcolor = 0;
  SkinPoint dlgcaptionpoint{};
  uint32_t dlgcaptiontextcolor = 0;
  SkinRect dlgsysexitbtn{};
  std::string dlgclosebtnfile;
  std::string dlgclosebtnfocusfile;
  SkinPoint chatbtnfontpoint{}, chatbtnfacepoint{}, chatbtnwordpoint{}, chatbtnclearpoint{},
      chatbtnsendpoint{};
  SkinSize chatbtnfontsize{}, chatbtnfacesize{}, chatbtnwordsize{}, chatbtnclearsize{},
      chatbtnsendsize{};
  SkinPoint chatbtnsetpoint{};
  SkinSize chatbtnsetsize{};
  SkinPoint chatbtnpreventpoint{};
  SkinSize chatbtnpreventsize{};
  int32_t chatinputleft = 0, chatinputright = 0, chatinputbottom = 0, chatinputheigh = 0;
  int32_t chatoutputleft = 0, chatoutputright = 0, chatoutputbottom = 0;
  uint32_t chatbackcolor = 0;
  uint32_t chatoutrichbackcolor = 0;
  uint32_t chatinputrichbackcolor = 0;
  uint32_t chatadmintextcolor = 0;
  uint32_t chatbroadcastcolor = 0;
  uint32_t chatsysmsgcolor = 0;
  uint32_t chatdefaultheadcolor = 0;
  uint32_t chatdefaulttextcolor = 0;
  uint32_t chatvipheadcolor = 0;
  uint32_t chatviptextcolor = 0;
  uint32_t chatprivatedefaultheadcolor = 0;
  uint32_t chatprivatedefaulttextcolor = 0;
  uint8_t usedefaultinputcolor = 0;
  int32_t chatbackmodal = 0;
  uint32_t chatsetbtntextcolor = 0;
  uint32_t chatsetbtnfocustextcolor = 0;
  SkinPoint chatcombopoint{};
  SkinSize chatcombosize{};
  std::array<std::string, kPictureCount> pictures;

 private:
  void SetPresets();
  // Steps 3 to 6: the platform skin. False when loading ends there (no style list, or a style
  // that switches the skin off).
  bool LoadPlatformSkin(const std::string& skin_dir, const SkinSources& sources);
  void LoadProgramSkin(const std::string& program_skin_dir, const SkinSources& sources);
};

// The directory separator of the platform's paths.
#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// directory + relative, where relative is written with backslashes.
std::string JoinChatPath(const std::string& directory, const std::string& relative);

// Equal ignoring the case of ASCII letters (GBK trail bytes are compared as they are).
bool EqualPathsIgnoringCase(const std::string& a, const std::string& b);

}  // namespace chat
