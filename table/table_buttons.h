// The table's buttons as the model sees them: which is enabled, shown and checked, and where.
// The control's button windows follow these states.
#pragma once
#include <array>
#include <cstdint>

#include "table_surface.h"

namespace table {

enum ButtonId : int {
  kButtonAction = 201,  // the magic-action strip
  kButtonSend = 306,
  kButtonGuo = 307,
  kButtonTing = 308,
  kButtonChi = 309,
  kButtonStart = 310,
  kButtonPeng = 311,
  kButtonGang = 312,
  kButtonSave = 313,
  kButtonAutoSend = 314,
  kButtonHu = 315,
  kButtonSetup = 319,
  kButtonExit = 320,
  kButtonPause = 321,
  kButtonDice = 322,
  kButtonNext = 323,
};

// The seven action buttons, left to right in their strip.
constexpr std::array<int, 7> kActionStrip = {kButtonHu,   kButtonTing, kButtonChi, kButtonPeng,
                                             kButtonGang, kButtonSend, kButtonGuo};
// The tool buttons that carry tooltips.
constexpr std::array<int, 4> kToolButtons = {kButtonSave, kButtonAutoSend, kButtonPause,
                                             kButtonNext};
// Every button of the table, in the dialog's order.
constexpr std::array<int, 16> kAllButtons = {
    kButtonSend, kButtonGuo,      kButtonTing, kButtonChi,   kButtonStart, kButtonPeng,
    kButtonGang, kButtonSave,     kButtonAutoSend, kButtonHu, kButtonPause, kButtonDice,
    kButtonNext, kButtonSetup,    kButtonExit, kButtonAction};

// Frame of the action strip bitmaps (237 normal, 238 gray; seven frames) by button.
inline int ActionFrame(int id) {
  switch (id) {
    case kButtonHu: return 0;
    case kButtonTing: return 1;
    case kButtonChi: return 2;
    case kButtonPeng: return 3;
    case kButtonGang: return 4;
    case kButtonSend: return 5;
    case kButtonGuo: return 6;
    default: return -1;
  }
}

struct ButtonState {
  int id = 0;
  bool enabled = true;
  bool visible = false;
  bool checked = false;
  bool checkMode = false;
  Rect rect;  // empty: the place the window has
};

class ButtonSet {
 public:
  ButtonSet() {
    for (size_t i = 0; i < kAllButtons.size(); ++i) m_States[i].id = kAllButtons[i];
  }
  // The state of a button; null for an id that is not a button of the table.
  ButtonState* Find(int id) {
    for (auto& s : m_States)
      if (s.id == id) return &s;
    return nullptr;
  }
  const ButtonState* Find(int id) const { return const_cast<ButtonSet*>(this)->Find(id); }
  bool Enabled(int id) const { auto* s = Find(id); return s && s->enabled; }
  bool Visible(int id) const { auto* s = Find(id); return s && s->visible; }
  bool Checked(int id) const { auto* s = Find(id); return s && s->checked; }

 private:
  std::array<ButtonState, kAllButtons.size()> m_States;
};

}  // namespace table
