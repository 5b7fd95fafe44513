// Redirecting a function of another module to one of ours by rewriting
// the start of its code in memory, while keeping the function's own code
// callable. Two ways, chosen by how far the module lies from us:
//
// - Through a trampoline (32-bit code, where a 5-byte JMP reaches every
//   address): the whole instructions that cover the function's first five
//   bytes move into a 32-byte trampoline of ours, followed by a JMP back;
//   a JMP to our dispatcher replaces them.
// - Through the entry (64-bit code, where the system's modules lie more
//   than 2 GB from the program): the function's start is a hot-patch
//   no-op, a jump through a pointer or a self-contained system-call stub;
//   a JMP to a small stub allocated near the function (which jumps on to
//   the dispatcher) replaces its first five bytes, and the function's own
//   code stays callable after the no-op, through the pointer, or as a copy
//   of the stub.
//
// The byte-level steps are pure functions over copies, so both ways can be
// tested on any build; the Apply and Remove functions touch live code.
#pragma once

#include <windows.h>

#include "controls/X86Decoder.h"

#include <cstdint>

enum class PatchResult {
    kNotTried,
    kPatched,
    kNoFunction,     // the module or the export is not there
    kSharedTarget,   // another redirected function already starts there
    kBadTrampoline,  // the trampoline is not in its forwarding state
    kUnknownStart,   // an instruction the tables do not know, or a start no way accepts
    kTooShort,       // the function's flow ends before five bytes
    kTooLong,        // the instructions covering five bytes are longer than a trampoline holds
    kOutOfReach,     // a moved relative operand or a jump cannot reach its destination
    kNoNearMemory,   // no memory free within 2 GB of the function for its stub
    kNotWritable,    // the code could not be made writable
};

// A short English description of the result.
const char* PatchResultText(PatchResult result);

// The instruction set of the build.
#if defined(__x86_64__) || defined(_M_X64)
const X86Mode kNativeMode = X86Mode::k64;
#else
const X86Mode kNativeMode = X86Mode::k32;
#endif

// ---- Byte-level steps ----------------------------------------------------

const int kJumpSize = 5;  // JMP rel32
const int kTrampolineSize = 32;
const int kTakenCountIndex = 31;  // where a trampoline records how many bytes it took
const int kMaxTaken = 26;         // taken bytes and the JMP back must leave that byte free

// Whether a 5-byte JMP at `from` reaches `to`.
bool JumpReaches(uint64_t from, uint64_t to, X86Mode mode);
// Writes JMP rel32 from `from` to `to` (which it must reach).
void EncodeJump(uint8_t* at, uint64_t from, uint64_t to);
// Whether `code` (at `address`) starts with JMP rel32 to `to`.
bool IsJumpTo(const uint8_t* code, uint64_t address, uint64_t to, X86Mode mode);

// A trampoline still forwarding to its function: NOP NOP, CALL rel32 to a
// routine that returns the function's address, JMP EAX/RAX.
bool IsForwardingTrampoline(const uint8_t* trampoline);
// The routine a forwarding trampoline at `address` calls.
uint64_t ForwardingRoutine(const uint8_t* trampoline, uint64_t address);

// How many bytes of whole instructions cover the first five bytes of
// `code`: kPatched with `taken`, or why not.
PatchResult CountTakenBytes(const uint8_t* code, X86Mode mode, int* taken);

// The content of a trampoline at `trampolineAddress` for the function
// `target` at `targetAddress`: its first `taken` bytes relocated, a JMP
// back to the first byte not taken, and the count in byte 31.
PatchResult BuildTrampoline(uint8_t* trampoline, uint64_t trampolineAddress, const uint8_t* target,
                            uint64_t targetAddress, int taken, X86Mode mode);

// Whether a trampoline and its function are still as a patch left them:
// ERROR_SUCCESS, or ERROR_INVALID_BLOCK (no count in byte 31) or
// ERROR_INVALID_DATA (no JMP back, or the function does not start with
// the JMP to `dispatcher`).
DWORD CheckTrampolinePatch(const uint8_t* trampoline, uint64_t trampolineAddress, const uint8_t* target,
                           uint64_t targetAddress, uint64_t dispatcher, X86Mode mode);

// How a function start can be redirected through its entry.
enum class EntryKind {
    kNone,
    kHotPatchNop,    // 48 8D A4 24 00 00 00 00: the function continues after it
    kJumpThrough,    // FF 25 disp32: the function is the pointer's destination
    kSelfContained,  // whole instructions ending the flow within 32 bytes, movable to anywhere
};
EntryKind ClassifyEntry(const uint8_t* code, uint64_t address, X86Mode mode);

// ---- Live code -----------------------------------------------------------

// A region of code made writable for the scope; the old protection is
// restored and the instruction cache flushed at its end.
class WritableCode {
public:
    WritableCode(void* address, size_t size);
    ~WritableCode();
    WritableCode(const WritableCode&) = delete;
    WritableCode& operator=(const WritableCode&) = delete;
    explicit operator bool() const { return writable_; }

private:
    void* address_;
    size_t size_;
    DWORD oldProtection_ = 0;
    bool writable_;
};

// Executable memory within reach of a 5-byte JMP from `nearTo`. Kept for
// the life of the process, so a thread still passing through a stub after
// a patch was removed never runs freed memory.
uint8_t* AllocateNearCode(const void* nearTo, size_t size);

// The address a function jump (FF 25 through a pointer, or E9) at `code`
// leads to; `code` itself when it starts with neither.
const uint8_t* FollowJump(const uint8_t* code);

// A function redirected through a trampoline of ours.
struct TrampolinePatch {
    uint8_t* trampoline = nullptr;
    uint8_t* target = nullptr;
    const void* dispatcher = nullptr;
    uint8_t forwarding[kTrampolineSize] = {};  // the trampoline's content before, put back at removal
    bool applied = false;
};

// The function a forwarding trampoline leads to (its routine's answer);
// null when it is not forwarding.
uint8_t* TrampolineFunction(uint8_t* trampoline);
PatchResult ApplyTrampolinePatch(TrampolinePatch& patch, uint8_t* trampoline, uint8_t* target, const void* dispatcher);
// Puts the function's bytes and the trampoline's forwarding content back.
// 0 with the last error on failure (ERROR_INVALID_HANDLE when nothing is
// applied, ERROR_INVALID_ACCESS when the code cannot be made writable,
// or those of CheckTrampolinePatch), else 1.
BOOL RemoveTrampolinePatch(TrampolinePatch& patch);

// A function redirected through its entry.
struct EntryPatch {
    uint8_t* target = nullptr;
    const void* dispatcher = nullptr;
    const void* original = nullptr;  // the function's own code, callable while patched
    uint8_t* stub = nullptr;         // near stub: JMP [RIP+0] and the dispatcher's address
    uint8_t* copy = nullptr;         // a self-contained start, copied whole
    uint8_t saved[kJumpSize] = {};
    bool applied = false;
};

// Where the function at `target` continues when its start is skipped:
// after a hot-patch no-op, at a jump's destination, else itself.
const void* EntryOriginal(const uint8_t* target, X86Mode mode);
PatchResult ApplyEntryPatch(EntryPatch& patch, uint8_t* target, const void* dispatcher);
// Puts the saved bytes back; 0 with the last error (as for trampolines)
// when the function no longer starts with the JMP to the stub, else 1.
BOOL RemoveEntryPatch(EntryPatch& patch);
