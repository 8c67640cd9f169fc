// CGChat: the lines of a host that keeps a user list (AddChatMessage, AddChatMessage_Indesk)
// and the user list that names their speakers.
#include <windows.h>
#include <richedit.h>

#include <cstdio>
#include <iterator>
#include <ctime>

#include "chat_boundary.h"
#include "chat_pictures.h"
#include "chat_platform.h"
#include "chat_texts.h"
#include "gbk_codec.h"
#include "gchat_control.h"
#include "user_list.h"
#include "user_list_pane.h"

namespace {

using parley::GetSkinManager;
using parley::WriteErrorLog;

}  // namespace

std::pair<ChatTextFormat, COLORREF> CGChat::RunFormat(chat::RunFormat format,
                                                      const ChatTextFormat& head) const {
  const chat::CSkinManager& skin = GetSkinManager().values;
  COLORREF colour = skin.chatdefaultheadcolor;
  switch (format) {
    case chat::RunFormat::kDefaultHead: break;
    case chat::RunFormat::kVipHead: colour = skin.chatvipheadcolor; break;
    case chat::RunFormat::kAdmin: colour = skin.chatadmintextcolor; break;
    case chat::RunFormat::kBroadcast: colour = skin.chatbroadcastcolor; break;
    case chat::RunFormat::kRecord: return {head, static_cast<COLORREF>(head.m_nColor)};
  }
  return {LineFormat(colour), colour};
}

chat::ChatMessageInput CGChat::MessageInput(const chat::ChatMessage& m) const {
  chat::ChatMessageInput in;
  in.text = chat::GbkToWide(m.text);
  in.kind = m.head.m_nStyle[4];
  in.sender = static_cast<int32_t>(m.head.m_nSpeakerId);
  in.receiver = static_cast<int32_t>(m.head.m_nSecondId);
  in.myId = m_users.m_nMyId;
  if (const void* sender = m_users.FindUser(in.sender)) in.senderRecord = chat::ReadPerson(sender);
  if (const void* receiver = m_users.FindUser(in.receiver))
    in.receiverRecord = chat::ReadPerson(receiver);
  in.senderBlocked = m_users.IsBlocked(in.sender);
  in.whisperMode = m_whisperMode;
  in.channelFlag = m_channelFlag;
  in.timeStamp = m_users.m_options.values[7] == 1;
  in.breakAfterSpeaker = m_users.m_options.values[6] == 1;
  parley::StampLocalTime(in);
  return in;
}

void CGChat::WriteMessageLine(const chat::MessageLine& line, const ChatTextFormat& head,
                              const PaneViews& views) {
  HWND pane = Pane(line.pane);
  if (!pane) return;
  BeginPaneUpdate(pane);
  const BOOL read_only = (GetWindowLongW(pane, GWL_STYLE) & ES_READONLY) != 0;
  parley::SetReadOnly(pane, FALSE);
  for (const chat::LineRun& run : line.runs) {
    switch (run.type) {
      case chat::LineRun::Type::kText: {
        const std::u16string& text = run.text;
        if (text.empty()) break;
        const auto [format, colour] = RunFormat(run.format, head);
        const int start = Append(pane, text, format, colour);
        // The message part: its face keys become the faces' pictures.
        if (run.faces)
          parley::ShowFaces(pane, start, chat::PlaceFaces(text, parley::Faces().FacesForLines()));
        break;
      }
      case chat::LineRun::Type::kSpeakerName: WriteSpeakerName(pane, run.person); break;
      case chat::LineRun::Type::kFlagPicture: InsertListPicture(pane, 1, run.picture); break;
      case chat::LineRun::Type::kSystemPicture: InsertListPicture(pane, 2, run.picture); break;
    }
  }
  if (line.trim) TrimPane(pane);
  parley::SetReadOnly(pane, read_only);
  SettleViews(views, line.scrollAlways, line.scrollAlways);
}

// The speaker's flag picture and name; the name is a link and a user-name region, so that a
// click on it makes the speaker the whisper target.
void CGChat::WriteSpeakerName(HWND pane, int32_t person) {
  const COLORREF colour = GetSkinManager().values.chatdefaultheadcolor;
  const bool channel = pane == Pane(IDC_CHANNEL);
  const auto region =
      parley::InsertPersonName(pane, People(), person, channel, m_users.m_options.values[8] == 1,
                               CharFormat(LineFormat(colour), colour));
  if (!region || region->end <= region->start) return;  // no name went in: no region
  HotRegion hot;
  hot.pane = channel ? IDC_CHANNEL : IDC_OUTPUT;
  hot.span = {region->start, region->end};
  hot.id = region->id;
  hot.kind = static_cast<int>(chat::HotRegion::kUserName);
  m_hotRegions.push_back(std::move(hot));
}

// A picture of the faces (0), the user flags (1) or the system flags (2) at the end of the pane.
// A picture that cannot be shown (lists not loaded, no such picture) leaves nothing.
void CGChat::InsertListPicture(HWND pane, int list, int id) {
  static constexpr int kLists[] = {chat::kFaceList, chat::kUserFlagList, chat::kSystemFlagList};
  if (!pane || list < 0 || list >= static_cast<int>(std::size(kLists))) return;
  const int end = parley::PaneTextLength(pane);
  SendMessageW(pane, EM_SETSEL, end, end);
  parley::InsertPicture(pane, kLists[list], id);
  const int after = parley::PaneTextLength(pane);
  SendMessageW(pane, EM_SETSEL, after, after);
}

STDMETHODIMP CGChat::AddChatMessage(LONG_PTR msg) {
  CHAT_METHOD("CGChat::AddChatMessage error", {
    if (!msg || !ControlWindow()) return;
    const PaneViews views = NoteViews();
    const chat::ChatMessage m = chat::ReadChatMessage(reinterpret_cast<const void*>(msg));
    if (!m.text) return;
    const auto line = chat::ComposeChatMessage(MessageInput(m), m_filter);
    if (line) WriteMessageLine(*line, m.head, views);
  });
}

STDMETHODIMP CGChat::AddChatMessage_Indesk(LONG_PTR msg) {
  CHAT_METHOD("CGChat::AddChatMessage_Indesk error", {
    if (!msg || !ControlWindow()) return;
    // Only the public pane takes the table's lines.
    PaneViews views = NoteViews();
    views.nearBottom[1] = false;
    const chat::ChatMessage m = chat::ReadDeskChatMessage(reinterpret_cast<const void*>(msg));
    if (!m.text) return;
    const auto line = chat::ComposeDeskChatMessage(MessageInput(m), m_filter);
    if (line) WriteMessageLine(*line, m.head, views);
  });
}

// The host's list of person records (kept by address, never copied); the target box starts
// again with "everyone" alone.
STDMETHODIMP CGChat::SetUserListAddr(LONG_PTR addr) {
  CHAT_METHOD("CGChat::SetUserListAddr error", {
    People().SetUserList(reinterpret_cast<chat::PersonList*>(addr));
    m_whisperTarget = 0;
    if (HWND combo = Pane(IDC_TARGET)) {
      SendMessageW(combo, CB_RESETCONTENT, 0, 0);
      const LRESULT at = SendMessageW(combo, CB_ADDSTRING, 0,
                                      reinterpret_cast<LPARAM>(parley::Wide(kTextEveryone).c_str()));
      SendMessageW(combo, CB_SETITEMDATA, static_cast<WPARAM>(at), 0);
      SendMessageW(combo, CB_SETCURSEL, 0, 0);
    }
  });
}

void CGChat::ChooseWhisperTarget(int32_t id) {
  const void* record = m_users.FindUser(id);
  if (!record) return;
  HWND input = Pane(IDC_INPUT);
  if (id != m_whisperTarget && id != m_users.m_nMyId) {
    ShowWhisperTarget(id, record);
    People().SetSelUser(id);  // the same target as SetSelUser would choose
    const std::string nickname = chat::ReadPerson(record).nickName;
    char notice[200];
    std::snprintf(notice, sizeof notice, kTextPrivateChatWith, nickname.c_str());
    ShowStateNotice(notice, 0xC0C0C0, false);
  }
  if (input) SetFocus(input);
}

void CGChat::ShowWhisperTarget(int32_t id, const void* person) {
  m_whisperTarget = id;
  HWND combo = Pane(IDC_TARGET);
  if (!combo) return;
  const std::wstring name = parley::Wide(chat::ReadPerson(person).nickName);
  LRESULT at = SendMessageW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                            reinterpret_cast<LPARAM>(name.c_str()));
  if (at == CB_ERR) {
    at = SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    SendMessageW(combo, CB_SETITEMDATA, static_cast<WPARAM>(at), static_cast<LPARAM>(id));
  }
  SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(at), 0);
}

void CGChat::FillSendTarget(chat::SendRequest& request) const {
  if (HWND combo = Pane(IDC_TARGET)) {
    const LRESULT selected = SendMessageW(combo, CB_GETCURSEL, 0, 0);
    request.targetSelected = selected >= 0;
    request.targetId = selected >= 0 ? static_cast<int32_t>(SendMessageW(
                                           combo, CB_GETITEMDATA, static_cast<WPARAM>(selected), 0))
                                     : -1;
  }
  request.targetPresent = m_users.FindUser(request.targetId) != nullptr;
  if (const void* own = m_users.FindUser(m_users.m_nMyId))
    request.ownExempt = chat::ReadPerson(own).forbidType != 0;
}
