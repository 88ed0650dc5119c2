// The command line end to end: arguments, messages, exit status and the
// folder states a run meets.
#include <gtest/gtest.h>

#include <filesystem>

#include "identifier.hpp"
#include "test_support.hpp"

namespace {

using CommandLine = FolderTest;

TEST_F(CommandLine, TypicalRunConvertsThenRefusesASecondRun) {
  MakeFolder(target, "00000000");
  RunResult first = RunTool({target, "5a"});
  EXPECT_EQ(first.out, "");
  EXPECT_EQ(first.err, "");
  EXPECT_EQ(first.status, 0);
  EXPECT_FALSE(Exists(At("00000000")));
  EXPECT_FALSE(Exists(At("00000000.dat")));
  EXPECT_FALSE(Exists(At("00000000_.dat")));
  EXPECT_EQ(ReadFile(At("0000005a/item")), "inside the content directory\n");
  EXPECT_EQ(ReadFile(At("0000005a.dat")), "content data\n");
  EXPECT_EQ(ReadFile(At("0000005a_.dat")), Header(kChangedId5a, 2));

  RunResult second = RunTool({target, "5a"});
  EXPECT_EQ(second.out, Lines("Error.\nAlready new version.\n"));
  EXPECT_EQ(second.status, kFailed);
  EXPECT_EQ(ReadFile(At("0000005a_.dat")), Header(kChangedId5a, 2));
}

TEST_F(CommandLine, FewerThanTwoArgumentsPrintsTheUsageAlone) {
  const std::string usage =
      "Usage: " + ToolPath() + " <TargetDir> <UniqueId>\n";
  for (const auto& args : std::vector<std::vector<std::string>>{{}, {target}}) {
    RunResult r = RunTool(args);
    if (ToolLeg() == Leg::kWine) {
      // Windows hands the program its full Windows path as argv[0].
      EXPECT_EQ(r.out.rfind("Usage: ", 0), 0u) << r.out;
      EXPECT_NE(r.out.find("folder-migrate.exe <TargetDir> <UniqueId>\r\n"),
                std::string::npos)
          << r.out;
    } else {
      EXPECT_EQ(r.out, usage);
    }
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.status, kFailed);
  }
}

TEST_F(CommandLine, ExtraArgumentsAreIgnored) {
  MakeFolder(target, "00000000");
  RunResult r = RunTool({target, "5a", "extra", "--help"});
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(ReadFile(At("0000005a_.dat")), Header(kChangedId5a, 2));
}

TEST_F(CommandLine, TargetThatIsNotADirectoryIsRefused) {
  WriteFile(At("plain"), "x");
  for (const std::string& bad :
       {At("plain"), At("missing"), std::string(), At("plain") + "/"}) {
    RunResult r = RunTool({bad, "5a"});
    EXPECT_EQ(r.out, Lines("Error.\nCannot open dir : " + bad + "\n"));
    EXPECT_EQ(r.status, kFailed);
  }
}

TEST_F(CommandLine, UniqueIdThatParsesToZeroIsRefused) {
  MakeFolder(target, "00000000");
  for (const char* bad : {"0", "0x0", "xyz", "", "-0", " ", "0x", "g5"}) {
    RunResult r = RunTool({target, bad});
    EXPECT_EQ(r.out,
              Lines(std::string("Error.\nInvalid UniqueId : ") + bad + "\n"));
    EXPECT_EQ(r.status, kFailed);
  }
  EXPECT_TRUE(Exists(At("00000000")));
  EXPECT_EQ(ReadFile(At("00000000_.dat")), "");
}

TEST_F(CommandLine, TargetIsTestedBeforeTheUniqueId) {
  RunResult r = RunTool({At("missing"), "xyz"});
  EXPECT_EQ(r.out, Lines("Error.\nCannot open dir : " + At("missing") + "\n"));
  EXPECT_EQ(r.status, kFailed);
}

struct IdCase {
  const char* arg;
  const char* id_text;
  int32_t id;
};

TEST_F(CommandLine, UniqueIdFormsAndSaturation) {
  const IdCase cases[] = {
      {"5a", "0000005a", 0x5a},
      {"0x5A", "0000005a", 0x5a},
      {"5A", "0000005a", 0x5a},
      {" 5a", "0000005a", 0x5a},
      {"\t\n+5a", "0000005a", 0x5a},
      {"5az", "0000005a", 0x5a},
      {"0X5a/", "0000005a", 0x5a},
      {"7fffffff", "7fffffff", 0x7fffffff},
      {"80000000", "7fffffff", 0x7fffffff},
      {"ffffffff", "7fffffff", 0x7fffffff},
      {"123456789abcdef0123", "7fffffff", 0x7fffffff},
      {"-1", "ffffffff", -1},
      {"-80000000", "80000000", INT32_MIN},
      {"-80000001", "80000000", INT32_MIN},
      {"-123456789abcdef0123", "80000000", INT32_MIN},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.arg);
    Reset();
    MakeFolder(target, "00000000");
    RunResult r = RunTool({target, c.arg});
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.status, 0);
    std::string id_text = c.id_text;
    EXPECT_TRUE(Exists(At(id_text + "/item")));
    EXPECT_TRUE(Exists(At(id_text + ".dat")));
    EXPECT_EQ(ReadFile(At(id_text + "_.dat")),
              Header(ChangeId(GenProgramId(c.id), 517), 2));
  }
}

TEST_F(CommandLine, RenamedButUnmarkedFolderGetsModeOne) {
  MakeFolder(target, "0000005a", "data", std::string(1, '\0'));
  RunResult r = RunTool({target, "5a"});
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(ReadFile(At("0000005a_.dat")), Header(kChangedId5a, 1));
  EXPECT_EQ(ReadFile(At("0000005a.dat")), "data");
}

TEST_F(CommandLine, RenamedFolderWithoutAdditionalInfoIsBrokenData) {
  MakeDir(At("0000005a"));
  WriteFile(At("0000005a.dat"), "data");
  RunResult r = RunTool({target, "5a"});
  EXPECT_EQ(r.out, Lines("Error.\nBroken data.\n"));
  EXPECT_EQ(r.status, kFailed);
  EXPECT_FALSE(Exists(At("0000005a_.dat")));
}

TEST_F(CommandLine, OldLayoutAlreadyMarkedIsRenamedThenRefused) {
  std::string marked = Header(1234, 2);
  MakeFolder(target, "00000000", "data", marked);
  RunResult r = RunTool({target, "5a"});
  EXPECT_EQ(r.out, Lines("Error.\nAlready new version.\n"));
  EXPECT_EQ(r.status, kFailed);
  EXPECT_TRUE(Exists(At("0000005a/item")));
  EXPECT_EQ(ReadFile(At("0000005a_.dat")), marked);
}

TEST_F(CommandLine,
       OldLayoutWhoseAdditionalInfoIsADirectoryIsRefusedBeforeRenaming) {
  MakeDir(At("00000000"));
  WriteFile(At("00000000.dat"), "data");
  MakeDir(At("00000000_.dat"));
  RunResult r = RunTool({target, "5a"});
  EXPECT_EQ(r.out, Lines("Error.\nBroken data.\n"));
  EXPECT_EQ(r.status, kFailed);
  EXPECT_TRUE(Exists(At("00000000")));
  EXPECT_TRUE(Exists(At("00000000.dat")));
  EXPECT_FALSE(Exists(At("0000005a")));
  EXPECT_FALSE(Exists(At("0000005a_.dat")));
}

TEST_F(CommandLine, FileNamedLikeTheUniqueIdContentDirectoryBlocksTheRenames) {
  MakeFolder(target, "00000000");
  WriteFile(At("0000005a"), "not a directory");
  RunResult r = RunTool({target, "5a"});
  EXPECT_EQ(r.out, Lines("Error.\nBroken data or wrong uniqueId.\n"));
  EXPECT_EQ(r.status, kFailed);
  EXPECT_EQ(ReadFile(At("0000005a")), "not a directory");
  EXPECT_TRUE(Exists(At("00000000/item")));
  EXPECT_TRUE(Exists(At("00000000.dat")));
  EXPECT_TRUE(Exists(At("00000000_.dat")));
}

TEST_F(CommandLine, TargetEndingInASlashWorks) {
  MakeFolder(target, "00000000");
  RunResult r = RunTool({target + "/", "5a"});
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(ReadFile(At("0000005a_.dat")), Header(kChangedId5a, 2));
}

TEST_F(CommandLine, RelativeTargetPathIsUsedAsGiven) {
  MakeFolder(target, "00000000");
  std::string relative = std::filesystem::relative(target).string();
  ASSERT_NE(relative.front(), '/');
  RunResult r = RunTool({relative, "5a"});
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(ReadFile(At("0000005a_.dat")), Header(kChangedId5a, 2));
}

TEST_F(CommandLine, NonAsciiFolderNameConvertsAndIsEchoedAsTyped) {
  std::string box = tmp.path + "/bo\xc3\xaete";  // boîte
  MakeDir(box + "/517");
  MakeFolder(box + "/517", "00000000");
  RunResult r = RunTool({box + "/517", "5a"});
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(ReadFile(box + "/517/0000005a_.dat"), Header(kChangedId5a, 2));

  RunResult missing = RunTool({box + "/518", "5a"});
  EXPECT_EQ(missing.out, Lines("Error.\nCannot open dir : " + box + "/518\n"));
  const std::string id = "\xc3\xa9t\xc3\xa9";  // été
  RunResult bad_id = RunTool({box + "/517", id});
  EXPECT_EQ(bad_id.out, Lines("Error.\nInvalid UniqueId : " + id + "\n"));
}

TEST_F(CommandLine, TargetPathLongerThan255CharactersWorks) {
  std::string deep = tmp.path;
  while (deep.size() < 300)
    deep += "/" + std::string(40, 'd');
  deep += "/517";
  MakeDir(deep);
  MakeFolder(deep, "00000000");
  RunResult r = RunTool({deep, "5a"});
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(ReadFile(deep + "/0000005a_.dat"), Header(kChangedId5a, 2));
}

TEST_F(CommandLine, PathTooLongForTheSystemIsReportedByTheStepThatMeetsIt) {
  std::string huge = target + "/" + std::string(300, 'n');
  RunResult r = RunTool({huge, "5a"});
  EXPECT_EQ(r.out, Lines("Error.\nCannot open dir : " + huge + "\n"));
  EXPECT_EQ(r.status, kFailed);
}

}  // namespace
