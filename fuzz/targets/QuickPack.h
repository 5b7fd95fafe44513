// A skin container of an unpacked skin stream, packed with LZO1X-1: the
// engine unpacks any LZO1X stream, and the fast compressor keeps each fuzz
// run short (the shipped containers use LZO1X-999).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

std::vector<uint8_t> QuickPack(const uint8_t* stream, size_t size);
