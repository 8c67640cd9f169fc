// The GBK texts of the session core are the GBK forms of their Chinese originals (converted here
// with the C library's iconv, independently of how the header was made).
#include "session_texts.h"

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
      {defaultFormat.m_sFontFace, "宋体"},
  };
  for (const auto& t : texts) EXPECT_EQ(std::string(t.gbk), ToGbk(t.utf8)) << t.utf8;
}

}  // namespace
