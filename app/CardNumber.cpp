#include "CardNumber.h"

#include "ReportBuffer.h"
#include "ReportText.h"

#include <winscard.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

const DWORD kInitialReaderListLength = 100;
const size_t kReaderListBufferSize = 5000;
// Beyond this a reader list is taken as a fault of the service, not a list.
const DWORD kLargestReaderList = 1u << 20;
const int kReaderListCalls = 7;
const DWORD kResponseSize = 1000;

const BYTE kSelectMasterFile[] = {0x00, 0xA4, 0x00, 0x0C, 0x02, 0x3F, 0x00};
const BYTE kSelectCardFile[] = {0x00, 0xA4, 0x02, 0x00, 0x02, 0xFE, 0x14};
const BYTE kReadCardNumber[] = {0x00, 0xB0, 0x00, 0x00, 0x10};

// Lists the readers with a few retries, growing the buffer when the service
// asks for more room than it has: a long list is read whole rather than
// overflowing or cutting a reader name in two.
bool ListReadersWithRetries(SCARDCONTEXT context, std::vector<char>& list)
{
    list.assign(kReaderListBufferSize, '\0');
    DWORD length = kInitialReaderListLength;
    for (int call = 0; call < kReaderListCalls; ++call) {
        if (length > kLargestReaderList)
            return false;
        if (length + 2 > list.size())
            list.assign(length + 2, '\0');
        if (SCardListReadersA(context, nullptr, list.data(), &length) == SCARD_S_SUCCESS) {
            // Whatever the service wrote, the walk below ends inside the buffer.
            list.resize(std::min<size_t>(length, list.size()) + 2, '\0');
            list[list.size() - 1] = list[list.size() - 2] = '\0';
            return true;
        }
    }
    return false;
}

bool ConnectFirstCard(SCARDCONTEXT context, const std::vector<char>& readers, SCARDHANDLE* card,
                      DWORD* protocol)
{
    for (const char* reader = readers.data(); *reader; reader += strlen(reader) + 1) {
        if (SCardConnectA(context, reader, SCARD_SHARE_SHARED, SCARD_PROTOCOL_T0 | SCARD_PROTOCOL_T1, card,
                          protocol) == SCARD_S_SUCCESS)
            return true;
    }
    return false;
}

DWORD Transmit(SCARDHANDLE card, DWORD protocol, const BYTE* command, DWORD commandLength, BYTE* response)
{
    const SCARD_IO_REQUEST* sendPci = protocol == SCARD_PROTOCOL_T1 ? SCARD_PCI_T1 : SCARD_PCI_T0;
    memset(response, 0, kResponseSize);
    DWORD length = kResponseSize;
    if (SCardTransmit(card, sendPci, command, commandLength, nullptr, response, &length) != SCARD_S_SUCCESS)
        return 0;
    return std::min(length, kResponseSize);
}

std::string ReadCardNumber(SCARDHANDLE card, DWORD protocol)
{
    BYTE response[kResponseSize];
    // The two selections are answered with status words only; the read says
    // whether they worked.
    Transmit(card, protocol, kSelectMasterFile, sizeof kSelectMasterFile, response);
    Transmit(card, protocol, kSelectCardFile, sizeof kSelectCardFile, response);
    const DWORD received = Transmit(card, protocol, kReadCardNumber, sizeof kReadCardNumber, response);
    return ExtractCardNumber(response, received);
}

}  // namespace

void ShowProbeErrorBox(const char* failedCall)
{
    MessageBoxA(nullptr, failedCall, "Error", MB_OK);
}

std::string ExtractCardNumber(const BYTE* response, DWORD received)
{
    if (received < 2 || response[received - 2] != 0x90 || response[received - 1] != 0x00)
        return std::string();
    const DWORD dataLength = received - 2;
    DWORD end = 0;
    while (end < dataLength && response[end] != 0x90 && response[end] != 0x00)
        ++end;
    return std::string(reinterpret_cast<const char*>(response), end);
}

void AppendCardNumber(ReportBuffer& report, ProbeErrorHandler onError)
{
    SCARDCONTEXT context = 0;
    const bool haveContext =
        SCardEstablishContext(SCARD_SCOPE_SYSTEM, nullptr, nullptr, &context) == SCARD_S_SUCCESS;
    if (!haveContext)
        onError("SCardEstablishContext");

    std::string number;
    std::vector<char> readers;
    if (!ListReadersWithRetries(context, readers)) {
        onError("SCardListReaders");
    } else {
        SCARDHANDLE card;
        DWORD protocol = 0;
        if (ConnectFirstCard(context, readers, &card, &protocol)) {
            number = ReadCardNumber(card, protocol);
            SCardDisconnect(card, SCARD_LEAVE_CARD);
        }
    }
    if (haveContext)
        SCardReleaseContext(context);

    report.Append(ReportText::kCardNumberHeader);
    report.Append(ReportText::kCardNumberLine, number.c_str());
}
