// The GBK texts of the session core and the play table are the GBK forms of their Chinese originals (converted here
// with the C library's iconv, independently of how the header was made).
#include "session_texts.h"
#include "play_table_texts.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <string>

#include "records/chat_text_format.h"

namespace {

std::string ToGbk(const std::string& utf8) {
  iconv_t cd = iconv_open("GBK", "UTF-8");
  if (cd == reinterpret_cast<iconv_t>(-1)) return "<no GBK converter>";
  std::string in = utf8;
  std::string out(in.size() * 2 + 4, '\0');
  char* src = in.data();
  char* dst = out.data();
  size_t left = in.size();
  size_t room = out.size();
  const size_t result = iconv(cd, &src, &left, &dst, &room);
  iconv_close(cd);
  if (result == static_cast<size_t>(-1)) return "<conversion failed>";
  out.resize(out.size() - room);
  return out;
}

TEST(SessionTexts, AreTheGbkFormsOfTheirOriginals) {
  const ChatTextFormat defaultFormat;
  const struct {
    const char* gbk;
    const char* utf8;
  } texts[] = {
      {kTextPersonEnteredTable, "%s(%s)进入牌桌"},
      {kTextUserQuitGameOver, "%s(%s) 退出,结束游戏"},
      {kTextSomeUserQuitAtStart, "在启动过程中,某个用户退出,结束游戏"},
      {kTextUserNotConnected, "%s(%s) 没连接上来,结束游戏"},
      {kTextSomeUserNotConnected, "在一定时间内，某个用户没连接上来,结束游戏"},
      {kTextWatcherOfLeft, "%s(%s[旁观<%s>])离开了"},
      {kTextWatcherLeft, "%s(%s[旁观])离开了"},
      {kTextRefereeLeft, "裁判离开了"},
      {kTextFinishHandFirst, "请你打完这一局再退吧！"},
      {kTextActionNotEntitled, "动作失败-没有资格"},
      {kTextActionTooPoor, "动作失败-财富不足"},
      {kTextActionTooOften, "动作失败-频率太高"},
      {kTextActionOverLimit, "动作失败-超出上限"},
      {kTextActionFailed, "动作失败"},
      {kTextPlayTimeOver3Hours, "%s(%s)游戏时间累计超过3小时,本局赢分将减半"},
      {kTextPlayTimeOver5Hours, "%s(%s)游戏时间累计超过5小时,本局赢分为0"},
      {kTextWatcherOfEntered, "%s(%s[旁观<%s>])进入牌桌"},
      {kTextWatcherEntered, "%s(%s[旁观])进入牌桌"},
      {kTextRefereeEntered, "裁判进入牌桌"},
      {kTextChiefReferee, "主裁判"},
      {kTextDeputyReferee, "副裁判"},
      {kTextColumnUserName, "用户名"},
      {kTextColumnNickname, "昵称"},
      {kTextColumnSex, "性别"},
      {kTextColumnMember, "是否会员"},
      {kTextExitNormal, "%s(%s)正常退出游戏"},
      {kTextExitForced, "%s(%s)强行退出游戏"},
      {kTextExitDropped, "%s(%s)断线，游戏结束"},
      {kTextExitAgreed, "经大家许可，%s(%s)退出游戏"},
      {kTextExitTooPoor, "%s(%s)金币值太低,游戏结束"},
      {kTextExitLevelTooLow, "%s(%s)关数低于该桌子的关数"},
      {kTextExitByAdministrator, "Corvane管理员结束游戏"},
      {kTextExitRoundPlayed, "打完了该轮比赛局数，游戏结束"},
      {kTextExitByReferee, "裁判员结束该桌游戏，游戏结束"},
      {kTextExitOutOfMatchTime, "不在比赛时间，游戏结束"},
      {kTextExitOtherReason, "其他原因，游戏结束"},
      {kTextUserForcedOut, "用户强退，游戏结束,玩家id=%d"},
      {kTextPersonLeft, "%s(%s)离开了"},
      {kTextPersonOffline, "%s(%s)已经断线，请等待重连"},
      {kTextAskExitConsent, "%s(%s)要退出,你同意吗?"},
      {kTextExitRefused, "%s(%s)不同意退出"},
      {kTextCannotConnect, "不能连接服务器，游戏结束"},
      {kTextNetworkFaultReconnect, "网络故障,重连服务器"},
      {kTextNetworkFaultGameOver, "由于网络故障,游戏结束"},
      {kTextConnectingWait, "连接服务器，请稍候.."},
      {kTextWaitOtherTables, "别桌还没打完，请稍候..."},
      {kTextInvalidLoc, "GetSeatNoFromLoc: 无效loc:%d"},
      {kTextServerConnectFailed, "游戏服务器连接失败"},
      {defaultFormat.m_sFontFace, "宋体"},
  };
  for (const auto& t : texts) EXPECT_EQ(std::string(t.gbk), ToGbk(t.utf8)) << t.utf8;
}

}  // namespace
