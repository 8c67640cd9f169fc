// The chat control's adverts: read from the installation's advert file when the control's
// window is made and from advert XML handed in later, stepped by the one-second advert timer
// (chat-line adverts written into the public pane, the top advert into the banner strip), the
// banner revealed by the 100 ms banner timer, and their links opened when clicked.
#pragma once
#include <windows.h>
#include <richedit.h>

#include <memory>
#include <string>
#include <vector>

#include "advert_engine.h"
#include "adverts.h"

namespace parley {

class ChatAdverts {
 public:
  ChatAdverts();
  ~ChatAdverts();

  // Reads "<AppPath>\config\advrss.xml" and starts the advert timer on the control's window;
  // false (and no timer) when there is no installation folder, no file or no XML in it.
  bool Load(HWND control);
  // Advert XML handed in as GBK text: one advert, or nothing for anything else. True when the
  // text was an advert.
  bool AddXml(const char* gbk);
  void SetChatStyle(int32_t style) { m_engine.SetChatStyle(style); }

  // The control's timers 100 and 200; false for other timers.
  bool OnTimer(HWND control, HWND publicPane, UINT_PTR id);
  // Paints the banner into the top strip (the control's background painting).
  void PaintBanner(HWND control, HDC dc);
  // A left click in the top strip; true when it opened the banner's link.
  bool ClickStrip(POINT p, int stripHeight);
  // A click on a link of the public pane; true when it was an advert's link.
  bool ClickLink(const CHARRANGE& range);
  // The public pane lost its first characters.
  void OnTrim(int deleted);

  const chat::AdvertEngine& Engine() const { return m_engine; }

 private:
  void Report(const std::vector<std::string>& errors);
  void WriteEntry(HWND pane, const chat::AdvEntry& entry);
  void DrawBanner(HWND control, HDC dc, const chat::BannerPaint& paint);

  struct Link {
    LONG start, end;
    std::wstring url;
  };
  chat::AdvertEngine m_engine;
  std::unique_ptr<XmlReader> m_reader;
  bool m_comInitialised = false;
  std::vector<Link> m_links;
};

}  // namespace parley
