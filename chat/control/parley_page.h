// CParleyPage: the chat control's property page class (coclass ParleyPage). It is registered and
// creatable; the page itself (its dialog and IPropertyPage) is not built yet.
#pragma once
#include <windows.h>

#include "winkit/com_object.h"

class CParleyPage : public IUnknown, public winkit::ComObject {
 public:
  WINKIT_IUNKNOWN
  void* CastTo(REFIID iid) override {
    return iid == IID_IUnknown ? static_cast<IUnknown*>(this) : nullptr;
  }
};
