#include "test_support.hpp"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

std::vector<std::string> ToolCommand() {
  const char* command = std::getenv("FOLDER_MIGRATE_COMMAND");
  if (command == nullptr || *command == '\0')
    return {FOLDER_MIGRATE_TOOL};
  std::vector<std::string> words;
  std::istringstream in(command);
  for (std::string word; in >> word;)
    words.push_back(word);
  return words;
}

std::string ToolPath() { return ToolCommand().back(); }

Leg ToolLeg() {
  const char* leg = std::getenv("FOLDER_MIGRATE_LEG");
  std::string name = leg == nullptr ? "" : leg;
  if (name == "wine")
    return Leg::kWine;
  if (name == "qemu")
    return Leg::kQemu;
  return Leg::kNative;
}

std::string Lines(const std::string& text) {
  if (ToolLeg() != Leg::kWine)
    return text;
  std::string crlf;
  for (char c : text) {
    if (c == '\n')
      crlf += '\r';
    crlf += c;
  }
  return crlf;
}

bool IsRoot() { return geteuid() == 0; }

TempDir::TempDir() {
  std::string pattern =
      (fs::temp_directory_path() / "folder-migrate-test.XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr)
    throw std::runtime_error("mkdtemp failed");
  path = pattern;
}

TempDir::~TempDir() {
  std::error_code ignored;
  fs::remove_all(path, ignored);
}

void MakeDir(const std::string& path) { fs::create_directories(path); }

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
  if (!out)
    throw std::runtime_error("cannot write " + path);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

std::string ReadBytes(const std::string& path, uint64_t offset, size_t size) {
  std::ifstream in(path, std::ios::binary);
  in.seekg(static_cast<std::streamoff>(offset));
  std::string bytes(size, '\0');
  in.read(bytes.data(), static_cast<std::streamsize>(size));
  bytes.resize(static_cast<size_t>(in.gcount()));
  return bytes;
}

bool Exists(const std::string& path) {
  struct stat st {};
  return lstat(path.c_str(), &st) == 0;
}

void MakeFolder(const std::string& dir, const std::string& id_text,
                const std::string& data, const std::string& info) {
  MakeDir(dir + "/" + id_text);
  WriteFile(dir + "/" + id_text + "/item", "inside the content directory\n");
  WriteFile(dir + "/" + id_text + ".dat", data);
  WriteFile(dir + "/" + id_text + "_.dat", info);
}

std::string Header(uint64_t changed_id, uint64_t mode) {
  std::string header(24, '\0');
  header[0] = 1;
  for (int i = 0; i < 8; ++i) {
    header[8 + i] = static_cast<char>(changed_id >> (8 * i));
    header[16 + i] = static_cast<char>(mode >> (8 * i));
  }
  return header;
}

Child::~Child() {
  if (pid > 0) {
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
  }
}

void Start(Child& child, const std::vector<std::string>& argv) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, child.out_path.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addopen(&actions, 2, child.err_path.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0600);
  std::vector<char*> args;
  for (const auto& arg : argv)
    args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);

  pid_t pid = 0;
  int rc = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0)
    throw std::runtime_error("cannot start " + argv[0]);
  child.pid = pid;
}

RunResult Wait(Child& child, int timeout_seconds) {
  RunResult result;
  auto deadline =
      std::chrono::steady_clock::now() + std::chrono::seconds(timeout_seconds);
  int wstatus = 0;
  while (waitpid(child.pid, &wstatus, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      result.timed_out = true;
      kill(child.pid, SIGKILL);
      waitpid(child.pid, &wstatus, 0);
      break;
    }
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
  child.pid = -1;
  if (WIFEXITED(wstatus))
    result.status = WEXITSTATUS(wstatus);
  result.out = ReadFile(child.out_path);
  result.err = ReadFile(child.err_path);
  return result;
}

RunResult RunProgram(const std::vector<std::string>& argv,
                     int timeout_seconds) {
  Child child;
  Start(child, argv);
  return Wait(child, timeout_seconds);
}

RunResult RunTool(const std::vector<std::string>& args) {
  std::vector<std::string> argv = ToolCommand();
  argv.insert(argv.end(), args.begin(), args.end());
  return RunProgram(argv);
}

void FolderTest::Reset() const {
  fs::remove_all(target);
  MakeDir(target);
}
