// How a line given to IGChat::AddText is shown: dropped by the filter, or split into a speaker
// part and a message part at its "说：", or shown whole with the label of its kind; the faces
// whose keys it holds; the pane it goes to. Also the pieces the panes share: the trimming to
// the last 66 lines with the hot regions moved along, and the height of a line's characters.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "dirty_word_filter.h"

namespace chat {

inline constexpr int kPublicPane = 2001;
inline constexpr int kChannelPane = 2002;
inline constexpr int kKeptLines = 66;
// A line shows at most this many characters (a chat line is at most 380 bytes; a longer text
// is cut rather than left to stall the panes).
inline constexpr size_t kMaxLineCharacters = 2000;

enum LineKind : int16_t { kKindAdmin = 2, kKindBroadcast = 4, kKindSystem = 16 };

enum class LineFormat { kSpeaker, kRecord, kAdmin, kBroadcast };

struct Face {
  int id = 0;
  std::u16string key;
};

// One face picture in a message part: the characters [position, position + length) of the
// part as it stands when the picture replaces them (earlier pictures already in place).
struct FacePlacement {
  int position = 0;
  int length = 0;
  int id = 0;
};

struct AddTextInput {
  std::u16string text;
  int16_t kind = 0;
  bool isMyText = false;
  bool whisperMode = false;
  bool channelFlag = false;
  bool timeStamp = false;   // option 7
  int hour = 0, minute = 0, second = 0;
};

struct ComposedLine {
  int pane = kPublicPane;
  bool privateHead = false;        // the speaker part in the private head format
  bool speaker = false;
  std::u16string speakerPart;      // speaker lines: up to and including "说："
  std::u16string messagePart;      // speaker lines: the rest
  std::vector<FacePlacement> faces;
  std::u16string text;             // other lines: prefix and text
  LineFormat format = LineFormat::kSpeaker;
  bool systemPicture = false;      // other lines of kinds 2, 4 and 16
};

// Empty when the filter drops the line.
std::optional<ComposedLine> ComposeAddText(const AddTextInput& input,
                                           const CDirtyWordFilter& filter,
                                           const std::vector<Face>& faces);

// The face pictures of a message part, faces in list order, each key found again and again;
// a replaced key counts as one character and the search goes on after it.
std::vector<FacePlacement> PlaceFaces(const std::u16string& message, const std::vector<Face>& faces);

// A clickable span of an output pane (character positions).
struct HotSpan {
  int start = 0;
  int end = 0;
};

// The characters to delete from the start of a pane of line_count lines whose line
// keep_from_line begins at that character, to keep the last kKeptLines lines; 0 when the pane is
// shorter. line_start(i) gives the first character of line i.
int CharactersToTrim(int line_count, int first_kept_line_start);
inline int FirstKeptLine(int line_count) { return line_count - kKeptLines; }

// Moves the spans back by the deleted characters; spans that end before the pane's new start
// are dropped, spans that begin before it start at 0.
void ShiftHotSpans(std::vector<HotSpan>& spans, int deleted);

// The height of a format's characters in twips: size in tenths of a point (10 points when 0 or
// less), rounded to whole pixels at dpi (the panes' own format, the input's font).
int FormatHeightTwips(int size, int dpi);
// The height of a head's characters in twips: size in tenths of a point (10 points when 0 or
// less), rounded to whole pixels at dpi, kept within 10 to 20 points.
int HeadHeightTwips(int size, int dpi);

}  // namespace chat
