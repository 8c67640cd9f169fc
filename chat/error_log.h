// The chat's error log "chatLogFile.log" in the installation directory: every failure the
// control catches adds an entry: CR LF, "MM/DD/YY HH:MM:SS", CR LF, the text.
#pragma once
#include <ctime>
#include <string>
#include <string_view>

namespace chat {

inline constexpr char kErrorLogFileName[] = "chatLogFile.log";

std::string FormatErrorLogEntry(const std::tm& when, std::string_view text);
// Appends one entry stamped with the local time; false when the file cannot be written.
bool AppendErrorLog(const std::string& path, std::string_view text);

}  // namespace chat
