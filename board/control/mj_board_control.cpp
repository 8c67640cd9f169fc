#include "mj_board_control.h"

CMjBoard::CMjBoard() : ControlBase(CLSID_MjBoard, IID__IMjBoardEvents, L"VitrineMjBoard") {}

void* CMjBoard::CastTo(REFIID iid) {
  if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IMjBoard)
    return static_cast<IMjBoard*>(this);
  if (iid == IID_ISupportErrorInfo) return static_cast<ISupportErrorInfo*>(this);
  return ControlBase::CastTo(iid);
}

STDMETHODIMP CMjBoard::put_BackColor(OLE_COLOR clr) {
  m_clrBackColor = clr;
  return S_OK;
}

STDMETHODIMP CMjBoard::get_BackColor(OLE_COLOR* pclr) {
  if (pclr) *pclr = m_clrBackColor;
  return S_OK;
}

// The rows and their drawing are not bound yet: these answer S_OK and change nothing.
STDMETHODIMP CMjBoard::InsertRow(short /*id*/, short /*count*/, mjcard* /*cards*/) { return S_OK; }
STDMETHODIMP CMjBoard::AddCards(short /*id*/, short /*count*/, mjcard* /*cards*/) { return S_OK; }
STDMETHODIMP CMjBoard::Update() { return S_OK; }
STDMETHODIMP CMjBoard::ClearAll() { return S_OK; }
STDMETHODIMP CMjBoard::SetBkColor(LONG /*color*/) { return S_OK; }

STDMETHODIMP CMjBoard::InterfaceSupportsErrorInfo(REFIID iid) {
  return iid == IID_IMjBoard ? S_OK : S_FALSE;
}
