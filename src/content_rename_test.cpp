// Renaming the content entries, through the tool: which entries move,
// which stay, and that nothing in the way is ever replaced.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include <unistd.h>

#include "test_support.hpp"

namespace {

const std::string kBrokenOrWrongId = "Error.\nBroken data or wrong uniqueId.\n";

class ContentRename : public FolderTest {
 protected:
  void SetUp() override {
    MakeFolder(target, "00000000");
    WriteFile(At("other.dat"), "untouched");
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
  for (const char* old : {"00000000", "00000000.dat", "00000000_.dat"})
    EXPECT_FALSE(Exists(At(old))) << old;
}

struct MissingCase {
  const char* missing;
  std::vector<const char*> renamed;  // entries under the unique id afterwards
  std::vector<const char*> kept;     // entries still under the placeholder id
};

TEST_F(ContentRename, StopsAtTheFirstMissingPlaceholderEntry) {
  const MissingCase cases[] = {
      {"", {}, {"00000000.dat", "00000000_.dat"}},
      {".dat", {"0000005a"}, {"00000000_.dat"}},
      {"_.dat", {"0000005a", "0000005a.dat"}, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.missing);
    Reset();
    MakeFolder(target, "00000000");
    std::filesystem::remove_all(At(std::string("00000000") + c.missing));
    RunResult r = Convert();
    EXPECT_EQ(r.out, kBrokenOrWrongId);
    EXPECT_EQ(r.status, kFailed);
    for (const char* suffix : {"", ".dat", "_.dat"}) {
      std::string name = std::string("0000005a") + suffix;
      bool renamed = std::find(c.renamed.begin(), c.renamed.end(), name) !=
                     c.renamed.end();
      EXPECT_EQ(Exists(At(name)), renamed) << name;
    }
    for (const char* name : c.kept)
      EXPECT_TRUE(Exists(At(name))) << name;
  }
}

TEST_F(ContentRename, NeverReplacesAnEntryInTheWay) {
  WriteFile(At("0000005a.dat"), "already here");
  RunResult r = Convert();
  EXPECT_EQ(r.out, kBrokenOrWrongId);
  EXPECT_EQ(r.status, kFailed);
  EXPECT_EQ(ReadFile(At("0000005a.dat")), "already here");
  EXPECT_EQ(ReadFile(At("00000000.dat")), "content data\n");
  EXPECT_TRUE(Exists(At("0000005a/item")));  // row 1 went through
  EXPECT_TRUE(Exists(At("00000000_.dat")));

  // The next run finds the content directory renamed and the
  // additional-info file still under the placeholder id.
  RunResult again = Convert();
  EXPECT_EQ(again.out, "Error.\nBroken data.\n");
  EXPECT_EQ(again.status, kFailed);
}

TEST_F(ContentRename, NeverReplacesADanglingSymbolicLink) {
  ASSERT_EQ(symlink("nowhere", At("0000005a_.dat").c_str()), 0);
  RunResult r = Convert();
  EXPECT_EQ(r.out, kBrokenOrWrongId);
  EXPECT_EQ(r.status, kFailed);
  char link[16] = {};
  EXPECT_EQ(readlink(At("0000005a_.dat").c_str(), link, sizeof link - 1), 7);
  EXPECT_STREQ(link, "nowhere");
  EXPECT_EQ(ReadFile(At("00000000_.dat")), "");
}

TEST_F(ContentRename, AdditionalInfoInTheWayIsCompletedByTheNextRun) {
  WriteFile(At("0000005a_.dat"), std::string(3, '\0'));
  RunResult r = Convert();
  EXPECT_EQ(r.out, kBrokenOrWrongId);
  EXPECT_EQ(r.status, kFailed);

  RunResult again = Convert();
  EXPECT_EQ(again.out, "");
  EXPECT_EQ(again.status, 0);
  EXPECT_EQ(ReadFile(At("0000005a_.dat"))[16], 1);  // mode 1
  EXPECT_EQ(ReadFile(At("00000000_.dat")), "");     // left for a person
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
