#include "advert_engine.h"

#include <algorithm>
#include <climits>

#include "gbk_codec.h"

namespace chat {
namespace {

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

std::string Narrow(std::u16string_view text) { return WideToGbk(text); }

// Reads a number attribute; false (and the error) when it does not convert.
bool ReadNumber(const std::u16string& name, const std::u16string& value, int32_t& out,
                std::string* error) {
  const std::optional<int32_t> number = ParseAdvertNumber(value);
  if (!number) {
    if (error) *error = "advert dropped: " + Narrow(name) + "=\"" + Narrow(value) + "\" is not a number";
    return false;
  }
  out = *number;
  return true;
}

}  // namespace

std::optional<int32_t> ParseAdvertNumber(std::u16string_view text) {
  size_t i = 0, n = text.size();
  while (i < n && IsBlank(text[i])) ++i;
  while (n > i && IsBlank(text[n - 1])) --n;
  bool negative = false;
  if (i < n && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
  int64_t value = 0;
  bool digits = false;
  for (; i < n && text[i] >= u'0' && text[i] <= u'9'; ++i) {
    digits = true;
    value = value * 10 + (text[i] - u'0');
    if (value > int64_t{1} << 32) return std::nullopt;
  }
  if (i < n && text[i] == u'.') {
    ++i;
    // Rounded half to even on the first fraction digit and whatever follows it.
    int first = -1;
    bool rest = false;
    for (; i < n && text[i] >= u'0' && text[i] <= u'9'; ++i) {
      digits = true;
      if (first < 0) first = text[i] - u'0';
      else if (text[i] != u'0') rest = true;
    }
    if (first > 5 || (first == 5 && (rest || (value & 1)))) ++value;
  }
  if (!digits || i != n) return std::nullopt;
  if (negative) value = -value;
  if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
  return static_cast<int32_t>(value);
}

uint32_t ParseAdvertColor(std::u16string_view text) {
  if (text.empty() || text.size() > 6) return 0;
  uint32_t value = 0;
  for (char16_t c : text) {
    int digit;
    if (c >= u'0' && c <= u'9') digit = c - u'0';
    else if (c >= u'a' && c <= u'f') digit = c - u'a' + 10;
    else if (c >= u'A' && c <= u'F') digit = c - u'A' + 10;
    else return 0;
    value = value * 16 + static_cast<uint32_t>(digit);
  }
  return value;
}

std::optional<CAdvItem> ParseAdvertElement(const XmlElement& chatadv, const AppPathSource& appPath,
                                           std::string* error) {
  CAdvItem item;
  for (const auto& [name, value] : chatadv.attributes) {
    if (value.empty()) continue;
    int32_t number = 0;
    if (name == u"advtype") {
      if (!ReadNumber(name, value, number, error)) return std::nullopt;
      item.m_nAdvType = static_cast<int16_t>(number);
    } else if (name == u"chatstyle") {
      if (!ReadNumber(name, value, number, error)) return std::nullopt;
      item.m_nChatStyle = number;
    }
  }
  for (const XmlElement& child : chatadv.children) {
    if (child.name == u"VALIDFLAG") {
      if (child.text == u"0") break;
    } else if (child.name == u"ITEMINFO") {
      AdvEntry entry;
      entry.m_text = child.text;
      std::u16string color, localPath;
      for (const auto& [name, value] : child.attributes) {
        int32_t number = 0;
        if (name == u"type") {
          if (!ReadNumber(name, value, number, error)) return std::nullopt;
          entry.m_nType = static_cast<int16_t>(number);
        } else if (name == u"url") {
          entry.m_url = value;
        } else if (name == u"newline") {
          if (!value.empty() && !ReadNumber(name, value, number, error)) return std::nullopt;
          entry.m_nNewLine = value.empty() ? 0 : number;
        } else if (name == u"blank") {
          if (!value.empty() && !ReadNumber(name, value, number, error)) return std::nullopt;
          entry.m_nBlank = value.empty() ? 0 : static_cast<int16_t>(number);
        } else if (name == u"color") {
          color = value;
        } else if (name == u"localpath") {
          localPath = value;
        }
      }
      if (entry.m_nType == 1) {
        const std::optional<std::u16string> root = appPath ? appPath() : std::nullopt;
        if (!root) break;  // the entry is dropped and the advert keeps what it has
        if (localPath.empty()) localPath = u"\\OzkAdv\\";
        entry.m_text = *root + localPath + entry.m_text;
      }
      entry.m_color = ParseAdvertColor(color);
      item.m_entries.push_back(std::move(entry));
    } else if (child.name == u"ISSUETIME") {
      for (const XmlElement& part : child.children) {
        if (part.name != u"FREQENCE") continue;
        for (const auto& [name, value] : part.attributes) {
          int32_t* target = name == u"interval" ? &item.m_nInterval
                            : name == u"times"  ? &item.m_nTimes
                            : name == u"delay"  ? &item.m_nDelay
                                                : nullptr;
          if (target && !ReadNumber(name, value, *target, error)) return std::nullopt;
        }
      }
    }
  }
  return item;
}

AdvertOutput AdvertEngine::OnAdvertTimer() {
  AdvertOutput out;
  if (!m_running) return out;
  if (m_tick == 0) ScheduleTopAdverts();
  ShowDueAdverts(m_tick, out);
  if (m_tick < INT32_MAX) ++m_tick;
  return out;
}

void AdvertEngine::ScheduleTopAdverts() {
  int32_t step = 8;
  for (const CAdvItem& a : m_adverts)
    if (a.IsTop() && a.m_nInterval >= 1) {
      step = static_cast<int16_t>(a.m_nInterval);
      break;
    }
  int16_t n = 0;
  for (const CAdvItem& a : m_adverts)
    if (a.IsTop() && Matches(a)) ++n;
  // The top adverts of this style take turns, one every step seconds; adverts of other
  // styles are never shown and keep their own times.
  int32_t k = 0;
  for (CAdvItem& a : m_adverts) {
    if (!a.IsTop() || !Matches(a)) continue;
    a.m_nTimes = -1;
    a.m_nInterval = n * step;
    a.m_nDelay = k++ * step;
  }
}

void AdvertEngine::ShowDueAdverts(int32_t t, AdvertOutput& out) {
  for (CAdvItem& a : m_adverts) {
    if (!Matches(a) || a.m_nTimes == 0) continue;
    bool due;
    if (a.m_nInterval <= 0) {
      a.m_nTimes = 1;
      due = a.m_nDelay <= 0 || t == a.m_nDelay;
    } else {
      due = (int64_t{t} - std::max(a.m_nDelay, 0)) % a.m_nInterval == 0;
    }
    if (!due) continue;
    if (!a.IsTop()) out.chat.push_back({true, {}});
    if (a.m_nTimes > 0) --a.m_nTimes;
    for (const AdvEntry& e : a.m_entries) {
      if (a.IsTop()) {
        const std::u16string previous = m_bannerText;
        m_hasBanner = true;
        m_bannerText = e.m_text;
        m_bannerLink = e.m_url;
        m_bannerColor = e.m_color;
        out.bannerChanged = true;
        if (e.m_text != previous) StartBannerReveal(previous, e.m_text, out);
      } else {
        out.chat.push_back({false, e});
        out.scrollIfAtBottom = true;
      }
    }
  }
}

void AdvertEngine::StartBannerReveal(const std::u16string& previous, const std::u16string& text,
                                     AdvertOutput& out) {
  if (previous.empty()) return;
  if (text.empty()) {
    // Nothing to reveal: the strip is cleared and the banner timer does not run for it.
    m_reveal = false;
    out.startBannerTimer = false;
    out.stopBannerTimer = true;
    return;
  }
  m_reveal = true;
  m_revealStep = 0;
  out.startBannerTimer = true;
  out.stopBannerTimer = false;
}

std::optional<BannerPaint> AdvertEngine::OnBannerTimer() {
  if (m_tick == 0) return std::nullopt;
  ++m_revealStep;
  return DrawBanner();
}

BannerPaint AdvertEngine::DrawBanner() {
  BannerPaint paint;
  if (!m_hasBanner || m_bannerText.empty()) {
    paint.stopBannerTimer = true;
    m_reveal = false;
    return paint;
  }
  paint.draw = true;
  paint.color = m_bannerColor;
  const int32_t length = static_cast<int32_t>(m_bannerText.size());
  const int32_t r = m_revealStep % length;
  if (r == length - 1) m_reveal = false;
  if (m_reveal) {
    paint.text = m_bannerText.substr(0, static_cast<size_t>(r));
  } else {
    paint.stopBannerTimer = true;
    paint.text = m_bannerText;
  }
  return paint;
}

}  // namespace chat
