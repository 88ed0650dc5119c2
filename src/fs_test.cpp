#include "fs.hpp"

#include <gtest/gtest.h>

#include <cerrno>

#include <unistd.h>

#include "test_support.hpp"

namespace {

TEST(IsDirectory, OnlyAnExistingDirectoryOrALinkToOne) {
  TempDir tmp;
  MakeDir(tmp.path + "/dir");
  WriteFile(tmp.path + "/file", "");
  ASSERT_EQ(symlink("dir", (tmp.path + "/link").c_str()), 0);
  EXPECT_TRUE(IsDirectory(tmp.path + "/dir"));
  EXPECT_TRUE(IsDirectory(tmp.path + "/link"));
  EXPECT_TRUE(IsDirectory(tmp.path + "/dir/"));
  EXPECT_FALSE(IsDirectory(tmp.path + "/file"));
  EXPECT_FALSE(IsDirectory(tmp.path + "/missing"));
  EXPECT_FALSE(IsDirectory(""));
}

TEST(RenameNoReplace, MovesFilesAndDirectories) {
  TempDir tmp;
  MakeDir(tmp.path + "/dir");
  WriteFile(tmp.path + "/dir/item", "x");
  WriteFile(tmp.path + "/file", "y");
  EXPECT_TRUE(RenameNoReplace(tmp.path + "/dir", tmp.path + "/dir2"));
  EXPECT_TRUE(RenameNoReplace(tmp.path + "/file", tmp.path + "/file2"));
  EXPECT_EQ(ReadFile(tmp.path + "/dir2/item"), "x");
  EXPECT_EQ(ReadFile(tmp.path + "/file2"), "y");
  EXPECT_FALSE(RenameNoReplace(tmp.path + "/file", tmp.path + "/file3"));
  EXPECT_EQ(errno, ENOENT);
}

TEST(RenameNoReplace, RefusesEveryKindOfEntryInTheWay) {
  TempDir tmp;
  WriteFile(tmp.path + "/from", "new");
  WriteFile(tmp.path + "/file", "old");
  MakeDir(tmp.path + "/dir");
  ASSERT_EQ(symlink("nowhere", (tmp.path + "/dangling").c_str()), 0);
  for (const char* name : {"/file", "/dir", "/dangling"}) {
    EXPECT_FALSE(RenameNoReplace(tmp.path + "/from", tmp.path + name)) << name;
    EXPECT_EQ(errno, EEXIST) << name;
  }
  EXPECT_EQ(ReadFile(tmp.path + "/file"), "old");
  EXPECT_EQ(ReadFile(tmp.path + "/from"), "new");
}

TEST(OpenForUpdate, NeverCreatesTheFile) {
  TempDir tmp;
  EXPECT_LT(OpenForUpdate(tmp.path + "/missing"), 0);
  EXPECT_FALSE(Exists(tmp.path + "/missing"));
}

}  // namespace
