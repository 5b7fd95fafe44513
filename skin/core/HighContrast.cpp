#include "core/HighContrast.h"

#include <windows.h>

#include <atomic>

namespace {

bool AskSystem()
{
    HIGHCONTRASTA contrast = {sizeof contrast, 0, nullptr};
    return SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
           (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

std::atomic<HighContrastQuery> g_query{AskSystem};

}  // namespace

bool HighContrastOn()
{
    return g_query.load()();
}

void SetHighContrastQuery(HighContrastQuery query)
{
    g_query.store(query ? query : AskSystem);
}
