// The framework's own-look controls: a button painted from PNG files (CImageButton), an
// owner-drawn push button with a check mark (CGameButton) and an owner-drawn popup menu with a
// pattern background (CGameMenu). Each is attached to a window or menu that already exists.
#pragma once
#include <windows.h>

#include <cstdint>
#include <deque>
#include <string>

#include "image_buttons.h"
#include "winkit/handle.h"
#include "winkit/message_map.h"
#include "winkit/subclassed_window.h"

namespace framework_window {

// A button face from PNG pictures: normal, disabled and (with hover on, for a flat button)
// hover. Paints on erase; the button's own drawing adds nothing (owner-drawn buttons).
class CImageButton : public winkit::SubclassedWindow {
 public:
  // Paths in the ANSI code page. A file that cannot be read leaves that picture empty.
  void SetImages(const char* normal, const char* disabled);
  void SetImages(const char* normal, const char* disabled, const char* hover);
  void EnableHover(bool on) { m_bHoverEnabled = on; }
  bool Hovering() const { return m_bHovering; }

  BEGIN_MSG_MAP(CImageButton)
    MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBkgnd)
    MESSAGE_HANDLER(WM_MOUSEMOVE, OnMouseMove)
    MESSAGE_HANDLER(WM_MOUSELEAVE, OnMouseLeave)
    MESSAGE_HANDLER(WM_KILLFOCUS, OnKillFocus)
  END_MSG_MAP()

 private:
  LRESULT OnEraseBkgnd(UINT msg, WPARAM wp, LPARAM lp, bool& handled);
  LRESULT OnMouseMove(UINT msg, WPARAM wp, LPARAM lp, bool& handled);
  LRESULT OnMouseLeave(UINT msg, WPARAM wp, LPARAM lp, bool& handled);
  LRESULT OnKillFocus(UINT msg, WPARAM wp, LPARAM lp, bool& handled);

  BitmapPtr m_normal, m_disabled, m_hover;
  bool m_bHovering = false;
  bool m_bHoverEnabled = false;
};

// An owner-drawn push button (BS_OWNERDRAW) that toggles a check mark when pressed. Its owner
// passes the button's WM_DRAWITEM on to DrawItem.
class CGameButton : public winkit::SubclassedWindow {
 public:
  CGameButton();
  ~CGameButton() override;

  bool Attach(HWND button);
  void SetColors(COLORREF background, COLORREF text);
  void SetCheckMode(bool toggles, bool exclusive);
  bool GetCheck() const { return m_bChecked; }
  void DrawItem(const DRAWITEMSTRUCT* item);
  bool Hovering() const { return m_bHovering; }

  BEGIN_MSG_MAP(CGameButton)
    MESSAGE_HANDLER(WM_MOUSEMOVE, OnMouseMove)
    MESSAGE_HANDLER(WM_MOUSELEAVE, OnMouseLeave)
    MESSAGE_HANDLER(WM_KILLFOCUS, OnKillFocus)
    MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
    MESSAGE_HANDLER(WM_LBUTTONUP, OnLButtonUp)
  END_MSG_MAP()

  // Whether `hwnd` is a button a CGameButton is attached to.
  static bool IsGameButton(HWND hwnd);

 private:
  LRESULT OnMouseMove(UINT msg, WPARAM wp, LPARAM lp, bool& handled);
  LRESULT OnMouseLeave(UINT msg, WPARAM wp, LPARAM lp, bool& handled);
  LRESULT OnKillFocus(UINT msg, WPARAM wp, LPARAM lp, bool& handled);
  LRESULT OnLButtonDown(UINT msg, WPARAM wp, LPARAM lp, bool& handled);
  LRESULT OnLButtonUp(UINT msg, WPARAM wp, LPARAM lp, bool& handled);

  winkit::UniqueBrush m_ownBrush;  // null while the system's button-face brush is used
  COLORREF m_crBack;
  COLORREF m_crText = 0;
  bool m_bHovering = false;
  bool m_bIcon = false;
  bool m_bFlat = false;
  bool m_bToggles = false;
  bool m_bTransparent = false;
  bool m_bChecked = false;
  bool m_bExclusive = false;
  bool m_bHoverEnabled = true;
};

// An owner-drawn popup menu. MakeOwnerDraw takes the menu over (it is destroyed with this
// object); the window that tracks it passes WM_MEASUREITEM and WM_DRAWITEM on, or Track does it
// for the owner.
class CGameMenu {
 public:
  CGameMenu();
  ~CGameMenu();
  CGameMenu(const CGameMenu&) = delete;
  CGameMenu& operator=(const CGameMenu&) = delete;

  void SetItemSize(int16_t width, int16_t height) {
    m_nItemWidth = width;
    m_nItemHeight = height;
  }
  void SetBkBitmap(HBITMAP bitmap);
  void MakeOwnerDraw(HMENU menu);
  void MeasureItem(MEASUREITEMSTRUCT* item) const;
  void DrawItem(const DRAWITEMSTRUCT* item) const;

  // Shows the menu at `at` (screen coordinates) for `owner` with TrackPopupMenu's `flags` and
  // returns its result. While the menu is open the owner's WM_MEASUREITEM and WM_DRAWITEM for
  // this menu's items are answered here, so any window of this thread can own it (a hosted
  // control does not pass them on).
  UINT Track(HWND owner, POINT at, UINT flags);
  // True when `item_data` is the data of one of this menu's items.
  bool OwnsItem(ULONG_PTR item_data) const;

  HMENU menu() const { return m_menu.Get(); }
  HBRUSH BackgroundBrush() const { return m_bkBrush.Get(); }
  // The font the items are drawn in.
  HFONT Font() const { return m_font.Get(); }
  // Text of an owner-drawn item, from the menu's own copy (empty when unknown).
  static const char* ItemText(ULONG_PTR item_data);

 private:
  void OwnerDrawItems(HMENU menu);

  winkit::UniqueMenu m_menu;
  winkit::UniqueBrush m_bkBrush;
  HBRUSH m_hlBrush;  // the system's, not ours to delete
  winkit::UniqueFont m_font;
  int16_t m_nItemWidth = 50;
  int16_t m_nItemHeight = 30;
  std::deque<std::string> m_texts;  // item texts, kept for the menu's lifetime
};

}  // namespace framework_window
