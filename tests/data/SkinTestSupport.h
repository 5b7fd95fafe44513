// Building, loading and inspecting skin containers in the data tests.
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "data/MemoryStream.h"
#include "data/SkinStore.h"

std::vector<uint8_t> ReadTestFile(const std::string& path);

// Compiles skin source text (bitmaps resolve against the default skin's
// folder) into a container, and checks that dumping that container and
// compiling the dump gives the same bytes again.
std::vector<uint8_t> BuildContainer(const std::string& source);
// The same without the round-trip check, for containers that are damaged
// on purpose and so cannot be dumped whole.
std::vector<uint8_t> BuildContainerUnchecked(const std::string& source);
// Dumps a container to source text and compiles that text again.
std::vector<uint8_t> DumpAndRebuild(const std::vector<uint8_t>& container);

// The unpacked stream of a container, and a container of a stream.
std::vector<uint8_t> Unpack(const std::vector<uint8_t>& container);
std::vector<uint8_t> Pack(const std::vector<uint8_t>& stream);

MemoryStream StreamOf(const std::vector<uint8_t>& bytes);
// A store loaded from the container; null when the load fails.
std::unique_ptr<SkinStore> LoadStore(const std::vector<uint8_t>& container);

// The object of that name as the type the test expects. A missing object or
// one of another type ends the test with an exception GoogleTest reports as
// its failure: never a dereferenced null.
template <class T>
T& Find(SkinStore& store, const char* name)
{
    T* object = dynamic_cast<T*>(store.FindObject(name));
    if (!object)
        throw std::runtime_error(std::string("no object \"") + name + "\" of the expected type");
    return *object;
}

// Runs a program of this build; returns its exit code, with its standard
// output and error in `output`.
int RunProgram(const std::string& commandLine, std::string& output);
std::string TestOutputPath(const std::string& name);
bool FileExists(const std::string& path);
