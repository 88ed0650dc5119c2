// Converts N fresh old-layout folders with each contender, one process
// per folder as users run it, and reports the wall time per folder, the
// peak memory of one run, and the ratio to the first contender.
//
// Usage: folder-migrate-bench DIR N NAME=COMMAND...
//   e.g. folder-migrate-bench /dev/shm 1000 tool=build-release/folder-migrate
//          "shell=sh bench/baseline.sh"
// Each COMMAND is split on blanks and run as COMMAND FOLDER 5a.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

struct Contender {
  std::string name;
  std::vector<std::string> argv;
};

struct Result {
  double micros_per_folder = 0;
  long peak_kib = 0;
};

Contender ParseContender(const std::string& arg) {
  Contender c;
  auto eq = arg.find('=');
  c.name = arg.substr(0, eq);
  std::istringstream words(arg.substr(eq + 1));
  for (std::string word; words >> word;)
    c.argv.push_back(word);
  return c;
}

// The folder DIR/i/517 in the old layout: 517 is its directory number.
std::string MakeFolder(const fs::path& dir, int i) {
  fs::path target = dir / std::to_string(i) / "517";
  fs::create_directories(target / "00000000");
  std::ofstream(target / "00000000.dat") << "data\n";
  std::ofstream(target / "00000000_.dat");
  return target.string();
}

const std::string kExpectedHeader(
    "\x01\0\0\0\0\0\0\0\xa1\xd9\x6d\x2b\x7b\x0c\x3a\x91\x02\0\0\0\0\0\0\0", 24);

bool Converted(const std::string& target) {
  std::ifstream in(target + "/0000005a_.dat", std::ios::binary);
  std::string header((std::istreambuf_iterator<char>(in)), {});
  return header == kExpectedHeader;
}

// Runs one conversion; returns the child's peak resident memory in KiB,
// or -1 when it failed.
long ConvertOne(const Contender& c, const std::string& target) {
  std::vector<std::string> args = c.argv;
  args.push_back(target);
  args.push_back("5a");
  std::vector<char*> argv;
  for (auto& a : args)
    argv.push_back(a.data());
  argv.push_back(nullptr);
  // fork, not posix_spawn: a child that shares the parent's memory until
  // its exec would count the parent's pages in its peak.
  pid_t pid = fork();
  if (pid < 0)
    return -1;
  if (pid == 0) {
    execvp(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) ||
      WEXITSTATUS(status) != 0)
    return -1;
  return usage.ru_maxrss;
}

bool Measure(const Contender& c, const fs::path& dir, int n, Result* result) {
  fs::remove_all(dir);
  std::vector<std::string> targets;
  for (int i = 0; i < n; ++i)
    targets.push_back(MakeFolder(dir, i));

  auto start = std::chrono::steady_clock::now();
  for (const auto& target : targets) {
    long kib = ConvertOne(c, target);
    if (kib < 0) {
      std::fprintf(stderr, "%s failed on %s\n", c.name.c_str(), target.c_str());
      return false;
    }
    result->peak_kib = std::max(result->peak_kib, kib);
  }
  auto elapsed = std::chrono::steady_clock::now() - start;
  result->micros_per_folder =
      std::chrono::duration<double, std::micro>(elapsed).count() / n;

  for (const auto& target : targets) {
    if (!Converted(target)) {
      std::fprintf(stderr, "%s left a wrong header in %s\n", c.name.c_str(),
                   target.c_str());
      return false;
    }
  }
  fs::remove_all(dir);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: %s DIR N NAME=COMMAND...\n", argv[0]);
    return 2;
  }
  fs::path dir = fs::path(argv[1]) / "folder-migrate-bench";
  int n = std::atoi(argv[2]);
  if (n <= 0) {
    std::fprintf(stderr, "N must be a positive number\n");
    return 2;
  }

  std::printf("%d folders in %s\n", n, argv[1]);
  std::printf("%-10s %14s %14s %8s\n", "contender", "us per folder", "peak KiB",
              "ratio");
  double first = 0;
  for (int i = 3; i < argc; ++i) {
    Contender c = ParseContender(argv[i]);
    Result r;
    if (!Measure(c, dir, n, &r))
      return 1;
    if (first == 0)
      first = r.micros_per_folder;
    std::printf("%-10s %14.1f %14ld %8.2f\n", c.name.c_str(),
                r.micros_per_folder, r.peak_kib, r.micros_per_folder / first);
    std::fflush(stdout);
  }
  return 0;
}
