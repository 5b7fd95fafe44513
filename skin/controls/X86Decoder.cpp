#include "controls/X86Decoder.h"

#include <cstring>

namespace {

// What follows an opcode byte.
const uint16_t M = 0x0001;    // a ModR/M byte (with SIB and displacement as it says)
const uint16_t B = 0x0002;    // an 8-bit immediate
const uint16_t W = 0x0004;    // a 16-bit immediate
const uint16_t Z = 0x0008;    // an immediate of the operand size, at most 32 bits
const uint16_t V = 0x0010;    // an immediate of the full operand size (MOV r, imm: 64 bits with REX.W)
const uint16_t J8 = 0x0020;   // an 8-bit relative branch operand
const uint16_t JZ = 0x0040;   // a 16- or 32-bit relative branch operand
const uint16_t P = 0x0080;    // a prefix
const uint16_t X = 0x0100;    // not handled: reserved, VEX/EVEX or 3DNow!
const uint16_t I64 = 0x0200;  // invalid in 64-bit mode
const uint16_t E = 0x0400;    // ends the flow (returns, unconditional jumps)
const uint16_t A = 0x0800;    // a memory offset of the address size (MOV AL/EAX, moffs)
const uint16_t T = 0x1000;    // TEST group (F6, F7): the immediate is there only for /0 and /1
const uint16_t F = 0x2000;    // a far pointer (16-bit selector and an offset of the operand size)
const uint16_t J = 0x4000;    // JMP/CALL group (FF): /4 and /5 jump and end the flow
const uint16_t ESC = 0x8000;  // the two-byte opcode escape

// One-byte opcodes, by row of 16.
// clang-format off
const uint16_t kOneByte[256] = {
    /* 0 */ M, M, M, M, B, Z, I64, I64, M, M, M, M, B, Z, I64, ESC,
    /* 1 */ M, M, M, M, B, Z, I64, I64, M, M, M, M, B, Z, I64, I64,
    /* 2 */ M, M, M, M, B, Z, P, I64, M, M, M, M, B, Z, P, I64,
    /* 3 */ M, M, M, M, B, Z, P, I64, M, M, M, M, B, Z, P, I64,
    /* 4 */ 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    /* 5 */ 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    /* 6 */ I64, I64, M | I64, M, P, P, P, P, Z, M | Z, B, M | B, 0, 0, 0, 0,
    /* 7 */ J8, J8, J8, J8, J8, J8, J8, J8, J8, J8, J8, J8, J8, J8, J8, J8,
    /* 8 */ M | B, M | Z, M | B | I64, M | B, M, M, M, M, M, M, M, M, M, M, M, M,
    /* 9 */ 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, F | I64, 0, 0, 0, 0, 0,
    /* A */ A, A, A, A, 0, 0, 0, 0, B, Z, 0, 0, 0, 0, 0, 0,
    /* B */ B, B, B, B, B, B, B, B, V, V, V, V, V, V, V, V,
    /* C */ M | B, M | B, W | E, E, M | I64, M | I64, M | B, M | Z, W | B, 0, W | E, E, 0, B, I64, E,
    /* D */ M, M, M, M, B | I64, B | I64, X, 0, M, M, M, M, M, M, M, M,
    /* E */ J8 | E, J8, J8, J8, B, B, B, B, JZ, JZ | E, F | I64 | E, J8 | E, 0, 0, 0, 0,
    /* F */ P, 0, P, P, 0, 0, M | T, M | T, 0, 0, 0, 0, 0, 0, M, M | J,
};
// clang-format on

// Two-byte opcodes (after 0F), by row of 16; 0F 38 and 0F 3A lead to
// three-byte opcodes, handled where they are read.
// clang-format off
const uint16_t kTwoByte[256] = {
    /* 0 */ M, M, M, M, X, 0, 0, 0, 0, 0, X, 0, X, M, 0, X,
    /* 1 */ M, M, M, M, M, M, M, M, M, M, M, M, M, M, M, M,
    /* 2 */ M, M, M, M, X, X, X, X, M, M, M, M, M, M, M, M,
    /* 3 */ 0, 0, 0, 0, 0, 0, X, 0, M, X, M | B, X, X, X, X, X,
    /* 4 */ M, M, M, M, M, M, M, M, M, M, M, M, M, M, M, M,
    /* 5 */ M, M, M, M, M, M, M, M, M, M, M, M, M, M, M, M,
    /* 6 */ M, M, M, M, M, M, M, M, M, M, M, M, M, M, M, M,
    /* 7 */ M | B, M | B, M | B, M | B, M, M, M, 0, M, M, X, X, M, M, M, M,
    /* 8 */ JZ, JZ, JZ, JZ, JZ, JZ, JZ, JZ, JZ, JZ, JZ, JZ, JZ, JZ, JZ, JZ,
    /* 9 */ M, M, M, M, M, M, M, M, M, M, M, M, M, M, M, M,
    /* A */ 0, 0, 0, M, M | B, M, X, X, 0, 0, 0, M, M | B, M, M, M,
    /* B */ M, M, M, M, M, M, M, M, M, M, M | B, M, M, M, M, M,
    /* C */ M, M, M | B, M, M | B, M | B, M | B, M, 0, 0, 0, 0, 0, 0, 0, 0,
    /* D */ M, M, M, M, M, M, M, M, M, M, M, M, M, M, M, M,
    /* E */ M, M, M, M, M, M, M, M, M, M, M, M, M, M, M, M,
    /* F */ M, M, M, M, M, M, M, M, M, M, M, M, M, M, M, M,
};
// clang-format on

const int kMaxInstructionLength = 15;

// The prefixes an instruction starts with, as they change its operands.
struct Prefixes {
    int count = 0;
    bool operandSize16 = false;      // 66
    bool addressSizeHalved = false;  // 67: 16-bit addresses in 32-bit mode, 32-bit ones in 64-bit mode
    bool rexW = false;
};

Prefixes ReadPrefixes(const uint8_t* code, size_t available, X86Mode mode)
{
    Prefixes prefixes;
    while (static_cast<size_t>(prefixes.count) < available && prefixes.count < kMaxInstructionLength) {
        const uint8_t byte = code[prefixes.count];
        if (kOneByte[byte] & P) {
            prefixes.operandSize16 |= byte == 0x66;
            prefixes.addressSizeHalved |= byte == 0x67;
            prefixes.rexW = false;  // a REX prefix counts only right before the opcode
        } else if (mode == X86Mode::k64 && (byte & 0xF0) == 0x40) {
            prefixes.rexW = (byte & 0x08) != 0;
        } else {
            break;
        }
        ++prefixes.count;
    }
    return prefixes;
}

// The ModR/M byte with its SIB byte and displacement: their length, and
// whether the displacement is relative to the next instruction.
struct ModRm {
    int length = 0;
    bool ripRelative = false;
};

ModRm ReadModRm(const uint8_t* code, size_t available, X86Mode mode, bool addressSizeHalved)
{
    ModRm result;
    if (available < 1)
        return result;
    const int mod = code[0] >> 6, rm = code[0] & 7;
    int length = 1;
    if (mode == X86Mode::k32 && addressSizeHalved) {  // 16-bit addressing: no SIB
        if (mod == 1)
            length += 1;
        else if (mod == 2 || (mod == 0 && rm == 6))
            length += 2;
    } else if (mod != 3) {
        if (rm == 4) {
            if (available < 2)
                return result;
            ++length;
            if (mod == 0 && (code[1] & 7) == 5)
                length += 4;
        } else if (mod == 0 && rm == 5) {
            length += 4;
            result.ripRelative = mode == X86Mode::k64;
        }
        length += mod == 1 ? 1 : mod == 2 ? 4 : 0;
    }
    result.length = length;
    return result;
}

int ImmediateSize(uint16_t flags, const Prefixes& prefixes, X86Mode mode)
{
    const int operandSize = prefixes.operandSize16 ? 2 : 4;
    int size = 0;
    if (flags & B)
        size += 1;
    if (flags & W)
        size += 2;
    if (flags & Z)
        size += operandSize;
    if (flags & V)
        size += prefixes.rexW ? 8 : operandSize;
    if (flags & A)
        size += mode == X86Mode::k64 ? (prefixes.addressSizeHalved ? 4 : 8) : (prefixes.addressSizeHalved ? 2 : 4);
    if (flags & F)
        size += 2 + operandSize;
    return size;
}

int RelativeSize(uint16_t flags, const Prefixes& prefixes, X86Mode mode)
{
    if (flags & J8)
        return 1;
    if (flags & JZ)
        return mode == X86Mode::k32 && prefixes.operandSize16 ? 2 : 4;
    return 0;
}

// The opcode's table entry, with the opcode's length (1 to 3 bytes).
struct Opcode {
    uint16_t flags = X;
    int length = 0;
};

Opcode ReadOpcode(const uint8_t* code, size_t available, X86Mode mode)
{
    Opcode opcode;
    if (available < 1)
        return opcode;
    const uint16_t first = kOneByte[code[0]];
    if (!(first & ESC)) {
        opcode.length = 1;
        opcode.flags = (mode == X86Mode::k64 && (first & I64)) ? X : first;
        return opcode;
    }
    if (available < 2)
        return opcode;
    if (code[1] == 0x38 || code[1] == 0x3A) {  // three-byte opcodes: all take ModR/M, 0F 3A also an imm8
        opcode.length = 3;
        opcode.flags = code[1] == 0x3A ? M | B : M;
        return available < 3 ? Opcode{} : opcode;
    }
    opcode.length = 2;
    opcode.flags = kTwoByte[code[1]];
    return opcode;
}

}  // namespace

X86Instruction X86Decode(const uint8_t* code, size_t available, X86Mode mode)
{
    X86Instruction instruction;
    const Prefixes prefixes = ReadPrefixes(code, available, mode);
    size_t at = prefixes.count;
    const Opcode opcode = ReadOpcode(code + at, available - at, mode);
    if (opcode.flags & X)
        return instruction;
    uint16_t flags = opcode.flags;
    const uint8_t opcodeByte = code[at];
    at += opcode.length;
    ModRm modRm;
    uint8_t modRmByte = 0;
    if (flags & M) {
        modRm = ReadModRm(code + at, available - at, mode, prefixes.addressSizeHalved);
        if (modRm.length == 0)
            return instruction;
        modRmByte = code[at];
        at += modRm.length;
    }
    const int reg = (modRmByte >> 3) & 7;
    // TEST r/m, imm (F6 /0 /1 and F7 /0 /1): F6 takes a byte, F7 one of the operand size.
    if ((flags & T) && reg <= 1)
        flags |= opcodeByte == 0xF6 ? B : Z;
    const int immediate = ImmediateSize(flags, prefixes, mode);
    const int relative = RelativeSize(flags, prefixes, mode);
    const size_t length = at + immediate + relative;
    if (length > available || length > static_cast<size_t>(kMaxInstructionLength))
        return instruction;
    instruction.length = static_cast<int>(length);
    if (relative) {
        instruction.relativeOffset = static_cast<int>(at + immediate);
        instruction.relativeSize = relative;
    } else if (modRm.ripRelative) {
        instruction.relativeOffset = static_cast<int>(at - 4);
        instruction.relativeSize = 4;
    }
    instruction.endsFlow = (flags & E) || ((flags & J) && (reg == 4 || reg == 5));
    return instruction;
}

uint64_t X86RelativeDestination(const uint8_t* code, const X86Instruction& instruction, uint64_t address, X86Mode mode)
{
    const uint8_t* operand = code + instruction.relativeOffset;
    int64_t displacement = 0;
    if (instruction.relativeSize == 1) {
        displacement = static_cast<int8_t>(operand[0]);
    } else if (instruction.relativeSize == 2) {
        int16_t value;
        memcpy(&value, operand, sizeof value);
        displacement = value;
    } else if (instruction.relativeSize == 4) {
        int32_t value;
        memcpy(&value, operand, sizeof value);
        displacement = value;
    }
    const uint64_t destination = address + instruction.length + displacement;
    return mode == X86Mode::k32 ? destination & 0xFFFFFFFFu : destination;
}

namespace {

// Writes `displacement` into an operand of `size` bytes; false when it
// does not fit. In 32-bit mode a 4-byte operand reaches every address.
bool StoreDisplacement(uint8_t* operand, int size, int64_t displacement, X86Mode mode)
{
    if (size == 1) {
        if (displacement < INT8_MIN || displacement > INT8_MAX)
            return false;
        operand[0] = static_cast<uint8_t>(displacement);
        return true;
    }
    if (size == 2) {
        if (displacement < INT16_MIN || displacement > INT16_MAX)
            return false;
        const int16_t value = static_cast<int16_t>(displacement);
        memcpy(operand, &value, sizeof value);
        return true;
    }
    if (mode == X86Mode::k32)
        displacement = static_cast<int32_t>(static_cast<uint32_t>(displacement));
    if (displacement < INT32_MIN || displacement > INT32_MAX)
        return false;
    const int32_t value = static_cast<int32_t>(displacement);
    memcpy(operand, &value, sizeof value);
    return true;
}

}  // namespace

bool X86Relocate(const uint8_t* source, uint64_t sourceAddress, uint8_t* destination, uint64_t destinationAddress,
                 size_t length, X86Mode mode)
{
    size_t at = 0;
    while (at < length) {
        const X86Instruction instruction = X86Decode(source + at, length - at, mode);
        if (instruction.length == 0)
            return false;
        memcpy(destination + at, source + at, instruction.length);
        if (instruction.relativeSize) {
            const uint64_t target = X86RelativeDestination(source + at, instruction, sourceAddress + at, mode);
            const bool insideBlock = target >= sourceAddress && target <= sourceAddress + length;
            if (!insideBlock) {
                const uint64_t next = destinationAddress + at + instruction.length;
                const int64_t displacement = static_cast<int64_t>(target - next);
                if (!StoreDisplacement(destination + at + instruction.relativeOffset, instruction.relativeSize,
                                       displacement, mode))
                    return false;
            }
        }
        at += instruction.length;
    }
    return true;
}
