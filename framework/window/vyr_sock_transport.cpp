#include "vyr_sock_transport.h"

#include <oleauto.h>

#include <initializer_list>
#include <string>

#include "vyr_sock.h"
#include "vyr_poke_play_table.h"
#include "winkit/com_ptr.h"
#include "winkit/dispatch_call.h"

namespace {

// Text as a BSTR, through the ANSI code page as the socket control turns it back into bytes
// (the control is outside the system and reads its texts that way; they are addresses, user
// names and passwords).
std::wstring SocketText(const std::string& s) {
  const int n = MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n > 0 ? n : 0), L'\0');
  if (n > 0) MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), out.data(), n);
  return out;
}

// Invokes `id` on the control; a failing call (or no control) throws.
void Call(IDispatch* control, DISPID id, const char* what,
          std::initializer_list<winkit::EventArg> args = {}, VARIANT* result = nullptr) {
  if (control == nullptr) throw winkit::ComError(E_POINTER, what);
  winkit::Variant ignored;
  winkit::ThrowIfFailed(winkit::CallMethod(control, id, args, result ? result : &ignored), what);
}

// The result of a call as a number (VARIANT_BOOL true is -1).
int32_t ResultNumber(VARIANT& result) {
  if (FAILED(VariantChangeType(&result, &result, 0, VT_I4))) return 0;
  return result.lVal;
}

}  // namespace

void VyrSockTransport::Close() {
  Call(control_, DISPID_VYRSOCK_CLOSE, "VyrSock.Close");
}

bool VyrSockTransport::Connect(const std::string& host, int32_t port) {
  winkit::Variant result;
  Call(control_, DISPID_VYRSOCK_CONNECT, "VyrSock.Connect",
       {winkit::EventArg::Bstr(SocketText(host)), winkit::EventArg::I4(port)}, &result);
  return ResultNumber(result) != 0;
}

int16_t VyrSockTransport::Send(const uint8_t* frame, int16_t length) {
  winkit::Variant result;
  Call(control_, DISPID_VYRSOCK_SEND, "VyrSock.Send",
       {winkit::EventArg::Ptr(frame), winkit::EventArg::I2(length), winkit::EventArg::I2(0)},
       &result);
  return static_cast<int16_t>(ResultNumber(result));
}

void VyrSockTransport::ConnectProxy(int16_t kind, const std::string& host, int32_t port) {
  Call(control_, DISPID_VYRSOCK_CONNECTPROXY, "VyrSock.ConnectProxy",
       {winkit::EventArg::I2(kind), winkit::EventArg::Bstr(SocketText(host)),
        winkit::EventArg::I4(port)});
}

void VyrSockTransport::ConnectProxyAuth(int16_t kind, const std::string& host, int32_t port,
                                        const std::string& user, const std::string& password) {
  Call(control_, DISPID_VYRSOCK_CONNECTPROXYAUTH, "VyrSock.ConnectProxyAuth",
       {winkit::EventArg::I2(kind), winkit::EventArg::Bstr(SocketText(host)),
        winkit::EventArg::I4(port), winkit::EventArg::Bstr(SocketText(user)),
        winkit::EventArg::Bstr(SocketText(password))});
}

bool VyrSockTransport::RecvNext(int32_t count) {
  winkit::Variant result;
  Call(control_, DISPID_VYRSOCK_RECVNEXT, "VyrSock.RecvNext", {winkit::EventArg::I4(count)},
       &result);
  return ResultNumber(result) != 0;
}

void VyrSockTransport::SetTimeOut(int32_t milliseconds) {
  Call(control_, DISPID_VYRSOCK_SETTIMEOUT, "VyrSock.SetTimeOut",
       {winkit::EventArg::I4(milliseconds)});
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
