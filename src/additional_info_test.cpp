// The additional-info header as the tool leaves it on disk, and the
// entries it refuses to write.
#include <gtest/gtest.h>

#include <filesystem>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include "test_support.hpp"

namespace {

// A folder whose entries already carry the unique id 5a, so each run
// goes straight to the header with migration mode 1.
class AdditionalInfo : public FolderTest {
 protected:
  void SetUp() override {
    MakeDir(At("0000005a"));
    WriteFile(At("0000005a.dat"), "data");
  }
  std::string info = At("0000005a_.dat");
};

std::string Bytes(std::initializer_list<int> values) {
  std::string s;
  for (int v : values)
    s += static_cast<char>(v);
  return s;
}

TEST_F(AdditionalInfo, EmptyFileGetsTheWholeHeader) {
  WriteFile(info, "");
  RunResult r = Convert();
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(ReadFile(info),
            Bytes({1,    0,    0,    0,    0,    0,    0,    0,     //
                   0xa1, 0xd9, 0x6d, 0x2b, 0x7b, 0x0c, 0x3a, 0x91,  //
                   1,    0,    0,    0,    0,    0,    0,    0}));
  EXPECT_EQ(ReadFile(info), Header(kChangedId5a, 1));
}

TEST_F(AdditionalInfo, ShortFileGrowsTo24BytesKeepingItsBytes) {
  WriteFile(info, Bytes({0, 'a', 'b', 'c', 'd'}));
  RunResult r = Convert();
  EXPECT_EQ(r.status, 0);
  std::string expected = Header(kChangedId5a, 1);
  expected.replace(1, 4, "abcd");
  EXPECT_EQ(ReadFile(info), expected);
}

TEST_F(AdditionalInfo, LongFileKeepsItsLengthAndItsOtherBytes) {
  std::string before(100, '\0');
  for (size_t i = 1; i < before.size(); ++i)
    before[i] = static_cast<char>('A' + i % 26);
  WriteFile(info, before);
  RunResult r = Convert();
  EXPECT_EQ(r.status, 0);
  std::string expected = before;
  expected.replace(0, 1, 1, '\1');
  expected.replace(8, 16, Header(kChangedId5a, 1).substr(8));
  EXPECT_EQ(ReadFile(info), expected);
}

TEST_F(AdditionalInfo, MarkedFileIsRefusedAndKeepsEveryByte) {
  for (int flag : {1, 2, 255}) {
    std::string marked = Bytes({flag, 9, 9, 9}) + std::string(30, 'z');
    WriteFile(info, marked);
    RunResult r = Convert();
    EXPECT_EQ(r.out, Lines("Error.\nAlready new version.\n")) << flag;
    EXPECT_EQ(r.status, kFailed);
    EXPECT_EQ(ReadFile(info), marked);
  }
}

TEST_F(AdditionalInfo, SparseFileOfThreeGibibytesKeepsItsLength) {
  const uint64_t size = uint64_t{3} << 30;
  WriteFile(info, "");
  std::filesystem::resize_file(info, size);
  RunResult r = Convert();
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(std::filesystem::file_size(info), size);
  EXPECT_EQ(ReadBytes(info, 0, 24), Header(kChangedId5a, 1));
  EXPECT_EQ(ReadBytes(info, size - 8, 8), std::string(8, '\0'));
}

void MakeFifo(const std::string& path) {
  ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
}

void LinkToDevNull(const std::string& path) {
  ASSERT_EQ(symlink("/dev/null", path.c_str()), 0);
}

void LinkToNowhere(const std::string& path) {
  ASSERT_EQ(symlink("nowhere", path.c_str()), 0);
}

void MakeSocket(const std::string& path) {
  int fd = socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_GE(fd, 0);
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  ASSERT_LT(path.size(), sizeof addr.sun_path);
  path.copy(addr.sun_path, path.size());
  ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
  close(fd);
}

void MakeNothing(const std::string&) {}

void LinkToARegularFile(const std::string& path) {
  WriteFile(path + ".real", "");
  ASSERT_EQ(symlink((path + ".real").c_str(), path.c_str()), 0);
}

void HardLinkToAnotherName(const std::string& path) {
  WriteFile(path + ".other", "");
  ASSERT_EQ(link((path + ".other").c_str(), path.c_str()), 0);
}

TEST_F(AdditionalInfo, AnythingButARegularFileIsBrokenDataAndUntouched) {
  struct OddEntry {
    const char* what;
    void (*make)(const std::string& path);
  };
  // Wine shows a symbolic link as the file it names: Windows would see a
  // reparse point, which wine cannot make.
  const OddEntry entries[] = {
      {"fifo", MakeFifo},
      {"link to /dev/null", LinkToDevNull},
      {"link to a regular file", LinkToARegularFile},
      {"second hard link", HardLinkToAnotherName},
      {"dangling link", LinkToNowhere},
      {"directory", MakeDir},
      {"socket", MakeSocket},
      {"missing", MakeNothing},
  };
  for (const auto& entry : entries) {
    SCOPED_TRACE(entry.what);
    if (ToolLeg() == Leg::kWine && entry.make == LinkToARegularFile)
      continue;
    Reset();
    SetUp();
    entry.make(info);
    RunResult r = Convert();
    EXPECT_FALSE(r.timed_out);
    EXPECT_EQ(r.out, Lines("Error.\nBroken data.\n"));
    EXPECT_EQ(r.status, kFailed);
    for (const char* other : {".real", ".other"}) {
      if (Exists(info + other)) {
        EXPECT_EQ(ReadFile(info + other), "");
      }
    }
  }
}

}  // namespace
