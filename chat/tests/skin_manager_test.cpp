#include "skin_manager.h"

#include <gtest/gtest.h>

#include <vector>

#include "chat_texts.h"
#include "ini_file.h"
#include "temp_dir.h"

namespace chat {
namespace {

using testing::TempDir;

const std::string kDefaultStyle = kTextDefaultStyle;

// An installation folder "app" and a program folder "prog" under one temporary folder.
class SkinManagerTest : public ::testing::Test {
 protected:
  std::string App() const { return dir_.Dir() + root_ + "app"; }
  std::string Program() const { return dir_.Dir() + root_ + "prog/game.exe"; }
  void Platform(const std::string& relative, const std::string& text) {
    dir_.Write(root_ + "app/Skin/" + relative, text);
  }
  void ProgramSkin(const std::string& relative, const std::string& text) {
    dir_.Write(root_ + "prog/skin/" + relative, text);
  }
  CSkinManager Load(std::string app = "use default") {
    CSkinManager skin;
    SkinSources sources;
    sources.appPath = app == "use default" ? App() : app;
    sources.programPath = Program();
    sources.log = [this](const std::string& line) { log_.push_back(line); };
    skin.loadSkin(sources);
    return skin;
  }
  TempDir dir_;
  std::string root_;  // a sub-folder per case of a table
  std::vector<std::string> log_;
};

const char kValidMainWnd[] =
    "[mainwnd]\r\nchatvalidskin=1\r\nroomchatalignleft=0\r\nchatbackmodal=2\r\n"
    "chatbtnsendpoint=-55,29\r\nchatbtnsendsize=45,25\r\nchatbackcolor=10,20,30\r\n"
    "chatinputheigh=25\r\ndlgsysexitbtn=23,4,3,28\r\ndlgbmpfile=dlg.bmp\r\n"
    "dlgbtnbmpfile=missing.bmp\r\n";

TEST_F(SkinManagerTest, NoInstallationDirectoryKeepsThePresets) {
  ProgramSkin("config.ini", "[chat]\r\nchatvalidskin=1\r\nchatbackmodal=1\r\n");
  const CSkinManager skin = Load("");
  EXPECT_FALSE(skin.chatvalidskin);
  EXPECT_EQ(skin.chatbackcolor, 0xA18D6Au);
  EXPECT_EQ(skin.chatadmintextcolor, 0x0A0AFFu);
  EXPECT_EQ(skin.chatsetbtnfocustextcolor, 0x0505CDu);
  EXPECT_EQ(skin.chatchannelsize, (SkinSize{80, 24}));
  EXPECT_EQ(skin.m_nChannelBarHeight, 20);
  EXPECT_EQ(skin.roomchatalignleft, 1);
  EXPECT_EQ(skin.chatbackmodal, 0);  // the program skin was not consulted
  EXPECT_EQ(skin.chatbtnpreventpoint, (SkinPoint{0, 0}));  // no preset: zero
  for (const std::string& p : skin.pictures) EXPECT_TRUE(p.empty());
}

TEST_F(SkinManagerTest, ValidPlatformSkinInTheDefaultStyle) {
  Platform("style.ini", "[showstyle]\r\n[stylelist]\r\n");  // no curstyle, no list entry
  Platform(kDefaultStyle + "/config.ini", kValidMainWnd);
  Platform(kDefaultStyle + "/dlg.bmp", "BM");
  Platform("chat/back.bmp", "BM");
  const CSkinManager skin = Load();
  EXPECT_TRUE(skin.chatvalidskin);
  EXPECT_EQ(skin.roomchatalignleft, 0);
  EXPECT_EQ(skin.chatbackmodal, 2);
  EXPECT_EQ(skin.chatbtnsendpoint, (SkinPoint{-55, 29}));
  EXPECT_EQ(skin.chatbtnsendsize, (SkinSize{45, 25}));
  EXPECT_EQ(skin.chatbackcolor, 0x1E140Au);
  EXPECT_EQ(skin.chatinputheigh, 25);
  EXPECT_EQ(skin.dlgsysexitbtn, (SkinRect{23, 4, 3, 28}));
  EXPECT_EQ(skin.dlgbmpfile, App() + "/Skin/" + kDefaultStyle + "/dlg.bmp");
  EXPECT_TRUE(skin.dlgbtnbmpfile.empty());  // named but missing on disk
  EXPECT_EQ(skin.pictures[kPictureBack], App() + "/Skin/chat/back.bmp");
  EXPECT_EQ(skin.pictures[kPictureSend], App() + "/Skin/chat/send.png");  // set unchecked
  EXPECT_TRUE(log_.empty());
}

TEST_F(SkinManagerTest, OnOffMatrix) {
  struct Case {
    const char* name;
    bool style_list;        // "style.ini" present
    const char* platform;   // the style's config.ini, null: absent
    const char* program;    // the program's config.ini, null: absent
    bool valid;
    int32_t backmodal;
  };
  const Case cases[] = {
      {"no style list", false, kValidMainWnd, "[chat]\r\nchatvalidskin=1\r\n", false, 0},
      {"valid word", true, "[mainwnd]\r\nchatvalidskin=yes\r\nchatbackmodal=2\r\n",
       "[chat]\r\nchatvalidskin=1\r\nchatbackmodal=1\r\n", false, 0},
      {"spaces around 1", true, "[mainwnd]\r\nchatvalidskin = 1 \r\nchatbackmodal=2\r\n",
       nullptr, true, 2},
      {"other number", true, "[mainwnd]\r\nchatvalidskin=2\r\n", nullptr, false, 0},
      {"program overrides", true, kValidMainWnd, "[chat]\r\nchatbackmodal=1\r\n", true, 1},
      {"program switches off", true, kValidMainWnd,
       "[chat]\r\nchatvalidskin=0\r\nchatbackmodal=1\r\n", false, 2},
      {"program alone needs its flag", true, nullptr, "[chat]\r\nchatbackmodal=1\r\n", false,
       0},
      {"program alone", true, nullptr, "[chat]\r\nchatvalidskin=1\r\nchatbackmodal=1\r\n",
       true, 1},
      {"invalid platform stops", true, "[mainwnd]\r\nchatvalidskin=0\r\n",
       "[chat]\r\nchatvalidskin=1\r\nchatbackmodal=1\r\n", false, 0},
  };
  int n = 0;
  for (const Case& c : cases) {
    root_ = "case" + std::to_string(n++) + "/";
    if (c.style_list) Platform("style.ini", "[showstyle]\r\ncurstyle=blue\r\n[stylelist]\r\nblue=b\r\n");
    if (c.platform) Platform("b/config.ini", c.platform);
    if (c.program) ProgramSkin("config.ini", c.program);
    const CSkinManager skin = Load();
    EXPECT_EQ(skin.chatvalidskin != 0, c.valid) << c.name;
    EXPECT_EQ(skin.chatbackmodal, c.backmodal) << c.name;
  }
}

TEST_F(SkinManagerTest, ProgramPicturesReplaceThePlatformOnes) {
  Platform("style.ini", "[showstyle]\r\n");
  Platform(kDefaultStyle + "/config.ini", kValidMainWnd);
  ProgramSkin("config.ini", "[chat]\r\n");  // no flag: applied, the platform skin is valid
  ProgramSkin("chat/back.bmp", "BM");
  ProgramSkin("chat/send.bmp", "BM");
  ProgramSkin("chat/send.png", "PNG");  // the program's send picture is looked for as .bmp
  const CSkinManager skin = Load();
  EXPECT_TRUE(skin.chatvalidskin);
  EXPECT_EQ(skin.pictures[kPictureBack], dir_.Dir() + "prog/skin/chat/back.bmp");
  EXPECT_EQ(skin.pictures[kPictureSend], dir_.Dir() + "prog/skin/chat/send.bmp");
  EXPECT_EQ(skin.pictures[kPictureFont], App() + "/Skin/chat/font.png");
}

TEST_F(SkinManagerTest, OversizedSettingsFilesAreRefusedAndLogged) {
  const std::string oversized = std::string(kValidMainWnd) + std::string(CIniFile::kMaxFileBytes, ';');
  Platform("style.ini", "[showstyle]\r\n");
  Platform(kDefaultStyle + "/config.ini", oversized);
  ProgramSkin("config.ini", "[chat]\r\nchatvalidskin=1\r\n" + oversized);
  const CSkinManager skin = Load();
  const CSkinManager presets = Load("");
  EXPECT_EQ(skin.chatbackcolor, presets.chatbackcolor);  // nothing read from either
  EXPECT_EQ(skin.chatvalidskin, presets.chatvalidskin);
  ASSERT_EQ(log_.size(), 2u);
  EXPECT_NE(log_[0].find("config.ini"), std::string::npos);
  EXPECT_NE(log_[1].find("config.ini"), std::string::npos);
}

TEST_F(SkinManagerTest, ProgramInTheInstallationDirectoryCountsOnce) {
  Platform("style.ini", "[showstyle]\r\n");
  Platform(kDefaultStyle + "/config.ini", kValidMainWnd);
  dir_.Write("app/skin/config.ini", "[chat]\r\nchatvalidskin=0\r\n");
  CSkinManager skin;
  SkinSources sources{App(), App() + "/game.exe", nullptr};
  skin.loadSkin(sources);
  EXPECT_TRUE(skin.chatvalidskin);

  EXPECT_TRUE(EqualPathsIgnoringCase("C:\\Program Files\\Game", "c:\\PROGRAM files\\game"));
  EXPECT_FALSE(EqualPathsIgnoringCase("C:\\Game", "C:\\Gam"));
  // The trail byte 0x41 ('A') of a Chinese character is not folded.
  EXPECT_FALSE(EqualPathsIgnoringCase("\x81\x41", "\x81\x61"));
}

}  // namespace
}  // namespace chat
