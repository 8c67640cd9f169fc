#include "send_planner.h"

#include <gtest/gtest.h>

#include "chat_texts.h"

namespace chat {
namespace {

class SendPlannerTest : public ::testing::Test {
 protected:
  SendPlan Send(const std::u16string& text, uint32_t now = 5000) {
    SendRequest r = request_;
    r.text = text;
    r.now = now;
    return PlanSend(r, filter_, clock_);
  }
  CDirtyWordFilter filter_;
  SendClock clock_;
  SendRequest request_;
};

TEST_F(SendPlannerTest, HostedGameFiresOnChatThenOnSendMyText) {
  const SendPlan plan = Send(u"\u4f60\u597d!\r\n \t");
  EXPECT_EQ(plan.outcome, SendOutcome::kSent);
  EXPECT_EQ(plan.line, "\xc4\xe3\xba\xc3!");  // trailing breaks and blanks go
  EXPECT_TRUE(plan.fireOnChat);
  EXPECT_TRUE(plan.fireOnSendMyText);
  EXPECT_FALSE(plan.whisper);
  EXPECT_EQ(plan.kind, 0);
  EXPECT_TRUE(plan.clearInput);
  EXPECT_FALSE(plan.setReceiver);
}

TEST_F(SendPlannerTest, RefusalsAndTheirNotices) {
  const struct {
    const char* name;
    std::u16string text;
    SendOutcome outcome;
    bool clear;
    const char* notice;
  } cases[] = {
      {"empty", u"", SendOutcome::kNothing, false, nullptr},
      {"blanks only", u" \t\r\n ", SendOutcome::kEmpty, true, nullptr},
      {"forbidden", u"\u4f60\u662f\u50bb\u903c", SendOutcome::kFiltered, true,
       kTextFilteredNotice},
  };
  for (const auto& c : cases) {
    const SendPlan plan = Send(c.text);
    EXPECT_EQ(plan.outcome, c.outcome) << c.name;
    EXPECT_EQ(plan.clearInput, c.clear) << c.name;
    EXPECT_FALSE(plan.fireOnChat) << c.name;
    if (c.notice) {
      ASSERT_EQ(plan.notices.size(), 1u) << c.name;
      EXPECT_EQ(plan.notices[0].text, c.notice);
      EXPECT_FALSE(plan.notices[0].bold);
    } else {
      EXPECT_TRUE(plan.notices.empty()) << c.name;
    }
  }
  EXPECT_EQ(clock_.last, 0u);  // refused lines leave the clock
}

TEST_F(SendPlannerTest, OneLinePerSecond) {
  EXPECT_EQ(Send(u"a", 10000).outcome, SendOutcome::kSent);
  const SendPlan fast = Send(u"b", 10999);
  EXPECT_EQ(fast.outcome, SendOutcome::kTooFast);
  ASSERT_EQ(fast.notices.size(), 1u);
  EXPECT_EQ(fast.notices[0].text, kTextTooFast);
  EXPECT_TRUE(fast.notices[0].bold);
  EXPECT_TRUE(fast.clearInput);
  EXPECT_EQ(Send(u"c", 11000).outcome, SendOutcome::kSent);
  EXPECT_EQ(Send(u"d", 10).outcome, SendOutcome::kTooFast);  // the tick counter wrapped back
}

TEST_F(SendPlannerTest, LongLinesAreCutOnWholeCharactersWithin380Bytes) {
  const SendPlan chinese = Send(std::u16string(500, u'\u4f60'), 10000);
  EXPECT_EQ(chinese.line.size(), 380u);
  const SendPlan odd = Send(u"a" + std::u16string(500, u'\u4f60'), 20000);
  EXPECT_EQ(odd.line.size(), 379u);  // never half a character
  EXPECT_EQ(odd.line.substr(377), "\xc4\xe3");
  EXPECT_EQ(Send(std::u16string(500, u'x'), 99999).line.size(), 380u);
}

TEST_F(SendPlannerTest, FacesBecomeTheirKeys) {
  request_.faces = {{0, 7}, {2, 9}};
  request_.faceKey = [](int id) { return id == 7 ? std::string("/wx") : std::string(); };
  const SendPlan plan = Send(u"\ufffcA\ufffcB");
  EXPECT_EQ(plan.line, "/wxAB");  // an unknown face number leaves nothing
}

TEST_F(SendPlannerTest, BreakJustTypedBeforeTheCaretGoes) {
  request_.selectionStart = 2;
  const SendPlan plan = Send(u"a\rb");
  EXPECT_TRUE(plan.deleteBreakBeforeCaret);
  EXPECT_EQ(plan.line, "ab");
}

TEST_F(SendPlannerTest, WhisperModeTargetsAndThePublicLineLimit) {
  request_.whisperMode = true;
  request_.haveUserList = true;
  request_.targetSelected = true;
  request_.targetId = 42;
  request_.targetPresent = false;
  SendPlan plan = Send(u"hi");
  EXPECT_EQ(plan.outcome, SendOutcome::kTargetGone);
  EXPECT_TRUE(plan.targetGoneBox);
  EXPECT_FALSE(plan.clearInput);

  request_.targetPresent = true;
  plan = Send(u"hi", 20000);
  EXPECT_TRUE(plan.whisper);
  EXPECT_EQ(plan.kind, -1);
  EXPECT_EQ(plan.receiverId, 42);
  EXPECT_TRUE(plan.fireOnChat);
  EXPECT_FALSE(plan.fireOnSendMyText);

  // To everybody: a text of two lines is cut to its first line, at most 40 characters.
  request_.targetId = 0;
  request_.lineCount = 2;
  plan = Send(std::u16string(50, u'x') + u"\rsecond", 30000);
  EXPECT_EQ(plan.cutFrom, 40);
  EXPECT_EQ(plan.line, std::string(40, 'x'));
  ASSERT_EQ(plan.notices.size(), 1u);
  EXPECT_TRUE(plan.notices[0].bold);
  EXPECT_NE(plan.notices[0].text.find("40"), std::string::npos);
  EXPECT_FALSE(plan.whisper);
  EXPECT_EQ(plan.kind, 0);

  request_.ownExempt = true;  // the own record's forbidtype exempts the player
  plan = Send(u"one\rtwo", 40000);
  EXPECT_EQ(plan.cutFrom, -1);
  EXPECT_EQ(plan.line, "one\rtwo");
}

}  // namespace
}  // namespace chat
