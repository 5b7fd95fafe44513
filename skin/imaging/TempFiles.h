// Files the engine writes for others to read: a resource copied out to a
// file, and unique temporary names for such files.
#pragma once

#include <windows.h>

#include <cstddef>

// Writes the resource (name, type) of `module` to `path`, replacing the
// file. Returns 1 on success; 0 when the resource is missing, the file
// cannot be opened or not every byte could be written (a partly written
// file is removed).
int ExtractResourceToFile(const char* path, HMODULE module, const char* name, const char* type);
// The same for a resource already found.
int ExtractResourceToFile(const char* path, HMODULE module, HRSRC resource);

// A fresh unique file name in the temporary directory (or in fallbackDir
// when there is none); the system creates the file empty. When no unique
// name can be made, fallbackDir joined with fileName. With an extension,
// "." and the extension are appended. Returns false, leaving out empty,
// only when the result does not fit outSize bytes. outSize is taken
// rather than assuming MAX_PATH: the caller's buffer may be smaller.
bool MakeTempFilePath(char* out, size_t outSize, const char* fileName, const char* fallbackDir, const char* extension);

// A temporary file for the length of a scope, named as MakeTempFilePath
// names it. The empty file the system made for the unique name stays
// until the named file is gone: while it exists no other caller gets that
// unique name, so the name with the extension is ours alone. Both files
// are removed by Remove or at the end of the scope.
class TempFile {
public:
    TempFile(const char* fileName, const char* fallbackDir, const char* extension);
    ~TempFile() { Remove(); }

    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    // "" when no name fits.
    const char* Path() const { return path_; }
    // Deletes the file, then the system's empty one; true when neither is
    // left (a file still open elsewhere may refuse to go).
    bool Remove();

private:
    char path_[MAX_PATH] = {};
    char reserved_[MAX_PATH] = {};  // the system's empty file; "" when none was made
};

// dir and fileName joined by one backslash; a backslash that is the
// second byte of a double-byte character does not end dir. False, leaving
// out empty, when the result does not fit.
bool JoinPath(char* out, size_t outSize, const char* dir, const char* fileName);
