// Adverts: read from the advert file (or advert XML handed in at run time) into CAdvItem
// records, then stepped once a second: which adverts are due, what each writes into the public
// pane, and the banner at the top of the control with its character-by-character reveal.
// Portable: the XML is parsed by the platform and handed here as a small tree.
#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace chat {

// One element of a parsed XML document: its name, attributes in document order, its text (all
// text below it, as the DOM gives it) and its child elements.
struct XmlElement {
  std::u16string name;
  std::vector<std::pair<std::u16string, std::u16string>> attributes;
  std::u16string text;
  std::vector<XmlElement> children;
};

struct AdvEntry {
  int32_t m_nNewLine = 0;
  int16_t m_nType = 0;     // 0 text; otherwise a picture file (1: under the installation)
  int16_t m_nBlank = 0;
  std::u16string m_text;
  std::u16string m_url;
  uint32_t m_color = 0;    // COLORREF
};

struct CAdvItem {
  virtual ~CAdvItem() = default;
  int16_t m_nAdvType = 0;      // 1 top advert (banner); otherwise a chat-line advert
  int32_t m_nChatStyle = -1;   // -1: every style
  int32_t m_nDelay = 0;
  int32_t m_nInterval = 0;
  int32_t m_nTimes = 1;        // 0 finished, -1 unlimited
  std::vector<AdvEntry> m_entries;

  bool IsTop() const { return m_nAdvType == 1; }
};

// The automation conversion of a text to a 32-bit number: blanks around it, a sign, digits, an
// optional fraction rounded half to even; nothing when it is not a number or out of range.
std::optional<int32_t> ParseAdvertNumber(std::u16string_view text);
// One to six hexadecimal digits, used as they stand as a COLORREF; anything else gives 0.
uint32_t ParseAdvertColor(std::u16string_view text);

// The installation folder for pictures of type 1; nothing when it cannot be read.
using AppPathSource = std::function<std::optional<std::u16string>()>;

// One CHATADV element. Nothing (and a description in error) when one of its numbers does not
// convert: that advert is dropped.
std::optional<CAdvItem> ParseAdvertElement(const XmlElement& chatadv, const AppPathSource& appPath,
                                           std::string* error);

inline constexpr char16_t kAdvertElementName[] = u"CHATADV";

// Everything one tick of the advert timer writes.
struct AdvertOutput {
  struct ChatWrite {
    bool separator = false;    // "\r" and the separator picture; otherwise the entry
    AdvEntry entry;
  };
  std::vector<ChatWrite> chat;        // into the public pane, in order
  bool scrollIfAtBottom = false;      // an entry was written
  bool bannerChanged = false;
  bool startBannerTimer = false;
  bool stopBannerTimer = false;
};

// What the banner strip paints.
struct BannerPaint {
  bool draw = false;
  std::u16string text;      // the part shown
  uint32_t color = 0;
  bool stopBannerTimer = false;
};

class AdvertEngine {
 public:
  static constexpr int kAdvertTimerId = 100, kAdvertPeriodMs = 1000;
  static constexpr int kBannerTimerId = 200, kBannerPeriodMs = 100;

  void Add(CAdvItem advert) { m_adverts.push_back(std::move(advert)); }
  // The advert file was read: the advert timer starts counting from tick 0.
  void Start() {
    m_running = true;
    m_tick = 0;
  }
  bool Running() const { return m_running; }
  void SetChatStyle(int32_t style) { m_chatStyle = style; }
  int32_t ChatStyle() const { return m_chatStyle; }

  // Timer 100.
  AdvertOutput OnAdvertTimer();
  // Timer 200: nothing while the advert tick is 0.
  std::optional<BannerPaint> OnBannerTimer();
  // The banner as the control's background painting draws it.
  BannerPaint DrawBanner();

  const std::vector<CAdvItem>& Adverts() const { return m_adverts; }
  int32_t Tick() const { return m_tick; }
  bool Revealing() const { return m_reveal; }
  const std::u16string& BannerText() const { return m_bannerText; }
  const std::u16string& BannerLink() const { return m_bannerLink; }
  bool HasBanner() const { return m_hasBanner; }

 private:
  bool Matches(const CAdvItem& a) const { return a.m_nChatStyle == -1 || a.m_nChatStyle == m_chatStyle; }
  void ScheduleTopAdverts();
  void ShowDueAdverts(int32_t t, AdvertOutput& out);
  void StartBannerReveal(const std::u16string& previous, const std::u16string& text,
                         AdvertOutput& out);

  std::vector<CAdvItem> m_adverts;
  int32_t m_chatStyle = 3;
  int32_t m_tick = 0;
  bool m_running = false;
  bool m_hasBanner = false;
  std::u16string m_bannerText, m_bannerLink;
  uint32_t m_bannerColor = 0;
  int32_t m_revealStep = 0;
  bool m_reveal = false;
};

}  // namespace chat
