// One connection's view of a simulated card: which file is selected, and
// the answers to the commands the card understands (ISO/IEC 7816-4 short
// APDUs): SELECT of the master file 3F00 and of the elementary file FE14,
// and READ BINARY of the selected file.
#pragma once

#include "Scenario.h"

#include <cstddef>
#include <cstdint>

class CardSession {
public:
    // The response data followed by the two status bytes. The card is read
    // as the scenario describes it now; only the selection is remembered.
    Bytes Transmit(const SimCard& card, const uint8_t* command, size_t length);

private:
    Bytes Select(const SimCard& card, uint8_t p1, uint8_t p2, const Bytes& data);
    Bytes ReadBinary(const SimCard& card, uint8_t p1, uint8_t p2, size_t expected);

    bool numberFileSelected_ = false;  // the master file is selected otherwise
};
