#include "chat_adverts.h"

#include <gdiplus.h>

#include <algorithm>
#include <cstdio>

#include "chat_pictures.h"
#include "chat_platform.h"
#include "chat_texts.h"
#include "gbk_codec.h"
#include "link_rules.h"
#include "winkit/handle.h"

namespace parley {
namespace {

std::wstring W(const std::u16string& s) { return std::wstring(s.begin(), s.end()); }

std::string ReadFileBytes(const std::wstring& path) {
  std::string bytes;
  const winkit::UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return bytes;
  LARGE_INTEGER size{};
  // No advert file is near this size; a larger one is not read.
  if (GetFileSizeEx(file.Get(), &size) && size.QuadPart > 0 && size.QuadPart <= 4 * 1024 * 1024) {
    bytes.resize(static_cast<size_t>(size.QuadPart));
    DWORD got = 0;
    if (!ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr)) got = 0;
    bytes.resize(got);
  }
  return bytes;
}

}  // namespace

ChatAdverts::ChatAdverts() {
  const HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  m_comInitialised = SUCCEEDED(hr);
  m_reader = CreateSystemXmlReader();
}

ChatAdverts::~ChatAdverts() {
  m_reader.reset();
  if (m_comInitialised) CoUninitialize();
}

void ChatAdverts::Report(const std::vector<std::string>& errors) {
  for (const std::string& e : errors) ReportOnce(e);
}

bool ChatAdverts::Load(HWND control) {
  if (!m_reader) {
    ReportOnce("adverts: the XML parser is not installed");
    return false;
  }
  const std::string app = ReadAppPath();
  if (app.empty()) return false;
  const std::string bytes = ReadFileBytes(Wide(app + "\\config\\advrss.xml"));
  if (bytes.empty()) return false;
  AdvertReadResult read = ReadAdvertDocument(*m_reader, DecodeXmlBytes(bytes), InstallationFolder());
  if (!read.parsed) {
    ReportOnce("adverts: config\\advrss.xml is not XML");
    return false;
  }
  Report(read.errors);
  for (chat::CAdvItem& a : read.adverts) m_engine.Add(std::move(a));
  m_engine.Start();
  SetTimer(control, chat::AdvertEngine::kAdvertTimerId, chat::AdvertEngine::kAdvertPeriodMs, nullptr);
  return true;
}

bool ChatAdverts::AddXml(const char* gbk) {
  if (!gbk || !m_reader) return false;
  // Only a text that starts with a tag can be XML: ordinary lines are not parsed.
  const char* first = gbk;
  while (*first == ' ' || *first == '\t' || *first == '\r' || *first == '\n') ++first;
  if (*first != '<') return false;
  const size_t length = strnlen(gbk, 64 * 1024);
  AdvertReadResult read =
      ReadAdvertXml(*m_reader, DecodeXmlBytes(std::string(gbk, length)), InstallationFolder());
  Report(read.errors);
  for (chat::CAdvItem& a : read.adverts) m_engine.Add(std::move(a));
  return read.advertRoot;
}

bool ChatAdverts::OnTimer(HWND control, HWND pane, UINT_PTR id) {
  if (id == chat::AdvertEngine::kAdvertTimerId) {
    const bool at_bottom = IsOutputAtBottom(pane);
    const chat::AdvertOutput out = m_engine.OnAdvertTimer();
    if (!out.chat.empty()) {
      const BOOL read_only = (GetWindowLongW(pane, GWL_STYLE) & ES_READONLY) != 0;
      SendMessageW(pane, EM_SETREADONLY, FALSE, 0);
      for (const auto& w : out.chat) {
        if (w.separator) {
          const int end = GetWindowTextLengthW(pane);
          SendMessageW(pane, EM_SETSEL, end, end);
          SendMessageW(pane, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L"\r"));
          InsertPicture(pane, chat::kSystemFlagList, 2);
          const int after = GetWindowTextLengthW(pane);
          SendMessageW(pane, EM_SETSEL, after, after);
        } else {
          WriteEntry(pane, w.entry);
        }
      }
      SendMessageW(pane, EM_SETREADONLY, read_only, 0);
      if (out.scrollIfAtBottom && at_bottom) {
        SendMessageW(pane, WM_VSCROLL, SB_BOTTOM, 0);
        SendMessageW(pane, EM_LINESCROLL, 0, 1);
      }
    }
    if (out.startBannerTimer)
      SetTimer(control, chat::AdvertEngine::kBannerTimerId, chat::AdvertEngine::kBannerPeriodMs, nullptr);
    if (out.stopBannerTimer) KillTimer(control, chat::AdvertEngine::kBannerTimerId);
    if (out.bannerChanged || out.stopBannerTimer) {
      RECT strip{0, 0, 0, 0};
      GetClientRect(control, &strip);
      strip.bottom = std::min<LONG>(strip.bottom, 20);
      InvalidateRect(control, &strip, TRUE);
    }
    return true;
  }
  if (id == chat::AdvertEngine::kBannerTimerId) {
    if (const auto paint = m_engine.OnBannerTimer()) {
      const winkit::WindowDc dc(control);
      DrawBanner(control, dc.Get(), *paint);
      if (paint->stopBannerTimer) KillTimer(control, chat::AdvertEngine::kBannerTimerId);
    }
    return true;
  }
  return false;
}

void ChatAdverts::WriteEntry(HWND pane, const chat::AdvEntry& entry) {
  CHARFORMAT2W cf{};
  cf.cbSize = sizeof cf;
  cf.dwMask = CFM_FACE | CFM_SIZE | CFM_COLOR | CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT |
              CFM_CHARSET;
  cf.yHeight = 200;
  cf.crTextColor = entry.m_color;
  cf.bCharSet = GB2312_CHARSET;
  lstrcpynW(cf.szFaceName, Wide(kTextSongTi).c_str(), LF_FACESIZE);
  int end = GetWindowTextLengthW(pane);
  SendMessageW(pane, EM_SETSEL, end, end);
  if (entry.m_nNewLine == 1) SendMessageW(pane, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L"\r"));
  // At most a line's width of blanks, whatever the advert asks for.
  const std::wstring blanks(static_cast<size_t>(std::clamp<int>(entry.m_nBlank, 0, 200)), L' ');
  if (!blanks.empty()) SendMessageW(pane, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(blanks.c_str()));
  const LONG p = GetWindowTextLengthW(pane);
  if (entry.m_nType == 0) {
    SendMessageW(pane, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(W(entry.m_text).c_str()));
  } else {
    const int32_t key = Faces().GetPictureId(chat::WideToGbk(entry.m_text));
    for (const std::string& problem : Faces().TakeProblems()) ReportOnce(problem);
    InsertPicture(pane, chat::kAdvertPictureList, key);
  }
  end = GetWindowTextLengthW(pane);
  if (entry.m_url.empty()) {
    SendMessageW(pane, EM_SETSEL, p, end);
    SendMessageW(pane, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
  } else {
    cf.dwMask |= CFM_LINK | CFM_OFFSET;
    cf.dwEffects |= CFE_LINK;
    cf.yOffset = 3;
    const LONG from = std::max<LONG>(p - 1, 0);
    SendMessageW(pane, EM_SETSEL, from, end);
    SendMessageW(pane, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
    m_links.push_back({from, end, W(entry.m_url)});
  }
  end = GetWindowTextLengthW(pane);
  SendMessageW(pane, EM_SETSEL, end, end);
}

void ChatAdverts::PaintBanner(HWND control, HDC dc) { DrawBanner(control, dc, m_engine.DrawBanner()); }

void ChatAdverts::DrawBanner(HWND control, HDC dc, const chat::BannerPaint& paint) {
  if (!paint.draw) return;
  RECT client{};
  GetClientRect(control, &client);
  const Gdiplus::RectF area(20.0f, 4.0f, static_cast<Gdiplus::REAL>(client.right - 20), 15.0f);
  Gdiplus::Graphics g(dc);
  const chat::CSkinManager& skin = GetSkinManager().values;
  const std::string& back = skin.pictures[chat::kPictureBack];
  bool filled = false;
  if (!back.empty()) {
    Gdiplus::Image image(Wide(back).c_str());
    if (image.GetLastStatus() == Gdiplus::Ok) {
      Gdiplus::TextureBrush brush(&image);
      g.FillRectangle(&brush, area);
      filled = true;
    }
  }
  if (!filled) {
    Gdiplus::SolidBrush brush(Gdiplus::Color(255, GetRValue(skin.chatbackcolor),
                                             GetGValue(skin.chatbackcolor), GetBValue(skin.chatbackcolor)));
    g.FillRectangle(&brush, area);
  }
  // The text through the system's font mapper, which finds a face for the Chinese characters
  // when the skin's face is not installed.
  const int height = [] {
    const winkit::WindowDc screen(nullptr);
    return -MulDiv(10, GetDeviceCaps(screen.Get(), LOGPIXELSY), 72);
  }();
  const winkit::UniqueFont font(CreateFontW(height, 0, 0, 0, FW_BOLD, FALSE, TRUE, FALSE, GB2312_CHARSET,
                           OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                           DEFAULT_PITCH | FF_DONTCARE, Wide(kTextSongTi).c_str()));
  g.Flush();
  const winkit::SelectedObject selected(dc, font.Get());
  const int mode = SetBkMode(dc, TRANSPARENT);
  const COLORREF colour = SetTextColor(dc, paint.color & 0xFFFFFF);
  RECT box{20, 4, client.right, 19};
  const std::wstring shown = W(paint.text);
  DrawTextW(dc, shown.c_str(), static_cast<int>(shown.size()), &box,
            DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOCLIP | DT_NOPREFIX);
  SetTextColor(dc, colour);
  SetBkMode(dc, mode);
}

bool ChatAdverts::ClickStrip(POINT p, int stripHeight) {
  if (p.y < 0 || p.y >= stripHeight || m_engine.BannerLink().empty()) return false;
  return OpenChatLink(W(m_engine.BannerLink()));
}

bool ChatAdverts::ClickLink(const CHARRANGE& range) {
  for (const Link& link : m_links) {
    if (link.start <= range.cpMax && link.end >= range.cpMin) {
      OpenChatLink(link.url);
      return true;
    }
  }
  return false;
}

void ChatAdverts::OnTrim(int deleted) {
  std::vector<Link> kept;
  for (Link link : m_links) {
    link.start = std::max<LONG>(0, link.start - deleted);
    link.end -= deleted;
    if (link.end >= 0) kept.push_back(link);
  }
  m_links = std::move(kept);
}

}  // namespace parley
