#include "image_data_object.h"

namespace parley {

CImageDataObject::CImageDataObject() = default;

CImageDataObject::~CImageDataObject() {
  if (m_releaseMedium) ReleaseStgMedium(&m_medium);
  for (IUnknown* p : m_interfaces)
    if (p) p->Release();
}

STDMETHODIMP CImageDataObject::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_IDataObject) {
    *out = static_cast<IDataObject*>(this);
    AddRef();
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) CImageDataObject::AddRef() { return ++m_refs; }

STDMETHODIMP_(ULONG) CImageDataObject::Release() {
  const ULONG left = --m_refs;
  if (left == 0) delete this;
  return left;
}

STDMETHODIMP CImageDataObject::GetData(FORMATETC*, STGMEDIUM* medium) {
  if (!medium) return E_POINTER;
  HANDLE copy = OleDuplicateData(m_medium.hBitmap, CF_BITMAP, 0);
  if (!copy) return E_HANDLE;
  medium->tymed = TYMED_GDI;
  medium->hBitmap = static_cast<HBITMAP>(copy);
  medium->pUnkForRelease = nullptr;
  return S_OK;
}

STDMETHODIMP CImageDataObject::SetData(FORMATETC* format, STGMEDIUM* medium, BOOL) {
  if (!format || !medium) return E_POINTER;
  m_format = *format;
  m_medium = *medium;
  return S_OK;
}

}  // namespace parley
