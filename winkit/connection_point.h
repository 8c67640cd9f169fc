// Outgoing interfaces: one connection point per event interface, and event firing through
// IDispatch::Invoke on every connected sink in connection order.
#pragma once
#include <windows.h>
#include <ocidl.h>

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace winkit {

// One event argument. Short values travel as VT_I2, long (32-bit) values as VT_I4, addresses
// (pointer-sized) as VT_I8.
struct EventArg {
  VARTYPE vt;
  int64_t value;
  static EventArg I2(int16_t v) { return {VT_I2, v}; }
  static EventArg I4(int32_t v) { return {VT_I4, v}; }
  static EventArg I8(int64_t v) { return {VT_I8, v}; }
};

// The connection point of one event interface. It lives inside the object that fires the
// events and shares that object's reference count (owner).
class ConnectionPoint : public IConnectionPoint {
 public:
  ConnectionPoint(IUnknown* owner, IConnectionPointContainer* container, REFIID iid)
      : owner_(owner), container_(container), iid_(iid) {}
  ~ConnectionPoint() { UnadviseAll(); }
  ConnectionPoint(const ConnectionPoint&) = delete;
  ConnectionPoint& operator=(const ConnectionPoint&) = delete;

  REFIID Iid() const { return iid_; }

  // IUnknown (the owner's identity)
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override { return owner_->AddRef(); }
  STDMETHODIMP_(ULONG) Release() override { return owner_->Release(); }
  // IConnectionPoint
  STDMETHODIMP GetConnectionInterface(IID* iid) override;
  STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer** out) override;
  STDMETHODIMP Advise(IUnknown* sink, DWORD* cookie) override;
  STDMETHODIMP Unadvise(DWORD cookie) override;
  STDMETHODIMP EnumConnections(IEnumConnections** out) override;

  // Fires dispatch id `id` on every sink, in the order they connected. The arguments are
  // given in declaration order; they travel in reverse order as DISPPARAMS want them.
  // Results are not examined.
  void Fire(DISPID id, std::initializer_list<EventArg> args = {});
  size_t SinkCount() const;
  void UnadviseAll();

 private:
  struct Sink {
    DWORD cookie;
    IDispatch* dispatch;
  };
  IUnknown* owner_;
  IConnectionPointContainer* container_;
  IID iid_;
  std::vector<Sink> sinks_;
  DWORD next_cookie_ = 1;
};

// Finds the connection point for iid among `points` (helper for
// IConnectionPointContainer::FindConnectionPoint).
HRESULT FindConnectionPointIn(std::initializer_list<ConnectionPoint*> points, REFIID iid,
                              IConnectionPoint** out);
// IConnectionPointContainer::EnumConnectionPoints over `points`.
HRESULT EnumConnectionPointsOf(std::initializer_list<ConnectionPoint*> points,
                               IEnumConnectionPoints** out);

}  // namespace winkit
