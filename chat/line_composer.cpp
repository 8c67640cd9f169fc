#include "line_composer.h"

#include <algorithm>
#include <cstdio>

#include "chat_texts.h"
#include "gbk_codec.h"
#include "text_utilities.h"

namespace chat {
namespace {

const std::u16string& Said() {
  static const std::u16string said = GbkToWide(kTextSaid);
  return said;
}

// a * b / c rounded half away from zero, as the system's MulDiv rounds.
int MulDiv(int a, int b, int c) {
  if (c == 0) return -1;
  int64_t p = static_cast<int64_t>(a) * b;
  int64_t d = c;
  if (d < 0) {
    p = -p;
    d = -d;
  }
  return static_cast<int>(p >= 0 ? (p + d / 2) / d : -((-p + d / 2) / d));
}

}  // namespace

std::vector<FacePlacement> PlaceFaces(const std::u16string& message,
                                      const std::vector<Face>& faces) {
  std::vector<FacePlacement> placements;
  std::u16string work = message;
  for (const Face& face : faces) {
    if (face.key.empty()) continue;
    int from = 0;
    for (;;) {
      const int at = FindPattern(work, from, face.key);
      if (at < 0) break;
      placements.push_back({at, static_cast<int>(face.key.size()), face.id});
      // One character stands for the picture; the search goes on after it, so a key of one
      // character, or a key whose last character begins it again, cannot be found for ever.
      work.replace(static_cast<size_t>(at), face.key.size(), 1, face.key.back());
      from = at + 1;
    }
  }
  return placements;
}

std::optional<ComposedLine> ComposeAddText(const AddTextInput& input,
                                           const CDirtyWordFilter& filter,
                                           const std::vector<Face>& faces) {
  ComposedLine line;
  line.privateHead = input.kind == 0 && input.whisperMode && input.isMyText;
  int16_t position = 0, length = 0;
  if (!filter.CheckText(std::u16string_view(input.text).substr(0, kMaxLineCharacters), position,
                        length))
    return std::nullopt;

  std::u16string text = input.text.substr(0, kMaxLineCharacters);
  if (input.timeStamp) {
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "(%02d:%02d:%02d) ", input.hour, input.minute,
                  input.second);
    text = GbkToWide(stamp) + text;
  }
  line.pane = input.isMyText && input.channelFlag && input.whisperMode ? kChannelPane
                                                                        : kPublicPane;
  const int said = FindPattern(text, 1, Said());
  if (said >= 0) {
    line.speaker = true;
    line.speakerPart = text.substr(0, static_cast<size_t>(said) + Said().size());
    line.messagePart = text.substr(static_cast<size_t>(said) + Said().size());
    line.faces = PlaceFaces(line.messagePart, faces);
    line.format = LineFormat::kRecord;
    return line;
  }
  switch (input.kind) {
    case kKindAdmin:
      line.text = GbkToWide(kTextAdminLabel) + u" " + text;
      line.format = LineFormat::kAdmin;
      line.systemPicture = true;
      break;
    case kKindBroadcast:
      line.text = GbkToWide(kTextBroadcastLabel) + u" " + text;
      line.format = LineFormat::kBroadcast;
      line.systemPicture = true;
      break;
    case kKindSystem:
      line.text = text;
      line.format = LineFormat::kRecord;
      line.systemPicture = true;
      break;
    default:
      line.text = text;
      line.format = LineFormat::kSpeaker;
      break;
  }
  return line;
}

int CharactersToTrim(int line_count, int first_kept_line_start) {
  if (line_count < kKeptLines) return 0;
  return std::max(0, first_kept_line_start);
}

void ShiftHotSpans(std::vector<HotSpan>& spans, int deleted) {
  if (deleted <= 0) return;
  std::vector<HotSpan> kept;
  for (HotSpan s : spans) {
    s.start -= deleted;
    s.end -= deleted;
    if (s.end <= 0) continue;
    s.start = std::max(0, s.start);
    kept.push_back(s);
  }
  spans = std::move(kept);
}

int FormatHeightTwips(int size, int dpi) {
  const int points = size > 0 ? size / 10 : 10;
  const int pixels = MulDiv(points, -dpi, 72);
  return -20 * MulDiv(pixels, 72, dpi);
}

int HeadHeightTwips(int size, int dpi) { return std::clamp(FormatHeightTwips(size, dpi), 200, 400); }

}  // namespace chat
