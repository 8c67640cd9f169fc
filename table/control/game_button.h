// CGameButtonEx: an owner-drawn button of the table: an icon (normal, pressed, hover, disabled)
// or a frame of a bitmap strip (normal and gray), or its text; hover tracking, a check mode,
// and mouse moves relayed to a tooltip window. The button is a standard "Button" window with
// BS_OWNERDRAW; its parent passes WM_DRAWITEM on to DrawItem.
#pragma once
#include <windows.h>

#include <string>

#include "winkit/handle.h"
#include "winkit/subclassed_window.h"

namespace table_gdi {

class CGameButtonEx {
 public:
  CGameButtonEx() = default;
  ~CGameButtonEx();
  CGameButtonEx(const CGameButtonEx&) = delete;
  CGameButtonEx& operator=(const CGameButtonEx&) = delete;

  // Creates the button window as a child of `parent` with the dialog item id and its text.
  bool Create(HWND parent, int id, const std::wstring& text, bool visible);
  HWND hwnd() const { return m_hWnd; }
  int id() const { return m_nId; }

  void SetBkColor(COLORREF color);
  void SetTextColor(COLORREF color) { m_TextColor = color; }
  void SetIcons(HICON normal, HICON pressed, HICON hover, HICON disabled);
  void SetIcon(HICON icon) { SetIcons(icon, icon, icon, icon); }
  // Strips are kept, not copied (the table owns them).
  void SetBitmaps(HBITMAP normal, HBITMAP gray, int frames, int index);
  // The parent's picture to copy under the button: a DC holding it, in parent coordinates.
  void SetParentPicture(HDC picture) { m_hParentPicture = picture; }
  void SetCheckMode(bool on, bool clearOnCapture) {
    m_bCheckMode = on;
    m_bClearOnCapture = clearOnCapture;
  }
  bool GetCheck() const { return m_bChecked; }
  void SetCheck(bool on);
  void SetToolTip(HWND tip) { m_hToolTip = tip; }
  bool Hover() const { return m_bHover; }

  void DrawItem(const DRAWITEMSTRUCT& dis);

 private:
  // The button window's messages go through OnMessage first.
  class Hook : public winkit::SubclassedWindow {
   public:
    explicit Hook(CGameButtonEx& button) : button_(button) {}
    LRESULT Pass(UINT msg, WPARAM wp, LPARAM lp) { return Default(msg, wp, lp); }

   protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override {
      return button_.OnMessage(msg, wp, lp);
    }

   private:
    CGameButtonEx& button_;
  };
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp);

  HWND m_hWnd = nullptr;
  int m_nId = 0;
  winkit::UniqueBrush m_hBkBrush;
  COLORREF m_TextColor = 0;
  HICON m_Icons[4] = {};
  HBITMAP m_hStrip = nullptr, m_hGrayStrip = nullptr;
  int m_nFrames = 1, m_nIndex = 0;
  HDC m_hParentPicture = nullptr;
  bool m_bHover = false;
  bool m_bTracking = true;  // hover tracking on
  bool m_bCheckMode = false, m_bClearOnCapture = false, m_bChecked = false;
  HWND m_hToolTip = nullptr;
  Hook m_hook{*this};
};

}  // namespace table_gdi
