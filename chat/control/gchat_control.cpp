#include "gchat_control.h"

CGChat::CGChat()
    : ControlBase(CLSID_GChat, IID__IGChatEvents, L"ParleyGChat"),
      page_events_(static_cast<IGChat*>(this), static_cast<IConnectionPointContainer*>(this),
                   IID__IParleyPageEvents) {}

void* CGChat::CastTo(REFIID iid) {
  if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IGChat)
    return static_cast<IGChat*>(this);
  return ControlBase::CastTo(iid);
}

STDMETHODIMP CGChat::put_BackColor(OLE_COLOR clr) {
  m_clrBackColor = clr;
  return S_OK;
}

STDMETHODIMP CGChat::get_BackColor(OLE_COLOR* pclr) {
  if (pclr) *pclr = m_clrBackColor;
  return S_OK;
}

STDMETHODIMP CGChat::put_ForeColor(OLE_COLOR clr) {
  m_clrForeColor = clr;
  return S_OK;
}

STDMETHODIMP CGChat::get_ForeColor(OLE_COLOR* pclr) {
  if (pclr) *pclr = m_clrForeColor;
  return S_OK;
}

// The panes, the sending and the settings are not bound yet: these answer S_OK and leave their
// outputs alone.
STDMETHODIMP CGChat::AddText(LONG_PTR /*color*/, LONG /*ismytext*/,
                             LONG_PTR /*str*/) { return S_OK; }
STDMETHODIMP CGChat::SetButtonSize(LONG /*width*/, LONG /*height*/) { return S_OK; }
STDMETHODIMP CGChat::SetCommandIcon(LONG_PTR /*icon*/) { return S_OK; }
STDMETHODIMP CGChat::SetSetupIcon(LONG_PTR /*icon*/) { return S_OK; }
STDMETHODIMP CGChat::SetWhisperIcon(LONG_PTR /*icon*/) { return S_OK; }
STDMETHODIMP CGChat::SetSendIcon(LONG_PTR /*icon*/) { return S_OK; }
STDMETHODIMP CGChat::SetTextColor(LONG /*color*/) { return S_OK; }
STDMETHODIMP CGChat::SetBkColor(LONG /*color*/) { return S_OK; }
STDMETHODIMP CGChat::AddLink(LONG_PTR /*color*/, LONG_PTR /*linkstr*/,
                             LONG_PTR /*textstr*/) { return S_OK; }
STDMETHODIMP CGChat::SetSeparatorIcon(LONG_PTR /*icon*/) { return S_OK; }
STDMETHODIMP CGChat::SetSeparatorColor(LONG /*color*/) { return S_OK; }
STDMETHODIMP CGChat::SetEditText(LONG_PTR /*str*/) { return S_OK; }
STDMETHODIMP CGChat::GetIsWhisper(LONG* /*iswhisper*/) { return S_OK; }
STDMETHODIMP CGChat::OpenColorDialog() { return S_OK; }
STDMETHODIMP CGChat::SetWhisperStatus() { return S_OK; }
STDMETHODIMP CGChat::SetSeperatorStatus() { return S_OK; }
STDMETHODIMP CGChat::Send() { return S_OK; }
STDMETHODIMP CGChat::GetIsSeperator(LONG* /*isseperator*/) { return S_OK; }
STDMETHODIMP CGChat::SetClearIcon(LONG_PTR /*icon*/) { return S_OK; }
STDMETHODIMP CGChat::Clear() { return S_OK; }
STDMETHODIMP CGChat::GetArchiveObject(VARIANT* /*archive*/) { return S_OK; }
STDMETHODIMP CGChat::SetArchiveObject(VARIANT /*archive*/) { return S_OK; }
STDMETHODIMP CGChat::SetFontIcon(LONG_PTR /*icon*/) { return S_OK; }
STDMETHODIMP CGChat::SetBkBitmap(LONG_PTR /*bitmap*/) { return S_OK; }
STDMETHODIMP CGChat::SetMyID(LONG /*uid*/) { return S_OK; }
STDMETHODIMP CGChat::AddChatMessage(LONG_PTR /*msg*/) { return S_OK; }
STDMETHODIMP CGChat::SetUserListAddr(LONG_PTR /*addr*/) { return S_OK; }
STDMETHODIMP CGChat::SetSelUser(LONG /*uid*/) { return S_OK; }
STDMETHODIMP CGChat::AddHotRegion(LONG_PTR /*outerAction*/, LONG /*outerAction2*/) { return S_OK; }
STDMETHODIMP CGChat::AddPerson(LONG_PTR /*per*/) { return S_OK; }
STDMETHODIMP CGChat::AddChatMessage_Indesk(LONG_PTR /*msg*/) { return S_OK; }
STDMETHODIMP CGChat::SetChatStyle(LONG /*nstyle*/) { return S_OK; }
STDMETHODIMP CGChat::SetGameInfo(int /*nGameID*/, int /*nSubID*/, int /*nRoomID*/) { return S_OK; }
STDMETHODIMP CGChat::AddXmlString(LONG_PTR /*xmlString*/) { return S_OK; }

STDMETHODIMP CGChat::Close(DWORD save_option) {
  HRESULT hr = ControlBase::Close(save_option);
  page_events_.UnadviseAll();
  return hr;
}

STDMETHODIMP CGChat::EnumConnectionPoints(IEnumConnectionPoints** out) {
  return winkit::EnumConnectionPointsOf({&Events(), &page_events_}, out);
}

STDMETHODIMP CGChat::FindConnectionPoint(REFIID iid, IConnectionPoint** out) {
  return winkit::FindConnectionPointIn({&Events(), &page_events_}, iid, out);
}
