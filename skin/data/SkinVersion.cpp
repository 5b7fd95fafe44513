#include "data/SkinVersion.h"

#include <atomic>

namespace {

uint16_t Pack(SkinVersion version)
{
    return static_cast<uint16_t>(version.major << 8 | version.minor);
}

std::atomic<uint16_t> g_currentVersion{Pack({kSkinMajorVersion, kSkinNewestMinorVersion})};

}  // namespace

SkinVersion CurrentSkinVersion()
{
    const uint16_t packed = g_currentVersion.load();
    return {static_cast<uint8_t>(packed >> 8), static_cast<uint8_t>(packed & 0xFF)};
}

void SetCurrentSkinVersion(SkinVersion version)
{
    g_currentVersion.store(Pack(version));
}

void ResetCurrentSkinVersion()
{
    SetCurrentSkinVersion({kSkinMajorVersion, kSkinNewestMinorVersion});
}
