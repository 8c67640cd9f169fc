// Outgoing interfaces: one connection point per event interface, and event firing through
// IDispatch::Invoke on every connected sink in connection order.
#pragma once
#include <windows.h>
#include <ocidl.h>

#include <cstdint>
#include <initializer_list>
#include <string_view>
#include <vector>

#include "com_ptr.h"

namespace winkit {

// One event argument, as it travels in the event's DISPPARAMS:
//   EventArg::I2(seat)                 VT_I2
//   EventArg::I4(id)                   VT_I4
//   EventArg::I8(n)                    VT_I8
//   EventArg::Ptr(bytes.data())        pointer-sized: VT_I8 on x64 (VT_I4 on a 32-bit build)
//   EventArg::Bstr(L"text")            VT_BSTR, a copy made for the firing and freed after it
//   EventArg::Missing()                VT_VARIANT | VT_BYREF to an empty VARIANT (an optional
//                                      argument of a called method left out)
// Texts are borrowed: they must outlive the Fire call they are given to (a temporary in the
// argument list does).
struct EventArg {
  VARTYPE vt;
  int64_t value;
  std::wstring_view text;
  static EventArg I2(int16_t v) { return {VT_I2, v, {}}; }
  static EventArg I4(int32_t v) { return {VT_I4, v, {}}; }
  static EventArg I8(int64_t v) { return {VT_I8, v, {}}; }
  static EventArg Ptr(const void* p) {
#ifdef _WIN64
    return {VT_I8, static_cast<int64_t>(reinterpret_cast<intptr_t>(p)), {}};
#else
    return {VT_I4, static_cast<int64_t>(reinterpret_cast<intptr_t>(p)), {}};
#endif
  }
  static EventArg Bstr(std::wstring_view s) { return {VT_BSTR, 0, s}; }
  static EventArg Missing() { return {VT_VARIANT | VT_BYREF, 0, {}}; }
  // A null text travels as an empty one. (A BSTR that may hold NULs: pass
  // std::wstring_view(b, SysStringLen(b)).)
  static EventArg Bstr(const wchar_t* s) {
    return Bstr(s ? std::wstring_view(s) : std::wstring_view());
  }
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
  // given in declaration order; they travel in reverse order as DISPPARAMS want them. Sinks
  // get [in] arguments: they read them during the call and keep nothing. Results are not
  // examined.
  //   Events().Fire(kOnReceive, {winkit::EventArg::Ptr(bytes.data()),
  //                              winkit::EventArg::I4(static_cast<int32_t>(bytes.size()))});
  void Fire(DISPID id, std::initializer_list<EventArg> args = {});
  size_t SinkCount() const;
  void UnadviseAll();

 private:
  struct Sink {
    DWORD cookie;
    ComPtr<IDispatch> dispatch;
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
