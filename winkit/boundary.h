// The one HRESULT idiom.
//  - Inside the code, a failed call becomes an exception: winkit::ThrowIfFailed(hr, "what")
//    (com_ptr.h), carrying the HRESULT as winkit::ComError.
//  - Where the platform calls in (a COM method, an event sink, a window procedure, a timer,
//    a socket delivery) the exception stops: wrap the body in CallAtBoundary, or end a
//    try block with `catch (...) { return winkit::HresultFromCurrentException(); }`.
#pragma once
#include <windows.h>

#include <new>
#include <type_traits>
#include <utility>

#include "com_ptr.h"

namespace winkit {

// The HRESULT for the exception being handled. Call only inside a catch block.
inline HRESULT HresultFromCurrentException() noexcept {
  try {
    throw;
  } catch (const ComError& e) {
    return FAILED(e.hr()) ? e.hr() : E_FAIL;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_UNEXPECTED;
  }
}

// Runs `body` (returning void or HRESULT) and turns what it throws into an HRESULT.
template <class F>
HRESULT CallAtBoundary(F&& body) noexcept {
  try {
    if constexpr (std::is_same_v<decltype(std::forward<F>(body)()), HRESULT>) {
      return std::forward<F>(body)();
    } else {
      std::forward<F>(body)();
      return S_OK;
    }
  } catch (...) {
    return HresultFromCurrentException();
  }
}

}  // namespace winkit
