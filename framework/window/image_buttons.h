// Strips of image buttons cut from two PNG pictures (a normal look of the whole strip and a
// highlighted look of the same size), and the title buttons of the table frame.
//
//   CSetup_Buttons strip;
//   strip.Create(frame, 36873);
//   strip.LoadImages(normal_png, highlight_png, 4, 1);
//   strip.AddTip(...);  // one per button
//   strip.SetOwner(frame);
//   strip.CreateTips();
//   SIZE s = strip.PictureSize();  // place the strip with the picture's size
//
// Paths and tips are texts of the process's ANSI code page (GBK).
#pragma once
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "button_grid.h"
#include "winkit/message_map.h"
#include "winkit/window.h"

namespace Gdiplus {
class Bitmap;
}

namespace framework_window {

// Messages the strips send to their owner (wParam 0, lParam 0).
constexpr UINT kMsgShop = 0x52C;
constexpr UINT kMsgHelp = 0x52D;
constexpr UINT kMsgSettings = 0x52E;
constexpr UINT kMsgExit = 0x52F;
constexpr UINT kMsgPageBack = 0x464;
constexpr UINT kMsgPageForward = 0x465;

struct GdiplusBitmapDelete {
  void operator()(Gdiplus::Bitmap* b) const;
};
using BitmapPtr = std::unique_ptr<Gdiplus::Bitmap, GdiplusBitmapDelete>;

// A strip picture, its highlighted twin and the highlighted cells cut from it.
struct StripPictures {
  BitmapPtr normal;
  BitmapPtr highlight;
  std::vector<BitmapPtr> cells;  // row-major; an entry that could not be cut is empty

  // Loads both files (empty pictures when a file is missing or unreadable) and cuts the cells
  // of `grid` (its size is taken from `geometry`, or from the normal picture when null).
  void Load(const char* normal_path, const char* highlight_path, int16_t columns, int16_t rows,
            const Gdiplus::Bitmap* geometry = nullptr);
  void Clear();
};

// Answers a tooltip's text request (WM_NOTIFY with TTN_NEEDTEXT from `tip`) with text n - 1 of
// `tips` for tool n, at most the 79 characters the request holds; 0 for tool 0 or one past the
// texts. Any other notification is left unhandled.
LRESULT AnswerTipRequest(HWND tip, const std::vector<std::string>& tips, LPARAM lp,
                         bool& handled);

// Size of a GDI+ picture; 0 x 0 for none or an unreadable one.
SIZE PictureSizeOf(const Gdiplus::Bitmap* picture);
// Loads a picture from a file named in the ANSI code page; null when it cannot be read. A
// picture of the same path read ahead by PreloadPictures is taken instead of the file.
BitmapPtr LoadPicture(const char* path);
// Reads the pictures ahead of need (any thread, GDI+ started): each waits for the first
// LoadPicture of its path, which takes it. Files that do not read are left to LoadPicture.
void PreloadPictures(const std::vector<std::string>& paths);
// Deletes the pictures read ahead and never taken (before GDI+ shuts down).
void DropPreloadedPictures();

class CImage_Buttons : public winkit::Window {
 public:
  CImage_Buttons() = default;
  ~CImage_Buttons() override;

  // Creates the strip as a child window of `parent` with an empty rectangle.
  HWND Create(HWND parent, UINT id, DWORD style = WS_CHILD | WS_VISIBLE);

  void LoadImages(const char* normal_path, const char* highlight_path, int columns, int rows);
  void AddTip(const char* text);
  void SetOwner(HWND owner) { m_hOwner = owner; }
  void CreateTips();
  // The click hook: `index` is the button clicked, -1 when the click hit no button.
  virtual void OnButtonClick(int16_t index);

  SIZE PictureSize() const;
  const layout::ButtonGrid& Grid() const { return m_grid; }
  int16_t HoverIndex() const { return m_hover.hover(); }
  bool Tracking() const { return m_hover.tracking(); }
  HWND ToolTip() const { return m_hTip; }
  HWND Owner() const { return m_hOwner; }
  size_t TipCount() const { return m_tips.size(); }

  // Tips are cut to this many bytes (the tooltip's text buffer less its terminator).
  static constexpr size_t kMaxTipBytes = 79;

 protected:
  BEGIN_MSG_MAP(CImage_Buttons)
    MESSAGE_HANDLER(WM_MOUSEMOVE, OnMouseMove)
    MESSAGE_HANDLER(WM_MOUSELEAVE, OnMouseLeave)
    MESSAGE_HANDLER(WM_KILLFOCUS, OnKillFocus)
    MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
    MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBkgnd)
    MESSAGE_HANDLER(WM_NOTIFY, OnNotify)
  END_MSG_MAP()

  // Every message goes by the tooltip first (relay), once the tooltip exists.
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  LRESULT OnMouseMove(UINT msg, WPARAM wp, LPARAM lp, bool& handled);
  LRESULT OnMouseLeave(UINT msg, WPARAM wp, LPARAM lp, bool& handled);
  LRESULT OnKillFocus(UINT msg, WPARAM wp, LPARAM lp, bool& handled);
  LRESULT OnLButtonDown(UINT msg, WPARAM wp, LPARAM lp, bool& handled);
  LRESULT OnEraseBkgnd(UINT msg, WPARAM wp, LPARAM lp, bool& handled);
  LRESULT OnNotify(UINT msg, WPARAM wp, LPARAM lp, bool& handled);

  StripPictures m_pictures;
  layout::StripHover m_hover;
  layout::ButtonGrid m_grid;
  std::vector<std::string> m_tips;
  HWND m_hTip = nullptr;
  HWND m_hOwner = nullptr;
};

// The four setup buttons of the table frame: shop, help, settings, exit to the owner.
class CSetup_Buttons : public CImage_Buttons {
 public:
  void OnButtonClick(int16_t index) override;
};

// Previous and next page of a picker.
class CPage_Buttons : public CImage_Buttons {
 public:
  void OnButtonClick(int16_t index) override;
};

// Minimise, maximise or restore, and close of the main window (the strip's top-level
// ancestor), with one picture pair for a maximised main window and one otherwise.
class CTitle_Buttons : public winkit::Window {
 public:
  CTitle_Buttons() = default;
  ~CTitle_Buttons() override;

  HWND Create(HWND parent, UINT id, DWORD style = WS_CHILD | WS_VISIBLE);
  void LoadImages(const char* path_a, const char* highlight_a, const char* path_b,
                  const char* highlight_b, int columns, int rows);
  void SetMaximized(bool maximized);
  void SetBackColor(COLORREF colour) { m_crBack = colour; }
  virtual void OnButtonClick(int16_t index);

  SIZE PictureSize() const;
  int16_t HoverIndex() const { return m_hover.hover(); }
  bool Maximized() const { return m_bMaximized; }

 protected:
  BEGIN_MSG_MAP(CTitle_Buttons)
    MESSAGE_HANDLER(WM_MOUSEMOVE, OnMouseMove)
    MESSAGE_HANDLER(WM_MOUSELEAVE, OnMouseLeave)
    MESSAGE_HANDLER(WM_KILLFOCUS, OnKillFocus)
    MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
    MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBkgnd)
  END_MSG_MAP()

 private:
  LRESULT OnMouseMove(UINT msg, WPARAM wp, LPARAM lp, bool& handled);
  LRESULT OnMouseLeave(UINT msg, WPARAM wp, LPARAM lp, bool& handled);
  LRESULT OnKillFocus(UINT msg, WPARAM wp, LPARAM lp, bool& handled);
  LRESULT OnLButtonDown(UINT msg, WPARAM wp, LPARAM lp, bool& handled);
  LRESULT OnEraseBkgnd(UINT msg, WPARAM wp, LPARAM lp, bool& handled);

  StripPictures m_a;  // while the main window is maximised
  StripPictures m_b;  // otherwise
  layout::StripHover m_hover;
  layout::ButtonGrid m_grid;  // from picture A
  bool m_bMaximized = true;
  COLORREF m_crBack = 0x090909;
};

}  // namespace framework_window
