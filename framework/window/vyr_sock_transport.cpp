#include "vyr_sock_transport.h"

#include <oleauto.h>

#include <array>

#include "vyr_sock.h"
#include "vyr_poke_play_table.h"
#include "winkit/com_ptr.h"

namespace {

// The arguments of one call, given in declaration order and kept reversed as DISPPARAMS wants
// them; cleared at the end of the call.
class DispatchArgs {
 public:
  DispatchArgs& I2(int16_t v) { return Next(VT_I2).iVal = v, *this; }
  DispatchArgs& I4(int32_t v) { return Next(VT_I4).lVal = v, *this; }
  // A pointer-sized integer (__int3264 in the IDL).
  DispatchArgs& Address(const void* p) {
#ifdef _WIN64
    Next(VT_I8).llVal = reinterpret_cast<LONGLONG>(p);
#else
    Next(VT_I4).lVal = reinterpret_cast<LONG>(p);
#endif
    return *this;
  }
  // Text as a BSTR, through the ANSI code page as the control turns it back into bytes.
  DispatchArgs& Text(const std::string& s) {
    VARIANT& v = Next(VT_BSTR);
    const int n = MultiByteToWideChar(kCodePage, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    v.bstrVal = SysAllocStringLen(nullptr, static_cast<UINT>(n));
    if (v.bstrVal == nullptr) throw winkit::ComError(E_OUTOFMEMORY, "VyrSock: text");
    if (n > 0) MultiByteToWideChar(kCodePage, 0, s.data(), static_cast<int>(s.size()), v.bstrVal, n);
    return *this;
  }

  // Invokes `id`; a failing call (or no control) throws. The result is left in `result`.
  void Invoke(IDispatch* control, DISPID id, const char* what, VARIANT* result) {
    if (control == nullptr) throw winkit::ComError(E_POINTER, what);
    DISPPARAMS params = {args_.data() + (kMax - count_), nullptr, count_, 0};
    winkit::ThrowIfFailed(control->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD,
                                          &params, result, nullptr, nullptr),
                          what);
  }
  void Invoke(IDispatch* control, DISPID id, const char* what) {
    winkit::Variant ignored;
    Invoke(control, id, what, &ignored);
  }

 private:
  static constexpr UINT kCodePage = CP_ACP;
  static constexpr UINT kMax = 5;
  VARIANT& Next(VARTYPE vt) {
    VARIANT& v = args_[kMax - 1 - count_++];
    v.vt = vt;
    return v;
  }
  std::array<winkit::Variant, kMax> args_;
  UINT count_ = 0;
};

// The result of a call as a number (VARIANT_BOOL true is -1).
int32_t ResultNumber(VARIANT& result) {
  if (FAILED(VariantChangeType(&result, &result, 0, VT_I4))) return 0;
  return result.lVal;
}

}  // namespace

void VyrSockTransport::Close() {
  DispatchArgs().Invoke(control_, DISPID_VYRSOCK_CLOSE, "VyrSock.Close");
}

bool VyrSockTransport::Connect(const std::string& host, int32_t port) {
  winkit::Variant result;
  DispatchArgs().Text(host).I4(port).Invoke(control_, DISPID_VYRSOCK_CONNECT, "VyrSock.Connect",
                                            &result);
  return ResultNumber(result) != 0;
}

int16_t VyrSockTransport::Send(const uint8_t* frame, int16_t length) {
  winkit::Variant result;
  DispatchArgs().Address(frame).I2(length).I2(0).Invoke(control_, DISPID_VYRSOCK_SEND,
                                                        "VyrSock.Send", &result);
  return static_cast<int16_t>(ResultNumber(result));
}

void VyrSockTransport::ConnectProxy(int16_t kind, const std::string& host, int32_t port) {
  DispatchArgs().I2(kind).Text(host).I4(port).Invoke(control_, DISPID_VYRSOCK_CONNECTPROXY,
                                                     "VyrSock.ConnectProxy");
}

void VyrSockTransport::ConnectProxyAuth(int16_t kind, const std::string& host, int32_t port,
                                        const std::string& user, const std::string& password) {
  DispatchArgs().I2(kind).Text(host).I4(port).Text(user).Text(password).Invoke(
      control_, DISPID_VYRSOCK_CONNECTPROXYAUTH, "VyrSock.ConnectProxyAuth");
}

bool VyrSockTransport::RecvNext(int32_t count) {
  winkit::Variant result;
  DispatchArgs().I4(count).Invoke(control_, DISPID_VYRSOCK_RECVNEXT, "VyrSock.RecvNext", &result);
  return ResultNumber(result) != 0;
}

void VyrSockTransport::SetTimeOut(int32_t milliseconds) {
  DispatchArgs().I4(milliseconds).Invoke(control_, DISPID_VYRSOCK_SETTIMEOUT,
                                         "VyrSock.SetTimeOut");
}

void VyrSockEventRouter::OnControlEvent(UINT, DISPID id, const winkit::EventArgs& args) {
  switch (id) {
    case DISPID_VYRSOCK_ONCONNECT:
      table_.OnSocketConnect(args.Short(0));
      break;
    case DISPID_VYRSOCK_ONRECEIVE: {
      const auto* data = reinterpret_cast<const uint8_t*>(args.Ptr(0));
      const int32_t length = args.Int(1);
      table_.OnSocketData(data, data != nullptr && length > 0 ? static_cast<size_t>(length) : 0);
      break;
    }
    default:
      break;
  }
}
