// Whole-file reading and writing for the skin tools. Writing goes through
// a temporary file that replaces the target only when complete, so a
// failed run never leaves a partial output behind.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

bool ReadFileBytes(const std::string& path, std::vector<uint8_t>& bytes);
bool WriteFileBytes(const std::string& path, const void* bytes, size_t size);
// The directory part of a path ("" for a bare file name), with its
// trailing separator.
std::string DirectoryOf(const std::string& path);
