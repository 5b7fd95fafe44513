#include "controls/CodePatch.h"

#include <cstring>
#include <mutex>
#include <vector>

namespace {

const uint8_t kJumpOpcode = 0xE9;
const uint8_t kHotPatchNop[8] = {0x48, 0x8D, 0xA4, 0x24, 0x00, 0x00, 0x00, 0x00};  // lea rsp, [rsp+0]
const int kStubSize = 16;
const uint64_t kReach = 0x7FFF0000;  // a little under 2 GB, so a whole allocation stays in reach

uint64_t AddressOf(const void* pointer)
{
    return static_cast<uint64_t>(reinterpret_cast<uintptr_t>(pointer));
}

bool StartsWithJumpThrough(const uint8_t* code)
{
    return code[0] == 0xFF && code[1] == 0x25;
}

// The pointer an FF 25 jump at `code` reads: absolute in 32-bit code,
// relative to the next instruction in 64-bit code.
uint64_t JumpPointerAddress(const uint8_t* code, uint64_t address, X86Mode mode)
{
    int32_t displacement;
    memcpy(&displacement, code + 2, sizeof displacement);
    if (mode == X86Mode::k32)
        return static_cast<uint32_t>(displacement);
    return address + 6 + displacement;
}

// Writes `count` bytes of live code. Bytes that lie within one aligned
// 8-byte word are stored with one locked write, so a thread running the
// code never sees a half-written jump.
void WriteCode(uint8_t* at, const uint8_t* bytes, int count)
{
    uint8_t* word = reinterpret_cast<uint8_t*>(reinterpret_cast<uintptr_t>(at) & ~static_cast<uintptr_t>(7));
    const int offset = static_cast<int>(at - word);
    if (offset + count > 8) {
        memcpy(at, bytes, count);
        return;
    }
    LONG64 value;
    memcpy(&value, word, sizeof value);
    memcpy(reinterpret_cast<uint8_t*>(&value) + offset, bytes, count);
    InterlockedExchange64(reinterpret_cast<LONG64 volatile*>(word), value);
}

// The stub near a function that carries its jump on to the dispatcher.
void EncodeStub(uint8_t* stub, uint64_t dispatcher, X86Mode mode)
{
    if (mode == X86Mode::k32) {
        EncodeJump(stub, AddressOf(stub), dispatcher);
        return;
    }
    const uint8_t jumpThroughNext[6] = {0xFF, 0x25, 0, 0, 0, 0};  // jmp [rip+0]
    memcpy(stub, jumpThroughNext, sizeof jumpThroughNext);
    memcpy(stub + sizeof jumpThroughNext, &dispatcher, sizeof dispatcher);
}

BOOL Fail(DWORD error)
{
    SetLastError(error);
    return FALSE;
}

}  // namespace

const char* PatchResultText(PatchResult result)
{
    switch (result) {
    case PatchResult::kNotTried:
        return "not tried";
    case PatchResult::kPatched:
        return "patched";
    case PatchResult::kNoFunction:
        return "function not found";
    case PatchResult::kSharedTarget:
        return "starts where another redirected function starts";
    case PatchResult::kBadTrampoline:
        return "trampoline not in its forwarding state";
    case PatchResult::kUnknownStart:
        return "unknown start";
    case PatchResult::kTooShort:
        return "flow ends before five bytes";
    case PatchResult::kTooLong:
        return "instructions too long for a trampoline";
    case PatchResult::kOutOfReach:
        return "jump or relative operand out of reach";
    case PatchResult::kNoNearMemory:
        return "no free memory within 2 GB";
    case PatchResult::kNotWritable:
        return "code not writable";
    }
    return "?";
}

bool JumpReaches(uint64_t from, uint64_t to, X86Mode mode)
{
    if (mode == X86Mode::k32)
        return true;
    const int64_t distance = static_cast<int64_t>(to - (from + kJumpSize));
    return distance >= INT32_MIN && distance <= INT32_MAX;
}

void EncodeJump(uint8_t* at, uint64_t from, uint64_t to)
{
    const int32_t distance = static_cast<int32_t>(to - (from + kJumpSize));
    at[0] = kJumpOpcode;
    memcpy(at + 1, &distance, sizeof distance);
}

bool IsJumpTo(const uint8_t* code, uint64_t address, uint64_t to, X86Mode mode)
{
    if (code[0] != kJumpOpcode)
        return false;
    int32_t distance;
    memcpy(&distance, code + 1, sizeof distance);
    const uint64_t destination = address + kJumpSize + distance;
    return mode == X86Mode::k32 ? (destination & 0xFFFFFFFFu) == to : destination == to;
}

bool IsForwardingTrampoline(const uint8_t* trampoline)
{
    return trampoline[0] == 0x90 && trampoline[1] == 0x90 && trampoline[2] == 0xE8 && trampoline[7] == 0xFF &&
           trampoline[8] == 0xE0;
}

uint64_t ForwardingRoutine(const uint8_t* trampoline, uint64_t address)
{
    int32_t distance;
    memcpy(&distance, trampoline + 3, sizeof distance);
    return address + 7 + distance;
}

PatchResult CountTakenBytes(const uint8_t* code, X86Mode mode, int* taken)
{
    int covered = 0;
    while (covered < kJumpSize) {
        const X86Instruction instruction = X86Decode(code + covered, kTrampolineSize, mode);
        if (instruction.length == 0)
            return PatchResult::kUnknownStart;
        covered += instruction.length;
        if (instruction.endsFlow)
            break;
    }
    if (covered < kJumpSize)
        return PatchResult::kTooShort;
    if (covered > kMaxTaken)
        return PatchResult::kTooLong;
    *taken = covered;
    return PatchResult::kPatched;
}

PatchResult BuildTrampoline(uint8_t* trampoline, uint64_t trampolineAddress, const uint8_t* target,
                            uint64_t targetAddress, int taken, X86Mode mode)
{
    const uint64_t back = targetAddress + taken;
    const uint64_t jumpAt = trampolineAddress + taken;
    if (!X86Relocate(target, targetAddress, trampoline, trampolineAddress, taken, mode) ||
        !JumpReaches(jumpAt, back, mode))
        return PatchResult::kOutOfReach;
    EncodeJump(trampoline + taken, jumpAt, back);
    trampoline[kTakenCountIndex] = static_cast<uint8_t>(taken);
    return PatchResult::kPatched;
}

DWORD CheckTrampolinePatch(const uint8_t* trampoline, uint64_t trampolineAddress, const uint8_t* target,
                           uint64_t targetAddress, uint64_t dispatcher, X86Mode mode)
{
    const int taken = trampoline[kTakenCountIndex];
    if (taken < 1 || taken > kTrampolineSize - 2)
        return ERROR_INVALID_BLOCK;
    // A count that leaves no room for the JMP back cannot be ours either.
    if (taken + kJumpSize > kTakenCountIndex ||
        !IsJumpTo(trampoline + taken, trampolineAddress + taken, targetAddress + taken, mode))
        return ERROR_INVALID_DATA;
    if (!IsJumpTo(target, targetAddress, dispatcher, mode))
        return ERROR_INVALID_DATA;
    return ERROR_SUCCESS;
}

EntryKind ClassifyEntry(const uint8_t* code, uint64_t address, X86Mode mode)
{
    if (memcmp(code, kHotPatchNop, sizeof kHotPatchNop) == 0)
        return EntryKind::kHotPatchNop;
    if (StartsWithJumpThrough(code))
        return EntryKind::kJumpThrough;
    int at = 0;
    X86Instruction instruction;
    while (at < kTrampolineSize) {
        instruction = X86Decode(code + at, kTrampolineSize - at, mode);
        if (instruction.length == 0)
            return EntryKind::kNone;
        // A relative operand reaching out of the block would need moving.
        if (instruction.relativeSize) {
            const uint64_t destination = X86RelativeDestination(code + at, instruction, address + at, mode);
            if (destination < address || destination > address + kTrampolineSize)
                return EntryKind::kNone;
        }
        at += instruction.length;
    }
    return instruction.endsFlow ? EntryKind::kSelfContained : EntryKind::kNone;
}

WritableCode::WritableCode(void* address, size_t size) : address_(address), size_(size)
{
    writable_ = VirtualProtect(address, size, PAGE_EXECUTE_READWRITE, &oldProtection_) != 0;
}

WritableCode::~WritableCode()
{
    if (!writable_)
        return;
    DWORD ignored;
    VirtualProtect(address_, size_, oldProtection_, &ignored);
    FlushInstructionCache(GetCurrentProcess(), address_, size_);
}

uint8_t* AllocateNearCode(const void* nearTo, size_t size)
{
    struct Block {
        uint8_t* base;
        size_t used;
    };
    static std::mutex lock;
    static std::vector<Block> blocks;
    const size_t kBlockSize = 4096;
    const uint64_t nearAddress = AddressOf(nearTo);
    std::lock_guard<std::mutex> guard(lock);
    for (Block& block : blocks) {
        const uint64_t base = AddressOf(block.base);
        const uint64_t distance = base > nearAddress ? base - nearAddress : nearAddress - base;
        if (block.used + size <= kBlockSize && distance < kReach) {
            uint8_t* memory = block.base + block.used;
            block.used += (size + 15) & ~static_cast<size_t>(15);
            return memory;
        }
    }
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    const uint64_t granularity = system.dwAllocationGranularity;
    const uint64_t start = nearAddress & ~(granularity - 1);
    // Outward from the function, one allocation unit at a time, below and
    // above, until a free unit is found.
    for (uint64_t step = granularity; step < kReach; step += granularity) {
        for (int side = 0; side < 2; ++side) {
            if (side == 0 && start < step)
                continue;
            const uint64_t candidate = side == 0 ? start - step : start + step;
            if (candidate > UINTPTR_MAX - kBlockSize)
                continue;
            MEMORY_BASIC_INFORMATION region;
            void* address = reinterpret_cast<void*>(static_cast<uintptr_t>(candidate));
            if (!VirtualQuery(address, &region, sizeof region) || region.State != MEM_FREE)
                continue;
            void* base = VirtualAlloc(address, kBlockSize, MEM_RESERVE | MEM_COMMIT, PAGE_EXECUTE_READ);
            if (!base)
                continue;
            blocks.push_back(Block{static_cast<uint8_t*>(base), (size + 15) & ~static_cast<size_t>(15)});
            return static_cast<uint8_t*>(base);
        }
    }
    return nullptr;
}

const uint8_t* FollowJump(const uint8_t* code)
{
    const uint64_t address = AddressOf(code);
    if (StartsWithJumpThrough(code)) {
        const uint8_t* destination;
        memcpy(&destination,
               reinterpret_cast<const void*>(static_cast<uintptr_t>(JumpPointerAddress(code, address, kNativeMode))),
               sizeof destination);
        return destination;
    }
    if (code[0] == kJumpOpcode) {
        int32_t distance;
        memcpy(&distance, code + 1, sizeof distance);
        return code + kJumpSize + distance;
    }
    return code;
}

uint8_t* TrampolineFunction(uint8_t* trampoline)
{
    if (!IsForwardingTrampoline(trampoline))
        return nullptr;
    using Routine = void* (*)();
    const uint64_t routine = ForwardingRoutine(trampoline, AddressOf(trampoline));
    return static_cast<uint8_t*>(reinterpret_cast<Routine>(static_cast<uintptr_t>(routine))());
}

PatchResult ApplyTrampolinePatch(TrampolinePatch& patch, uint8_t* trampoline, uint8_t* target, const void* dispatcher)
{
    if (!IsForwardingTrampoline(trampoline))
        return PatchResult::kBadTrampoline;
    int taken = 0;
    const PatchResult counted = CountTakenBytes(target, kNativeMode, &taken);
    if (counted != PatchResult::kPatched)
        return counted;
    uint8_t image[kTrampolineSize];
    memcpy(image, trampoline, sizeof image);
    const PatchResult built =
        BuildTrampoline(image, AddressOf(trampoline), target, AddressOf(target), taken, kNativeMode);
    if (built != PatchResult::kPatched)
        return built;
    if (!JumpReaches(AddressOf(target), AddressOf(dispatcher), kNativeMode))
        return PatchResult::kOutOfReach;
    WritableCode writableTrampoline(trampoline, kTrampolineSize);
    WritableCode writableTarget(target, kJumpSize);
    if (!writableTrampoline || !writableTarget)
        return PatchResult::kNotWritable;
    memcpy(patch.forwarding, trampoline, kTrampolineSize);
    memcpy(trampoline, image, kTrampolineSize);
    uint8_t jump[kJumpSize];
    EncodeJump(jump, AddressOf(target), AddressOf(dispatcher));
    WriteCode(target, jump, kJumpSize);
    patch.trampoline = trampoline;
    patch.target = target;
    patch.dispatcher = dispatcher;
    patch.applied = true;
    return PatchResult::kPatched;
}

BOOL RemoveTrampolinePatch(TrampolinePatch& patch)
{
    if (!patch.applied)
        return Fail(ERROR_INVALID_HANDLE);
    const DWORD check = CheckTrampolinePatch(patch.trampoline, AddressOf(patch.trampoline), patch.target,
                                             AddressOf(patch.target), AddressOf(patch.dispatcher), kNativeMode);
    if (check != ERROR_SUCCESS)
        return Fail(check);
    const int taken = patch.trampoline[kTakenCountIndex];
    uint8_t original[kTrampolineSize];
    if (!X86Relocate(patch.trampoline, AddressOf(patch.trampoline), original, AddressOf(patch.target), taken,
                     kNativeMode))
        return Fail(ERROR_INVALID_DATA);
    WritableCode writableTrampoline(patch.trampoline, kTrampolineSize);
    WritableCode writableTarget(patch.target, taken);
    if (!writableTrampoline || !writableTarget)
        return Fail(ERROR_INVALID_ACCESS);
    WriteCode(patch.target, original, taken);
    // Back to forwarding, so a later install finds the pattern it checks.
    memcpy(patch.trampoline, patch.forwarding, kTrampolineSize);
    patch.applied = false;
    return TRUE;
}

const void* EntryOriginal(const uint8_t* target, X86Mode mode)
{
    switch (ClassifyEntry(target, AddressOf(target), mode)) {
    case EntryKind::kHotPatchNop:
        return target + sizeof kHotPatchNop;
    case EntryKind::kJumpThrough:
        return FollowJump(target);
    default:
        return target;
    }
}

namespace {

// Makes the near stub (once) and, for a self-contained start, its copy
// (once); both stay for later patches of the same function.
PatchResult PrepareEntryPatch(EntryPatch& patch, uint8_t* target, EntryKind kind, const void* dispatcher)
{
    if (!patch.stub)
        patch.stub = AllocateNearCode(target, kStubSize);
    if (!patch.stub)
        return PatchResult::kNoNearMemory;
    WritableCode writableStub(patch.stub, kStubSize);
    if (!writableStub)
        return PatchResult::kNotWritable;
    EncodeStub(patch.stub, AddressOf(dispatcher), kNativeMode);
    if (kind != EntryKind::kSelfContained || patch.copy)
        return PatchResult::kPatched;
    uint8_t* copy = AllocateNearCode(target, kTrampolineSize);
    if (!copy)
        return PatchResult::kNoNearMemory;
    WritableCode writableCopy(copy, kTrampolineSize);
    if (!writableCopy)
        return PatchResult::kNotWritable;
    if (!X86Relocate(target, AddressOf(target), copy, AddressOf(copy), kTrampolineSize, kNativeMode))
        return PatchResult::kOutOfReach;
    patch.copy = copy;
    return PatchResult::kPatched;
}

}  // namespace

PatchResult ApplyEntryPatch(EntryPatch& patch, uint8_t* target, const void* dispatcher)
{
    const EntryKind kind = ClassifyEntry(target, AddressOf(target), kNativeMode);
    if (kind == EntryKind::kNone)
        return PatchResult::kUnknownStart;
    const PatchResult prepared = PrepareEntryPatch(patch, target, kind, dispatcher);
    if (prepared != PatchResult::kPatched)
        return prepared;
    if (!JumpReaches(AddressOf(target), AddressOf(patch.stub), kNativeMode))
        return PatchResult::kOutOfReach;
    WritableCode writableTarget(target, kJumpSize);
    if (!writableTarget)
        return PatchResult::kNotWritable;
    patch.original = kind == EntryKind::kSelfContained ? patch.copy : EntryOriginal(target, kNativeMode);
    memcpy(patch.saved, target, kJumpSize);
    uint8_t jump[kJumpSize];
    EncodeJump(jump, AddressOf(target), AddressOf(patch.stub));
    WriteCode(target, jump, kJumpSize);
    patch.target = target;
    patch.dispatcher = dispatcher;
    patch.applied = true;
    return PatchResult::kPatched;
}

BOOL RemoveEntryPatch(EntryPatch& patch)
{
    if (!patch.applied)
        return Fail(ERROR_INVALID_HANDLE);
    if (!IsJumpTo(patch.target, AddressOf(patch.target), AddressOf(patch.stub), kNativeMode))
        return Fail(ERROR_INVALID_DATA);
    WritableCode writableTarget(patch.target, kJumpSize);
    if (!writableTarget)
        return Fail(ERROR_INVALID_ACCESS);
    WriteCode(patch.target, patch.saved, kJumpSize);
    patch.applied = false;
    return TRUE;
}
