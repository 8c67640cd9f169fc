#include "skin_elements.h"

#include <algorithm>
#include <cstring>

#include "frame_layout.h"

namespace framework_window {

namespace {
HWND W(layout::SkinRegistrations::Handle h) { return reinterpret_cast<HWND>(h); }
layout::SkinRegistrations::Handle H(HWND w) { return reinterpret_cast<uintptr_t>(w); }

HICON LoadSkinIcon(HMODULE library, const std::string& name) {
  if (!library || name.empty()) return nullptr;
  return static_cast<HICON>(LoadImageA(library, name.c_str(), IMAGE_ICON, 0, 0, 0));
}

HBITMAP LoadSkinBitmapNamed(HMODULE library, const std::string& name) {
  if (!library || name.empty()) return nullptr;
  return static_cast<HBITMAP>(LoadImageA(library, name.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

int32_t SkinNumber(HMODULE library, UINT id) {
  return static_cast<int32_t>(layout::MetricValue(LoadSkinString(library, id)));
}
}  // namespace

std::string LoadSkinString(HMODULE module, UINT id) {
  char buf[100] = {};
  if (module) LoadStringA(module, id, buf, 99);
  return buf;
}

// --- CMFCShowElement ----------------------------------------------------------------------

void CMFCShowElement::RegisterWindow(HWND window, HWND notify) { m_reg.Register(H(window), H(notify)); }

void CMFCShowElement::UnregisterWindow(HWND window) { m_reg.Unregister(H(window)); }

void CMFCShowElement::Refresh() {
  for (size_t i = 0; i < m_reg.size(); ++i) {
    SendMessageW(W(m_reg.notify(i)), kMsgSkinChanged, 0, 0);
    InvalidateRect(W(m_reg.window(i)), nullptr, FALSE);
  }
}

void CMFCShowElement::Assign(const CMFCShowElement& other) { m_reg.Append(other.m_reg); }

void CMFCShowElement::BroadcastSkinChange() const {
  for (size_t i = 0; i < m_reg.size(); ++i) SendMessageW(W(m_reg.notify(i)), kMsgSkinChanged, 0, 0);
}

HWND CMFCShowElement::FirstNotifyWindow() const { return m_reg.empty() ? nullptr : W(m_reg.notify(0)); }

void CMFCShowElement::InvalidateAll() const {
  for (size_t i = 0; i < m_reg.size(); ++i) InvalidateRect(W(m_reg.window(i)), nullptr, TRUE);
}

// --- kinds --------------------------------------------------------------------------------

void CChatShowElements::FreeResources() {
  for (auto& icon : m_icons) icon.Reset();
  m_background.Reset();
}

void CPersonListShowElements::LoadPersonListSkin(HMODULE library) {
  for (int i = 0; i < 3; ++i) m_clr[i] = static_cast<COLORREF>(SkinNumber(library, 1281 + i));
  m_nSkinValue[0] = SkinNumber(library, 1284);
  m_nSkinValue[1] = SkinNumber(library, 1285);
  m_nSkinValue[3] = SkinNumber(library, 1286);
  m_nSkinValue[2] = SkinNumber(library, 1287);
  m_listBitmap.Reset(LoadSkinBitmapNamed(library, LoadSkinString(library, 1288)));
  const int32_t n = std::min(SkinNumber(library, 1300), kMaxSkinIcons);
  for (int32_t i = 1; i <= n; ++i)
    if (HICON icon = LoadSkinIcon(library, LoadSkinString(library, 1300 + static_cast<UINT>(i))))
      m_skinIcons.emplace_back(icon);  // a name that loads no icon is skipped
  const std::string face = LoadSkinString(library, 1311);
  std::memset(m_szFontFace, 0, sizeof m_szFontFace);
  std::memcpy(m_szFontFace, face.data(), std::min(face.size(), sizeof m_szFontFace - 1));
}

void CPersonListShowElements::Assign(const CMFCShowElement& other) {
  CMFCShowElement::Assign(other);
  if (auto* o = dynamic_cast<const CPersonListShowElements*>(&other))
    m_roomIcons.insert(m_roomIcons.end(), o->m_roomIcons.begin(), o->m_roomIcons.end());
}

void CPersonListShowElements::FreeResources() {
  m_skinIcons.clear();
  m_listBitmap.Reset();
  for (auto& m : m_iconModules) m.Reset();
}

void CPersonListShowElements::LoadIcons() {
  if (!m_iconModules.empty()) return;
  for (char letter = 'a'; letter < 'a' + 10; ++letter)
    if (LoadIconModule(letter) == 0) break;
}

int CPersonListShowElements::LoadIconModule(char) { return 1; }

void CPlayTableElements::Refresh() {
  m_personList.Refresh();
  m_chat.Refresh();
  if (!m_subElements.empty() && m_subElements[0])
    if (HWND first = m_subElements[0]->FirstNotifyWindow())
      SendMessageW(first, kMsgSkinChanged, 0, 0);
  for (auto& sub : m_subElements)
    if (sub) sub->Refresh();
}

void CPlayTableElements::Assign(const CMFCShowElement& other) {
  auto* o = dynamic_cast<const CPlayTableElements*>(&other);
  if (!o) return;
  m_strName = o->m_strName;
  m_personList.Assign(o->m_personList);
  m_chat.Assign(o->m_chat);
  for (size_t i = 0; i < o->m_subElements.size() && i < m_subElements.size(); ++i)
    if (m_subElements[i] && o->m_subElements[i]) m_subElements[i]->Assign(*o->m_subElements[i]);
}

void CPlayTableElements::FreeResources() {
  for (auto& sub : m_subElements)
    if (sub) sub->FreeResources();
  m_subElements.clear();
  m_personList.FreeResources();
  m_chat.FreeResources();
}

void CTreeShowElements::FreeResources() {
  m_object.Reset();
  m_objects.clear();
}

void CRoomShowElements::AddHandle(int which, HGDIOBJ handle) {
  if (which < 0 || which >= kArrays || !handle) return;
  m_ownedHandles.emplace_back(handle);
  m_handles[which].push_back(handle);
}

void CRoomShowElements::AddModule(int which, HMODULE module) {
  if (which < 0 || which >= kArrays || !module) return;
  m_ownedModules.emplace_back(module);
  m_modules[which].push_back(module);
}

void CRoomShowElements::Assign(const CMFCShowElement& other) {
  auto* o = dynamic_cast<const CRoomShowElements*>(&other);
  if (o == this) return;
  m_reg.Clear();
  m_reg.Append(other.Registrations());
  if (!o) return;
  FreeResources();
  m_handles = o->m_handles;
  m_modules = o->m_modules;
  m_names = o->m_names;
}

void CRoomShowElements::FreeResources() {
  for (auto& h : m_handles) h.clear();
  for (auto& m : m_modules) m.clear();
  m_ownedHandles.clear();
  m_ownedModules.clear();
}

void CTabShowElements::FreeResources() {
  for (auto& h : m_handles) h.Reset();
}

void CCaptionShowElements::LoadCaptionSkin(HMODULE library) {
  FreeResources();
  for (int i = 0; i < 4; ++i) m_icons[i].Reset(LoadSkinIcon(library, LoadSkinString(library, 1237 + i)));
  m_icons[4].Reset(LoadSkinIcon(library, LoadSkinString(library, 1241)));
  m_bitmaps[0].Reset(LoadSkinBitmapNamed(library, LoadSkinString(library, 1243)));
  m_bitmaps[1].Reset(LoadSkinBitmapNamed(library, LoadSkinString(library, 1254)));
}

void CCaptionShowElements::Refresh() {
  if (HWND first = FirstNotifyWindow()) SendMessageW(first, kMsgSkinChanged, 0, 0);
  if (m_hMain && IsWindow(m_hMain))
    SetWindowPos(m_hMain, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED | SWP_DEFERERASE);
}

void CCaptionShowElements::FreeResources() {
  for (auto& icon : m_icons) icon.Reset();
  for (auto& b : m_bitmaps) b.Reset();
}

void CSplitterShowElements::FreeResources() {
  for (auto& h : m_handles) h.Reset();
}

}  // namespace framework_window
