#include "chat_pictures.h"

#include <ole2.h>
#include <richedit.h>
#include <richole.h>

#include <cstdio>
#include <set>

#include "animated_image.h"
#include "chat_platform.h"
#include "gbk_codec.h"
#include "static_picture.h"
#include "winkit/com_ptr.h"
#include "winkit/handle.h"
#include "winkit/memory_stream.h"

namespace parley {
namespace {

// Pixels to HIMETRIC as the boxes count them (26 per pixel); the extent of a picture whose
// object reports no size.
constexpr LONG kHimetricPerPixel = 26;
constexpr LONG kFallbackExtent = 22 * kHimetricPerPixel;

chat::FileRead ReadSharedFile(const std::string& gbk_path, size_t max_bytes) {
  chat::FileRead result;
  const std::wstring path = Wide(gbk_path);
  const winkit::UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    const DWORD error = GetLastError();
    result.status = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
                            error == ERROR_INVALID_NAME
                        ? chat::FileRead::kMissing
                        : chat::FileRead::kUnreadable;
    return result;
  }
  LARGE_INTEGER size{};
  result.status = chat::FileRead::kUnreadable;
  if (GetFileSizeEx(file.Get(), &size) && static_cast<ULONGLONG>(size.QuadPart) <= max_bytes) {
    result.bytes.resize(static_cast<size_t>(size.QuadPart));
    DWORD got = 0;
    if (result.bytes.empty() ||
        (ReadFile(file.Get(), result.bytes.data(), static_cast<DWORD>(result.bytes.size()), &got,
                  nullptr) &&
         got == result.bytes.size()))
      result.status = chat::FileRead::kRead;
    else
      result.bytes.clear();
  }
  return result;
}

bool g_objectMissingLogged = false;

// The colour behind a box's text: the input's or the output's, as the skin gives them.
COLORREF BoxBackground(HWND box) {
  const chat::CSkinManager& skin = GetSkinManager().values;
  return GetDlgCtrlID(box) == 2003 ? skin.chatinputrichbackcolor : skin.chatoutrichbackcolor;
}

}  // namespace

chat::FaceStore& Faces() {
  static chat::FaceStore store(ReadSharedFile);
  return store;
}

void LoadFacesOnce() {
  chat::FaceStore& store = Faces();
  if (store.IsLoaded()) return;
  store.InitFlagOnce(ReadAppPath());
  for (const std::string& problem : store.TakeProblems()) ReportOnce(problem);
}

void ReportOnce(const std::string& text) {
  static std::set<std::string> reported;
  if (reported.size() >= 256 || !reported.insert(text).second) return;
  WriteErrorLog(text.c_str());
}

bool InsertPicture(HWND box, int list, int32_t key) {
  if (!box || list < 0 || list >= chat::kPictureListCount) return false;
  const chat::FaceItem* item = Faces().Find(list, key);
  if (!item || !item->image || item->image->empty()) return false;
  winkit::ComPtr<IRichEditOle> rich;
  if (!SendMessageW(box, EM_GETOLEINTERFACE, 0, reinterpret_cast<LPARAM>(rich.Put())) || !rich)
    return false;
  winkit::ComPtr<IOleClientSite> site;
  if (FAILED(rich->GetClientSite(site.Put())) || !site) return false;

  winkit::ComPtr<IAnimatedImage> image;
  const HRESULT created = CoCreateInstance(CLSID_AnimatedImage, nullptr, CLSCTX_ALL,
                                           IID_IAnimatedImage, image.PutVoid());
  if (FAILED(created) || !image) {
    // The animated picture object is not installed: said once in the log (never a box in the
    // middle of a host's call), and the picture is shown still.
    if (!g_objectMissingLogged) {
      g_objectMissingLogged = true;
      char text[160];
      std::snprintf(text, sizeof text, "picture object cannot be created (0x%08lx)",
                    static_cast<unsigned long>(created));
      WriteErrorLog(text);
    }
    return InsertStillPicture(box, rich.Get(), site.Get(),
                              DecodePictureBitmap(item->image->data(), item->image->size(), BoxBackground(box)),
                              static_cast<uint32_t>(key));
  }
  winkit::UniqueGlobal data = winkit::CopyToGlobal(item->image->data(), item->image->size());
  if (!data) return false;
  const HRESULT loaded =
      image->LoadFromMemory(data.Get(), static_cast<ULONG>(GlobalSize(data.Get())));
  data.Reset();
  if (FAILED(loaded)) {
    // A picture the animated object does not read may still be one the system decodes.
    if (InsertStillPicture(box, rich.Get(), site.Get(),
                           DecodePictureBitmap(item->image->data(), item->image->size(), BoxBackground(box)),
                           static_cast<uint32_t>(key)))
      return true;
    ReportOnce("picture does not decode: " + item->file);
    return false;
  }
  winkit::ComPtr<IOleObject> ole;
  if (FAILED(image->QueryInterface(IID_IOleObject, ole.PutVoid())) || !ole) return false;
  OleSetContainedObject(ole.Get(), TRUE);

  REOBJECT reo{};
  reo.cbStruct = sizeof reo;
  if (FAILED(ole->GetUserClassID(&reo.clsid))) return false;
  reo.cp = REO_CP_SELECTION;
  reo.poleobj = ole.Get();
  reo.polesite = site.Get();
  reo.dvaspect = DVASPECT_CONTENT;
  reo.dwFlags = REO_RESIZABLE;
  reo.dwUser = static_cast<DWORD>(key);
  long width = 0, height = 0;
  if (image->GetSize(&width, &height) == S_OK) {
    reo.sizel = {width * kHimetricPerPixel, height * kHimetricPerPixel};
  } else {
    width = height = 22;
    reo.sizel = {kFallbackExtent, kFallbackExtent};
  }
  if (FAILED(rich->InsertObject(&reo))) {
    ReportOnce("picture cannot be inserted: " + item->file);
    return false;
  }
  SendMessageW(box, EM_SCROLLCARET, 0, 0);
  RECT rect{0, 0, width, height};
  ole->DoVerb(OLEIVERB_UIACTIVATE, nullptr, site.Get(), 0, box, &rect);
  ole->DoVerb(OLEIVERB_SHOW, nullptr, site.Get(), 0, box, &rect);
  image->Start();
  return true;
}

void ShowFaces(HWND box, int text_start, const std::vector<chat::FacePlacement>& faces) {
  for (const chat::FacePlacement& face : faces) {
    const int start = text_start + face.position;
    CHARRANGE range{start, start + face.length};
    SendMessageW(box, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    if (!InsertFace(box, face.id)) {
      // The key stays; the placements after it counted it as one character.
      break;
    }
  }
  const int end = GetWindowTextLengthW(box);
  SendMessageW(box, EM_SETSEL, end, end);
}

std::map<LONG, int32_t> CollectPictureKeys(HWND box) {
  std::map<LONG, int32_t> keys;
  winkit::ComPtr<IRichEditOle> rich;
  if (!SendMessageW(box, EM_GETOLEINTERFACE, 0, reinterpret_cast<LPARAM>(rich.Put())) || !rich)
    return keys;
  const LONG count = rich->GetObjectCount();
  for (LONG i = 0; i < count; ++i) {
    REOBJECT reo{};
    reo.cbStruct = sizeof reo;
    if (SUCCEEDED(rich->GetObject(i, &reo, REO_GETOBJ_NO_INTERFACES)))
      keys[reo.cp] = static_cast<int32_t>(reo.dwUser);
  }
  return keys;
}

void CutWithPictures(HWND box) {
  try {
    CHARRANGE selection{};
    SendMessageW(box, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    winkit::ComPtr<IRichEditOle> rich;
    std::vector<std::pair<LONG, int32_t>> closed;  // position, face key
    if (SendMessageW(box, EM_GETOLEINTERFACE, 0, reinterpret_cast<LPARAM>(rich.Put())) && rich) {
      const LONG count = rich->GetObjectCount();
      for (LONG i = 0; i < count; ++i) {
        REOBJECT reo{};
        reo.cbStruct = sizeof reo;
        if (FAILED(rich->GetObject(i, &reo, REO_GETOBJ_POLEOBJ))) continue;
        winkit::ComPtr<IOleObject> ole(reo.poleobj, false);  // the reference GetObject gave
        if (reo.cp < selection.cpMin || reo.cp >= selection.cpMax || !reo.dwFlags || !ole) continue;
        rich->InPlaceDeactivate();
        ole->Close(OLECLOSE_NOSAVE);
        closed.emplace_back(reo.cp, static_cast<int32_t>(reo.dwUser));
      }
    }
    // A closed picture cannot travel through the clipboard, and the text after it would not
    // either: each face goes as its key, which becomes the face again when the line is sent.
    for (auto it = closed.rbegin(); it != closed.rend(); ++it) {
      const std::wstring key = Wide(Faces().GetFaceKey(it->second));
      if (key.empty()) continue;
      CHARRANGE one{it->first, it->first + 1};
      SendMessageW(box, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&one));
      SendMessageW(box, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(key.c_str()));
      selection.cpMax += static_cast<LONG>(key.size()) - 1;
    }
    if (!closed.empty()) SendMessageW(box, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&selection));
  } catch (...) {
    WriteErrorLog("cut");
  }
  SendMessageW(box, WM_CUT, 0, 0);
}

bool IsOutputAtBottom(HWND box) {
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SIF_ALL;
  if (!GetScrollInfo(box, SB_VERT, &info)) return true;  // nothing to scroll
  return info.nPos + static_cast<int>(info.nPage) + 50 >= info.nMax - info.nMin;
}

void AnimateVisiblePictures(HWND box) {
  if (!box || !IsWindowVisible(box)) return;
  winkit::ComPtr<IRichEditOle> rich;
  if (!SendMessageW(box, EM_GETOLEINTERFACE, 0, reinterpret_cast<LPARAM>(rich.Put())) || !rich)
    return;
  const LONG count = rich->GetObjectCount();
  if (count <= 0) return;
  RECT client{};
  GetClientRect(box, &client);
  POINTL top_left{0, 0}, bottom_right{client.right, client.bottom};
  const LONG first = static_cast<LONG>(SendMessageW(box, EM_CHARFROMPOS, 0, reinterpret_cast<LPARAM>(&top_left)));
  const LONG last = static_cast<LONG>(SendMessageW(box, EM_CHARFROMPOS, 0, reinterpret_cast<LPARAM>(&bottom_right)));
  winkit::ComPtr<IOleClientSite> site;
  rich->GetClientSite(site.Put());
  for (LONG i = 0; i < count; ++i) {
    REOBJECT reo{};
    reo.cbStruct = sizeof reo;
    if (FAILED(rich->GetObject(i, &reo, REO_GETOBJ_POLEOBJ))) continue;
    winkit::ComPtr<IOleObject> ole(reo.poleobj, false);
    if (!ole || reo.cp < first || reo.cp > last) continue;
    POINTL at{};
    SendMessageW(box, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&at), reo.cp);
    RECT rect{at.x, at.y, at.x + reo.sizel.cx / kHimetricPerPixel + 1,
              at.y + reo.sizel.cy / kHimetricPerPixel + 1};
    ole->DoVerb(kAdvancePictureVerb, nullptr, site.Get(), 0, box, &rect);
  }
}

}  // namespace parley
