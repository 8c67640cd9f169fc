// The player's common phrases and their file "chatcmd.cmd" in the settings directory: a uint32
// count, then each phrase as an archive string (little-endian, length-prefixed).
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace chat {

inline constexpr char kPhrasesFileName[] = "chatcmd.cmd";
// A phrase holds at most 399 bytes (199 Chinese characters).
inline constexpr size_t kMaxPhraseBytes = 399;
inline constexpr size_t kMaxPhrasesFileBytes = 4 * 1024 * 1024;

std::vector<uint8_t> StorePhrases(const std::vector<std::string>& phrases);
// The non-empty phrases of the file. False when the bytes are not a whole phrase list; out then
// holds the phrases read before the fault.
bool LoadPhrases(const uint8_t* data, size_t size, std::vector<std::string>& out);

// The phrase cut to kMaxPhraseBytes on a character boundary.
std::string CutPhrase(std::string_view text);

}  // namespace chat
