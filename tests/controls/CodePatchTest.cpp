// Patches applied to functions of the test's own, written into executable
// memory: the function then reaches the dispatcher, its own code stays
// callable, removal puts every byte back, and starts that no way accepts
// are refused and left alone.
#include <windows.h>

#include "controls/CodePatch.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;
using Function = int (*)();

const int kOwnResult = 42;
const int kDispatched = 7;

int Dispatcher()
{
    return kDispatched;
}

int Helper()
{
    return kOwnResult;
}

// mov eax, 42; ret: the same bytes in both instruction sets.
const Bytes kReturns42 = {0xB8, kOwnResult, 0x00, 0x00, 0x00, 0xC3};

// Functions written into executable memory near `nearTo`.
class CodeArea {
public:
    explicit CodeArea(const void* nearTo) : base_(AllocateNearCode(nearTo, 256)) {}

    uint8_t* Write(int offset, const Bytes& bytes)
    {
        WritableCode writable(base_ + offset, bytes.size());
        memcpy(base_ + offset, bytes.data(), bytes.size());
        return base_ + offset;
    }
    uint8_t* At(int offset) const { return base_ + offset; }
    explicit operator bool() const { return base_ != nullptr; }

private:
    uint8_t* base_;
};

const void* CodeAddressOf(Function function)
{
    return reinterpret_cast<const void*>(function);
}

Function AsFunction(const void* code)
{
    return reinterpret_cast<Function>(const_cast<void*>(code));
}

Bytes Snapshot(const uint8_t* code)
{
    return Bytes(code, code + kTrampolineSize);
}

// ---- Through a trampoline ------------------------------------------------

const void* g_routineAnswer = nullptr;

void* Routine()
{
    return const_cast<void*>(g_routineAnswer);
}

// A forwarding trampoline whose routine answers g_routineAnswer.
Bytes ForwardingTrampoline(const uint8_t* at)
{
    Bytes trampoline(kTrampolineSize, 0xCC);
    trampoline[0] = trampoline[1] = 0x90;
    trampoline[2] = 0xE8;
    const int32_t distance =
        static_cast<int32_t>(reinterpret_cast<intptr_t>(&Routine) - reinterpret_cast<intptr_t>(at + 7));
    memcpy(&trampoline[3], &distance, sizeof distance);
    trampoline[7] = 0xFF;
    trampoline[8] = 0xE0;
    trampoline[kTakenCountIndex] = 0;
    return trampoline;
}

class TrampolinePatchTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(area_);
        target_ = area_.Write(0, kReturns42);
        trampoline_ = area_.Write(64, ForwardingTrampoline(area_.At(64)));
        g_routineAnswer = target_;
    }

    CodeArea area_{reinterpret_cast<const void*>(&Dispatcher)};
    uint8_t* target_ = nullptr;
    uint8_t* trampoline_ = nullptr;
    TrampolinePatch patch_;
};

TEST_F(TrampolinePatchTest, FunctionReachesDispatcherAndTrampolineTheFunction)
{
    EXPECT_EQ(kOwnResult, AsFunction(trampoline_)()) << "forwarding before the patch";
    EXPECT_EQ(target_, TrampolineFunction(trampoline_));
    const Bytes targetBefore = Snapshot(target_), trampolineBefore = Snapshot(trampoline_);

    ASSERT_EQ(PatchResult::kPatched, ApplyTrampolinePatch(patch_, trampoline_, target_, CodeAddressOf(Dispatcher)));
    EXPECT_EQ(kDispatched, AsFunction(target_)());
    EXPECT_EQ(kOwnResult, AsFunction(trampoline_)());
    EXPECT_EQ(5, trampoline_[kTakenCountIndex]);
    EXPECT_EQ(0xE9, target_[0]);

    ASSERT_TRUE(RemoveTrampolinePatch(patch_));
    EXPECT_EQ(targetBefore, Snapshot(target_));
    EXPECT_EQ(trampolineBefore, Snapshot(trampoline_)) << "forwarding again, ready for the next patch";
    EXPECT_EQ(kOwnResult, AsFunction(target_)());
    EXPECT_EQ(kOwnResult, AsFunction(trampoline_)());

    SetLastError(0);
    EXPECT_FALSE(RemoveTrampolinePatch(patch_));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), GetLastError());

    // Patched again after the removal.
    ASSERT_EQ(PatchResult::kPatched, ApplyTrampolinePatch(patch_, trampoline_, target_, CodeAddressOf(Dispatcher)));
    EXPECT_EQ(kDispatched, AsFunction(target_)());
    ASSERT_TRUE(RemoveTrampolinePatch(patch_));
    EXPECT_EQ(targetBefore, Snapshot(target_));
}

TEST_F(TrampolinePatchTest, PatchOverwrittenByOthersIsLeftAlone)
{
    ASSERT_EQ(PatchResult::kPatched, ApplyTrampolinePatch(patch_, trampoline_, target_, CodeAddressOf(Dispatcher)));
    // Someone else's jump over ours.
    const Bytes foreign = {0xE9, 0x10, 0x00, 0x00, 0x00};
    area_.Write(0, foreign);
    const Bytes before = Snapshot(target_);
    SetLastError(0);
    EXPECT_FALSE(RemoveTrampolinePatch(patch_));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_DATA), GetLastError());
    EXPECT_EQ(before, Snapshot(target_));
    area_.Write(0, kReturns42);
}

TEST_F(TrampolinePatchTest, RefusedStartsAreLeftAlone)
{
    struct Case {
        const char* name;
        Bytes code;
        int trampolineByte;  // -1: trampoline as made
        PatchResult result;
    };
    const Case cases[] = {
        {"returns at once", {0x33, 0xC0, 0xC3}, -1, PatchResult::kTooShort},
        {"unknown instruction", {0x0F, 0x0F, 0xC1, 0x9E, 0xC3}, -1, PatchResult::kUnknownStart},
        {"trampoline not forwarding", kReturns42, 0, PatchResult::kBadTrampoline},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        area_.Write(64, ForwardingTrampoline(area_.At(64)));
        if (c.trampolineByte >= 0)
            area_.Write(64 + c.trampolineByte, {0xCC});
        area_.Write(0, c.code);
        const Bytes target = Snapshot(target_), trampoline = Snapshot(trampoline_);
        TrampolinePatch patch;
        EXPECT_EQ(c.result, ApplyTrampolinePatch(patch, trampoline_, target_, CodeAddressOf(Dispatcher)));
        EXPECT_FALSE(patch.applied);
        EXPECT_EQ(target, Snapshot(target_));
        EXPECT_EQ(trampoline, Snapshot(trampoline_));
    }
}

// ---- Through the entry ---------------------------------------------------

// Entries written near a system DLL, far from the program on 64-bit
// Windows, as the redirected functions are.
const void* FarFromProgram()
{
    return reinterpret_cast<const void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "GetScrollPos"));
}

// jmp [pointer] with the pointer to Helper right after it: 64-bit code
// reads it relative to the next instruction (displacement 0), 32-bit code
// at an absolute address, filled in once the code's place is known.
Bytes JumpThroughPointer()
{
    Bytes code = {0xFF, 0x25, 0x00, 0x00, 0x00, 0x00};
    const uintptr_t helper = reinterpret_cast<uintptr_t>(&Helper);
    code.insert(code.end(), reinterpret_cast<const uint8_t*>(&helper),
                reinterpret_cast<const uint8_t*>(&helper) + sizeof helper);
    return code;
}

// Returns 42 through a branch inside itself, 32 bytes ending in a return.
const Bytes kSelfContained = {0xB8, kOwnResult, 0,    0,    0,    0x85, 0xC0, 0x75, 0x02, 0x31, 0xC0,
                              0xC3, 0x90,       0x90, 0x90, 0x90, 0x90, 0x90, 0x90, 0x90, 0x90, 0x90,
                              0x90, 0x90,       0x90, 0x90, 0x90, 0x90, 0x90, 0x90, 0x90, 0xC3};

TEST(EntryPatchTest, FunctionReachesDispatcherAndItsOwnCodeStaysCallable)
{
    CodeArea area(FarFromProgram());
    ASSERT_TRUE(area);
    Bytes hotPatch = {0x48, 0x8D, 0xA4, 0x24, 0x00, 0x00, 0x00, 0x00};
    hotPatch.insert(hotPatch.end(), kReturns42.begin(), kReturns42.end());
    Bytes jumpThrough = JumpThroughPointer();
    if (kNativeMode == X86Mode::k32) {
        const uint32_t pointer = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(area.At(64 + 6)));
        memcpy(&jumpThrough[2], &pointer, sizeof pointer);
    }
    struct Case {
        const char* name;
        Bytes code;
        bool originalIsHelper;
    };
    const Case cases[] = {
        {"hot-patch no-op", hotPatch, false},
        {"jump through a pointer", jumpThrough, true},
        {"self-contained stub", kSelfContained, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        uint8_t* target = area.Write(64, c.code);
        const Bytes before = Snapshot(target);
        EntryPatch patch;
        ASSERT_EQ(PatchResult::kPatched, ApplyEntryPatch(patch, target, CodeAddressOf(Dispatcher)));
        EXPECT_EQ(kDispatched, AsFunction(target)());
        EXPECT_EQ(kOwnResult, AsFunction(patch.original)());
        EXPECT_EQ(c.originalIsHelper, patch.original == CodeAddressOf(Helper));
        if (patch.copy) {
            EXPECT_EQ(before, Snapshot(patch.copy));
        }

        ASSERT_TRUE(RemoveEntryPatch(patch));
        EXPECT_EQ(before, Snapshot(target));
        EXPECT_EQ(kOwnResult, AsFunction(target)());
        EXPECT_EQ(kOwnResult, AsFunction(patch.original)()) << "still callable after the removal";

        SetLastError(0);
        EXPECT_FALSE(RemoveEntryPatch(patch));
        EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), GetLastError());
    }
}

TEST(EntryPatchTest, UnexpectedStartIsRefusedAndLeftAlone)
{
    CodeArea area(FarFromProgram());
    ASSERT_TRUE(area);
    // push ebp/rbp; mov eax, 42; pop; ret
    uint8_t* target = area.Write(0, {0x55, 0xB8, kOwnResult, 0, 0, 0, 0x5D, 0xC3});
    const Bytes before = Snapshot(target);
    EntryPatch patch;
    EXPECT_EQ(PatchResult::kUnknownStart, ApplyEntryPatch(patch, target, CodeAddressOf(Dispatcher)));
    EXPECT_FALSE(patch.applied);
    EXPECT_EQ(before, Snapshot(target));
    EXPECT_EQ(kOwnResult, AsFunction(target)());
}

TEST(EntryPatchTest, PatchOverwrittenByOthersIsLeftAlone)
{
    CodeArea area(FarFromProgram());
    ASSERT_TRUE(area);
    uint8_t* target = area.Write(0, kSelfContained);
    EntryPatch patch;
    ASSERT_EQ(PatchResult::kPatched, ApplyEntryPatch(patch, target, CodeAddressOf(Dispatcher)));
    area.Write(1, {0x10});
    const Bytes before = Snapshot(target);
    SetLastError(0);
    EXPECT_FALSE(RemoveEntryPatch(patch));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_DATA), GetLastError());
    EXPECT_EQ(before, Snapshot(target));
}

TEST(NearCode, AllocationsLieWithinJumpReach)
{
    const void* distant = FarFromProgram();
    uint8_t* first = AllocateNearCode(distant, 16);
    uint8_t* second = AllocateNearCode(distant, 16);
    ASSERT_TRUE(first && second);
    EXPECT_GE(static_cast<size_t>(second > first ? second - first : first - second), 16u);
    const uint64_t farAddress = reinterpret_cast<uintptr_t>(distant);
    for (const uint8_t* code : {first, second}) {
        EXPECT_TRUE(JumpReaches(farAddress, reinterpret_cast<uintptr_t>(code), kNativeMode));
        EXPECT_TRUE(JumpReaches(reinterpret_cast<uintptr_t>(code), farAddress, kNativeMode));
    }
}

}  // namespace
