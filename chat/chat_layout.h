// Where the chat control's panes and buttons go, from the skin: with client width W and height
// H, a button at point x,y of size cx,cy covers {x, H - y, x + cx, H - y + cy} (a negative x
// counts from the right edge); the switch button's y counts down from the top.
#pragma once
#include "skin_manager.h"

namespace chat {

struct Box {
  int left = 0, top = 0, right = 0, bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
};

struct ChatLayout {
  Box font, face, word, clear, send, prevent, setSwitch;
  Box output;
  Box input;
  bool showCombo = false;
  Box combo;
};

// The built-in geometry the control writes into the skin when no valid skin was loaded.
void ApplyLayoutDefaults(CSkinManager& skin);

// pane_top: the header band height, or more once the whisper strip is shown.
ChatLayout ComputeLayout(const CSkinManager& skin, int width, int height, int pane_top,
                         bool whisper_mode);

}  // namespace chat
