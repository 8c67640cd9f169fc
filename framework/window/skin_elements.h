// Skin elements: the resources of one area of the window (colours, icons, bitmaps) and the
// windows that show them, told to repaint (message 0x46A) when the skin changes.
#pragma once
#include <windows.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "skin_registrations.h"
#include "winkit/handle.h"

namespace framework_window {

// The skin changed (wParam 0, lParam 0) — to the notification windows of an element.
constexpr UINT kMsgSkinChanged = 0x46A;

using UniqueGdiObject = winkit::Unique<winkit::handle_traits::Gdi<HGDIOBJ>>;

// A skin string (at most 99 characters); empty when missing.
std::string LoadSkinString(HMODULE module, UINT id);

class CShowElement {
 public:
  virtual ~CShowElement() = default;
  virtual void Refresh() {}
};

class CMFCShowElement : public CShowElement {
 public:
  void RegisterWindow(HWND window, HWND notify);
  void UnregisterWindow(HWND window);
  // Each notification window gets 0x46A, then its window is invalidated (no erase, no update).
  void Refresh() override;
  // Takes over the other element's registrations (appended after its own).
  virtual void Assign(const CMFCShowElement& other);
  virtual void FreeResources() {}
  // 0x46A to every notification window, nothing redrawn.
  void BroadcastSkinChange() const;

  const layout::SkinRegistrations& Registrations() const { return m_reg; }
  // The first notification window, null when nothing is registered.
  HWND FirstNotifyWindow() const;

 protected:
  void InvalidateAll() const;
  layout::SkinRegistrations m_reg;
};

// One tab of a room strip: the windows that show the tab, told of a new skin like any element's.
// It owns no resources, so lists of tabs are copied as they stand.
class CRoomTabRecord : public CMFCShowElement {};

class CChatShowElements : public CMFCShowElement {
 public:
  COLORREF m_clrBack = 0, m_clrText = 0, m_clrSeparator = 0;
  enum Icon { kSend, kCommand, kSetup, kWhisper, kSeparator, kClear, kFont, kIconCount };
  std::array<winkit::UniqueIcon, kIconCount> m_icons;
  winkit::UniqueBitmap m_background;
  void FreeResources() override;
};

class CPersonListShowElements : public CMFCShowElement {
 public:
  COLORREF m_clr[3] = {0, 0, 0};
  int32_t m_nSkinValue[4] = {0, 0, 0, 0};  // values 1 to 4
  winkit::UniqueBitmap m_listBitmap;
  char m_szFontFace[20] = {};
  std::vector<HICON> m_roomIcons;  // the room icon libraries' icons (owned with the libraries)
  std::vector<winkit::UniqueIcon> m_skinIcons;
  std::vector<winkit::UniqueModule> m_iconModules;

  void LoadPersonListSkin(HMODULE library);
  void Assign(const CMFCShowElement& other) override;
  void FreeResources() override;
  // Loads the icon libraries "a", "b", ... (at most 10) unless some are loaded already.
  void LoadIcons();
  // One icon library by letter; 0 stops LoadIcons. The framework loads nothing.
  virtual int LoadIconModule(char letter);

  // Skin icon names beyond this count are not read (a damaged string 1300).
  static constexpr int32_t kMaxSkinIcons = 256;
};

class CPlayTableElements : public CMFCShowElement {
 public:
  std::string m_strName;
  std::vector<std::unique_ptr<CMFCShowElement>> m_subElements;
  CPersonListShowElements m_personList;
  CChatShowElements m_chat;

  void Refresh() override;
  void Assign(const CMFCShowElement& other) override;
  void FreeResources() override;
};

class CTreeShowElements : public CMFCShowElement {
 public:
  UniqueGdiObject m_object;
  std::vector<UniqueGdiObject> m_objects;
  void Refresh() override { InvalidateAll(); }
  void FreeResources() override;
};

class CRoomShowElements : public CMFCShowElement {
 public:
  static constexpr int kArrays = 5;
  // Takes a handle into array `which` (this element frees it).
  void AddHandle(int which, HGDIOBJ handle);
  void AddModule(int which, HMODULE module);
  const std::vector<HGDIOBJ>& Handles(int which) const { return m_handles[which]; }
  int32_t Count(int which) const { return static_cast<int32_t>(m_handles[which].size()); }
  std::array<std::array<char, 20>, kArrays> m_names{};

  // Replaces the registrations by the other's and takes the other's resources as its view
  // (they stay the other's to free).
  void Assign(const CMFCShowElement& other) override;
  void FreeResources() override;

 private:
  std::array<std::vector<HGDIOBJ>, kArrays> m_handles;  // what the element shows
  std::array<std::vector<HMODULE>, kArrays> m_modules;
  std::vector<UniqueGdiObject> m_ownedHandles;          // what it frees
  std::vector<winkit::UniqueModule> m_ownedModules;
};

class CTabShowElements : public CMFCShowElement {
 public:
  std::array<UniqueGdiObject, 6> m_handles;
  void Refresh() override { InvalidateAll(); }
  void FreeResources() override;
};

class CCaptionShowElements : public CMFCShowElement {
 public:
  std::array<winkit::UniqueIcon, 5> m_icons;
  std::array<winkit::UniqueBitmap, 2> m_bitmaps;
  // The window whose frame is recomputed on a refresh (the main frame); none: skipped.
  void SetMainWindow(HWND main) { m_hMain = main; }
  void LoadCaptionSkin(HMODULE library);
  // 0x46A to the first notification window, then the main window recomputes its frame.
  void Refresh() override;
  void FreeResources() override;

 private:
  HWND m_hMain = nullptr;
};

class CSplitterShowElements : public CMFCShowElement {
 public:
  int16_t m_nMetrics[4] = {20, 20, 20, 20};
  std::array<UniqueGdiObject, 2> m_handles;
  void Refresh() override { InvalidateAll(); }
  void FreeResources() override;
};

}  // namespace framework_window
