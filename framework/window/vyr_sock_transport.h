// The socket control behind the session's transport: its methods called by dispatch id through
// IDispatch::Invoke, and its two events routed to the play table. Ids and GUIDs come from the
// control's IDL (interfaces/vyr_sock.idl).
#pragma once
#include <windows.h>
#include <oaidl.h>

#include <cstdint>
#include <string>

#include "socket_transport.h"
#include "winkit/control_host.h"

class CVyrPokePlayTableImp;

// A failing Invoke, or a call while no control is attached, throws winkit::ComError.
class VyrSockTransport : public IVyrSockTransport {
 public:
  VyrSockTransport() = default;
  explicit VyrSockTransport(IDispatch* control) : control_(control) {}
  // The control the calls go to (not owned; the game manager holds it). Null: none.
  void Attach(IDispatch* control) { control_ = control; }
  IDispatch* Control() const { return control_; }

  void Close() override;
  bool Connect(const std::string& host, int32_t port) override;
  int16_t Send(const uint8_t* frame, int16_t length) override;
  void ConnectProxy(int16_t kind, const std::string& host, int32_t port) override;
  void ConnectProxyAuth(int16_t kind, const std::string& host, int32_t port,
                        const std::string& user, const std::string& password) override;
  bool RecvNext(int32_t count) override;
  void SetTimeOut(int32_t milliseconds) override;

 private:
  IDispatch* control_ = nullptr;
};

// The control's events as the play table's entries: the connect event to OnSocketConnect, the
// receive event (the address and the count of the delivered bytes) to OnSocketData.
class VyrSockEventRouter : public winkit::ControlEventTarget {
 public:
  explicit VyrSockEventRouter(CVyrPokePlayTableImp& table) : table_(table) {}
  void OnControlEvent(UINT child_id, DISPID id, const winkit::EventArgs& args) override;

 private:
  CVyrPokePlayTableImp& table_;
};
