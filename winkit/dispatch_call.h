// Calls through IDispatch by dispatch id: the one way the program builds DISPPARAMS, for the
// events it fires (ConnectionPoint::Fire) and for the methods and properties it calls on the
// controls it hosts and on its container.
//   winkit::Variant result;
//   HRESULT hr = winkit::CallMethod(socket, kConnect, {winkit::EventArg::Bstr(host),
//                                                       winkit::EventArg::I4(port)}, &result);
//   winkit::GetProperty(ambients, DISPID_AMBIENT_BACKCOLOR, &value);
#pragma once
#include <windows.h>
#include <oaidl.h>

#include <initializer_list>
#include <memory>
#include <vector>

#include "connection_point.h"

namespace winkit {

// The arguments of one call, given in declaration order and kept reversed as DISPPARAMS want
// them; cleared (texts freed) when it goes. Params() may be taken once per callee: each gets a
// DISPPARAMS of its own over the same values.
class DispatchArguments {
 public:
  explicit DispatchArguments(std::initializer_list<EventArg> args);
  ~DispatchArguments();
  DispatchArguments(const DispatchArguments&) = delete;
  DispatchArguments& operator=(const DispatchArguments&) = delete;
  DISPPARAMS Params();

 private:
  std::vector<VARIANTARG> vars_;
  // What the by-reference arguments point at (an optional argument left out).
  std::unique_ptr<VARIANT[]> referenced_;
};

// Invokes method `id` with the arguments; the result (if asked for) is left in `result`.
HRESULT CallMethod(IDispatch* target, DISPID id, std::initializer_list<EventArg> args = {},
                   VARIANT* result = nullptr);
// Reads property `id` into `value`.
HRESULT GetProperty(IDispatch* target, DISPID id, VARIANT* value);

}  // namespace winkit
