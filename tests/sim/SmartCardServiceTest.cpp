#include "SimTestSupport.h"

#include <vector>

namespace {

class SmartCardService : public SimTest {
protected:
    SCARDCONTEXT establish()
    {
        EXPECT_EQ(SCARD_S_SUCCESS, SCardEstablishContext(SCARD_SCOPE_SYSTEM, nullptr, nullptr, context_.Receive()));
        return context_.Get();
    }

    // Connects the way the program does and reports the active protocol.
    SCARDHANDLE connect(const char* reader, DWORD* protocol)
    {
        EXPECT_EQ(SCARD_S_SUCCESS, SCardConnectA(context_.Get(), reader, SCARD_SHARE_SHARED,
                                                 SCARD_PROTOCOL_T0 | SCARD_PROTOCOL_T1, card_.Receive(), protocol));
        return card_.Get();
    }

    // Sends one APDU; the response keeps data and status bytes.
    LONG transmit(const Bytes& command, Bytes* response, DWORD capacity = 1000,
                  const SCARD_IO_REQUEST* pci = SCARD_PCI_T1)
    {
        response->assign(capacity, 0);
        DWORD length = capacity;
        const LONG status = SCardTransmit(card_.Get(), pci, command.data(), static_cast<DWORD>(command.size()), nullptr,
                                          response->data(), &length);
        response->resize(status == SCARD_S_SUCCESS ? length : 0);
        lastLength_ = length;
        return status;
    }

    ScardContext context_;
    ScardCard card_;
    DWORD lastLength_ = 0;
};

const Bytes kSelectMasterFile = {0x00, 0xA4, 0x00, 0x0C, 0x02, 0x3F, 0x00};
const Bytes kSelectNumberFile = {0x00, 0xA4, 0x02, 0x00, 0x02, 0xFE, 0x14};
const Bytes kReadNumber = {0x00, 0xB0, 0x00, 0x00, 0x10};

Bytes WithStatus(const std::string& data, uint8_t sw1, uint8_t sw2)
{
    Bytes bytes(data.begin(), data.end());
    bytes.push_back(sw1);
    bytes.push_back(sw2);
    return bytes;
}

TEST_F(SmartCardService, ListsManyLongReaderNamesWithTheLengthProtocol)
{
    std::string text;
    std::string expected;
    for (int i = 0; i < 20; ++i) {
        const std::string name = "Reader " + std::to_string(i) + " " + std::string(120, 'x');
        text += "[reader]\nname = " + name + "\n";
        expected += name + '\0';
    }
    expected += '\0';
    apply(text);
    const SCARDCONTEXT context = establish();

    DWORD length = 0;
    ASSERT_EQ(SCARD_S_SUCCESS, SCardListReadersA(context, nullptr, nullptr, &length));
    EXPECT_EQ(expected.size(), length);

    std::vector<char> list(length);
    DWORD shortLength = length - 1;
    EXPECT_EQ(SCARD_E_INSUFFICIENT_BUFFER, SCardListReadersA(context, nullptr, list.data(), &shortLength));
    EXPECT_EQ(length, shortLength);

    ASSERT_EQ(SCARD_S_SUCCESS, SCardListReadersA(context, nullptr, list.data(), &length));
    EXPECT_EQ(expected, std::string(list.data(), length));
}

TEST_F(SmartCardService, NoReadersAndStoppedService)
{
    applyFile("bare.txt");
    const SCARDCONTEXT context = establish();
    DWORD length = 0;
    EXPECT_EQ(SCARD_E_NO_READERS_AVAILABLE, SCardListReadersA(context, nullptr, nullptr, &length));

    applyFile("no-service.txt");
    EXPECT_EQ(SCARD_E_NO_SERVICE, SCardListReadersA(context, nullptr, nullptr, &length));
    SCARDCONTEXT refused = 0;
    EXPECT_EQ(SCARD_E_NO_SERVICE, SCardEstablishContext(SCARD_SCOPE_SYSTEM, nullptr, nullptr, &refused));
}

TEST_F(SmartCardService, StatusGivesTheAtrOrAnEmptyReaderOrFails)
{
    apply("[reader]\nname = Empty\n"
          "[reader]\nname = Full\ncard = inserted\natr = 3B 8A 80 01\nexclusive = yes\n"
          "[reader]\nname = Broken\natr-query = fails\n");
    const SCARDCONTEXT context = establish();

    SCARD_READERSTATEA states[2] = {};
    states[0].szReader = "Empty";
    states[1].szReader = "Full";
    ASSERT_EQ(SCARD_S_SUCCESS, SCardGetStatusChangeA(context, 1000, states, 2));
    EXPECT_EQ(SCARD_STATE_CHANGED | SCARD_STATE_EMPTY, states[0].dwEventState);
    EXPECT_EQ(0u, states[0].cbAtr);
    EXPECT_EQ(SCARD_STATE_CHANGED | SCARD_STATE_PRESENT | SCARD_STATE_EXCLUSIVE | SCARD_STATE_INUSE,
              states[1].dwEventState);
    EXPECT_EQ(Bytes({0x3B, 0x8A, 0x80, 0x01}), Bytes(states[1].rgbAtr, states[1].rgbAtr + states[1].cbAtr));

    // Nothing changed since the caller last looked: the wait times out.
    states[0].dwCurrentState = states[0].dwEventState;
    EXPECT_EQ(SCARD_E_TIMEOUT, SCardGetStatusChangeA(context, 60, states, 1));

    SCARD_READERSTATEA broken = {};
    broken.szReader = "Broken";
    EXPECT_EQ(SCARD_E_READER_UNAVAILABLE, SCardGetStatusChangeA(context, 1000, &broken, 1));
    broken.szReader = "Missing";
    EXPECT_EQ(SCARD_E_UNKNOWN_READER, SCardGetStatusChangeA(context, 1000, &broken, 1));
}

// What a watcher relies on: the pseudo reader counts the readers, a wait
// without a time-out ends on a change, on SCardCancel and on the service's
// stop, and a busy card holds a connect until it is released.
TEST_F(SmartCardService, WaitsEndOnChangeCancelAndStopAndBusyCardsHoldConnect)
{
    apply("[reader]\nname = A\n");
    const SCARDCONTEXT context = establish();
    SCARD_READERSTATEA pnp = {};
    pnp.szReader = "\\\\?PnP?\\Notification";
    ASSERT_EQ(SCARD_S_SUCCESS, SCardGetStatusChangeA(context, 0, &pnp, 1));
    EXPECT_EQ(1u << 16 | SCARD_STATE_CHANGED, pnp.dwEventState);
    pnp.dwCurrentState = 1u << 16;
    EXPECT_EQ(SCARD_E_TIMEOUT, SCardGetStatusChangeA(context, 60, &pnp, 1));

    struct Wait {
        SCARDCONTEXT context;
        SCARD_READERSTATEA state;
        LONG status;
        static DWORD WINAPI Run(void* parameter)
        {
            Wait* wait = static_cast<Wait*>(parameter);
            wait->status = SCardGetStatusChangeA(wait->context, INFINITE, &wait->state, 1);
            return 0;
        }
    };
    const struct {
        const char* what;
        std::string scenario;  // empty: SCardCancel
        LONG status;
        DWORD readers;
    } ends[] = {
        {"a reader added", "[reader]\nname = A\n[reader]\nname = B\n", SCARD_S_SUCCESS, 2},
        {"cancelled", "", SCARD_E_CANCELLED, 1},
        {"the service stopped", "service = stopped\n", SCARD_E_SERVICE_STOPPED, 1},
    };
    for (const auto& end : ends) {
        SCOPED_TRACE(end.what);
        apply("[reader]\nname = A\n");
        Wait wait = {context, pnp, 0};
        HANDLE thread = CreateThread(nullptr, 0, Wait::Run, &wait, 0, nullptr);
        EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), WaitForSingleObject(thread, 150)) << "it waits";
        if (end.scenario.empty())
            EXPECT_EQ(SCARD_S_SUCCESS, SCardCancel(context));
        else
            apply(end.scenario);
        EXPECT_EQ(static_cast<DWORD>(WAIT_OBJECT_0), WaitForSingleObject(thread, 1000));
        CloseHandle(thread);
        EXPECT_EQ(end.status, wait.status);
        if (end.status == SCARD_S_SUCCESS) {
            EXPECT_EQ(end.readers, HIWORD(wait.state.dwEventState));
        }
    }

    apply("[reader]\nname = Held\ncard = inserted\natr = 3B 00\nbusy = connect\n");
    ScardContext other;
    ASSERT_EQ(SCARD_S_SUCCESS, SCardEstablishContext(SCARD_SCOPE_SYSTEM, nullptr, nullptr, other.Receive()));
    struct Connect {
        SCARDCONTEXT context;
        LONG status;
        static DWORD WINAPI Run(void* parameter)
        {
            Connect* connect = static_cast<Connect*>(parameter);
            SCARDHANDLE card;
            DWORD protocol;
            connect->status =
                SCardConnectA(connect->context, "Held", SCARD_SHARE_SHARED, SCARD_PROTOCOL_T1, &card, &protocol);
            return 0;
        }
    } connect = {other.Get(), -1};
    HANDLE thread = CreateThread(nullptr, 0, Connect::Run, &connect, 0, nullptr);
    EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), WaitForSingleObject(thread, 200)) << "the connect waits";
    apply("[reader]\nname = Held\ncard = inserted\natr = 3B 00\n");
    EXPECT_EQ(static_cast<DWORD>(WAIT_OBJECT_0), WaitForSingleObject(thread, 1000)) << "until released";
    CloseHandle(thread);
    EXPECT_EQ(SCARD_S_SUCCESS, connect.status);
}

TEST_F(SmartCardService, ConnectPassesOverEmptyAndBusyReaders)
{
    apply("[reader]\nname = Empty\n"
          "[reader]\nname = Busy\ncard = inserted\natr = 3B 00\nexclusive = yes\n"
          "[reader]\nname = T0\ncard = inserted\natr = 3B 00\nprotocol = T=0\n");
    const SCARDCONTEXT context = establish();
    SCARDHANDLE card = 0;
    DWORD protocol = 0;
    EXPECT_EQ(SCARD_E_NO_SMARTCARD, SCardConnectA(context, "Empty", SCARD_SHARE_SHARED,
                                                  SCARD_PROTOCOL_T0 | SCARD_PROTOCOL_T1, &card, &protocol));
    EXPECT_EQ(SCARD_E_SHARING_VIOLATION, SCardConnectA(context, "Busy", SCARD_SHARE_SHARED,
                                                       SCARD_PROTOCOL_T0 | SCARD_PROTOCOL_T1, &card, &protocol));
    EXPECT_EQ(SCARD_E_PROTO_MISMATCH,
              SCardConnectA(context, "T0", SCARD_SHARE_SHARED, SCARD_PROTOCOL_T1, &card, &protocol));
    connect("T0", &protocol);
    EXPECT_EQ(static_cast<DWORD>(SCARD_PROTOCOL_T0), protocol);
}

TEST_F(SmartCardService, ReadsTheCardNumberWithTheProgramsCommands)
{
    applyFile("default.txt");
    establish();
    DWORD protocol = 0;
    connect("Generic USB Smart Card Reader 0", &protocol);
    ASSERT_EQ(static_cast<DWORD>(SCARD_PROTOCOL_T1), protocol);

    Bytes response;
    ASSERT_EQ(SCARD_S_SUCCESS, transmit(kSelectMasterFile, &response));
    EXPECT_EQ(Bytes({0x90, 0x00}), response);
    ASSERT_EQ(SCARD_S_SUCCESS, transmit(kSelectNumberFile, &response));
    ASSERT_GE(response.size(), 4u);
    EXPECT_EQ(0x6F, response[0]) << "file control information";
    EXPECT_EQ(Bytes({0x90, 0x00}), Bytes(response.end() - 2, response.end()));
    ASSERT_EQ(SCARD_S_SUCCESS, transmit(kReadNumber, &response));
    EXPECT_EQ(WithStatus("TP03000000001234", 0x90, 0x00), response);

    // Offset and length are honoured; reading past the end says so.
    ASSERT_EQ(SCARD_S_SUCCESS, transmit({0x00, 0xB0, 0x00, 0x0C, 0x04}, &response));
    EXPECT_EQ(WithStatus("1234", 0x90, 0x00), response);
    ASSERT_EQ(SCARD_S_SUCCESS, transmit({0x00, 0xB0, 0x00, 0x0E, 0x04}, &response));
    EXPECT_EQ(WithStatus("34", 0x62, 0x82), response);
    ASSERT_EQ(SCARD_S_SUCCESS, transmit({0x00, 0xB0, 0x00, 0x11, 0x01}, &response));
    EXPECT_EQ(Bytes({0x6B, 0x00}), response);

    // A failed SELECT keeps the selection; the master file has no content.
    ASSERT_EQ(SCARD_S_SUCCESS, transmit({0x00, 0xA4, 0x02, 0x00, 0x02, 0x12, 0x34}, &response));
    EXPECT_EQ(Bytes({0x6A, 0x82}), response);
    ASSERT_EQ(SCARD_S_SUCCESS, transmit(kReadNumber, &response));
    EXPECT_EQ(WithStatus("TP03000000001234", 0x90, 0x00), response);
    ASSERT_EQ(SCARD_S_SUCCESS, transmit(kSelectMasterFile, &response));
    ASSERT_EQ(SCARD_S_SUCCESS, transmit(kReadNumber, &response));
    EXPECT_EQ(Bytes({0x69, 0x86}), response);
}

TEST_F(SmartCardService, TransmitRespectsBufferAndProtocol)
{
    applyFile("default.txt");
    establish();
    DWORD protocol = 0;
    connect("Generic USB Smart Card Reader 0", &protocol);
    Bytes response;
    ASSERT_EQ(SCARD_S_SUCCESS, transmit(kSelectNumberFile, &response));

    EXPECT_EQ(SCARD_E_INSUFFICIENT_BUFFER, transmit(kReadNumber, &response, 17));
    EXPECT_EQ(18u, lastLength_);
    EXPECT_EQ(SCARD_E_PROTO_MISMATCH, transmit(kReadNumber, &response, 1000, SCARD_PCI_T0));
}

TEST_F(SmartCardService, AScenarioChangeReachesOpenHandles)
{
    applyFile("default.txt");
    establish();
    DWORD protocol = 0;
    connect("Generic USB Smart Card Reader 0", &protocol);

    applyFile("empty-reader.txt");
    Bytes response;
    EXPECT_EQ(SCARD_W_REMOVED_CARD, transmit(kSelectMasterFile, &response));
    SCARD_READERSTATEA state = {};
    state.szReader = "Generic USB Smart Card Reader 0";
    state.dwCurrentState = SCARD_STATE_PRESENT;
    ASSERT_EQ(SCARD_S_SUCCESS, SCardGetStatusChangeA(context_.Get(), 0, &state, 1));
    EXPECT_EQ(SCARD_STATE_CHANGED | SCARD_STATE_EMPTY, state.dwEventState);
}

}  // namespace
