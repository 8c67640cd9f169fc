#include "face_store.h"

#include <gtest/gtest.h>

#include <map>

namespace chat {
namespace {

// A disk of named files; a name mapped to "!unreadable" exists but cannot be read.
struct FakeDisk {
  std::map<std::string, std::string> files;
  std::vector<std::string> reads;
  FileReader Reader() {
    return [this](const std::string& path, size_t max_bytes) {
      reads.push_back(path);
      FileRead r;
      auto it = files.find(path);
      if (it == files.end()) return r;
      if (it->second == "!unreadable" || it->second.size() > max_bytes) {
        r.status = FileRead::kUnreadable;
        return r;
      }
      r.status = FileRead::kRead;
      r.bytes.assign(it->second.begin(), it->second.end());
      return r;
    };
  }
};

const char kApp[] = "C:\\game";
const char kConfig[] = "C:\\game\\config\\faceconfig.ini";

TEST(FaceStore, ReadsFacesAndFlagsSkippingIncompleteItems) {
  FakeDisk disk;
  disk.files[kConfig] =
      "[face]\r\ncount=5\r\n"
      "Item0id=1\r\nItem0filename=a.gif\r\nItem0Key=/wx\r\nItem0Tip=smile\r\n"
      "Item1filename=b.gif\r\nItem1Key=/no\r\n"                 // no id: skipped
      "Item2id=3\r\nItem2Key=/nf\r\n"                           // no file: skipped
      "Item3id=4\r\nItem3filename=d.gif\r\n"                    // no key: skipped
      "Item4id=5\r\nItem4filename=missing.gif\r\nItem4Key=/m?s\r\n"
      "Item5id=6\r\nItem5filename=a.gif\r\nItem5Key=/beyond\r\n"  // past the count
      "[userflag]\r\ncount=1\r\nItem0flagid=12\r\nItem0filename=u.gif\r\n"
      "[sysflag]\r\ncount=2\r\nItem0flagid=2\r\nItem0filename=s.gif\r\nItem1flagid=\r\n";
  disk.files["C:\\game\\face\\a.gif"] = "GIF89a-a";
  disk.files["C:\\game\\face\\u.gif"] = "GIF89a-u";
  disk.files["C:\\game\\face\\s.gif"] = "GIF89a-s";
  FaceStore store(disk.Reader());
  store.InitFlag(kApp);

  const auto& faces = store.List(kFaceList);
  ASSERT_EQ(faces.size(), 2u);
  EXPECT_EQ(faces[0].id, 1);
  EXPECT_EQ(faces[0].key, "/wx");
  EXPECT_EQ(faces[0].keyCopy, "/wx");
  EXPECT_EQ(faces[0].tip, "smile");
  EXPECT_EQ(faces[0].file, "C:\\game\\face\\a.gif");
  ASSERT_TRUE(faces[0].image);
  EXPECT_EQ(std::string(faces[0].image->begin(), faces[0].image->end()), "GIF89a-a");
  // A missing picture keeps its item (and its place on the board) without image.
  EXPECT_EQ(faces[1].id, 5);
  EXPECT_FALSE(faces[1].image);
  ASSERT_EQ(store.List(kUserFlagList).size(), 1u);
  EXPECT_EQ(store.List(kUserFlagList)[0].id, 12);
  EXPECT_EQ(store.List(kUserFlagList)[0].key, "");
  ASSERT_EQ(store.List(kSystemFlagList).size(), 1u);
  EXPECT_EQ(store.GetFaceKey(5), "/m?s");
  EXPECT_EQ(store.GetFaceKey(99), "");
  // Only faces with a picture replace their keys in lines.
  const std::vector<Face> line_faces = store.FacesForLines();
  ASSERT_EQ(line_faces.size(), 1u);
  EXPECT_EQ(line_faces[0].key, u"/wx");
  EXPECT_TRUE(store.TakeProblems().empty());
}

TEST(FaceStore, SameIdFirstWinsUnlessItHadNoPicture) {
  FakeDisk disk;
  disk.files["p1"] = "one";
  disk.files["p2"] = "two";
  FaceStore store(disk.Reader());
  store.AddFaceItem("p1", "/a", 7, "", kFaceList);
  store.AddFaceItem("p2", "/b", 7, "", kFaceList);
  ASSERT_EQ(store.List(kFaceList).size(), 1u);
  EXPECT_EQ(store.List(kFaceList)[0].file, "p1");

  // Completed later: the path and picture change, the key and tip stay.
  store.AddFaceItem("gone", "/c", 8, "tip", kFaceList);
  ASSERT_FALSE(store.Find(kFaceList, 8)->image);
  store.AddFaceItem("p2", "/other", 8, "other", kFaceList);
  const FaceItem* item = store.Find(kFaceList, 8);
  ASSERT_TRUE(item->image);
  EXPECT_EQ(item->file, "p2");
  EXPECT_EQ(item->key, "/c");
  EXPECT_EQ(item->tip, "tip");
}

TEST(FaceStore, BadConfigurationAndPicturesAreReportedNotFatal) {
  FakeDisk disk;
  disk.files[kConfig] =
      "[face]\r\ncount=99999999999\r\n"
      "Item0id=1\r\nItem0filename=locked.gif\r\nItem0Key=/l\r\n"
      "Item1id=2\r\nItem1filename=huge.gif\r\nItem1Key=/h\r\n"
      "Item2id=3\r\nItem2filename=" + std::string(400, 'x') + "\r\nItem2Key=" +
      std::string(100, 'k') + "\r\n"
      "[userflag]\r\ncount=-4\r\n";
  disk.files["C:\\game\\face\\locked.gif"] = "!unreadable";
  disk.files["C:\\game\\face\\huge.gif"] = std::string(FaceStore::kMaxPictureBytes + 1, 'g');
  FaceStore store(disk.Reader());
  store.InitFlag(kApp);
  // Unreadable pictures add nothing; over-long values are cut to the profile buffers.
  ASSERT_EQ(store.List(kFaceList).size(), 1u);
  EXPECT_EQ(store.List(kFaceList)[0].key, std::string(31, 'k'));
  EXPECT_EQ(store.List(kFaceList)[0].file, "C:\\game\\face\\" + std::string(127, 'x'));
  EXPECT_TRUE(store.List(kUserFlagList).empty());
  // The huge count is cut (items past it are never asked for) and reported with the two
  // unreadable pictures, once each.
  const std::vector<std::string> problems = store.TakeProblems();
  EXPECT_EQ(problems.size(), 3u);
  EXPECT_TRUE(store.TakeProblems().empty());
  size_t asked = 0;
  for (const std::string& r : disk.reads) asked += r.find("\\face\\") != std::string::npos;
  EXPECT_EQ(asked, 3u);
}

TEST(FaceStore, MissingConfigurationGivesEmptyListsAndLoadsOnce) {
  FakeDisk disk;
  FaceStore store(disk.Reader());
  store.InitFlagOnce(kApp);
  store.InitFlagOnce(kApp);
  EXPECT_TRUE(store.IsLoaded());
  EXPECT_EQ(disk.reads.size(), 1u);
  for (int list = 0; list < kPictureListCount; ++list) EXPECT_TRUE(store.List(list).empty());
}

TEST(FaceStore, PictureIdsByPathAndFreeingTheFaces) {
  FakeDisk disk;
  disk.files["ad1.png"] = "png1";
  disk.files["ad2.png"] = "png2";
  disk.files["f"] = "face";
  FaceStore store(disk.Reader());
  EXPECT_EQ(store.GetPictureId("ad1.png"), 1);
  EXPECT_EQ(store.GetPictureId("ad2.png"), 2);
  const size_t reads = disk.reads.size();
  EXPECT_EQ(store.GetPictureId("ad1.png"), 1);
  EXPECT_EQ(disk.reads.size(), reads);  // known path: nothing read again
  EXPECT_EQ(store.GetPictureId("nowhere.png"), 3);
  EXPECT_FALSE(store.Find(kAdvertPictureList, 3)->image);

  store.AddFaceItem("f", "/f", 1, "", kFaceList);
  store.AddFaceItem("f", "", 1, "", 4);  // no such list: ignored
  store.FreeFaceImages();
  EXPECT_TRUE(store.List(kFaceList).empty());
  EXPECT_EQ(store.List(kAdvertPictureList).size(), 3u);
}

}  // namespace
}  // namespace chat
