// The platform module on its own: the pinned folder, lookups, renames that
// never replace, and the additional-info file's open and offsets.
#include "fs.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <thread>

namespace {

namespace fs = std::filesystem;

class Platform : public ::testing::Test {
 protected:
  Platform() {
    std::random_device random;
    dir = fs::temp_directory_path() /
          ("folder-migrate-unit-" + std::to_string(random()));
    fs::create_directories(dir);
    EXPECT_TRUE(OpenFolder(dir.string().c_str(), &folder));
  }
  ~Platform() override {
    CloseFolder(&folder);
    std::error_code ignored;
    fs::remove_all(dir, ignored);
  }
  void Write(const std::string& name, const std::string& bytes) const {
    std::ofstream(dir / name, std::ios::binary) << bytes;
  }
  std::string Read(const std::string& name) const {
    std::ostringstream bytes;
    bytes << std::ifstream(dir / name, std::ios::binary).rdbuf();
    return bytes.str();
  }
  fs::path dir;
  Folder folder;
};

TEST_F(Platform, OpenFolderTakesOnlyAnExistingDirectory) {
  Write("file", "");
  Folder other;
  EXPECT_TRUE(OpenFolder((dir.string() + "/").c_str(), &other));
  CloseFolder(&other);
  EXPECT_FALSE(OpenFolder((dir / "file").string().c_str(), &other));
  EXPECT_FALSE(OpenFolder((dir / "missing").string().c_str(), &other));
  EXPECT_FALSE(OpenFolder("", &other));
}

TEST_F(Platform, LookUpAndDirectoryTest) {
  fs::create_directory(dir / "sub");
  Write("file", "");
  EXPECT_EQ(LookUp(folder, "sub"), Entry::kPresent);
  EXPECT_EQ(LookUp(folder, "file"), Entry::kPresent);
  EXPECT_EQ(LookUp(folder, "missing"), Entry::kAbsent);
  EXPECT_TRUE(IsDirectoryIn(folder, "sub"));
  EXPECT_FALSE(IsDirectoryIn(folder, "file"));
  EXPECT_FALSE(IsDirectoryIn(folder, "missing"));
}

TEST_F(Platform, RenameInMovesFilesAndDirectoriesButNeverReplaces) {
  fs::create_directory(dir / "sub");
  Write("sub/item", "x");
  Write("from", "new");
  Write("file", "old");
  EXPECT_TRUE(RenameIn(folder, "sub", "sub2"));
  EXPECT_EQ(Read("sub2/item"), "x");
  EXPECT_FALSE(RenameIn(folder, "sub", "sub3"));  // gone
  EXPECT_FALSE(RenameIn(folder, "from", "file"));
  EXPECT_FALSE(RenameIn(folder, "from", "sub2"));
  EXPECT_EQ(Read("file"), "old");
  EXPECT_EQ(Read("from"), "new");
}

TEST_F(Platform, OpenRegularFileNeverCreatesAndRefusesOddEntries) {
  File file;
  EXPECT_EQ(OpenRegularFile(folder, "missing", &file), Opened::kRefused);
  EXPECT_FALSE(fs::exists(dir / "missing"));
  fs::create_directory(dir / "sub");
  EXPECT_EQ(OpenRegularFile(folder, "sub", &file), Opened::kRefused);
  Write("one", "");
  fs::create_hard_link(dir / "one", dir / "two");
  EXPECT_EQ(OpenRegularFile(folder, "one", &file), Opened::kRefused);
}

TEST_F(Platform, ReadsAndWritesAtOffsets) {
  Write("info", "abc");
  File file;
  ASSERT_EQ(OpenRegularFile(folder, "info", &file), Opened::kYes);
  uint8_t byte = 0;
  EXPECT_TRUE(ReadByteAt(file, 1, &byte));
  EXPECT_EQ(byte, 'b');
  EXPECT_FALSE(ReadByteAt(file, 3, &byte));
  EXPECT_TRUE(WriteAt(file, 5, "xy", 2));
  EXPECT_TRUE(WriteAt(file, 0, "A", 1));
  EXPECT_TRUE(SyncFile(file));
  EXPECT_TRUE(SyncFolder(folder));
  EXPECT_TRUE(CloseFile(&file));
  EXPECT_EQ(Read("info"), std::string("Abc\0\0xy", 7));
}

TEST_F(Platform, OffsetsBeyondFourGibibytes) {
  Write("big", "");
  fs::resize_file(dir / "big", (uint64_t{5} << 30) + 10);
  File file;
  ASSERT_EQ(OpenRegularFile(folder, "big", &file), Opened::kYes);
  const uint64_t far = (uint64_t{5} << 30) + 3;
  EXPECT_TRUE(WriteAt(file, far, "z", 1));
  uint8_t byte = 0;
  EXPECT_TRUE(ReadByteAt(file, far, &byte));
  EXPECT_EQ(byte, 'z');
  EXPECT_TRUE(ReadByteAt(file, far - 1, &byte));
  EXPECT_EQ(byte, 0);
  EXPECT_TRUE(CloseFile(&file));
  EXPECT_EQ(fs::file_size(dir / "big"), (uint64_t{5} << 30) + 10);
}

TEST_F(Platform, FolderLockIsExclusive) {
  Folder second;
  ASSERT_TRUE(OpenFolder(dir.string().c_str(), &second));
  Lock first = LockFolder(folder);
  if (first == Lock::kUnavailable) {
    CloseFolder(&second);
    GTEST_SKIP() << "this platform locks the additional-info file instead";
  }
  EXPECT_EQ(first, Lock::kHeld);
  // From another thread, as a lock owned by one thread may be taken again
  // by that thread on some platforms.
  Lock other = Lock::kHeld;
  std::thread([&] { other = LockFolder(second); }).join();
  EXPECT_EQ(other, Lock::kBusy);
  CloseFolder(&second);
}

}  // namespace
