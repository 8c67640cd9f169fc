// A still picture embedded in a rich-text box, for when the animated picture object is not
// installed: the first frame of a picture file (BMP, GIF, PNG, ICO) on the box's background,
// carried by a CImageDataObject and drawn by the box through IViewObject or IDataObject. It
// takes one character position, like the animated object, and answers its verbs (the
// animation's among them) with nothing to do.
#pragma once
#include <windows.h>
#include <ole2.h>
#include <richole.h>

#include <cstdint>
#include <string>

#include "winkit/handle.h"

namespace parley {

// The picture file's bytes decoded into a bitmap of its own size, transparent parts filled
// with background; null when they do not decode.
winkit::UniqueBitmap DecodePictureBitmap(const void* bytes, size_t size, COLORREF background);

// Inserts the bitmap (which the object takes over) at the box's selection with user value key;
// false when it could not be inserted.
bool InsertStillPicture(HWND box, IRichEditOle* rich, IOleClientSite* site,
                        winkit::UniqueBitmap bitmap, uint32_t key);

}  // namespace parley
