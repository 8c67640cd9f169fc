// Pictures in the chat's rich-text boxes: the process's face store, pictures inserted at the
// selection as animated picture objects (one character position each), the faces of a line
// put in place of their keys, the pictures of a box listed by position, a cut that closes the
// pictures it takes, and the animation step for the pictures in view.
#pragma once
#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "face_store.h"
#include "line_composer.h"

namespace parley {

// The store shared by every chat control of the process.
chat::FaceStore& Faces();
// Loads it from the installation folder the first time; what was wrong goes to the error log.
void LoadFacesOnce();

// Writes a failure to the error log once per text (at most a few hundred texts are kept).
void ReportOnce(const std::string& text);

// Inserts the picture (list, key) of the store at the selection of box; false when nothing was
// inserted (no such picture, no picture file, a picture that does not decode, no object).
bool InsertPicture(HWND box, int list, int32_t key);
inline bool InsertFace(HWND box, int32_t key) { return InsertPicture(box, chat::kFaceList, key); }

// Puts the pictures of a line's faces in place of their keys; text_start is where the message
// part begins in the box. A face whose picture cannot be shown keeps its key.
void ShowFaces(HWND box, int text_start, const std::vector<chat::FacePlacement>& faces);

// Character position -> picture key of every picture in the box.
std::map<LONG, int32_t> CollectPictureKeys(HWND box);

// Cuts the selection: the pictures inside it (start <= position < end) are closed first and
// the faces among them go to the clipboard as their keys.
void CutWithPictures(HWND box);

// True when the box's view is at (or within 50 units of) its end.
bool IsOutputAtBottom(HWND box);

// One animation step: verb 1234 on every picture in the visible part of the box.
void AnimateVisiblePictures(HWND box);

inline constexpr UINT kPictureTimerId = 300;
inline constexpr UINT kPictureTimerMs = 50;
inline constexpr LONG kAdvancePictureVerb = 1234;

}  // namespace parley
