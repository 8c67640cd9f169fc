// The socket control's methods called by dispatch id through IDispatch::Invoke, as the client
// drives it. A call on a missing control or a failing Invoke returns false.
#pragma once
#include <windows.h>
#include <oaidl.h>

#include <cstdint>
#include <string>

#include "connect_server.h"

class VyrSockDispatch : public VyrSockCalls {
 public:
  explicit VyrSockDispatch(IDispatch* sock) : sock_(sock) {}

  bool Close() override;
  bool Connect(const std::string& host, int32_t port, int16_t* started) override;
  bool ConnectProxy(int16_t kind, const std::string& host, int32_t port) override;
  bool ConnectProxyAuth(int16_t kind, const std::string& host, int32_t port,
                        const std::string& user, const std::string& password) override;
  // `length` bytes from `frame` (the whole frame, body + 49).
  bool Send(const void* frame, int16_t length);
  bool RecvNext(int32_t n);
  bool SetTimeOut(int32_t milliseconds);

 private:
  IDispatch* sock_;
};
