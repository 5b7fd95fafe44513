// Lengths of IA-32 and x86-64 instructions, read from opcode tables of the
// published encoding (prefixes, one- and two-byte opcodes, ModR/M, SIB,
// displacements, immediates), and the moving of whole instructions to
// another address with their relative operands re-targeted. Pure byte
// arithmetic: the code examined is never executed, so both modes can be
// examined from either build.
#pragma once

#include <cstddef>
#include <cstdint>

enum class X86Mode { k32, k64 };

struct X86Instruction {
    int length = 0;          // 0: not an instruction the tables know
    int relativeOffset = 0;  // where a relative operand starts in the instruction
    int relativeSize = 0;    // 1, 2 or 4 bytes; 0 when there is none
    bool endsFlow = false;   // execution never falls through to the next byte
};

// Decodes the instruction at `code`, reading at most `available` bytes.
// Relative operands are branch and call displacements and, in 64-bit
// mode, RIP-relative memory displacements; all count from the end of
// the instruction.
X86Instruction X86Decode(const uint8_t* code, size_t available, X86Mode mode);

// Where the relative operand of `instruction` (at `address`) points.
uint64_t X86RelativeDestination(const uint8_t* code, const X86Instruction& instruction, uint64_t address, X86Mode mode);

// Copies `length` bytes of whole instructions that ran at `sourceAddress`
// to `destination`, which will run at `destinationAddress`. Relative
// operands that point outside the block are re-targeted so they reach the
// same place; those that point into the block or just past its end move
// with it. False (and `destination` unspecified) when an instruction is
// unknown, straddles the end, or a re-targeted operand does not fit.
bool X86Relocate(const uint8_t* source, uint64_t sourceAddress, uint8_t* destination, uint64_t destinationAddress,
                 size_t length, X86Mode mode);
