#include "winkit/dispatch_call.h"

#include <oleauto.h>

namespace winkit {

DispatchArguments::DispatchArguments(std::initializer_list<EventArg> args)
    : vars_(args.size()), referenced_(new VARIANT[args.size() ? args.size() : 1]) {
  size_t i = args.size();
  for (const EventArg& a : args) {
    VARIANTARG& v = vars_[--i];
    VariantInit(&v);
    v.vt = a.vt;
    switch (a.vt) {
      case VT_I2: v.iVal = static_cast<SHORT>(a.value); break;
      case VT_I4: v.lVal = static_cast<LONG>(a.value); break;
      case VT_I8: v.llVal = a.value; break;
      case VT_BSTR:
        // An empty text still travels as a BSTR; null only when memory ran out.
        v.bstrVal = SysAllocStringLen(a.text.data(), static_cast<UINT>(a.text.size()));
        break;
      case VT_VARIANT | VT_BYREF:
        VariantInit(&referenced_[i]);
        v.pvarVal = &referenced_[i];
        break;
      default: v.vt = VT_EMPTY; break;
    }
  }
}

DispatchArguments::~DispatchArguments() {
  for (VARIANTARG& v : vars_) VariantClear(&v);
}

DISPPARAMS DispatchArguments::Params() {
  return {vars_.empty() ? nullptr : vars_.data(), nullptr, static_cast<UINT>(vars_.size()), 0};
}

HRESULT CallMethod(IDispatch* target, DISPID id, std::initializer_list<EventArg> args,
                   VARIANT* result) {
  if (!target) return E_POINTER;
  DispatchArguments arguments(args);
  DISPPARAMS params = arguments.Params();
  return target->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, result,
                        nullptr, nullptr);
}

HRESULT GetProperty(IDispatch* target, DISPID id, VARIANT* value) {
  if (!target) return E_POINTER;
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  return target->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, value,
                        nullptr, nullptr);
}

}  // namespace winkit
