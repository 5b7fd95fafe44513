// Whether the person asked the system for high contrast. The engine asks
// only here, so that tests can give the answer instead of the system.
#pragma once

using HighContrastQuery = bool (*)();

// True while SPI_GETHIGHCONTRAST reports HCF_HIGHCONTRASTON (or while the
// replaced query says so).
bool HighContrastOn();
// Replaces the question; null asks the system again.
void SetHighContrastQuery(HighContrastQuery query);
