#include "identifier.hpp"

#include <gtest/gtest.h>

namespace {

constexpr uint64_t kAllOnes = ~uint64_t{0};

struct DirCase {
  const char* path;
  uint64_t number;
};

TEST(GetDirName, ReadsTheLastNonZeroDecimalNumber) {
  const DirCase cases[] = {
      {"/data/box/517", 517},
      {"/data/box/007", 7},
      {"/data/12/0", 12},
      {"/data/1a2b", 2},
      {"/data/12-5", 5},
      {"/data/ab-5", kAllOnes - 4},
      {"/data/12 -5", kAllOnes - 4},
      {"/data/0x12", 12},
      {"/data/99999999999999999999", kAllOnes},
      {"/data/-99999999999999999999", kAllOnes},
      {"/data/18446744073709551615", kAllOnes},
      {"/data/18446744073709551616", kAllOnes},
      {"/3/data/", 3},
      {"/data/4/+8", 8},
      {"5", 5},
      {".", 0},
      {"", 0},
      {"/data/box/", 0},
  };
  for (const auto& c : cases)
    EXPECT_EQ(GetDirName(c.path), c.number) << c.path;
}

TEST(GenProgramId, ShiftsTheUniqueIdIntoTheLowHalf) {
  EXPECT_EQ(GenProgramId(1), 0x0004000000000100u);
  EXPECT_EQ(GenProgramId(0x5a), 0x0004000000005a00u);
  // The top eight bits fall away.
  EXPECT_EQ(GenProgramId(0x12345678), GenProgramId(0x7f345678));
  EXPECT_EQ(GenProgramId(0x12345678), 0x0004000034567800u);
  // Bit 23 set: the high half stays 0x00040000.
  EXPECT_EQ(GenProgramId(0x7fffffff), 0x00040000ffffff00u);
  EXPECT_EQ(GenProgramId(-1), 0x00040000ffffff00u);
  EXPECT_EQ(GenProgramId(INT32_MIN), 0x0004000000000000u);
}

TEST(ChangeId, XorsWithTheDirectoryNumberAndTheMask) {
  EXPECT_EQ(ChangeId(0, 0), 0x913E0C7B2B6D81A4u);
  EXPECT_EQ(ChangeId(GenProgramId(0x5a), 517),
            0x0004000000005a00u ^ 517u ^ 0x913E0C7B2B6D81A4u);
  const uint64_t program_ids[] = {GenProgramId(1), GenProgramId(-1), 0,
                                  kAllOnes};
  const uint64_t numbers[] = {0, 517, kAllOnes - 4, kAllOnes};
  for (uint64_t program_id : program_ids) {
    for (uint64_t number : numbers) {
      EXPECT_EQ(ChangeId(ChangeId(program_id, number), number), program_id);
      EXPECT_EQ(ChangeId(program_id, number), ChangeId(number, program_id));
    }
  }
}

}  // namespace
