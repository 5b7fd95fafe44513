// The program ships as one file that must start on a bare Windows: it may
// import only from DLLs that every Windows has.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace {

std::vector<unsigned char> ReadFile(const char* path)
{
    std::ifstream file(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

template <typename T>
bool ReadAt(const std::vector<unsigned char>& image, size_t offset, T* value)
{
    if (offset > image.size() || image.size() - offset < sizeof(T))
        return false;
    memcpy(value, image.data() + offset, sizeof(T));
    return true;
}

// Maps a relative virtual address to a file offset through the section table.
bool RvaToOffset(const std::vector<unsigned char>& image, size_t sections, unsigned count, DWORD rva,
                 size_t* offset)
{
    for (unsigned i = 0; i < count; ++i) {
        IMAGE_SECTION_HEADER section;
        if (!ReadAt(image, sections + i * sizeof section, &section))
            return false;
        const DWORD size = std::max(section.Misc.VirtualSize, section.SizeOfRawData);
        if (rva >= section.VirtualAddress && rva < section.VirtualAddress + size) {
            *offset = rva - section.VirtualAddress + section.PointerToRawData;
            return true;
        }
    }
    return false;
}

// The lower-cased names of the DLLs a PE32 or PE32+ file imports from.
std::set<std::string> ImportedDlls(const std::vector<unsigned char>& image, WORD* machine)
{
    std::set<std::string> names;
    IMAGE_DOS_HEADER dos;
    IMAGE_FILE_HEADER fileHeader;
    WORD magic = 0;
    if (!ReadAt(image, 0, &dos) || dos.e_magic != IMAGE_DOS_SIGNATURE ||
        !ReadAt(image, dos.e_lfanew + 4, &fileHeader) || !ReadAt(image, dos.e_lfanew + 24, &magic))
        return names;
    *machine = fileHeader.Machine;
    const size_t optional = dos.e_lfanew + 24;
    const size_t sections = optional + fileHeader.SizeOfOptionalHeader;
    IMAGE_DATA_DIRECTORY imports = {};
    const size_t directories = optional + (magic == IMAGE_NT_OPTIONAL_HDR64_MAGIC ? 112 : 96);
    if (!ReadAt(image, directories + IMAGE_DIRECTORY_ENTRY_IMPORT * sizeof imports, &imports))
        return names;
    size_t descriptor;
    if (!RvaToOffset(image, sections, fileHeader.NumberOfSections, imports.VirtualAddress, &descriptor))
        return names;
    for (IMAGE_IMPORT_DESCRIPTOR entry; ReadAt(image, descriptor, &entry) && entry.Name;
         descriptor += sizeof entry) {
        size_t nameOffset;
        if (!RvaToOffset(image, sections, fileHeader.NumberOfSections, entry.Name, &nameOffset))
            break;
        std::string name;
        for (size_t i = nameOffset; i < image.size() && image[i]; ++i)
            name += static_cast<char>(tolower(image[i]));
        names.insert(name);
    }
    return names;
}

void ExpectOnlySystemImports(const char* path, WORD expectedMachine)
{
    static const std::set<std::string> allowed = {
        "kernel32.dll", "user32.dll",   "gdi32.dll",   "advapi32.dll", "crypt32.dll",
        "winscard.dll", "comctl32.dll", "shell32.dll", "msvcrt.dll"};
    const std::vector<unsigned char> image = ReadFile(path);
    ASSERT_FALSE(image.empty()) << path;
    WORD machine = 0;
    const std::set<std::string> imported = ImportedDlls(image, &machine);
    EXPECT_EQ(expectedMachine, machine) << path;
    EXPECT_TRUE(imported.count("kernel32.dll")) << path;
    for (const std::string& dll : imported)
        EXPECT_TRUE(allowed.count(dll)) << path << " imports " << dll;
}

TEST(ImportTable, ShippedProgramImportsOnlySystemDlls)
{
    ExpectOnlySystemImports(SSO_SHIPPED_EXE, IMAGE_FILE_MACHINE_I386);
}

TEST(ImportTable, ProgramBuiltForThisMachineImportsOnlySystemDlls)
{
    ExpectOnlySystemImports(SSO_RUN_EXE, sizeof(void*) == 8 ? IMAGE_FILE_MACHINE_AMD64 : IMAGE_FILE_MACHINE_I386);
}

}  // namespace
