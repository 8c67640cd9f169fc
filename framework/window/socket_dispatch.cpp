#include "socket_dispatch.h"

#include <oleauto.h>

#include <initializer_list>
#include <vector>

namespace {

// Dispatch ids of the socket control.
constexpr DISPID kClose = 2;
constexpr DISPID kConnect = 3;
constexpr DISPID kSend = 5;
constexpr DISPID kConnectProxy = 7;
constexpr DISPID kConnectProxyAuth = 8;
constexpr DISPID kRecvNext = 9;
constexpr DISPID kSetTimeOut = 10;

// Owns the argument VARIANTs of one call.
class Args {
 public:
  ~Args() {
    for (VARIANT& v : args_) VariantClear(&v);
  }
  Args& I2(int16_t v) { return Add(VT_I2).iVal = v, *this; }
  Args& I4(int32_t v) { return Add(VT_I4).lVal = v, *this; }
  Args& Ptr(const void* p) {
#ifdef _WIN64
    Add(VT_I8).llVal = reinterpret_cast<LONGLONG>(p);
#else
    Add(VT_I4).lVal = reinterpret_cast<LONG>(p);
#endif
    return *this;
  }
  // GBK text (the ANSI code page) as a BSTR.
  Args& Text(const std::string& s) {
    VARIANT& v = Add(VT_BSTR);
    int n = MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    v.bstrVal = SysAllocStringLen(nullptr, static_cast<UINT>(n));
    if (v.bstrVal && n > 0)
      MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), v.bstrVal, n);
    return *this;
  }
  // Invokes `id` with the arguments in the order they were added.
  HRESULT Invoke(IDispatch* d, DISPID id, VARIANT* result) {
    if (!d) return E_POINTER;
    std::vector<VARIANTARG> reversed(args_.rbegin(), args_.rend());
    DISPPARAMS params = {reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    return d->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, result,
                     nullptr, nullptr);
  }

 private:
  VARIANT& Add(VARTYPE vt) {
    args_.emplace_back();
    VariantInit(&args_.back());
    args_.back().vt = vt;
    return args_.back();
  }
  std::vector<VARIANT> args_;
};

bool Call(IDispatch* d, DISPID id, Args&& args) {
  VARIANT result;
  VariantInit(&result);
  HRESULT hr = args.Invoke(d, id, &result);
  VariantClear(&result);
  return SUCCEEDED(hr);
}

}  // namespace

bool VyrSockDispatch::Close() { return Call(sock_, kClose, Args()); }

bool VyrSockDispatch::Connect(const std::string& host, int32_t port, int16_t* started) {
  Args args;
  args.Text(host).I4(port);
  VARIANT result;
  VariantInit(&result);
  HRESULT hr = args.Invoke(sock_, kConnect, &result);
  *started = 0;
  if (SUCCEEDED(hr) && SUCCEEDED(VariantChangeType(&result, &result, 0, VT_I2)))
    *started = result.iVal ? 1 : 0;
  VariantClear(&result);
  return SUCCEEDED(hr);
}

bool VyrSockDispatch::ConnectProxy(int16_t kind, const std::string& host, int32_t port) {
  return Call(sock_, kConnectProxy, std::move(Args().I2(kind).Text(host).I4(port)));
}

bool VyrSockDispatch::ConnectProxyAuth(int16_t kind, const std::string& host, int32_t port,
                                       const std::string& user, const std::string& password) {
  return Call(sock_, kConnectProxyAuth,
              std::move(Args().I2(kind).Text(host).I4(port).Text(user).Text(password)));
}

bool VyrSockDispatch::Send(const void* frame, int16_t length) {
  return Call(sock_, kSend, std::move(Args().Ptr(frame).I2(length).I2(0)));
}

bool VyrSockDispatch::RecvNext(int32_t n) {
  return Call(sock_, kRecvNext, std::move(Args().I4(n)));
}

bool VyrSockDispatch::SetTimeOut(int32_t milliseconds) {
  return Call(sock_, kSetTimeOut, std::move(Args().I4(milliseconds)));
}
