// EncodeFile: writes a copy of a file with the low four bits of every byte
// flipped by the low four bits of a seed; encoding the copy again with the
// same seed restores the original exactly.
#pragma once

#include <cstdint>

#include "base/text.h"
#include "platform/common/file_slots.h"
#include "platform/file_system.h"

namespace kavrolin::toolkit::scramble {

// Reads pFileS through slot 1 and writes pFileD through slot 2 of `slots`
// (the thread's table, platform::FileSlots::ThisThread(), for the member):
// every byte b, zero bytes included, becomes b XOR (pSeed AND 15), the full
// 32-bit pSeed taken without a range check. No byte past the end is read.
//
// The destination is written as a new file that takes pFileD's place only
// once the whole source has been encoded: on any failure pFileD is as it
// was. Slots 1 and 2 are closed on entry (releasing what an interrupted call
// left) and again before returning.
//
// Guarded: true when the destination holds the whole encoding. False, with
// no message, when the source does not exist (nothing is created), when the
// two paths name the same file (nothing is touched), when the destination is
// read-only or a folder or its folder is missing, or on any other failure.
bool EncodeFile(platform::FileSystem& files, platform::FileSlots& slots, TextView pFileS,
                TextView pFileD, int32_t pSeed);

}  // namespace kavrolin::toolkit::scramble
