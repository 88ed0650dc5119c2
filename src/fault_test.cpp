// Real faults at the system-call level, on the real binary: strace fails
// one call with an error, or kills the run at it.  Whatever happens, the
// folder keeps its data, the header is never marked over an incomplete
// body, and plain later runs (with a person's repair where renames were
// cut short) finish the job.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>

#include "test_support.hpp"

namespace {

const std::string kCannotWrite = "Error.\nCannot write additional info.\n";

// The additional-info file's bytes before a run: flag 0, then bytes that
// the tool must keep (1 to 7 and 24 on).
std::string InfoBefore() {
  std::string info(40, '\0');
  for (size_t i = 1; i < info.size(); ++i)
    info[i] = static_cast<char>('a' + i % 26);
  return info;
}

bool HeaderComplete(const std::string& info) {
  return info.size() == 40 && info[0] == 1 &&
         (info.substr(8, 16) == Header(kChangedId5a, 1).substr(8, 16) ||
          info.substr(8, 16) == Header(kChangedId5a, 2).substr(8, 16));
}

// Bytes outside the header never change, and a set flag stands only over
// a complete header.
void ExpectSafe(const std::string& info) {
  std::string before = InfoBefore();
  ASSERT_EQ(info.size(), before.size());
  EXPECT_EQ(info.substr(1, 7), before.substr(1, 7));
  EXPECT_EQ(info.substr(24), before.substr(24));
  if (info[0] != 0) {
    EXPECT_TRUE(HeaderComplete(info));
  }
}

class Faults : public FolderTest {
 protected:
  static void SetUpTestSuite() {
    // LeakSanitizer cannot run under a tracer; the other checks can.
    setenv("ASAN_OPTIONS", "detect_leaks=0", 1);
  }
  void SetUp() override {
    NATIVE_ONLY("strace traces and fails the calls of the native tool only");
    RunResult r = RunProgram({"strace", "-V"});
    ASSERT_EQ(r.status, 0) << "strace is needed for these tests";
  }

  void MakeOldLayout() { MakeFolder(target, "00000000", "data", InfoBefore()); }
  void MakeRenamedLayout() {
    MakeFolder(target, "0000005a", "data", InfoBefore());
  }

  RunResult ConvertUnderStrace(const std::vector<std::string>& options) {
    std::vector<std::string> argv{"strace", "-o", "/dev/null"};
    argv.insert(argv.end(), options.begin(), options.end());
    argv.insert(argv.end(), {"--", ToolPath(), target, "5a"});
    return RunProgram(argv);
  }

  // Plain later runs finish the job: a folder whose renames were cut
  // short is repaired as a person would, with mv -n.
  void ExpectRerunFinishes(bool already_complete) {
    RunResult r = Convert();
    if (r.out == "Error.\nBroken data.\n") {
      ASSERT_TRUE(Exists(At("0000005a")));
      for (const char* suffix : {".dat", "_.dat"}) {
        std::string from = At(std::string("00000000") + suffix);
        std::string to = At(std::string("0000005a") + suffix);
        if (Exists(from) && !Exists(to))
          std::filesystem::rename(from, to);
      }
      r = Convert();
    }
    EXPECT_EQ(r.out, already_complete ? "Error.\nAlready new version.\n" : "");
    EXPECT_EQ(r.status, already_complete ? kFailed : 0);
    EXPECT_TRUE(HeaderComplete(ReadFile(At("0000005a_.dat"))));
    EXPECT_EQ(ReadFile(At("0000005a.dat")), "data");
    EXPECT_EQ(ReadFile(At("0000005a/item")), "inside the content directory\n");
  }
};

struct InjectCase {
  const char* on;  // "info" for the additional-info file, "folder"
  const char* call;
  const char* error;
  int when;
  const char* out;  // what the run prints
};

TEST_F(Faults, FailedCallsOnTheFileAndTheFolderAreReported) {
  const char* busy = "Error.\nFolder is busy.\n";
  const InjectCase cases[] = {
      {"info", "pwrite64", "EIO", 1, kCannotWrite.c_str()},
      {"info", "pwrite64", "ENOSPC", 1, kCannotWrite.c_str()},
      {"info", "pwrite64", "EIO", 2, kCannotWrite.c_str()},
      {"info", "pwrite64", "ENOSPC", 2, kCannotWrite.c_str()},
      {"info", "fsync", "EIO", 1, kCannotWrite.c_str()},
      {"info", "fsync", "EIO", 2, kCannotWrite.c_str()},
      {"info", "close", "EIO", 1, kCannotWrite.c_str()},
      {"folder", "fsync", "EIO", 1, kCannotWrite.c_str()},
      {"folder", "flock", "EAGAIN", 1, busy},
      // A failed read of the flag counts as an unmarked file.
      {"info", "pread64", "EIO", 1, ""},
      // File systems that cannot sync or lock are no failure.
      {"info", "fsync", "EINVAL", 1, ""},
      {"info", "fsync", "EOPNOTSUPP", 2, ""},
      {"folder", "fsync", "EINVAL", 1, ""},
      {"folder", "fsync", "EBADF", 1, ""},
      {"folder", "flock", "ENOLCK", 1, ""},
      {"folder", "flock", "EINVAL", 1, ""},
  };
  for (const auto& c : cases) {
    std::ostringstream inject;
    inject << "inject=" << c.call << ":error=" << c.error << ":when=" << c.when;
    SCOPED_TRACE(std::string(c.on) + " " + inject.str());
    Reset();
    MakeRenamedLayout();
    std::string on = std::string(c.on) == "info" ? At("0000005a_.dat") : target;
    RunResult r = ConvertUnderStrace(
        {"-P", on, "-e", std::string("trace=") + c.call, "-e", inject.str()});
    bool failed = *c.out != '\0';
    EXPECT_EQ(r.out, c.out);
    EXPECT_EQ(r.status, failed ? kFailed : 0);
    std::string info = ReadFile(At("0000005a_.dat"));
    ExpectSafe(info);
    if (!failed) {
      EXPECT_TRUE(HeaderComplete(info));
    }
    ExpectRerunFinishes(HeaderComplete(info));
  }
}

// The calls of a trace, each named with its number among the calls of
// that name: ("write", 2) is the second write.
std::vector<std::pair<std::string, int>> CallsOf(const std::string& trace) {
  std::vector<std::pair<std::string, int>> calls;
  std::map<std::string, int> seen;
  std::istringstream lines(trace);
  std::string line;
  while (std::getline(lines, line)) {
    auto paren = line.find('(');
    if (line.rfind("+++", 0) == 0 || line.rfind("---", 0) == 0 ||
        paren == std::string::npos)
      continue;
    std::string name = line.substr(0, paren);
    calls.emplace_back(name, ++seen[name]);
  }
  return calls;
}

TEST_F(Faults, KillAtEveryCallOnTheFolderLeavesARecoverableFolder) {
  // Only the calls on the folder and its entries are traced, counted and
  // killed at: start-up calls cannot touch the folder, and their number
  // varies from build to build.
  std::vector<std::string> on_folder{"-P", target};
  for (const char* id : {"/00000000", "/0000005a"})
    for (const char* suffix : {"", ".dat", "_.dat"})
      on_folder.insert(on_folder.end(), {"-P", target + id + suffix});

  MakeOldLayout();
  std::string trace = tmp.path + "/trace";
  std::vector<std::string> clean{"strace", "-o", trace};
  clean.insert(clean.end(), on_folder.begin(), on_folder.end());
  clean.insert(clean.end(), {"--", ToolPath(), target, "5a"});
  ASSERT_EQ(RunProgram(clean).status, 0);
  auto calls = CallsOf(ReadFile(trace));
  ASSERT_GE(calls.size(), 17u) << ReadFile(trace);

  for (const auto& [name, nth] : calls) {
    SCOPED_TRACE(name + " #" + std::to_string(nth));
    Reset();
    MakeOldLayout();
    std::vector<std::string> options = on_folder;
    options.insert(
        options.end(),
        {"-e", "trace=" + name, "-e",
         "inject=" + name + ":signal=KILL:when=" + std::to_string(nth)});
    RunResult r = ConvertUnderStrace(options);
    EXPECT_EQ(r.status, -1) << "the run was not killed";
    std::string info = Exists(At("0000005a_.dat"))
                           ? ReadFile(At("0000005a_.dat"))
                           : ReadFile(At("00000000_.dat"));
    ExpectSafe(info);
    ExpectRerunFinishes(HeaderComplete(info));
  }
}

TEST_F(Faults, RenameFallbackWhereTheFileSystemRejectsTheFlag) {
  const std::vector<std::string> no_flag{"-e", "trace=renameat2", "-e",
                                         "inject=renameat2:error=EINVAL"};
  MakeOldLayout();
  RunResult r = ConvertUnderStrace(no_flag);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.status, 0);
  EXPECT_FALSE(Exists(At("00000000")));
  EXPECT_TRUE(HeaderComplete(ReadFile(At("0000005a_.dat"))));

  for (const char* in_the_way : {"file", "dangling link"}) {
    SCOPED_TRACE(in_the_way);
    Reset();
    MakeOldLayout();
    if (std::string(in_the_way) == "file")
      WriteFile(At("0000005a.dat"), "already here");
    else
      std::filesystem::create_symlink("nowhere", At("0000005a.dat"));
    r = ConvertUnderStrace(no_flag);
    EXPECT_EQ(r.out, "Error.\nBroken data or wrong uniqueId.\n");
    EXPECT_EQ(r.status, kFailed);
    EXPECT_EQ(ReadFile(At("00000000.dat")), "data");
    EXPECT_TRUE(Exists(At("0000005a.dat")));
    if (std::string(in_the_way) == "file") {
      EXPECT_EQ(ReadFile(At("0000005a.dat")), "already here");
    }
  }
}

}  // namespace
