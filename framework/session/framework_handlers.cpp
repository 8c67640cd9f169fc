#include "framework_handlers.h"

#include <cstdio>
#include <string>

#include "chat_messages.h"
#include "framework_messages.h"
#include "person_records.h"
#include "session_texts.h"
#include "session_timers.h"
#include "text_copy.h"

#include "line_format.h"

namespace {

constexpr int32_t kWatcherLineColor = 0x8000;
constexpr int32_t kRefereeLineColor = 128;
constexpr uint32_t kCountDownNoticeTime = 4000;
constexpr size_t kMaxAvatarPath = 250;
constexpr size_t kMaxHotRegionText = 510;

bool IsMe(IFrameworkPlayTable& table, uint32_t userId) {
  const TablePerson* me = table.GetMe();
  return me != nullptr && me->id == userId;
}

int16_t MyDesk(IFrameworkPlayTable& table) {
  const TablePerson* me = table.GetMe();
  return me ? me->deskno : -1;
}

void ShowEverySeat(IFrameworkPlayTable& table) {
  const int16_t seats = table.GetSeatsPerTable();
  for (int16_t loc = 0; loc < seats; ++loc) table.ShowSeatPerson(loc);
}

// A person new to the table, placed at the local player's desk.
void PlaceNewPerson(IFrameworkPlayTable& table, TablePerson& person, bool referee) {
  person.headpicid = ReduceHeadPicture(person.headpicid, table.GetPersonIconCount());
  const int16_t desk = MyDesk(table);
  person.seatno = referee ? 0 : table.GetSeatFromSeatCode(desk, person.seatno);
  person.deskno = desk;
}

// 3002
void HandlePersonState(const CVyrMessage_PersonState& m, IFrameworkPlayTable& table) {
  if (m.failureKind == 1 || m.failureKind == 2) {
    table.OnNetworkEnd(0);
    return;
  }
  const bool me = IsMe(table, m.userId);
  const uint16_t state = m.state;
  if (state >= 3 && state <= 6) table.CloseWaitDialog();
  if (state == 1 || state == 3 || state == 5) table.KillTableTimer(kTimerJoinWatchdog);
  if (state == 2) {
    if (me) {
      table.OnNetworkEnd(2);
      // Back on line: the recovered game must not close without asking.
      table.SetGameOverFlag(0);
    } else {
      table.PlaySound("IDW_ONLINE");
      table.CloseWaitDialog();
    }
  }
  if (state != 3 && state != 5) {
    if (const TablePerson* p = table.FindPerson(m.userId)) {
      table.AddChatLine(ChatTextFormat{},
                        FormatLine(kTextPersonEnteredTable, p->nickname, p->username).c_str());
    }
  }
  if (me) table.SetPlayerFlag(state == 1 || state == 2 ? 1 : 0);
}

// 3003
void HandleGameAbort(const CVyrMessage_GameAbort& m, IFrameworkPlayTable& table) {
  if (m.endCode != 0) {
    table.OnNetworkEnd(static_cast<int16_t>(m.endCode));
    return;
  }
  const TablePerson* p = table.FindPerson(m.userId);
  std::string text;
  if (m.kind == -1) {
    text = p ? FormatLine(kTextUserQuitGameOver, p->nickname, p->username) : kTextSomeUserQuitAtStart;
  } else {
    text = p ? FormatLine(kTextUserNotConnected, p->nickname, p->username) : kTextSomeUserNotConnected;
  }
  table.SetGameOverFlag(1);
  table.ShowMessageNotice(text.c_str(), true);
}

// 3010
void HandleSessionStart(const CVyrMessage_SessionStart& m, IFrameworkPlayTable& table) {
  table.StoreSessionKey(m.sessionKey, m.outboundSeed, m.inboundBase);
  for (TablePerson* p : table.GetPersons()) {
    if (p->status == kStatusWatching || table.FindAvatarItem(p->id)) continue;
    std::string path = table.LoadDefaultAvatar(*p);
    if (path.size() > kMaxAvatarPath) path.resize(kMaxAvatarPath);
    table.AddAvatarItem(p->id, path);
  }
  table.PushAvatarsToTable();
}

// 3027 and 3821: a watcher or the referee left.
void HandleLeft(uint32_t userId, bool referee, IFrameworkPlayTable& table) {
  if (IsMe(table, userId)) {
    table.SetGameOverFlag(1);
    table.ExitGame();
    return;
  }
  TablePerson* p = table.FindPerson(userId);
  if (!p) return;
  table.PersonListRemovePerson(p);
  if (referee) {
    table.AddChatLine(LineFormat(kRefereeLineColor), kTextRefereeLeft);
  } else {
    const TablePerson* player = table.FindPersonAt(p->deskno, p->seatno, kStatusPlaying);
    const std::string text =
        player ? FormatLine(kTextWatcherOfLeft, p->nickname, p->username, player->nickname)
               : FormatLine(kTextWatcherLeft, p->nickname, p->username);
    table.AddChatLine(LineFormat(kWatcherLineColor), text.c_str());
  }
  table.RemovePerson(userId);
}

// 3041
const char* RefusalText(uint16_t reason) {
  switch (reason) {
    case 1: return kTextActionNotEntitled;
    case 2: return kTextActionTooPoor;
    case 3: return kTextActionTooOften;
    case 4: return kTextActionOverLimit;
    default: return kTextActionFailed;
  }
}

// 3045
void HandlePlayTimeNotice(const CVyrMessage_PlayTimeNotice& m, IFrameworkPlayTable& table) {
  if (m.level != 1 && m.level != 2) return;
  const TablePerson* player =
      table.FindPersonAt(MyDesk(table), static_cast<int16_t>(m.seat), kStatusPlaying);
  if (!player) return;
  const std::string text = FormatLine(m.level == 1 ? kTextPlayTimeOver3Hours : kTextPlayTimeOver5Hours,
                                  player->nickname, player->username);
  HotRegionRecord region;
  region.m_nKind = 1;
  CopyText(region.m_sText, kMaxHotRegionText + 1, text.data(), text.size());
  table.AddHotRegion(region);
}

// 3106 + 50k
void HandleTableRoster(int k, const uint8_t* body, size_t bodyLength, IFrameworkPlayTable& table) {
  const PersonWireKind kind = PersonWireKindOf(k);
  const size_t size = PersonWireSize(kind);
  const size_t count = bodyLength / size;
  for (size_t i = 0; i < count; ++i) {
    const uint8_t* record = body + i * size;
    if (TablePerson* known = table.FindPerson(WirePersonId(record))) {
      FillFromWireBytes(*known, kind, record);
      continue;
    }
    auto person = std::make_unique<TablePerson>();
    FillFromWireBytes(*person, kind, record);
    PlaceNewPerson(table, *person, false);
    table.AppendPerson(std::move(person));
  }
  ShowEverySeat(table);
}

// 3107 + 50k
FrameworkHandling HandlePersonEnter(int k, const uint8_t* body, size_t bodyLength,
                                    IFrameworkPlayTable& table) {
  const PersonWireKind kind = PersonWireKindOf(k);
  if (bodyLength < PersonWireSize(kind)) return FrameworkHandling::Dropped;
  if (table.FindPerson(WirePersonId(body))) return FrameworkHandling::Handled;
  auto fresh = std::make_unique<TablePerson>();
  FillFromWireBytes(*fresh, kind, body);
  PlaceNewPerson(table, *fresh, false);
  TablePerson* person = table.AppendPerson(std::move(fresh));
  if (person == nullptr) return FrameworkHandling::Handled;  // the list is full
  table.PersonListAddPerson(person);
  const TablePerson* player = table.FindPersonAt(MyDesk(table), person->seatno, kStatusPlaying);
  const std::string text =
      player ? FormatLine(kTextWatcherOfEntered, person->nickname, person->username, player->nickname)
             : FormatLine(kTextWatcherEntered, person->nickname, person->username);
  table.AddChatLine(ChatTextFormat{}, text.c_str());
  return FrameworkHandling::Handled;
}

// A file name from the server names a file in the avatar folder and nothing else.
bool IsPlainFileName(const std::string& name) {
  if (name.empty() || name.find("..") != std::string::npos) return false;
  return name.find_first_of("\\/:") == std::string::npos;
}

// 3110 + 50k
void HandleAvatarList(const uint8_t* body, size_t bodyLength, IFrameworkPlayTable& table) {
  CVyrMessage_AvatarList list;
  list.Init(body, bodyLength);
  for (size_t i = 0; i < list.GetCount(); ++i) {
    const AvatarItemRecord record = list.Get(i);
    const TablePerson* p = table.FindPerson(record.userId);
    if (!p || p->status != kStatusPlaying || table.FindAvatarItem(p->id)) continue;
    const std::string fileName(record.fileName, BoundedLength(record.fileName, sizeof record.fileName));
    std::string path;
    if (IsPlainFileName(fileName)) {
      path = table.GetAvatarFolder() + "\\ozkshow\\" + fileName;
      if (!table.FileExists(path)) path.clear();
    }
    if (path.empty()) path = table.LoadDefaultAvatar(*p);
    if (path.size() > kMaxAvatarPath) path.resize(kMaxAvatarPath);
    table.AddAvatarItem(p->id, path);
  }
}

// One referee record of 3806 or 3817.
void PlaceReferee(const RefereeRecord& record, IFrameworkPlayTable& table) {
  if (TablePerson* known = table.FindPerson(record.id)) {
    FillReferee(*known, record);
    return;
  }
  auto fresh = std::make_unique<TablePerson>();
  FillReferee(*fresh, record);
  PlaceNewPerson(table, *fresh, true);
  if (TablePerson* person = table.AppendPerson(std::move(fresh))) table.PersonListAddPerson(person);
}

// 3806
void HandleRefereeList(const uint8_t* body, size_t bodyLength, IFrameworkPlayTable& table) {
  CVyrMessage_RefereeList list;
  list.Init(body, bodyLength);
  for (size_t i = 0; i < list.GetCount(); ++i) PlaceReferee(list.Get(i), table);
  ShowEverySeat(table);
}

// 3817
void HandleRefereeEnter(const RefereeRecord& record, IFrameworkPlayTable& table) {
  if (!table.FindPerson(record.id)) PlaceReferee(record, table);
  table.AddChatLine(LineFormat(kRefereeLineColor), kTextRefereeEntered);
}

// Reads the record of a fixed-size body and runs the handler; a short body is dropped.
template <class Record, class Handler>
FrameworkHandling WithRecord(const uint8_t* body, size_t bodyLength, Handler handler) {
  Record record;
  if (!ReadRecord(body, bodyLength, record)) return FrameworkHandling::Dropped;
  handler(record);
  return FrameworkHandling::Handled;
}

}  // namespace

int16_t ReduceHeadPicture(int16_t headpicid, int iconCount) {
  if (iconCount <= 0) return headpicid;
  const int reduced = ((headpicid % iconCount) + iconCount) % iconCount;
  return static_cast<int16_t>(reduced);
}

bool ReadInDeskChatLine(const uint8_t* body, size_t bodyLength, ChatTextFormat& format,
                        std::string& text) {
  CVyrChatMessage_InDesk message;
  if (!message.Unpack(body, bodyLength)) return false;
  format = ChatTextFormat{};
  message.head.CopyFormatTo(format);
  text = message.text;
  return true;
}

FrameworkHandling HandleFrameworkMessage(uint16_t id, const uint8_t* body, size_t bodyLength,
                                         IFrameworkPlayTable& table) {
  if (body == nullptr) bodyLength = 0;
  auto& t = table;
  switch (id) {
    case kPersonState:
      return WithRecord<CVyrMessage_PersonState>(body, bodyLength, [&](const auto& m) {
        t.BeforePersonState(m);
        HandlePersonState(m, t);
      });
    case kGameAbort:
      if (!t.BeforeGameAbort()) return FrameworkHandling::NotFramework;
      return WithRecord<CVyrMessage_GameAbort>(body, bodyLength,
                                               [&](const auto& m) { HandleGameAbort(m, t); });
    case kConnectRefused:
      return WithRecord<CVyrMessage_ConnectRefused>(body, bodyLength,
                                                    [&](const auto&) { t.OnConnectRefused(); });
    case kSessionStart:
      return WithRecord<CVyrMessage_SessionStart>(body, bodyLength, [&](const auto& m) {
        HandleSessionStart(m, t);
        t.AfterSessionStart();
      });
    case kKeepAlive:
      return FrameworkHandling::Handled;
    case kPersonOffline:
      return WithRecord<CVyrMessage_PersonOffline>(
          body, bodyLength, [&](const auto& m) { t.OnPlayerOffline(m.userId); });
    case kPlayerExit:
      return WithRecord<CVyrMessage_PlayerExit>(body, bodyLength, [&](const auto& m) {
        t.OnPlayerExit(m.userId, static_cast<int16_t>(m.reason));
      });
    case kWatcherExit:
      return WithRecord<CVyrMessage_WatcherExit>(
          body, bodyLength, [&](const auto& m) { HandleLeft(m.userId, false, t); });
    case kExitRequest:
      return WithRecord<CVyrMessage_ExitRequest>(
          body, bodyLength, [&](const auto& m) { t.OnExitRequested(m.userId); });
    case kExitAnswer:
      return WithRecord<CVyrMessage_ExitAnswer>(body, bodyLength, [&](const auto& m) {
        t.OnExitAnswer(m.requesterId, static_cast<int16_t>(m.answer));
      });
    case kFinishHandFirst:
      return WithRecord<CVyrMessage_FinishHandFirst>(body, bodyLength, [&](const auto& m) {
        if (IsMe(t, m.userId)) t.ShowCountDownNotice(kTextFinishHandFirst, kCountDownNoticeTime);
      });
    case kMagicAction:
      return WithRecord<CVyrMessage_MagicAction>(body, bodyLength, [&](auto m) {
        m.BoundText();
        t.ShowMagicAction(m);
      });
    case kMagicActionRefused:
      return WithRecord<CVyrMessage_MagicActionRefused>(body, bodyLength, [&](const auto& m) {
        if (IsMe(t, m.userId)) t.ShowCountDownNotice(RefusalText(m.reason), kCountDownNoticeTime);
      });
    case kPlayTimeNotice:
      return WithRecord<CVyrMessage_PlayTimeNotice>(
          body, bodyLength, [&](const auto& m) { HandlePlayTimeNotice(m, t); });
    case kRefereeList:
      t.BeforePersonLists();
      HandleRefereeList(body, bodyLength, t);
      return FrameworkHandling::Handled;
    case kRefereeEnter:
      return WithRecord<RefereeRecord>(body, bodyLength,
                                       [&](const auto& r) { HandleRefereeEnter(r, t); });
    case kRefereeLeft:
      return WithRecord<CVyrMessage_RefereeLeft>(
          body, bodyLength, [&](const auto& m) { HandleLeft(m.userId, true, t); });
    default:
      break;
  }
  if (const int k = FamilyMember(id, kTableRosterBase); k >= 0) {
    t.BeforePersonLists();
    HandleTableRoster(k, body, bodyLength, t);
    return FrameworkHandling::Handled;
  }
  if (const int k = FamilyMember(id, kPersonEnterBase); k >= 0) {
    return HandlePersonEnter(k, body, bodyLength, t);
  }
  if (FamilyMember(id, kAvatarListBase) >= 0) {
    t.BeforePersonLists();
    HandleAvatarList(body, bodyLength, t);
    return FrameworkHandling::Handled;
  }
  if (FamilyMember(id, kAvatarItemBase) >= 0) return FrameworkHandling::Handled;
  return FrameworkHandling::NotFramework;
}
