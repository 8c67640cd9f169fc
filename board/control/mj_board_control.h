// CMjBoard: the option board's ActiveX control, a small popup on which the player picks one of
// up to three tile combinations; the choice comes back as _IMjBoardEvents::Click.
#pragma once
#include <windows.h>
#include <oaidl.h>

#include "vitrine.h"
#include "winkit/control.h"
#include "winkit/dispatch.h"

class CMjBoard : public winkit::DispatchImpl<IMjBoard, &IID_IMjBoard>,
                 public winkit::ControlBase,
                 public ISupportErrorInfo {
 public:
  CMjBoard();

  WINKIT_IUNKNOWN
  void* CastTo(REFIID iid) override;

  // IMjBoard
  STDMETHODIMP put_BackColor(OLE_COLOR clr) override;
  STDMETHODIMP get_BackColor(OLE_COLOR* pclr) override;
  STDMETHODIMP InsertRow(short id, short count, mjcard* cards) override;
  STDMETHODIMP AddCards(short id, short count, mjcard* cards) override;
  STDMETHODIMP Update() override;
  STDMETHODIMP ClearAll() override;
  STDMETHODIMP SetBkColor(LONG color) override;

  // ISupportErrorInfo: error information for IMjBoard only.
  STDMETHODIMP InterfaceSupportsErrorInfo(REFIID iid) override;

 private:
  // The stock BackColor; the board starts green.
  OLE_COLOR m_clrBackColor = 0x007D00;
};
