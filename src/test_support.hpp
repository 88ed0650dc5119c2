// Helpers for tests that run the built tool on small fixture folders.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

struct RunResult {
  int status = -1;  // exit status, or -1 when the run did not exit
  bool timed_out = false;
  std::string out;
  std::string err;
};

// A fresh directory, removed with everything in it when the object dies.
struct TempDir {
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  std::string path;
};

// A started program whose standard output and standard error go to files.
struct Child {
  Child() = default;
  ~Child();
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;
  int pid = -1;
  TempDir capture;
  std::string out_path = capture.path + "/out";
  std::string err_path = capture.path + "/err";
};

// Starts `argv`; argv[0] is looked up in PATH.
void Start(Child& child, const std::vector<std::string>& argv);

// Waits for the child, killing it after `timeout_seconds`.
RunResult Wait(Child& child, int timeout_seconds = 20);

// Start, then Wait.
RunResult RunProgram(const std::vector<std::string>& argv,
                     int timeout_seconds = 20);

// The command that runs the tool: the native build's tool, or the one that
// FOLDER_MIGRATE_COMMAND names, space-separated, with its emulator first
// ("qemu-s390x build-s390x/folder-migrate", "wine build-win/...exe").
std::vector<std::string> ToolCommand();

// The tool itself: the last word of the command.
std::string ToolPath();

// Runs the tool with the given arguments.
RunResult RunTool(const std::vector<std::string>& args);

// Where the tool runs: natively, under qemu, or under wine
// (FOLDER_MIGRATE_LEG).
enum class Leg { kNative, kQemu, kWine };
Leg ToolLeg();

// The tool's output for these lines: "\r\n" line ends on Windows.
std::string Lines(const std::string& text);

// Skips a case that cannot be shown on this leg, with the reason.
#define SKIP_ON(leg, reason)    \
  do {                          \
    if (ToolLeg() == (leg))     \
      GTEST_SKIP() << (reason); \
  } while (0)
#define NATIVE_ONLY(reason)        \
  do {                             \
    if (ToolLeg() != Leg::kNative) \
      GTEST_SKIP() << (reason);    \
  } while (0)

// Cases that need root skip elsewhere with the reason, but fail in CI,
// which runs as root.
bool IsRoot();
#define REQUIRE_ROOT()                                            \
  do {                                                            \
    if (!IsRoot()) {                                              \
      if (std::getenv("CI") != nullptr)                           \
        FAIL() << "CI runs as root: this case must not skip";     \
      GTEST_SKIP() << "needs root (another user's file, chattr)"; \
    }                                                             \
  } while (0)

void MakeDir(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);
std::string ReadFile(const std::string& path);
// `size` bytes at `offset`, or fewer where the file ends.
std::string ReadBytes(const std::string& path, uint64_t offset, size_t size);
bool Exists(const std::string& path);  // as lstat sees it

// Makes an old-layout folder under `dir`: the content directory (holding
// one file), the content data file and the additional-info file, all under
// the id text `id_text`, with the given contents.
void MakeFolder(const std::string& dir, const std::string& id_text,
                const std::string& data = "content data\n",
                const std::string& info = "");

// The 24 header bytes the tool writes: flag 1, seven zero bytes, the
// changed id and the mode, least significant byte first.
std::string Header(uint64_t changed_id, uint64_t mode);

// Exit status -1 as the shell sees it.
inline constexpr int kFailed = 255;

// The changed id of the typical folder .../box/517 with the unique id 5a.
inline constexpr uint64_t kChangedId5a =
    0x0004000000005a00u ^ 517u ^ 0x913E0C7B2B6D81A4u;

// A test on the typical folder: `target` is a fresh .../box/517.
class FolderTest : public ::testing::Test {
 protected:
  FolderTest() { MakeDir(target); }
  std::string At(const std::string& name) const { return target + "/" + name; }
  RunResult Convert() const { return RunTool({target, "5a"}); }
  // Empties the folder, for the next case of a table.
  void Reset() const;

  TempDir tmp;
  std::string target = tmp.path + "/box/517";
};
