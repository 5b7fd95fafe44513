#include "QuickPack.h"

#include <lzo/lzo1x.h>

#include <cstdlib>

std::vector<uint8_t> QuickPack(const uint8_t* stream, size_t size)
{
    // LZO1X's documented worst case for incompressible input.
    std::vector<uint8_t> container(4 + size + size / 16 + 64 + 3);
    std::vector<uint8_t> work(LZO1X_1_MEM_COMPRESS);
    lzo_uint packed = container.size() - 4;
    if (lzo_init() != LZO_E_OK ||
        lzo1x_1_compress(stream, static_cast<lzo_uint>(size), container.data() + 4, &packed, work.data()) != LZO_E_OK)
        std::abort();
    for (int i = 0; i < 4; ++i)
        container[i] = static_cast<uint8_t>(size >> (8 * i));
    container.resize(4 + packed);
    return container;
}
