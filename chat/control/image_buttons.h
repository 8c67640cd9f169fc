// Small windows of the chat library: the image button (a static control drawn from a list of
// frames, with hover, press, a latch, a tooltip and an optional animation) with the listener it
// reports clicks through, the picture button that posts its clicks to its parent, and the two
// drawing helpers (a bitmap with a transparent colour; a skin bitmap stretched by its border).
#pragma once
#include <windows.h>

#include <map>
#include <string>

#include "face_board.h"
#include "winkit/handle.h"
#include "winkit/subclassed_window.h"

namespace parley {

// Told of an image button's click.
class TabButtonListoning {
 public:
  virtual void OnClick(int id, int state) = 0;
  virtual ~TabButtonListoning() = default;
};

// Posts WM_USER + 234 (wParam id, lParam state) to its owner window.
class CButtonCommand : public TabButtonListoning {
 public:
  explicit CButtonCommand(HWND owner = nullptr) : m_owner(owner) {}
  void OnClick(int id, int state) override;
  static constexpr UINT kClickMessage = WM_USER + 234;

 private:
  HWND m_owner;
};

class CBitmapViewer : public winkit::SubclassedWindow {
 public:
  enum ImageKind { kBitmap = 1, kIcon = 2 };
  CBitmapViewer();
  ~CBitmapViewer() override;

  // Takes over a static control (SS_NOTIFY is added so it sees the mouse).
  bool Attach(HWND window);

  void AddFrame(HANDLE image);
  void SetImageKind(int kind) { m_kind = kind; }
  void SetId(int id) { m_id = id; }
  void SetListener(TabButtonListoning* listener) {
    m_listener = listener;
    m_state.hasListener = listener != nullptr;
  }
  void SetCaption(const std::wstring& text) { m_caption = text; }
  void SetTextColor(COLORREF c) { m_textColor = c; }
  void SetHoverTextColor(COLORREF c) { m_hoverTextColor = c; }
  void SetBkColor(COLORREF c) {
    m_backColor = c;
    m_fillBack = true;
  }
  void SetTooltip(const std::wstring& text);
  void SetHoverFrames(bool on) { m_state.hoverFrames = on; }
  void SetAnimateHover(bool on) { m_state.animateHover = on; }
  void SetRelayTooltip(bool on) { m_state.relayTooltip = on; }
  void SetLatched(bool on) { m_state.latched = on; }
  void SetFreeRunning(bool on) { m_state.freeRunning = on; }
  void EnableTimer(bool on);
  void Disable() { EnableWindow(hwnd(), FALSE); }
  void Enable() { EnableWindow(hwnd(), TRUE); }

  int Frame() const { return m_state.Frame(); }
  HWND Tooltip() const { return m_tooltip; }

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  void Apply(const chat::ImageButtonState::Effect& e, UINT msg, WPARAM wp, LPARAM lp);
  void Paint(HDC dc);

  std::map<int16_t, HANDLE> m_frames;
  int m_kind = kIcon;
  int m_id = 1;
  TabButtonListoning* m_listener = nullptr;
  std::wstring m_caption, m_tip;
  COLORREF m_textColor = chat::ImageButtonState::kTextColor;
  COLORREF m_hoverTextColor = chat::ImageButtonState::kHoverTextColor;
  COLORREF m_backColor = 0;
  bool m_fillBack = false;
  HWND m_tooltip = nullptr;
  winkit::UniqueFont m_font;
  chat::ImageButtonState m_state;
};

// A button drawn from one bitmap; it posts WM_LBUTTONDOWN and WM_LBUTTONUP to its parent with
// its command id as wParam and 0 as lParam.
class PictureButton : public winkit::SubclassedWindow {
 public:
  void SetCommandId(int id) { m_id = id; }
  void SetTooltip(HWND tooltip) { m_tooltip = tooltip; }
  void SetPicture(HBITMAP picture) { m_picture = picture; }
  bool Hover() const { return m_hover != 0; }

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  int m_hover = 0;
  int m_id = 0;
  HWND m_tooltip = nullptr;
  HBITMAP m_picture = nullptr;
};

// Copies the source part to the destination, leaving the destination as it was wherever the
// source has the transparent colour; stretched (halftone) to the destination size. False when
// a size is below 1 or a bitmap cannot be made.
bool DrawTransparent(HDC dest, int x, int y, int width, int height, HDC source, int sx, int sy,
                     int swidth, int sheight, COLORREF transparent);
// Draws a skin bitmap over a rectangle: corners as they are, edges tiled, and the centre tiled
// when fill_centre is set. Without a source rectangle the whole bitmap is used; without an
// inner rectangle the corners are half the source's size. False without a window or bitmap.
bool DrawSkinFrame(HWND window, const RECT& dest, HBITMAP bitmap, const RECT* source,
                   const RECT* inner, bool unused, bool fill_centre);
// The same into a device context (a memory picture drawn before it is shown).
bool DrawSkinFrame(HDC dc, const RECT& dest, HBITMAP bitmap, const RECT* source,
                   const RECT* inner, bool fill_centre);

}  // namespace parley
