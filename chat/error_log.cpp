#include "error_log.h"

#include <cstdio>

#include "chat_file.h"

namespace chat {

std::string FormatErrorLogEntry(const std::tm& when, std::string_view text) {
  char stamp[32] = {};
  std::strftime(stamp, sizeof stamp, "%m/%d/%y %H:%M:%S", &when);
  std::string entry = "\r\n";
  entry += stamp;
  entry += "\r\n";
  entry += text;
  return entry;
}

bool AppendErrorLog(const std::string& path, std::string_view text) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &now);
#else
  localtime_r(&now, &local);
#endif
  const std::string entry = FormatErrorLogEntry(local, text);
  FILE* f = OpenChatFile(path, "ab");
  if (!f) return false;
  const bool ok = std::fwrite(entry.data(), 1, entry.size(), f) == entry.size();
  return (std::fclose(f) == 0) && ok;
}

}  // namespace chat
