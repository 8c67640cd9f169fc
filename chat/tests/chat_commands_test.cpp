#include "chat_commands.h"

#include <gtest/gtest.h>

#include <string>

namespace chat {
namespace {

ChatLayout SampleLayout(const ButtonPoints* points = nullptr) {
  CSkinManager skin;
  ApplyLayoutDefaults(skin);
  skin.m_nChannelBarHeight = 20;
  skin.chatchannelsize = {80, 24};
  skin.chatcombopoint = {120, 49};
  skin.chatcombosize = {100, 20};
  skin.chatbtnpreventpoint = {90, 49};
  skin.chatbtnpreventsize = {25, 20};
  return ComputeLayout(skin, 300, 200, 44, true, points);
}

TEST(ChatCommands, PressesFindTheirButtonAndHiddenButtonsTakeNone) {
  const ChatLayout l = SampleLayout();
  const struct {
    int x, y;
    bool whisper;
    int want;
  } cases[] = {
      {10, 160, false, kCommandFont},      {40, 160, false, kCommandFace},
      {70, 160, false, kCommandPhrases},   {220, 160, false, kCommandClear},
      {250, 180, false, kCommandSend},     {95, 160, true, kCommandBlockList},
      {95, 160, false, kCommandBlockList}, // the block list answers in every mode
      {270, 55, true, kCommandSwitch},     {270, 55, false, kCommandNone},
      {150, 30, true, kCommandChannel},    {150, 30, false, kCommandNone},
      {130, 160, true, kCommandNone},      // the target hint runs no command on a press
      {1, 1, true, kCommandNone},
  };
  for (const auto& c : cases)
    EXPECT_EQ(PressedCommand(l, c.whisper, c.x, c.y), c.want) << c.x << "," << c.y;
}

TEST(ChatCommands, HoverOrderAndTips) {
  const ChatLayout l = SampleLayout();
  std::vector<int> order;
  for (const CommandButton& b : HoverButtons(l, true)) {
    order.push_back(b.command);
    EXPECT_NE(CommandTip(b.command), nullptr) << b.command;
  }
  EXPECT_EQ(order, (std::vector<int>{kCommandTargetHint, kCommandFont, kCommandSend, kCommandFace,
                                     kCommandPhrases, kCommandClear, kCommandBlockList,
                                     kCommandSwitch, kCommandChannel}));
  // Outside whisper mode: the block list too, but not the switch, the tabs or the hint.
  order.clear();
  for (const CommandButton& b : HoverButtons(l, false)) order.push_back(b.command);
  EXPECT_EQ(order, (std::vector<int>{kCommandFont, kCommandSend, kCommandFace, kCommandPhrases,
                                     kCommandClear, kCommandBlockList}));
  EXPECT_STREQ(CommandTip(kCommandChannel),
               "\xce\xd2\xb5\xc4\xc6\xb5\xb5\xc0\xbd\xf6\xbd\xf6\xcf\xd4\xca\xbe\xcb\xbd\xc1\xc4"
               "\xd0\xc5\xcf\xa2");  // 我的频道仅仅显示私聊信息
  EXPECT_EQ(CommandTip(kCommandNone), nullptr);
  EXPECT_TRUE(FocusesInputAfter(kCommandChannel));
  EXPECT_FALSE(FocusesInputAfter(kCommandSwitch));
}

TEST(ChatCommands, WhisperStyleOneMovesTheFourButtonsRight) {
  CSkinManager skin;
  ApplyLayoutDefaults(skin);
  ButtonPoints points = CopyButtonPoints(skin);
  ShiftButtonPoints(points, 100);
  const ChatLayout moved = ComputeLayout(skin, 300, 200, 44, true, &points);
  const ChatLayout kept = ComputeLayout(skin, 300, 200, 44, true);
  EXPECT_EQ(moved.font.left, kept.font.left + 100);
  EXPECT_EQ(moved.clear.left, kept.clear.left + 100);
  EXPECT_EQ(moved.send.left, kept.send.left);  // the send button stays
  EXPECT_EQ(moved.output.top, 44);
}

std::string Enabled(const std::vector<MenuEntry>& menu) {
  std::string s;
  for (const MenuEntry& e : menu) s += e.id == 0 ? '-' : (e.enabled ? 'x' : '.');
  return s;
}

TEST(ChatCommands, PaneMenusEnableByPaneAndState) {
  const struct {
    bool input;
    PaneEditState state;
    const char* want;  // undo - cut copy paste delete - save - all clear - font
  } cases[] = {
      {true, {false, false, false}, ".-....-.-xx-x"},
      {true, {true, true, true}, "x-xxxx-.-xx-x"},
      {false, {true, true, true}, ".-.x..-x-xx-."},  // output: copy only with a selection
      {false, {false, false, false}, ".-....-x-xx-."},
  };
  for (const auto& c : cases) EXPECT_EQ(Enabled(PaneMenu(c.input, c.state)), c.want);
  const auto menu = PaneMenu(true, {});
  EXPECT_EQ(menu.front().id, kMenuUndo);
  EXPECT_STREQ(menu.front().text, "\xc8\xa1\xcf\xfb(&Z)");  // 取消(&Z)
  EXPECT_EQ(menu.back().id, kMenuFont);
}

}  // namespace
}  // namespace chat
