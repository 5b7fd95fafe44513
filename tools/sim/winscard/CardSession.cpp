#include "CardSession.h"

#include <algorithm>
#include <initializer_list>

namespace {

const uint8_t kClassInterindustry = 0x00;
const uint8_t kInsSelect = 0xA4;
const uint8_t kInsReadBinary = 0xB0;

const uint16_t kMasterFile = 0x3F00;
const uint16_t kNumberFile = 0xFE14;

// SELECT P1: by file identifier, or an elementary file under the current DF.
const uint8_t kSelectById = 0x00;
const uint8_t kSelectChildDf = 0x01;
const uint8_t kSelectEfUnderDf = 0x02;
// SELECT P2: what the card answers with.
const uint8_t kReturnFci = 0x00;
const uint8_t kReturnFcp = 0x04;
const uint8_t kReturnNothing = 0x0C;

enum StatusWord : uint16_t {
    kSuccess = 0x9000,
    kEndOfFileReached = 0x6282,
    kWrongLength = 0x6700,
    kNoCurrentEf = 0x6986,
    kFileNotFound = 0x6A82,
    kIncorrectP1P2 = 0x6A86,
    kOffsetOutsideEf = 0x6B00,
    kInsNotSupported = 0x6D00,
    kClassNotSupported = 0x6E00,
};

// A short command APDU split into its parts (ISO/IEC 7816-3 cases 1 to 4).
struct Command {
    uint8_t cla, ins, p1, p2;
    Bytes data;
    size_t expected;  // Ne; 0 when the command has no Le field
    bool hasLe;
};

bool SplitCommand(const uint8_t* apdu, size_t length, Command* command)
{
    if (length < 4)
        return false;
    *command = Command{apdu[0], apdu[1], apdu[2], apdu[3], Bytes(), 0, false};
    if (length == 4)
        return true;
    const size_t lc = apdu[4];
    if (length == 5) {  // case 2: Le only; 00 asks for 256 bytes
        command->hasLe = true;
        command->expected = lc == 0 ? 256 : lc;
        return true;
    }
    // Cases 3 and 4; extended lengths (Lc byte 00) are not understood.
    if (lc == 0 || (length != 5 + lc && length != 6 + lc))
        return false;
    command->data.assign(apdu + 5, apdu + 5 + lc);
    if (length == 6 + lc) {
        command->hasLe = true;
        command->expected = apdu[5 + lc] == 0 ? 256 : apdu[5 + lc];
    }
    return true;
}

Bytes Status(uint16_t statusWord, Bytes data = Bytes())
{
    data.push_back(static_cast<uint8_t>(statusWord >> 8));
    data.push_back(static_cast<uint8_t>(statusWord & 0xFF));
    return data;
}

void AppendTlv(Bytes* out, uint8_t tag, std::initializer_list<uint8_t> value)
{
    out->push_back(tag);
    out->push_back(static_cast<uint8_t>(value.size()));
    out->insert(out->end(), value.begin(), value.end());
}

// File control parameters of the selected file, wrapped in the FCP (62) or
// FCI (6F) template.
Bytes FileControlTemplate(uint8_t templateTag, uint16_t fileId, size_t fileSize)
{
    Bytes body;
    if (fileId == kNumberFile) {
        AppendTlv(&body, 0x80, {static_cast<uint8_t>(fileSize >> 8), static_cast<uint8_t>(fileSize & 0xFF)});
        AppendTlv(&body, 0x82, {0x01});  // working EF, transparent
    } else {
        AppendTlv(&body, 0x82, {0x38});  // DF
    }
    AppendTlv(&body, 0x83, {static_cast<uint8_t>(fileId >> 8), static_cast<uint8_t>(fileId & 0xFF)});
    Bytes result{templateTag, static_cast<uint8_t>(body.size())};
    result.insert(result.end(), body.begin(), body.end());
    return result;
}

}  // namespace

Bytes CardSession::Transmit(const SimCard& card, const uint8_t* apdu, size_t length)
{
    Command command;
    if (!SplitCommand(apdu, length, &command))
        return Status(kWrongLength);
    if (command.cla != kClassInterindustry)
        return Status(kClassNotSupported);
    switch (command.ins) {
    case kInsSelect:
        return Select(card, command.p1, command.p2, command.data);
    case kInsReadBinary:
        if (!command.data.empty() || !command.hasLe)
            return Status(kWrongLength);
        return ReadBinary(card, command.p1, command.p2, command.expected);
    default:
        return Status(kInsNotSupported);
    }
}

Bytes CardSession::Select(const SimCard& card, uint8_t p1, uint8_t p2, const Bytes& data)
{
    if ((p1 != kSelectById && p1 != kSelectChildDf && p1 != kSelectEfUnderDf) ||
        (p2 != kReturnFci && p2 != kReturnFcp && p2 != kReturnNothing))
        return Status(kIncorrectP1P2);
    // SELECT by identifier without data selects the master file.
    const bool selectsMasterFile = p1 == kSelectById && data.empty();
    if (!selectsMasterFile && data.size() != 2)
        return Status(kWrongLength);
    const uint16_t fileId = selectsMasterFile ? kMasterFile : static_cast<uint16_t>(data[0] << 8 | data[1]);

    // The card holds one DF, the master file, with one EF in it.
    const bool isMasterFile = fileId == kMasterFile && p1 == kSelectById;
    const bool isNumberFile = fileId == kNumberFile && card.numberFile && p1 != kSelectChildDf;
    if (!isMasterFile && !isNumberFile)
        return Status(kFileNotFound);
    numberFileSelected_ = isNumberFile;

    if (p2 == kReturnNothing)
        return Status(kSuccess);
    const size_t size = isNumberFile ? card.numberFile->size() : 0;
    return Status(kSuccess, FileControlTemplate(p2 == kReturnFci ? 0x6F : 0x62, fileId, size));
}

Bytes CardSession::ReadBinary(const SimCard& card, uint8_t p1, uint8_t p2, size_t expected)
{
    if (p1 & 0x80)  // short EF identifier: not supported by this card
        return Status(kIncorrectP1P2);
    if (!numberFileSelected_ || !card.numberFile)
        return Status(kNoCurrentEf);
    const Bytes& content = *card.numberFile;
    const size_t offset = static_cast<size_t>(p1) << 8 | p2;
    if (offset > content.size())
        return Status(kOffsetOutsideEf);
    const size_t available = std::min(expected, content.size() - offset);
    const Bytes data(content.begin() + offset, content.begin() + offset + available);
    return Status(available < expected ? kEndOfFileReached : kSuccess, data);
}
