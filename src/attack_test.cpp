// Folders that someone hostile controls: links planted at the
// additional-info file, the path swapped under a run, a lock held
// elsewhere, runs that race, a file the run may not write, closed
// standard descriptors.  Whatever they try, nothing outside the folder
// changes, no run waits, and a refused run renames nothing.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <set>
#include <sstream>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "test_support.hpp"

namespace {

namespace fs = std::filesystem;

const std::string kBrokenData = "Error.\nBroken data.\n";

size_t CountOf(const std::string& text, const std::string& word) {
  size_t count = 0;
  for (size_t at = text.find(word); at != std::string::npos;
       at = text.find(word, at + 1))
    ++count;
  return count;
}

class Attacks : public FolderTest {
 protected:
  static void SetUpTestSuite() { setenv("ASAN_OPTIONS", "detect_leaks=0", 1); }

  // Another user's file outside the folder, whose first byte is 0.
  std::string outside = tmp.path + "/outside";
  const std::string outside_bytes = std::string(1, '\0') + "someone else's";

  // An old-layout folder that belongs to the user nobody.
  void MakeFolderOfNobody() const {
    MakeFolder(target, "00000000");
    for (const std::string& path :
         {tmp.path, tmp.path + "/box", target, At("00000000"),
          At("00000000/item"), At("00000000.dat"), At("00000000_.dat")})
      ASSERT_EQ(chown(path.c_str(), 65534, 65534), 0) << path;
  }

  // Runs the tool as the user nobody.
  static RunResult RunAsNobody(const std::vector<std::string>& args) {
    std::vector<std::string> argv{"setpriv", "--reuid=65534", "--regid=65534",
                                  "--clear-groups", "--"};
    for (const auto& word : ToolCommand())
      argv.push_back(word);
    argv.insert(argv.end(), args.begin(), args.end());
    return RunProgram(argv);
  }

  void ExpectOldLayoutUntouched() const {
    EXPECT_EQ(ReadFile(At("00000000/item")), "inside the content directory\n");
    EXPECT_EQ(ReadFile(At("00000000.dat")), "content data\n");
    for (const char* suffix : {"", ".dat", "_.dat"})
      EXPECT_FALSE(Exists(At(std::string("0000005a") + suffix))) << suffix;
  }

  // Starts the tool under strace, held for `seconds` at the `nth` call
  // named `call` on the folder, and returns once it is held there.
  void StartHeld(Child& run, const std::string& call, int seconds,
                 int nth = 1) {
    std::string trace = tmp.path + "/held.trace";
    std::vector<std::string> argv{"strace", "-o", trace, "-P", target};
    for (const char* name : {"00000000_.dat", "0000005a_.dat"})
      argv.insert(argv.end(), {"-P", At(name)});
    argv.insert(argv.end(),
                {"-e", "trace=" + call, "-e",
                 "inject=" + call + ":delay_enter=" + std::to_string(seconds) +
                     "s:when=" + std::to_string(nth),
                 "--", ToolPath(), target, "5a"});
    Start(run, argv);
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (CountOf(ReadFile(trace), call + "(") < static_cast<size_t>(nth)) {
      ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "never held";
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  }
};

TEST_F(Attacks, LinksPlantedAtTheAdditionalInfoFileAreRefused) {
  struct Case {
    const char* at;  // the additional-info file's id text
    bool hard;
  };
  const Case cases[] = {{"00000000", false},
                        {"00000000", true},
                        {"0000005a", false},
                        {"0000005a", true}};
  for (const auto& c : cases) {
    bool placeholder = std::string(c.at) == "00000000";
    SCOPED_TRACE(std::string(c.at) + (c.hard ? " hard link" : " symlink"));
    // Wine shows a symbolic link as the file it names; Windows would see
    // a reparse point, which wine cannot make.
    if (!c.hard && ToolLeg() == Leg::kWine)
      continue;
    Reset();
    WriteFile(outside, outside_bytes);
    if (placeholder) {
      MakeFolder(target, "00000000");
    } else {
      MakeFolder(target, "0000005a");
    }
    std::string info = At(std::string(c.at) + "_.dat");
    fs::remove(info);
    if (c.hard)
      fs::create_hard_link(outside, info);
    else
      fs::create_symlink(outside, info);
    RunResult r = Convert();
    EXPECT_EQ(r.out, Lines(kBrokenData));
    EXPECT_EQ(r.status, kFailed);
    EXPECT_EQ(ReadFile(outside), outside_bytes);
    if (placeholder)
      ExpectOldLayoutUntouched();
  }
}

TEST_F(Attacks, HardLinkBetweenTheTwoFilesLeavesTheContentDataAlone) {
  MakeFolder(target, "00000000", std::string(30, '\0'));
  fs::remove(At("00000000_.dat"));
  fs::create_hard_link(At("00000000.dat"), At("00000000_.dat"));
  RunResult r = Convert();
  EXPECT_EQ(r.out, Lines(kBrokenData));
  EXPECT_EQ(r.status, kFailed);
  EXPECT_EQ(ReadFile(At("00000000.dat")), std::string(30, '\0'));
  EXPECT_TRUE(Exists(At("00000000")));
  EXPECT_FALSE(Exists(At("0000005a")));
}

TEST_F(Attacks, PathSwappedUnderARunChangesNothingElsewhere) {
  NATIVE_ONLY("strace holds the native tool only");
  // Held at a rename of the old layout, and at the open of the
  // additional-info file of a renamed one (the second openat on the
  // folder: the first opens the folder itself).
  struct Case {
    const char* id_text;
    const char* call;
    int nth;
    uint64_t mode;
  };
  const Case cases[] = {{"00000000", "renameat2", 1, 2},
                        {"0000005a", "openat", 2, 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.call);
    std::string box = tmp.path + "/box";
    std::string other = tmp.path + "/other";
    std::filesystem::remove_all(box);
    std::filesystem::remove_all(box + ".moved");
    std::filesystem::remove_all(other);
    MakeDir(target);
    MakeFolder(target, c.id_text);
    // Another user's folder of the same shape, where the path will lead.
    MakeDir(other + "/517");
    MakeFolder(other + "/517", c.id_text);

    Child run;
    StartHeld(run, c.call, 2, c.nth);
    fs::rename(box, box + ".moved");
    fs::create_directory_symlink(other, box);
    RunResult r = Wait(run);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.status, 0);

    std::string moved = box + ".moved/517/";
    EXPECT_EQ(ReadFile(moved + "0000005a_.dat"), Header(kChangedId5a, c.mode));
    EXPECT_TRUE(Exists(moved + "0000005a/item"));
    std::string theirs = other + "/517/" + c.id_text;
    EXPECT_EQ(ReadFile(theirs + "_.dat"), "");
    EXPECT_EQ(ReadFile(theirs + ".dat"), "content data\n");
    EXPECT_TRUE(Exists(theirs + "/item"));
  }
}

TEST_F(Attacks, AFolderThatMayBeSearchedButNotReadConverts) {
  REQUIRE_ROOT();
  SKIP_ON(Leg::kWine, "wine refuses a prefix that another user owns");
  MakeFolderOfNobody();
  // Write and search, but no read: the folder cannot be listed.
  fs::permissions(target, fs::perms::owner_write | fs::perms::owner_exec);
  RunResult r = RunAsNobody({target, "5a"});
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(ReadFile(At("0000005a_.dat")), Header(kChangedId5a, 2));
}

TEST_F(Attacks, LockHeldElsewhereIsReportedAtOnce) {
  SKIP_ON(Leg::kWine, "the Windows build locks the additional-info file");
  MakeFolder(target, "00000000");
  int fd = open(target.c_str(), O_RDONLY | O_DIRECTORY);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(flock(fd, LOCK_SH), 0);
  auto start = std::chrono::steady_clock::now();
  RunResult r = Convert();
  auto took = std::chrono::steady_clock::now() - start;
  close(fd);
  EXPECT_EQ(r.out, Lines("Error.\nFolder is busy.\n"));
  EXPECT_EQ(r.status, kFailed);
  EXPECT_LT(took, std::chrono::seconds(1));
  ExpectOldLayoutUntouched();
  EXPECT_EQ(ReadFile(At("00000000_.dat")), "");
}

TEST_F(Attacks, ARunHeldMidwayKeepsASecondRunOut) {
  NATIVE_ONLY("strace holds the native tool only");
  for (const char* held_at : {"newfstatat", "renameat2", "fsync"}) {
    SCOPED_TRACE(held_at);
    Reset();
    MakeFolder(target, "00000000");
    Child first;
    StartHeld(first, held_at, 1);
    RunResult second = Convert();
    RunResult r = Wait(first);
    EXPECT_EQ(second.out, "Error.\nFolder is busy.\n");
    EXPECT_EQ(second.status, kFailed);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(ReadFile(At("0000005a_.dat")), Header(kChangedId5a, 2));
  }
}

TEST_F(Attacks, ConcurrentRunsConvertExactlyOnce) {
  const std::set<std::string> refusals{Lines("Error.\nAlready new version.\n"),
                                       Lines("Error.\nFolder is busy.\n")};
  const int rounds = ToolLeg() == Leg::kNative ? 30 : 4;
  for (int round = 0; round < rounds; ++round) {
    SCOPED_TRACE(round);
    Reset();
    MakeFolder(target, "00000000");
    std::vector<Child> runs(6);
    for (auto& run : runs) {
      std::vector<std::string> argv = ToolCommand();
      argv.insert(argv.end(), {target, "5a"});
      Start(run, argv);
    }
    int converted = 0;
    for (auto& run : runs) {
      RunResult r = Wait(run, 60);
      if (r.status == 0) {
        ++converted;
        EXPECT_EQ(r.out, "");
      } else {
        EXPECT_EQ(r.status, kFailed);
        EXPECT_EQ(refusals.count(r.out), 1u) << r.out;
      }
    }
    EXPECT_EQ(converted, 1);
    EXPECT_EQ(ReadFile(At("0000005a_.dat")), Header(kChangedId5a, 2));
  }
}

// chattr on the additional-info file, undone before the folder goes.
struct Attribute {
  Attribute(std::string file, const char* flag) : path(std::move(file)) {
    set = RunProgram({"chattr", std::string("+") + flag, path}).status == 0;
    unset = std::string("-") + flag;
  }
  ~Attribute() {
    if (set)
      RunProgram({"chattr", unset, path});
  }
  Attribute(const Attribute&) = delete;
  Attribute& operator=(const Attribute&) = delete;
  std::string path;
  std::string unset;
  bool set = false;
};

TEST_F(Attacks, AFileTheRunMayNotWriteRenamesNothing) {
  REQUIRE_ROOT();
  for (const char* flag : {"i", "a"}) {
    SCOPED_TRACE(std::string("chattr +") + flag);
    Reset();
    MakeFolder(target, "00000000");
    Attribute attribute(At("00000000_.dat"), flag);
    if (!attribute.set)
      GTEST_SKIP() << "the file system under " << tmp.path
                   << " has no chattr attributes";
    RunResult r = Convert();
    EXPECT_EQ(r.out, Lines(kBrokenData));
    EXPECT_EQ(r.status, kFailed);
    ExpectOldLayoutUntouched();
  }
}

TEST_F(Attacks, AFileAnotherUserMayNotWriteRenamesNothing) {
  REQUIRE_ROOT();
  SKIP_ON(Leg::kWine, "wine refuses a prefix that another user owns");
  MakeFolderOfNobody();
  // The additional-info file is read-only.
  fs::permissions(At("00000000_.dat"), fs::perms::owner_read);
  RunResult r = RunAsNobody({target, "5a"});
  EXPECT_EQ(r.out, Lines(kBrokenData));
  EXPECT_EQ(r.status, kFailed);
  ExpectOldLayoutUntouched();
}

TEST_F(Attacks, ClosedStandardDescriptorsNeverReceiveAReport) {
  SKIP_ON(Leg::kWine, "closed descriptors are a POSIX matter");
  // The report comes after the additional-info file is opened: were the
  // file to get descriptor 1, the report would land in it.
  std::string marked = Header(1234, 2);
  MakeFolder(target, "0000005a", "data", marked);
  std::vector<std::string> argv{"sh", "-c", "exec \"$@\" <&- >&- 2>&-", "sh"};
  for (const auto& word : ToolCommand())
    argv.push_back(word);
  argv.insert(argv.end(), {target, "5a"});
  RunResult r = RunProgram(argv);
  EXPECT_EQ(r.status, kFailed);
  EXPECT_EQ(ReadFile(At("0000005a_.dat")), marked);
}

TEST_F(Attacks, ACleanRunSyncsTheFolderBeforeTheFlag) {
  NATIVE_ONLY("strace traces the native tool only");
  MakeFolder(target, "00000000");
  std::string trace = tmp.path + "/trace";
  ASSERT_EQ(RunProgram({"strace", "-y", "-o", trace, "-e",
                        "trace=pwrite64,fsync,close", "-P", target, "-P",
                        At("00000000_.dat"), "-P", At("0000005a_.dat"), "--",
                        ToolPath(), target, "5a"})
                .status,
            0);
  // Each call, with "file" or "folder" for what it was made on.
  std::vector<std::string> calls;
  std::istringstream lines(ReadFile(trace));
  for (std::string line; std::getline(lines, line);) {
    auto paren = line.find('(');
    if (paren == std::string::npos || line.rfind("+++", 0) == 0)
      continue;
    std::string on =
        line.find("_.dat>") != std::string::npos ? "file" : "folder";
    std::string call = line.substr(0, paren) + " " + on;
    if (call == "pwrite64 file")
      call += line.find(", 16, 8)") != std::string::npos ? " 8..23" : " 0";
    calls.push_back(call);
  }
  const std::vector<std::string> expected{
      "pwrite64 file 8..23", "fsync file", "fsync folder",
      "pwrite64 file 0",     "fsync file", "close file"};
  EXPECT_EQ(calls, expected) << ReadFile(trace);
}

}  // namespace
