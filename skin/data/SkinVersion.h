// The container version whose rules the record readers and writers follow.
//
// One pair for the whole process: a load sets it from the header before the
// objects are read, and emptying a store sets it back to the newest version.
#pragma once

#include <cstdint>

struct SkinVersion {
    uint8_t major;
    uint8_t minor;
};

const uint8_t kSkinMajorVersion = 1;
const uint8_t kSkinNewestMinorVersion = 11;

SkinVersion CurrentSkinVersion();
void SetCurrentSkinVersion(SkinVersion version);
// Back to 1.11, the rules of files written by this system.
void ResetCurrentSkinVersion();
