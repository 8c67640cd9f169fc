// Pictures in a rich-text box as the chat panes hold them: faces put in place of their keys,
// listed by position, animated while in view, cut and pasted; bad pictures reported once.
#include <windows.h>
#include <richedit.h>
#include <richole.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "chat_pictures.h"
#include "chat_platform.h"
#include "chat_test_support.h"
#include "error_log.h"
#include "records/lobby_records.h"
#include "user_list_pane.h"
#include "window_picture.h"
#include "winkit/com_ptr.h"
#include "winkit/testing/com_test_support.h"

namespace {

[[maybe_unused]] auto* const g_env = ::testing::AddGlobalTestEnvironment(
    new winkit::testing::ComTestEnvironment({L"KorvelAnimImage.dll"}));

std::string SampleFace(const char* name) {
  return parley::Gbk(std::wstring(CHAT_SAMPLE_DIR_WINDOWS) + L"\\face\\") + name;
}

class ChatPicturesTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    LoadLibraryW(L"riched20.dll");
    chat::FaceStore& store = parley::Faces();
    store.AddFaceItem(SampleFace("face01.gif"), "/wx", 1, "", chat::kFaceList);
    store.AddFaceItem(SampleFace("face02.gif"), "/d?", 2, "", chat::kFaceList);
    store.AddFaceItem(SampleFace("sysflag1.png"), "", 1, "", chat::kSystemFlagList);
  }
  void SetUp() override {
    box = CreateWindowExW(0, L"RichEdit20W", L"", WS_POPUP | WS_VISIBLE | ES_MULTILINE, 40, 40,
                          300, 80, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(box);
  }
  void TearDown() override { DestroyWindow(box); }

  std::wstring Text() const {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(box)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(box, text.data(), static_cast<int>(text.size()))));
    return text;
  }
  // Puts a line in the box with its faces as pictures.
  void ShowLine(const std::u16string& line) {
    const int start = GetWindowTextLengthW(box);
    SendMessageW(box, EM_SETSEL, start, start);
    SendMessageW(box, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(line.c_str()));
    parley::ShowFaces(box, start, chat::PlaceFaces(line, parley::Faces().FacesForLines()));
  }

  HWND box = nullptr;
};

TEST_F(ChatPicturesTest, TypedFacesShowAsPicturesAtOneCharacterEach) {
  ShowLine(u"hi /wx and /dx /dy!");
  const std::map<LONG, int32_t> keys = parley::CollectPictureKeys(box);
  EXPECT_EQ(keys, (std::map<LONG, int32_t>{{3, 1}, {9, 2}, {11, 2}}));
  // Each picture is one character of the text.
  EXPECT_EQ(GetWindowTextLengthW(box), 13);
  EXPECT_EQ(Text().substr(0, 3), L"hi ");
  EXPECT_EQ(Text().substr(4, 5), L" and ");

  // No such list or key: nothing happens.
  SendMessageW(box, EM_SETSEL, 0, 0);
  EXPECT_FALSE(parley::InsertPicture(box, 4, 1));
  EXPECT_FALSE(parley::InsertPicture(box, chat::kFaceList, 99));
  EXPECT_TRUE(parley::InsertPicture(box, chat::kSystemFlagList, 1));
  EXPECT_EQ(parley::CollectPictureKeys(box).size(), 4u);
  EXPECT_TRUE(parley::IsOutputAtBottom(box));
}

TEST_F(ChatPicturesTest, PicturesInViewAdvanceTheirFramesOnTheTimer) {
  ShowLine(u"/wx");
  auto snapshot = [&] {
    RedrawWindow(box, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    parley::testing::Pump(50);
    HDC dc = GetDC(box);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < 26; ++y)
      for (int x = 0; x < 26; ++x) pixels.push_back(GetPixel(dc, x, y));
    ReleaseDC(box, dc);
    return pixels;
  };
  const std::vector<COLORREF> first = snapshot();
  // The face is drawn: some of its own colours, not just the white of the box.
  size_t painted = 0;
  for (COLORREF c : first) painted += c != RGB(255, 255, 255);
  EXPECT_GT(painted, 100u);
  // 200 ms frames: four 50 ms steps later the next frame shows, and it differs.
  for (int i = 0; i < 3; ++i) parley::AnimateVisiblePictures(box);
  EXPECT_EQ(snapshot(), first);
  parley::AnimateVisiblePictures(box);
  EXPECT_NE(snapshot(), first);
}

TEST_F(ChatPicturesTest, CutTakesTheSelectionWithItsPicturesAndPasteBringsTheTextBack) {
  ShowLine(u"ab/wxcd/wxef");  // a b [1] c d [1] e f
  ASSERT_EQ(parley::CollectPictureKeys(box).size(), 2u);
  SendMessageW(box, EM_SETSEL, 1, 5);  // b, the first picture, c, d: not the second picture
  parley::CutWithPictures(box);
  EXPECT_EQ(parley::CollectPictureKeys(box), (std::map<LONG, int32_t>{{1, 1}}));
  EXPECT_EQ(Text().substr(0, 1), L"a");
  EXPECT_EQ(Text().substr(2), L"ef");
  // The picture outside the selection still animates.
  for (int i = 0; i < 8; ++i) parley::AnimateVisiblePictures(box);
  const int end = GetWindowTextLengthW(box);
  SendMessageW(box, EM_SETSEL, end, end);
  SendMessageW(box, WM_PASTE, 0, 0);
  const std::wstring text = Text();
  std::string shown;
  for (wchar_t c : text) shown += c < 128 ? static_cast<char>(c) : '#';
  ASSERT_EQ(text.size(), 10u) << shown;
  // Nothing of the cut is lost: the face comes back as its key.
  EXPECT_EQ(text.substr(2), L"efb/wxcd") << shown;
}

TEST_F(ChatPicturesTest, PictureThatDoesNotDecodeKeepsItsKeyAndIsReportedOnce) {
  parley::testing::ScratchFolder folder;
  parley::testing::AppPathOverride app(folder.Wide().c_str());
  folder.Write(L"bad.gif", "GIF89a this is not a picture");
  chat::FaceStore& store = parley::Faces();
  store.AddFaceItem(folder.Path() + "\\bad.gif", "/bad", 50, "", chat::kFaceList);
  ShowLine(u"x/bad y/bad");
  EXPECT_TRUE(parley::CollectPictureKeys(box).empty());
  EXPECT_EQ(Text(), L"x/bad y/bad");
  const std::string log = folder.Read(L"chatLogFile.log");
  size_t reports = 0;
  for (size_t at = log.find("bad.gif"); at != std::string::npos; at = log.find("bad.gif", at + 1))
    ++reports;
  EXPECT_EQ(reports, 1u);
  store.List(chat::kFaceList).pop_back();
}

// A person's name goes in as a link with the user flag in front of it (members get flag 1),
// and the span it takes is the user-name region; an unknown id writes nothing.
TEST_F(ChatPicturesTest, PersonNameWithItsFlagAsAUserNameRegion) {
  parley::Faces().AddFaceItem(SampleFace("userflag1.png"), "", 1, "", chat::kUserFlagList);
  struct Record {
    PERSON person{};
    uint8_t rest[400 - sizeof(PERSON)] = {};
  } member;
  member.person.id = 31;
  std::strcpy(member.person.username, "bo");
  std::strcpy(member.person.nickname, "Bob");
  member.person.ismember = 1;
  chat::CUserManager manager;
  chat::ChatPeople people(manager);
  std::vector<const void*> list{&member};
  people.SetUserList(&list);
  CHARFORMAT2W head{};
  head.cbSize = sizeof head;
  head.dwMask = CFM_COLOR;
  head.crTextColor = RGB(0, 70, 170);
  SendMessageW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"> "));
  EXPECT_FALSE(parley::InsertPersonName(box, people, 99, false, false, head));
  EXPECT_EQ(Text(), L"> ");
  const auto region = parley::InsertPersonName(box, people, 31, true, false, head);
  ASSERT_TRUE(region);
  EXPECT_EQ(region->kind, chat::HotRegion::kUserName);
  EXPECT_EQ(region->id, 31u);
  EXPECT_TRUE(region->channelPane);
  EXPECT_EQ(parley::CollectPictureKeys(box), (std::map<LONG, int32_t>{{2, 1}}));
  EXPECT_EQ(region->start, 3);
  EXPECT_EQ(region->end, 3 + 7);  // Bob【bo】
  EXPECT_EQ(Text().substr(3), L"Bob\x3010" L"bo\x3011");
  SendMessageW(box, EM_SETSEL, 4, 5);
  CHARFORMAT2W got{};
  got.cbSize = sizeof got;
  SendMessageW(box, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&got));
  EXPECT_TRUE(got.dwEffects & CFE_LINK);
}

}  // namespace
