// The instruction decoder, the relocation of moved instructions and the
// byte-level steps of a patch, on tables. Pure byte arithmetic: both
// instruction sets are checked whatever the build. The prologues are the
// ones Wine 8's user32 and win32u have, 64-bit and 32-bit.
#include <windows.h>

#include "controls/CodePatch.h"
#include "controls/X86Decoder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;
const X86Mode k32 = X86Mode::k32;
const X86Mode k64 = X86Mode::k64;

struct DecodeCase {
    const char* name;
    X86Mode mode;
    Bytes bytes;
    int length;
    int relativeOffset;
    int relativeSize;
    bool endsFlow;
};

const DecodeCase kDecodeCases[] = {
    // 64-bit user32 starts and bodies.
    {"hot-patch lea rsp,[rsp+0]", k64, {0x48, 0x8D, 0xA4, 0x24, 0, 0, 0, 0}, 8, 0, 0, false},
    {"jmp [rip+disp32]", k64, {0xFF, 0x25, 0x3A, 0x1D, 0x03, 0x00}, 6, 2, 4, true},
    {"push rdi", k64, {0x57}, 1, 0, 0, false},
    {"sub rsp,0x50", k64, {0x48, 0x83, 0xEC, 0x50}, 4, 0, 0, false},
    {"mov rsi,rcx", k64, {0x48, 0x89, 0xCE}, 3, 0, 0, false},
    {"test byte [rip+disp32],8: displacement before the immediate",
     k64,
     {0xF6, 0x05, 0xB2, 0xBD, 0x03, 0x00, 0x08},
     7,
     2,
     4,
     false},
    {"mov rax,[rip+disp32]", k64, {0x48, 0x8B, 0x05, 0x78, 0x6E, 0x04, 0x00}, 7, 3, 4, false},
    {"lea r8,[rsp+0x40]", k64, {0x4C, 0x8D, 0x44, 0x24, 0x40}, 5, 0, 0, false},
    {"mov r8d,imm32", k64, {0x41, 0xB8, 0x09, 0, 0, 0}, 6, 0, 0, false},
    {"call rel32", k64, {0xE8, 0x79, 0x9C, 0x03, 0x00}, 5, 1, 4, false},
    {"je rel32", k64, {0x0F, 0x84, 0x86, 0, 0, 0}, 6, 2, 4, false},
    {"test dword [rip+disp32],imm32 with REX.W", k64, {0x48, 0xF7, 0x05, 0, 0, 0, 0, 1, 0, 0, 0}, 11, 3, 4, false},
    {"mov rax,imm64", k64, {0x48, 0xB8, 1, 2, 3, 4, 5, 6, 7, 8}, 10, 0, 0, false},
    {"mov eax,[moffs64]", k64, {0xA1, 1, 2, 3, 4, 5, 6, 7, 8}, 9, 0, 0, false},
    {"mov ecx,[rip+disp32]", k64, {0x8B, 0x0D, 0x78, 0x56, 0x34, 0x12}, 6, 2, 4, false},
    {"REX then nop", k64, {0x40, 0x90}, 2, 0, 0, false},
    // The 64-bit win32u system-call stub, instruction by instruction.
    {"mov r10,rcx", k64, {0x4C, 0x8B, 0xD1}, 3, 0, 0, false},
    {"mov eax,imm32", k64, {0xB8, 0xEC, 0x10, 0, 0}, 5, 0, 0, false},
    {"test byte [abs32],1: SIB without base", k64, {0xF6, 0x04, 0x25, 0x08, 0x03, 0xFE, 0x7F, 0x01}, 8, 0, 0, false},
    {"jne rel8", k64, {0x75, 0x03}, 2, 1, 1, false},
    {"syscall", k64, {0x0F, 0x05}, 2, 0, 0, false},
    {"ret", k64, {0xC3}, 1, 0, 0, true},
    {"jmp rel8", k64, {0xEB, 0x01}, 2, 1, 1, true},
    {"call [abs32]", k64, {0xFF, 0x14, 0x25, 0x00, 0x10, 0xFE, 0x7F}, 7, 0, 0, false},
    // 32-bit user32 and win32u.
    {"mov edi,edi", k32, {0x8B, 0xFF}, 2, 0, 0, false},
    {"push ebp", k32, {0x55}, 1, 0, 0, false},
    {"mov ebp,esp", k32, {0x8B, 0xEC}, 2, 0, 0, false},
    {"jmp [abs32]", k32, {0xFF, 0x25, 0x54, 0x4F, 0x94, 0x68}, 6, 0, 0, true},
    {"jmp cs:[abs32]", k32, {0x2E, 0xFF, 0x25, 0x00, 0x10, 0, 0}, 7, 0, 0, true},
    {"lea ecx,[esp+4]", k32, {0x8D, 0x4C, 0x24, 0x04}, 4, 0, 0, false},
    {"and esp,-16", k32, {0x83, 0xE4, 0xF0}, 3, 0, 0, false},
    {"push [ecx-4]", k32, {0xFF, 0x71, 0xFC}, 3, 0, 0, false},
    {"mov edx,imm32", k32, {0xBA, 0x70, 0xC6, 0xA8, 0x64}, 5, 0, 0, false},
    {"call edx", k32, {0xFF, 0xD2}, 2, 0, 0, false},
    {"jmp eax", k32, {0xFF, 0xE0}, 2, 0, 0, true},
    {"ret 0x10", k32, {0xC2, 0x10, 0x00}, 3, 0, 0, true},
    {"mov ecx,[abs32]: no relative operand in 32-bit code", k32, {0x8B, 0x0D, 0x78, 0x56, 0x34, 0x12}, 6, 0, 0, false},
    {"inc eax", k32, {0x40}, 1, 0, 0, false},
    // Prefixes.
    {"mov ax,imm16", k32, {0x66, 0xB8, 0x34, 0x12}, 4, 0, 0, false},
    {"add cx,imm16", k32, {0x66, 0x81, 0xC1, 0x34, 0x12}, 5, 0, 0, false},
    {"rep movsb", k32, {0xF3, 0xA4}, 2, 0, 0, false},
    {"lock cmpxchg [edx],ecx", k32, {0xF0, 0x0F, 0xB1, 0x0A}, 4, 0, 0, false},
    {"mov eax,fs:[moffs32]", k32, {0x64, 0xA1, 0x18, 0, 0, 0}, 6, 0, 0, false},
    {"mov ax,[bp+2]: 16-bit addressing", k32, {0x67, 0x8B, 0x46, 0x02}, 4, 0, 0, false},
    {"mov ax,[disp16]: 16-bit addressing", k32, {0x67, 0x8B, 0x06, 0x34, 0x12}, 5, 0, 0, false},
    // Two- and three-byte opcodes.
    {"movzx eax,al", k32, {0x0F, 0xB6, 0xC0}, 3, 0, 0, false},
    {"nop dword [eax+eax+0]", k32, {0x0F, 0x1F, 0x44, 0x00, 0x00}, 5, 0, 0, false},
    {"palignr xmm0,xmm1,8", k32, {0x66, 0x0F, 0x3A, 0x0F, 0xC1, 0x08}, 6, 0, 0, false},
    {"pshufb xmm0,xmm1", k32, {0x66, 0x0F, 0x38, 0x00, 0xC1}, 5, 0, 0, false},
    {"shld eax,edx,4", k32, {0x0F, 0xA4, 0xD0, 0x04}, 4, 0, 0, false},
    // ModR/M, SIB and displacements.
    {"mov eax,[esp+8]: SIB, disp8", k32, {0x8B, 0x44, 0x24, 0x08}, 4, 0, 0, false},
    {"mov eax,[esp+0x100]: SIB, disp32", k32, {0x8B, 0x84, 0x24, 0x00, 0x01, 0, 0}, 7, 0, 0, false},
    {"mov eax,[eax*4+disp32]: SIB without base", k32, {0x8B, 0x04, 0x85, 0x00, 0x10, 0, 0}, 7, 0, 0, false},
    {"mov eax,[eax+disp32]", k32, {0x8B, 0x80, 0x00, 0x01, 0, 0}, 6, 0, 0, false},
    {"mov eax,ecx: register form", k32, {0x8B, 0xC1}, 2, 0, 0, false},
    // Immediates.
    {"push imm8", k32, {0x6A, 0x01}, 2, 0, 0, false},
    {"push imm32", k32, {0x68, 0x78, 0x56, 0x34, 0x12}, 5, 0, 0, false},
    {"enter imm16,imm8", k32, {0xC8, 0x10, 0x00, 0x00}, 4, 0, 0, false},
    {"mov byte [eax],imm8", k32, {0xC6, 0x00, 0x01}, 3, 0, 0, false},
    {"test eax,imm32: F7 /0", k32, {0xF7, 0xC0, 0x01, 0, 0, 0}, 6, 0, 0, false},
    {"test ax,imm16: F7 /0 with 66", k32, {0x66, 0xF7, 0xC0, 0x01, 0}, 5, 0, 0, false},
    {"not eax: F7 /2 has no immediate", k32, {0xF7, 0xD0}, 2, 0, 0, false},
    {"test al,imm8: F6 /0", k32, {0xF6, 0xC0, 0x01}, 3, 0, 0, false},
    {"neg al: F6 /3 has no immediate", k32, {0xF6, 0xD8}, 2, 0, 0, false},
    // Relative branches.
    {"je rel8", k32, {0x74, 0x05}, 2, 1, 1, false},
    {"call rel32", k32, {0xE8, 0x00, 0x10, 0, 0}, 5, 1, 4, false},
    {"jmp rel32", k32, {0xE9, 0x00, 0x10, 0, 0}, 5, 1, 4, true},
    {"call rel16 with 66", k32, {0x66, 0xE8, 0x34, 0x12}, 4, 2, 2, false},
    {"loopne rel8", k32, {0xE0, 0xFE}, 2, 1, 1, true},
    {"jecxz rel8", k32, {0xE3, 0x10}, 2, 1, 1, false},
    // Refused.
    {"push es: invalid in 64-bit code", k64, {0x06}, 0, 0, 0, false},
    {"VEX prefix", k64, {0xC5, 0xF8, 0x77}, 0, 0, 0, false},
    {"3DNow!", k32, {0x0F, 0x0F, 0xC1, 0x9E}, 0, 0, 0, false},
    {"call rel32 cut short", k32, {0xE8, 0, 0, 0}, 0, 0, 0, false},
    {"ModR/M missing", k32, {0x8B}, 0, 0, 0, false},
    {"SIB missing", k32, {0x8B, 0x04}, 0, 0, 0, false},
    {"longer than 15 bytes",
     k32,
     {0x66, 0x66, 0x66, 0x66, 0x66, 0x66, 0x66, 0x66, 0x66, 0x66, 0x66, 0x66, 0x66, 0x66, 0x66, 0x90},
     0,
     0,
     0,
     false},
};

TEST(X86Decoder, LengthsAndRelativeOperands)
{
    for (const DecodeCase& c : kDecodeCases) {
        SCOPED_TRACE(c.name);
        const X86Instruction instruction = X86Decode(c.bytes.data(), c.bytes.size(), c.mode);
        EXPECT_EQ(c.length, instruction.length);
        EXPECT_EQ(c.relativeOffset, instruction.relativeOffset);
        EXPECT_EQ(c.relativeSize, instruction.relativeSize);
        EXPECT_EQ(c.endsFlow, instruction.endsFlow);
    }
}

struct RelocateCase {
    const char* name;
    X86Mode mode;
    Bytes bytes;
    uint64_t from;
    uint64_t to;
    bool relocated;
    Bytes expected;
};

const RelocateCase kRelocateCases[] = {
    {"call rel32 moved forward", k32, {0xE8, 0x00, 0x10, 0, 0}, 0x401000, 0x402000, true, {0xE8, 0, 0, 0, 0}},
    {"jmp rel32 moved backward", k32, {0xE9, 0x00, 0x10, 0, 0}, 0x402000, 0x401000, true, {0xE9, 0x00, 0x20, 0, 0}},
    {"32-bit addresses wrap", k32, {0xE9, 0x00, 0x10, 0, 0}, 0x1000, 0xFFFFF000, true, {0xE9, 0x00, 0x30, 0, 0}},
    {"rel8 out of the block, moved a little", k32, {0x74, 0x10}, 0x401000, 0x401010, true, {0x74, 0x00}},
    {"rel8 out of the block, moved far", k32, {0x74, 0x10}, 0x401000, 0x500000, false, {}},
    {"rel8 into the block moves with it",
     k32,
     {0x74, 0x02, 0x90, 0x90, 0xC3},
     0x401000,
     0x500000,
     true,
     {0x74, 0x02, 0x90, 0x90, 0xC3}},
    {"rel8 just past the block moves with it", k32, {0x74, 0x01, 0x90}, 0x401000, 0x500000, true, {0x74, 0x01, 0x90}},
    {"rel16 with 66", k32, {0x66, 0xE8, 0x00, 0x01}, 0x1000, 0x1100, true, {0x66, 0xE8, 0, 0}},
    {"no relative operand: copied",
     k32,
     {0x8B, 0xFF, 0x55, 0x8B, 0xEC},
     0x401000,
     0x500000,
     true,
     {0x8B, 0xFF, 0x55, 0x8B, 0xEC}},
    {"rip-relative displacement",
     k64,
     {0x48, 0x8B, 0x05, 0x10, 0, 0, 0},
     0x140001000,
     0x140101000,
     true,
     {0x48, 0x8B, 0x05, 0x10, 0x00, 0xF0, 0xFF}},
    {"rel32 beyond 2 GB in 64-bit code", k64, {0xE8, 0x00, 0x10, 0, 0}, 0x140000000, 0x240000000, false, {}},
    {"an instruction cut by the block's end", k32, {0xB8, 0x01, 0x00}, 0x401000, 0x500000, false, {}},
    {"unknown instruction", k64, {0xC5, 0xF8, 0x77}, 0x401000, 0x500000, false, {}},
};

TEST(X86Decoder, RelocationRetargetsRelativeOperands)
{
    for (const RelocateCase& c : kRelocateCases) {
        SCOPED_TRACE(c.name);
        Bytes moved(c.bytes.size(), 0xCC);
        ASSERT_EQ(c.relocated, X86Relocate(c.bytes.data(), c.from, moved.data(), c.to, c.bytes.size(), c.mode));
        if (c.relocated) {
            EXPECT_EQ(c.expected, moved);
        }
    }
}

// ---- Trampolines ---------------------------------------------------------

Bytes ForwardingTrampoline()
{
    Bytes trampoline(kTrampolineSize, 0xCC);
    const uint8_t start[] = {0x90, 0x90, 0xE8, 0x00, 0x01, 0x00, 0x00, 0xFF, 0xE0};
    memcpy(trampoline.data(), start, sizeof start);
    trampoline[kTakenCountIndex] = 0;
    return trampoline;
}

TEST(TrampolineBytes, ForwardingPatternIsCheckedExactly)
{
    struct Case {
        const char* name;
        int index;
        uint8_t value;
        bool forwarding;
    };
    const Case cases[] = {
        {"as made", 0, 0x90, true},
        {"first NOP changed", 0, 0x91, false},
        {"second NOP changed", 1, 0xCC, false},
        {"JMP, not CALL", 2, 0xE9, false},
        {"FE E0", 7, 0xFE, false},
        {"JMP ECX", 8, 0xE1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes trampoline = ForwardingTrampoline();
        trampoline[c.index] = c.value;
        EXPECT_EQ(c.forwarding, IsForwardingTrampoline(trampoline.data()));
    }
    EXPECT_EQ(0x401107u, ForwardingRoutine(ForwardingTrampoline().data(), 0x401000));
}

TEST(TrampolineBytes, WholeInstructionsCoverFiveBytes)
{
    struct Case {
        const char* name;
        X86Mode mode;
        Bytes code;
        PatchResult result;
        int taken;
    };
    const Case cases[] = {
        {"32-bit hot-patch prologue", k32, {0x8B, 0xFF, 0x55, 0x8B, 0xEC, 0x5D, 0xFF, 0x25}, PatchResult::kPatched, 5},
        {"32-bit import jump", k32, {0xFF, 0x25, 0x9C, 0x51, 0x94, 0x68, 0x90, 0x90}, PatchResult::kPatched, 6},
        {"32-bit win32u stub", k32, {0xB8, 0xEC, 0x10, 0, 0, 0xBA, 0x70, 0xC6}, PatchResult::kPatched, 5},
        {"64-bit win32u stub", k64, {0x4C, 0x8B, 0xD1, 0xB8, 0xEC, 0x10, 0, 0}, PatchResult::kPatched, 8},
        {"64-bit hot-patch no-op", k64, {0x48, 0x8D, 0xA4, 0x24, 0, 0, 0, 0}, PatchResult::kPatched, 8},
        {"jmp rel32 alone", k32, {0xE9, 1, 2, 3, 4}, PatchResult::kPatched, 5},
        {"ret at once", k32, {0xC3, 0x90, 0x90, 0x90, 0x90, 0x90}, PatchResult::kTooShort, 0},
        {"xor eax,eax; ret", k32, {0x33, 0xC0, 0xC3, 0x90, 0x90, 0x90}, PatchResult::kTooShort, 0},
        {"ret 4", k32, {0xC2, 0x04, 0x00, 0x90, 0x90, 0x90}, PatchResult::kTooShort, 0},
        {"jmp rel8", k32, {0xEB, 0x05, 0x90, 0x90, 0x90, 0x90}, PatchResult::kTooShort, 0},
        {"unknown instruction", k32, {0x55, 0x0F, 0x0F, 0xC1, 0x9E, 0x90}, PatchResult::kUnknownStart, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes code = c.code;
        code.resize(kTrampolineSize, 0x90);
        int taken = 0;
        EXPECT_EQ(c.result, CountTakenBytes(code.data(), c.mode, &taken));
        EXPECT_EQ(c.taken, taken);
    }
}

// user32's EnableScrollBar of 32-bit Wine 8, where that DLL lies.
const Bytes kEnableScrollBar32 = {0x8B, 0xFF, 0x55, 0x8B, 0xEC, 0x5D, 0xFF, 0x25, 0x54, 0x4F, 0x94, 0x68};
const uint64_t kEnableScrollBar32At = 0x688871B4;
const uint64_t kTrampolineAt = 0x00401000;
const uint64_t kDispatcherAt = 0x00402468;

TEST(TrampolineBytes, TakenInstructionsAreFollowedByTheJumpBack)
{
    Bytes trampoline = ForwardingTrampoline();
    ASSERT_EQ(PatchResult::kPatched, BuildTrampoline(trampoline.data(), kTrampolineAt, kEnableScrollBar32.data(),
                                                     kEnableScrollBar32At, 5, k32));
    // 0x688871B9 - 0x0040100A = 0x684861AF
    const Bytes start = {0x8B, 0xFF, 0x55, 0x8B, 0xEC, 0xE9, 0xAF, 0x61, 0x48, 0x68};
    EXPECT_EQ(start, Bytes(trampoline.begin(), trampoline.begin() + start.size()));
    EXPECT_EQ(5, trampoline[kTakenCountIndex]);
    EXPECT_EQ(0xCC, trampoline[start.size()]);

    // A CALL taken along still reaches its callee from the trampoline.
    const Bytes call = {0xE8, 0x00, 0x10, 0x00, 0x00};
    ASSERT_EQ(PatchResult::kPatched,
              BuildTrampoline(trampoline.data(), kTrampolineAt, call.data(), 0x68880000, 5, k32));
    // callee 0x68881005 - 0x00401005 = 0x68480000
    EXPECT_EQ((Bytes{0xE8, 0x00, 0x00, 0x48, 0x68}), Bytes(trampoline.begin(), trampoline.begin() + 5));

    // A short branch cannot follow the code that far.
    const Bytes shortBranch = {0x74, 0x10, 0x8B, 0xFF, 0x90};
    EXPECT_EQ(PatchResult::kOutOfReach,
              BuildTrampoline(trampoline.data(), kTrampolineAt, shortBranch.data(), 0x68880000, 4, k32));
    // Nor a 64-bit JMP back over more than 2 GB.
    EXPECT_EQ(PatchResult::kOutOfReach,
              BuildTrampoline(trampoline.data(), 0x140001000, kEnableScrollBar32.data(), 0x2169D81FC, 5, k64));
}

// The longest count a trampoline holds leaves the JMP back just before the
// count's byte; one more leaves it no room, even where the JMP written
// there happens to end in that very count.
TEST(TrampolineBytes, TheLongestTakenCountIsTheLastThatLeavesRoomForTheJumpBack)
{
    const int tooLong = kMaxTaken + 1;
    // A function placed so that the JMP back from byte 27 ends in 27.
    const uint64_t functionAt = kTrampolineAt + kJumpSize + (static_cast<uint64_t>(tooLong) << 24);
    const Bytes nops(kTrampolineSize, 0x90);
    Bytes function = nops;
    EncodeJump(function.data(), functionAt, kDispatcherAt);
    for (int taken : {kMaxTaken - 1, kMaxTaken, tooLong}) {
        SCOPED_TRACE(taken);
        Bytes trampoline = ForwardingTrampoline();
        if (taken <= kMaxTaken) {
            ASSERT_EQ(PatchResult::kPatched,
                      BuildTrampoline(trampoline.data(), kTrampolineAt, nops.data(), functionAt, taken, k32));
        } else {
            EncodeJump(trampoline.data() + taken, kTrampolineAt + taken, functionAt + taken);
            ASSERT_EQ(taken, trampoline[kTakenCountIndex]);
        }
        const DWORD expected = taken <= kMaxTaken ? ERROR_SUCCESS : ERROR_INVALID_DATA;
        EXPECT_EQ(expected, CheckTrampolinePatch(trampoline.data(), kTrampolineAt, function.data(), functionAt,
                                                 kDispatcherAt, k32));
    }
}

TEST(TrampolineBytes, RemovalFindsThePatchAsLeft)
{
    Bytes patched = ForwardingTrampoline();
    ASSERT_EQ(PatchResult::kPatched,
              BuildTrampoline(patched.data(), kTrampolineAt, kEnableScrollBar32.data(), kEnableScrollBar32At, 5, k32));
    Bytes target = kEnableScrollBar32;
    EncodeJump(target.data(), kEnableScrollBar32At, kDispatcherAt);

    struct Case {
        const char* name;
        int trampolineIndex;  // -1: trampoline as built
        uint8_t trampolineValue;
        uint64_t dispatcher;
        DWORD error;
    };
    const Case cases[] = {
        {"as patched", -1, 0, kDispatcherAt, ERROR_SUCCESS},
        {"no count", kTakenCountIndex, 0, kDispatcherAt, ERROR_INVALID_BLOCK},
        {"count 31", kTakenCountIndex, 31, kDispatcherAt, ERROR_INVALID_BLOCK},
        {"count 30", kTakenCountIndex, 30, kDispatcherAt, ERROR_INVALID_DATA},
        {"count one more", kTakenCountIndex, 6, kDispatcherAt, ERROR_INVALID_DATA},
        {"no JMP back", 5, 0x90, kDispatcherAt, ERROR_INVALID_DATA},
        {"JMP back elsewhere", 6, 0xB0, kDispatcherAt, ERROR_INVALID_DATA},
        {"function jumps elsewhere", -1, 0, kDispatcherAt + 1, ERROR_INVALID_DATA},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes trampoline = patched;
        if (c.trampolineIndex >= 0)
            trampoline[c.trampolineIndex] = c.trampolineValue;
        EXPECT_EQ(c.error, CheckTrampolinePatch(trampoline.data(), kTrampolineAt, target.data(), kEnableScrollBar32At,
                                                c.dispatcher, k32));
    }
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_DATA),
              CheckTrampolinePatch(patched.data(), kTrampolineAt, kEnableScrollBar32.data(), kEnableScrollBar32At,
                                   kDispatcherAt, k32));

    // Moving the taken bytes back gives the function's bytes as they were.
    Bytes restored(5);
    ASSERT_TRUE(X86Relocate(patched.data(), kTrampolineAt, restored.data(), kEnableScrollBar32At, 5, k32));
    EXPECT_EQ(Bytes(kEnableScrollBar32.begin(), kEnableScrollBar32.begin() + 5), restored);
}

// ---- Entries -------------------------------------------------------------

// The 64-bit win32u stub of NtUserSetScrollInfo, whole.
const Bytes kSystemCallStub64 = {0x4C, 0x8B, 0xD1, 0xB8, 0xEC, 0x10, 0x00, 0x00, 0xF6, 0x04, 0x25,
                                 0x08, 0x03, 0xFE, 0x7F, 0x01, 0x75, 0x03, 0x0F, 0x05, 0xC3, 0xEB,
                                 0x01, 0xC3, 0xFF, 0x14, 0x25, 0x00, 0x10, 0xFE, 0x7F, 0xC3};

TEST(EntryBytes, StartsAreClassified)
{
    Bytes branchesOut = kSystemCallStub64;
    branchesOut[17] = 0x40;  // jne past the stub's end
    Bytes cut = kSystemCallStub64;
    cut[31] = 0x90;  // no return at the end
    struct Case {
        const char* name;
        X86Mode mode;
        Bytes code;
        EntryKind kind;
    };
    const Case cases[] = {
        {"hot-patch no-op", k64, {0x48, 0x8D, 0xA4, 0x24, 0, 0, 0, 0, 0x57}, EntryKind::kHotPatchNop},
        {"hot-patch no-op with a displacement", k64, {0x48, 0x8D, 0xA4, 0x24, 1, 0, 0, 0, 0x57}, EntryKind::kNone},
        {"jump through a pointer", k64, {0xFF, 0x25, 0x3A, 0x1D, 0x03, 0x00, 0x90}, EntryKind::kJumpThrough},
        {"system-call stub", k64, kSystemCallStub64, EntryKind::kSelfContained},
        {"stub branching out", k64, branchesOut, EntryKind::kNone},
        {"stub without its return", k64, cut, EntryKind::kNone},
        {"ordinary prologue", k64, {0x55, 0x48, 0x89, 0xE5, 0x48, 0x83, 0xEC, 0x20}, EntryKind::kNone},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes code = c.code;
        code.resize(kTrampolineSize, 0x90);
        EXPECT_EQ(c.kind, ClassifyEntry(code.data(), 0x2C73ABF30, c.mode));
    }
}

}  // namespace
