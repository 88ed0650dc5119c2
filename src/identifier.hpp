// The changed id binds a folder's unique id to the folder's path.  All
// three functions are pure and cannot fail.
#pragma once

#include <cstdint>

// The last non-zero decimal number in the path text, read left to right
// as strtoull reads numbers in base 10; 0 when there is none.
uint64_t GetDirName(const char* target);

// High half 0x00040000; low half the unique id shifted left by 8 bits
// within 32 bits.
uint64_t GenProgramId(int32_t unique_id);

// The program id XOR the directory number XOR the identifier mask.
// Applied twice with the same directory number it gives the program id
// back.
uint64_t ChangeId(uint64_t program_id, uint64_t dir_number);
