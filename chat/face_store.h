// The chat's pictures: the faces (emoticons) whose keys lines replace, the user and system
// flags shown in front of names and notices, and the pictures the adverts load by path. All
// come from "config\faceconfig.ini" under the installation folder and are kept in memory, each
// picture file read whole once.
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "line_composer.h"

class ProfileFile;

namespace chat {

enum PictureList : int { kFaceList = 0, kUserFlagList = 1, kSystemFlagList = 2, kAdvertPictureList = 3 };
inline constexpr int kPictureListCount = 4;

using PictureBytes = std::shared_ptr<const std::vector<uint8_t>>;

struct FaceItem {
  int32_t id = 0;
  int16_t reserved = 0;
  std::string key;       // GBK; faces only
  std::string keyCopy;
  std::string tip;
  std::string file;      // the picture file's full path
  std::array<int32_t, 4> cell{};  // where the face board drew it (left, top, right, bottom)
  PictureBytes image;    // null when the file was missing
};

// Reads one picture or configuration file.
struct FileRead {
  enum Status { kRead, kMissing, kUnreadable } status = kMissing;
  std::vector<uint8_t> bytes;
};
using FileReader = std::function<FileRead(const std::string& path, size_t max_bytes)>;
// Reads with the C library; a file larger than max_bytes is unreadable.
FileRead ReadWholeFile(const std::string& path, size_t max_bytes);

class FaceStore {
 public:
  // No picture file is larger; a longer one is refused. Sections list at most this many items.
  static constexpr size_t kMaxPictureBytes = 1024 * 1024;
  static constexpr int kMaxItems = 512;
  static constexpr size_t kMaxConfigBytes = 1024 * 1024;

  explicit FaceStore(FileReader reader = ReadWholeFile) : m_reader(std::move(reader)) {}

  // Reads "<appPath>\config\faceconfig.ini" and fills the faces and both flag lists.
  void InitFlag(const std::string& appPath);
  // InitFlag the first time only.
  void InitFlagOnce(const std::string& appPath);
  bool IsLoaded() const { return m_loaded; }

  void AddFaceItem(const std::string& path, const std::string& key, int32_t id,
                   const std::string& tip, int list);
  std::string GetFaceKey(int32_t id) const;
  // The id of the advert picture read from path, read and added on first use.
  int32_t GetPictureId(const std::string& path);
  void FreeFaceImages();

  const FaceItem* Find(int list, int32_t id) const;
  FaceItem* Find(int list, int32_t id);
  const std::vector<FaceItem>& List(int list) const { return m_lists.at(list); }
  std::vector<FaceItem>& List(int list) { return m_lists.at(list); }

  // The faces a line replaces by pictures: only those with a picture, so a face whose file is
  // missing keeps its key as text in the line.
  std::vector<Face> FacesForLines() const;

  // What went wrong while reading (bad counts, unreadable pictures), each once; the caller
  // writes them to the error log and clears them.
  std::vector<std::string> TakeProblems() { return std::move(m_problems); }

 private:
  void ReadSection(const ::ProfileFile& ini, const char* section, int list,
                   const std::string& faceDir);

  FileReader m_reader;
  std::array<std::vector<FaceItem>, kPictureListCount> m_lists;
  bool m_loaded = false;
  std::vector<std::string> m_problems;
};

}  // namespace chat
