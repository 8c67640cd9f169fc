#include "chat_layout.h"

#include <gtest/gtest.h>

namespace chat {
namespace {

TEST(ChatLayout, BuiltInGeometryOnA300By200Pane) {
  CSkinManager skin;
  ApplyLayoutDefaults(skin);
  const ChatLayout l = ComputeLayout(skin, 300, 200, 20, false);
  const struct {
    const char* name;
    Box box;
    Box want;
  } cases[] = {
      {"font", l.font, {4, 151, 29, 171}},
      {"send (x from the right)", l.send, {245, 171, 290, 196}},
      {"switch (y from the top)", l.setSwitch, {260, 49, 295, 69}},
      {"output", l.output, {1, 20, 299, 150}},
      {"input", l.input, {1, 173, 240, 198}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.box.left, c.want.left) << c.name;
    EXPECT_EQ(c.box.top, c.want.top) << c.name;
    EXPECT_EQ(c.box.right, c.want.right) << c.name;
    EXPECT_EQ(c.box.bottom, c.want.bottom) << c.name;
  }
  EXPECT_FALSE(l.showCombo);
}

}  // namespace
}  // namespace chat
