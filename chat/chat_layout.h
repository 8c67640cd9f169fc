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
  // Whisper mode: the hint left of the target box, and the two channel tabs above the panes.
  Box targetHint;
  Box tabs;
};

// The font, face, phrases and clear buttons' points as the control keeps them: taken from the
// skin once, moved right by the target box's width in whisper mode with chat style 1.
struct ButtonPoints {
  SkinPoint font{}, face{}, word{}, clear{};
};
ButtonPoints CopyButtonPoints(const CSkinManager& skin);
void ShiftButtonPoints(ButtonPoints& points, int dx);

// The built-in geometry the control writes into the skin when no valid skin was loaded.
void ApplyLayoutDefaults(CSkinManager& skin);

// pane_top: the header band height, or more once the whisper strip is shown. points: the
// control's copies of the four button points (the skin's own when null).
ChatLayout ComputeLayout(const CSkinManager& skin, int width, int height, int pane_top,
                         bool whisper_mode, const ButtonPoints* points = nullptr);

}  // namespace chat
