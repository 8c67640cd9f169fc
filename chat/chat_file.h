// The chat control's file access: paths are GBK texts (the player's folders may have Chinese
// names); on Windows they are opened through their UTF-16 form, elsewhere as they are.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace chat {

FILE* OpenChatFile(const std::string& path, const char* mode);
bool ChatFileExists(const std::string& path);

enum class ReadResult { kOk, kMissing, kTooLarge, kError };

// Reads a whole file of at most max_bytes bytes into out.
ReadResult ReadWholeFile(const std::string& path, size_t max_bytes, std::vector<uint8_t>& out);

// Writes bytes as the whole new content of path: first into path + ".new", which then takes the
// place of the old file, so a failed write leaves the old file as it was. False on failure.
bool ReplaceFileContents(const std::string& path, const std::vector<uint8_t>& bytes);

}  // namespace chat
