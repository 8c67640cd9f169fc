// CImageDataObject: a data object holding one bitmap medium; GetData hands out a duplicate of
// the bitmap. Each rich-text wrapper of the chat owns one.
#pragma once
#include <windows.h>
#include <ole2.h>

namespace parley {

class CImageDataObject : public IDataObject {
 public:
  CImageDataObject();
  virtual ~CImageDataObject();
  CImageDataObject(const CImageDataObject&) = delete;
  CImageDataObject& operator=(const CImageDataObject&) = delete;

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;

  STDMETHODIMP GetData(FORMATETC* format, STGMEDIUM* medium) override;
  STDMETHODIMP GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
  STDMETHODIMP QueryGetData(FORMATETC*) override { return E_NOTIMPL; }
  STDMETHODIMP GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override { return E_NOTIMPL; }
  STDMETHODIMP SetData(FORMATETC* format, STGMEDIUM* medium, BOOL release) override;
  STDMETHODIMP EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
  STDMETHODIMP DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
  STDMETHODIMP DUnadvise(DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP EnumDAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }

 private:
  ULONG m_refs = 0;
  BOOL m_releaseMedium = FALSE;
  IUnknown* m_interfaces[3] = {};
  STGMEDIUM m_medium{};
  FORMATETC m_format{};
};

}  // namespace parley
