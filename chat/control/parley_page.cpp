#include "parley_page.h"

#include "chat_platform.h"
#include "chat_texts.h"
#include "winkit/module.h"

CParleyPage::CParleyPage() : m_page(*this) {}

CParleyPage::~CParleyPage() { m_page.DestroyModeless(); }

void* CParleyPage::CastTo(REFIID iid) {
  if (iid == IID_IUnknown || iid == IID_IPropertyPage) return static_cast<IPropertyPage*>(this);
  return nullptr;
}

STDMETHODIMP CParleyPage::SetPageSite(IPropertyPageSite* site) {
  if (site && m_site) return E_UNEXPECTED;
  m_site = winkit::ComPtr<IPropertyPageSite>(site);
  return S_OK;
}

STDMETHODIMP CParleyPage::Activate(HWND parent, LPCRECT rect, BOOL /*modal*/) {
  if (m_page.hwnd()) return E_UNEXPECTED;
  if (!m_page.CreateModeless(parent)) return E_FAIL;
  if (rect) Move(rect);
  return S_OK;
}

STDMETHODIMP CParleyPage::Deactivate() {
  m_page.DestroyModeless();
  return S_OK;
}

STDMETHODIMP CParleyPage::GetPageInfo(PROPPAGEINFO* info) {
  if (!info) return E_POINTER;
  HINSTANCE instance = winkit::Module::Instance();
  auto string = [instance](UINT id) -> LPOLESTR {
    wchar_t text[256] = {};
    const int n = LoadStringW(instance, id, text, 256);
    if (n <= 0) return nullptr;
    auto* copy = static_cast<LPOLESTR>(CoTaskMemAlloc((n + 1) * sizeof(wchar_t)));
    if (copy) lstrcpynW(copy, text, n + 1);
    return copy;
  };
  info->cb = sizeof *info;
  info->pszTitle = string(IDS_TITLE);
  info->pszDocString = string(IDS_DOCSTRING);
  info->pszHelpFile = string(IDS_HELPFILE);
  info->dwHelpContext = 0;
  info->size = {0, 0};
  // The page's size from its template, in pixels.
  HWND probe = CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD), GetDesktopWindow(),
                                  [](HWND, UINT, WPARAM, LPARAM) CALLBACK -> INT_PTR { return FALSE; }, 0);
  if (probe) {
    RECT r{};
    GetWindowRect(probe, &r);
    info->size = {r.right - r.left, r.bottom - r.top};
    DestroyWindow(probe);
  }
  return S_OK;
}

STDMETHODIMP CParleyPage::SetObjects(ULONG count, IUnknown** objects) {
  if (count && !objects) return E_POINTER;
  m_objectCount = count;
  return S_OK;
}

STDMETHODIMP CParleyPage::Show(UINT command) {
  if (m_page.hwnd()) ShowWindow(m_page.hwnd(), static_cast<int>(command));
  return S_OK;
}

STDMETHODIMP CParleyPage::Move(LPCRECT rect) {
  if (!rect) return E_POINTER;
  if (m_page.hwnd())
    MoveWindow(m_page.hwnd(), rect->left, rect->top, rect->right - rect->left,
               rect->bottom - rect->top, TRUE);
  return S_OK;
}

STDMETHODIMP CParleyPage::IsPageDirty() { return m_dirty ? S_OK : S_FALSE; }

// The page keeps nothing in the objects it was given.
STDMETHODIMP CParleyPage::Apply() { return S_OK; }

STDMETHODIMP CParleyPage::Help(LPCOLESTR) { return E_NOTIMPL; }

STDMETHODIMP CParleyPage::TranslateAccelerator(MSG* msg) {
  if (!msg) return E_POINTER;
  return m_page.hwnd() && IsDialogMessageW(m_page.hwnd(), msg) ? S_OK : S_FALSE;
}

void CParleyPage::SetDirty(bool dirty) {
  if (m_dirty == dirty) return;
  m_dirty = dirty;
  if (m_site) m_site->OnStatusChange(dirty ? (PROPPAGESTATUS_DIRTY | PROPPAGESTATUS_VALIDATE) : 0);
}

LRESULT CParleyPage::Page::OnInitDialog(UINT, WPARAM, LPARAM, bool&) {
  static const struct {
    int id;
    const char* text;
  } kTexts[] = {{IDC_ENTER, kTextFirstStatement}, {IDC_LEAVE, kTextLastStatement},
                {212, kTextPageGreetings},        {214, kTextPageOtherRooms},
                {213, kTextPageWhispers},         {215, kTextPageUnwelcome},
                {216, kTextPageNormalChat},       {IDC_GROUP, kTextPageGroup},
                {IDC_ENTER_LABEL, kTextPageEnterLabel}, {IDC_LEAVE_LABEL, kTextPageLeaveLabel}};
  owner_.m_filling = true;
  for (const auto& t : kTexts) SetItemText(t.id, t.text);
  owner_.m_filling = false;
  return TRUE;
}

LRESULT CParleyPage::Page::OnBox(WORD code, WORD, HWND, bool&) {
  if (code == BN_CLICKED) owner_.SetDirty(true);
  return 0;
}

LRESULT CParleyPage::Page::OnEdit(WORD code, WORD, HWND, bool&) {
  if (code == EN_CHANGE && !owner_.m_filling) owner_.SetDirty(true);
  return 0;
}
