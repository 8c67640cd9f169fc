// The skinned table frame window: play pane on the left, a right column (advert, person list,
// chat) under a caption band, nine-part frames, title bands, the setup and title button
// strips, and the two pane boundaries the player can drag. Game-neutral: the game's table
// window derives from it and fills in the pure operations.
#pragma once
#include <windows.h>

#include <string>

#include "frame_layout.h"
#include "image_buttons.h"
#include "skin_bitmaps.h"
#include "winkit/com_ptr.h"
#include "winkit/control_host.h"
#include "winkit/handle.h"
#include "winkit/message_map.h"
#include "winkit/window.h"

namespace framework_window {

class CMFCShowElement;

// Child ids of the frame.
constexpr UINT kIdTableWindow = 0x8100;
constexpr UINT kIdAdvertPane = 36872;
constexpr UINT kIdSetupStrip = 36873;
constexpr UINT kIdExitButton = 36880;
constexpr UINT kIdTitleStrip = 36886;
constexpr UINT kIdBarWindow = 33025;
// A skin change asked for from outside.
constexpr UINT kMsgSkinChange = 0x470;

// The advert pane: the Web Browser control by its class id. Where the platform cannot make
// it, the pane stays empty.
class CWebBrowser2 {
 public:
  ~CWebBrowser2() { Destroy(); }
  bool Create(HWND parent, UINT id, DWORD style, const RECT& rect);
  // Dispatch id 104 with the address and four empty arguments; false when there is no control.
  bool Navigate(const char* url);
  HWND hwnd() const { return m_host ? m_host->ControlWindow() : nullptr; }
  void Destroy();
  // The class of the browser control the pane hosts.
  static const CLSID& ClassId();

 private:
  winkit::ComPtr<winkit::ControlHost> m_host;
};

class CVyrTableWnd2_Adv0 : public winkit::Window {
 public:
  CVyrTableWnd2_Adv0() = default;
  ~CVyrTableWnd2_Adv0() override;

  virtual BOOL CreateChildren(UINT id, HWND parent) = 0;
  virtual void LoadResources(HMODULE module, LPARAM value) = 0;
  virtual void LayoutChildren(int x, int y, int w, int h) = 0;
  virtual void CreateGame() = 0;
  virtual void SetPaneLayout(int height, int list_and_chat_height) = 0;
  virtual void MovePanes() = 0;
  virtual void InvalidatePanes() = 0;
  virtual void RefreshLayout() = 0;
  virtual void OnShop() = 0;
  virtual void OnSetup() = 0;
  virtual void OnHelp() = 0;
  virtual void OnExit() = 0;
  virtual CMFCShowElement* GetCaptionElements() = 0;
  virtual HMODULE ReloadSkin() = 0;
  virtual void DrawTable(HMODULE module) = 0;
  virtual void LoadFrameBitmaps(HMODULE module) = 0;
  virtual void DrawFrame(HDC dc) = 0;
  virtual void PaintFrame();
  virtual void DrawCaption();
  virtual void DrawCaptionIcons(HDC dc) = 0;
  virtual BOOL MoveSplitterLeft(int delta);
  virtual BOOL MoveSplitterRight(int delta);
  virtual void SetSplitterMax();
  virtual void ToggleSplitter();
  virtual void RedrawFrame();
  virtual void LoadButtonImages() = 0;

  void SetCaptionText(const char* text) { m_strCaption = text ? text : ""; }
  // "设置" and "退出" in white beside the play pane's top (the game's frame drawing calls it).
  void DrawSetupExitText(HDC dc);
  const layout::FrameMetrics& Metrics() const { return m_metrics; }
  const layout::FrameRects& Rects() const { return m_rc; }
  int16_t ColumnWidth() const { return m_nColumnWidth; }
  int16_t DragState() const { return m_drag.state(); }
  const std::string& ImagePath() const { return m_strImagePath; }
  HBITMAP TableCenter() const { return m_hTableCenter.Get(); }
  HBITMAP DialogButtonBackground() const { return m_hDlgButtonBk.Get(); }
  HWND BarWindow() const { return m_wndBar.hwnd(); }

  int16_t m_nListHeight = 0;
  int16_t m_nChatHeight = 0;
  BOOL m_bListShown = TRUE;
  BOOL m_bChatShown = TRUE;

 protected:
  BEGIN_MSG_MAP(CVyrTableWnd2_Adv0)
    MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
    MESSAGE_HANDLER(WM_LBUTTONUP, OnLButtonUp)
    MESSAGE_HANDLER(WM_MOUSEMOVE, OnMouseMove)
    MESSAGE_HANDLER(WM_ERASEBKGND, OnEraseBkgnd)
    MESSAGE_HANDLER(WM_SETCURSOR, OnSetCursor)
    MESSAGE_HANDLER(WM_MOVING, OnMoving)
    MESSAGE_HANDLER(WM_MOUSELEAVE, OnMouseLeave)
    COMMAND_ID_HANDLER(kIdExitButton, OnExitCommand)
    COMMAND_ID_HANDLER(kIdSetupStrip, OnSetupCommand)
  END_MSG_MAP()

  // Metrics, cursors, bitmaps and icons of `module` (the first load applies the 600-pixel
  // rule); shared by the first load and a skin change.
  void LoadSkin(HMODULE module, bool first_load);
  void RelayoutClient();
  void DrawCaptionText(HDC dc);
  void DrawCaptionBand(HDC dc);
  HWND MainWindow() const;
  layout::Rect ClientRect() const;

  layout::FrameMetrics m_metrics;
  layout::FrameRects m_rc;
  layout::FrameDrag m_drag;
  int16_t m_nColumnWidth = 300;
  int16_t m_nTitleBandHeight = 25;
  std::string m_strCaption;
  std::string m_strImagePath;
  winkit::UniqueFont m_captionFont;
  HCURSOR m_hCursorWE = nullptr, m_hCursorArrow = nullptr, m_hCursorNS = nullptr;
  NinePartFrame m_playFrame, m_columnFrame, m_outerFrame;
  ThreePartStrip m_titleBand, m_captionBand;
  winkit::UniqueBitmap m_hListLeft, m_hListMid, m_hListRight, m_hTableCenter, m_hDlgButtonBk;
  winkit::UniqueIcon m_hIconClose, m_hIconMax, m_hIconMin, m_hIconNormal;
  COLORREF m_clrTitleButtonsBack = 0;
  winkit::UniqueBitmap m_separator;
  winkit::UniqueBrush m_separatorBrush;
  BOOL m_bTrackingLeave = FALSE;
  CWebBrowser2 m_advert;
  winkit::UniqueDc m_backDc;
  winkit::UniqueBitmap m_backBitmap;
  HGDIOBJ m_backOld = nullptr;
  layout::Size m_backSize;
  CSplitter_Wnd m_wndBar;

 private:
  LRESULT OnLButtonDown(UINT msg, WPARAM wp, LPARAM lp, bool& handled);
  LRESULT OnLButtonUp(UINT msg, WPARAM wp, LPARAM lp, bool& handled);
  LRESULT OnMouseMove(UINT msg, WPARAM wp, LPARAM lp, bool& handled);
  LRESULT OnEraseBkgnd(UINT msg, WPARAM wp, LPARAM lp, bool& handled);
  LRESULT OnSetCursor(UINT msg, WPARAM wp, LPARAM lp, bool& handled);
  LRESULT OnMoving(UINT msg, WPARAM wp, LPARAM lp, bool& handled);
  LRESULT OnMouseLeave(UINT msg, WPARAM wp, LPARAM lp, bool& handled);
  LRESULT OnExitCommand(WORD, WORD, HWND, bool&) { OnExit(); return 0; }
  LRESULT OnSetupCommand(WORD, WORD, HWND, bool&) { OnSetup(); return 0; }
  void ShowDragFeedback();
  void ApplyColumnWidth(int32_t width);
};

class CVyrTableWnd2_Adv3 : public CVyrTableWnd2_Adv0 {
 public:
  BOOL CreateChildren(UINT id, HWND parent) override;
  void LoadResources(HMODULE module, LPARAM value) override;
  void LayoutChildren(int x, int y, int w, int h) override;
  void LoadFrameBitmaps(HMODULE module) override;
  void DrawFrame(HDC dc) override;
  void DrawCaptionIcons(HDC dc) override;
  void LoadButtonImages() override;
  virtual void DrawTitle();
  virtual void Reserved73() {}

  CSetup_Buttons& SetupStrip() { return m_setupButtons; }
  CTitle_Buttons& TitleStrip() { return m_titleButtons; }
  // The image folder a style module names (its string 147), beside the program.
  static std::string ImageFolderOf(HMODULE module);
  // The pictures of the setup and title strips, in the image folder: the frame shows them from
  // the start, so they are worth reading ahead (PreloadPictures).
  static std::vector<std::string> StripPicturePaths(const std::string& folder);
  CWebBrowser2& Advert() { return m_advert; }

 protected:
  BEGIN_MSG_MAP(CVyrTableWnd2_Adv3)
    MESSAGE_HANDLER(kMsgSkinChange, OnSkinChange)
    MESSAGE_HANDLER(kMsgShop, OnShopMessage)
    MESSAGE_HANDLER(kMsgHelp, OnHelpMessage)
    MESSAGE_HANDLER(kMsgSettings, OnSettingsMessage)
    MESSAGE_HANDLER(kMsgExit, OnExitMessage)
    CHAIN_MSG_MAP(CVyrTableWnd2_Adv0)
  END_MSG_MAP()

  CSetup_Buttons m_setupButtons;
  CTitle_Buttons m_titleButtons;
  layout::Rect m_rcTitleButtons;
  int32_t m_nSetupButtonsTop = 0;

 private:
  LRESULT OnSkinChange(UINT, WPARAM, LPARAM, bool&);
  LRESULT OnShopMessage(UINT, WPARAM, LPARAM, bool&) { OnShop(); return 0; }
  LRESULT OnHelpMessage(UINT, WPARAM, LPARAM, bool&) { OnHelp(); return 0; }
  LRESULT OnSettingsMessage(UINT, WPARAM, LPARAM, bool&) { OnSetup(); return 0; }
  LRESULT OnExitMessage(UINT, WPARAM, LPARAM, bool&) { OnExit(); return 0; }
};

}  // namespace framework_window
