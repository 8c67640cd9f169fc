// CControl_Buttons: the table's magic-action button, one cell of the framework's image-button
// strip. A press reaches the control as the dialog item's ordinary command (WM_COMMAND with
// the strip's id and notification code 0), like the table's other buttons.
#pragma once
#include <windows.h>

#include "image_buttons.h"

namespace table_gdi {

class CControl_Buttons : public framework_window::CImage_Buttons {
 public:
  ~CControl_Buttons() override = default;
  void OnButtonClick(int16_t index) override {
    if (index < 0 || !hwnd()) return;
    SendMessageW(GetParent(hwnd()), WM_COMMAND,
                 MAKEWPARAM(GetDlgCtrlID(hwnd()), 0), reinterpret_cast<LPARAM>(hwnd()));
  }
};

}  // namespace table_gdi
