#include "face_store.h"

#include <cstdio>

#include "gbk_codec.h"
#include "profile_file.h"

namespace chat {

FileRead ReadWholeFile(const std::string& path, size_t max_bytes) {
  FileRead result;
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) {
    // Tell a missing file from one that is there but cannot be opened.
    FILE* probe = std::fopen(path.c_str(), "r");
    result.status = probe ? FileRead::kUnreadable : FileRead::kMissing;
    if (probe) std::fclose(probe);
    return result;
  }
  result.status = FileRead::kRead;
  uint8_t buffer[16384];
  size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, f)) > 0) {
    if (result.bytes.size() + got > max_bytes) {
      result.status = FileRead::kUnreadable;
      result.bytes.clear();
      break;
    }
    result.bytes.insert(result.bytes.end(), buffer, buffer + got);
  }
  if (std::ferror(f)) {
    result.status = FileRead::kUnreadable;
    result.bytes.clear();
  }
  std::fclose(f);
  return result;
}

void FaceStore::InitFlagOnce(const std::string& appPath) {
  if (m_loaded) return;
  m_loaded = true;
  InitFlag(appPath);
}

void FaceStore::InitFlag(const std::string& appPath) {
  const std::string config = appPath + "\\config\\faceconfig.ini";
  const FileRead file = m_reader(config, kMaxConfigBytes);
  if (file.status == FileRead::kUnreadable) m_problems.push_back("faceconfig.ini: cannot read " + config);
  ProfileFile ini;
  if (file.status == FileRead::kRead)
    ini.Parse(std::string_view(reinterpret_cast<const char*>(file.bytes.data()), file.bytes.size()));
  const std::string faceDir = appPath + "\\face\\";
  ReadSection(ini, "face", kFaceList, faceDir);
  ReadSection(ini, "userflag", kUserFlagList, faceDir);
  ReadSection(ini, "sysflag", kSystemFlagList, faceDir);
}

void FaceStore::ReadSection(const ProfileFile& ini, const char* section, int list,
                            const std::string& faceDir) {
  int count = ParseLeadingInt(ini.GetString(section, "count", 9));
  if (count > kMaxItems) {
    m_problems.push_back(std::string("faceconfig.ini: [") + section + "] count " +
                         std::to_string(count) + " cut to " + std::to_string(kMaxItems));
    count = kMaxItems;
  }
  const bool faces = list == kFaceList;
  char key[32];
  for (int i = 0; i < count; ++i) {
    std::snprintf(key, sizeof key, faces ? "Item%did" : "Item%dflagid", i);
    const std::string id = ini.GetString(section, key, 9);
    if (id.empty()) continue;
    std::snprintf(key, sizeof key, "Item%dfilename", i);
    const std::string file = ini.GetString(section, key, 127);
    if (file.empty()) continue;
    std::string faceKey, tip;
    if (faces) {
      std::snprintf(key, sizeof key, "Item%dKey", i);
      faceKey = ini.GetString(section, key, 31);
      if (faceKey.empty()) continue;
      std::snprintf(key, sizeof key, "Item%dTip", i);
      tip = ini.GetString(section, key, 31);
    }
    AddFaceItem(faceDir + file, faceKey, ParseLeadingInt(id), tip, list);
  }
}

void FaceStore::AddFaceItem(const std::string& path, const std::string& key, int32_t id,
                            const std::string& tip, int list) {
  if (list < 0 || list >= kPictureListCount) return;
  FaceItem* existing = Find(list, id);
  if (existing && existing->image) return;
  FileRead file = m_reader(path, kMaxPictureBytes);
  if (file.status == FileRead::kUnreadable) {
    m_problems.push_back("picture cannot be read: " + path);
    return;
  }
  PictureBytes image;
  if (file.status == FileRead::kRead)
    image = std::make_shared<const std::vector<uint8_t>>(std::move(file.bytes));
  if (existing) {
    existing->file = path;
    existing->image = std::move(image);
    return;
  }
  FaceItem item;
  item.id = id;
  item.key = key;
  item.keyCopy = key;
  item.tip = tip;
  item.file = path;
  item.image = std::move(image);
  m_lists[list].push_back(std::move(item));
}

FaceItem* FaceStore::Find(int list, int32_t id) {
  if (list < 0 || list >= kPictureListCount) return nullptr;
  for (FaceItem& item : m_lists[list])
    if (item.id == id) return &item;
  return nullptr;
}

const FaceItem* FaceStore::Find(int list, int32_t id) const {
  return const_cast<FaceStore*>(this)->Find(list, id);
}

std::string FaceStore::GetFaceKey(int32_t id) const {
  const FaceItem* item = Find(kFaceList, id);
  return item ? item->key : std::string();
}

int32_t FaceStore::GetPictureId(const std::string& path) {
  std::vector<FaceItem>& pictures = m_lists[kAdvertPictureList];
  for (const FaceItem& item : pictures)
    if (item.file == path) return item.id;
  const int32_t id = static_cast<int32_t>(pictures.size()) + 1;
  AddFaceItem(path, std::string(), id, std::string(), kAdvertPictureList);
  return id;
}

void FaceStore::FreeFaceImages() { m_lists[kFaceList].clear(); }

std::vector<Face> FaceStore::FacesForLines() const {
  std::vector<Face> faces;
  for (const FaceItem& item : m_lists[kFaceList])
    if (item.image && !item.key.empty()) faces.push_back({item.id, GbkToWide(item.key)});
  return faces;
}

}  // namespace chat
