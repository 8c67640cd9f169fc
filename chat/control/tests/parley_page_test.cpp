// The property page ParleyPage created by its class id and activated in a frame, as a page
// site would: its texts, its dirty marking and its answers.
#include <windows.h>
#include <ocidl.h>

#include <gtest/gtest.h>

#include <vector>

#include "chat_platform.h"
#include "chat_texts.h"
#include "parley.h"
#include "window_picture.h"
#include "winkit/com_ptr.h"
#include "winkit/testing/com_test_support.h"

namespace {

[[maybe_unused]] auto* const g_env = ::testing::AddGlobalTestEnvironment(
    new winkit::testing::ComTestEnvironment({L"Parley.dll"}));

// A page site that writes down each status change.
class Site : public IPropertyPageSite {
 public:
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (iid == IID_IUnknown || iid == IID_IPropertyPageSite) {
      *out = this;
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP OnStatusChange(DWORD flags) override {
    changes.push_back(flags);
    return S_OK;
  }
  STDMETHODIMP GetLocaleID(LCID* lcid) override {
    *lcid = 0x804;
    return S_OK;
  }
  STDMETHODIMP GetPageContainer(IUnknown** out) override {
    *out = nullptr;
    return E_NOTIMPL;
  }
  STDMETHODIMP TranslateAccelerator(MSG*) override { return S_FALSE; }
  std::vector<DWORD> changes;
};

std::wstring ItemText(HWND page, int id) {
  wchar_t text[128] = {};
  GetDlgItemTextW(page, id, text, 128);
  return text;
}

TEST(ParleyPage, ActivatedInAFrameAndMarkedDirtyByThePlayer) {
  winkit::ComPtr<IPropertyPage> page;
  ASSERT_HRESULT_SUCCEEDED(CoCreateInstance(CLSID_ParleyPage, nullptr, CLSCTX_INPROC_SERVER,
                                            IID_IPropertyPage, page.PutVoid()));
  PROPPAGEINFO info{};
  ASSERT_HRESULT_SUCCEEDED(page->GetPageInfo(&info));
  EXPECT_STREQ(info.pszTitle, L"Parley");
  EXPECT_STREQ(info.pszHelpFile, L"Help File Name");
  EXPECT_STREQ(info.pszDocString, L"Your Help String");
  EXPECT_GT(info.size.cx, 100);
  CoTaskMemFree(info.pszTitle);
  CoTaskMemFree(info.pszHelpFile);
  CoTaskMemFree(info.pszDocString);

  HWND frame = CreateWindowExW(0, L"STATIC", L"frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 30, 30,
                               info.size.cx + 40, info.size.cy + 60, nullptr, nullptr, nullptr,
                               nullptr);
  Site site;
  ASSERT_HRESULT_SUCCEEDED(page->SetPageSite(&site));
  ASSERT_HRESULT_SUCCEEDED(page->SetObjects(0, nullptr));
  const RECT rect{10, 10, 10 + info.size.cx, 10 + info.size.cy};
  ASSERT_HRESULT_SUCCEEDED(page->Activate(frame, &rect, FALSE));
  ASSERT_HRESULT_SUCCEEDED(page->Show(SW_SHOW));
  HWND window = GetWindow(frame, GW_CHILD);
  ASSERT_NE(window, nullptr);

  EXPECT_EQ(ItemText(window, 211), parley::Wide(kTextFirstStatement));
  EXPECT_EQ(ItemText(window, 210), parley::Wide(kTextLastStatement));
  EXPECT_EQ(ItemText(window, 213), parley::Wide(kTextPageWhispers));
  for (int box = 212; box <= 216; ++box) EXPECT_EQ(IsDlgButtonChecked(window, box), BST_UNCHECKED);
  EXPECT_EQ(page->IsPageDirty(), S_FALSE);
  EXPECT_TRUE(site.changes.empty());  // filling the page is no change
  parley::testing::Pump(200);
  parley::testing::SaveWindowPicture(frame, "chat_property_page.bmp");

  SendMessageW(GetDlgItem(window, 214), BM_CLICK, 0, 0);
  EXPECT_EQ(site.changes, (std::vector<DWORD>{PROPPAGESTATUS_DIRTY | PROPPAGESTATUS_VALIDATE}));
  EXPECT_EQ(page->IsPageDirty(), S_OK);
  SetDlgItemTextW(window, 210, L"bye");  // already dirty: the site hears nothing new
  EXPECT_EQ(site.changes.size(), 1u);
  EXPECT_EQ(page->Apply(), S_OK);

  EXPECT_HRESULT_SUCCEEDED(page->Deactivate());
  EXPECT_EQ(GetWindow(frame, GW_CHILD), nullptr);
  EXPECT_HRESULT_SUCCEEDED(page->SetPageSite(nullptr));
  page.Reset();
  DestroyWindow(frame);
}

TEST(ParleyPage, EditingATextMarksItDirty) {
  winkit::ComPtr<IPropertyPage> page;
  ASSERT_HRESULT_SUCCEEDED(CoCreateInstance(CLSID_ParleyPage, nullptr, CLSCTX_INPROC_SERVER,
                                            IID_IPropertyPage, page.PutVoid()));
  HWND frame = CreateWindowExW(0, L"STATIC", L"frame", WS_OVERLAPPEDWINDOW, 0, 0, 500, 400,
                               nullptr, nullptr, nullptr, nullptr);
  Site site;
  page->SetPageSite(&site);
  const RECT rect{0, 0, 400, 300};
  ASSERT_HRESULT_SUCCEEDED(page->Activate(frame, &rect, FALSE));
  SetDlgItemTextW(GetWindow(frame, GW_CHILD), 211, L"hello");
  EXPECT_EQ(site.changes, (std::vector<DWORD>{PROPPAGESTATUS_DIRTY | PROPPAGESTATUS_VALIDATE}));
  page->Deactivate();
  page->SetPageSite(nullptr);
  page.Reset();
  DestroyWindow(frame);
}

}  // namespace
