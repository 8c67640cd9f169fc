// CParleyPage: the chat control's property page (coclass ParleyPage, dialog 109): the greeting
// and farewell lines and the kinds of message to hide. It marks itself dirty when the player
// changes anything; Apply writes nothing to the objects it was given.
#pragma once
#include <windows.h>
#include <ocidl.h>

#include "chat_dialog.h"
#include "winkit/com_object.h"
#include "winkit/com_ptr.h"

class CParleyPage : public IPropertyPage, public winkit::ComObject {
 public:
  CParleyPage();
  ~CParleyPage() override;

  WINKIT_IUNKNOWN
  void* CastTo(REFIID iid) override;

  // IPropertyPage
  STDMETHODIMP SetPageSite(IPropertyPageSite* site) override;
  STDMETHODIMP Activate(HWND parent, LPCRECT rect, BOOL modal) override;
  STDMETHODIMP Deactivate() override;
  STDMETHODIMP GetPageInfo(PROPPAGEINFO* info) override;
  STDMETHODIMP SetObjects(ULONG count, IUnknown** objects) override;
  STDMETHODIMP Show(UINT command) override;
  STDMETHODIMP Move(LPCRECT rect) override;
  STDMETHODIMP IsPageDirty() override;
  STDMETHODIMP Apply() override;
  STDMETHODIMP Help(LPCOLESTR help_dir) override;
  STDMETHODIMP TranslateAccelerator(MSG* msg) override;

  enum { IDD = 109, IDS_TITLE = 105, IDS_HELPFILE = 106, IDS_DOCSTRING = 107 };
  enum { IDC_ENTER = 211, IDC_LEAVE = 210, IDC_FIRST_BOX = 212, IDC_LAST_BOX = 216,
         IDC_GROUP = 217, IDC_ENTER_LABEL = 218, IDC_LEAVE_LABEL = 219 };

 private:
  class Page : public parley::ChatDialog {
   public:
    explicit Page(CParleyPage& owner) : ChatDialog(IDD), owner_(owner) {}
    BEGIN_MSG_MAP(Page)
      MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
      COMMAND_RANGE_HANDLER(IDC_FIRST_BOX, IDC_LAST_BOX, OnBox)
      COMMAND_RANGE_HANDLER(IDC_LEAVE, IDC_ENTER, OnEdit)
    END_MSG_MAP()

   private:
    // Enter and Escape in the page are the property frame's, not the page's.
    void OnOK() override {}
    void OnCancel() override {}
    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, bool&);
    LRESULT OnBox(WORD code, WORD, HWND, bool&);
    LRESULT OnEdit(WORD code, WORD, HWND, bool&);
    CParleyPage& owner_;
  };

  void SetDirty(bool dirty);

  winkit::ComPtr<IPropertyPageSite> m_site;
  Page m_page;
  bool m_dirty = false;
  bool m_filling = false;
  ULONG m_objectCount = 0;
};
