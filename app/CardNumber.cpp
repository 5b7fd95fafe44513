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
// A thread each: a bound far beyond any real machine's readers.
const size_t kMaxReadersTried = 64;

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

// One reader's try, on a thread of its own with its own PC/SC context: a
// reader another program holds (connect and transmit then wait without
// bound) holds up that thread only. Whoever lets go of it last, the thread
// or the waiting caller, frees it.
struct ReaderAttempt {
    explicit ReaderAttempt(const char* name) : reader(name) {}

    volatile LONG holders = 2;
    std::string reader;
    bool connected = false;  // read only after the thread ended
    std::string number;
};

void LetGo(ReaderAttempt* attempt)
{
    if (InterlockedDecrement(&attempt->holders) == 0)
        delete attempt;
}

DWORD WINAPI ReadNumberFromReader(void* parameter)
{
    ReaderAttempt* attempt = static_cast<ReaderAttempt*>(parameter);
    SCARDCONTEXT context;
    if (SCardEstablishContext(SCARD_SCOPE_SYSTEM, nullptr, nullptr, &context) == SCARD_S_SUCCESS) {
        SCARDHANDLE card;
        DWORD protocol = 0;
        if (SCardConnectA(context, attempt->reader.c_str(), SCARD_SHARE_SHARED, SCARD_PROTOCOL_T0 | SCARD_PROTOCOL_T1,
                          &card, &protocol) == SCARD_S_SUCCESS) {
            attempt->number = ReadCardNumber(card, protocol);
            attempt->connected = true;
            SCardDisconnect(card, SCARD_LEAVE_CARD);
        }
        SCardReleaseContext(context);
    }
    LetGo(attempt);
    return 0;
}

struct StartedAttempt {
    ReaderAttempt* attempt;
    HANDLE thread;
};

// Every reader of the list is tried at once; the first in list order whose
// card accepted the connection within the time left gives the number, and
// a reader still busy when the time is up is passed over.
std::string NumberOfFirstCard(const std::vector<char>& readers, DWORD waitLimitMs)
{
    std::vector<StartedAttempt> started;
    for (const char* reader = readers.data(); *reader && started.size() < kMaxReadersTried;
         reader += strlen(reader) + 1) {
        ReaderAttempt* attempt = new ReaderAttempt(reader);
        HANDLE thread = CreateThread(nullptr, 0, ReadNumberFromReader, attempt, 0, nullptr);
        if (!thread) {
            delete attempt;
            continue;
        }
        started.push_back({attempt, thread});
    }
    const DWORD start = GetTickCount();
    std::string number;
    bool found = false;
    for (const StartedAttempt& item : started) {
        const DWORD elapsed = GetTickCount() - start;
        const DWORD left = elapsed < waitLimitMs ? waitLimitMs - elapsed : 0;
        if (!found && WaitForSingleObject(item.thread, left) == WAIT_OBJECT_0 && item.attempt->connected) {
            number = item.attempt->number;
            found = true;
        }
        CloseHandle(item.thread);
        LetGo(item.attempt);
    }
    return number;
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

void AppendCardNumber(ReportBuffer& report, ProbeErrorHandler onError, DWORD waitLimitMs)
{
    SCARDCONTEXT context = 0;
    const bool haveContext = SCardEstablishContext(SCARD_SCOPE_SYSTEM, nullptr, nullptr, &context) == SCARD_S_SUCCESS;
    if (!haveContext)
        onError("SCardEstablishContext");

    std::string number;
    std::vector<char> readers;
    if (!ListReadersWithRetries(context, readers)) {
        onError("SCardListReaders");
    } else {
        number = NumberOfFirstCard(readers, waitLimitMs);
    }
    if (haveContext)
        SCardReleaseContext(context);

    report.Append(ReportText::kCardNumberHeader);
    report.Append(ReportText::kCardNumberLine, number.c_str());
}
