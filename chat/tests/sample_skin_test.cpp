// The sample installation folder made at build time is a valid skin in its current style.
#include <gtest/gtest.h>

#include "ini_file.h"
#include "skin_manager.h"

namespace chat {
namespace {

TEST(SampleSkin, LoadsTheCurrentStyleAndItsDialogPictures) {
  CSkinManager skin;
  skin.loadSkin({CHAT_SAMPLE_DIR, "/nowhere/game.exe", nullptr});
  EXPECT_TRUE(skin.chatvalidskin);
  EXPECT_EQ(skin.chatbackcolor, 0xBE7846u);  // 70,120,190: the second style's colour
  EXPECT_EQ(skin.chatbtnsendpoint, (SkinPoint{-55, 29}));
  EXPECT_EQ(skin.dlgbmpfile, std::string(CHAT_SAMPLE_DIR) + "/Skin/blue/dlg_back.bmp");
  EXPECT_EQ(skin.pictures[kPictureBack], std::string(CHAT_SAMPLE_DIR) + "/Skin/chat/back.bmp");

  CIniFile faces;
  faces.SetPath(std::string(CHAT_SAMPLE_DIR) + "/config/");
  faces.SetFileName("faceconfig.ini");
  ASSERT_TRUE(faces.OpenRead());
  int32_t count = 0;
  EXPECT_TRUE(faces.ReadInt("face", "count", count));
  EXPECT_EQ(count, 6);
}

}  // namespace
}  // namespace chat
