// Renaming the content entries, through the tool: all three move or none
// does, nothing in the way is ever replaced, and other entries stay.
#include <gtest/gtest.h>

#include <filesystem>

#include "test_support.hpp"

namespace {

namespace fs = std::filesystem;

const char* const kSuffixes[] = {"", ".dat", "_.dat"};

class ContentRename : public FolderTest {
 protected:
  void SetUp() override {
    MakeFolder(target, "00000000");
    WriteFile(At("other.dat"), "untouched");
  }
  // The old layout is exactly as it was made, and no unique-id entry
  // but `in_the_way` exists.
  void ExpectNothingRenamed(const std::string& in_the_way = "") const {
    EXPECT_EQ(ReadFile(At("00000000/item")), "inside the content directory\n");
    EXPECT_EQ(ReadFile(At("00000000.dat")), "content data\n");
    EXPECT_EQ(ReadFile(At("00000000_.dat")), "");
    for (const char* suffix : kSuffixes) {
      std::string name = std::string("0000005a") + suffix;
      EXPECT_EQ(Exists(At(name)), name == in_the_way) << name;
    }
  }
};

TEST_F(ContentRename, MovesAllThreeEntriesAndNothingElse) {
  RunResult r = Convert();
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(ReadFile(At("0000005a/item")), "inside the content directory\n");
  EXPECT_EQ(ReadFile(At("0000005a.dat")), "content data\n");
  EXPECT_EQ(ReadFile(At("0000005a_.dat")).size(), 24u);
  EXPECT_EQ(ReadFile(At("other.dat")), "untouched");
  for (const char* suffix : kSuffixes)
    EXPECT_FALSE(Exists(At(std::string("00000000") + suffix))) << suffix;
}

TEST_F(ContentRename, AMissingPlaceholderEntryRenamesNothing) {
  for (const char* missing : kSuffixes) {
    SCOPED_TRACE(missing);
    Reset();
    MakeFolder(target, "00000000");
    std::string name = std::string("00000000") + missing;
    fs::remove_all(At(name));
    RunResult r = Convert();
    EXPECT_EQ(r.out, Lines("Error.\nBroken data or wrong uniqueId.\n"));
    EXPECT_EQ(r.status, kFailed);
    for (const char* suffix : kSuffixes) {
      std::string old = std::string("00000000") + suffix;
      EXPECT_EQ(Exists(At(old)), old != name) << old;
      EXPECT_FALSE(Exists(At(std::string("0000005a") + suffix))) << suffix;
    }
  }
}

void MakeFileInTheWay(const std::string& path) {
  WriteFile(path, "already here");
}
void MakeDirInTheWay(const std::string& path) { MakeDir(path); }
void MakeDanglingLinkInTheWay(const std::string& path) {
  fs::create_symlink("nowhere", path);
}

TEST_F(ContentRename, AnyEntryInTheWayOfAnyRowRenamesNothing) {
  struct Kind {
    const char* what;
    void (*make)(const std::string& path);
  };
  const Kind kinds[] = {{"file", MakeFileInTheWay},
                        {"directory", MakeDirInTheWay},
                        {"dangling link", MakeDanglingLinkInTheWay}};
  for (const char* suffix : kSuffixes) {
    for (const auto& kind : kinds) {
      // Wine hides a dangling link, so a Windows build cannot see it.
      if (ToolLeg() == Leg::kWine && kind.make == MakeDanglingLinkInTheWay)
        continue;
      std::string name = std::string("0000005a") + suffix;
      SCOPED_TRACE(name + ", " + kind.what);
      Reset();
      MakeFolder(target, "00000000");
      kind.make(At(name));
      RunResult r = Convert();
      // A directory at the content directory's name is the renamed folder
      // of mode 1, whose additional-info file is missing.
      bool mode_one = *suffix == '\0' && kind.make == MakeDirInTheWay;
      EXPECT_EQ(r.out, Lines(mode_one ? "Error.\nBroken data.\n"
                                      : "Error.\nBroken data or wrong "
                                        "uniqueId.\n"));
      EXPECT_EQ(r.status, kFailed);
      ExpectNothingRenamed(name);
      if (kind.make == MakeFileInTheWay) {
        EXPECT_EQ(ReadFile(At(name)), "already here");
      }
    }
  }
}

TEST_F(ContentRename, UniqueIdMinusOneGivesAllFs) {
  RunResult r = RunTool({target, "-1"});
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.status, 0);
  EXPECT_TRUE(Exists(At("ffffffff/item")));
  EXPECT_TRUE(Exists(At("ffffffff.dat")));
  EXPECT_TRUE(Exists(At("ffffffff_.dat")));
}

}  // namespace
